#ifndef PLAYSTATE_H
#define PLAYSTATE_H

#include <QFlags>
#include <QModelIndex>
#include <QNetworkSession>
#include <QObject>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QStringList>
#include <QUrl>
#include <QVector>

#include "mafwerror.h"
#include "mafwmediainfo.h"
#include "mafwrenderer.h"
#include "playback/playbackenums.h"
#include "qmusbmode.h"

class ContainerModel;
class ContentManager;
class ErrorMessage;
class ErrorRecovery;
class MafwGeneralSourcePlaylist;
class MafwPlaylist;
class AudiobookFilterProxyModel;
class QAbstractItemModel;
class MafwTrackerModel;
class PositionMemory;
class MassStorageWatch;
class MusicPlayback;
class PlayQueue;
class QueueCursor;
class FastSeek;
struct PlayItem;
struct PlayModes;
class RadioPlayback;
class SheetListenerList;
class QTimer;
class ShuffleProxyModel;
class StreamData;
class ZelMetadataHandler;
class ZelPlayController;

// The process-wide playback hub. Every page, widget and service that shows or changes playback
// talks to it; it alone drives the play controller. It coordinates the parts of playback: what
// plays in the two playing modes (PlayModes), the play queue and its cursor (QueueCursor), the
// music side (MusicPlayback) and the radio side (RadioPlayback), the position memory of
// audiobooks and podcasts, fast seeking and the mass-storage watch. It keeps the live state,
// follows the controller's reports and shows the playback error banners. GUI thread only.
//
// The hub alone writes what plays. Its parts read the items and report what they change, each
// kind of report in one follow...() slot below, which applies it to the live item or to a
// mode's snapshot by the playing mode.
class PlayState : public QObject, public PlaybackEnums
{
    Q_OBJECT

public:
    // The process's hub, over the process's play controller unless createInstance() built it.
    static PlayState* instance();
    // Builds the process's hub over controller, which outlives it. Returns the existing hub
    // when there is one already.
    static PlayState* createInstance(ZelPlayController* controller);
    // Stores the position of an audiobook or podcast, then deletes the hub.
    static void destroyInstance();

    // Getters of either mode: the live values, or the snapshot of the mode that is not live.
    State state(PlayingMode mode) const;
    uint position(PlayingMode mode) const;
    int duration(PlayingMode mode) const;
    ContentType contentType(PlayingMode mode) const;
    int songCount(PlayingMode mode) const;
    int currentIndex(PlayingMode mode) const;
    int songId(PlayingMode mode) const;
    int albumId(PlayingMode mode) const;
    QString title(PlayingMode mode) const;
    QString album(PlayingMode mode) const;
    QString artist(PlayingMode mode) const;
    QString streamArtPath(PlayingMode mode) const;
    QString streamArtText(PlayingMode mode) const;
    bool isSeekable(PlayingMode mode) const;
    bool isBuffering(PlayingMode mode) const;

    PlayingMode mode() const;
    QString songUri() const;
    QUrl streamUrl() const;
    SaveState saveState() const;
    ModelOptions flags() const;
    bool isShuffle() const;
    bool isRepeat() const;
    int trackNumber() const;
    void setTrackNumber(int trackNumber);
    bool isUpdatingLibrary() const;
    void setUpdatingLibrary(bool updating);
    bool isAudioAvailable() const;
    void setAudioAvailable(bool available);
    bool isAudiobookOrPodcast() const;
    bool allSongsQueue() const;
    bool seekBoundReached() const;
    void clearSeekBoundReached();
    QStringList rememberedGenres() const;
    // The queue as the play-queue view shows it.
    QSharedPointer<ShuffleProxyModel> shuffleProxyModel() const;
    QString playlistId() const;

    // Building the queue and starting it.
    void appendModel(QSharedPointer<QAbstractItemModel> model,
                     QFlags<PlayState::ModelOption> options, int row);
    // Returns the row that plays, or -1 when playback is refused.
    int startPlayback(int index, QFlags<PlayState::ModelOption> options);
    void playPendingModel();
    void playIndex(int row);
    void clearPlayQueue();
    bool hasSeveralAlbums() const;
    void emitSongChanged();

