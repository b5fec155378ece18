#include "listmodel.h"

#include "common/logging.h"
#include "mgconfitem.h"

#include <QAbstractProxyModel>
#include <QDateTime>
#include <QVector>
#include <QtDebug>

#include <algorithm>

namespace {

const char* const CollateKey = "/meegotouch/i18n/lc_collate";

} // namespace

// One group: its title, its source rows in ascending order, and (exact titles with a date
// column) the first valid date of its rows.
// A group's source rows, ascending. They are kept less a shift the group's rows share: new
// or removed source rows before all of a group's rows move it whole by its shift, so a list
// that grows at scattered places (a first index) renumbers only the group a row comes into,
// not every row after it.
struct ListModel::HeaderItem
{
    QString title;
    QDateTime date;

    int size() const { return kept.size(); }
    bool isEmpty() const { return kept.isEmpty(); }
    int at(int i) const { return kept.at(i) + shift; }
    // The first place whose row is at least, or past, the given row.
    int lowerBound(int row) const
    {
        return int(std::lower_bound(kept.cbegin(), kept.cend(), row - shift) - kept.cbegin());
    }
    int upperBound(int row) const
    {
        return int(std::upper_bound(kept.cbegin(), kept.cend(), row - shift) - kept.cbegin());
    }
    void insert(int place, int row) { kept.insert(place, row - shift); }
    void remove(int place) { kept.remove(place); }
    void append(int row) { kept.append(row - shift); }
    void setRows(const QVector<int>& rows)
    {
        kept = rows;
        shift = 0;
    }
    // Every row at or past `from` moves by `by`.
    void moveFrom(int from, int by)
    {
        if (kept.isEmpty() || at(kept.size() - 1) < from)
            return;
        if (at(0) >= from) {
            shift += by;
            return;
        }
        for (auto row = kept.begin() + lowerBound(from); row != kept.end(); ++row)
            *row += by;
    }

private:
    QVector<int> kept;
    int shift = 0;
};

ListModel::ListModel(bool grouped, QObject* parent)
    : MAbstractItemModel(parent)
    , exactTitles(false)
    , collateSetting(new MGConfItem(QString::fromLatin1(CollateKey), this))
    , locale(collateSetting->value().toString())
    , collator(locale)
    , groupCollator(locale)
    , rows(0)
    , sourceChanging(false)
{
    collator.setStrength(MLocale::CollatorStrengthPrimary);
    exemplars = locale.exemplarCharactersIndex();
    setGrouped(grouped);
    connect(this, SIGNAL(layoutChanged()), this, SLOT(handleLayoutChanged()));
    connect(collateSetting, SIGNAL(valueChanged()), this, SLOT(handleRegionChanged()));
}

ListModel::~ListModel()
{
    qDeleteAll(groups);
}

void ListModel::setSourceModel(QSharedPointer<QAbstractItemModel> model)
{
    if (source) {
        if (!sourceChanging)
            beginResetModel();
        sourceChanging = false;
        clearGroups();
        rows = 0;
        endResetModel();
        // Shared models live on in other pages: their later changes are not ours.
        disconnect(source.data(), nullptr, this, nullptr);
    }
    source = model;
    trackBase();

    if (!source)
        return;
    const int n = sourceRowCount();
    if (n > 0)
        insertSourceRows(0, n - 1);
    QAbstractItemModel* m = source.data();
    connect(m, SIGNAL(rowsInserted(const QModelIndex&, int, int)), this,
            SLOT(handleRowsInserted(QModelIndex, int, int)), Qt::UniqueConnection);
    connect(m, SIGNAL(rowsRemoved(const QModelIndex&, int, int)), this,
            SLOT(handleRowsRemoved(QModelIndex, int, int)), Qt::UniqueConnection);
    connect(m, SIGNAL(dataChanged(const QModelIndex&, const QModelIndex&)), this,
            SLOT(handleDataChanged(QModelIndex, QModelIndex)), Qt::UniqueConnection);
    connect(m, SIGNAL(modelReset()), this, SLOT(handleModelReset()), Qt::UniqueConnection);
    // A source that rearranges its rows (a search proxy filtering or sorting) leaves every
    // stored row number stale: the list is built anew.
    connect(m, SIGNAL(layoutAboutToBeChanged()), this, SLOT(handleSourceLayoutAboutToBeChanged()),
            Qt::UniqueConnection);
    connect(m, SIGNAL(layoutChanged()), this, SLOT(handleSourceLayoutChanged()),
            Qt::UniqueConnection);
    if (qobject_cast<QAbstractProxyModel*>(m))
        connect(m, SIGNAL(sourceModelChanged()), this, SLOT(trackBase()), Qt::UniqueConnection);
}

