#include "mlayoutitemproxy.h"

#include "mabstractlayoutpolicy.h"

#include <QGraphicsItem>

MLayoutItemProxy::MLayoutItemProxy(QGraphicsLayoutItem* target,
                                   const MAbstractLayoutPolicy* policy)
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
    const QGraphicsItem* graphicsItem = item->graphicsItem();
    return graphicsItem && !graphicsItem->isVisible()
           && !item->sizePolicy().retainSizeWhenHidden();
}

QSizeF MLayoutItemProxy::sizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    if (isHidden())
        return QSizeF(0, 0);
    return item->effectiveSizeHint(which, constraint);
}
