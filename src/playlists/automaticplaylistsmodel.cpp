#include "automaticplaylistsmodel.h"

#include "common/logging.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "data/storequeries.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mcollator.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTimer>

#include <algorithm>

namespace {

constexpr PlaylistColumns Columns {};
constexpr SongColumns SongsColumns {};

// The column count argument of the count queries.
const int CountQueryColumns = 2;
// The least time between two counts of the store while the library keeps changing: each counts
// every song of the library.
const int CountGapMs = 1000;

struct AutomaticPlaylist
{
    MafwTrackerModel::QueryType type;
    const char* logicalId;
    int limit;
};

// In the order they are requested.
const AutomaticPlaylist Playlists[] = {
    { MafwTrackerModel::RecentlyAddedSongs, "qtn_musi_playlist_recentlyadded", 50 },
    { MafwTrackerModel::RecentlyPlayedSongs, "qtn_musi_playlist_recentlyplayed", 50 },
    { MafwTrackerModel::MostPlayedSongs, "qtn_musi_playlist_mostplayed", 30 },
    { MafwTrackerModel::FavouriteSongs, "qtn_musi_playlist_favorites", 50 },
    { MafwTrackerModel::RecentlyDownloadedSongs, "qtn_musi_playlist_recentlydownloaded", 50 },
    { MafwTrackerModel::NeverPlayedSongs, "qtn_musi_playlist_neverplayed", 50 },
};

int limitOf(int type)
{
    for (const AutomaticPlaylist& p : Playlists) {
        if (p.type == type)
            return p.limit;
    }
    return 50;
}

int totalLength(const MafwTrackerModel* model)
{
    int seconds = 0;
    const int rows = model->rowCount();
    for (int row = 0; row < rows; ++row)
        seconds += model->data(model->index(row, SongsColumns.length)).toInt();
    return seconds;
}

} // namespace

AutomaticPlaylistsModel* AutomaticPlaylistsModel::s_instance = nullptr;

AutomaticPlaylistsModel* AutomaticPlaylistsModel::instance()
{
    if (!s_instance)
        s_instance = new AutomaticPlaylistsModel;
    return s_instance;
}

AutomaticPlaylistsModel::AutomaticPlaylistsModel()
    : QAbstractTableModel(QCoreApplication::instance())
    , countTimer(new QTimer(this))
{
    countTimer->setSingleShot(true);
    connect(countTimer, &QTimer::timeout, this, &AutomaticPlaylistsModel::sendDueCounts);
    init();
}

AutomaticPlaylistsModel::~AutomaticPlaylistsModel()
{
    if (s_instance == this)
        s_instance = nullptr;
    // The models may live on in a page or the play queue; their changes are no longer ours.
    disconnectModels(shownPlaylists);
    disconnectModels(emptyPlaylists);
}

void AutomaticPlaylistsModel::init()
{
    for (const AutomaticPlaylist& p : Playlists) {
        pendingTypes.append(p.type);
        logicalIds.insert(p.type, QLatin1String(p.logicalId));
    }
    factory = MafwTrackerModelFactoryInstance::instance();
}

void AutomaticPlaylistsModel::requestModels()
{
    if (pendingTypes.isEmpty() || !factory)
        return;
    if (factory->factory() && factory->isReady())
        requestNextModel();
    else
        connect(factory, SIGNAL(completed(bool)), this, SLOT(requestNextModel()),
                Qt::UniqueConnection);
}

void AutomaticPlaylistsModel::reload()
{
    beginResetModel();
    disconnectModels(shownPlaylists);
    disconnectModels(emptyPlaylists);
    shownPlaylists.clear();
    emptyPlaylists.clear();
    pendingTypes.clear();
    logicalIds.clear();
    endResetModel();
    init();
    requestModels();
}

bool AutomaticPlaylistsModel::allModelsRequested() const
{
    return allRequested;
}