void ListModel::trackBase()
{
    auto* proxy = qobject_cast<QAbstractProxyModel*>(source.data());
    QAbstractItemModel* now = proxy ? proxy->sourceModel() : source.data();
    if (now == base)
        return;
    if (base)
        disconnect(base, nullptr, this, nullptr);
    base = now;
    forgetBaseTitles();
    if (!base)
        return;
    // The "about to" signals reach this before any change of the rows is passed on.
    connect(base, SIGNAL(rowsAboutToBeInserted(QModelIndex, int, int)), this,
            SLOT(baseRowsAboutToBeInserted(QModelIndex, int, int)));
    connect(base, SIGNAL(rowsAboutToBeRemoved(QModelIndex, int, int)), this,
            SLOT(baseRowsAboutToBeRemoved(QModelIndex, int, int)));
    connect(base, SIGNAL(dataChanged(QModelIndex, QModelIndex)), this,
            SLOT(baseDataChanged(QModelIndex, QModelIndex)));
    connect(base, SIGNAL(modelAboutToBeReset()), this, SLOT(forgetBaseTitles()));
    connect(base, SIGNAL(layoutAboutToBeChanged()), this, SLOT(forgetBaseTitles()));
}

void ListModel::forgetBaseTitles()
{
    baseTitleOf.clear();
    baseTitles.clear();
    baseTitleIds.clear();
}

void ListModel::baseRowsAboutToBeInserted(const QModelIndex& parent, int first, int last)
{
    if (parent.isValid() || baseTitleOf.isEmpty())
        return;
    if (first > baseTitleOf.size())
        baseTitleOf.clear();
    else
        baseTitleOf.insert(first, last - first + 1, -1);
}

void ListModel::baseRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last)
{
    if (parent.isValid() || baseTitleOf.isEmpty())
        return;
    if (last >= baseTitleOf.size())
        baseTitleOf.clear();
    else
        baseTitleOf.remove(first, last - first + 1);
}

void ListModel::baseDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    if (topLeft.parent().isValid())
        return;
    for (int row = qMax(0, topLeft.row()); row <= bottomRight.row() && row < baseTitleOf.size();
         ++row)
        baseTitleOf[row] = -1;
}

void ListModel::setKeyColumns(const QList<int>& columns, bool exact)
{
    keyColumns = columns;
    exactTitles = exact;
    forgetBaseTitles();
    if (isGrouped() && source && sourceRowCount() > 0) {
        beginResetModel();
        rebuild();
        endResetModel();
    }
}

int ListModel::mapToSourceRow(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || index.row() < 0 || index.column() < 0)
        return -1;
    if (!isGrouped())
        return index.row();
    const QModelIndex parent = index.parent();
    if (!parent.isValid())
        return -1; // a group header
    const int group = parent.row();
    if (group < 0 || group >= groups.size() || index.row() >= groups.at(group)->size())
        return -1;
    return groups.at(group)->at(index.row());
}

QModelIndex ListModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid())
        return QModelIndex();
    const int row = sourceIndex.row();
    if (!isGrouped())
        return index(row, 0);
    for (int g = 0; g < groups.size(); ++g) {
        const HeaderItem* group = groups.at(g);
        const int p = group->lowerBound(row);
        if (p < group->size() && group->at(p) == row)
            return index(p, 0, index(g, 0));
    }
    return QModelIndex();
}

