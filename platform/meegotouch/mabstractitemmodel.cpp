#include "mabstractitemmodel.h"

namespace {

// Root items carry 0; the children of group g carry g + 1, so parent() needs no lookup.
const quintptr RootId = 0;

} // namespace

MAbstractItemModel::MAbstractItemModel(QObject* parent)
    : QAbstractItemModel(parent)
    , m_grouped(false)
    , m_animated(false)
{
}

MAbstractItemModel::~MAbstractItemModel() = default;

bool MAbstractItemModel::isGrouped() const
{
    return m_grouped;
}

void MAbstractItemModel::setGrouped(bool grouped)
{
    if (m_grouped == grouped)
        return;
    beginResetModel();
    m_grouped = grouped;
    groupingChanged();
    endResetModel();
}

void MAbstractItemModel::groupingChanged()
{
}

bool MAbstractItemModel::isAnimatedChange() const
{
    return m_animated;
}

QModelIndex MAbstractItemModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column != 0)
        return QModelIndex();
    if (!parent.isValid()) {
        const int rows = m_grouped ? groupCount() : rowCountInGroup(-1);
        return row < rows ? createIndex(row, 0, RootId) : QModelIndex();
    }
    if (!m_grouped || parent.model() != this || parent.internalId() != RootId)
        return QModelIndex();
    const int group = parent.row();
    if (group >= groupCount() || row >= rowCountInGroup(group))
        return QModelIndex();
    return createIndex(row, 0, quintptr(group) + 1);
}

QModelIndex MAbstractItemModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == RootId)
        return QModelIndex();
    return createIndex(int(child.internalId() - 1), 0, RootId);
}

int MAbstractItemModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_grouped ? groupCount() : rowCountInGroup(-1);
    if (!m_grouped || parent.internalId() != RootId || parent.column() != 0)
        return 0;
    return parent.row() < groupCount() ? rowCountInGroup(parent.row()) : 0;
}

int MAbstractItemModel::columnCount(const QModelIndex& parent) const
{
    Q_UNUSED(parent)
    return 1;
}

QVariant MAbstractItemModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return QVariant();
    if (index.internalId() != RootId)
        return itemData(index.row(), int(index.internalId() - 1), role);
    if (!m_grouped)
        return itemData(index.row(), -1, role);
    return role == Qt::DisplayRole ? QVariant(groupTitle(index.row())) : QVariant();
}

void MAbstractItemModel::beginInsertRows(const QModelIndex& parent, int first, int last,
                                         bool animated)
{
    m_animated = animated;
    QAbstractItemModel::beginInsertRows(parent, first, last);
}

void MAbstractItemModel::endInsertRows()
{
    QAbstractItemModel::endInsertRows();
    m_animated = false;
}

void MAbstractItemModel::beginRemoveRows(const QModelIndex& parent, int first, int last,
                                         bool animated)
{
    m_animated = animated;
    QAbstractItemModel::beginRemoveRows(parent, first, last);
}

void MAbstractItemModel::endRemoveRows()
{
    QAbstractItemModel::endRemoveRows();
    m_animated = false;
}
