#include "mcollator.h"

#include "touchlogging.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QtDebug>

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <memory>

struct MCollatorData
{
    QString localeName;
    std::unique_ptr<icu::Collator> collator; // null only when ICU could not make one
};

namespace {

// Building an ICU collator costs far more than a comparison, and the default collator is
// asked for per comparison by the sort proxies: keep one per collation locale. Cached
// collators are never changed; setStrength() works on a clone.
QSharedPointer<MCollatorData> cachedCollator(const QString& localeName)
{
    static QMutex mutex;
    static QHash<QString, QSharedPointer<MCollatorData> > cache;

    QMutexLocker lock(&mutex);
    QSharedPointer<MCollatorData> data = cache.value(localeName);
    if (data)
        return data;

    data = QSharedPointer<MCollatorData>::create();
    data->localeName = localeName;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale(localeName.toLatin1().constData());
    data->collator.reset(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status) || !data->collator) {
        qCWarning(lcTouch, "%s - no collation for \"%s\" (%s)", Q_FUNC_INFO, qPrintable(localeName),
                  u_errorName(status));
        data->collator.reset();
    }
    cache.insert(localeName, data);
    return data;
}

MLocale::Comparison toComparison(int result)
{
    return result < 0 ? MLocale::LessThan : (result > 0 ? MLocale::GreaterThan : MLocale::Equal);
}

} // namespace

MCollator::MCollator()
    : d(cachedCollator(MLocale().collationName()))
{
}

MCollator::MCollator(const MLocale& locale)
    : d(cachedCollator(locale.collationName()))
{
}

MCollator::MCollator(const MCollator& other) = default;
MCollator& MCollator::operator=(const MCollator& other) = default;
MCollator::~MCollator() = default;

void MCollator::setStrength(MLocale::CollatorStrength strength)
{
    if (!d->collator || this->strength() == strength)
        return;

    auto copy = QSharedPointer<MCollatorData>::create();
    copy->localeName = d->localeName;
    copy->collator.reset(d->collator->clone());
    icu::Collator::ECollationStrength s = icu::Collator::TERTIARY;
    switch (strength) {
    case MLocale::CollatorStrengthPrimary:
        s = icu::Collator::PRIMARY;
        break;
    case MLocale::CollatorStrengthSecondary:
        s = icu::Collator::SECONDARY;
        break;
    case MLocale::CollatorStrengthTertiary:
        s = icu::Collator::TERTIARY;
        break;
    case MLocale::CollatorStrengthQuaternary:
        s = icu::Collator::QUATERNARY;
        break;
    case MLocale::CollatorStrengthIdentical:
        s = icu::Collator::IDENTICAL;
        break;
    }
    copy->collator->setStrength(s);
    d = copy;
}

MLocale::CollatorStrength MCollator::strength() const
{
    if (!d->collator)
        return MLocale::CollatorStrengthTertiary;
    switch (d->collator->getStrength()) {
    case icu::Collator::PRIMARY:
        return MLocale::CollatorStrengthPrimary;
    case icu::Collator::SECONDARY:
        return MLocale::CollatorStrengthSecondary;
    case icu::Collator::QUATERNARY:
        return MLocale::CollatorStrengthQuaternary;
    case icu::Collator::IDENTICAL:
        return MLocale::CollatorStrengthIdentical;
    default:
        return MLocale::CollatorStrengthTertiary;
    }
}

bool MCollator::operator()(const QString& a, const QString& b) const
{
    return compareWith(a, b) == MLocale::LessThan;
}

MLocale::Comparison MCollator::compare(const QString& a, const QString& b)
{
    return MCollator().compareWith(a, b);
}

MLocale::Comparison MCollator::compareWith(const QString& a, const QString& b) const
{
    if (!d->collator)
        return toComparison(QString::compare(a, b));
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = d->collator->compare(reinterpret_cast<const UChar*>(a.utf16()),
                                                    a.size(),
                                                    reinterpret_cast<const UChar*>(b.utf16()),
                                                    b.size(), status);
    if (U_FAILURE(status))
        return toComparison(QString::compare(a, b));
    return toComparison(r);
}
