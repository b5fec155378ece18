#include "playstate.h"

PlayState* PlayState::s_instance = nullptr;

PlayState* PlayState::instance()
{
    if (!s_instance)
        s_instance = new PlayState;
    return s_instance;
}

void PlayState::destroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

PlayState::PlayState()
    : QObject(nullptr)
    , usbMode(new MeeGo::QmUSBMode(this))
{
    qRegisterMetaType<PlayState::State>("PlayState::State");
    qRegisterMetaType<PlayState::PlayingMode>("PlayState::PlayingMode");
    usbModeChanged(usbMode->getMode());
    connect(usbMode, SIGNAL(modeChanged(MeeGo::QmUSBMode::Mode)), this,
            SLOT(usbModeChanged(MeeGo::QmUSBMode::Mode)), Qt::UniqueConnection);
}

PlayState::~PlayState()
{
    if (s_instance == this)
        s_instance = nullptr;
}

PlayState::State PlayState::state(PlayingMode mode) const
{
    return mode == liveMode ? liveState : Stopped;
}

PlayState::PlayingMode PlayState::mode() const
{
    return liveMode;
}

void PlayState::stop(PlayingMode mode)
{
    if (mode != liveMode || liveState == Stopped)
        return;
    liveState = Stopped;
    emit stateChanged(liveState);
}

void PlayState::setPositionUpdateInterval(unsigned int interval)
{
    Q_UNUSED(interval)
}

bool PlayState::isMassStorageMode()
{
    return usbMode && usbMode->getMode() == MeeGo::QmUSBMode::MassStorage;
}

bool PlayState::isUsbSyncMode()
{
    return usbMode && usbMode->getMode() == MeeGo::QmUSBMode::SyncMode;
}

void PlayState::checkUsbMode()
{
    usbModeChanged(usbMode->getMode());
}

bool PlayState::isUpdatingLibrary() const
{
    return updatingLibrary;
}

void PlayState::setUpdatingLibrary(bool updating)
{
    updatingLibrary = updating;
}

void PlayState::usbModeChanged(MeeGo::QmUSBMode::Mode mode)
{
    if (mode == lastUsbMode)
        return;
    if (mode == MeeGo::QmUSBMode::MassStorage) {
        stop(liveMode);
        lastUsbMode = mode;
        emit massStorageMode(true);
        return;
    }
    const bool leaving = lastUsbMode == MeeGo::QmUSBMode::MassStorage;
    lastUsbMode = mode;
    if (leaving)
        emit massStorageMode(false);
}
