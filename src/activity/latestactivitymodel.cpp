#include "latestactivitymodel.h"

#include "albumart/collageimagewidget.h"
#include "common/logging.h"
#include "common/parlovancesettings.h"
#include "common/shownplaylistname.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "data/storequeries.h"
#include "latestactivitycontroller.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "playlists/automaticplaylistsmodel.h"

#include <QTimer>

#include <algorithm>
#include <limits>

namespace {

const int MaximumActivities = 9;
const int WriteDelayMs = 500;
const int CollagePairs = 4;

const char* const ActivitiesKey = "Activities";
// Spelled as the settings files already in use spell it.
const char* const UpdatedKey = "ActiviesUpdated";
const char* const InitialQueryProperty = "initial_query";
const char* const AllSongsId = "qtn_musi_all_songs";
const char* const UnknownAlbumId = "qtn_musi_unknown_album";
// The main-page state in which the playing entry shows beside the grid, in place of entry 0.
const int NowPlayingBesideGrid = 2;
const int CollageWidgetId = 100;
const int ExistsColumns = 1;
const int FavouritesId = -MafwTrackerModel::FavouriteSongs;
const int NeverPlayedId = -MafwTrackerModel::NeverPlayedSongs;

MafwTrackerConnection* trackerConnection()
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    return factory ? factory->trackerConnection() : nullptr;
}

// The existence query of an entry: whether what it names still has songs. Null when the entry
// is never checked.
const char* existenceQuery(const Activity& activity)
{
    switch (activity.Type) {
    case Activity::AllSongs:
        return StoreQueries::AnySongExists;
    case Activity::Album:
        return activity.TrackerId < 1 ? StoreQueries::SongWithoutAlbumExists
                                      : StoreQueries::AlbumExists;
    case Activity::Artist:
        return activity.TrackerId < 1 ? StoreQueries::SongWithoutArtistExists
                                      : StoreQueries::ArtistExists;
    case Activity::Playlist:
    case Activity::UserPlaylist:
        switch (activity.TrackerId) {
        case -MafwTrackerModel::RecentlyAddedSongs:
            return StoreQueries::RecentlyAddedExists;
        case -MafwTrackerModel::RecentlyPlayedSongs:
            return StoreQueries::RecentlyPlayedExists;
        case -MafwTrackerModel::MostPlayedSongs:
            return StoreQueries::MostPlayedExists;
        case -MafwTrackerModel::FavouriteSongs:
            return StoreQueries::FavouriteExists;
        case -MafwTrackerModel::NeverPlayedSongs:
            return StoreQueries::NeverPlayedExists;
        case -MafwTrackerModel::RecentlyDownloadedSongs:
            return StoreQueries::DownloadedExists;
        default:
            return activity.TrackerId >= 0 ? StoreQueries::PlaylistHasSongs : nullptr;
        }
    default:
        return nullptr;
    }
}

// The existence query as it is sent: whether the store keeps what the entry names, available
// or not. Songs whose folder is away come back with their folder; their entry stays meanwhile.
QString keptSongsQuery(const char* query)
{
    return QString::fromUtf8(query).remove(QLatin1String(StoreQueries::SongIsAvailable));
}

// Whether the query names the entry's id.
bool queryTakesId(const char* query)
{
    return query == StoreQueries::AlbumExists || query == StoreQueries::ArtistExists
           || query == StoreQueries::PlaylistHasSongs;
}

// The settings file holds the whole list, and a file larger than settings ever are is moved
// aside at the next start (the user's settings with it). A text is written with up to six
// bytes per character, so each stored text is bounded: names (as long as a tag text can be)
// and the album and artist names of a collage, which only find the collage's covers again.
const int MaxStoredNameLength = 4000;
const int MaxStoredPairLength = 250;

// text cut to at most length characters, never inside a character.
QString bounded(const QString& text, int length)
{
    if (text.size() <= length)
        return text;
    return text.left(text.at(length - 1).isHighSurrogate() ? length - 1 : length);
}

QString pairKey(int pair, int member)
{
    return QStringLiteral("AlbumArtist%1%2").arg(pair).arg(member);
}

