#ifndef RADIOPLAYBACK_H
#define RADIOPLAYBACK_H

#include "playstate.h"

class MafwTrackerModel;
class StreamData;

// The radio side of the playback hub: streams and radio playlists (over a network session),
// the switch between the music and the radio mode with the snapshot each mode leaves behind,
// the texts of a playing stream, and songs that become the queue from outside it (a local file
// found in the library, a saved stream). It works on the hub's own state, for the hub only.
class RadioPlayback
{
public:
    explicit RadioPlayback(PlayState& playState);

    void restoreMusicPlaylist();
    bool switchMode(PlayState::PlayingMode target);

    void playStream(const QUrl& url);
    void openNetworkSession();
    void sessionStateChanged(QNetworkSession::State state);
    void sessionError(QNetworkSession::SessionError error);
    void handleNetworkSessionState(int state);
    void replayRadioPlaylist();
    void streamMediaChanged(const StreamData* stream);
    void bufferingChanged(float percent);
    // The banner of an error in radio mode has gone.
    void resumeAfterError();

    void playLocalFile(const QString& path);
    void songSaved(QString uri, int trackerId);
    void savedSongModelCompleted(MafwTrackerModel* model);

private:
    PlayState& hub;
};

#endif // RADIOPLAYBACK_H
