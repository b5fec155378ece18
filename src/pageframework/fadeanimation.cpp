#include "fadeanimation.h"

#include <QGraphicsItem>

FadeAnimation::FadeAnimation(QGraphicsItem* item, int duration, QObject* parent)
    : MAnimation(parent)
    , target(item)
    , durationMs(duration)
{
}

FadeAnimation::~FadeAnimation() = default;

void FadeAnimation::setItem(QGraphicsItem* item)
{
    target = item;
}

int FadeAnimation::duration() const
{
    return durationMs;
}

void FadeAnimation::updateCurrentTime(int currentTime)
{
    if (!target || durationMs <= 0)
        return;
    target->setOpacity(float(currentTime) / float(durationMs));
}
