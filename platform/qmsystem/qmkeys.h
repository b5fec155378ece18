#ifndef QMKEYS_H
#define QMKEYS_H

#include <QObject>

namespace MeeGo {

// The hardware keys of the device. On a desktop the application window forwards the media keys
// of the keyboard through QmKeysHook; tests inject events there too.
class QmKeys : public QObject
{
    Q_OBJECT

public:
    // The numbers are what listeners compare against, so they are fixed.
    enum Key {
        UnknownKey = -1,
        PowerKey = 0,
        CameraKey = 1,
        CameraFocusKey = 2,
        KeyboardSliderKey = 3,
        HeadsetButtonKey = 4, // the single button of a wired headset
        PlayPauseKey = 5,
        StopKey = 6,
        FastForwardKey = 7,
        RewindKey = 8,
        VolumeUpKey = 9,
        VolumeDownKey = 10,
        MuteKey = 11,
        EjectKey = 12,
        RecordKey = 13,
        PhoneKey = 14,
        NextKey = 15,
        PreviousKey = 16,
        PauseKey = 17,
        PlayKey = 18,
        CallKey = 19,
        HangUpKey = 20
    };
    Q_ENUM(Key)

    enum State {
        KeyUp = 0,     // released
        KeyRepeat = 1, // reserved; repeats are reported as further presses
        KeyDown = 2    // pressed, and again while the key is held
    };
    Q_ENUM(State)

    explicit QmKeys(QObject* parent = nullptr);
    ~QmKeys() override;

signals:
    void keyEvent(MeeGo::QmKeys::Key key, MeeGo::QmKeys::State state);
};

} // namespace MeeGo

Q_DECLARE_METATYPE(MeeGo::QmKeys::Key)
Q_DECLARE_METATYPE(MeeGo::QmKeys::State)

#endif // QMKEYS_H
