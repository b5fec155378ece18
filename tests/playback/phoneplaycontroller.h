#ifndef PHONEPLAYCONTROLLER_H
#define PHONEPLAYCONTROLLER_H

#include "zelplaycontroller.h"

#include <QPointer>

class ZelPlayControls;

// The process's real play controller with the events that only a phone produces, raised by a
// test: a call, another application taking the audio, a failure of the renderer. Everything
// else goes to the real controller, whose reports come through as this controller's.
class PhonePlayController : public ZelPlayController
{
    Q_OBJECT

public:
    explicit PhonePlayController(QObject* parent = nullptr);
    ~PhonePlayController() override;

    // A call starts (playback pauses) or ends; callActivated() follows.
    void setCallActive(bool active);
    // Another application takes (playback pauses) or returns the audio resources.
    void setAudioResourcesAvailable(bool available);
    // The renderer fails with this error as a GStreamer failure ends up: playback stops
    // (unless the failure was a refused seek) and error() follows.
    void raiseError(int code, const QString& message);

    void init() override;
    void setPlaylist(const QString& id, bool replace) override;
    MafwPlaylist* playlist() const override;
    void setPlaylistIndex(int row) override;
    void play(uint row) override;
    void play(const QUrl& url) override;
    void playPlaylist(const QUrl& url, const QString& mimeType) override;
    bool playEntry(int step) override;
    bool hasEntry(int step) const override;
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

private:
    QPointer<ZelPlayControls> real;
    bool callActive = false;
};

#endif // PHONEPLAYCONTROLLER_H
