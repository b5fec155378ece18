#include "mafwtrackermodel.h"

#include "mafwgallop.h"
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
                                   [&](int index, int value) {
                                       return positions.at(index) < value;
                                   });
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

// A row's identity for lookups: its item and, for playlist songs, its entry.
QString identity(const MafwStoreRow& row)
{
    return row.key.isEmpty() ? QString::number(row.id) : row.key;
}

} // namespace

MafwTrackerModel::MafwTrackerModel(MafwTrackerModelFactory* factory, QueryType type, int limit,
                                   int id, int secondId)
    : m_factory(factory)
    , m_builder(&factory->rowBuilder())
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
    , m_builder(&factory->rowBuilder())
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

MafwTrackerModel::MafwTrackerModel(MafwTrackerModelFactory* factory, QueryType type, int limit,
                                   int id, int secondId, bool wholeQuery)
    : MafwTrackerModel(factory, type, QVector<MafwStoreRow>())
{
    m_pinWholeQuery = wholeQuery;
    m_limit = limit;
    m_id = id;
    m_secondId = secondId;
}

MafwTrackerModel::~MafwTrackerModel()
{
}

void MafwTrackerModel::start()
{
    MafwStoreCatalogue* catalogue = m_factory->catalogue();
    connect(catalogue, &MafwStoreCatalogue::changed, this, &MafwTrackerModel::libraryChanged);
    connect(catalogue, &MafwStoreCatalogue::completed, this, &MafwTrackerModel::catalogueCompleted);
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
        QVector<MafwStoreRow> rows = m_builder->pinnedRows(m_pinned);
        if (total)
            *total = rows.size();
        return rows;
    }
    if (m_id == 0 && m_secondId == 0) {
        const MafwStoreCatalogue::Prepared* prepared = m_factory->catalogue()->preparedRows(m_type);
        const int made = prepared ? prepared->rows.size() : 0;
        if (prepared && (made == prepared->total || (maxRows >= 0 && maxRows <= made))) {
            if (total)
                *total = prepared->total;
            return maxRows >= 0 ? prepared->rows.mid(0, maxRows) : prepared->rows;
        }
    }
    return m_builder->rows(m_type, m_id, m_secondId, maxRows, total);
}

bool MafwTrackerModel::holdsFirstRowsOnly() const
{
    if (m_pinnedMode)
        return false;
    if (MafwStoreRowBuilder::limitIsFinal(m_type) && m_limit > 0)
        return true;
    return !m_complete && !m_wantAll && m_limit > 0;
}

void MafwTrackerModel::firstFill()
{
    if (m_started)
        return;
    MafwStoreCatalogue* catalogue = m_factory->catalogue();
    if (!catalogue->isComplete()) {
        // While the library is read, only the start of the title order is there: a list in
        // that order shows it at once, the others wait for the whole library.
        if (m_pinnedMode || m_limit <= 0 || m_type != AllSongs)
            return;
        m_early = true;
    }
    m_started = true;
    disconnect(catalogue, &MafwStoreCatalogue::loaded, this, &MafwTrackerModel::firstFill);
    const bool finalLimit = MafwStoreRowBuilder::limitIsFinal(m_type) && m_limit > 0;
    if (m_pinWholeQuery) {
        m_pinned = m_builder->rows(m_type, m_id, m_secondId, finalLimit ? m_limit : -1, nullptr);
        m_pinWholeQuery = false;
    }
    int total = 0;
    const int maxRows = (m_wantAll && !finalLimit && !m_early) ? -1 : m_limit;
    m_filling = currentResult(maxRows, &total);
    m_complete = !m_early && (finalLimit || m_filling.size() >= total);
    insertNextBatch();
}

void MafwTrackerModel::catalogueCompleted()
{
    if (!m_started) {
        firstFill();
        return;
    }
    if (!m_early)
        return;
    m_early = false;
    // The first songs were the start of the same order; the rest follows them.
    refill();
}

