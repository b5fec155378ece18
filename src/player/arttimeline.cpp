#include "arttimeline.h"

ArtTimeLine::ArtTimeLine(int duration, QObject* parent)
    : QTimeLine(duration, parent)
    , easingCurve(QEasingCurve::Linear)
{
}

ArtTimeLine::~ArtTimeLine() = default;

qreal ArtTimeLine::valueForTime(int msec) const
{
    const qreal length = duration();
    if (length <= 0)
        return easingCurve.valueForProgress(1);
    return easingCurve.valueForProgress(1 - (length - msec) / length);
}