bool isKnownType(int type)
{
    return type >= Activity::AllSongs && type <= Activity::UserPlaylist;
}

// Whether stored entry s stands for the same thing as a: all songs is one entry, an automatic
// playlist is known by its id or its name, everything else by kind and name. A playlist of the
// library is also known by its kind and id, so an entry written under an older, shorter form of
// its name (a list that cut "Vol. 2" to "Vol") takes the new name when the playlist plays again
// instead of standing beside a second tile of the same playlist.
bool matches(const Activity& s, const Activity& a)
{
    if (s.Type == Activity::Playlist && s.TrackerId < 0)
        return a.Type == Activity::Playlist && (a.TrackerId == s.TrackerId || a.Name == s.Name);
    if (s.Type == Activity::AllSongs)
        return a.Type == Activity::AllSongs;
    if ((s.Type == Activity::Playlist || s.Type == Activity::UserPlaylist) && s.TrackerId > 0
        && a.Type == s.Type && a.TrackerId == s.TrackerId)
        return true;
    return a.Type == s.Type && a.Name == s.Name;
}

QVariant cell(const QAbstractItemModel* model, int row, int column)
{
    return model->data(model->index(row, column), Qt::DisplayRole);
}

} // namespace

LatestActivityModel::LatestActivityModel(QObject* parent)
    : QObject(parent)
    , writeTimer(new QTimer(this))
    , removalTimer(new QTimer(this))
{
    Activity::registerMetaTypes();
    list.reserve(MaximumActivities + 1);
    writeTimer->setInterval(WriteDelayMs);
    connect(writeTimer, &QTimer::timeout, this, &LatestActivityModel::writeActivities);
    removalTimer->setSingleShot(true);
    removalTimer->setInterval(0);
    connect(removalTimer, &QTimer::timeout, this, &LatestActivityModel::removeQueuedActivities);
    readActivities();
    writtenBeforeThisRun = lastWrittenTime;
    followedQueryTypes << MafwTrackerModel::AllArtists << MafwTrackerModel::PlaylistFiles
                       << MafwTrackerModel::UserPlaylists;
}

LatestActivityModel::~LatestActivityModel()
{
    releaseFollowedModels();
    // The widgets have no parent; at exit no event loop would run a later deletion.
    qDeleteAll(collages);
}

void LatestActivityModel::writeActivities()
{
    ParlovanceSettings settings;
    // The array is written whole: entries left from a longer list must not linger in the file.
    settings.remove(QLatin1String(ActivitiesKey));
    settings.beginWriteArray(QLatin1String(ActivitiesKey), list.size());
    for (int i = 0; i < list.size(); ++i) {
        const Activity& activity = list.at(i);
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("Type"), int(activity.Type));
        settings.setValue(QStringLiteral("Name"), bounded(activity.Name, MaxStoredNameLength));
        settings.setValue(QStringLiteral("AdditionalParameter"),
                          bounded(activity.AdditionalParameter, MaxStoredNameLength));
        settings.setValue(QStringLiteral("TrackerId"), activity.TrackerId);
        settings.setValue(QStringLiteral("Shuffled"), activity.Shuffled);
        settings.setValue(QStringLiteral("Timestamp"), activity.Timestamp);
        for (int pair = 0; pair < CollagePairs; ++pair) {
            const bool stored = activity.hasCollage() && pair < activity.AlbumArtistPairs.size();
            const auto& value = stored ? activity.AlbumArtistPairs.at(pair)
                                       : QPair<QString, QString>();
            settings.setValue(pairKey(pair, 0), bounded(value.first, MaxStoredPairLength));
            settings.setValue(pairKey(pair, 1), bounded(value.second, MaxStoredPairLength));
        }
        settings.setValue(QStringLiteral("TrackNo"), activity.TrackNo);
    }
    settings.endArray();
    lastWrittenTime = QDateTime::currentDateTime().toUTC();
    settings.setValue(QLatin1String(UpdatedKey), lastWrittenTime);
    writeTimer->stop();
}