    // Transport.
    void play(PlayingMode mode);
    void pause();
    void pauseOrStop(PlayingMode mode);
    void stop(PlayingMode mode);
    // One step: skip() of one next or one previous.
    void next(int delayMs);
    void previous(int delayMs, bool force);
    // The one way through the queue: a burst of next() and previous() calls as one change (the
    // playback service's and the media keys' bursts, or a single step), moves holding the
    // calls in the order asked, a run of n nexts as n and of n previouses as -n. What plays
    // moves as those calls one after the other would move it (the queue wraps at its ends in
    // the order it plays in, a first previous restarts a song heard for
    // QueueCursor::RestartAfterSeconds or more unless forced, a playlist file steps through its
    // entries), and only where it lands is loaded: a song the burst passes over is neither
    // loaded nor shown. The song landed on is shown at once; the controller follows at once
    // (delayMs < 0) or once no other skip has come for delayMs (isSettling() meanwhile), so a
    // song passed by skips that come faster than that is never loaded either. A play from
    // pause or stop and a seek carry a waiting move out first: they act on the song the skips
    // landed on. Whatever is loaded counts as played only once it has been heard long enough
    // (the play controller's rule).
    void skip(const QVector<int>& moves, int delayMs, bool force = false);
    // A change of song waits out its delay before the controller follows it.
    bool isSettling() const;
    void setPosition(uint seconds, PlayingMode mode);
    void startRewinding(int stepMs);
    void startForwarding(int stepMs);

    // Shuffle, repeat and the position memory.
    void setShuffle(bool on);
    void setRepeat(bool on, bool userToggle = false);
    void savePlayPosition();
    void storeLastPosition(int position, int songId);
    void requestLastPosition();
    void updateLatestActivityTrack();
    void ensureContentManager();

    bool isMassStorageMode();
    bool isUsbSyncMode();
    void checkUsbMode();

    // Objects told of the player sheet's state through slot (SLOT() form, one bool argument).
    void registerSheetListener(QObject* object, const char* slot);
    void unregisterSheetListener(QObject* object);
    void notifySheetListeners(bool value);

    void toggleFavoriteState();
    void checkFavoriteState();
    bool isCallActive() const;
    void setPositionUpdateInterval(unsigned int interval);

    // Streams and files from outside the queue.
    void playStream(const QUrl& url);
    // While a stream asked for is on its way (it has not played yet): should it fail, what it
    // replaced comes back in state (playing, paused or stopped), the one the user asked for
    // meanwhile, instead of the one it was in.
    void askForReplacedItem(State state);
    void playLocalFile(const QString& path);
    // The player sheet has closed (Cancel, Done, the end of its item, its window): the item it
    // played ends with it, and nothing brings that back. What the main window holds is live:
    // the library song that waits behind it, paused where it was, or nothing.
    void endSheetItem();
    // Saving the playing file into the library (the player sheet's Save).
    void saveCurrentStream();
    bool saveAllowed() const;
    void requestMediaInfo();

signals:
    void stateChanged(PlayState::State state);
    void songChanged(QString title, QString album, QString artist, int songIndex, bool previous);
    void songCountChanged(int songCount);
    void positionChanged(uint position);
    void durationChanged(int duration);
    void connecting();
    void bufferingStateChanged(bool buffering);
    void bufferingProgress(float progress);
    void streamArtChanged(QString newArtPath, QString generateText);
    void contentTypeChanged(PlayState::ContentType newContentType);
    void callStateChanged(bool isActive);
    void favoriteState(QString uri, bool isFavorite);
    void playbackCompleted();
    void songsAddedToPlaylist(int count);
    // A model joins the play queue or replaces it (its rows may still be on their way).
    void queueing();
    void saveStateChanged(PlayState::SaveState state);
    void massStorageMode(bool isMassStorageMode);
    void audioResourcesAvailable(bool state);
    void modeChanged(PlayState::PlayingMode newMode);
    // The renderer plays the live item: sent at each start, also where the state does not
    // change (a stream that replaces one that played).
    void itemPlaying();
    // A stream asked for failed before it played, and what it replaced is live again, as it
    // was.
    void replacedItemBack();
    // A library file asked for (playLocalFile()) has started as the queue's song, or the
    // library does not hold it yet (it starts once the indexer adds it).
    void libraryFileStarted();
    void libraryFileMissing();

public slots:
    void contentTypeChangedSlot();
    void saveSongSelectedSlot(QString file);
    void exitSlot();
    void playlistChangedSlot(MafwPlaylist* playlist);
    void playlistContentsChangedSlot(MafwPlaylist* playlist);

