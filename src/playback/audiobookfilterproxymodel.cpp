#include "audiobookfilterproxymodel.h"

#include <QRegExp>

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
    if (on)
        setFilterRegExp(QRegExp(QStringLiteral("(audiobook|podcast)"), Qt::CaseInsensitive, QRegExp::RegExp));
    else
        setFilterRegExp(QRegExp());
    enabled = on;
}

bool AudiobookFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    QRegExp pattern = filterRegExp();
    if (pattern.isEmpty())
        return true;
    const QModelIndex genre = sourceModel()->index(sourceRow, column, sourceParent);
    return !pattern.exactMatch(genre.data(Qt::DisplayRole).toString());
}