void AutomaticPlaylistsModel::requestNextModel()
{
    MafwTrackerModelFactory* f = factory ? factory->factory() : nullptr;
    while (!pendingTypes.isEmpty()) {
        const int type = pendingTypes.takeFirst();
        MafwTrackerModel* model = f ? f->getModel(MafwTrackerModel::QueryType(type), limitOf(type),
                                                  0)
                                    : nullptr;
        if (!model)
            continue;
        emptyPlaylists.append({ QSharedPointer<MafwTrackerModel>(model), type });
        connectModel(model);
    }
    // A playlist counted in the store changes with songs that its model does not hold yet
    // (added, gone or played past its first rows): such a change counts it again. A play
    // changes whether a song was never played, never which songs were bought or are there.
    if (f) {
        MafwTrackerConnection* connection = f->trackerConnection();
        for (auto signal :
             { &MafwTrackerConnection::musicAdded, &MafwTrackerConnection::musicDeleted })
            connect(connection, signal, this, &AutomaticPlaylistsModel::songsAddedOrRemovedSlot,
                    Qt::UniqueConnection);
        connect(connection, &MafwTrackerConnection::musicAccessed, this,
                &AutomaticPlaylistsModel::songsPlayedSlot, Qt::UniqueConnection);
    }
    allRequested = true;
    emit completed();
}

void AutomaticPlaylistsModel::connectModel(MafwTrackerModel* model)
{
    connect(model, SIGNAL(rowsInserted(QModelIndex, int, int)), this,
            SLOT(rowsInsertedSlot(QModelIndex, int, int)));
    connect(model, SIGNAL(rowsRemoved(QModelIndex, int, int)), this,
            SLOT(rowsRemovedSlot(QModelIndex, int, int)));
    connect(model, SIGNAL(completed()), this, SLOT(completedSlot()));
}

void AutomaticPlaylistsModel::disconnectModels(const QList<AutomaticPlaylistEntry>& entries)
{
    for (const AutomaticPlaylistEntry& entry : entries) {
        if (entry.model)
            entry.model->disconnect(this);
    }
}

bool AutomaticPlaylistsModel::playlistModel(int playlistId, QSharedPointer<MafwTrackerModel>& model,
                                            bool includeEmpty) const
{
    for (const QList<AutomaticPlaylistEntry>* list : { &shownPlaylists, &emptyPlaylists }) {
        if (list == &emptyPlaylists && !includeEmpty)
            break;
        for (const AutomaticPlaylistEntry& entry : *list) {
            // The id is negated query type; the query type is negated, not the id, which may
            // be any int (the lowest has no negative).
            if (-entry.queryType == playlistId) {
                model = entry.model;
                return true;
            }
        }
    }
    return false;
}

int AutomaticPlaylistsModel::rowForType(int queryType) const
{
    for (int row = 0; row < shownPlaylists.size(); ++row) {
        if (shownPlaylists.at(row).queryType == queryType)
            return row;
    }
    return -1;
}

int AutomaticPlaylistsModel::rowCount(const QModelIndex&) const
{
    return shownPlaylists.size();
}

int AutomaticPlaylistsModel::columnCount(const QModelIndex&) const
{
    if (shownPlaylists.isEmpty() || !shownPlaylists.first().model)
        return 0;
    return shownPlaylists.first().model->columnCount();
}

QVariant AutomaticPlaylistsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || index.row() < 0 || index.row() >= shownPlaylists.size())
        return QVariant();
    const AutomaticPlaylistEntry& entry = shownPlaylists.at(index.row());
    const StoreCount* counted = storeCountWhileIncomplete(entry);
    switch (index.column()) {
    case Columns.playlistId:
        return -entry.queryType;
    case Columns.name:
        return logicalIds.value(entry.queryType);
    // The store's figures while they are on their way, or behind the model, are never fewer
    // than the rows the list holds.
    case Columns.trackCount:
        return counted ? std::max(counted->count, entry.model->rowCount())
                       : entry.model->rowCount();
    case Columns.length:
        return counted ? std::max(counted->length, totalLength(entry.model.data()))
                       : totalLength(entry.model.data());
    default:
        return QVariant();
    }
}

bool AutomaticPlaylistsModel::storeCounted(int queryType)
{
    return queryType == MafwTrackerModel::NeverPlayedSongs
        || queryType == MafwTrackerModel::RecentlyDownloadedSongs;
}

const AutomaticPlaylistsModel::StoreCount*
AutomaticPlaylistsModel::storeCountWhileIncomplete(const AutomaticPlaylistEntry& entry) const
{
    if (!entry.model || entry.model->isComplete() || !storeCounted(entry.queryType))
        return nullptr;
    return entry.queryType == MafwTrackerModel::NeverPlayedSongs ? &neverPlayed : &downloaded;
}

