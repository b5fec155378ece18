#include "contentmanagermodel.h"

#include "common/logging.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodelfactory.h"
#include "mafwtrackermodelfactoryinstance.h"
#include "storequeries.h"
#include "trackersparql.h"

#include <QDebug>
#include <QTimer>

namespace {

const char* const FailureSlot = SLOT(queryFailed(int, QString, const QVariant&));

enum RequestKind { UrlRequest = 0, WatchRequest = 1 };

QVariant positionCookie(int songID, int newPosition)
{
    return QVariantList() << songID << newPosition;
}

} // namespace

ContentManagerModel::ContentManagerModel(QObject* parent)
    : QObject(parent)
    , factoryInstance(MafwTrackerModelFactoryInstance::instance())
    , trackerFactory(nullptr)
    , trackerConnection(nullptr)
{
    if (factoryInstance->isReady()) {
        handleFactoryCompleted(true);
    } else {
        connect(factoryInstance, SIGNAL(completed(bool)), this, SLOT(handleFactoryCompleted(bool)),
                Qt::QueuedConnection);
    }
}

ContentManagerModel::~ContentManagerModel() = default;

void ContentManagerModel::handleFactoryCompleted(bool success)
{
    if (!success || trackerConnection)
        return;
    trackerFactory = factoryInstance->factory();
    trackerConnection = trackerFactory ? trackerFactory->trackerConnection() : nullptr;
    if (trackerConnection)
        processPendingRequests();
}

void ContentManagerModel::processPendingRequests()
{
    while (!pendingRequests.isEmpty()) {
        const QVariantList request = pendingRequests.takeFirst();
        if (request.size() < 2)
            continue;
        switch (request.at(0).toInt()) {
        case UrlRequest:
            querySongByUrl(request.at(1).toString());
            break;
        case WatchRequest:
            connectSongAddedSignal(request.at(1).toString());
            break;
        default:
            break;
        }
    }
}

void ContentManagerModel::requestLastPlayedPosition(int songID)
{
    queryLastPlayedPosition(songID, -1);
}

void ContentManagerModel::setLastPlayedPosition(int position, int songID)
{
    queryLastPlayedPosition(songID, qMax(0, position));
}

void ContentManagerModel::queryLastPlayedPosition(int songID, int newPosition)
{
    if (!trackerConnection) {
        // Nothing can be stored, but whoever counts the stores must still see this one end.
        if (newPosition >= 0)
            QTimer::singleShot(0, this, [this]() { emit setLastPlayedPositionCompleted(); });
        return;
    }
    if (positionBusy.contains(songID)) {
        positionQueue[songID].append(newPosition);
        return;
    }
    positionBusy.insert(songID);
    sendPositionRead(songID, newPosition);
}

void ContentManagerModel::sendPositionRead(int songID, int newPosition)
{
    trackerConnection->asyncQuery(QString::fromLatin1(StoreQueries::PositionRead).arg(songID), 1,
                                  this,
                                  SLOT(lastPlayedPositionQueryFinished(QList<QStringList>, bool,
                                                                       const QVariant&)),
                                  FailureSlot, positionCookie(songID, newPosition));
}

void ContentManagerModel::finishPositionRequest(int songID, int newPosition)
{
    // A request that arrives during the signal waits behind the ones already waiting.
    if (newPosition >= 0)
        emit setLastPlayedPositionCompleted();
    if (!positionBusy.contains(songID))
        return;
    QList<int>& waiting = positionQueue[songID];
    if (waiting.isEmpty() || !trackerConnection) {
        positionQueue.remove(songID);
        positionBusy.remove(songID);
        return;
    }
    sendPositionRead(songID, waiting.takeFirst());
}

bool ContentManagerModel::readCookie(const QVariant& cookie, int* songID, int* newPosition)
{
    if (cookie.type() != QVariant::List)
        return false;
    const QVariantList values = cookie.toList();
    if (values.size() < 2)
        return false;
    *songID = values.at(0).toInt();
    *newPosition = values.at(1).toInt();
    return true;
}

void ContentManagerModel::lastPlayedPositionQueryFinished(QList<QStringList> rows, bool end,
                                                          QVariant userData)
{
    Q_UNUSED(end)
    int songID = 0;
    int newPosition = 0;
    if (!readCookie(userData, &songID, &newPosition))
        return;
    if (rows.isEmpty() || rows.first().isEmpty()) {
        // No such song: nothing to read or write.
        finishPositionRequest(songID, newPosition);
        return;
    }
    const QString cell = rows.first().first();
    const bool noValue = cell.isNull();
    bool number = false;
    int stored = cell.toInt(&number, 10);
    if (!number)
        stored = 0;

    if (newPosition >= 1) {
        if (noValue)
            insertLastPlayedPosition(newPosition, songID);
        else if (stored == newPosition)
            finishPositionRequest(songID, newPosition);
        else
            deleteLastPlayedPosition(stored, songID, newPosition);
    } else if (newPosition == 0) {
        if (!noValue) {
            deleteLastPlayedPosition(stored, songID, 0);
        } else {
            emit lastPosition(stored, songID);
            finishPositionRequest(songID, newPosition);
        }
    } else {
        emit lastPosition(stored, songID);
        finishPositionRequest(songID, newPosition);
    }
}

