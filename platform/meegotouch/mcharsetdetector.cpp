#include "mcharsetdetector.h"

#include "touchlogging.h"

#include <QLocale>
#include <QtDebug>

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>
#include <unicode/unistr.h>

namespace {

// How far below the best guess a guess in the declared locale's language may lie and still win.
const int32_t DeclaredLanguageMargin = 10;

} // namespace

MCharsetDetector::MCharsetDetector()
    : m_detector(nullptr)
{
    UErrorCode status = U_ZERO_ERROR;
    m_detector = ucsdet_open(&status);
    if (U_FAILURE(status)) {
        m_detector = nullptr;
        setError(QStringLiteral("cannot open the detector: %1")
                     .arg(QString::fromLatin1(u_errorName(status))));
    }
}

MCharsetDetector::MCharsetDetector(const QByteArray& ba)
    : MCharsetDetector()
{
    setText(ba);
}

MCharsetDetector::~MCharsetDetector()
{
    if (m_detector)
        ucsdet_close(m_detector);
}

void MCharsetDetector::setText(const QByteArray& ba)
{
    m_text = ba; // the detector keeps a pointer into it
    if (m_detector)
        m_error.clear();
}

void MCharsetDetector::setDeclaredLocale(const QString& locale)
{
    m_declaredLocale = locale;
}

MCharsetMatch MCharsetDetector::detect()
{
    if (!m_detector) {
        setError(QStringLiteral("no detector"));
        return MCharsetMatch();
    }
    if (m_text.isEmpty()) {
        setError(QStringLiteral("no text to detect from"));
        return MCharsetMatch();
    }
    UErrorCode status = U_ZERO_ERROR;
    ucsdet_setText(m_detector, m_text.constData(), m_text.size(), &status);
    int32_t count = 0;
    const UCharsetMatch** matches = U_SUCCESS(status)
                                        ? ucsdet_detectAll(m_detector, &count, &status)
                                        : nullptr;
    if (U_FAILURE(status) || !matches || count <= 0) {
        setError(QStringLiteral("no character set found: %1")
                     .arg(QString::fromLatin1(u_errorName(status))));
        return MCharsetMatch();
    }

    const UCharsetMatch* chosen = matches[0];
    const int32_t best = ucsdet_getConfidence(chosen, &status);
    const QString language = QLocale(m_declaredLocale).name().section(QLatin1Char('_'), 0, 0);
    if (!m_declaredLocale.isEmpty() && !language.isEmpty()) {
        for (int32_t i = 0; i < count; ++i) {
            UErrorCode s = U_ZERO_ERROR;
            if (ucsdet_getConfidence(matches[i], &s) + DeclaredLanguageMargin < best)
                break; // the matches come best first
            if (QString::fromLatin1(ucsdet_getLanguage(matches[i], &s)) == language) {
                chosen = matches[i];
                break;
            }
        }
    }
    status = U_ZERO_ERROR;
    const MCharsetMatch match(QString::fromLatin1(ucsdet_getName(chosen, &status)),
                              QString::fromLatin1(ucsdet_getLanguage(chosen, &status)),
                              ucsdet_getConfidence(chosen, &status));
    if (U_FAILURE(status)) {
        setError(QStringLiteral("cannot read the match: %1")
                     .arg(QString::fromLatin1(u_errorName(status))));
        return MCharsetMatch();
    }
    return match;
}

QString MCharsetDetector::text(const MCharsetMatch& charsetMatch)
{
    if (!charsetMatch.isValid()) {
        setError(QStringLiteral("no character set to convert from"));
        return QString();
    }
    const QByteArray codepage = charsetMatch.name().toLatin1();
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(codepage.constData(), &status);
    if (U_FAILURE(status) || !converter) {
        setError(QStringLiteral("unknown character set %1").arg(charsetMatch.name()));
        return QString();
    }
    ucnv_close(converter);
    const icu::UnicodeString converted(m_text.constData(), m_text.size(), codepage.constData());
    if (converted.isBogus()) {
        setError(QStringLiteral("cannot convert from %1").arg(charsetMatch.name()));
        return QString();
    }
    return QString(reinterpret_cast<const QChar*>(converted.getBuffer()), converted.length());
}

bool MCharsetDetector::hasError() const
{
    return !m_error.isEmpty();
}

QString MCharsetDetector::errorString() const
{
    return m_error;
}

void MCharsetDetector::setError(const QString& message)
{
    m_error = message;
    qCDebug(lcTouch, "%s - %s", Q_FUNC_INFO, qPrintable(message));
}
