#include "mafwtrackermodel.h"

#include "mafwstorecatalogue.h"
#include "mafwtrackermodelfactory.h"
#include "mafwurlrole.h"

#include <QDebug>
#include <QHash>
#include <QTimer>

#include <algorithm>

namespace {

// Positions (in the new order) of the longest run of kept rows that is already in order;
// every other kept row has to leave and come back at its new place.
QVector<bool> longestOrderedRun(const QVector<int>& positions)
{
    const int n = positions.size();
    QVector<int> tailIndex;
    QVector<int> previous(n, -1);
    for (int i = 0; i < n; ++i) {
        auto it = std::lower_bound(tailIndex.begin(), tailIndex.end(), positions.at(i),
                                   [&](int index, int value) { return positions.at(index) < value; });
        const int length = int(it - tailIndex.begin());
        if (length > 0)
            previous[i] = tailIndex.at(length - 1);
        if (it == tailIndex.end())
            tailIndex.append(i);
        else
            *it = i;
    }
    QVector<bool> keep(n, false);
    for (int i = tailIndex.isEmpty() ? -1 : tailIndex.last(); i >= 0; i = previous.at(i))
        keep[i] = true;
    return keep;
}

} // namespace

MafwTrackerModel::MafwTrackerModel(MafwTrackerModelFactory* factory, QueryType type, int limit,
                                   int id, int secondId)
    : m_factory(factory)
    , m_type(type)
    , m_limit(limit)
    , m_id(id)
    , m_secondId(secondId)
    , m_headers(MafwStoreRowBuilder::headers(type))
{
    m_urlColumn = m_headers.indexOf(QStringLiteral("url"));
    m_favouriteColumn = m_headers.indexOf(QStringLiteral("favorited"));
    m_wantAll = limit <= 0;
    start();
}

MafwTrackerModel::MafwTrackerModel(MafwTrackerModelFactory* factory, QueryType type,
                                   const QVector<MafwStoreRow>& pinned)
    : m_factory(factory)
    , m_type(type)
    , m_limit(0)
    , m_id(0)
    , m_secondId(0)
    , m_headers(MafwStoreRowBuilder::headers(type))
    , m_pinnedMode(true)
    , m_pinned(pinned)
{
    m_urlColumn = m_headers.indexOf(QStringLiteral("url"));
    m_favouriteColumn = m_headers.indexOf(QStringLiteral("favorited"));
    m_wantAll = true;
    start();
}

MafwTrackerModel::~MafwTrackerModel()
{
}

void MafwTrackerModel::start()
{
    MafwStoreCatalogue* catalogue = m_factory->catalogue();
    connect(catalogue, &MafwStoreCatalogue::changed, this, &MafwTrackerModel::libraryChanged);
    if (catalogue->isLoaded())
        QMetaObject::invokeMethod(this, "firstFill", Qt::QueuedConnection);
    else
        connect(catalogue, &MafwStoreCatalogue::loaded, this, &MafwTrackerModel::firstFill);
}

MafwTrackerModel::QueryType MafwTrackerModel::queryType() const
{
    return m_type;
}

int MafwTrackerModel::queryId() const
{
    return m_id;
}

bool MafwTrackerModel::isComplete() const
{
    return m_complete && m_filling.isEmpty();
}

QVector<MafwStoreRow> MafwTrackerModel::currentResult(int maxRows, int* total) const
{
    if (m_pinnedMode) {
        QVector<MafwStoreRow> rows = m_factory->rowBuilder().pinnedRows(m_type, m_pinned);
        if (total)
            *total = rows.size();
        return rows;
    }
    return m_factory->rowBuilder().rows(m_type, m_id, m_secondId, maxRows, total);
}

void MafwTrackerModel::firstFill()
{
    if (m_started)
        return;
    m_started = true;
    disconnect(m_factory->catalogue(), &MafwStoreCatalogue::loaded, this,
               &MafwTrackerModel::firstFill);
    int total = 0;
    const bool finalLimit = MafwStoreRowBuilder::limitIsFinal(m_type) && m_limit > 0;
    const int maxRows = (m_wantAll && !finalLimit) ? -1 : m_limit;
    m_filling = currentResult(maxRows, &total);
    m_complete = finalLimit || m_filling.size() >= total;
    insertNextBatch();
}

void MafwTrackerModel::insertNextBatch()
{
    if (m_filling.isEmpty()) {
        finishFilling();
        return;
    }
    const int batch = std::max(1, m_factory->batchSize());
    const int n = std::min(batch, int(m_filling.size()));
    const int first = m_rows.size();
    beginInsertRows(QModelIndex(), first, first + n - 1);
    m_rows += m_filling.mid(0, n);
    m_filling.remove(0, n);
    endInsertRows();
    if (m_filling.isEmpty())
        finishFilling();
    else
        QTimer::singleShot(0, this, &MafwTrackerModel::insertNextBatch);
}

void MafwTrackerModel::finishFilling()
{
    if (m_stale) {
        m_stale = false;
        libraryChanged(MafwStoreChanges());
        if (!m_filling.isEmpty())
            return;
    }
    if (m_complete && !m_completedSent) {
        m_completedSent = true;
        m_factory->modelCompleted(m_type);
        emit completed();
    }
}