void LatestActivityModel::readActivities()
{
    ParlovanceSettings settings;
    lastWrittenTime = settings.value(QLatin1String(UpdatedKey)).toDateTime();
    const int size = settings.beginReadArray(QLatin1String(ActivitiesKey));
    // At most nine entries are read, whatever the stored size says. Entries a hand-edited file
    // spoils (an unknown kind, no name, a second entry for the same thing) are left out, so the
    // list starts valid; the library check removes what no longer exists.
    for (int i = 0; i < size && i < MaximumActivities; ++i) {
        settings.setArrayIndex(i);
        Activity activity;
        const int storedType = settings.value(QStringLiteral("Type"), 0).toInt();
        activity.Type = Activity::typeFromValue(storedType);
        activity.Name = settings.value(QStringLiteral("Name")).toString();
        activity.AdditionalParameter = settings.value(QStringLiteral("AdditionalParameter"))
                                           .toString();
        activity.TrackerId = settings.value(QStringLiteral("TrackerId"), 0).toInt();
        activity.Shuffled = settings.value(QStringLiteral("Shuffled"), false).toBool();
        activity.Timestamp = settings.value(QStringLiteral("Timestamp")).toDateTime();
        if (activity.hasCollage()) {
            for (int pair = 0; pair < CollagePairs; ++pair) {
                activity.AlbumArtistPairs[pair].first = settings.value(pairKey(pair, 0)).toString();
                activity.AlbumArtistPairs[pair].second = settings.value(pairKey(pair, 1))
                                                             .toString();
            }
        }
        bool numeric = false;
        activity.TrackNo = settings.value(QStringLiteral("TrackNo"), -1).toInt(&numeric);
        if (!numeric || activity.TrackNo < -1)
            activity.TrackNo = -1;
        // A negative id names an automatic playlist by its negated query type; the lowest int
        // has no negative and names nothing.
        if (!isKnownType(activity.Type) || activity.Name.isEmpty()
            || activity.TrackerId == std::numeric_limits<int>::min()
            || matchingIndex(activity) >= 0) {
            qCWarning(lcActivity) << Q_FUNC_INFO << "- stored activity" << i << "of kind"
                                  << storedType << "named" << activity.Name
                                  << "is not valid and is left out";
            continue;
        }
        list.append(activity);
    }
    settings.endArray();
}

int LatestActivityModel::matchingIndex(const Activity& activity) const
{
    for (int i = 0; i < list.size(); ++i) {
        if (matches(list.at(i), activity))
            return i;
    }
    return -1;
}

void LatestActivityModel::startWriteTimer()
{
    if (!writeTimer->isActive())
        writeTimer->start();
}

int LatestActivityModel::insertionPosition(bool fromPage) const
{
    // While the main page shows the playing entry beside the grid, the grid shows entries from
    // index 1 on: an entry that does not come from a page goes there to be seen.
    auto* controller = qobject_cast<LatestActivityController*>(parent());
    if (!fromPage && controller && controller->mainPageState() == NowPlayingBesideGrid)
        return qMin(1, list.size());
    return 0;
}

void LatestActivityModel::addActivity(const Activity& activity, bool fromPage)
{
    const int position = insertionPosition(fromPage);
    const int found = matchingIndex(activity);
    if (found >= 0) {
        Activity& stored = list[found];
        stored.Timestamp = activity.Timestamp;
        stored.Shuffled = activity.Shuffled;
        stored.Name = activity.Name;
        list.move(found, 0);
        emit activityMoved(found);
        startWriteTimer();
        return;
    }
    list.insert(position, activity);
    if (list.size() > MaximumActivities) {
        removeCollage(list.last());
        list.removeLast();
    }
    createCollage(activity);
    emit activityAdded(activity);
    startWriteTimer();
}

void LatestActivityModel::removeActivity(int index)
{
    if (index < 0 || index >= list.size())
        return;
    removeCollage(list.at(index));
    list.removeAt(index);
    startWriteTimer();
    emit activityRemoved(index);
}

void LatestActivityModel::setTrackNo(const QString& albumName, int trackNo)
{
    for (Activity& activity : list) {
        if (activity.Type == Activity::Album && activity.Name == albumName) {
            activity.TrackNo = trackNo;
            return;
        }
    }
}

QList<Activity> LatestActivityModel::activities() const
{
    return list;
}

