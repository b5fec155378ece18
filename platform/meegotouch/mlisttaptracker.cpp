#include "mlisttaptracker.h"

#include <QTimer>

namespace {
const int LongTapInterval = 800;
// Below the pannable widgets' drag threshold, so a press that turns into a pan is never a tap.
const qreal MoveThreshold = 10;
} // namespace

MListTapTracker::MListTapTracker(QObject* parent)
    : QObject(parent)
    , holdTimer(new QTimer(this))
{
    holdTimer->setSingleShot(true);
    holdTimer->setInterval(LongTapInterval);
    connect(holdTimer, &QTimer::timeout, this, &MListTapTracker::holdElapsed);
}

MListTapTracker::~MListTapTracker() = default;

void MListTapTracker::press(const QPointF& scenePos)
{
    if (active && scenePos == start)
        return;
    start = scenePos;
    active = true;
    holdTimer->start();
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

void MListTapTracker::holdElapsed()
{
    if (!active)
        return;
    active = false;
    emit longTapped(start);
}
