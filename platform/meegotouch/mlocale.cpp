#include "mlocale.h"

#include "touchlogging.h"
#include "mcollator.h"
#include "mgconfitem.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QSharedData>
#include <QVector>
#include <QTranslator>
#include <QtDebug>

#include <unicode/alphaindex.h>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/smpdtfmt.h>
#include <unicode/uchar.h>
#include <unicode/uscript.h>

#include <algorithm>
#include <memory>

class MLocalePrivate : public QSharedData
{
public:
    QString name;
    QString collation; // empty: follow the lc_collate setting
    QStringList catalogs;
};

namespace {

const char* const CollateKey = "/meegotouch/i18n/lc_collate";

QString fromUnicodeString(const icu::UnicodeString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

icu::UnicodeString aliasOf(const QString& s)
{
    // A read-only alias: no copy of the text for a lookup.
    return icu::UnicodeString(false, reinterpret_cast<const UChar*>(s.utf16()), s.size());
}

icu::Locale icuLocale(const QString& name)
{
    return icu::Locale(name.toLatin1().constData());
}

// The locale of the environment, as the C library would pick the message language.
QString environmentLocaleName()
{
    static const char* const vars[] = { "LC_ALL", "LC_MESSAGES", "LANG" };
    QString value;
    for (const char* var : vars) {
        value = QString::fromLocal8Bit(qgetenv(var));
        if (!value.isEmpty())
            break;
    }
    value = value.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    if (value.isEmpty() || value == QLatin1String("C") || value == QLatin1String("POSIX"))
        return QStringLiteral("en_GB");
    return value;
}

struct DefaultState
{
    QMutex mutex;
    QSharedDataPointer<MLocalePrivate> d;
    QStringList paths;
    QList<QPointer<QTranslator> > translators;
};

DefaultState& defaultState()
{
    static DefaultState s;
    return s;
}

// The alphabetic index of one collation locale, built once: ICU's immutable index is safe
// to share and its lookups are a binary search.
struct IndexData
{
    std::unique_ptr<icu::AlphabeticIndex::ImmutableIndex> index;
    QStringList labels;
    // By bucket of the index: its letter, and its letter followed by U+FFFF, which the
    // collation orders after every text that begins with that letter; empty for the buckets
    // that hold no letter (before, between and after the letters).
    QVector<QString> bucketLetters;
    QVector<QString> bucketEnds;

    // The letters that text beyond the index files under (see letterBucket()), made as texts
    // come: by the first letter of a text, its letter and that letter's end ("#" and the
    // lowest letter for text before every letter); and the letters in collation order.
    QMutex ownLettersMutex;
    struct OwnLetter
    {
        QString letter;
        QString end;
    };
    QHash<QString, OwnLetter> ownLetterOf;
    QStringList ownLetters;
    QString lowest; // the lowest letter of the collation: "a", or the index's first
};

IndexData* indexData(const QString& collationName)
{
    static QMutex mutex;
    // Lives as long as the process: never destroyed, so no thread can outlive its entries.
    static auto* cache = new QHash<QString, IndexData*>;

    QMutexLocker lock(&mutex);
    if (IndexData* data = cache->value(collationName))
        return data;

    auto* data = new IndexData;
    UErrorCode status = U_ZERO_ERROR;
    icu::AlphabeticIndex builder(icuLocale(collationName), status);
    if (U_SUCCESS(status))
        data->index.reset(builder.buildImmutableIndex(status));
    if (U_FAILURE(status) || !data->index) {
        qCWarning(lcTouch, "%s - no index letters for \"%s\" (%s)", Q_FUNC_INFO,
                  qPrintable(collationName), u_errorName(status));
        data->index.reset();
    } else {
        for (int32_t i = 0; i < data->index->getBucketCount(); ++i) {
            const icu::AlphabeticIndex::Bucket* bucket = data->index->getBucket(i);
            const bool letter = bucket && bucket->getLabelType() == U_ALPHAINDEX_NORMAL;
            const QString label = letter ? fromUnicodeString(bucket->getLabel()) : QString();
            if (letter)
                data->labels.append(label);
            data->bucketLetters.append(label);
            data->bucketEnds.append(letter ? label + QChar(0xFFFF) : QString());
        }
    }
    cache->insert(collationName, data);
    return data;
}

// Where text that the locale's index letters do not cover is filed: its first letter,
// upper-cased and without accents, or "#" when it does not start with a letter.
QString fallbackBucket(const QString& str)
{
    const QVector<uint> first = str.left(2).toUcs4();
    if (first.isEmpty())
        return QString();
    uint cp = first.at(0);
    if (!u_isalpha(UChar32(cp)))
        return QStringLiteral("#");
    const QVector<uint> base
        = QString::fromUcs4(&cp, 1).normalized(QString::NormalizationForm_D).toUcs4();
    if (!base.isEmpty())
        cp = base.at(0);
    cp = uint(u_toupper(UChar32(cp)));
    return QString::fromUcs4(&cp, 1);
}

// One code point of text, and where the next begins.
uint codePointAt(const QString& text, int at, int* next)
{
    const QChar c = text.at(at);
    if (c.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
        *next = at + 2;
        return QChar::surrogateToUcs4(c, text.at(at + 1));
    }
    *next = at + 1;
    return c.unicode();
}

QString fromCodePoint(uint cp)
{
    return QString::fromUcs4(&cp, 1);
}

// The first letter of text as a collation reads it, with the marks written after it, composed:
// what the collation passes over at the start (direction marks, joiners, a byte-order mark) is
// skipped, and a vowel that Thai and Lao write before its consonant is read after it. `order`
// compares two texts by the primary strength of the collation. Empty when the collation reads
// nothing in the text.
template <typename Order>
QString firstLetterAsRead(const QString& text, const Order& order)
{
    int at = 0;
    while (at < text.size()) {
        int next = 0;
        uint cp = codePointAt(text, at, &next);
        const QChar::Category category = QChar::category(cp);
        const bool letter = category == QChar::Letter_Uppercase
                            || category == QChar::Letter_Lowercase
                            || category == QChar::Letter_Titlecase
                            || category == QChar::Letter_Other;
        if (!letter && category != QChar::Number_DecimalDigit
            && order(fromCodePoint(cp), QString()) == 0) {
            at = next;
            continue;
        }
        if (u_hasBinaryProperty(UChar32(cp), UCHAR_LOGICAL_ORDER_EXCEPTION) && next < text.size())
            cp = codePointAt(text, next, &next);
        QString first = fromCodePoint(cp);
        while (next < text.size()) {
            int after = 0;
            const uint mark = codePointAt(text, next, &after);
            if (!QChar::isMark(mark))
                break;
            first += fromCodePoint(mark);
            next = after;
        }
        return first.size() > 1 ? first.normalized(QString::NormalizationForm_C) : first;
    }
    return QString();
}

// The index letter of text that no letter of the locale's index covers: its first letter as the
// collation reads it, upper-cased, and without accents where the collation does not tell them
// apart ("Кино" under "К", "Þögn" under "Þ", "東京" under "東"), or "#" for text that orders
// before every letter (digits, punctuation, symbols). Text files under a letter only when it
// orders from that letter up to the letter's end, and letters that the collation does not tell
// apart (Г and Ґ, か and カ) share one bucket, the one made first: so the buckets, in collation
// order, hold their texts in collation order too, and a list grouped under them keeps the order
// of the collation's own sort.
template <typename Order>
QString letterBucket(const QString& text, IndexData* data, const Order& order)
{
    const QString first = firstLetterAsRead(text, order);
    QMutexLocker lock(&data->ownLettersMutex);
    const auto known = data->ownLetterOf.constFind(first);
    if (known != data->ownLetterOf.cend()) {
        const IndexData::OwnLetter& own = known.value();
        if (own.letter == QLatin1String("#")
                ? order(text, own.end) < 0
                : order(text, own.end) < 0 && order(text, own.letter) >= 0)
            return own.letter;
    }

    if (data->lowest.isEmpty()) {
        const QString a = QStringLiteral("a");
        data->lowest = data->labels.isEmpty() || order(a, data->labels.first()) < 0
                           ? a
                           : data->labels.first();
    }
    if (first.isEmpty() || order(first, data->lowest) < 0) {
        if (!first.isEmpty() && known == data->ownLetterOf.cend())
            data->ownLetterOf.insert(first, { QStringLiteral("#"), data->lowest });
        return QStringLiteral("#");
    }

    int marks = 0;
    const uint cp = codePointAt(first, 0, &marks);
    const QString decomposed = first.normalized(QString::NormalizationForm_KD);
    int unused = 0;
    const uint base = decomposed.isEmpty() ? cp : codePointAt(decomposed, 0, &unused);
    const QString upper = fromCodePoint(uint(u_toupper(UChar32(cp)))) + first.mid(marks);
    QString bucket;
    for (const QString& letter : { fromCodePoint(uint(u_toupper(UChar32(base)))), upper, first }) {
        if (order(text, letter) >= 0 && order(text, letter + QChar(0xFFFF)) < 0) {
            bucket = letter;
            break;
        }
    }
    if (bucket.isEmpty())
        return fallbackBucket(text); // a letter read together with the next: as it is written

    const auto at = std::lower_bound(data->ownLetters.begin(), data->ownLetters.end(), bucket,
                                     [&order](const QString& a, const QString& b) {
                                         return order(a, b) < 0;
                                     });
    if (at != data->ownLetters.end() && order(*at, bucket) == 0)
        bucket = *at;
    else
        data->ownLetters.insert(at, bucket);
    if (known == data->ownLetterOf.cend())
        data->ownLetterOf.insert(first, { bucket, bucket + QChar(0xFFFF) });
    return bucket;
}

UScriptCode scriptOf(const QString& str)
{
    const QVector<uint> first = str.left(2).toUcs4();
    if (first.isEmpty())
        return USCRIPT_INVALID_CODE;
    UErrorCode status = U_ZERO_ERROR;
    const UScriptCode code = uscript_getScript(UChar32(first.at(0)), &status);
    return U_SUCCESS(status) ? code : USCRIPT_INVALID_CODE;
}

// strftime conversions to an ICU date pattern; other text is quoted literally.
QString icuPattern(const QString& format)
{
    static const QHash<QChar, QString> map = {
        { QLatin1Char('Y'), QStringLiteral("y") },
        { QLatin1Char('y'), QStringLiteral("yy") },
        { QLatin1Char('m'), QStringLiteral("MM") },
        { QLatin1Char('d'), QStringLiteral("dd") },
        { QLatin1Char('e'), QStringLiteral("d") },
        { QLatin1Char('H'), QStringLiteral("HH") },
        { QLatin1Char('k'), QStringLiteral("H") },
        { QLatin1Char('I'), QStringLiteral("hh") },
        { QLatin1Char('l'), QStringLiteral("h") },
        { QLatin1Char('M'), QStringLiteral("mm") },
        { QLatin1Char('S'), QStringLiteral("ss") },
        { QLatin1Char('p'), QStringLiteral("a") },
        { QLatin1Char('B'), QStringLiteral("MMMM") },
        { QLatin1Char('b'), QStringLiteral("MMM") },
        { QLatin1Char('h'), QStringLiteral("MMM") },
        { QLatin1Char('A'), QStringLiteral("EEEE") },
        { QLatin1Char('a'), QStringLiteral("EEE") },
        { QLatin1Char('j'), QStringLiteral("DDD") },
        { QLatin1Char('Z'), QStringLiteral("z") },
        { QLatin1Char('z'), QStringLiteral("Z") },
        { QLatin1Char('F'), QStringLiteral("y-MM-dd") },
        { QLatin1Char('T'), QStringLiteral("HH:mm:ss") },
        { QLatin1Char('R'), QStringLiteral("HH:mm") },
    };
    QString pattern;
    QString literal;
    auto flushLiteral = [&]() {
        if (literal.isEmpty())
            return;
        QString quoted = literal;
        quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
        pattern += QLatin1Char('\'') + quoted + QLatin1Char('\'');
        literal.clear();
    };
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%') || i + 1 == format.size()) {
            literal += c;
            continue;
        }
        const QChar code = format.at(++i);
        const auto it = map.constFind(code);
        if (it != map.constEnd()) {
            flushLiteral();
            pattern += it.value();
        } else if (code == QLatin1Char('n')) {
            literal += QLatin1Char('\n');
        } else if (code == QLatin1Char('t')) {
            literal += QLatin1Char('\t');
        } else if (code == QLatin1Char('%')) {
            literal += QLatin1Char('%');
        } else {
            literal += c;
            literal += code;
        }
    }
    flushLiteral();
    return pattern;
}

