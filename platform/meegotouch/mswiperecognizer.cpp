#include "mswiperecognizer.h"

#include <QDateTime>
#include <QLineF>
#include <QMouseEvent>
#include <QSwipeGesture>

namespace {
const qreal StartDistance = 30;
const qreal FinishDistance = 50;
const qint64 SlowestSwipe = 1000; // ms from press to release
const char* const StartProperty = "mStartScreenPos";
const char* const TimeProperty = "mStartTime";

qreal angleOf(const QPointF& from, const QPointF& to)
{
    const QPointF d = to - from;
    if (qAbs(d.x()) > 2 * qAbs(d.y()))
        return d.x() >= 0 ? 0 : 180;
    if (qAbs(d.y()) > 2 * qAbs(d.x()))
        return d.y() < 0 ? 90 : 270; // screen y grows downwards
    return QLineF(from, to).angle();
}
} // namespace

QGesture* MSwipeRecognizer::create(QObject* target)
{
    Q_UNUSED(target)
    return new QSwipeGesture;
}

QGestureRecognizer::Result MSwipeRecognizer::recognize(QGesture* gesture, QObject* watched,
                                                       QEvent* event)
{
    Q_UNUSED(watched)
    auto* swipe = static_cast<QSwipeGesture*>(gesture);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton)
            return Ignore;
        swipe->setProperty(StartProperty, e->screenPos());
        swipe->setProperty(TimeProperty, QDateTime::currentMSecsSinceEpoch());
        swipe->setHotSpot(e->screenPos());
        return MayBeGesture;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!swipe->property(StartProperty).isValid() || !(e->buttons() & Qt::LeftButton))
            return Ignore;
        const QPointF start = swipe->property(StartProperty).toPointF();
        if (swipe->state() == Qt::NoGesture
            && QLineF(start, e->screenPos()).length() < StartDistance)
            return MayBeGesture;
        swipe->setSwipeAngle(angleOf(start, e->screenPos()));
        return TriggerGesture;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton || !swipe->property(StartProperty).isValid())
            return Ignore;
        const QPointF start = swipe->property(StartProperty).toPointF();
        const qint64 took = QDateTime::currentMSecsSinceEpoch()
                            - swipe->property(TimeProperty).toLongLong();
        swipe->setProperty(StartProperty, QVariant());
        if (swipe->state() == Qt::NoGesture
            || QLineF(start, e->screenPos()).length() < FinishDistance || took > SlowestSwipe)
            return CancelGesture;
        swipe->setSwipeAngle(angleOf(start, e->screenPos()));
        return FinishGesture;
    }
    default:
        return Ignore;
    }
}

void MSwipeRecognizer::reset(QGesture* gesture)
{
    auto* swipe = static_cast<QSwipeGesture*>(gesture);
    swipe->setSwipeAngle(0);
    swipe->setProperty(StartProperty, QVariant());
    swipe->setProperty(TimeProperty, QVariant());
    QGestureRecognizer::reset(gesture);
}
