#include "mlisttaptracker.h"

#include <QTimer>

namespace {
const int LongTapInterval = 800;
// The end of the hold is timed once more on its own: a program held up past the long-tap time
// (a loaded machine) runs the overdue timer before the input that came meanwhile, so the release
// of a quick tap is still queued when the first timer fires. The press counts as held only
// once a timer has fired on time after that, the queued input having had its turn.
const int SettleInterval = 50;
const int SettleSlack = 25;
// Under lasting load every timer may be late: the long tap then comes after this many looks.
const int MaxSettles = 8;
// Below the pannable widgets' drag threshold, so a press that turns into a pan is never a tap.
const qreal MoveThreshold = 10;
} // namespace

MListTapTracker::MListTapTracker(QObject* parent)
    : QObject(parent)
    , holdTimer(new QTimer(this))
{
    holdTimer->setSingleShot(true);
    holdTimer->setTimerType(Qt::PreciseTimer);
    connect(holdTimer, &QTimer::timeout, this, &MListTapTracker::holdElapsed);
}

MListTapTracker::~MListTapTracker() = default;

void MListTapTracker::press(const QPointF& scenePos)
{
    if (active && scenePos == start)
        return;
    start = scenePos;
    active = true;
    settles = 0;
    startHoldTimer(LongTapInterval - SettleInterval);
}

void MListTapTracker::move(const QPointF& scenePos)
{
    if (active && (scenePos - start).manhattanLength() > MoveThreshold)
        cancel();
}

bool MListTapTracker::release()
{
    const bool tap = active;
    cancel();
    return tap;
}

void MListTapTracker::cancel()
{
    active = false;
    holdTimer->stop();
}

bool MListTapTracker::isActive() const
{
    return active;
}

QPointF MListTapTracker::pressPosition() const
{
    return start;
}

void MListTapTracker::startHoldTimer(int interval)
{
    holdDue = interval;
    holdClock.start();
    holdTimer->start(interval);
}

void MListTapTracker::holdElapsed()
{
    if (!active)
        return;
    const bool onTime = holdClock.elapsed() <= holdDue + SettleSlack;
    if (settles == 0 || (!onTime && settles < MaxSettles)) {
        ++settles;
        startHoldTimer(SettleInterval);
        return;
    }
    active = false;
    emit longTapped(start);
}