void MafwTrackerModel::refill()
{
    int total = 0;
    const bool finalLimit = MafwStoreRowBuilder::limitIsFinal(m_type) && m_limit > 0;
    const int maxRows = (m_wantAll && !finalLimit) ? -1 : m_limit;
    const QVector<MafwStoreRow> all = currentResult(maxRows, &total);
    m_filling.clear();
    applyRows(all.mid(0, m_rows.size()));
    m_filling = all.mid(m_rows.size());
    m_complete = finalLimit || all.size() >= total;
    QTimer::singleShot(0, this, &MafwTrackerModel::insertNextBatch);
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
        // Changes came while filling: the list is compared with the library as a whole, and
        // every row is announced, as any of them may show a changed song.
        m_stale = false;
        applyRows(currentResult(holdsFirstRowsOnly() ? m_limit : -1, nullptr));
        if (!m_rows.isEmpty())
            emit dataChanged(index(0, 0), index(m_rows.size() - 1, m_headers.size() - 1));
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
    if (m_following) {
        // Asked from a signal of a change that is going in (the list emptied on the way to
        // its new rows): read at once, the rest would take in the rows that the change is
        // about to put in too, and the list would hold them twice. It is read once the change
        // is in.
        m_fetchWhenFollowed = true;
        return;
    }
    m_wantAll = true;
    if (!m_started || m_early || !m_filling.isEmpty() || m_complete)
        return; // the first fill takes every row, or the model has them
    refill();
}

void MafwTrackerModel::libraryChanged(const MafwStoreChanges& changes)
{
    if (!m_started || m_early)
        return;
    if (!m_filling.isEmpty()) {
        m_stale = true;
        return;
    }
    m_following = true;
    follow(changes);
    m_following = false;
    if (m_fetchWhenFollowed) {
        m_fetchWhenFollowed = false;
        fetchRemainingRows();
    }
}

void MafwTrackerModel::follow(const MafwStoreChanges& changes)
{
    if (m_pinnedMode) {
        QVector<int> gone;
        for (int i = 0; i < m_rows.size(); ++i) {
            if (changes.songsRemoved.contains(m_rows.at(i).id))
                gone.append(i);
        }
        if (!gone.isEmpty()) {
            QSet<QString> leaving;
            for (int i : qAsConst(gone))
                leaving.insert(identity(m_rows.at(i)));
            m_pinned.erase(std::remove_if(m_pinned.begin(), m_pinned.end(),
                                          [&](const MafwStoreRow& r) {
                                              return leaving.contains(identity(r));
                                          }),
                           m_pinned.end());
            removeRows(gone);
        }
        announceSongs(changes.songsChanged);
        return;
    }
    switch (MafwStoreRowBuilder::family(m_type)) {
    case MafwStoreRowBuilder::Songs:
        if (m_type == SongsOfPlaylistFile || m_type == SongsOfUserPlaylist) {
            if (changes.playlistsChanged || !changes.songsAdded.isEmpty()
                || !changes.songsRemoved.isEmpty())
                applyRows(currentResult(holdsFirstRowsOnly() ? m_limit : -1, nullptr));
            announceSongs(changes.songsChanged);
        } else {
            followSongs(changes);
        }
        break;
    case MafwStoreRowBuilder::Albums:
    case MafwStoreRowBuilder::Artists:
        followItems(changes);
        break;
    case MafwStoreRowBuilder::Playlists:
        if (changes.playlistsChanged || !changes.songsAdded.isEmpty()
            || !changes.songsRemoved.isEmpty() || !changes.songsChanged.isEmpty())
            applyRows(currentResult(holdsFirstRowsOnly() ? m_limit : -1, nullptr));
        break;
    case MafwStoreRowBuilder::NoFamily:
        break;
    }
}

