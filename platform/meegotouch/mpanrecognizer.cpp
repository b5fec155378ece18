#include "mpanrecognizer.h"

#include <QMouseEvent>
#include <QPanGesture>

namespace {
const qreal StartDistance = 20;
const char* const StartProperty = "mStartScreenPos";
const char* const PressedProperty = "mPressed";
} // namespace

QGesture* MPanRecognizer::create(QObject* target)
{
    Q_UNUSED(target)
    return new QPanGesture;
}

QGestureRecognizer::Result MPanRecognizer::recognize(QGesture* gesture, QObject* watched,
                                                     QEvent* event)
{
    Q_UNUSED(watched)
    auto* pan = static_cast<QPanGesture*>(gesture);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton)
            return Ignore;
        pan->setProperty(StartProperty, e->screenPos());
        pan->setProperty(PressedProperty, true);
        pan->setHotSpot(e->screenPos());
        pan->setOffset(QPointF());
        pan->setLastOffset(QPointF());
        return MayBeGesture;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!pan->property(PressedProperty).toBool() || !(e->buttons() & Qt::LeftButton))
            return Ignore;
        const QPointF offset = e->screenPos() - pan->property(StartProperty).toPointF();
        if (pan->state() == Qt::NoGesture && offset.manhattanLength() < StartDistance)
            return MayBeGesture;
        pan->setLastOffset(pan->offset());
        pan->setOffset(offset);
        return TriggerGesture;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton || !pan->property(PressedProperty).toBool())
            return Ignore;
        pan->setProperty(PressedProperty, false);
        if (pan->state() == Qt::NoGesture)
            return CancelGesture;
        pan->setLastOffset(pan->offset());
        pan->setOffset(e->screenPos() - pan->property(StartProperty).toPointF());
        return FinishGesture;
    }
    default:
        return Ignore;
    }
}

void MPanRecognizer::reset(QGesture* gesture)
{
    auto* pan = static_cast<QPanGesture*>(gesture);
    pan->setOffset(QPointF());
    pan->setLastOffset(QPointF());
    pan->setAcceleration(0);
    pan->setProperty(StartProperty, QVariant());
    pan->setProperty(PressedProperty, QVariant());
    QGestureRecognizer::reset(gesture);
}