QString formatWith(const icu::DateFormat* format, const QDateTime& dateTime)
{
    if (!format)
        return QString();
    icu::UnicodeString out;
    format->format(UDate(dateTime.toMSecsSinceEpoch()), out);
    return fromUnicodeString(out);
}

// Loads <catalog>.qm (or a variant named after the locale, catalog_en_GB.qm) from the first
// folder that has one: the added paths in order, then the build's catalog folder, then the
// folder an installed program keeps them in.
QTranslator* loadCatalog(const QString& catalog, const QString& localeName,
                         const QStringList& paths)
{
    QStringList dirs = paths;
#ifdef PARLOVANCE_TRANSLATIONS_DIR
    dirs.append(QStringLiteral(PARLOVANCE_TRANSLATIONS_DIR));
#endif
    if (QCoreApplication::instance())
        dirs.append(QCoreApplication::applicationDirPath()
                    + QStringLiteral("/../share/parlovance/translations"));
    const QLocale locale(localeName);
    for (const QString& dir : qAsConst(dirs)) {
        if (!QFileInfo(dir).isDir())
            continue;
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(locale, catalog, QStringLiteral("_"), dir, QStringLiteral(".qm")))
            return translator;
        delete translator;
    }
    return nullptr;
}

} // namespace

MLocale::MLocale()
{
    DefaultState& s = defaultState();
    QMutexLocker lock(&s.mutex);
    if (!s.d) {
        s.d = new MLocalePrivate;
        s.d->name = environmentLocaleName();
    }
    d = s.d;
}