void ContentManagerModel::insertLastPlayedPosition(int position, int songID)
{
    if (!trackerConnection)
        return;
    trackerConnection->asyncQuery(
        QString::fromLatin1(StoreQueries::PositionInsert).arg(position).arg(songID), 1, this,
        SLOT(setLastPlayedPositionFinished(QList<QStringList>, bool, const QVariant&)), FailureSlot,
        positionCookie(songID, position));
}

void ContentManagerModel::setLastPlayedPositionFinished(QList<QStringList>, bool, QVariant userData)
{
    int songID = 0;
    int newPosition = 0;
    if (readCookie(userData, &songID, &newPosition))
        finishPositionRequest(songID, qMax(1, newPosition));
    else
        emit setLastPlayedPositionCompleted();
}

void ContentManagerModel::deleteLastPlayedPosition(int position, int songID, int newPosition)
{
    if (!trackerConnection)
        return;
    trackerConnection->asyncQuery(
        QString::fromLatin1(StoreQueries::PositionDelete).arg(position).arg(songID), 1, this,
        SLOT(deleteLastPlayedPositionFinished(QList<QStringList>, bool, const QVariant&)),
        FailureSlot, positionCookie(songID, newPosition));
}

void ContentManagerModel::deleteLastPlayedPositionFinished(QList<QStringList>, bool,
                                                           QVariant userData)
{
    int songID = 0;
    int newPosition = 0;
    if (!readCookie(userData, &songID, &newPosition))
        return;
    if (newPosition != 0)
        insertLastPlayedPosition(newPosition, songID);
    else
        finishPositionRequest(songID, 0);
}

void ContentManagerModel::queryFailed(int errCode, QString errStr, QVariant userData)
{
    qCDebug(lcData) << Q_FUNC_INFO << "- code:" << errCode << "reason:" << errStr
                    << "userData:" << userData;
    int songID = 0;
    int newPosition = 0;
    if (readCookie(userData, &songID, &newPosition))
        finishPositionRequest(songID, newPosition);
    else if (userData.type() == QVariant::String)
        emit songMissing(userData.toString());
}

void ContentManagerModel::querySongByUrl(QString url)
{
    if (url.isEmpty())
        return;
    if (!trackerConnection) {
        pendingRequests.append(QVariantList() << int(UrlRequest) << url);
        return;
    }
    trackerConnection->asyncQuery(
        QString::fromLatin1(StoreQueries::SongByUrl).arg(TrackerSparql::escapeString(url)), 2, this,
        SLOT(songInTrackerQueryFinished(QList<QStringList>, bool, const QVariant&)), FailureSlot,
        QVariant(url));
}

void ContentManagerModel::querySongByFileName(QString fileName)
{
    if (fileName.isEmpty() || !trackerConnection)
        return;
    trackerConnection->asyncQuery(QString::fromLatin1(StoreQueries::SongByFileName)
                                      .arg(TrackerSparql::escapeString(fileName)),
                                  2, this,
                                  SLOT(songInTrackerQueryFinished(QList<QStringList>, bool,
                                                                  const QVariant&)),
                                  FailureSlot, QVariant());
}

void ContentManagerModel::songInTrackerQueryFinished(QList<QStringList> rows, bool end,
                                                     QVariant userData)
{
    if (!end)
        return;
    if (rows.isEmpty() || rows.first().size() < 2) {
        // Only the answer to a question by URL names the song it was asked for.
        if (userData.type() == QVariant::String)
            emit songMissing(userData.toString());
        return;
    }
    const QStringList& row = rows.first();
    emit songAdded(row.at(0), row.at(1).toInt(nullptr, 10));
}

void ContentManagerModel::connectSongAddedSignal(QString fileName)
{
    if (fileName.isEmpty())
        return;
    if (!trackerConnection) {
        pendingRequests.append(QVariantList() << int(WatchRequest) << fileName);
        return;
    }
    watchedFileName = fileName;
    connect(trackerConnection, SIGNAL(musicAdded(QSet<int>)), this,
            SLOT(handleSongAdded(QSet<int>)), Qt::UniqueConnection);
}

void ContentManagerModel::disconnectSongAddedSignal()
{
    watchedFileName = QString();
    if (trackerConnection)
        disconnect(trackerConnection, SIGNAL(musicAdded(QSet<int>)), this,
                   SLOT(handleSongAdded(QSet<int>)));
}

void ContentManagerModel::handleSongAdded(const QSet<int>& ids)
{
    Q_UNUSED(ids)
    // A song asked for by its file URL is looked for by that URL again; a bare name by name.
    if (watchedFileName.startsWith(QLatin1String("file:")))
        querySongByUrl(watchedFileName);
    else if (!watchedFileName.isEmpty())
        querySongByFileName(watchedFileName);
}
