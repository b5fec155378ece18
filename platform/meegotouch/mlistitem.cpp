#include "mlistitem.h"

#include "mlisttaptracker.h"
#include "mpalette.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>

MListItem::MListItem(QGraphicsItem* parent)
    : MWidgetController(parent)
    , tracker(new MListTapTracker(this))
{
    setAcceptedMouseButtons(Qt::LeftButton);
    connect(tracker, &MListTapTracker::longTapped, this, &MListItem::handleLongTap);
}

MListItem::~MListItem() = default;

bool MListItem::isPressed() const
{
    return pressed;
}

void MListItem::applyMargins()
{
    // A row inside another row (a shuffle row wrapping a basic row) is already kept off the
    // edges by the outer one.
    for (QGraphicsItem* p = parentItem(); p; p = p->parentItem()) {
        if (qobject_cast<MListItem*>(p->toGraphicsObject())) {
            setContentsMargins(0, 0, 0, 0);
            return;
        }
    }
    const QMarginsF m = style()->margins();
    setContentsMargins(m.left(), m.top(), m.right(), m.bottom());
}

void MListItem::applyStyle()
{
    applyMargins();
    MWidgetController::applyStyle();
}

void MListItem::polishEvent()
{
    // The style table may have changed since the style name was set.
    applyMargins();
    MWidgetController::polishEvent();
}

void MListItem::setPressed(bool on)
{
    if (on == pressed)
        return;
    pressed = on;
    update();
}

void MListItem::drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    MWidgetController::drawBackground(painter, option);
    if (pressed)
        painter->fillRect(rect(), MPalette().pressedColor());
}

void MListItem::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    tracker->cancel();
    tracker->press(event->scenePos());
    setPressed(true);
    event->accept();
}

void MListItem::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    tracker->move(event->scenePos());
    if (!tracker->isActive())
        setPressed(false);
}

void MListItem::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    setPressed(false);
    if (event->button() != Qt::LeftButton)
        return;
    if (tracker->release() && rect().contains(event->pos()))
        emit clicked();
}

void MListItem::ungrabMouseEvent(QEvent* event)
{
    Q_UNUSED(event)
    // Someone else (a pannable parent) took the press over.
    tracker->cancel();
    setPressed(false);
}

void MListItem::handleLongTap(const QPointF& scenePos)
{
    setPressed(false);
    emit longTapped(scenePos);
}
