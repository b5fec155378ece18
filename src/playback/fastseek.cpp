#include "fastseek.h"

#include <QTimer>

namespace {
const int TickMs = 33;
} // namespace

FastSeek::FastSeek(QObject* parent)
    : QObject(parent)
    , timer(new QTimer(this))
{
    connect(timer, &QTimer::timeout, this, &FastSeek::step);
}

void FastSeek::start(bool backwardsSeek, int stepMilliseconds, uint from, int length)
{
    backwards = backwardsSeek;
    if (timer->isActive())
        return;
    position = from;
    duration = length;
    sinceSeek.start();
    stepMs = stepMilliseconds;
    timer->start(TickMs);
}

void FastSeek::stop()
{
    timer->stop();
}

bool FastSeek::isActive() const
{
    return timer->isActive();
}

bool FastSeek::boundReached() const
{
    return m_boundReached;
}

void FastSeek::clearBoundReached()
{
    m_boundReached = false;
}

void FastSeek::step()
{
    const bool atBound = backwards ? position == 0 : int(position) >= duration;
    if (atBound) {
        m_boundReached = true;
        timer->stop();
        emit reachedBound(backwards);
        return;
    }
    if (backwards)
        --position;
    else
        ++position;
    emit positionChanged(position);
    if (sinceSeek.elapsed() >= stepMs) {
        emit seekTo(position);
        sinceSeek.start();
    }
}