MLocale::MLocale(const QString& localeName)
    : MLocale()
{
    if (localeName.trimmed().isEmpty())
        return;
    d->name = localeName.trimmed();
    d->collation = d->name;
    d->catalogs.clear();
}

MLocale::MLocale(const MLocale& other) = default;
MLocale& MLocale::operator=(const MLocale& other) = default;
MLocale::~MLocale() = default;

QString MLocale::name() const
{
    return d->name;
}

QString MLocale::language() const
{
    return QString::fromLatin1(icuLocale(d->name).getLanguage());
}

QString MLocale::collationName() const
{
    if (!d->collation.isEmpty())
        return d->collation;
    // One item for the process; value() only reads the in-memory copy of the settings.
    static MGConfItem* const setting = new MGConfItem(QString::fromLatin1(CollateKey));
    const QString value = setting->value().toString().trimmed();
    return value.isEmpty() ? d->name : value;
}

QStringList MLocale::localeScripts() const
{
    UScriptCode codes[16];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = uscript_getCode(d->name.toLatin1().constData(), codes, 16, &status);
    QStringList scripts;
    if (U_FAILURE(status))
        return scripts;
    for (int32_t i = 0; i < n; ++i)
        scripts.append(QString::fromLatin1(uscript_getShortName(codes[i])));
    return scripts;
}

