#include "mtaprecognizer.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QTapGesture>

namespace {
const qreal MoveTolerance = 20;
const qint64 LongestTap = 700; // ms; a longer press is a tap-and-hold
const char* const StartProperty = "mStartScreenPos";
const char* const TimeProperty = "mStartTime";
} // namespace

QGesture* MTapRecognizer::create(QObject* target)
{
    Q_UNUSED(target)
    return new QTapGesture;
}

QGestureRecognizer::Result MTapRecognizer::recognize(QGesture* gesture, QObject* watched,
                                                     QEvent* event)
{
    Q_UNUSED(watched)
    auto* tap = static_cast<QTapGesture*>(gesture);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton)
            return Ignore;
        tap->setProperty(StartProperty, e->screenPos());
        tap->setProperty(TimeProperty, QDateTime::currentMSecsSinceEpoch());
        tap->setPosition(e->screenPos());
        tap->setHotSpot(e->screenPos());
        return TriggerGesture;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!(e->buttons() & Qt::LeftButton) || tap->state() == Qt::NoGesture)
            return Ignore;
        const QPointF start = tap->property(StartProperty).toPointF();
        if ((e->screenPos() - start).manhattanLength() > MoveTolerance)
            return CancelGesture;
        return Ignore;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton || tap->state() == Qt::NoGesture)
            return Ignore;
        const QPointF start = tap->property(StartProperty).toPointF();
        const qint64 held = QDateTime::currentMSecsSinceEpoch()
                            - tap->property(TimeProperty).toLongLong();
        if ((e->screenPos() - start).manhattanLength() > MoveTolerance || held >= LongestTap)
            return CancelGesture;
        return FinishGesture;
    }
    default:
        return Ignore;
    }
}

void MTapRecognizer::reset(QGesture* gesture)
{
    auto* tap = static_cast<QTapGesture*>(gesture);
    tap->setPosition(QPointF());
    tap->setProperty(StartProperty, QVariant());
    tap->setProperty(TimeProperty, QVariant());
    QGestureRecognizer::reset(gesture);
}