AutomaticPlaylistsModel::StoreCount*
AutomaticPlaylistsModel::storeCountWhileIncomplete(const AutomaticPlaylistEntry& entry)
{
    return const_cast<StoreCount*>(
        static_cast<const AutomaticPlaylistsModel*>(this)->storeCountWhileIncomplete(entry));
}

int AutomaticPlaylistsModel::insertPosition(int queryType) const
{
    const QString key = logicalIds.value(queryType).toUpper();
    for (int row = 0; row < shownPlaylists.size(); ++row) {
        const QString other = logicalIds.value(shownPlaylists.at(row).queryType).toUpper();
        if (MCollator::compare(key, other) == MLocale::LessThan)
            return row;
    }
    return shownPlaylists.size();
}

int AutomaticPlaylistsModel::indexOfModel(MafwTrackerModel* model, bool inEmptyList) const
{
    const QList<AutomaticPlaylistEntry>& list = inEmptyList ? emptyPlaylists : shownPlaylists;
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).model.data() == model)
            return i;
    }
    return -1;
}

void AutomaticPlaylistsModel::rowsInsertedSlot(const QModelIndex&, int, int)
{
    handleModelChange(qobject_cast<MafwTrackerModel*>(sender()));
}

void AutomaticPlaylistsModel::rowsRemovedSlot(const QModelIndex&, int, int)
{
    handleModelChange(qobject_cast<MafwTrackerModel*>(sender()));
}

void AutomaticPlaylistsModel::completedSlot()
{
    handleModelChange(qobject_cast<MafwTrackerModel*>(sender()));
}

void AutomaticPlaylistsModel::handleModelChange(MafwTrackerModel* model)
{
    if (!model)
        return;
    const int shownRow = indexOfModel(model, false);
    if (model->rowCount() != 0) {
        // A playlist that the store does not count shows its model's rows as its count: past
        // a first batch its list (favourites) holds every song, so the model takes them all.
        if (!model->isComplete() && !storeCounted(model->queryType()))
            model->fetchRemainingRows();
        if (shownRow >= 0) {
            recount(shownPlaylists.at(shownRow));
            emit dataChanged(index(shownRow, Columns.playlistId), index(shownRow, Columns.length));
        } else {
            const int waiting = indexOfModel(model, true);
            if (waiting < 0) {
                qCCritical(lcPlaylists)
                    << "void AutomaticPlaylistsModel::handleModelChange(MafwTrackerModel*)"
                    << "model not found from emptymodels list";
                return;
            }
            const AutomaticPlaylistEntry entry = emptyPlaylists.at(waiting);
            recount(entry);
            const int row = insertPosition(entry.queryType);
            beginInsertRows(QModelIndex(), row, row);
            shownPlaylists.insert(row, entry);
            endInsertRows();
            emptyPlaylists.removeAt(waiting);
        }
    } else if (shownRow >= 0) {
        const AutomaticPlaylistEntry entry = shownPlaylists.at(shownRow);
        if (StoreCount* counted = storeCountWhileIncomplete(entry)) {
            // No answer still on its way may bring the old figures back.
            counted->count = 0;
            counted->length = 0;
            counted->serial = ++lastSerial;
            counted->due = false;
        }
        if (!model->isComplete())
            model->fetchRemainingRows();
        beginRemoveRows(QModelIndex(), shownRow, shownRow);
        shownPlaylists.removeAt(shownRow);
        endRemoveRows();
        if (!emptyPlaylists.contains(entry))
            emptyPlaylists.append(entry);
    }
    emit modelUpdated();
}

void AutomaticPlaylistsModel::songsAddedOrRemovedSlot()
{
    for (const AutomaticPlaylistEntry& entry : qAsConst(shownPlaylists))
        recount(entry);
}

void AutomaticPlaylistsModel::songsPlayedSlot()
{
    recountType(MafwTrackerModel::NeverPlayedSongs);
}

void AutomaticPlaylistsModel::recountType(int queryType)
{
    const int row = rowForType(queryType);
    if (row >= 0)
        recount(shownPlaylists.at(row));
}

