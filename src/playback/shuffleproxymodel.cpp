#include "shuffleproxymodel.h"

#include "common/logging.h"
#include "mafwurlrole.h"

#include <QTime>
#include <QtDebug>

#include <algorithm>
#include <random>
#include <utility>

ShuffleProxyModel::ShuffleProxyModel(QObject* parent)
    : QAbstractProxyModel(parent)
    , shuffled(false)
    , current(-1)
{
}

ShuffleProxyModel::~ShuffleProxyModel() = default;

QModelIndex ShuffleProxyModel::index(int row, int column, const QModelIndex& parent) const
{
    return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
}

QModelIndex ShuffleProxyModel::parent(const QModelIndex& index) const
{
    Q_UNUSED(index)
    return QModelIndex();
}

int ShuffleProxyModel::rowCount(const QModelIndex& parent) const
{
    // The table, not the source: the source changes before its signals reach this proxy,
    // and until then the table is what the rows map through.
    return parent.isValid() ? 0 : order.size();
}

int ShuffleProxyModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !sourceModel())
        return 0;
    return sourceModel()->columnCount();
}

bool ShuffleProxyModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0 && columnCount(parent) > 0;
}

QVariant ShuffleProxyModel::data(const QModelIndex& index, int role) const
{
    const QModelIndex source = mapToSource(index);
    if (!source.isValid())
        return QVariant();
    if (role == Mafw::UrlRole)
        return source.data(role);
    if (role == Qt::DisplayRole || role == Qt::EditRole || role >= Qt::UserRole)
        return source.data(Qt::DisplayRole);
    return source.data(role); // sizes, fonts, colours: a title would be nonsense there
}

QVariant ShuffleProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal)
        return sourceModel() ? sourceModel()->headerData(section, orientation, role) : QVariant();
    return QAbstractItemModel::headerData(section, orientation, role);
}

void ShuffleProxyModel::setSourceModel(QAbstractItemModel* model)
{
    beginResetModel();
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    QAbstractProxyModel::setSourceModel(model);
    fillTable();
    endResetModel();
    if (!model)
        return;

    connect(model, SIGNAL(rowsInserted(const QModelIndex&, int, int)), this,
            SLOT(handleRowsInserted(QModelIndex, int, int)), Qt::UniqueConnection);
    connect(model, SIGNAL(rowsRemoved(const QModelIndex&, int, int)), this,
            SLOT(handleRowsRemoved(QModelIndex, int, int)), Qt::UniqueConnection);
    connect(model, SIGNAL(dataChanged(const QModelIndex&, const QModelIndex&)), this,
            SLOT(handleDataChanged(QModelIndex, QModelIndex)), Qt::UniqueConnection);
    // Not part of the queue's usual traffic, but a source may still do these: keep the table
    // and the views in step instead of mapping through a stale table.
    connect(model, SIGNAL(modelAboutToBeReset()), this, SLOT(handleSourceAboutToBeReset()),
            Qt::UniqueConnection);
    connect(model, SIGNAL(modelReset()), this, SLOT(handleSourceReset()), Qt::UniqueConnection);
    connect(model, SIGNAL(layoutAboutToBeChanged()), this, SLOT(handleSourceAboutToBeReset()),
            Qt::UniqueConnection);
    connect(model, SIGNAL(layoutChanged()), this, SLOT(handleSourceReset()), Qt::UniqueConnection);
    // The queue's container gets its columns with its first song model and loses them when
    // emptied, with no rows then: a reset says it as well as anything.
    connect(model, SIGNAL(columnsAboutToBeInserted(QModelIndex, int, int)), this,
            SLOT(handleSourceAboutToBeReset()), Qt::UniqueConnection);
    connect(model, SIGNAL(columnsInserted(QModelIndex, int, int)), this, SLOT(handleSourceReset()),
            Qt::UniqueConnection);
    connect(model, SIGNAL(columnsAboutToBeRemoved(QModelIndex, int, int)), this,
            SLOT(handleSourceAboutToBeReset()), Qt::UniqueConnection);
    connect(model, SIGNAL(columnsRemoved(QModelIndex, int, int)), this, SLOT(handleSourceReset()),
            Qt::UniqueConnection);
    // The base class has already switched to its empty model when this runs.
    connect(model, &QObject::destroyed, this, [this]() {
        beginResetModel();
        order.clear();
        endResetModel();
    });
}

