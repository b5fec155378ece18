#include "audiobookfilterproxymodel.h"

AudiobookFilterProxyModel::AudiobookFilterProxyModel(int column, QObject* parent)
    : QSortFilterProxyModel(parent)
    , column(column)
    , enabled(false)
{
    setDynamicSortFilter(true);
}

bool AudiobookFilterProxyModel::filterEnabled() const
{
    return enabled;
}

void AudiobookFilterProxyModel::setFilterEnabled(bool on)
{
    if (on == enabled)
        return;
    enabled = on;
    invalidateFilter();
}

bool AudiobookFilterProxyModel::filterAcceptsRow(int sourceRow,
                                                 const QModelIndex& sourceParent) const
{
    // Asked for every row the queue gains, so a plain comparison rather than a pattern.
    if (!enabled)
        return true;
    const QString genre
        = sourceModel()->index(sourceRow, column, sourceParent).data(Qt::DisplayRole).toString();
    return genre.compare(QLatin1String("audiobook"), Qt::CaseInsensitive) != 0
           && genre.compare(QLatin1String("podcast"), Qt::CaseInsensitive) != 0;
}