bool LatestActivityModel::hasActivity(int type, int trackerId) const
{
    for (const Activity& activity : list) {
        if (activity.Type == type && activity.TrackerId == trackerId)
            return true;
    }
    return false;
}

QDateTime LatestActivityModel::lastWritten() const
{
    return lastWrittenTime;
}

Activity LatestActivityModel::albumFromRow(int row) const
{
    Activity album;
    album.Type = Activity::Album;
    album.TrackerId = cell(recentAlbumsModel, row, 0).toInt();
    album.Name = cell(recentAlbumsModel, row, 1).toString();
    album.Timestamp = cell(recentAlbumsModel, row, 2).toDateTime();
    albumArtistName(cell(recentAlbumsModel, row, 3).toString(), &album.AdditionalParameter);
    return album;
}

void LatestActivityModel::checkRecentAlbums(const QModelIndex& parent, int start, int end)
{
    Q_UNUSED(parent)
    if (!recentAlbumsModel)
        return;
    const int rows = recentAlbumsModel->rowCount();
    end = qMin(end, rows - 1);
    if (list.size() < MaximumActivities) {
        for (int row = qMax(0, start); row <= end && list.size() < MaximumActivities; ++row) {
            const Activity album = albumFromRow(row);
            if (!hasActivity(Activity::Album, album.TrackerId))
                list.append(album);
        }
        writeActivities();
        emit lastAddedAlbumsQueryFinished();
    } else {
        // Only the first batch after the model was made is cut at the first album that is
        // older than the last write or already listed; later rows are albums just added.
        const bool initial = recentAlbumsModel->property(InitialQueryProperty).isValid();
        for (int row = qMax(0, start); row <= end; ++row) {
            const Activity album = albumFromRow(row);
            if (initial && album.Timestamp < lastWrittenTime)
                break;
            // Rows of albums the library had when an earlier run last wrote the list come
            // later when their songs were away (a disk not mounted) and are back: not new.
            if (!initial && writtenBeforeThisRun.isValid() && album.Timestamp.isValid()
                && album.Timestamp < writtenBeforeThisRun)
                continue;
            if (!hasActivity(Activity::Album, album.TrackerId))
                pendingList.append(album);
            else if (initial)
                break;
        }
        addPendingAlbums();
    }
    recentAlbumsModel->setProperty(InitialQueryProperty, QVariant());
}

void LatestActivityModel::checkRecentPlaylists(const QModelIndex& parent, int start, int end)
{
    Q_UNUSED(parent)
    if (!recentPlaylistsModel)
        return;
    end = qMin(end, recentPlaylistsModel->rowCount() - 1);
    for (int row = qMax(0, start); row <= end; ++row) {
        const int type = cell(recentPlaylistsModel, row, 5).toString().isEmpty()
                             ? Activity::UserPlaylist
                             : Activity::Playlist;
        const int id = cell(recentPlaylistsModel, row, 0).toInt();
        const QDateTime added = cell(recentPlaylistsModel, row, 2).toDateTime();
        if (added < lastWrittenTime || hasActivity(type, id))
            continue;
        Activity playlist;
        playlist.Type = Activity::ActivityType(type);
        // Named as the playlist pages name it.
        playlist.Name = shownPlaylistName(cell(recentPlaylistsModel, row, 1).toString());
        playlist.TrackerId = id;
        playlist.Timestamp = added;
        pendingList.append(playlist);
    }
    addPendingAlbums();
}

void LatestActivityModel::addPendingAlbums()
{
    while (!pendingList.isEmpty())
        addActivity(pendingList.takeLast(), false);
}