void ListModel::emitRowChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    if (!topLeft.isValid() || !bottomRight.isValid() || topLeft.model() != this
        || bottomRight.model() != this)
        return;
    if (topLeft.parent() == bottomRight.parent()) {
        if (topLeft.row() <= bottomRight.row())
            emit dataChanged(topLeft, bottomRight);
        return;
    }
    // The two ends lie in different groups (a list shows headers between its items): announce
    // the headers and the items between them group by group, as one change may not span parents.
    int firstGroup = 0, firstPos = 0, lastGroup = 0, lastPos = 0;
    groupAndPositionOf(topLeft, &firstGroup, &firstPos);
    groupAndPositionOf(bottomRight, &lastGroup, &lastPos);
    if (firstGroup > lastGroup)
        return;
    emit dataChanged(index(firstGroup, 0), index(lastGroup, 0));
    for (int g = firstGroup; g <= lastGroup && g < groups.size(); ++g) {
        const int from = g == firstGroup ? qMax(firstPos, 0) : 0;
        const int to = g == lastGroup ? lastPos : groups.at(g)->size() - 1;
        if (from <= to && to >= 0) {
            const QModelIndex parent = index(g, 0);
            emit dataChanged(index(from, 0, parent), index(to, 0, parent));
        }
    }
}

void ListModel::groupAndPositionOf(const QModelIndex& index, int* group, int* position) const
{
    if (index.parent().isValid()) {
        *group = index.parent().row();
        *position = index.row();
    } else {
        *group = index.row();
        *position = -1; // the header itself
    }
}

int ListModel::groupCount() const
{
    return groups.size();
}

int ListModel::rowCountInGroup(int group) const
{
    if (group == -1)
        return rows;
    if (group >= 0 && group < groups.size())
        return groups.at(group)->size();
    qCDebug(lcData, "%s - Invalid group index!", Q_FUNC_INFO);
    return 0;
}

QString ListModel::groupTitle(int group) const
{
    if (group >= 0 && group < groups.size())
        return groups.at(group)->title;
    qCDebug(lcData, "%s - Invalid group index!", Q_FUNC_INFO);
    return QString();
}

QVariant ListModel::itemData(int row, int group, int role) const
{
    if (row < 0)
        return QVariant();
    int sourceRow = row;
    if (group >= 0 && group < groups.size()) {
        const HeaderItem* stored = groups.at(group);
        if (row >= stored->size()) {
            qCDebug(lcData, "%s - Invalid row!", Q_FUNC_INFO);
            return QVariant();
        }
        sourceRow = stored->at(row);
    } else if (isGrouped()) {
        qCDebug(lcData, "%s - Invalid group index!", Q_FUNC_INFO);
        return QVariant();
    }
    const int column = role - Qt::UserRole;
    if (!source || column < 0 || column >= source->columnCount())
        return QVariant();
    return source->index(sourceRow, column).data(Qt::DisplayRole);
}

void ListModel::groupingChanged()
{
    rebuild();
}

QString ListModel::titleOf(int sourceRow) const
{
    const QString key
        = source->index(sourceRow, keyColumns.value(0, 0)).data(Qt::DisplayRole).toString();
    if (exactTitles)
        return key;
    if (key.isEmpty()) {
        qCDebug(lcData, "%s - empty header string!", Q_FUNC_INFO);
        return key;
    }
    return locale.indexBucket(key, exemplars, collator);
}

QString ListModel::titleFor(int sourceRow) const
{
    if (exactTitles || !base)
        return titleOf(sourceRow);
    int baseRow = sourceRow;
    if (base != source.data()) {
        auto* proxy = static_cast<QAbstractProxyModel*>(source.data());
        baseRow = proxy->mapToSource(proxy->index(sourceRow, 0)).row();
    }
    const int baseRows = base->rowCount();
    if (baseRow < 0 || baseRow >= baseRows)
        return titleOf(sourceRow);
    if (baseTitleOf.size() != baseRows)
        baseTitleOf = QVector<int>(baseRows, -1); // missed a change: start again
    int& id = baseTitleOf[baseRow];
    if (id >= 0)
        return baseTitles.at(id);
    const QString title = titleOf(sourceRow);
    const auto known = baseTitleIds.constFind(title);
    if (known != baseTitleIds.cend()) {
        id = known.value();
        return baseTitles.at(id);
    }
    id = baseTitles.size();
    baseTitles.append(title);
    baseTitleIds.insert(title, id);
    return title;
}

ListModel::HeaderItem* ListModel::newGroup(const QString& title, int sourceRow) const
{
    auto* group = new HeaderItem;
    group->title = title;
    if (exactTitles && keyColumns.size() > 1)
        group->date = source->index(sourceRow, keyColumns.at(1)).data(Qt::DisplayRole).toDateTime();
    return group;
}

