#ifndef QMKEYSHOOK_H
#define QMKEYSHOOK_H

#include "qmkeys.h"

#include <QHash>
#include <QObject>

class QTimer;

namespace MeeGo {

// The process-wide source of hardware key events. The touch UI's application window hands it the
// media keys it receives (as Qt key codes); every QmKeys object relays what it emits. While a key
// is held the press is repeated, as the device's key daemon does, so listeners can recognise long
// presses. Tests call injectKeyEvent() to deliver one event directly.
class QmKeysHook : public QObject
{
    Q_OBJECT

public:
    static QmKeysHook* instance();

    // Maps a Qt key code (Qt::Key_MediaNext, ...) to a device key; UnknownKey when none applies.
    static QmKeys::Key keyForQtKey(int qtKey);

    // A key of the keyboard went down or up. Returns false when the key is no media key.
    // Auto-repeated events from the window system are to be filtered out by the caller.
    bool pressQtKey(int qtKey);
    bool releaseQtKey(int qtKey);

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

    QHash<int, QmKeys::Key> held; // Qt key code -> device key
    QTimer* repeatTimer;
};

} // namespace MeeGo

#endif // QMKEYSHOOK_H
