#include "qmusbmode.h"

#include <QList>

namespace MeeGo {

namespace {
QmUSBMode::Mode processMode = QmUSBMode::Disconnected;
QList<QmUSBMode*> liveInstances; // GUI thread only
} // namespace

QmUSBMode::QmUSBMode(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<MeeGo::QmUSBMode::Mode>("MeeGo::QmUSBMode::Mode");
    liveInstances.append(this);
}

QmUSBMode::~QmUSBMode()
{
    liveInstances.removeAll(this);
}

QmUSBMode::Mode QmUSBMode::getMode()
{
    return processMode;
}

QmUSBMode::Mode QmUSBMode::currentMode()
{
    return processMode;
}

void QmUSBMode::injectModeForTesting(Mode mode)
{
    if (mode == processMode)
        return;
    processMode = mode;
    // A listener may delete instances while we emit; walk a copy and skip the dead ones.
    const QList<QmUSBMode*> instances = liveInstances;
    for (QmUSBMode* instance : instances) {
        if (liveInstances.contains(instance))
            emit instance->modeChanged(mode);
    }
}

} // namespace MeeGo
