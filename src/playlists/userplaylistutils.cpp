#include "userplaylistutils.h"

#include "common/constants.h"
#include "common/logging.h"
#include "common/shownplaylistname.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/storequeries.h"
#include "mafweditablemodel.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mapplication.h"
#include "mbanner.h"

#include <QDebug>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace {

const QString CheckCookie = QStringLiteral("check");
const QString KeptCookie = QStringLiteral("kept");
const QString DeleteCookie = QStringLiteral("delete");

// The column count arguments of the name check and of the deletion.
const int CheckQueryColumns = 3;
const int KeptQueryColumns = 1;
const int DeleteQueryColumns = 0;

int workers = 0;
int workerTimeoutMs = UserPlaylistUtils::WorkerTimeoutMs;

MafwTrackerConnection* trackerConnection()
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    return factory && MafwTrackerModelFactoryInstance::instance()->isReady()
               ? factory->trackerConnection()
               : nullptr;
}

// Whether the file an entry URL names may still be there: only a file known to be gone (no
// such name, or a folder on its way that is none) counts as gone; one that cannot be looked at
// (no permission, an I/O error) may come back. The path is taken byte for byte from the URL, so
// a name that is not UTF-8 is found too.
bool entryFileExists(const QString& entryUrl)
{
    const QUrl url(entryUrl);
    if (!url.isLocalFile())
        return false;
    const QByteArray path = QByteArray::fromPercentEncoding(
        url.path(QUrl::FullyEncoded).toLatin1());
    struct stat info;
    if (path.isEmpty())
        return false;
    return ::stat(path.constData(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

// Whether the music folder is there and can be read. While it is not (a card or a disk not
// mounted, a folder moved away), every song seems gone, and no playlist may be judged by that.
bool musicFolderReadable()
{
    const QByteArray folder = QFile::encodeName(
        QStandardPaths::writableLocation(QStandardPaths::MusicLocation));
    DIR* dir = folder.isEmpty() ? nullptr : ::opendir(folder.constData());
    if (!dir)
        return false;
    ::closedir(dir);
    return true;
}

} // namespace

UserPlaylistUtils::UserPlaylistUtils(QSharedPointer<MafwTrackerModel> playlistModel, int type,
                                     QList<int> itemIds, bool removal, bool creation,
                                     QString playlistName)
    : model(playlistModel)
    , itemType(type)
    , ids(itemIds)
    , name(playlistName)
    , remove(removal)
    , creating(creation)
    , timeout(new QTimer(this))
{
    ++workers;
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, this, &UserPlaylistUtils::timedOut);
    timeout->start(workerTimeoutMs);

    if (ids.isEmpty()) {
        // Nothing to add or remove would ever be answered.
        qCDebug(lcPlaylists) << Q_FUNC_INFO << "- Nothing to do!";
        QTimer::singleShot(0, this, &UserPlaylistUtils::finish);
    } else if (creating) {
        runCheckQuery();
    } else if (model && model->isComplete()) {
        QTimer::singleShot(0, this, &UserPlaylistUtils::modelCompleted);
    } else if (model) {
        connect(model.data(), SIGNAL(completed()), this, SLOT(modelCompleted()));
        model->fetchRemainingRows();
    } else {
        QTimer::singleShot(0, this, &UserPlaylistUtils::modelCompleted);
    }
}

UserPlaylistUtils::~UserPlaylistUtils()
{
    --workers;
}

void UserPlaylistUtils::createPlaylist(const QString& name, int itemType, QList<int> ids)
{
    new UserPlaylistUtils(QSharedPointer<MafwTrackerModel>(), itemType, ids, false, true, name);
}

void UserPlaylistUtils::addSongs(QSharedPointer<MafwTrackerModel> model, int itemType,
                                 QList<int> ids, const QString& playlistName)
{
    new UserPlaylistUtils(model, itemType, ids, false, false, playlistName);
}

void UserPlaylistUtils::removeSongs(QSharedPointer<MafwTrackerModel> model, QList<int> rows)
{
    new UserPlaylistUtils(model, 0, rows, true, false, QString());
}

int UserPlaylistUtils::liveWorkers()
{
    return workers;
}

void UserPlaylistUtils::setWorkerTimeoutForTesting(int ms)
{
    workerTimeoutMs = ms;
}

void UserPlaylistUtils::finish()
{
    timeout->stop();
    if (model)
        model->disconnect(this);
    deleteLater();
}

void UserPlaylistUtils::timedOut()
{
    qCDebug(lcPlaylists) << Q_FUNC_INFO << "- No answer, giving up";
    finish();
}

void UserPlaylistUtils::runCheckQuery()
{
    MafwTrackerConnection* connection = trackerConnection();
    if (!connection) {
        qCDebug(lcPlaylists) << Q_FUNC_INFO << "- No library connection!";
        QTimer::singleShot(0, this, &UserPlaylistUtils::finish);
        return;
    }
    connection->asyncQuery(QLatin1String(StoreQueries::UserPlaylistsWithEntries), CheckQueryColumns,
                           this, SLOT(createNewPlaylist(QList<QStringList>, bool, QVariant)),
                           SLOT(queryFailed(int, QString, QVariant)), QVariant(CheckCookie));
}

void UserPlaylistUtils::modelCompleted()
{
    if (model)
        disconnect(model.data(), SIGNAL(completed()), this, SLOT(modelCompleted()));
    MafwEditableModel* editable = dynamic_cast<MafwEditableModel*>(model.data());
    if (!editable) {
        qCDebug(lcPlaylists) << "void UserPlaylistUtils::modelCompleted()"
                             << "- Not editable model!";
        finish();
        return;
    }
    if (remove) {
        connect(model.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)), this, SLOT(rowsRemoved()),
                Qt::UniqueConnection);
        editable->removeItems(ids);
    } else {
        connect(model.data(), SIGNAL(rowsInserted(QModelIndex, int, int)), this,
                SLOT(rowsInserted(QModelIndex, int, int)), Qt::UniqueConnection);
        editable->insertItems(itemType, ids);
    }
}

