#include "mcharsetdetector.h"

#include "touchlogging.h"

#include <QLocale>
#include <QVector>
#include <QtDebug>

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>
#include <unicode/unistr.h>

namespace {

// How far below the best score a character set of the declared locale's language may lie and
// still win.
const double DeclaredLanguageMargin = 0.1;

// Below this score no character set reads the text as words of one language: the text is left
// as it is rather than turned into other garbage.
const double MinPlausibleScore = 0.5;

enum Kind { SingleByte, ShiftJis, Gbk, Big5, EucKr };

struct Candidate
{
    const char* name;
    Kind kind;
    // The languages the set was made for; the first is the one a match names.
    const char* languages;
    // An equivalent name ICU's own guesses may use.
    const char* alias;
};

// The legacy sets that tags are found in, most common first: a tie goes to the earlier one.
const Candidate Candidates[] = {
    { "windows-1252", SingleByte, "en de fr es it pt nl sv da no nb nn fi is ca ga", "ISO-8859-1" },
    { "windows-1251", SingleByte, "ru uk be bg sr mk", "ISO-8859-5" },
    { "KOI8-R", SingleByte, "ru", nullptr },
    { "GBK", Gbk, "zh", "GB18030" },
    { "Shift_JIS", ShiftJis, "ja", nullptr },
    { "EUC-KR", EucKr, "ko", nullptr },
    { "Big5", Big5, "zh", nullptr },
    { "windows-1250", SingleByte, "pl cs sk hu ro hr sl", "ISO-8859-2" },
    { "windows-1253", SingleByte, "el", "ISO-8859-7" },
    { "windows-1254", SingleByte, "tr", "ISO-8859-9" },
    { "windows-1255", SingleByte, "he", "ISO-8859-8" },
    { "windows-1256", SingleByte, "ar fa ur", "ISO-8859-6" },
};

bool isAscii(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

bool isUtf8(const QByteArray& bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("UTF-8", &status);
    if (U_FAILURE(status))
        return false;
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    QVector<UChar> out(bytes.size() + 1);
    ucnv_toUChars(converter, out.data(), out.size(), bytes.constData(), bytes.size(), &status);
    ucnv_close(converter);
    return U_SUCCESS(status);
}

// The text in the character set, or false when a byte is not a character of it.
bool decodeStrictly(const QByteArray& bytes, const char* name, QString* text)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name, &status);
    if (U_FAILURE(status) || !converter)
        return false;
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    QVector<UChar> out(2 * bytes.size() + 1);
    const int32_t length = ucnv_toUChars(converter, out.data(), out.size(), bytes.constData(),
                                         bytes.size(), &status);
    ucnv_close(converter);
    if (U_FAILURE(status))
        return false;
    *text = QString(reinterpret_cast<const QChar*>(out.constData()), length);
    return true;
}

// How well a single-byte reading makes words: the share of its non-ASCII characters that stand
// in words of one script, cased as words are (all lower, all upper or capitalised), and, for
// Latin words, with no more than about two accented letters in three. A misread text mixes scripts
// and cases inside its words, or turns every letter of a word into an accented one.
double singleByteScore(const QString& text)
{
    double good = 0;
    int total = 0;
    int at = 0;
    while (at < text.size()) {
        const QChar c = text.at(at);
        if (!c.isLetter()) {
            if (c.unicode() >= 0x80) {
                ++total;
                if (c.category() >= QChar::Punctuation_Connector
                    && c.category() <= QChar::Punctuation_Other)
                    good += 0.5;
                else if (c.isSpace())
                    good += 1;
            }
            ++at;
            continue;
        }
        int end = at;
        int letters = 0;
        int nonAscii = 0;
        int uppers = 0;
        bool lowerBeforeUpper = false;
        bool seenLower = false;
        bool oneScript = true;
        const QChar::Script script = text.at(at).script();
        while (end < text.size() && (text.at(end).isLetter() || text.at(end).isMark())) {
            const QChar w = text.at(end);
            if (w.isLetter()) {
                ++letters;
                if (w.unicode() >= 0x80)
                    ++nonAscii;
                if (w.script() != script)
                    oneScript = false;
                if (w.isUpper()) {
                    ++uppers;
                    if (seenLower)
                        lowerBeforeUpper = true;
                } else if (w.isLower()) {
                    seenLower = true;
                }
            } else if (w.unicode() >= 0x80) {
                ++nonAscii;
            }
            ++end;
        }
        total += nonAscii;
        const bool cased = uppers == 0 || uppers == letters
                           || (uppers == 1 && text.at(at).isUpper() && !lowerBeforeUpper);
        const bool latinShare = script != QChar::Script_Latin || 3 * nonAscii <= 2 * letters + 2;
        if (oneScript && cased && latinShare)
            good += nonAscii;
        at = end;
    }
    return total == 0 ? 0 : good / total;
}

