#include "massstoragewatch.h"

MassStorageWatch::MassStorageWatch(QObject* parent)
    : QObject(parent)
    , usb(new MeeGo::QmUSBMode(this))
{
    connect(usb, &MeeGo::QmUSBMode::modeChanged, this, &MassStorageWatch::takeMode);
}

bool MassStorageWatch::isMassStorage() const
{
    return usb->getMode() == MeeGo::QmUSBMode::MassStorage;
}

bool MassStorageWatch::isSyncMode() const
{
    return usb->getMode() == MeeGo::QmUSBMode::SyncMode;
}

void MassStorageWatch::check()
{
    takeMode(usb->getMode());
}

void MassStorageWatch::takeMode(MeeGo::QmUSBMode::Mode mode)
{
    if (int(mode) == lastMode)
        return;
    const bool wasMassStorage = lastMode == MeeGo::QmUSBMode::MassStorage;
    const bool massStorage = mode == MeeGo::QmUSBMode::MassStorage;
    lastMode = mode;
    if (massStorage != wasMassStorage)
        emit massStorageChanged(massStorage);
}