QModelIndex ShuffleProxyModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!sourceModel() || !proxyIndex.isValid() || proxyIndex.model() != this)
        return QModelIndex();
    const int row = proxyIndex.row();
    if (row < 0 || row >= order.size() || order.at(row) < 0)
        return QModelIndex();
    return sourceModel()->index(order.at(row), proxyIndex.column());
}

QModelIndex ShuffleProxyModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid() || sourceIndex.model() != sourceModel())
        return QModelIndex();
    const int row = sourceIndex.row();
    const int p = shuffled ? order.indexOf(row) : (row < order.size() ? row : -1);
    return p < 0 ? QModelIndex() : index(p, sourceIndex.column());
}

int ShuffleProxyModel::setShuffle(bool on, int currentRow)
{
    // A new order is a layout change, not a reset: the persistent indexes (the entry that
    // plays, the controller's, a view's selection) go with their songs to their new rows.
    int result = 0;
    emit layoutAboutToBeChanged(QList<QPersistentModelIndex>(),
                                QAbstractItemModel::VerticalSortHint);
    const QVector<int> before = order;
    if (on) {
        current = currentRow;
        shuffled = true;
        order.clear();
        shuffle(0, sourceRowCount() - 1, true);
        const int p = currentRow >= 0 ? order.indexOf(currentRow) : -1;
        if (p > 0)
            std::swap(order[p], order[0]);
        current = 0;
    } else {
        current = currentRow >= 0 && currentRow < order.size() ? order.at(currentRow) : -1;
        shuffled = false;
        rebuildOrder();
        result = current;
    }
    carryPersistentIndexes(before);
    emit layoutChanged(QList<QPersistentModelIndex>(), QAbstractItemModel::VerticalSortHint);
    return result;
}

void ShuffleProxyModel::carryPersistentIndexes(const QVector<int>& before)
{
    const QModelIndexList persistent = persistentIndexList();
    if (persistent.isEmpty())
        return;
    const int size = order.size();
    QVector<int> positionOf(size, -1);
    for (int p = 0; p < size; ++p) {
        if (order.at(p) >= 0 && order.at(p) < size)
            positionOf[order.at(p)] = p;
    }
    for (const QModelIndex& old : persistent) {
        const int source = before.value(old.row(), -1);
        const int row = source >= 0 && source < size ? positionOf.at(source) : -1;
        changePersistentIndex(old, row >= 0 ? index(row, old.column()) : QModelIndex());
    }
}

bool ShuffleProxyModel::isShuffled() const
{
    return shuffled;
}

void ShuffleProxyModel::setCurrentIndex(int row)
{
    current = row;
}

unsigned int ShuffleProxyModel::shuffleSeed() const
{
    return unsigned(QTime::currentTime().msec());
}

void ShuffleProxyModel::rebuildOrder()
{
    const int n = sourceRowCount();
    order.resize(n);
    for (int i = 0; i < n; ++i)
        order[i] = i;
}

int ShuffleProxyModel::sourceRowCount() const
{
    return sourceModel() ? sourceModel()->rowCount() : 0;
}

void ShuffleProxyModel::shuffle(int first, int last, bool whole)
{
    for (int row = first; row <= last; ++row)
        order.append(row);
    mixFrom(whole ? 0 : (current >= 0 ? current + 1 : order.size()));
}

void ShuffleProxyModel::mixFrom(int from)
{
    std::mt19937 random(shuffleSeed());
    const int size = order.size();
    for (int i = from; i < size; ++i)
        std::swap(order[i], order[i + int(random() % unsigned(size - i))]);
}

void ShuffleProxyModel::mixRowsAfterCurrent()
{
    // The songs after the current one (all of them when the current song lies beyond the
    // table, as after the whole queue was removed) are mixed again. Their rows change places,
    // so this is announced as a layout change that carries the persistent indexes along,
    // and then as a data change of those rows for the lists that only follow data.
    if (current < 0)
        return;
    const int size = order.size();
    const int from = current + 1 < size ? current + 1 : 0;
    if (size - from < 2)
        return;

    emit layoutAboutToBeChanged(QList<QPersistentModelIndex>(),
                                QAbstractItemModel::VerticalSortHint);
    const QVector<int> before = order;
    mixFrom(from);
    carryPersistentIndexes(before);
    emit layoutChanged(QList<QPersistentModelIndex>(), QAbstractItemModel::VerticalSortHint);
    const int columns = columnCount();
    if (columns > 0)
        emit dataChanged(index(from, 0), index(size - 1, columns - 1));
}