void LatestActivityModel::handleUnknownAlbumCountChange(bool unknownAlbums)
{
    if (!unknownAlbums) {
        // The songs without album left the lists; the entry goes when the store no longer
        // keeps any, not while they are only away.
        for (int i = 0; i < list.size(); ++i) {
            if (list.at(i).Type == Activity::Album
                && list.at(i).Name == QLatin1String(UnknownAlbumId)) {
                checkActivity(i);
                return;
            }
        }
        return;
    }
    MafwTrackerConnection* connection = trackerConnection();
    if (!connection)
        return;
    // A list never written counts every song without album as new.
    const QDateTime since = lastWrittenTime.isValid() ? lastWrittenTime
                                                      : QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    connection->asyncQuery(QString::fromUtf8(StoreQueries::SongsWithoutAlbumAddedSince)
                               .arg(since.toUTC().toString(Qt::ISODate)),
                           ExistsColumns, this,
                           SLOT(addUnknownAlbum(QList<QStringList>, bool, QVariant)),
                           SLOT(queryFailed(int, QString, QVariant)), QVariant());
}

void LatestActivityModel::addUnknownAlbum(QList<QStringList> rows, bool end, QVariant userData)
{
    Q_UNUSED(end)
    Q_UNUSED(userData)
    if (rows.isEmpty() || rows.first().isEmpty() || rows.first().first().toInt() <= 0)
        return;
    addActivity(Activity(Activity::Album, QLatin1String(UnknownAlbumId), false, QString(), 0),
                false);
}

void LatestActivityModel::removeAllActivities()
{
    // The widgets would go on composing and reporting for entries that are gone.
    clearCollages();
    list.clear();
    writeActivities();
    emit allActivitiesRemoved();
}

void LatestActivityModel::queueRemoval(int index)
{
    const Activity& activity = list.at(index);
    removalQueue.append({ int(activity.Type), activity.Name, activity.TrackerId });
}

void LatestActivityModel::startRemovalTimer()
{
    if (!removalQueue.isEmpty())
        removalTimer->start();
}

void LatestActivityModel::removeQueuedActivities()
{
    // Queued entries are found where they are now, and removed highest position first.
    QList<int> positions;
    for (const RemovalKey& key : qAsConst(removalQueue)) {
        for (int i = 0; i < list.size(); ++i) {
            const Activity& activity = list.at(i);
            if (activity.Type == key.type && activity.Name == key.name
                && activity.TrackerId == key.trackerId && !positions.contains(i))
                positions.append(i);
        }
    }
    removalQueue.clear();
    std::sort(positions.begin(), positions.end());
    while (!positions.isEmpty())
        removeActivity(positions.takeLast());
    if (list.size() < MaximumActivities && recentAlbumsModel)
        checkRecentAlbums(QModelIndex(), 0, recentAlbumsModel->rowCount() - 1);
}

void LatestActivityModel::checkActivity(int index)
{
    if (index < 0 || index >= list.size())
        return;
    const char* query = existenceQuery(list.at(index));
    MafwTrackerConnection* connection = trackerConnection();
    if (!query || !connection)
        return;
    Activity& activity = list[index];
    activity.userData = ++lastToken;
    QString text = keptSongsQuery(query);
    if (queryTakesId(query))
        text = text.arg(activity.TrackerId);
    connection->asyncQuery(text, ExistsColumns, this,
                           SLOT(existsSlot(QList<QStringList>, bool, QVariant)),
                           SLOT(queryFailed(int, QString, QVariant)), activity.userData);
}

void LatestActivityModel::checkAllActivities()
{
    for (int i = 0; i < list.size(); ++i)
        checkActivity(i);
}

void LatestActivityModel::existsSlot(QList<QStringList> rows, bool end, QVariant userData)
{
    Q_UNUSED(end)
    if (rows.isEmpty()) {
        for (int i = 0; i < list.size(); ++i) {
            if (userData.isValid() && list.at(i).userData == userData)
                queueRemoval(i);
        }
    }
    startRemovalTimer();
}

void LatestActivityModel::queryFailed(int errCode, QString errStr, QVariant userData)
{
    qCDebug(lcActivity).nospace()
        << "void LatestActivityModel::queryFailed(int, QString, const QVariant&)"
        << " - query failed " << errCode << " : " << errStr;
    for (const Activity& activity : qAsConst(list)) {
        if (userData.isValid() && activity.userData == userData) {
            qCDebug(lcActivity).nospace()
                << "Activity name: " << activity.Name << " type: " << int(activity.Type);
            break;
        }
    }
}

void LatestActivityModel::checkModel()
{
    if (!list.isEmpty()) {
        checkAllActivities();
        followRecentPlaylists();
    }
    followRecentAlbums();
}