Qt::LayoutDirection MLocale::directionForText(const QString& text)
{
    const QVector<uint> codePoints = text.toUcs4();
    for (uint cp : codePoints) {
        switch (QChar::direction(cp)) {
        case QChar::DirL:
            return Qt::LeftToRight;
        case QChar::DirR:
        case QChar::DirAL:
            return Qt::RightToLeft;
        default:
            break;
        }
    }
    return Qt::LeftToRight;
}

QString MLocale::formatNumber(int i) const
{
    return formatNumber(qlonglong(i));
}

QString MLocale::formatNumber(qlonglong i) const
{
    static QMutex mutex;
    // One formatter per locale, kept for the life of the process (never destroyed).
    static auto* cache = new QHash<QString, icu::NumberFormat*>;

    QMutexLocker lock(&mutex);
    icu::NumberFormat* format = cache->value(d->name);
    if (!format) {
        UErrorCode status = U_ZERO_ERROR;
        format = icu::NumberFormat::createInstance(icuLocale(d->name), status);
        if (U_FAILURE(status) || !format) {
            delete format;
            return QString::number(i);
        }
        cache->insert(d->name, format);
    }
    icu::UnicodeString out;
    format->format(int64_t(i), out);
    return fromUnicodeString(out);
}

QString MLocale::formatDateTime(const QDateTime& dateTime, const QString& format) const
{
    if (!dateTime.isValid())
        return QString();
    UErrorCode status = U_ZERO_ERROR;
    // The alias reads the QString's buffer, so the QString must outlive it.
    const QString icuFormat = icuPattern(format);
    const icu::UnicodeString pattern = aliasOf(icuFormat);
    const icu::SimpleDateFormat formatter(pattern, icuLocale(d->name), status);
    if (U_FAILURE(status)) {
        qCWarning(lcTouch, "%s - bad format \"%s\" (%s)", Q_FUNC_INFO, qPrintable(format),
                  u_errorName(status));
        return QString();
    }
    return formatWith(&formatter, dateTime);
}