void ShuffleProxyModel::handleRowsInserted(const QModelIndex& parent, int first, int last)
{
    if (parent.isValid() || last < first)
        return;
    // The source has its new rows already: renumber the songs that moved down before anything
    // is announced, so that every row keeps showing its own song meanwhile.
    const int count = last - first + 1;
    const int oldSize = order.size();
    for (int& entry : order) {
        if (entry >= first)
            entry += count;
    }
    int at = first; // in source order the new songs stand where the source put them
    if (shuffled)
        at = first >= oldSize ? oldSize : qBound(0, current + 1, oldSize);
    at = qBound(0, at, oldSize);

    beginInsertRows(QModelIndex(), at, at + count - 1);
    order.insert(at, count, 0);
    for (int i = 0; i < count; ++i)
        order[at + i] = first + i;
    endInsertRows();
    if (shuffled)
        mixRowsAfterCurrent();
}

void ShuffleProxyModel::handleRowsRemoved(const QModelIndex& parent, int first, int last)
{
    if (parent.isValid() || last < first)
        return;
    // Renumber the songs that stay before announcing anything (see handleRowsInserted); the
    // removed ones map to nothing until their rows are gone.
    const int count = last - first + 1;
    for (int& entry : order) {
        if (entry >= first && entry <= last)
            entry = -1;
        else if (entry > last)
            entry -= count;
    }
    if (!shuffled || (first == 0 && last == order.size() - 1)) {
        // In source order the removed songs stand together, as they did in the source; with
        // every song gone the table empties and shuffle stays as it is.
        const int from = qBound(0, first, order.size() - 1);
        const int to = qBound(from, last, order.size() - 1);
        if (order.isEmpty())
            return;
        beginRemoveRows(QModelIndex(), from, to);
        order.remove(from, to - from + 1);
        endRemoveRows();
        return;
    }
    // Shuffled, they stand anywhere: each is removed on its own.
    for (int p = 0; p < order.size();) {
        if (order.at(p) >= 0) {
            ++p;
            continue;
        }
        beginRemoveRows(QModelIndex(), p, p);
        order.remove(p);
        endRemoveRows();
    }
}

void ShuffleProxyModel::handleDataChanged(const QModelIndex& topLeft,
                                          const QModelIndex& bottomRight)
{
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    if (!shuffled || topLeft.row() == bottomRight.row()) {
        const QModelIndex from = mapFromSource(topLeft);
        const QModelIndex to = mapFromSource(bottomRight);
        if (!from.isValid() || !to.isValid()) {
            qCDebug(lcPlayback, "%s - invalid index!", Q_FUNC_INFO);
            return;
        }
        emit dataChanged(from, to);
        return;
    }

    // Shuffled, the source rows of the range lie anywhere: announce the span that holds them
    // all (a change from the first to the last mapped corner could miss most of them).
    const int size = order.size();
    QVector<int> positionOf(qMax(size, bottomRight.row() + 1), -1);
    for (int p = 0; p < size; ++p) {
        if (order.at(p) >= 0 && order.at(p) < positionOf.size())
            positionOf[order.at(p)] = p;
    }
    int top = -1;
    int bottom = -1;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        const int p = positionOf.value(row, -1);
        if (p < 0)
            continue;
        top = top < 0 ? p : qMin(top, p);
        bottom = qMax(bottom, p);
    }
    if (top < 0) {
        qCDebug(lcPlayback, "%s - invalid index!", Q_FUNC_INFO);
        return;
    }
    emit dataChanged(index(top, topLeft.column()), index(bottom, bottomRight.column()));
}

void ShuffleProxyModel::handleSourceAboutToBeReset()
{
    beginResetModel();
}

void ShuffleProxyModel::handleSourceReset()
{
    fillTable();
    endResetModel();
}

void ShuffleProxyModel::fillTable()
{
    // Shuffled, the songs are mixed after the current one, as songs added later would be.
    order.clear();
    if (shuffled)
        shuffle(0, sourceRowCount() - 1, false);
    else
        rebuildOrder();
}