void AutomaticPlaylistsModel::recount(const AutomaticPlaylistEntry& entry)
{
    StoreCount* figures = storeCountWhileIncomplete(entry);
    if (!figures)
        return;
    // A change of the library reaches the models and the connection's signals in one turn (a
    // played song leaves the never-played model, the next one comes in, the play is reported):
    // counted after it, the store counts the library once for all of them.
    figures->due = true;
    postDueCounts();
}

void AutomaticPlaylistsModel::postDueCounts()
{
    if (countTimer->isActive())
        return;
    const qint64 since = sinceCountSent.isValid() ? sinceCountSent.elapsed() : CountGapMs;
    countTimer->start(int(std::max<qint64>(0, CountGapMs - since)));
}

void AutomaticPlaylistsModel::sendDueCounts()
{
    // A count on its way is sent again once it is answered: a store slower than the changes
    // counts once per answer, not once per change.
    for (const AutomaticPlaylistEntry& entry : qAsConst(shownPlaylists)) {
        const StoreCount* figures = storeCountWhileIncomplete(entry);
        if (!figures || !figures->due || figures->onItsWay)
            continue;
        if (entry.queryType == MafwTrackerModel::NeverPlayedSongs)
            runNeverPlayedCountQuery();
        else
            runDownloadedCountQuery();
    }
}

void AutomaticPlaylistsModel::runNeverPlayedCountQuery()
{
    runCountQuery(StoreQueries::NeverPlayedCountAndLength,
                  SLOT(neverPlayedCountSlot(QList<QStringList>, bool, QVariant)), neverPlayed);
}

void AutomaticPlaylistsModel::runDownloadedCountQuery()
{
    runCountQuery(StoreQueries::DownloadedCountAndLength,
                  SLOT(downloadedCountSlot(QList<QStringList>, bool, QVariant)), downloaded);
}

void AutomaticPlaylistsModel::runCountQuery(const char* sparql, const char* resultSlot,
                                            StoreCount& figures)
{
    MafwTrackerModelFactory* f = factory ? factory->factory() : nullptr;
    if (!f)
        return;
    // The figures of the last answer stand until the new one comes, and the serial keeps an
    // older answer from overwriting a newer one.
    figures.due = false;
    figures.serial = ++lastSerial;
    figures.onItsWay = figures.serial;
    sinceCountSent.start();
    f->trackerConnection()->asyncQuery(QLatin1String(sparql), CountQueryColumns, this, resultSlot,
                                       SLOT(queryFailed(int, QString, QVariant)),
                                       QVariant(figures.serial));
}

void AutomaticPlaylistsModel::neverPlayedCountSlot(QList<QStringList> rows, bool end,
                                                   QVariant userData)
{
    takeCountAnswer(MafwTrackerModel::NeverPlayedSongs, neverPlayed, rows, end, userData);
}

void AutomaticPlaylistsModel::downloadedCountSlot(QList<QStringList> rows, bool end,
                                                  QVariant userData)
{
    takeCountAnswer(MafwTrackerModel::RecentlyDownloadedSongs, downloaded, rows, end, userData);
}

void AutomaticPlaylistsModel::takeCountAnswer(int queryType, StoreCount& figures,
                                              const QList<QStringList>& rows, bool end,
                                              const QVariant& userData)
{
    const int serial = userData.toInt();
    const int row = rowForType(queryType);
    if (row >= 0 && end && !rows.isEmpty() && serial == figures.serial) {
        const QStringList& first = rows.first();
        figures.count = first.value(0).toInt();
        figures.length = first.value(1).toInt();
        emit dataChanged(index(row, Columns.playlistId), index(row, Columns.length));
    }
    countAnswered(serial);
}

void AutomaticPlaylistsModel::countAnswered(int serial)
{
    for (StoreCount* figures : { &neverPlayed, &downloaded }) {
        if (serial == 0 || figures->onItsWay != serial)
            continue;
        figures->onItsWay = 0;
        if (figures->due)
            postDueCounts();
    }
}

void AutomaticPlaylistsModel::queryFailed(int errCode, QString errStr, QVariant userData)
{
    qCDebug(lcPlaylists)
        << "void AutomaticPlaylistsModel::queryFailed(int, QString, const QVariant&)"
        << "- query failed " << errCode << " : " << errStr;
    countAnswered(userData.toInt());
}