void MafwTrackerModel::followSongs(const MafwStoreChanges& changes)
{
    const MafwStoreCatalogue* catalogue = m_factory->catalogue();
    // The songs as the rows were ordered by: before the change for the changed ones.
    auto before = [&](int id) -> const MafwStoreSong* {
        const auto it = changes.before.constFind(id);
        return it != changes.before.cend() ? &it.value() : catalogue->song(id);
    };
    auto compare = [&](const MafwStoreSong& a, const MafwStoreSong& b) {
        return m_builder->compareSongs(m_type, a, b);
    };
    auto locate = [&](int id, const MafwStoreSong& value) {
        const auto it = std::lower_bound(m_rows.cbegin(), m_rows.cend(), value,
                                         [&](const MafwStoreRow& row, const MafwStoreSong& v) {
                                             const MafwStoreSong* s = before(row.id);
                                             return s && compare(*s, v) < 0;
                                         });
        if (it != m_rows.cend() && it->id == id)
            return int(it - m_rows.cbegin());
        if (!holdsFirstRowsOnly() && m_rows.size() > 64)
            return -1; // a list of every match holds it where the search looked
        for (int i = 0; i < m_rows.size(); ++i) {
            if (m_rows.at(i).id == id)
                return i;
        }
        return -1;
    };

    QSet<int> touched = changes.songsRemoved;
    touched.unite(changes.songsChanged);
    QVector<int> leaving;
    QSet<int> inPlace;
    for (int id : qAsConst(touched)) {
        const MafwStoreSong* old = before(id);
        if (!old || !MafwStoreRowBuilder::songBelongs(m_type, m_id, m_secondId, *old))
            continue;
        const int row = locate(id, *old);
        if (row < 0)
            continue;
        // A change that leaves the song where it stands (a play count in a list by title, a
        // new title in an album's track order) is only announced.
        const MafwStoreSong* now = catalogue->song(id);
        auto fits = [&](int neighbour, bool below) {
            if (neighbour < 0 || neighbour >= m_rows.size())
                return !(below && holdsFirstRowsOnly());
            const MafwStoreSong* other = catalogue->song(m_rows.at(neighbour).id);
            if (!other || touched.contains(other->id))
                return false;
            return below ? compare(*now, *other) < 0 : compare(*other, *now) < 0;
        };
        if (now && MafwStoreRowBuilder::songBelongs(m_type, m_id, m_secondId, *now)
            && (compare(*old, *now) == 0 || (fits(row - 1, false) && fits(row + 1, true)))) {
            inPlace.insert(id);
            continue;
        }
        leaving.append(row);
    }
    const int heldBefore = m_rows.size();
    removeRows(leaving);

    QVector<MafwStoreRow> arriving;
    QSet<int> candidates = changes.songsAdded;
    candidates.unite(changes.songsChanged);
    for (int id : qAsConst(candidates)) {
        const MafwStoreSong* now = catalogue->song(id);
        if (!now || inPlace.contains(id)
            || !MafwStoreRowBuilder::songBelongs(m_type, m_id, m_secondId, *now))
            continue;
        MafwStoreRow row;
        row.id = id;
        arriving.append(row);
    }
    QVector<int> places;
    if (placeInTitleOrder(&arriving, &places)) {
        mergeRows(std::move(arriving), places);
    } else {
        insertSorted(arriving, [&](const MafwStoreRow& a, const MafwStoreRow& b) {
            return compare(*catalogue->song(a.id), *catalogue->song(b.id));
        });
    }
    if (holdsFirstRowsOnly()) {
        trimToLimit();
        // A row gone from the first ones leaves room for one that was past them.
        if (!leaving.isEmpty() && m_rows.size() < m_limit && heldBefore >= m_limit)
            applyRows(currentResult(m_limit, nullptr));
    }
    announceSongs(inPlace);
}

