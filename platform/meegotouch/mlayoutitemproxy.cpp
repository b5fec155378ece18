#include "mlayoutitemproxy.h"

#include "mabstractlayoutpolicy.h"

#include <QGraphicsItem>

MLayoutItemProxy::MLayoutItemProxy(QGraphicsLayoutItem* target, const MAbstractLayoutPolicy* policy)
    : item(target)
    , owner(policy)
{
    setOwnedByLayout(false);
    refresh();
}

MLayoutItemProxy::~MLayoutItemProxy() = default;

QGraphicsLayoutItem* MLayoutItemProxy::target() const
{
    return item;
}

void MLayoutItemProxy::refresh()
{
    setSizePolicy(item->sizePolicy());
    updateGeometry();
}

void MLayoutItemProxy::setGeometry(const QRectF& rect)
{
    QGraphicsLayoutItem::setGeometry(rect);
    if (owner->isActive())
        item->setGeometry(rect);
}

bool MLayoutItemProxy::isHidden() const
{
    // Hidden by hand, not merely inside a hidden parent.
    const QGraphicsItem* graphicsItem = item->graphicsItem();
    if (!graphicsItem || item->sizePolicy().retainSizeWhenHidden())
        return false;
    return graphicsItem->parentItem() ? !graphicsItem->isVisibleTo(graphicsItem->parentItem())
                                      : !graphicsItem->isVisible();
}

QSizeF MLayoutItemProxy::sizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    if (isHidden())
        return QSizeF(0, 0);
    return item->effectiveSizeHint(which, constraint);
}
