#include "mpannablewidget.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSceneWheelEvent>
#include <QTimer>
#include <QtMath>

namespace {
const qreal DragThreshold = 12; // scene pixels before a press becomes a drag
const qreal OvershootResistance = 0.5;
const qreal MaxOvershoot = 160;
const int SpringInterval = 16;
const qreal SpringFactor = 0.3;
} // namespace

MPannableWidget::MPannableWidget(QGraphicsItem* parent)
    : MWidgetController(parent)
    , spring(new QTimer(this))
{
    setAcceptedMouseButtons(Qt::LeftButton);
    setFiltersChildEvents(true);
    spring->setInterval(SpringInterval);
    connect(spring, &QTimer::timeout, this, &MPannableWidget::springStep);
}

MPannableWidget::~MPannableWidget() = default;

MPannableWidget::PanningPolicy MPannableWidget::verticalPanningPolicy() const
{
    return vertical;
}

void MPannableWidget::setVerticalPanningPolicy(PanningPolicy policy)
{
    vertical = policy;
}

QPointF MPannableWidget::position() const
{
    return pos;
}

void MPannableWidget::setPosition(const QPointF& position)
{
    updatePosition(position);
    // Out of range (e.g. just above the top): accepted and reported, then it springs back.
    if (!dragging && (position.y() < pannedRange.top() || position.y() > pannedRange.bottom()))
        spring->start();
}

QRectF MPannableWidget::range() const
{
    return pannedRange;
}

void MPannableWidget::setRange(const QRectF& r)
{
    if (r == pannedRange)
        return;
    pannedRange = r;
    emit rangeChanged(r);
    if (!dragging && (pos.y() < r.top() || pos.y() > r.bottom()))
        spring->start();
}

bool MPannableWidget::isPanning() const
{
    return dragging;
}

bool MPannableWidget::canPanVertically() const
{
    switch (vertical) {
    case PanningAlwaysOn:
        return true;
    case PanningAlwaysOff:
        return false;
    case PanningAsNeeded:
        return pannedRange.height() > 0;
    }
    return false;
}

void MPannableWidget::updatePosition(const QPointF& position)
{
    if (position == pos)
        return;
    pos = position;
    emit positionChanged(pos);
}

qreal MPannableWidget::overshootFor(qreal y) const
{
    // Beyond the ends the content follows the finger at half speed, up to a limit.
    if (y < pannedRange.top())
        return pannedRange.top()
               - qMin(MaxOvershoot, (pannedRange.top() - y) * OvershootResistance);
    if (y > pannedRange.bottom())
        return pannedRange.bottom()
               + qMin(MaxOvershoot, (y - pannedRange.bottom()) * OvershootResistance);
    return y;
}

bool MPannableWidget::startsDrag(const QPointF& scenePos) const
{
    // Far enough from the press, and more along the panning direction than across it.
    const QPointF delta = scenePos - pressScenePos;
    return canPanVertically() && qAbs(delta.y()) >= DragThreshold
           && qAbs(delta.y()) >= qAbs(delta.x());
}

void MPannableWidget::beginDrag(const QPointF& scenePos)
{
    Q_UNUSED(scenePos)
    dragging = true;
    spring->stop();
    if (scene() && scene()->mouseGrabberItem() != this)
        grabMouse();
    emit panningStarted();
}

void MPannableWidget::dragTo(const QPointF& scenePos)
{
    const qreal dy = scenePos.y() - pressScenePos.y();
    const qreal wanted = pressPosition.y() - dy;
    updatePosition(QPointF(pos.x(), overshootFor(wanted)));
}

void MPannableWidget::endDrag()
{
    const bool wasDragging = dragging;
    pressed = false;
    dragging = false;
    if (!wasDragging)
        return;
    if (scene() && scene()->mouseGrabberItem() == this)
        ungrabMouse();
    emit panningStopped();
    if (pos.y() < pannedRange.top() || pos.y() > pannedRange.bottom())
        spring->start();
}

void MPannableWidget::springStep()
{
    if (dragging) {
        spring->stop();
        return;
    }
    const qreal target = qBound(pannedRange.top(), pos.y(),
                                qMax(pannedRange.top(), pannedRange.bottom()));
    const qreal next = pos.y() + (target - pos.y()) * SpringFactor;
    if (qAbs(target - next) < 0.5) {
        spring->stop();
        updatePosition(QPointF(pos.x(), target));
        return;
    }
    updatePosition(QPointF(pos.x(), next));
}

void MPannableWidget::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressed = true;
    pressScenePos = event->scenePos();
    pressPosition = pos;
    event->accept();
}

void MPannableWidget::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    if (!pressed)
        return;
    if (!dragging) {
        if (!startsDrag(event->scenePos()))
            return;
        beginDrag(event->scenePos());
    }
    dragTo(event->scenePos());
}

void MPannableWidget::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    Q_UNUSED(event)
    endDrag();
}

void MPannableWidget::ungrabMouseEvent(QEvent* event)
{
    Q_UNUSED(event)
    if (dragging)
        endDrag();
}

bool MPannableWidget::sceneEventFilter(QGraphicsItem* watched, QEvent* event)
{
    Q_UNUSED(watched)
    switch (event->type()) {
    case QEvent::GraphicsSceneMousePress: {
        auto* e = static_cast<QGraphicsSceneMouseEvent*>(event);
        if (e->button() == Qt::LeftButton) {
            pressed = true;
            dragging = false;
            pressScenePos = e->scenePos();
            pressPosition = pos;
        }
        return false;
    }
    case QEvent::GraphicsSceneMouseMove: {
        if (!pressed || dragging)
            return false;
        auto* e = static_cast<QGraphicsSceneMouseEvent*>(event);
        if (!startsDrag(e->scenePos()))
            return false;
        // The child that took the press loses the mouse; the drag is ours from here.
        beginDrag(e->scenePos());
        dragTo(e->scenePos());
        return true;
    }
    case QEvent::GraphicsSceneMouseRelease:
        if (!dragging)
            pressed = false;
        return false;
    default:
        return false;
    }
}

void MPannableWidget::wheelEvent(QGraphicsSceneWheelEvent* event)
{
    if (event->orientation() != Qt::Vertical || !canPanVertically()) {
        event->ignore();
        return;
    }
    const qreal step = -event->delta() / 120.0 * 60.0;
    const qreal top = pannedRange.top();
    const qreal bottom = qMax(top, pannedRange.bottom());
    updatePosition(QPointF(pos.x(), qBound(top, pos.y() + step, bottom)));
    event->accept();
}