void MafwTrackerModel::followItems(const MafwStoreChanges& changes)
{
    const bool albums = MafwStoreRowBuilder::family(m_type) == MafwStoreRowBuilder::Albums;
    QSet<int> keys;
    auto note = [&](const MafwStoreSong* s) {
        if (s) {
            const int key = albums ? s->albumId : s->performerId;
            if (key > 0)
                keys.insert(key);
        }
    };
    for (const QSet<int>* ids :
         { &changes.songsAdded, &changes.songsRemoved, &changes.songsChanged }) {
        for (int id : *ids) {
            note(m_factory->catalogue()->song(id));
            const auto old = changes.before.constFind(id);
            if (old != changes.before.cend())
                note(&old.value());
        }
    }
    if (albums)
        keys.unite(changes.albumsRemoved);
    if (keys.isEmpty())
        return;

    auto compare = [this](const MafwStoreRow& a, const MafwStoreRow& b) {
        return m_builder->compareItems(m_type, a, b);
    };
    QVector<int> leaving;
    QVector<int> changedRows;
    QVector<MafwStoreRow> arriving;
    for (int key : qAsConst(keys)) {
        int held = -1;
        for (int i = 0; i < m_rows.size(); ++i) {
            if (m_rows.at(i).id == key) {
                held = i;
                break;
            }
        }
        MafwStoreRow row;
        const bool belongs = m_builder->itemRow(m_type, m_id, key, &row);
        if (held >= 0 && belongs && compare(m_rows.at(held), row) == 0) {
            if (m_rows.at(held).cells != row.cells) {
                m_rows[held] = row;
                changedRows.append(held);
            }
            continue;
        }
        if (held >= 0)
            leaving.append(held);
        if (belongs)
            arriving.append(row);
    }
    announceRows(changedRows);
    const int heldBefore = m_rows.size();
    removeRows(leaving);
    insertSorted(arriving, compare);
    if (holdsFirstRowsOnly()) {
        trimToLimit();
        if (!leaving.isEmpty() && m_rows.size() < m_limit && heldBefore >= m_limit)
            applyRows(currentResult(m_limit, nullptr));
    }
}

void MafwTrackerModel::removeRows(QVector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int k = rows.size() - 1; k >= 0;) {
        int first = k;
        while (first > 0 && rows.at(first - 1) == rows.at(first) - 1)
            --first;
        beginRemoveRows(QModelIndex(), rows.at(first), rows.at(k));
        m_rows.remove(rows.at(first), rows.at(k) - rows.at(first) + 1);
        endRemoveRows();
        k = first - 1;
    }
}

void MafwTrackerModel::insertSorted(
    QVector<MafwStoreRow> fresh,
    const std::function<int(const MafwStoreRow&, const MafwStoreRow&)>& compare)
{
    if (fresh.isEmpty())
        return;
    auto less = [&](const MafwStoreRow& a, const MafwStoreRow& b) { return compare(a, b) < 0; };
    std::sort(fresh.begin(), fresh.end(), less);
    // Each finds its place among the rows as they are, searching on from the place of the one
    // before.
    QVector<int> places;
    places.reserve(fresh.size());
    auto from = m_rows.cbegin();
    for (const MafwStoreRow& row : qAsConst(fresh)) {
        from = gallopLowerBound(from, m_rows.cend(), row, less);
        places.append(int(from - m_rows.cbegin()));
    }
    mergeRows(std::move(fresh), places);
}

