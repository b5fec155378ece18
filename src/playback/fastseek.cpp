#include "fastseek.h"

#include "playback/playitem.h"

#include <QTimer>

namespace {
const int TickMs = 33;
} // namespace

FastSeek::FastSeek(PlayItem& live, QObject* parent)
    : QObject(parent)
    , live(live)
    , timer(new QTimer(this))
{
    connect(timer, &QTimer::timeout, this, &FastSeek::step);
}

void FastSeek::start(bool backwardsSeek, int stepMilliseconds)
{
    backwards = backwardsSeek;
    if (timer->isActive())
        return;
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
    const bool atBound = backwards ? live.position == 0 : int(live.position) >= live.duration;
    if (atBound) {
        m_boundReached = true;
        timer->stop();
        emit reachedBound(backwards);
        return;
    }
    if (backwards)
        --live.position;
    else
        ++live.position;
    emit positionChanged(live.position);
    if (sinceSeek.elapsed() >= stepMs) {
        emit seekTo(live.position);
        sinceSeek.start();
    }
}
