#ifndef PARLOVANCEKEYHANDLER_H
#define PARLOVANCEKEYHANDLER_H

#include "mediakeyburst.h"
#include "qmkeys.h"

#include <QElapsedTimer>
#include <QObject>

class PlayState;

// Turns the hardware media keys into playback commands on the playback hub: play and pause,
// stop, next and previous, fast forward and rewind while a key is held, and on the headset
// button a long press (skip forward every two seconds while held) and a double press (pause).
// Making it is what first makes the playback hub.
//
// Each key event is taken at once (its press and release times make the long and double
// presses), and its command joins a MediaKeyBurst that is carried out once the events already
// received are through: keys that come faster than songs load land as one change, and keys
// pressed by hand are carried out one by one as before.
class ParlovanceKeyHandler : public QObject
{
    Q_OBJECT

public:
    static ParlovanceKeyHandler* instance();
    static void destroyInstance();

public slots:
    void handleKeyEvent(MeeGo::QmKeys::Key key, MeeGo::QmKeys::State state);

private:
    ParlovanceKeyHandler();
    ~ParlovanceKeyHandler() override;

    void pressed();
    void released();
    void headsetButton(MeeGo::QmKeys::State state);
    void carryOutLater();
    void carryOutBurst();

    static ParlovanceKeyHandler* s_instance;

    MeeGo::QmKeys* keys;
    PlayState* playState;
    // Invalid stands for "not running".
    QElapsedTimer pressTime;
    QElapsedTimer releaseTime;
    int longPressInterval = 2000;
    int doublePressInterval = 300;
    bool doublePressed = false;
    bool longPressed = false;
    bool forwarding = false;
    bool rewinding = false;
    // The fast forward or rewind key held since its first press, or UnknownKey.
    MeeGo::QmKeys::Key heldWindKey = MeeGo::QmKeys::UnknownKey;
    MediaKeyBurst burst;
    bool burstQueued = false;
};

#endif // PARLOVANCEKEYHANDLER_H