bool MafwTrackerModel::placeInTitleOrder(QVector<MafwStoreRow>* fresh, QVector<int>* places) const
{
    // The list of every song holds the catalogue's title order, which has just placed the new
    // songs: one walk along both finds their places without comparing a title. Anything but
    // that order (a song missing, or in another place) leaves it to the comparisons.
    if (m_type != AllSongs || m_pinnedMode || holdsFirstRowsOnly() || fresh->isEmpty())
        return false;
    const QVector<int>& order = m_factory->catalogue()->titleOrder();
    if (order.size() != m_rows.size() + fresh->size())
        return false;
    QHash<int, int> arriving; // song -> its row in fresh
    arriving.reserve(fresh->size());
    for (int i = 0; i < fresh->size(); ++i)
        arriving.insert(fresh->at(i).id, i);
    QVector<MafwStoreRow> sorted;
    sorted.reserve(fresh->size());
    places->clear();
    places->reserve(fresh->size());
    int held = 0;
    for (int id : order) {
        if (held < m_rows.size() && m_rows.at(held).id == id) {
            ++held;
            continue;
        }
        const auto it = arriving.constFind(id);
        if (it == arriving.cend())
            return false;
        sorted.append((*fresh)[it.value()]);
        places->append(held);
    }
    if (sorted.size() != fresh->size())
        return false;
    fresh->swap(sorted);
    return true;
}

void MafwTrackerModel::mergeRows(QVector<MafwStoreRow> fresh, const QVector<int>& places)
{
    const int limit = holdsFirstRowsOnly() ? m_limit : -1;
    int kept = fresh.size();
    if (limit >= 0)
        kept = int(std::lower_bound(places.cbegin(), places.cend(), limit) - places.cbegin());
    if (kept == 0)
        return;
    // One pass over the list, however many places the new rows go to: the old rows move to
    // the end of a list grown by the new ones, and the runs then go in from the first place
    // on, each old row moving forward once. Inserting run by run in place would shift every
    // later row for each run, which makes a first index quadratic in the library. While this
    // runs, the rows between the ones placed and the old ones still to move are a gap that
    // the model's readers skip.
    const int old = m_rows.size();
    m_rows.resize(old + kept);
    std::move_backward(m_rows.begin(), m_rows.begin() + old, m_rows.end());
    m_gap = kept;
    m_gapAt = 0;
    int taken = 0; // old rows moved to the front
    for (int k = 0; k < kept;) {
        int last = k;
        while (last + 1 < kept && places.at(last + 1) == places.at(k))
            ++last;
        const int at = places.at(k);
        for (; taken < at; ++taken) {
            m_rows[m_gapAt] = std::move(m_rows[m_gapAt + m_gap]);
            ++m_gapAt;
        }
        const int count = last - k + 1;
        beginInsertRows(QModelIndex(), m_gapAt, m_gapAt + count - 1);
        for (int i = k; i <= last; ++i) {
            m_rows[m_gapAt] = std::move(fresh[i]);
            ++m_gapAt;
        }
        m_gap -= count;
        endInsertRows();
        k = last + 1;
    }
    // The gap is closed: the old rows not moved stand right after the new ones.
    m_gapAt = 0;
}

void MafwTrackerModel::trimToLimit()
{
    if (m_limit > 0 && m_rows.size() > m_limit) {
        beginRemoveRows(QModelIndex(), m_limit, m_rows.size() - 1);
        m_rows.resize(m_limit);
        endRemoveRows();
    }
}

void MafwTrackerModel::announceSongs(const QSet<int>& ids)
{
    if (ids.isEmpty())
        return;
    QVector<int> rows;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (ids.contains(m_rows.at(i).id))
            rows.append(i);
    }
    announceRows(rows);
}

void MafwTrackerModel::announceRows(QVector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    const int lastColumn = m_headers.size() - 1;
    for (int k = 0; k < rows.size();) {
        int end = k;
        while (end + 1 < rows.size() && rows.at(end + 1) == rows.at(end) + 1)
            ++end;
        emit dataChanged(index(rows.at(k), 0), index(rows.at(end), lastColumn));
        k = end + 1;
    }
}

