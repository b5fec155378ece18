#ifndef QMUSBMODE_H
#define QMUSBMODE_H

#include <QObject>

namespace MeeGo {

// The USB mode of the device. A desktop has no USB gadget modes: every instance reports
// "disconnected" until a test injects another mode with injectModeForTesting(), which all
// instances of the process see at once.
class QmUSBMode : public QObject
{
    Q_OBJECT

public:
    // The numbers are compared by callers (3 mass storage, 5 sync), so they are fixed.
    enum Mode {
        Connected = 0,
        DataInUse = 1,
        Disconnected = 2,
        MassStorage = 3,
        ChargingOnly = 4,
        SyncMode = 5,
        ModeRequest = 6,
        Ask = 7,
        Undefined = 8
    };
    Q_ENUM(Mode)

    explicit QmUSBMode(QObject* parent = nullptr);
    ~QmUSBMode() override;

    Mode getMode();

    // Sets the process-wide mode and emits modeChanged() on every instance (when it changed).
    static void injectModeForTesting(Mode mode);
    // The process-wide mode, as every instance reports it.
    static Mode currentMode();

signals:
    void modeChanged(MeeGo::QmUSBMode::Mode mode);
};

} // namespace MeeGo

Q_DECLARE_METATYPE(MeeGo::QmUSBMode::Mode)

#endif // QMUSBMODE_H