// How common the characters of a double-byte reading are: the share of its double-byte
// characters that lie in the rows of the set's everyday characters (kana and first-level kanji,
// first-level hanzi, Hangul). Text in another set read this way falls mostly into the rare
// rows, or into half-width katakana.
double doubleByteScore(const QByteArray& bytes, Kind kind)
{
    int total = 0;
    int common = 0;
    for (int i = 0; i < bytes.size(); ++i) {
        const uchar lead = uchar(bytes.at(i));
        if (lead < 0x80)
            continue;
        if (kind == ShiftJis && lead >= 0xa1 && lead <= 0xdf) {
            ++total; // half-width katakana
            continue;
        }
        if (i + 1 >= bytes.size())
            return 0;
        const uchar trail = uchar(bytes.at(++i));
        ++total;
        switch (kind) {
        case ShiftJis:
            common += (lead >= 0x81 && lead <= 0x83) || (lead >= 0x88 && lead <= 0x98);
            break;
        case Gbk:
            common += ((lead >= 0xb0 && lead <= 0xd7) || (lead >= 0xa1 && lead <= 0xa3))
                      && trail >= 0xa1;
            break;
        case Big5:
            common += lead >= 0xa1 && lead <= 0xc6;
            break;
        case EucKr:
            common += (lead >= 0xb0 && lead <= 0xc8) || lead == 0xa1;
            break;
        case SingleByte:
            break;
        }
    }
    return total == 0 ? 0 : double(common) / total;
}

bool hasPrivateOrControl(const QString& text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || (u >= 0x7f && u < 0xa0)
            || (u >= 0xe000 && u <= 0xf8ff) || u == 0xfffd)
            return true;
    }
    return false;
}

QStringList languagesOf(const Candidate& candidate)
{
    return QString::fromLatin1(candidate.languages).split(QLatin1Char(' '));
}

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
    // Plain ASCII, and UTF-8 beyond it, cannot be mistaken: no legacy set makes valid UTF-8
    // of words by chance.
    if (isAscii(m_text) || isUtf8(m_text))
        return MCharsetMatch(QStringLiteral("UTF-8"), QString(), 100);

    const QHash<QString, int> guesses = icuConfidences();
    const QString language = QLocale(m_declaredLocale).name().section(QLatin1Char('_'), 0, 0);
    struct Scored
    {
        const Candidate* candidate;
        double score;
        int guess;
        bool declared;
    };
    QVector<Scored> scored;
    for (const Candidate& candidate : Candidates) {
        QString text;
        if (!decodeStrictly(m_text, candidate.name, &text) || hasPrivateOrControl(text))
            continue;
        const double score = candidate.kind == SingleByte ? singleByteScore(text)
                                                          : doubleByteScore(m_text, candidate.kind);
        if (score < MinPlausibleScore)
            continue;
        int guess = guesses.value(QString::fromLatin1(candidate.name).toLower(), 0);
        if (candidate.alias)
            guess = qMax(guess, guesses.value(QString::fromLatin1(candidate.alias).toLower(), 0));
        const bool declared = !m_declaredLocale.isEmpty() && !language.isEmpty()
                              && languagesOf(candidate).contains(language);
        scored.append({ &candidate, score, guess, declared });
    }
    if (scored.isEmpty()) {
        setError(QStringLiteral("no character set reads the text as words"));
        return MCharsetMatch();
    }
    // The best reading; ICU's own guess breaks a tie, and a set of the declared language wins
    // when it reads nearly as well.
    const Scored* best = &scored.first();
    for (const Scored& s : qAsConst(scored)) {
        if (s.score > best->score || (qFuzzyCompare(s.score, best->score) && s.guess > best->guess))
            best = &s;
    }
    if (!best->declared) {
        for (const Scored& s : qAsConst(scored)) {
            if (s.declared && s.score + DeclaredLanguageMargin >= best->score) {
                best = &s;
                break;
            }
        }
    }
    return MCharsetMatch(QString::fromLatin1(best->candidate->name),
                         languagesOf(*best->candidate).first(), qRound(best->score * 100));
}

QHash<QString, int> MCharsetDetector::icuConfidences()
{
    QHash<QString, int> confidences;
    UErrorCode status = U_ZERO_ERROR;
    ucsdet_setText(m_detector, m_text.constData(), m_text.size(), &status);
    int32_t count = 0;
    const UCharsetMatch** matches = U_SUCCESS(status)
                                        ? ucsdet_detectAll(m_detector, &count, &status)
                                        : nullptr;
    for (int32_t i = 0; matches && U_SUCCESS(status) && i < count; ++i) {
        UErrorCode s = U_ZERO_ERROR;
        const QString name = QString::fromLatin1(ucsdet_getName(matches[i], &s)).toLower();
        const int confidence = ucsdet_getConfidence(matches[i], &s);
        if (U_SUCCESS(s) && !confidences.contains(name))
            confidences.insert(name, confidence);
    }
    return confidences;
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