bool ListModel::groupBefore(const HeaderItem* a, const HeaderItem* b) const
{
    return groupCollator(a->title, b->title);
}

void ListModel::insertSourceRows(int start, int end)
{
    const int count = end - start + 1;
    if (!isGrouped()) {
        beginInsertRows(QModelIndex(), start, end, start == end);
        rows += count;
        endInsertRows();
        return;
    }

    for (HeaderItem* group : qAsConst(groups))
        group->moveFrom(start, count);

    // The new rows by group: the groups that exist, and the ones these rows make.
    QHash<HeaderItem*, QVector<int> > pending;
    QHash<QString, HeaderItem*> made;
    QList<HeaderItem*> madeInOrder;
    for (int row = start; row <= end; ++row) {
        const QString title = titleFor(row);
        HeaderItem* group = groupsByTitle.value(title);
        if (!group) {
            group = made.value(title);
            if (!group) {
                group = newGroup(title, row);
                made.insert(title, group);
                madeInOrder.append(group);
            } else if (!group->date.isValid() && exactTitles && keyColumns.size() > 1) {
                group->date
                    = source->index(row, keyColumns.at(1)).data(Qt::DisplayRole).toDateTime();
            }
        }
        pending[group].append(row);
    }
    rows += count;

    for (int g = 0; g < groups.size(); ++g) {
        HeaderItem* group = groups.at(g);
        const auto it = pending.constFind(group);
        if (it == pending.constEnd())
            continue;
        const QVector<int> added = it.value();
        const bool animated = added.size() == 1;
        const QModelIndex parent = index(g, 0);
        for (int row : added) {
            const int p = group->upperBound(row);
            beginInsertRows(parent, p, p, animated);
            group->insert(p, row);
            endInsertRows();
        }
    }

    // New groups take their places by collation; equal titles go after the groups there.
    std::stable_sort(madeInOrder.begin(), madeInOrder.end(),
                     [this](const HeaderItem* a, const HeaderItem* b) {
                         return groupBefore(a, b);
                     });
    for (HeaderItem* group : qAsConst(madeInOrder)) {
        const int g = int(std::upper_bound(groups.cbegin(), groups.cend(), group,
                                           [this](const HeaderItem* a, const HeaderItem* b) {
                                               return groupBefore(a, b);
                                           })
                          - groups.cbegin());
        beginInsertRows(QModelIndex(), g, g, false);
        groups.insert(g, group);
        groupsByTitle.insert(group->title, group);
        endInsertRows();

        const QVector<int> added = pending.value(group); // ascending already
        beginInsertRows(index(g, 0), 0, added.size() - 1, added.size() == 1);
        group->setRows(added);
        endInsertRows();
    }
}

void ListModel::rebuild()
{
    clearGroups();
    rows = sourceRowCount();
    if (!isGrouped() || rows == 0)
        return;
    for (int row = 0; row < rows; ++row) {
        const QString title = titleFor(row);
        HeaderItem* group = groupsByTitle.value(title);
        if (!group) {
            group = newGroup(title, row);
            groupsByTitle.insert(title, group);
            groups.append(group);
        } else if (!group->date.isValid() && exactTitles && keyColumns.size() > 1) {
            group->date = source->index(row, keyColumns.at(1)).data(Qt::DisplayRole).toDateTime();
        }
        group->append(row);
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [this](const HeaderItem* a, const HeaderItem* b) {
                         return groupBefore(a, b);
                     });
}

void ListModel::clearGroups()
{
    qDeleteAll(groups);
    groups.clear();
    groupsByTitle.clear();
}

int ListModel::sourceRowCount() const
{
    return source ? source->rowCount() : 0;
}

bool ListModel::changeFitsSource(int change)
{
    // A listener served before this one may have reset the source while the change was being
    // announced (a page starts playback on the queue's first songs, which shuffles the queue
    // afresh): the reset counted the rows already, and the late announcement must not count
    // them again.
    const int count = sourceRowCount();
    if (rows + change == count)
        return true;
    if (rows != count) {
        beginResetModel();
        rebuild();
        endResetModel();
    }
    return false;
}

void ListModel::handleRowsInserted(const QModelIndex& parent, int start, int end)
{
    if (parent.isValid() || end < start || sourceChanging || !changeFitsSource(end - start + 1))
        return;
    insertSourceRows(start, end);
}