    void handleSongsAddedToCopyModel();
    void rowsInsertedSlot(QModelIndex parent, int start, int end);
    void rowsRemovedSlot(QModelIndex parent, int start, int end);
    void sendPlayAction();

    void setPlayPosition(int position, int songID);
    void savePlayPositionRequestCompletedSlot();
    void seekToStartingPosition();
    void usbModeChanged(MeeGo::QmUSBMode::Mode mode);
    void releaseSheet();
    void reallyReleaseSheet();
    void callActivatedSlot(bool enabled);
    void audioAvailableSlot(bool state);

    void seekSlot();
    void delayedNextPrev();
    void positionChangedSlot(uint position, int duration);

    void rendererStateChangedSlot(MafwRenderer::State state);
    void bufferingChangedSlot(float percent);
    void playbackCompletedSlot();
    void mediaChangedSlot(const ZelMetadataHandler* handler);
    void metadataChangedSlot(const ZelMetadataHandler* handler);
    void errorSlot(const MafwError& error);
    void playbackAboutToStartSlot();
    void aboutToPlayRadioStreamSlot();
    void rendererLostSlot();
    void resumePlaybackAfterErrorSlot();

    void storeTrackNumber(MafwMediaInfo info);
    void networkSessionStateChanged(QNetworkSession::State state);
    void networkSessionErrorSlot(QNetworkSession::SessionError error);
    void songSavedSlot(QString uri, int trackerId);
    void savedSongModelCompleted();

private:
    class MusicBridge;
    class RadioBridge;
    class RecoveryBridge;

    explicit PlayState(ZelPlayController* controller);
    ~PlayState() override;

    void setState(State state);
    void setMode(PlayingMode mode);
    // A change of song still waiting out its delay is made now, so that what comes next acts
    // on where the skips landed.
    void landSkips();
    void setBuffering(bool buffering);
    // True (after telling the user) when nothing may play now.
    bool refusePlayback();
    void followMedia(bool follow);
    PlayQueue& queue() const;

    void controllerMoved();
    // The live item becomes its mode's snapshot, which the mode comes back to.
    void saveLiveItem();
    // Where the queue stands now; the one place its row reaches the live item.
    void followQueueRow(int row);
    // How many songs the queue holds; the one place its count reaches the live item.
    void followQueueSize(int count);
    // What the music side loaded into the music item.
    void followSong(const PlayItem& song);
    // What the radio side loaded into the radio item.
    void followStream(const PlayItem& stream);
    // What radio comes back to after music, while a stream plays.
    void followResumePoint(const PlayItem& stream);
    // Where a fast seek has got to.
    void followSeek(uint position);
    void startFastSeek(bool backwards, int stepMs);

    static PlayState* s_instance;

    ZelPlayController* controls;
    // What plays, live and in the snapshot of the mode that is not live.
    QScopedPointer<PlayModes> modes;
    QScopedPointer<PositionMemory> positions;
    QScopedPointer<QueueCursor> cursor;
    QScopedPointer<RadioBridge> radioBridge;
    QScopedPointer<RadioPlayback> radio;
    QScopedPointer<MusicBridge> musicBridge;
    QScopedPointer<MusicPlayback> music;
    QScopedPointer<RecoveryBridge> recoveryBridge;
    ErrorRecovery* recovery = nullptr;
    FastSeek* fastSeek = nullptr;
    ZelMetadataHandler* songDataHandler = nullptr;
    int rendererState = MafwRenderer::Stopped;
    State liveState = NoState;
    bool buffering = false;
    ErrorMessage* errorMessage = nullptr;
    ContentManager* contentManager = nullptr;
    bool ignoreCompletion = false;
    MassStorageWatch* massStorage = nullptr;
    bool updatingLibrary = false;
    bool resumeWhenPaused = false;
    bool audioAvailable = true;
    QScopedPointer<SheetListenerList> sheetListeners;
};

#endif // PLAYSTATE_H
