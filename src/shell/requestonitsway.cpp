#include "requestonitsway.h"

#include <QAbstractItemModel>

#include <utility>

void RequestOnItsWay::keepList(const QStringList& newest, bool newestTemporary)
{
    list = newest;
    temporary = newestTemporary;
}

void RequestOnItsWay::start(Stage stage)
{
    now = stage;
    // A hold asked before this request was for what it replaces, as was a pause or resume
    // handed to the hub before.
    waiting = TransportSteps::Hold::None;
    handedOver = -1;
    if (stage == Stage::StreamStarting)
        streamPlayed = false;
}

void RequestOnItsWay::hold(TransportSteps::Hold kind)
{
    waiting = kind;
}

TransportSteps::Hold RequestOnItsWay::arrived()
{
    if (!isOnItsWay())
        return TransportSteps::Hold::None;
    return lost();
}

TransportSteps::Hold RequestOnItsWay::lost()
{
    now = Stage::None;
    return std::exchange(waiting, TransportSteps::Hold::None);
}

void RequestOnItsWay::replacedCameBack()
{
    if (now == Stage::StreamStarting)
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
