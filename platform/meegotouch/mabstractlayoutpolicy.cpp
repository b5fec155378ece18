#include "mabstractlayoutpolicy.h"

#include "mlayout.h"
#include "mlayoutitemproxy.h"

#include <QGraphicsLayout>
#include <QWidget>

MAbstractLayoutPolicy::MAbstractLayoutPolicy(MLayout* layout)
    : owner(layout)
{
    owner->registerPolicy(this);
}

MAbstractLayoutPolicy::~MAbstractLayoutPolicy()
{
    delete qtLayout;
    qtLayout = nullptr;
    const QList<MLayoutItemProxy*> gone = proxies;
    proxies.clear();
    if (owner)
        owner->unregisterPolicy(this);
    qDeleteAll(gone);
}

MLayout* MAbstractLayoutPolicy::layout() const
{
    return owner;
}

void MAbstractLayoutPolicy::activate()
{
    owner->setPolicy(this);
}

bool MAbstractLayoutPolicy::isActive() const
{
    return owner->policy() == this;
}

void MAbstractLayoutPolicy::setContentsMargins(qreal left, qreal top, qreal right, qreal bottom)
{
    margins = QMarginsF(left, top, right, bottom);
    rebuild();
}

void MAbstractLayoutPolicy::getContentsMargins(qreal* left, qreal* top, qreal* right,
                                               qreal* bottom) const
{
    if (left)
        *left = margins.left();
    if (top)
        *top = margins.top();
    if (right)
        *right = margins.right();
    if (bottom)
        *bottom = margins.bottom();
}

void MAbstractLayoutPolicy::setSpacing(qreal spacing)
{
    hSpacing = vSpacing = spacing;
    rebuild();
}

void MAbstractLayoutPolicy::setHorizontalSpacing(qreal spacing)
{
    hSpacing = spacing;
    rebuild();
}

void MAbstractLayoutPolicy::setVerticalSpacing(qreal spacing)
{
    vSpacing = spacing;
    rebuild();
}

qreal MAbstractLayoutPolicy::horizontalSpacing() const
{
    return hSpacing;
}

qreal MAbstractLayoutPolicy::verticalSpacing() const
{
    return vSpacing;
}

int MAbstractLayoutPolicy::count() const
{
    return proxies.size();
}

QGraphicsLayoutItem* MAbstractLayoutPolicy::itemAt(int index) const
{
    return (index >= 0 && index < proxies.size()) ? proxies.at(index)->target() : nullptr;
}

int MAbstractLayoutPolicy::indexOf(const QGraphicsLayoutItem* item) const
{
    for (int i = 0; i < proxies.size(); ++i) {
        if (proxies.at(i)->target() == item)
            return i;
    }
    return -1;
}

MLayoutItemProxy* MAbstractLayoutPolicy::proxyAt(int index) const
{
    return (index >= 0 && index < proxies.size()) ? proxies.at(index) : nullptr;
}

MLayoutItemProxy* MAbstractLayoutPolicy::proxyFor(const QGraphicsLayoutItem* item) const
{
    return proxyAt(indexOf(item));
}

void MAbstractLayoutPolicy::addToPolicy(QGraphicsLayoutItem* item, int index)
{
    if (!item)
        return;
    owner->adoptItem(item);
    if (indexOf(item) < 0) {
        auto* proxy = new MLayoutItemProxy(item, this);
        if (index < 0 || index > proxies.size())
            proxies.append(proxy);
        else
            proxies.insert(index, proxy);
    }
    rebuild();
    owner->itemJoinedPolicy(this, item);
}

void MAbstractLayoutPolicy::removeAt(int index)
{
    MLayoutItemProxy* proxy = proxyAt(index);
    if (!proxy)
        return;
    QGraphicsLayoutItem* item = proxy->target();
    forgetItem(item);
    proxies.removeAt(index);
    delete qtLayout; // it refers to the proxy
    qtLayout = nullptr;
    delete proxy;
    rebuild();
    owner->itemLeftPolicy(this, item);
}

void MAbstractLayoutPolicy::removeItem(const QGraphicsLayoutItem* item)
{
    removeAt(indexOf(item));
}

void MAbstractLayoutPolicy::forgetTarget(const QGraphicsLayoutItem* item)
{
    const int index = indexOf(item);
    if (index < 0)
        return;
    forgetItem(item);
    MLayoutItemProxy* proxy = proxies.takeAt(index);
    delete qtLayout;
    qtLayout = nullptr;
    delete proxy;
    rebuild();
}

void MAbstractLayoutPolicy::forgetItem(const QGraphicsLayoutItem* item)
{
    Q_UNUSED(item)
}

void MAbstractLayoutPolicy::rebuild()
{
    delete qtLayout;
    qtLayout = buildLayout();
    if (qtLayout)
        qtLayout->setContentsMargins(margins.left(), margins.top(), margins.right(),
                                     margins.bottom());
    if (owner)
        owner->invalidate();
}

void MAbstractLayoutPolicy::invalidate()
{
    for (MLayoutItemProxy* proxy : qAsConst(proxies))
        proxy->refresh();
    if (qtLayout)
        qtLayout->invalidate();
}

void MAbstractLayoutPolicy::setGeometry(const QRectF& rect)
{
    if (qtLayout)
        qtLayout->setGeometry(rect);
}

QSizeF MAbstractLayoutPolicy::sizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    if (!qtLayout)
        return which == Qt::MaximumSize ? QSizeF(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX) : QSizeF(0, 0);
    return qtLayout->effectiveSizeHint(which, constraint);
}
