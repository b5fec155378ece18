#include "containermodel.h"

#include "common/logging.h"
#include "mafwtrackermodel.h"
#include "modelcolumns.h"

#include <QTimer>
#include <QtDebug>

namespace {

// The columns that every song model of the queue shares: the song columns up to "albumId".
constexpr int SharedColumns = SongColumns().albumId + 1;

} // namespace

ContainerModel::ContainerModel()
    : QAbstractItemModel(nullptr)
    , hasColumns(false)
    , resetting(false)
{
}

ContainerModel::ContainerModel(const QSharedPointer<QAbstractItemModel>& model)
    : ContainerModel()
{
    append(model);
}

ContainerModel::~ContainerModel() = default;

void ContainerModel::append(const QSharedPointer<QAbstractItemModel>& model)
{
    if (!model) {
        qCDebug(lcData, "%s - null model ignored", Q_FUNC_INFO);
        return;
    }
    if (model->columnCount() < SharedColumns)
        return;
    if (!models.isEmpty()) {
        const QSharedPointer<QAbstractItemModel>& first = models.first();
        for (int c = 0; c < SharedColumns; ++c) {
            if (model->headerData(c, Qt::Horizontal, Qt::DisplayRole)
                != first->headerData(c, Qt::Horizontal, Qt::DisplayRole))
                return;
        }
    }

    // The container has no columns while it is empty: announce them, or the views and
    // proxies above would keep thinking it has none.
    if (!hasColumns) {
        beginInsertColumns(QModelIndex(), 0, SharedColumns - 1);
        hasColumns = true;
        endInsertColumns();
    }

    const int first = rowCount();
    const int n = model->rowCount();
    if (n > 0)
        beginInsertRows(QModelIndex(), first, first + n - 1);
    models.append(model);
    QAbstractItemModel* m = model.data();
    connect(m, SIGNAL(dataChanged(const QModelIndex&, const QModelIndex&)), this,
            SLOT(handleDataChanged(QModelIndex, QModelIndex)), Qt::UniqueConnection);
    connect(m, SIGNAL(rowsAboutToBeInserted(const QModelIndex&, int, int)), this,
            SLOT(handleRowsAboutToBeInserted(QModelIndex, int, int)), Qt::UniqueConnection);
    connect(m, SIGNAL(rowsAboutToBeRemoved(const QModelIndex&, int, int)), this,
            SLOT(handleRowsAboutToBeRemoved(QModelIndex, int, int)), Qt::UniqueConnection);
    connect(m, SIGNAL(rowsInserted(const QModelIndex&, int, int)), this,
            SLOT(handleRowsInserted(QModelIndex, int, int)), Qt::UniqueConnection);
    connect(m, SIGNAL(rowsRemoved(const QModelIndex&, int, int)), this,
            SLOT(handleRowsRemoved(QModelIndex, int, int)), Qt::UniqueConnection);
    // Song models change row by row; a wholesale change of one is passed on as a reset.
    connect(m, SIGNAL(modelAboutToBeReset()), this, SLOT(handleSubModelAboutToBeReset()),
            Qt::UniqueConnection);
    connect(m, SIGNAL(modelReset()), this, SLOT(handleSubModelReset()), Qt::UniqueConnection);
    connect(m, SIGNAL(layoutAboutToBeChanged()), this, SLOT(handleSubModelAboutToBeReset()),
            Qt::UniqueConnection);
    connect(m, SIGNAL(layoutChanged()), this, SLOT(handleSubModelReset()), Qt::UniqueConnection);
    if (n > 0)
        endInsertRows();

    // The whole list is queued, not only the batch a tracker model loads first.
    if (auto* tracker = qobject_cast<MafwTrackerModel*>(m))
        tracker->fetchRemainingRows();
    else
        qCDebug(lcData, "%s - Not MafwTrackerModel!", Q_FUNC_INFO);
}

void ContainerModel::clear()
{
    const int n = rowCount();
    if (n > 0)
        beginRemoveRows(QModelIndex(), 0, n - 1);
    for (const QSharedPointer<QAbstractItemModel>& model : qAsConst(models)) {
        disconnect(model.data(), nullptr, this, nullptr);
        releaseList.append(model);
    }
    models.clear();
    if (n > 0)
        endRemoveRows();
    if (hasColumns) {
        beginRemoveColumns(QModelIndex(), 0, SharedColumns - 1);
        hasColumns = false;
        endRemoveColumns();
    }
    // Never deleted here: clear() is also reached from inside a sub-model's own signal.
    QTimer::singleShot(0, this, SLOT(releaseModels()));
}

QModelIndex ContainerModel::index(int row, int column, const QModelIndex& parent) const
{
    return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
}

QModelIndex ContainerModel::parent(const QModelIndex& index) const
{
    Q_UNUSED(index)
    return QModelIndex();
}

int ContainerModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    int rows = 0;
    for (const QSharedPointer<QAbstractItemModel>& model : models)
        rows += model->rowCount();
    return rows;
}

int ContainerModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return hasColumns ? SharedColumns : 0;
}

QVariant ContainerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this || index.column() >= columnCount())
        return QVariant();
    const QModelIndex subIndex = mapToSubModel(index.row(), index.column());
    return subIndex.isValid() ? subIndex.data(role) : QVariant();
}