void UserPlaylistUtils::rowsInserted(QModelIndex parent, int start, int end)
{
    Q_UNUSED(parent)
    if (!name.isEmpty()) {
        auto* banner = new MBanner;
        banner->setStyleName(Constants::InformationBanner);
        banner->setTitle(qtTrId("qtn_musi_songs_added_to_playlist", end - start + 1)
                             .arg(shownPlaylistName(name)));
        banner->appear(MApplication::activeWindow(), MSceneWindow::DestroyWhenDone);
    }
    finish();
}

void UserPlaylistUtils::rowsRemoved()
{
    finish();
}

void UserPlaylistUtils::createNewPlaylist(QList<QStringList> rows, bool end, QVariant userData)
{
    Q_UNUSED(end)
    const QString cookie = userData.toString();
    if (cookie == DeleteCookie) {
        if (!staleIds.isEmpty())
            staleIds.removeFirst();
        if (staleIds.isEmpty()) {
            create(name);
            return;
        }
    } else if (cookie == CheckCookie) {
        // Every namesake counts: the name is free again only when all of them are stale. None
        // is stale while the music folder is away: the new playlist takes the next free name.
        const bool folderThere = musicFolderReadable();
        bool nameInUse = false;
        for (const QStringList& row : qAsConst(rows)) {
            if (row.size() != 3) {
                qCDebug(lcPlaylists)
                    << "void UserPlaylistUtils::createNewPlaylist(QList<QStringList>, bool, const QVariant&)"
                    << "- Invalid column count in query results.";
                finish();
                return;
            }
            if (row.at(1).compare(name, Qt::CaseInsensitive) != 0)
                continue;
            bool anyFile = !folderThere;
            for (const QString& url : row.at(2).split(QLatin1Char('\t')))
                anyFile = anyFile || entryFileExists(url);
            if (anyFile)
                nameInUse = true;
            else if (row.at(0).toInt() > 0)
                staleIds.append(QString::number(row.at(0).toInt()));
        }
        if (nameInUse) {
            staleIds.clear();
            makeUniqueName(rows);
            create(name);
            return;
        }
        if (staleIds.isEmpty()) {
            create(name);
            return;
        }
        // Files gone from their place may only be away with their folder or disk: the store
        // says whether it still keeps their songs before anything is deleted.
        MafwTrackerConnection* connection = trackerConnection();
        if (!connection) {
            finish();
            return;
        }
        checkedRows = rows;
        connection->asyncQuery(QLatin1String(StoreQueries::PlaylistsKeepingSongs)
                                   .arg(staleIds.join(QLatin1Char(','))),
                               KeptQueryColumns, this,
                               SLOT(createNewPlaylist(QList<QStringList>, bool, QVariant)),
                               SLOT(queryFailed(int, QString, QVariant)), QVariant(KeptCookie));
        return;
    } else if (cookie == KeptCookie) {
        if (!rows.isEmpty()) {
            staleIds.clear();
            makeUniqueName(checkedRows);
            create(name);
            return;
        }
    } else {
        qCDebug(lcPlaylists)
            << "void UserPlaylistUtils::createNewPlaylist(QList<QStringList>, bool, const QVariant&)"
            << "- invalid userData: " << userData;
        finish();
        return;
    }
    MafwTrackerConnection* connection = trackerConnection();
    if (!connection) {
        finish();
        return;
    }
    connection->asyncQuery(QLatin1String(StoreQueries::DeletePlaylist).arg(staleIds.first()),
                           DeleteQueryColumns, this,
                           SLOT(createNewPlaylist(QList<QStringList>, bool, QVariant)),
                           SLOT(queryFailed(int, QString, QVariant)), QVariant(DeleteCookie));
}

void UserPlaylistUtils::makeUniqueName(const QList<QStringList>& rows)
{
    auto taken = [&rows](const QString& candidate) {
        for (const QStringList& row : rows) {
            if (row.value(1).compare(candidate, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    name += QStringLiteral(" 2");
    for (int counter = 3; taken(name); ++counter)
        name = name.left(name.lastIndexOf(QLatin1Char(' ')) + 1) + QString::number(counter);
}

void UserPlaylistUtils::create(const QString& playlistName)
{
    if (MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory())
        factory->createPlaylist(playlistName, MafwTrackerModelFactory::PlaylistItemType(itemType),
                                ids);
    finish();
}

void UserPlaylistUtils::queryFailed(int code, QString string, QVariant userData)
{
    Q_UNUSED(userData)
    qCDebug(lcPlaylists) << "void UserPlaylistUtils::queryFailed(int, QString, const QVariant&)"
                         << "- " << code << string;
    finish();
}
