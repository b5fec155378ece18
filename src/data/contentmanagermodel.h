#ifndef CONTENTMANAGERMODEL_H
#define CONTENTMANAGERMODEL_H

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

class MafwTrackerConnection;
class MafwTrackerModelFactory;
class MafwTrackerModelFactoryInstance;

// Reads and writes the last played position of a song in the library store (audiobooks and
// podcasts resume there), and finds a song by its URL or file name, also once the indexer has
// picked up a new file. Everything runs as asynchronous SPARQL on the factory's connection.
//
// Positions: every setLastPlayedPosition() ends with exactly one setLastPlayedPositionCompleted(),
// whatever happens on its way (stored, cleared, nothing to do, failed, no store). The requests
// for one song run one after another, each reading what the one before it wrote, so two stores
// close together never meet on the store's single value.
class ContentManagerModel : public QObject
{
    Q_OBJECT

public:
    explicit ContentManagerModel(QObject* parent);
    ~ContentManagerModel() override;

    // The stored position comes as lastPosition(position, songID); 0 when none is stored.
    void requestLastPlayedPosition(int songID);
    // Stores position (seconds); 0 clears the stored value.
    void setLastPlayedPosition(int position, int songID);
    // The song comes as songAdded(uri, trackerId); a song the store does not hold (or a store
    // that cannot be asked) as songMissing(url). Kept until the store is ready.
    void querySongByUrl(QString url);
    void querySongByFileName(QString fileName);

signals:
    void songAdded(QString uri, int trackerId);
    void songMissing(QString url);
    void favoriteState(QString uri, bool isFavorite);
    void lastPosition(int position, int songID);
    void setLastPlayedPositionCompleted();

public slots:
    // Looks the file name up again on every batch of music added to the library.
    void connectSongAddedSignal(QString fileName);
    void disconnectSongAddedSignal();
    void handleFactoryCompleted(bool success);
    void handleSongAdded(const QSet<int>& ids);
    void songInTrackerQueryFinished(QList<QStringList> rows, bool end, QVariant userData);
    void queryFailed(int errCode, QString errStr, QVariant userData);
    void insertLastPlayedPosition(int position, int songID);
    void setLastPlayedPositionFinished(QList<QStringList>, bool, QVariant);
    void deleteLastPlayedPosition(int position, int songID, int newPosition = 0);
    void deleteLastPlayedPositionFinished(QList<QStringList>, bool, QVariant);
    void lastPlayedPositionQueryFinished(QList<QStringList> rows, bool end, QVariant userData);
    // newPosition: negative reports the stored value, 0 clears it, more stores it.
    void queryLastPlayedPosition(int songID, int newPosition = 0);

private:
    void processPendingRequests();
    void sendPositionRead(int songID, int newPosition);
    void finishPositionRequest(int songID, int newPosition);
    static bool readCookie(const QVariant& cookie, int* songID, int* newPosition);

    MafwTrackerModelFactoryInstance* factoryInstance;
    MafwTrackerModelFactory* trackerFactory;
    MafwTrackerConnection* trackerConnection;
    QString watchedFileName;
    QList<QVariantList> pendingRequests;
    // Songs with a position request on its way, and the requests waiting behind it.
    QSet<int> positionBusy;
    QHash<int, QList<int> > positionQueue;
};

#endif // CONTENTMANAGERMODEL_H
