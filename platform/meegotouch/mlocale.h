#ifndef MLOCALE_H
#define MLOCALE_H

#include <QSharedDataPointer>
#include <QString>
#include <QStringList>
#include <Qt>

class QDateTime;
class MCollator;
class MLocalePrivate;

// A locale backed by ICU: number and date formats, index letters for grouped lists, the
// collator, and the translation catalogs that qtTrId() reads. A value type: copies are cheap.
//
// A default-constructed locale is the process default (the one given to setDefault(), or the
// one of the environment before that). The environment's locale, and every copy of it, collates
// by the "/meegotouch/i18n/lc_collate" setting (by default the C library's LC_COLLATE locale,
// the one the library store sorts by); a locale made from a name uses that name for
// everything, also once it is made the default.
class MLocale
{
public:
    enum CollatorStrength {
        CollatorStrengthPrimary = 0,
        CollatorStrengthSecondary,
        CollatorStrengthTertiary,
        CollatorStrengthQuaternary,
        CollatorStrengthIdentical
    };
    enum Comparison { LessThan = -1, Equal = 0, GreaterThan = 1 };
    enum DateType { DateNone, DateShort, DateMedium, DateLong, DateFull };
    enum TimeType { TimeNone, TimeShort, TimeMedium, TimeLong, TimeFull };
    enum CalendarType { DefaultCalendar, GregorianCalendar };

    MLocale();
    explicit MLocale(const QString& localeName);
    MLocale(const MLocale& other);
    MLocale& operator=(const MLocale& other);
    ~MLocale();

    // The name as given ("en_GB", "zh", ...) and its language ("en").
    QString name() const;
    QString language() const;

    // ISO 15924 codes of the scripts the locale writes in ("Latn"; "Arab" for Arabic).
    QStringList localeScripts() const;
    // Right-to-left when the first strong character of the text is; pure and thread-safe.
    static Qt::LayoutDirection directionForText(const QString& text);

    QString formatNumber(int i) const;
    QString formatNumber(qlonglong i) const;
    // format uses the strftime conversions (%Y, %m, %d, %H, %M, %S, %B, %b, %A, %a, %p, ...).
    QString formatDateTime(const QDateTime& dateTime, const QString& format) const;
    QString formatDateTime(const QDateTime& dateTime, DateType dateType = DateLong,
                           TimeType timeType = TimeLong,
                           CalendarType calendarType = DefaultCalendar) const;

    MCollator collator() const;
    // The index letters of the collation ("A".."Z" in English), in collation order.
    QStringList exemplarCharactersIndex() const;
    // The index letter under which str files, as the collation reads it: "Émile" under "E",
    // "Ævintýri" (read "AEvintyri") under "A". Text that the locale's letters do not cover
    // files under its own first letter, upper-cased and without accents where the collation
    // does not tell them apart ("Кино" under "К"; letters it does not tell apart at all share
    // one); text that orders before every letter (digits, punctuation) files under "#". The
    // letters in collation order hold their texts in collation order.
    QString indexBucket(const QString& str, const QStringList& buckets,
                        const MCollator& coll) const;

    // Translation catalogs: <catalog>.qm is looked up in the added paths, then in the
    // build's catalog folder and the installed one. setDefault() installs the catalogs of
    // the locale it is given (replacing those installed before) and sets QLocale's default.
    static void addTranslationPath(const QString& path);
    void installTrCatalog(const QString& name);
    static void setDefault(const MLocale& locale);

private:
    friend class MCollator;
    QString collationName() const;

    QSharedDataPointer<MLocalePrivate> d;
};

#endif // MLOCALE_H