void LatestActivityModel::followRecentAlbums()
{
    if (recentAlbumsModel)
        return;
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    if (!factory)
        return;
    recentAlbumsModel = factory->getModel(MafwTrackerModel::RecentlyAddedAlbums, 0, 0);
    if (!recentAlbumsModel)
        return;
    recentAlbumsModel->setProperty(InitialQueryProperty, true);
    connect(recentAlbumsModel, &QAbstractItemModel::rowsInserted, this,
            &LatestActivityModel::checkRecentAlbums);
    connect(recentAlbumsModel, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &LatestActivityModel::handleRowsAboutToBeRemoved);
}

void LatestActivityModel::followRecentPlaylists()
{
    if (recentPlaylistsModel)
        return;
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    if (!factory)
        return;
    recentPlaylistsModel = factory->getModel(MafwTrackerModel::RecentPlaylists, MaximumActivities,
                                             0);
    if (!recentPlaylistsModel)
        return;
    connect(recentPlaylistsModel, &QAbstractItemModel::rowsInserted, this,
            &LatestActivityModel::checkRecentPlaylists);
}

void LatestActivityModel::connectTrackerChangeSignals()
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    MafwTrackerConnection* connection = factory ? factory->trackerConnection() : nullptr;
    if (connection) {
        connect(connection, &MafwTrackerConnection::albumsDeleted, this,
                &LatestActivityModel::albumsDeletedSlot, Qt::UniqueConnection);
        connect(connection, &MafwTrackerConnection::musicDeleted, this,
                &LatestActivityModel::musicDeletedSlot, Qt::UniqueConnection);
        connect(connection, &MafwTrackerConnection::musicAccessed, this,
                &LatestActivityModel::musicAccessedSlot, Qt::UniqueConnection);
        connect(connection, &MafwTrackerConnection::musicUnfavorited, this,
                &LatestActivityModel::musicUnfavoritedSlot, Qt::UniqueConnection);
        connect(connection, &MafwTrackerConnection::playlistsDeleted, this,
                &LatestActivityModel::playlistsDeleted, Qt::UniqueConnection);
    }
    if (factory)
        connect(factory, &MafwTrackerModelFactory::unknownAlbumsCountChanged, this,
                &LatestActivityModel::handleUnknownAlbumCountChange, Qt::UniqueConnection);
}

void LatestActivityModel::queueRemovalOfIds(const QSet<int>& ids)
{
    for (int i = 0; i < list.size(); ++i) {
        if (ids.contains(list.at(i).TrackerId))
            queueRemoval(i);
    }
    startRemovalTimer();
}

void LatestActivityModel::albumsDeletedSlot(const QSet<int>& ids)
{
    queueRemovalOfIds(ids);
}

void LatestActivityModel::playlistsDeleted(const QSet<int>& ids)
{
    queueRemovalOfIds(ids);
}

void LatestActivityModel::musicDeletedSlot(const QSet<int>& ids)
{
    Q_UNUSED(ids)
    checkAllActivities();
}

void LatestActivityModel::checkFirstWithId(int trackerId)
{
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).TrackerId == trackerId) {
            checkActivity(i);
            return;
        }
    }
}

void LatestActivityModel::musicAccessedSlot(const QSet<int>& ids)
{
    Q_UNUSED(ids)
    checkFirstWithId(NeverPlayedId);
}

void LatestActivityModel::musicUnfavoritedSlot(const QSet<int>& ids)
{
    Q_UNUSED(ids)
    checkFirstWithId(FavouritesId);
}

void LatestActivityModel::handleRowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    Q_UNUSED(parent)
    auto* model = qobject_cast<QAbstractItemModel*>(sender());
    if (!model)
        return;
    for (int row = start; row <= end; ++row) {
        const int id = cell(model, row, 0).toInt();
        // No library item has the id 0: an unreadable cell must not take all songs along.
        if (id == 0)
            continue;
        for (int i = 0; i < list.size(); ++i) {
            if (list.at(i).TrackerId == id) {
                // A row also leaves while its songs are only away (their folder is not
                // there): an entry that can be checked goes once the check finds it gone.
                if (existenceQuery(list.at(i)))
                    checkActivity(i);
                else
                    queueRemoval(i);
                break;
            }
        }
    }
    startRemovalTimer();
}

