#ifndef ZELPLAYCONTROLLER_H
#define ZELPLAYCONTROLLER_H

#include "mafwrenderer.h"

#include <QObject>
#include <QString>
#include <QUrl>

class MafwError;
class MafwPlaylist;
class ZelMetadataHandler;

// What a player asks of a play controller: play the rows of a published playlist, single URLs
// and the entries of playlist files, and report states, positions, item changes, tags (through
// the metadata handler of the current kind of content), buffering and errors (as media
// framework error codes). ZelPlayControls is the process's controller; a player can be built
// over another one.
class ZelPlayController : public QObject
{
    Q_OBJECT

public:
    enum ContentType { SongContent = 0, StreamContent = 1, NoContent = 2 };
    Q_ENUM(ContentType)

    explicit ZelPlayController(QObject* parent = nullptr);
    ~ZelPlayController() override;

    // Gets the controller ready to play. When it cannot play at all, rendererLost() follows on
    // the event loop. Later calls do nothing.
    virtual void init() = 0;

    // Makes the playlist published under id (MafwShared) the current playlist. Nothing that
    // plays is interrupted.
    virtual void setPlaylist(const QString& id, bool) = 0;
    virtual MafwPlaylist* playlist() const = 0;

    // Selects a row. While a row plays, the selected row plays next at once; when stopped or
    // paused, the controller stays so, on that row. While a single URL or playlist file plays,
    // the row is only remembered.
    virtual void setPlaylistIndex(int row) = 0;
    virtual void play(uint row) = 0;
    virtual void play(const QUrl& url) = 0;
    // Reads a PLS or M3U file (local or over HTTP) and plays its entries in turn, starting
    // with the first. The file's type is found from its content; mimeType is not needed.
    virtual void playPlaylist(const QUrl& url, const QString& mimeType) = 0;
    // As playPlaylist(), starting with entry `entry` (counted from 0; the first when the file
    // holds fewer) `seconds` into it, playing, or waiting there paused when paused is set.
    // Without an implementation of its own it starts the first entry, playing.
    virtual void playPlaylistFrom(const QUrl& url, int entry, uint seconds, bool paused);
    // While a playlist file plays: plays the entry step entries away (1 the next, -1 the
    // previous). False, changing nothing, when no playlist file plays or there is no such entry.
    virtual bool playEntry(int step);
    // A playlist file plays and has an entry step entries away from the one that plays (0 is
    // that one).
    virtual bool hasEntry(int step) const;
    // The entry of the playlist file that plays or waits, counted from 0: the one it is to
    // start with while the file is read. -1 when no playlist file is loaded.
    virtual int playlistEntry() const;
    // The single URL that plays (or waits paused) goes on as row of the playlist, which names
    // the same music at its own address (a file copied into the library while it played): it
    // is not loaded again, and from now on it is that row, as if the row had been played; its
    // play counts as the row's once it has been heard long enough, the time it sounded before
    // counting too. False, changing nothing, when no single URL is
    // loaded or there is no such row.
    virtual bool continueAsRow(int row);

    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;
    // Loads the current item (or keeps it), moves to seconds and ends paused, reporting
    // stateChanged(Paused) even when it was paused already.
    virtual void pauseAt(uint seconds) = 0;
    virtual void setPosition(uint seconds) = 0;
    virtual uint position() const = 0;
    // Seconds between two positionChanged() reports while playing (at least 1).
    virtual void setPositionUpdateInterval(uint seconds) = 0;

    virtual void setMetadataHandler(ZelMetadataHandler* handler, ContentType type) = 0;
    // The handler of the current item, or null when nothing is current.
    virtual ZelMetadataHandler* mutableItem() const = 0;

    virtual MafwRenderer::State state() const = 0;
    virtual ContentType contentType() const = 0;
    virtual bool isCallActive() const = 0;

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
};

#endif // ZELPLAYCONTROLLER_H