void MafwTrackerModel::fetchRemainingRows()
{
    if (m_pinnedMode || MafwStoreRowBuilder::limitIsFinal(m_type))
        return;
    m_wantAll = true;
    if (!m_started || !m_filling.isEmpty() || m_complete)
        return; // the first fill takes every row, or the model has them
    int total = 0;
    const QVector<MafwStoreRow> all = currentResult(-1, &total);
    applyRows(all.mid(0, m_rows.size()));
    m_filling = all.mid(m_rows.size());
    m_complete = true;
    QTimer::singleShot(0, this, &MafwTrackerModel::insertNextBatch);
}

void MafwTrackerModel::libraryChanged(const MafwStoreChanges& changes)
{
    Q_UNUSED(changes)
    if (!m_started)
        return;
    if (!m_filling.isEmpty()) {
        m_stale = true;
        return;
    }
    if (m_pinnedMode) {
        QVector<MafwStoreRow> kept = currentResult(-1, nullptr);
        QSet<QString> present;
        for (const MafwStoreRow& row : qAsConst(kept))
            present.insert(row.key);
        m_pinned.erase(std::remove_if(m_pinned.begin(), m_pinned.end(),
                                      [&](const MafwStoreRow& r) { return !present.contains(r.key); }),
                       m_pinned.end());
        applyRows(kept);
        return;
    }
    const bool finalLimit = MafwStoreRowBuilder::limitIsFinal(m_type) && m_limit > 0;
    const bool all = (m_complete || m_wantAll || m_limit <= 0) && !finalLimit;
    applyRows(currentResult(all ? -1 : m_limit, nullptr));
}

void MafwTrackerModel::applyRows(const QVector<MafwStoreRow>& fresh)
{
    QHash<QString, int> freshIndex;
    freshIndex.reserve(fresh.size());
    for (int i = 0; i < fresh.size(); ++i)
        freshIndex.insert(fresh.at(i).key, i);

    // Rows that left, and rows whose place changed, go first (highest first).
    QVector<int> survivors;
    QVector<int> positions;
    for (int i = 0; i < m_rows.size(); ++i) {
        const auto it = freshIndex.constFind(m_rows.at(i).key);
        if (it != freshIndex.cend()) {
            survivors.append(i);
            positions.append(it.value());
        }
    }
    const QVector<bool> inOrder = longestOrderedRun(positions);
    QVector<bool> keep(m_rows.size(), false);
    for (int k = 0; k < survivors.size(); ++k)
        keep[survivors.at(k)] = inOrder.at(k);
    for (int last = m_rows.size() - 1; last >= 0;) {
        if (keep.at(last)) {
            --last;
            continue;
        }
        int first = last;
        while (first > 0 && !keep.at(first - 1))
            --first;
        beginRemoveRows(QModelIndex(), first, last);
        m_rows.remove(first, last - first + 1);
        endRemoveRows();
        last = first - 1;
    }

    // What is left is in the new order; new rows go in between, changed rows are announced.
    QVector<int> changedRows;
    int j = 0;
    for (int i = 0; i < fresh.size();) {
        if (j < m_rows.size() && m_rows.at(j).key == fresh.at(i).key) {
            if (m_rows.at(j).cells != fresh.at(i).cells) {
                m_rows[j] = fresh.at(i);
                changedRows.append(j);
            }
            ++i;
            ++j;
            continue;
        }
        const int start = i;
        while (i < fresh.size() && !(j < m_rows.size() && m_rows.at(j).key == fresh.at(i).key))
            ++i;
        const int count = i - start;
        beginInsertRows(QModelIndex(), j, j + count - 1);
        m_rows.insert(j, count, MafwStoreRow());
        for (int k = 0; k < count; ++k)
            m_rows[j + k] = fresh.at(start + k);
        endInsertRows();
        j += count;
    }
    const int lastColumn = m_headers.size() - 1;
    for (int k = 0; k < changedRows.size();) {
        int end = k;
        while (end + 1 < changedRows.size() && changedRows.at(end + 1) == changedRows.at(end) + 1)
            ++end;
        emit dataChanged(index(changedRows.at(k), 0), index(changedRows.at(end), lastColumn));
        k = end + 1;
    }
}

void MafwTrackerModel::requestAlbumArt(const QModelIndex& index)
{
    if (!index.isValid() || index.model() != this)
        return;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), m_headers.size() - 1));
}

int MafwTrackerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int MafwTrackerModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_headers.size();
}

QModelIndex MafwTrackerModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= m_rows.size()
        || column >= m_headers.size())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex MafwTrackerModel::parent(const QModelIndex& child) const
{
    Q_UNUSED(child)
    return QModelIndex();
}

QVariant MafwTrackerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= m_rows.size())
        return QVariant();
    const MafwStoreRow& row = m_rows.at(index.row());
    if (role == Mafw::UrlRole)
        return m_urlColumn >= 0 ? row.cells.value(m_urlColumn) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    return row.cells.value(index.column());
}

QVariant MafwTrackerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= m_headers.size())
        return QVariant();
    return m_headers.at(section);
}

Qt::ItemFlags MafwTrackerModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == m_favouriteColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

bool MafwTrackerModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.model() != this
        || index.column() != m_favouriteColumn || m_favouriteColumn < 0
        || index.row() >= m_rows.size())
        return false;
    MafwStoreRow& row = m_rows[index.row()];
    const bool favourite = value.toBool();
    if (!m_factory->setFavourite(row.songId, favourite))
        return false;
    if (row.cells.at(m_favouriteColumn).toBool() != favourite) {
        row.cells[m_favouriteColumn] = favourite;
        emit dataChanged(index, index);
    }
    return true;
}

int MafwTrackerModel::columnOfKey(const QString& key) const
{
    return m_headers.indexOf(key);
}