bool ContainerModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.model() != this)
        return false;
    const QModelIndex subIndex = mapToSubModel(index.row(), index.column());
    if (!subIndex.isValid())
        return false;
    return const_cast<QAbstractItemModel*>(subIndex.model())->setData(subIndex, value, role);
}

QVariant ContainerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (models.isEmpty() || orientation == Qt::Vertical || section < 0 || section >= columnCount())
        return QVariant();
    return models.first()->headerData(section, orientation, role);
}

int ContainerModel::rowOffset(QAbstractItemModel* model) const
{
    int offset = 0;
    for (const QSharedPointer<QAbstractItemModel>& m : models) {
        if (m.data() == model)
            return offset;
        offset += m->rowCount();
    }
    return -1;
}

QModelIndex ContainerModel::mapFromSubModel(const QModelIndex& subIndex) const
{
    if (!subIndex.isValid())
        return QModelIndex();
    const int offset = rowOffset(const_cast<QAbstractItemModel*>(subIndex.model()));
    if (offset < 0)
        return QModelIndex();
    return index(offset + subIndex.row(), subIndex.column());
}

QModelIndex ContainerModel::mapToSubModel(int row, int column) const
{
    if (row < 0)
        return QModelIndex();
    int offset = 0;
    for (const QSharedPointer<QAbstractItemModel>& m : models) {
        const int rows = m->rowCount();
        if (row < offset + rows)
            return m->index(row - offset, column);
        offset += rows;
    }
    return QModelIndex();
}

int ContainerModel::occurrences(const QAbstractItemModel* model) const
{
    int n = 0;
    for (const QSharedPointer<QAbstractItemModel>& m : models) {
        if (m.data() == model)
            ++n;
    }
    return n;
}

void ContainerModel::handleDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    auto* model = qobject_cast<QAbstractItemModel*>(sender());
    if (!model || !topLeft.isValid() || !bottomRight.isValid() || topLeft.parent().isValid()
        || !hasColumns)
        return;
    // A change in the columns the queue does not show (the song's URL) still changes what its
    // row answers for the item roles: announce the row.
    const int left = topLeft.column() < SharedColumns ? topLeft.column() : 0;
    const int right = bottomRight.column() < SharedColumns ? bottomRight.column()
                                                           : SharedColumns - 1;
    int offset = 0;
    for (const QSharedPointer<QAbstractItemModel>& m : qAsConst(models)) {
        if (m.data() == model) {
            const QModelIndex from = index(offset + topLeft.row(), qMin(left, right));
            const QModelIndex to = index(offset + bottomRight.row(), right);
            if (from.isValid() && to.isValid())
                emit dataChanged(from, to);
        }
        offset += m->rowCount();
    }
}

// The offset is taken when the sub-model signals. A sub-model queued more than once changes
// several places at a time, which one announcement cannot say: that is announced as a reset.
bool ContainerModel::beginSubModelChange(const QModelIndex& parent, int* offset)
{
    auto* model = qobject_cast<QAbstractItemModel*>(sender());
    *offset = rowOffset(model);
    if (*offset < 0 || parent.isValid() || resetting)
        return false;
    if (occurrences(model) > 1) {
        resetting = true;
        beginResetModel();
        return false;
    }
    return true;
}

bool ContainerModel::endSubModelChange(const QModelIndex& parent)
{
    if (parent.isValid() || rowOffset(qobject_cast<QAbstractItemModel*>(sender())) < 0)
        return false;
    if (!resetting)
        return true;
    resetting = false;
    endResetModel();
    return false;
}

void ContainerModel::handleRowsAboutToBeInserted(const QModelIndex& parent, int start, int end)
{
    int offset = 0;
    if (beginSubModelChange(parent, &offset))
        beginInsertRows(QModelIndex(), offset + start, offset + end);
}

void ContainerModel::handleRowsInserted(const QModelIndex& parent, int start, int end)
{
    Q_UNUSED(start)
    Q_UNUSED(end)
    if (endSubModelChange(parent))
        endInsertRows();
}

void ContainerModel::handleRowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    int offset = 0;
    if (beginSubModelChange(parent, &offset))
        beginRemoveRows(QModelIndex(), offset + start, offset + end);
}

void ContainerModel::handleRowsRemoved(const QModelIndex& parent, int start, int end)
{
    Q_UNUSED(start)
    Q_UNUSED(end)
    const bool wasSubModel = rowOffset(qobject_cast<QAbstractItemModel*>(sender())) >= 0;
    if (endSubModelChange(parent))
        endRemoveRows();
    if (wasSubModel && !parent.isValid() && rowCount() == 0)
        clear();
}

void ContainerModel::handleSubModelAboutToBeReset()
{
    if (resetting || rowOffset(qobject_cast<QAbstractItemModel*>(sender())) < 0)
        return;
    resetting = true;
    beginResetModel();
}

void ContainerModel::handleSubModelReset()
{
    if (!resetting || rowOffset(qobject_cast<QAbstractItemModel*>(sender())) < 0)
        return;
    resetting = false;
    endResetModel();
    if (rowCount() == 0)
        clear();
}

void ContainerModel::releaseModels()
{
    releaseList.clear();
}