void LatestActivityModel::startFollowingDeletionsFromOtherModels()
{
    ModelInstance* models = ModelInstance::instance();
    for (int type : qAsConst(followedQueryTypes)) {
        const QSharedPointer<MafwTrackerModel> model = models->getModel(
            MafwTrackerModel::QueryType(type));
        if (model)
            followModel(model.data());
    }
    connect(models, &ModelInstance::modelCreated, this,
            &LatestActivityModel::handleFollowedModelReCreated, Qt::UniqueConnection);
    followAutomaticPlaylists();
}

void LatestActivityModel::followAutomaticPlaylists()
{
    // The playlists page deletes the singleton with itself, and the page is made anew after
    // every library update: follow each new one, made here when the old one goes.
    AutomaticPlaylistsModel* automatic = AutomaticPlaylistsModel::instance();
    connect(automatic, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &LatestActivityModel::handleRowsAboutToBeRemoved, Qt::UniqueConnection);
    connect(automatic, &AutomaticPlaylistsModel::completed, this,
            &LatestActivityModel::giveCollagesTheirAutomaticModels, Qt::UniqueConnection);
    connect(automatic, &QObject::destroyed, this, &LatestActivityModel::automaticPlaylistsGone,
            Qt::UniqueConnection);
}

void LatestActivityModel::automaticPlaylistsGone()
{
    // Not at once: the old one is still on its way out of instance().
    QTimer::singleShot(0, this, &LatestActivityModel::followAutomaticPlaylists);
}

void LatestActivityModel::followModel(MafwTrackerModel* model)
{
    if (!model)
        return;
    if (model->isCompleted()) {
        connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                &LatestActivityModel::handleRowsAboutToBeRemoved, Qt::UniqueConnection);
        return;
    }
    // Rows removed before all are read would be rows the store never had for this model.
    connect(model, &MafwTrackerModel::completed, this,
            &LatestActivityModel::connectRowsAboutToBeRemovedSignal, Qt::UniqueConnection);
    model->fetchRemainingRows();
}

void LatestActivityModel::connectRowsAboutToBeRemovedSignal()
{
    auto* model = qobject_cast<MafwTrackerModel*>(sender());
    if (!model)
        return;
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &LatestActivityModel::handleRowsAboutToBeRemoved, Qt::UniqueConnection);
    disconnect(model, &MafwTrackerModel::completed, this,
               &LatestActivityModel::connectRowsAboutToBeRemovedSignal);
}

void LatestActivityModel::handleFollowedModelReCreated(MafwTrackerModel::QueryType type)
{
    if (!followedQueryTypes.contains(int(type)))
        return;
    const QSharedPointer<MafwTrackerModel> model = ModelInstance::instance()->getModel(type);
    if (model)
        followModel(model.data());
}

void LatestActivityModel::releaseFollowedModels()
{
    delete recentAlbumsModel;
    recentAlbumsModel = nullptr;
    delete recentPlaylistsModel;
    recentPlaylistsModel = nullptr;
}

QSharedPointer<QAbstractItemModel> LatestActivityModel::collageModel(const Activity& activity,
                                                                     bool requestAutomatic) const
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    if (!factory)
        return QSharedPointer<QAbstractItemModel>();
    if (activity.Type == Activity::AllSongs)
        return ModelInstance::instance()->getModel(MafwTrackerModel::AllSongs);
    if (activity.TrackerId < 0) {
        AutomaticPlaylistsModel* automatic = AutomaticPlaylistsModel::instance();
        if (requestAutomatic && automatic->rowCount() == 0)
            automatic->requestModels();
        QSharedPointer<MafwTrackerModel> model;
        automatic->playlistModel(activity.TrackerId, model, true);
        return model;
    }
    if (activity.TrackerId == 0)
        return QSharedPointer<QAbstractItemModel>();
    const auto type = activity.Type == Activity::Playlist ? MafwTrackerModel::SongsOfPlaylistFile
                                                          : MafwTrackerModel::SongsOfUserPlaylist;
    return QSharedPointer<QAbstractItemModel>(factory->getModel(type, 0, activity.TrackerId));
}

