#ifndef ZELPLAYCONTROLS_H
#define ZELPLAYCONTROLS_H

#include "mafwrenderer.h"
#include "zelplaycontroller.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVariant>

class MafwError;
class MafwPlaylist;
class QTimer;
class ZelGstPlayer;
class ZelMetadataHandler;
class ZelPlaylistParser;
class ZelPlayTally;

// The process's play controller: plays through one GStreamer playbin (see ZelPlayController
// for what it does). GUI thread only; no call waits for GStreamer.
//
// Environment: PARLOVANCE_AUDIO_SINK, when set, is a GStreamer bin description used instead of
// the desktop's default audio sink (tests use "fakesink sync=true").
//
// On a sound server that makes music step aside for a "phone" stream (PulseAudio's role
// corking), playback pauses and audioResourcesAvailable(false) follows; true follows when the
// other stream has ended.
class ZelPlayControls : public ZelPlayController
{
    Q_OBJECT

public:
    static ZelPlayControls* instance();

    // Builds the pipeline and registers the renderer "mafw_gst_renderer".
    void init() override;

    void setPlaylist(const QString& id, bool) override;
    MafwPlaylist* playlist() const override;
    void setPlaylistIndex(int row) override;
    void play(uint row) override;
    void play(const QUrl& url) override;
    void playPlaylist(const QUrl& url, const QString& mimeType) override;
    void playPlaylistFrom(const QUrl& url, int entry, uint seconds, bool paused) override;
    bool playEntry(int step) override;
    bool hasEntry(int step) const override;
    int playlistEntry() const override;
    bool continueAsRow(int row) override;
    void pause() override;
    void resume() override;
    void stop() override;
    void pauseAt(uint seconds) override;
    void setPosition(uint seconds) override;
    uint position() const override;
    void setPositionUpdateInterval(uint seconds) override;
    void setMetadataHandler(ZelMetadataHandler* handler, ContentType type) override;
    ZelMetadataHandler* mutableItem() const override;
    MafwRenderer::State state() const override;
    ContentType contentType() const override;
    bool isCallActive() const override;

    // Test hooks: events that only the phone's platform produces.
    // A call starts (playback pauses) or ends; callActivated() follows.
    void testSetCallActive(bool active);
    // Another application takes (playback pauses) or returns the audio resources.
    void testSetAudioResourcesAvailable(bool available);
    // The renderer goes away: playback stops and rendererLost() follows.
    void testLoseRenderer();
    // The renderer fails with this error, as a GStreamer failure would end up.
    void testRaiseError(int code, const QString& message);
    // Sends one position report now, as the report timer does while playing.
    void testReportPosition();

private:
    enum ItemKind { NoItem, RowItem, UrlItem, EntryItem };

    ZelPlayControls();
    ~ZelPlayControls() override;
    static void destroyInstance();

    bool ensurePipeline();
    int playlistRow() const;
    void selectRow(int row);
    void setContentType(ContentType type);
    ZelMetadataHandler* handler(ContentType type) const;
    void announceItem(ContentType type, int index, const QUrl& url);
    QUrl currentUrl() const;
    void startItem(bool playing, qint64 startMs = -1);
    void startEntry(int entry, bool playing = true, qint64 startMs = -1);
    void unload();
    void report(MafwRenderer::State state, bool always = false);
    void fail(int code, const QString& message);
    void failLater(int code, const QString& message);
    void completePlayback();
    void pauseForPlatform();
    void updateMediaInfo(const QString& key, const QList<QVariant>& values);
    void resetMediaInfo();
    int durationSeconds() const;

    void playerSettled(int target);
    void playerEnded();
    void playerFailed(int code, const QString& message);
    void playerTags(const QMap<QString, QList<QVariant>>& tags);
    void playerBuffering(int percent);
    void playerSoundClaimed(bool claimed);
    void playerDurationChanged();
    void playlistParsed(const QList<QUrl>& entries, int errorCode);
    void handlerMediaChanged(const ZelMetadataHandler* handler);
    void reportPosition();
    void countPlay();

    ZelGstPlayer* m_player;
    ZelPlaylistParser* m_parser;
    MafwRenderer* m_renderer;
    QTimer* m_positionTimer;
    ZelPlayTally* m_tally;
    QPointer<MafwPlaylist> m_playlist;
    QPointer<ZelMetadataHandler> m_songHandler;
    QPointer<ZelMetadataHandler> m_streamHandler;
    MafwRenderer::State m_state;
    ContentType m_contentType;
    ItemKind m_item;
    int m_row;
    QUrl m_url;
    QList<QUrl> m_entries;
    int m_entry;
    // Where a playlist file being read starts: its entry, the milliseconds into it (-1 from
    // its start) and whether it waits there paused.
    int m_startEntry = 0;
    qint64 m_startMs = -1;
    bool m_startPaused = false;
    bool m_entryStarted;
    // The entry was loaded to wait paused: should it fail, the next one does too.
    bool m_entryPaused = false;
    bool m_pauseAtPending;
    bool m_initialised;
    bool m_callActive;
    bool m_handlerAnnounced;
    bool m_playCounted;
    bool m_soundClaimed = false;
    quint64 m_serial;
};

#endif // ZELPLAYCONTROLS_H
