#include "latestactivitymodel.h"

#include "common/logging.h"
#include "common/parlovancesettings.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"

#include <QFileInfo>
#include <QTimer>

#include <algorithm>

namespace {

const int MaximumActivities = 9;
const int WriteDelayMs = 500;
const int CollagePairs = 4;

const char* const ActivitiesKey = "Activities";
// Spelled as the settings files already in use spell it.
const char* const UpdatedKey = "ActiviesUpdated";
const char* const InitialQueryProperty = "initial_query";

QString pairKey(int pair, int member)
{
    return QStringLiteral("AlbumArtist%1%2").arg(pair).arg(member);
}

bool isKnownType(int type)
{
    return type >= Activity::AllSongs && type <= Activity::UserPlaylist;
}

// Whether stored entry s stands for the same thing as a: all songs is one entry, an automatic
// playlist is known by its id or its name, everything else by kind and name.
bool matches(const Activity& s, const Activity& a)
{
    if (s.Type == Activity::Playlist && s.TrackerId < 0)
        return a.Type == Activity::Playlist && (a.TrackerId == s.TrackerId || a.Name == s.Name);
    if (s.Type == Activity::AllSongs)
        return a.Type == Activity::AllSongs;
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
    connect(writeTimer, SIGNAL(timeout()), this, SLOT(writeActivities()));
    removalTimer->setSingleShot(true);
    removalTimer->setInterval(0);
    connect(removalTimer, SIGNAL(timeout()), this, SLOT(removeQueuedActivities()));
    readActivities();
}

LatestActivityModel::~LatestActivityModel()
{
    releaseFollowedModels();
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
        settings.setValue(QStringLiteral("Name"), activity.Name);
        settings.setValue(QStringLiteral("AdditionalParameter"), activity.AdditionalParameter);
        settings.setValue(QStringLiteral("TrackerId"), activity.TrackerId);
        settings.setValue(QStringLiteral("Shuffled"), activity.Shuffled);
        settings.setValue(QStringLiteral("Timestamp"), activity.Timestamp);
        for (int pair = 0; pair < CollagePairs; ++pair) {
            const bool stored = activity.hasCollage() && pair < activity.AlbumArtistPairs.size();
            const auto& value = stored ? activity.AlbumArtistPairs.at(pair)
                                       : QPair<QString, QString>();
            settings.setValue(pairKey(pair, 0), value.first);
            settings.setValue(pairKey(pair, 1), value.second);
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
        activity.AdditionalParameter =
            settings.value(QStringLiteral("AdditionalParameter")).toString();
        activity.TrackerId = settings.value(QStringLiteral("TrackerId"), 0).toInt();
        activity.Shuffled = settings.value(QStringLiteral("Shuffled"), false).toBool();
        activity.Timestamp = settings.value(QStringLiteral("Timestamp")).toDateTime();
        if (activity.hasCollage()) {
            for (int pair = 0; pair < CollagePairs; ++pair) {
                activity.AlbumArtistPairs[pair].first =
                    settings.value(pairKey(pair, 0)).toString();
                activity.AlbumArtistPairs[pair].second =
                    settings.value(pairKey(pair, 1)).toString();
            }
        }
        bool numeric = false;
        activity.TrackNo = settings.value(QStringLiteral("TrackNo"), -1).toInt(&numeric);
        if (!numeric || activity.TrackNo < -1)
            activity.TrackNo = -1;
        if (!isKnownType(activity.Type) || activity.Name.isEmpty()
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

void LatestActivityModel::addActivity(const Activity& activity, bool fromPage)
{
    // Entries that do not come from a page would go behind the one now playing while the main
    // page shows it beside the grid; the grid does not show it yet, so every entry goes first.
    Q_UNUSED(fromPage)
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
    list.prepend(activity);
    if (list.size() > MaximumActivities)
        list.removeLast();
    emit activityAdded(activity);
    startWriteTimer();
}

void LatestActivityModel::removeActivity(int index)
{
    if (index < 0 || index >= list.size())
        return;
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
        const QString name = cell(recentPlaylistsModel, row, 1).toString();
        // A playlist file is named as the playlist pages name it: without its last suffix only.
        playlist.Name =
            type == Activity::UserPlaylist ? name : QFileInfo(name).completeBaseName();
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

void LatestActivityModel::removeAllActivities()
{
    list.clear();
    writeActivities();
    emit allActivitiesRemoved();
}

void LatestActivityModel::queueRemoval(int index)
{
    const Activity& activity = list.at(index);
    removalQueue.append({int(activity.Type), activity.Name, activity.TrackerId});
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

void LatestActivityModel::checkModel()
{
    if (!list.isEmpty())
        followRecentPlaylists();
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
    connect(recentAlbumsModel, SIGNAL(rowsInserted(QModelIndex,int,int)), this,
            SLOT(checkRecentAlbums(QModelIndex,int,int)));
}

void LatestActivityModel::followRecentPlaylists()
{
    if (recentPlaylistsModel)
        return;
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    if (!factory)
        return;
    recentPlaylistsModel = factory->getModel(MafwTrackerModel::RecentPlaylists, MaximumActivities, 0);
    if (!recentPlaylistsModel)
        return;
    connect(recentPlaylistsModel, SIGNAL(rowsInserted(QModelIndex,int,int)), this,
            SLOT(checkRecentPlaylists(QModelIndex,int,int)));
}

void LatestActivityModel::releaseFollowedModels()
{
    delete recentAlbumsModel;
    recentAlbumsModel = nullptr;
    delete recentPlaylistsModel;
    recentPlaylistsModel = nullptr;
}
