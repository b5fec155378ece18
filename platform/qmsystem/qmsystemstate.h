#ifndef QMSYSTEMSTATE_H
#define QMSYSTEMSTATE_H

#include <QObject>

namespace MeeGo {

// System state indications (shutdown and the like). A desktop session sends none; tests inject
// them with injectStateIndicationForTesting(), which every instance of the process reports.
class QmSystemState : public QObject
{
    Q_OBJECT

public:
    // The numbers are compared by callers (0 shutdown), so they are fixed.
    enum StateIndication {
        Shutdown = 0,
        Reboot = 1,
        BatteryEmpty = 2,
        Overheated = 3,
        SaveData = 4
    };
    Q_ENUM(StateIndication)

    explicit QmSystemState(QObject* parent = nullptr);
    ~QmSystemState() override;

    // Emits systemStateChanged(indication) on every instance of the process.
    static void injectStateIndicationForTesting(StateIndication indication);

signals:
    void systemStateChanged(MeeGo::QmSystemState::StateIndication what);
};

} // namespace MeeGo

Q_DECLARE_METATYPE(MeeGo::QmSystemState::StateIndication)

#endif // QMSYSTEMSTATE_H
