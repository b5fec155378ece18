#include "moverlay.h"

#include <QGraphicsSceneMouseEvent>

namespace {
const qreal AboveSiblings = 1000;
} // namespace

MOverlay::MOverlay(QGraphicsItem* parent)
    : MSceneWindow(Overlay, parent)
{
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton);
    setZValue(AboveSiblings);
    if (parentWidget())
        parentWidget()->installEventFilter(this);
    coverParent();
}

MOverlay::~MOverlay() = default;

void MOverlay::setWidget(QGraphicsWidget* widget)
{
    if (widget == content)
        return;
    delete content.data();
    content = widget;
    if (content) {
        content->setParentItem(this);
        content->setGeometry(rect());
        content->show();
    }
}

QGraphicsWidget* MOverlay::widget() const
{
    return content;
}

void MOverlay::coverParent()
{
    if (QGraphicsWidget* parent = parentWidget())
        setGeometry(QRectF(QPointF(0, 0), parent->size()));
}

QVariant MOverlay::itemChange(GraphicsItemChange change, const QVariant& value)
{
    if (change == ItemVisibleHasChanged && value.toBool())
        coverParent();
    return MSceneWindow::itemChange(change, value);
}

bool MOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::GraphicsSceneResize)
        coverParent();
    return MSceneWindow::eventFilter(watched, event);
}

void MOverlay::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MSceneWindow::resizeEvent(event);
    if (content)
        content->setGeometry(rect());
}

void MOverlay::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
}
