#include "requestonitsway.h"

#include <QAbstractItemModel>

void RequestOnItsWay::keepList(const QStringList& newest, bool newestTemporary)
{
    list = newest;
    temporary = newestTemporary;
}

void RequestOnItsWay::start(Stage stage)
{
    now = stage;
    // A pause asked before this request was for what it replaces, as was a pause or resume
    // handed to the hub before.
    pauseWaiting = false;
    handedOver = -1;
    if (stage == Stage::StreamStarting)
        streamPlayed = false;
}

void RequestOnItsWay::holdPause(bool hold)
{
    pauseWaiting = hold;
}

bool RequestOnItsWay::arrived()
{
    if (!isOnItsWay())
        return false;
    now = Stage::None;
    const bool pause = pauseWaiting;
    pauseWaiting = false;
    return pause;
}

void RequestOnItsWay::lost()
{
    now = Stage::None;
    pauseWaiting = false;
}

void RequestOnItsWay::replacedCameBack()
{
    lost();
    streamPlayed = true;
}

void RequestOnItsWay::setModel(const QSharedPointer<QAbstractItemModel>& model)
{
    songModel = model;
    modelSerial = taken;
}

bool RequestOnItsWay::takeMediaQuestion()
{
    const bool asked = mediaAsked;
    mediaAsked = false;
    return asked;
}

bool RequestOnItsWay::streamPlays()
{
    if (streamPlayed)
        return false;
    streamPlayed = true;
    return true;
}
