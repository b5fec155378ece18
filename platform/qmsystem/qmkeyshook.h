#ifndef QMKEYSHOOK_H
#define QMKEYSHOOK_H

#include "qmkeys.h"

#include <QObject>
#include <QVector>

class QTimer;

namespace MeeGo {

// The process-wide source of hardware key events. The touch UI's application window hands it the
// media keys it receives (as Qt key codes with the native scan code of the physical key); every
// QmKeys object relays what it emits. While a key is held the press is repeated, as the device's
// key daemon does, so listeners can recognise long presses. Tests call injectKeyEvent() to
// deliver one event directly.
class QmKeysHook : public QObject
{
    Q_OBJECT

public:
    static QmKeysHook* instance();

    // Maps a Qt key code (Qt::Key_MediaNext, ...) to a device key; UnknownKey when none applies.
    static QmKeys::Key keyForQtKey(int qtKey);

    // A key of the keyboard went down or up. A release ends the device key its physical key
    // pressed, named by the native scan code (0 when the platform gives none: then by the Qt
    // key code), whatever the keymap makes of the release: a key that is Shift with another key
    // goes down as one key and up as another once Shift is let go first.
    // pressQtKey() returns false when the key is no media key; releaseQtKey() returns false
    // when the release ends no held key and is no media key either.
    // A press of a key already held is a repeat and reports nothing; the window system's
    // auto-repeated releases are to be dropped by the caller. The window system repeats a held
    // key as a release and a press at the same time, and does not always mark the pair as a
    // repeat: a release with a time (the event's timestamp, 0 when unknown) is held back for
    // a moment, and a press of the same key at the same time makes the two a repeat of a key
    // still held, not a let-go and a new press.
    bool pressQtKey(int qtKey, quint32 nativeScanCode = 0, ulong timestamp = 0);
    bool releaseQtKey(int qtKey, quint32 nativeScanCode = 0, ulong timestamp = 0);

    // Reports the release of every held key and forgets them: the window that had the keyboard
    // lost it, and the releases go elsewhere.
    void releaseHeldKeys();

    // Delivers one event as if the device had reported it.
    void injectKeyEvent(QmKeys::Key key, QmKeys::State state);

    // How often a held key repeats its press, in milliseconds.
    int repeatInterval() const;
    void setRepeatInterval(int ms);

signals:
    void keyEvent(MeeGo::QmKeys::Key key, MeeGo::QmKeys::State state);

private slots:
    void repeatHeldKeys();

private:
    explicit QmKeysHook(QObject* parent = nullptr);

    struct HeldKey
    {
        quint32 scanCode; // 0: not known
        int qtKey;        // as pressed
        QmKeys::Key key;
    };
    // The index of the held key a key event with these codes belongs to, -1 when none.
    int heldIndex(int qtKey, quint32 nativeScanCode) const;
    // The held key at index is let go: its release is reported.
    void letGo(int index);
    // The release held back is a let-go after all: reported now.
    void finishRelease();

    QVector<HeldKey> held; // in the order pressed
    QTimer* repeatTimer;
    // A release held back until it is known not to be half of a repeat.
    struct Release
    {
        int qtKey;
        quint32 scanCode;
        ulong timestamp;
    };
    Release pending {};
    bool releasePending = false;
    QTimer* releaseTimer;
};

} // namespace MeeGo

#endif // QMKEYSHOOK_H
