#include "mtapandholdrecognizer.h"

#include <QMouseEvent>
#include <QTapAndHoldGesture>
#include <QTimerEvent>

namespace {
const qreal MoveTolerance = 20;
const char* const StartProperty = "mStartScreenPos";
const char* const TimerProperty = "mHoldTimer";

void stopTimer(QGesture* gesture)
{
    const int id = gesture->property(TimerProperty).toInt();
    if (id > 0)
        gesture->killTimer(id);
    gesture->setProperty(TimerProperty, QVariant());
}
} // namespace

QGesture* MTapAndHoldRecognizer::create(QObject* target)
{
    Q_UNUSED(target)
    return new QTapAndHoldGesture;
}

QGestureRecognizer::Result MTapAndHoldRecognizer::recognize(QGesture* gesture, QObject* watched,
                                                            QEvent* event)
{
    auto* hold = static_cast<QTapAndHoldGesture*>(gesture);
    switch (event->type()) {
    case QEvent::Timer:
        // The gesture's own timer: the press was held long enough.
        if (watched != gesture
            || static_cast<QTimerEvent*>(event)->timerId() != hold->property(TimerProperty).toInt())
            return Ignore;
        stopTimer(hold);
        return FinishGesture | ConsumeEventHint;
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton)
            return Ignore;
        stopTimer(hold);
        hold->setProperty(StartProperty, e->screenPos());
        hold->setPosition(e->screenPos());
        hold->setHotSpot(e->screenPos());
        hold->setProperty(TimerProperty, hold->startTimer(HoldTime));
        return MayBeGesture;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!hold->property(TimerProperty).isValid())
            return Ignore;
        const QPointF start = hold->property(StartProperty).toPointF();
        if ((e->screenPos() - start).manhattanLength() > MoveTolerance) {
            stopTimer(hold);
            return CancelGesture;
        }
        return Ignore;
    }
    case QEvent::MouseButtonRelease:
        if (!hold->property(TimerProperty).isValid())
            return Ignore;
        stopTimer(hold);
        return CancelGesture;
    default:
        return Ignore;
    }
}

void MTapAndHoldRecognizer::reset(QGesture* gesture)
{
    stopTimer(gesture);
    gesture->setProperty(StartProperty, QVariant());
    static_cast<QTapAndHoldGesture*>(gesture)->setPosition(QPointF());
    QGestureRecognizer::reset(gesture);
}