void MafwTrackerModel::applyRows(const QVector<MafwStoreRow>& fresh)
{
    QHash<QString, int> freshIndex;
    freshIndex.reserve(fresh.size());
    for (int i = 0; i < fresh.size(); ++i)
        freshIndex.insert(identity(fresh.at(i)), i);

    // Rows that left, and rows whose place changed, go first (highest first).
    QVector<int> survivors;
    QVector<int> positions;
    for (int i = 0; i < m_rows.size(); ++i) {
        const auto it = freshIndex.constFind(identity(m_rows.at(i)));
        if (it != freshIndex.cend()) {
            survivors.append(i);
            positions.append(it.value());
        }
    }
    const QVector<bool> inOrder = longestOrderedRun(positions);
    QVector<bool> keep(m_rows.size(), false);
    for (int k = 0; k < survivors.size(); ++k)
        keep[survivors.at(k)] = inOrder.at(k);
    QVector<int> leaving;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (!keep.at(i))
            leaving.append(i);
    }
    if (!fresh.isEmpty() && !m_rows.isEmpty() && leaving.size() == m_rows.size()) {
        // Every row is replaced (a playlist file written again has new entries throughout):
        // the new rows come in before the old ones go, so the list is never seen empty in
        // between. A play queue that holds the list alone takes an empty list for its end.
        const int old = m_rows.size();
        beginInsertRows(QModelIndex(), old, old + fresh.size() - 1);
        m_rows += fresh;
        endInsertRows();
        beginRemoveRows(QModelIndex(), 0, old - 1);
        m_rows.remove(0, old);
        endRemoveRows();
        return;
    }
    removeRows(leaving);

    // What is left is in the new order; new rows go in between, changed rows are announced.
    QVector<int> changedRows;
    int j = 0;
    for (int i = 0; i < fresh.size();) {
        if (j < m_rows.size() && m_rows.at(j).isSameItem(fresh.at(i))) {
            if (m_rows.at(j).cells != fresh.at(i).cells) {
                m_rows[j] = fresh.at(i);
                changedRows.append(j);
            }
            ++i;
            ++j;
            continue;
        }
        const int start = i;
        while (i < fresh.size() && !(j < m_rows.size() && m_rows.at(j).isSameItem(fresh.at(i))))
            ++i;
        const int count = i - start;
        beginInsertRows(QModelIndex(), j, j + count - 1);
        m_rows.insert(j, count, MafwStoreRow());
        for (int k = 0; k < count; ++k)
            m_rows[j + k] = fresh.at(start + k);
        endInsertRows();
        j += count;
    }
    announceRows(changedRows);
}

void MafwTrackerModel::requestAlbumArt(const QModelIndex& index)
{
    if (!index.isValid() || index.model() != this)
        return;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), m_headers.size() - 1));
}

const MafwStoreRow& MafwTrackerModel::shownRow(int row) const
{
    return row < m_gapAt ? m_rows.at(row) : m_rows.at(row + m_gap);
}

int MafwTrackerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size() - m_gap;
}

int MafwTrackerModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_headers.size();
}

QModelIndex MafwTrackerModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount()
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
    if (!index.isValid() || index.model() != this || index.row() >= rowCount())
        return QVariant();
    int column = index.column();
    if (role == Mafw::UrlRole) {
        if (m_urlColumn < 0)
            return QVariant();
        column = m_urlColumn;
    } else if (role != Qt::DisplayRole && role != Qt::EditRole) {
        return QVariant();
    }
    const MafwStoreRow& row = shownRow(index.row());
    if (MafwStoreRowBuilder::family(m_type) != MafwStoreRowBuilder::Songs)
        return row.cells.value(column);
    if (column >= MafwStoreRowBuilder::SongColumnCount)
        return row.cells.value(column - MafwStoreRowBuilder::SongColumnCount);
    const MafwStoreSong* song = m_factory->catalogue()->song(row.id);
    return song ? m_builder->songCell(*song, column) : QVariant();
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
        || index.row() >= rowCount())
        return false;
    // The catalogue takes the new mark at once, and every list showing the song announces it.
    return m_factory->setFavourite(shownRow(index.row()).id, value.toBool());
}

int MafwTrackerModel::columnOfKey(const QString& key) const
{
    return m_headers.indexOf(key);
}
