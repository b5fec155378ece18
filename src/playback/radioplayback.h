#ifndef RADIOPLAYBACK_H
#define RADIOPLAYBACK_H

#include "playback/playbackenums.h"
#include "playback/playitem.h"

#include <QNetworkSession>
#include <QObject>
#include <QScopedPointer>
#include <QUrl>

class MafwTrackerModel;
class QTimer;
class PlaylistFileProbe;
class RadioHost;
class RadioNetworkSession;
class StreamData;
class ZelPlayController;
struct PlayModes;

// The radio side of the playback hub: streams and radio playlists (over a network session),
// the switch between the music and the radio mode with the snapshot each mode leaves behind,
// the texts of a playing stream, and songs that become the queue from outside it (a local file
// found in the library, a saved stream). It reads the items of the playing modes and works on
// the play controller; what it loads it reports by streamLoaded() and resumePointChanged(),
// which the hub applies, and it asks the rest of the hub through RadioHost, the switch of the
// playing mode included. Its other signals are the hub's.
class RadioPlayback : public QObject
{
    Q_OBJECT

public:
    RadioPlayback(const PlayModes& modes, ZelPlayController* controls, const QString& playlistId,
                  RadioHost& host, QObject* parent);
    ~RadioPlayback() override;

    // Makes target live, with what it left in its snapshot. False when it is live already.
    bool switchMode(PlaybackEnums::PlayingMode target);
    // While radio is live: stream, which played before, is loaded again at its place (a
    // playlist file at its entry, counted from 0) and in state (playing, paused or stopped),
    // with the texts it had; radio comes back to resume after music.
    void reopen(const PlayItem& stream, const PlayItem& resume, PlaybackEnums::State state,
                int entry);
    // False when nothing was handed to the controller: the address is refused, nothing may
    // play now, or a save in progress keeps it until it ends.
    bool playStream(const QUrl& url);
    // play() on a radio playlist: resumes it, reopens it or first opens the network.
    void playRadioPlaylist();
    void streamMediaChanged(const StreamData* stream);
    void bufferingChanged(float percent);
    // The banner of an error in radio mode has gone. False when the error's resume is still
    // to come (the network comes back, or the error asks for none).
    bool resumeAfterError(int errorCode);
    // The controller plays: a stream that was left part way goes on from there.
    void rendererPlaying();
    // While the network is connecting, a stopped controller is not the live state.
    bool isConnecting() const;
    void closeNetworkSession();

    void sessionStateChanged(QNetworkSession::State state);
    void sessionError(QNetworkSession::SessionError error);

    void playLocalFile(const QString& path);

    // Saving the playing file into the library: only a file on a local disk that still exists
    // may be saved (no stream, no file of a user-space file system).
    bool saveAllowed() const;
    void saveCurrentStream();
    PlaybackEnums::SaveState saveState() const;
    // The user has chosen the name: the save waits for the library to take the copy, for a
    // bounded time. Streams asked for meanwhile play once it ends either way.
    void saveSelected();
    // The queue that a saved song or a local file waited in has started: a new save may begin.
    void forgetSave();
    void songSaved(const QString& uri, int trackerId);
    // The library file asked for (playLocalFile()) is not in the library yet.
    void songNotInLibrary();
    void savedSongModelCompleted(MafwTrackerModel* model);

    // How long a chosen save waits for the library to take the copy (20 s); tests shorten it.
    static void setSaveTimeoutForTesting(int ms);

signals:
    // The radio item is now stream: the live item while radio plays, else radio's snapshot.
    // Reported at once after each change, so that what is read back through the items is the
    // change.
    void streamLoaded(const PlayItem& stream);
    // While radio plays, what it comes back to after music: the stream loaded last and where
    // it was left (a new address starts afresh). The hub keeps it as radio's snapshot.
    void resumePointChanged(const PlayItem& stream);
    void songChanged(QString title, QString album, QString artist, int songIndex, bool previous);
    void songCountChanged(int songCount);
    void positionChanged(uint position);
    void durationChanged(int duration);
    void stateChanged(PlaybackEnums::State state);
    void bufferingProgress(float progress);
    void streamArtChanged(QString newArtPath, QString generateText);
    void contentTypeChanged(PlaybackEnums::ContentType newContentType);
    void playbackCompleted();
    void saveStateChanged(PlaybackEnums::SaveState state);
    // A library file asked for has started as the queue's song, or cannot start now (the
    // library does not hold it yet; it starts once the indexer adds it).
    void libraryFileStarted();
    void libraryFileMissing();

private slots:
    void savedSongCompleted();
    void saveTimedOut();

private:
    enum NetworkState { NoNetwork = 0, NetworkConnected = 1, NetworkConnecting = 2 };

    void openNetworkSession();
    void handleNetworkState(NetworkState state);
    void replayRadioPlaylist();
    void setSaveState(PlaybackEnums::SaveState state);
    void playPendingStream();
    void recordSavedSongsAlbum(const MafwTrackerModel* model);

    const PlayModes& modes;
    ZelPlayController* controls;
    const QString playlistId;
    RadioHost& host;
    QScopedPointer<PlaylistFileProbe> playlistProbe;
    QScopedPointer<StreamData> streamData;
    RadioNetworkSession* networkSession = nullptr;
    NetworkState networkState = NoNetwork;
    bool streamNeedsReopen = false;
    bool restorePositionOnPlay = false;
    bool playingLocalFile = false;
    QUrl pendingStreamUrl;
    PlaybackEnums::SaveState m_saveState = PlaybackEnums::NotSaved;
    QTimer* saveTimer;
};

#endif // RADIOPLAYBACK_H
