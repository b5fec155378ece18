#ifndef PARLOVANCESERVICE_H
#define PARLOVANCESERVICE_H

#include "common/parlovance.h"
#include "playback/playbackenums.h"
#include "requestonitsway.h"
#include "transportburst.h"

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
// and nothing a caller sends reaches a query unchecked.
//
// Each call is checked and answered at once. A transport call (one that changes what plays) is
// only recorded in its slot, in the order the calls came: what it asks is carried out once the
// event loop comes round, together with the calls received meanwhile, as one burst
// (TransportBurst, carryOutBurst()): the queue moves as far as the skips take it and only the
// song it lands on loads, only the newest play request starts, and of the pauses and resumes
// after it the last one holds. A call carried out in its own slot would overtake the calls
// before it that wait in the burst: a stop after a play would stop what plays, and the play
// would start after it. A request that a newer one replaces before its library lookup answers
// is dropped, and a pause or stop asked while a request is on its way (a song looked up, a
// stream not playing yet) pauses or stops it once it plays: what waits for the request is one
// value (RequestOnItsWay). Should the request fail, what it replaced comes back in the state
// asked meanwhile.
//
// The questions (the playback state, the current media) are answered as if every transport
// call sent before them had been carried out, as a program that sends its calls without
// waiting for their answers expects: the burst waiting is carried out first, a pause or resume
// that the renderer reaches a moment later is told as reached, while a library song is looked
// up the state that stands is told (with the pause, resume or stop asked behind the song,
// which acts on what is live either way), and the media asked while a request is on its way
// is told once it arrives or is lost. Where the skips land is told at once,
// before the song loads. The signals tell what happened, as it happens.
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

    // A stop joins the burst, as a bus method that stops would record it. No such method is
    // on the bus: the tests call this.
    void stopPlaybackForTesting();

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant optionalParameter = QVariant());
    void playbackStateChanged(int playbackState);
    void mediaChanged(QStringList mediaChanged);

public slots:
    // The transport calls: each is checked, then recorded in the burst (request(), record());
    // none of them acts on the hub itself.
    void play(QStringList uriList);
    void playTempFile(QStringList uriList);
    void playPlaylist(QStringList uriList);
    void resumePlayback();
    void pausePlayback();
    void next();
    void previous();
    // The questions, answered after the calls before them.
    void currentMedia();
    int playbackState();
    void handlePlaybackStateChanged();
    void updateSheetState();
    void queryReady(QList<QStringList> rows, bool end, QVariant userData);
    void startModelPlayback();
    void queryFailed(int errCode, QString errStr, QVariant userData);
    void instanceCompletedSlot(bool succeeded);

private:
    using PlayRequest = TransportBurst::PlayRequest;

    ParlovanceService();
    ~ParlovanceService() override;

    // play() and playTempFile(): a list as play asks it, a temporary file's or not.
    void playList(const QStringList& uriList, bool temporary, const char* function);
    // A play request, or another transport call, joins the burst.
    void request(const PlayRequest& next);
    void record(void (TransportBurst::*call)());
    // The burst is carried out once the calls already received are through.
    void carryOutLater();
    // The only place where the transport calls act on the hub.
    void carryOutBurst();
    // A question asked: the calls before it are carried out now.
    void carryOutWaitingBurst();
    // The bus state that a pause or resume just carried out leads to while the renderer is
    // not there yet; -1 when it is (or it never gets there: what cannot pause stops at once).
    int stateOnItsWay(TransportSteps::Hold held) const;
    void startRequest(const PlayRequest& next);
    // The burst's play, pause or stop waits for the request on its way: true when it does.
    bool holdWaitsForRequest(TransportSteps::Hold hold);
    // The request on its way plays, or never will; a question for the media that waited for
    // it is answered.
    void requestArrived();
    void requestLost();
    void answerWaitingQuestion();
    void answerMedia();
    // The stage the library song's request goes through.
    RequestOnItsWay::Stage lookUpSong(const QString& urn);

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
    // The state and the media as the bus reports them: what the hub has reached.
    int reportedState() const;
    // The bus state of what is live, in state.
    int stateOf(PlaybackEnums::State state) const;
    QStringList media() const;
    void announceLater();

    static ParlovanceService* s_instance;

    PlayState* playState;
    MafwTrackerModelFactoryInstance* factoryInstance;
    ParlovanceInterfaceAdaptor* interfaceAdaptor;
    QString storageRoot;
    QStringList excludedFolders;
    QScopedPointer<PlaylistFileProbe> fileProbe;
    // The calls received and not yet carried out.
    TransportBurst burst;
    bool burstQueued = false;
    // The newest play request on its way, and what waits for it. A stream or playlist file
    // handed to the hub is not what plays until it has played (or paused), and one that fails
    // (data no decoder takes, a file cut off, a playlist without a playable entry) never
    // becomes it.
    RequestOnItsWay onItsWay;
    // What listeners were told last, and whether a burst of reports waits to be told.
    int announcedState = -1;
    QStringList announcedMedia;
    bool announcePending = false;
};

#endif // PARLOVANCESERVICE_H
