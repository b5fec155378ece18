#ifndef ZELPLAYCONTROLS_H
#define ZELPLAYCONTROLS_H

#include "mafwrenderer.h"

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

// The process's play controller: plays the rows of one published playlist, single URLs and
// the entries of playlist files through one GStreamer playbin, and reports states, positions,
// item changes, tags (through the metadata handler of the current kind of content), buffering
// and errors (as media framework error codes). GUI thread only; no call waits for GStreamer.
//
// Environment: PARLOVANCE_AUDIO_SINK, when set, is a GStreamer bin description used instead of
// the desktop's default audio sink (tests use "fakesink sync=true").
class ZelPlayControls : public QObject
{
    Q_OBJECT

public:
    enum ContentType { SongContent = 0, StreamContent = 1, NoContent = 2 };
    Q_ENUM(ContentType)

    static ZelPlayControls* instance();

    // Builds the pipeline and registers the renderer "mafw_gst_renderer". When GStreamer
    // cannot play at all, rendererLost() follows on the event loop. Later calls do nothing.
    void init();

    // Makes the playlist published under id (MafwShared) the current playlist. Nothing that
    // plays is interrupted.
    void setPlaylist(const QString& id, bool);
    MafwPlaylist* playlist() const;

    // Selects a row. While a row plays, the selected row plays next at once; when stopped or
    // paused, the controller stays so, on that row. While a single URL or playlist file plays,
    // the row is only remembered.
    void setPlaylistIndex(int row);
    void play(uint row);
    void play(const QUrl& url);
    // Reads a PLS or M3U file (local or over HTTP) and plays its entries in turn, starting
    // with the first. The file's type is found from its content; mimeType is not needed.
    void playPlaylist(const QUrl& url, const QString& mimeType);

    void pause();
    void resume();
    void stop();
    // Loads the current item (or keeps it), moves to seconds and ends paused, reporting
    // stateChanged(Paused) even when it was paused already.
    void pauseAt(uint seconds);
    void setPosition(uint seconds);
    uint position() const;
    // Seconds between two positionChanged() reports while playing (at least 1).
    void setPositionUpdateInterval(uint seconds);

    void setMetadataHandler(ZelMetadataHandler* handler, ContentType type);
    // The handler of the current item, or null when nothing is current.
    ZelMetadataHandler* mutableItem() const;

    MafwRenderer::State state() const;
    ContentType contentType() const;
    bool isCallActive() const;

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

signals:
    void stateChanged(MafwRenderer::State state);
    void playlistChanged(MafwPlaylist* playlist);
    void playlistContentsChanged(MafwPlaylist* playlist);
    void mediaChanged(const ZelMetadataHandler* handler);
    void metadataChanged(const ZelMetadataHandler* handler);
    // Seconds played and the item's length in seconds (-1 when unknown).
    void positionChanged(uint position, int duration);
    // Percent of the stream buffer filled.
    void bufferingChanged(float percent);
    void callActivated(bool active);
    void playbackCompleted();
    void error(const MafwError& error);
    void contentTypeChanged();
    void playbackAboutToStart();
    void aboutToPlayRadioStream();
    void rendererLost();
    void audioResourcesAvailable(bool available);

private:
    enum ItemKind { NoItem, RowItem, UrlItem, EntryItem };

    ZelPlayControls();
    ~ZelPlayControls() override;
    static void destroyInstance();

    bool ensurePipeline();
    void selectRow(int row);
    void setContentType(ContentType type);
    ZelMetadataHandler* handler(ContentType type) const;
    void announceItem(ContentType type, int index, const QUrl& url);
    QUrl currentUrl() const;
    void startItem(bool playing, qint64 startMs = -1);
    void startEntry(int entry);
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
    void playerDurationChanged();
    void playlistParsed(const QList<QUrl>& entries, int errorCode);
    void handlerMediaChanged(const ZelMetadataHandler* handler);
    void reportPosition();
    void countPlay();

    ZelGstPlayer* m_player;
    ZelPlaylistParser* m_parser;
    MafwRenderer* m_renderer;
    QTimer* m_positionTimer;
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
    bool m_entryStarted;
    bool m_pauseAtPending;
    bool m_initialised;
    bool m_callActive;
    bool m_handlerAnnounced;
    bool m_playCounted;
    quint64 m_serial;
};

#endif // ZELPLAYCONTROLS_H
