#ifndef PARLOVANCESERVICE_H
#define PARLOVANCESERVICE_H

#include "common/parlovance.h"

#include <QList>
#include <QObject>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QStringList>
#include <QUrl>
#include <QVariant>

class MafwTrackerModelFactoryInstance;
class ParlovanceInterfaceAdaptor;
class PlayState;
class PlaylistFileProbe;
class QAbstractItemModel;

// The playback service other programs reach on the session bus: they play a library song by its
// URN, a music file by its path or URL, a stream or a playlist, pause, resume, skip, and ask for
// (or are told of) the playback state and what plays. Every request ends in the playback hub.
// The bus is open to any program of the session: every argument is checked before it is used,
// and nothing a caller sends reaches a query unchecked. A play request is checked within its
// call and started once the event loop comes round; only the newest one matters, so one that a
// newer one replaces before it starts, or before its library lookup answers, is dropped.
class ParlovanceService : public QObject
{
    Q_OBJECT

public:
    static const char* const ServiceName;

    // D-Bus playback states.
    enum BusState {
        BusStopped = 0,
        BusPlaying = 1,
        BusPaused = 2,
        BusTransitioning = 3,
        BusOther = 100
    };

    static ParlovanceService* instance();
    static void destroyInstance();

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant optionalParameter = QVariant());
    void playbackStateChanged(int playbackState);
    void mediaChanged(QStringList mediaChanged);

public slots:
    void play(QStringList uriList);
    void playTempFile(QStringList uriList);
    void playPlaylist(QStringList uriList);
    void resumePlayback();
    void pausePlayback();
    void next();
    void previous();
    void currentMedia();
    int playbackState();
    void handlePlaybackStateChanged();
    void updateSheetState();
    void queryReady(QList<QStringList> rows, bool end, QVariant userData);
    void startModelPlayback();
    void queryFailed(int errCode, QString errStr, QVariant userData);
    void instanceCompletedSlot(bool succeeded);

private:
    // A play request that was checked and waits for its start.
    struct PlayRequest
    {
        enum Kind { None, LibrarySong, LibraryFile, Stream };
        Kind kind = None;
        QString uri; // the song's URN, or the library file's URL
        QUrl url;    // the stream's address
    };

    ParlovanceService();
    ~ParlovanceService() override;

    // Keeps a request for the start, in place of one that waits.
    void request(const PlayRequest& next);
    void startWaitingRequest();
    // Starts a waiting request at once.
    void startRequestNow();
    void lookUpSong(const QString& urn);

    void connectPlayStateSignals();
    // The hub's item plays: a stream handed to it has started.
    void liveItemPlays();
    bool isInExcludedDirectory(const QString& path) const;
    bool isBelowStorageRoot(const QString& path) const;
    static QUrl urlOf(const QString& uri, bool encoded);
    static bool acceptable(const QStringList& uriList, const char* function);
    // False for a local file that is neither audio nor a playlist, after a log line that names
    // the caller, the file and its type: such a file is refused before anything stops.
    bool isMusicOrPlaylist(const QUrl& url, const char* function);
    // The state and the media as the bus reports them.
    QStringList media() const;
    void announceLater();

    static ParlovanceService* s_instance;

    PlayState* playState;
    QStringList lastUriList;
    MafwTrackerModelFactoryInstance* factoryInstance;
    QSharedPointer<QAbstractItemModel> pendingModel;
    ParlovanceInterfaceAdaptor* interfaceAdaptor;
    QString storageRoot;
    QStringList excludedFolders;
    bool tempFileRequest;
    QScopedPointer<PlaylistFileProbe> fileProbe;
    // Whether the stream or playlist file handed to the hub last has played (or paused) since:
    // until then it is not what plays, and one that fails (data no decoder takes, a file cut
    // off, a playlist without a playable entry) never becomes it.
    bool streamStarted = true;
    // The request that waits for its start, and how many were taken since the last start.
    PlayRequest waitingRequest;
    int requestsTaken = 0;
    bool startQueued = false;
    // Counts the requests taken: a lookup or a song model of an older one is dropped.
    quint64 requestSerial = 0;
    quint64 modelSerial = 0;
    // What listeners were told last, and whether a burst of reports waits to be told.
    int announcedState = -1;
    QStringList announcedMedia;
    bool announcePending = false;
};

#endif // PARLOVANCESERVICE_H