void ListModel::handleRowsRemoved(const QModelIndex& parent, int start, int end)
{
    if (parent.isValid() || end < start || sourceChanging || !changeFitsSource(start - end - 1))
        return;
    const int count = end - start + 1;
    if (!isGrouped()) {
        beginRemoveRows(QModelIndex(), start, end, start == end);
        rows -= count;
        endRemoveRows();
        return;
    }

    // Where the removed rows stand, then the rows that stay renumbered first, so that every
    // item still shows its own row while the removals are announced one by one.
    QVector<QPair<int, int> > spans(groups.size());
    for (int g = 0; g < groups.size(); ++g) {
        const int from = groups.at(g)->lowerBound(start);
        const int to = groups.at(g)->upperBound(end);
        spans[g] = qMakePair(from, to - from);
    }
    for (HeaderItem* group : qAsConst(groups))
        group->moveFrom(end + 1, -count);
    rows -= count;

    for (int g = 0; g < groups.size(); ++g) {
        const int p = spans.at(g).first;
        const QModelIndex parent = index(g, 0);
        for (int n = spans.at(g).second; n > 0; --n) {
            beginRemoveRows(parent, p, p, true);
            groups.at(g)->remove(p);
            endRemoveRows();
        }
    }
    for (int g = 0; g < groups.size();) {
        if (!groups.at(g)->isEmpty()) {
            ++g;
            continue;
        }
        beginRemoveRows(QModelIndex(), g, g, true);
        HeaderItem* group = groups.takeAt(g);
        groupsByTitle.remove(group->title);
        delete group;
        endRemoveRows();
    }
}

void ListModel::handleDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    if (!topLeft.isValid() || !bottomRight.isValid() || topLeft.parent().isValid()
        || sourceChanging)
        return;
    const int first = topLeft.row();
    const int last = bottomRight.row();
    if (!isGrouped()) {
        const QModelIndex from = index(first, 0);
        const QModelIndex to = index(qMin(last, rows - 1), 0);
        if (from.isValid() && to.isValid())
            emit dataChanged(from, to);
        return;
    }

    auto announce = [this](int g, int p) {
        const QModelIndex item = index(p, 0, index(g, 0));
        emit dataChanged(item, item);
    };
    if (last - first < 16) {
        for (int row = first; row <= last; ++row) {
            for (int g = 0; g < groups.size(); ++g) {
                const HeaderItem* group = groups.at(g);
                const int p = group->lowerBound(row);
                if (p < group->size() && group->at(p) == row) {
                    announce(g, p);
                    break;
                }
            }
        }
        return;
    }
    // A wide change: one pass over the groups finds every item.
    QVector<QPair<int, int> > itemOf(last - first + 1, qMakePair(-1, -1));
    for (int g = 0; g < groups.size(); ++g) {
        const HeaderItem* group = groups.at(g);
        for (int p = 0; p < group->size(); ++p) {
            const int row = group->at(p);
            if (row >= first && row <= last)
                itemOf[row - first] = qMakePair(g, p);
        }
    }
    for (const QPair<int, int>& item : qAsConst(itemOf)) {
        if (item.first >= 0)
            announce(item.first, item.second);
    }
}

void ListModel::handleModelReset()
{
    beginResetModel();
    rebuild();
    endResetModel();
}

void ListModel::handleLayoutChanged()
{
    // Whoever told the list that its layout changed wants it built anew; a rebuild that is
    // not announced would leave the views with rows that are no longer there.
    beginResetModel();
    rebuild();
    endResetModel();
}

void ListModel::handleSourceLayoutAboutToBeChanged()
{
    if (sourceChanging)
        return;
    sourceChanging = true;
    beginResetModel();
}

void ListModel::handleSourceLayoutChanged()
{
    if (!sourceChanging)
        return;
    sourceChanging = false;
    rebuild();
    endResetModel();
}

void ListModel::handleRegionChanged()
{
    locale = MLocale(collateSetting->value().toString());
    collator = MCollator(locale);
    collator.setStrength(MLocale::CollatorStrengthPrimary);
    groupCollator = MCollator(locale);
    exemplars = locale.exemplarCharactersIndex();
    forgetBaseTitles();
    // The titles are the new locale's index letters and the groups its order.
    beginResetModel();
    rebuild();
    endResetModel();
}
