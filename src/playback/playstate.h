#ifndef PLAYSTATE_H
#define PLAYSTATE_H

#include <QObject>

#include "qmusbmode.h"

// The process-wide playback hub. Minimal for now: the USB mode, the updating-library flag and
// the calls the shell makes at start, in the window and at exit.
class PlayState : public QObject
{
    Q_OBJECT

public:
    enum State {
        NoState = -1,
        Stopped = 0,
        Playing = 1,
        Paused = 2,
        Transitioning = 3
    };
    Q_ENUM(State)

    enum PlayingMode {
        MusicMode = 0,
        RadioMode = 1
    };
    Q_ENUM(PlayingMode)

    static PlayState* instance();
    static void destroyInstance();

    State state(PlayingMode mode) const;
    PlayingMode mode() const;
    void stop(PlayingMode mode);
    void setPositionUpdateInterval(unsigned int interval);

    bool isMassStorageMode();
    bool isUsbSyncMode();
    void checkUsbMode();

    bool isUpdatingLibrary() const;
    void setUpdatingLibrary(bool updating);

public slots:
    void usbModeChanged(MeeGo::QmUSBMode::Mode mode);

signals:
    void stateChanged(PlayState::State state);
    void massStorageMode(bool isMassStorageMode);
    void modeChanged(PlayState::PlayingMode newMode);

private:
    PlayState();
    ~PlayState() override;

    static PlayState* s_instance;

    State liveState = Stopped;
    PlayingMode liveMode = MusicMode;
    MeeGo::QmUSBMode* usbMode;
    int lastUsbMode = MeeGo::QmUSBMode::Undefined;
    bool updatingLibrary = false;
};

#endif // PLAYSTATE_H