QString MLocale::formatDateTime(const QDateTime& dateTime, DateType dateType, TimeType timeType,
                                CalendarType calendarType) const
{
    if (!dateTime.isValid() || (dateType == DateNone && timeType == TimeNone))
        return QString();
    auto style = [](int type) {
        switch (type) {
        case 1:
            return icu::DateFormat::kShort;
        case 2:
            return icu::DateFormat::kMedium;
        case 3:
            return icu::DateFormat::kLong;
        case 4:
            return icu::DateFormat::kFull;
        default:
            return icu::DateFormat::kNone;
        }
    };
    icu::Locale locale = icuLocale(d->name);
    if (calendarType == GregorianCalendar) {
        UErrorCode status = U_ZERO_ERROR;
        locale.setKeywordValue("calendar", "gregorian", status);
    }
    std::unique_ptr<icu::DateFormat> formatter(
        icu::DateFormat::createDateTimeInstance(style(dateType), style(timeType), locale));
    return formatWith(formatter.get(), dateTime);
}

MCollator MLocale::collator() const
{
    return MCollator(*this);
}

QStringList MLocale::exemplarCharactersIndex() const
{
    return indexData(collationName())->labels;
}

QString MLocale::indexBucket(const QString& str, const QStringList& buckets,
                             const MCollator& coll) const
{
    if (str.isEmpty())
        return QString();

    IndexData* data = indexData(collationName());
    if (data->index && buckets == data->labels) {
        // The locale's letters: the one the text begins with as the collation reads it
        // ("Émile" under "E", and "Ævintýri", which it reads as "AEvintyri", under "A"). The
        // index puts text under the last letter that does not order after it, so a letter
        // the locale has no index letter for (Þ in English, after Z) is told by the end of
        // that letter, and files under itself.
        MCollator primary(coll);
        primary.setStrength(CollatorStrengthPrimary);
        const auto order = [&primary](const QString& a, const QString& b) {
            return int(primary.compareWith(a, b));
        };
        UErrorCode status = U_ZERO_ERROR;
        const int32_t i = data->index->getBucketIndex(aliasOf(str), status);
        if (U_SUCCESS(status) && i >= 0 && i < data->bucketEnds.size()
            && !data->bucketEnds.at(i).isEmpty() && order(str, data->bucketEnds.at(i)) < 0)
            return data->bucketLetters.at(i);
        return letterBucket(str, data, order);
    }

    // Letters of the caller's own: the last one that does not order after the text, as long
    // as it is of the text's script (past "Z" lies every other script, not "Z" words).
    auto after = std::upper_bound(buckets.constBegin(), buckets.constEnd(), str,
                                  [&coll](const QString& s, const QString& bucket) {
                                      return coll.compareWith(s, bucket) == LessThan;
                                  });
    if (after == buckets.constBegin())
        return fallbackBucket(str);
    const QString& bucket = *(after - 1);
    if (scriptOf(bucket) != scriptOf(str))
        return fallbackBucket(str);
    return bucket;
}

void MLocale::addTranslationPath(const QString& path)
{
    DefaultState& s = defaultState();
    QMutexLocker lock(&s.mutex);
    const QString clean = QDir::cleanPath(path);
    if (!s.paths.contains(clean))
        s.paths.append(clean);
}

void MLocale::installTrCatalog(const QString& name)
{
    if (!name.isEmpty() && !d->catalogs.contains(name))
        d->catalogs.append(name);
}

void MLocale::setDefault(const MLocale& locale)
{
    DefaultState& s = defaultState();
    QList<QPointer<QTranslator> > old;
    QStringList paths;
    {
        QMutexLocker lock(&s.mutex);
        s.d = locale.d;
        old = s.translators;
        s.translators.clear();
        paths = s.paths;
    }
    QLocale::setDefault(QLocale(locale.name()));

    for (const QPointer<QTranslator>& t : qAsConst(old)) {
        if (t) {
            QCoreApplication::removeTranslator(t);
            delete t.data();
        }
    }
    if (!QCoreApplication::instance()) {
        if (!locale.d->catalogs.isEmpty())
            qCWarning(lcTouch, "%s - no application object: translation catalogs not installed",
                      Q_FUNC_INFO);
        return;
    }
    QList<QPointer<QTranslator> > installed;
    for (const QString& catalog : qAsConst(locale.d->catalogs)) {
        QTranslator* translator = loadCatalog(catalog, locale.name(), paths);
        if (!translator) {
            qCWarning(lcTouch, "%s - translation catalog \"%s\" not found", Q_FUNC_INFO,
                      qPrintable(catalog));
            continue;
        }
        QCoreApplication::installTranslator(translator);
        installed.append(translator);
    }
    QMutexLocker lock(&s.mutex);
    s.translators = installed;
}
