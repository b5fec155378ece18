#include "zelplaytally.h"

#include <QTimer>

ZelPlayTally::ZelPlayTally(QObject* parent)
    : QObject(parent)
    , timer(new QTimer(this))
{
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &ZelPlayTally::check);
}

void ZelPlayTally::restart()
{
    timer->stop();
    heardBefore = 0;
    lengthMs = -1;
    told = false;
    if (sounding)
        since.start();
}

void ZelPlayTally::setSounding(bool on)
{
    if (on == sounding)
        return;
    if (!on)
        heardBefore = heardMs();
    sounding = on;
    if (on)
        since.start();
    plan();
}

void ZelPlayTally::setLengthMs(qint64 ms)
{
    if (ms == lengthMs)
        return;
    lengthMs = ms;
    plan();
}

bool ZelPlayTally::isHeard() const
{
    return heardMs() >= neededMs();
}

void ZelPlayTally::check()
{
    if (told || !isHeard()) {
        plan();
        return;
    }
    told = true;
    timer->stop();
    emit heard();
}

qint64 ZelPlayTally::neededMs() const
{
    return lengthMs < 0 ? HeardMs : qMin(HeardMs, lengthMs / 2);
}

qint64 ZelPlayTally::heardMs() const
{
    return heardBefore + (sounding ? since.elapsed() : 0);
}

void ZelPlayTally::plan()
{
    if (told || !sounding) {
        timer->stop();
        return;
    }
    const qint64 left = neededMs() - heardMs();
    if (left <= 0) {
        // Told from the event loop, never in the middle of the caller's own change.
        timer->start(0);
        return;
    }
    timer->start(int(qMin<qint64>(left, HeardMs)));
}