void LatestActivityModel::createCollage(const Activity& activity)
{
    // One widget per id: a second one would compose and report the same collage again.
    if (!activity.hasCollage() || collages.contains(activity.TrackerId))
        return;
    auto* widget = new CollageImageWidget(nullptr, CollageWidgetId);
    widget->hide();
    widget->setCollageId(activity.TrackerId);
    collages.insert(activity.TrackerId, widget);
    widget->setTitle(activity.TrackerId < 1 ? qtTrId(activity.Name.toUtf8().constData())
                                            : activity.Name);
    // All songs saves under its fixed name, whatever the settings file says its name is.
    QString saveName;
    if (MafwTrackerModelFactoryInstance::instance()->factory())
        saveName = activity.Type == Activity::AllSongs
                       ? QString::fromLatin1(AllSongsId)
                       : collageId(QStringLiteral("Playlist"), activity.TrackerId);
    const QSharedPointer<QAbstractItemModel> model = collageModel(activity, true);
    connect(widget, &CollageImageWidget::imageReady, this, &LatestActivityModel::imageReadySlot);
    widget->setSaveFile(!saveName.isEmpty(), saveName);
    widget->setModel(model);
}

void LatestActivityModel::removeCollage(const Activity& activity)
{
    if (!activity.hasCollage())
        return;
    CollageImageWidget* widget = collages.take(activity.TrackerId);
    if (!widget)
        return;
    disconnect(widget, &CollageImageWidget::imageReady, this, &LatestActivityModel::imageReadySlot);
    widget->deleteLater();
}

void LatestActivityModel::clearCollages()
{
    for (CollageImageWidget* widget : qAsConst(collages)) {
        disconnect(widget, &CollageImageWidget::imageReady, this,
                   &LatestActivityModel::imageReadySlot);
        widget->deleteLater();
    }
    collages.clear();
}

CollageImageWidget* LatestActivityModel::collageWidget(int trackerId) const
{
    return collages.value(trackerId);
}

void LatestActivityModel::createCollages()
{
    for (const Activity& activity : qAsConst(list))
        createCollage(activity);
}

void LatestActivityModel::resetCollageModels()
{
    for (auto it = collages.constBegin(); it != collages.constEnd(); ++it) {
        for (const Activity& activity : qAsConst(list)) {
            if (activity.TrackerId != it.key() || !activity.hasCollage())
                continue;
            const QSharedPointer<QAbstractItemModel> model = collageModel(activity, false);
            if (model || activity.Type == Activity::AllSongs)
                it.value()->setModel(model);
        }
    }
}

void LatestActivityModel::giveCollagesTheirAutomaticModels()
{
    // Asked for before the automatic playlists were: their widgets got no songs then.
    for (const Activity& activity : qAsConst(list)) {
        CollageImageWidget* widget = collages.value(activity.TrackerId);
        if (!widget || activity.Type != Activity::Playlist || activity.TrackerId >= 0)
            continue;
        const QSharedPointer<QAbstractItemModel> model = collageModel(activity, false);
        if (model)
            widget->setModel(model);
    }
}

void LatestActivityModel::imageReadySlot(const QPixmap& image,
                                         const AlbumArtistPairs& albumsArtists, int collageId)
{
    const QSet<QPair<QString, QString>> incoming(albumsArtists.cbegin(), albumsArtists.cend());
    for (Activity& activity : list) {
        if (activity.TrackerId != collageId || !activity.hasCollage())
            continue;
        const QSet<QPair<QString, QString>> stored(activity.AlbumArtistPairs.cbegin(),
                                                   activity.AlbumArtistPairs.cend());
        if (stored == incoming || albumsArtists.size() != activity.AlbumArtistPairs.size())
            continue;
        activity.pixmap = image;
        for (int i = 0; i < albumsArtists.size(); ++i)
            activity.AlbumArtistPairs[i] = albumsArtists.at(i);
        emit collageReady();
        startWriteTimer();
        return;
    }
}
