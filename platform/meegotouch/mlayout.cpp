#include "mlayout.h"

#include "mabstractlayoutanimation.h"
#include "mabstractlayoutpolicy.h"

#include <QGraphicsWidget>
#include <QWidget>

namespace {

void setItemVisible(QGraphicsLayoutItem* item, bool visible)
{
    if (QGraphicsItem* graphicsItem = item->graphicsItem()) {
        graphicsItem->setVisible(visible);
        return;
    }
    if (item->isLayout()) {
        auto* layout = static_cast<QGraphicsLayout*>(item);
        for (int i = 0; i < layout->count(); ++i)
            setItemVisible(layout->itemAt(i), visible);
    }
}

} // namespace

MLayout::MLayout(QGraphicsLayoutItem* parent)
    : QGraphicsLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
}

MLayout::~MLayout()
{
    // Policies refer to the layout; they go first. Widgets stay with their parent widget; a
    // nested layout has no other owner, so it goes with this one, as in Qt's own layouts.
    tearingDown = true;
    const QList<MAbstractLayoutPolicy*> owned = policies;
    for (MAbstractLayoutPolicy* p : owned)
        delete p;
    const QList<QGraphicsLayoutItem*> held = items;
    items.clear();
    for (QGraphicsLayoutItem* item : held) {
        item->setParentLayoutItem(nullptr);
        if (item->ownedByLayout())
            delete item;
    }
    delete layoutAnimation;
}

int MLayout::count() const
{
    return items.size();
}

QGraphicsLayoutItem* MLayout::itemAt(int index) const
{
    return (index >= 0 && index < items.size()) ? items.at(index) : nullptr;
}

int MLayout::indexOf(const QGraphicsLayoutItem* item) const
{
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i) == item)
            return i;
    }
    return -1;
}

void MLayout::removeAt(int index)
{
    // Also reached from an item's destructor: the item must not be touched.
    if (index < 0 || index >= items.size())
        return;
    QGraphicsLayoutItem* item = items.takeAt(index);
    for (MAbstractLayoutPolicy* p : qAsConst(policies))
        p->forgetTarget(item);
    invalidate();
}

void MLayout::removeItem(const QGraphicsLayoutItem* item)
{
    const int index = indexOf(item);
    if (index < 0)
        return;
    for (MAbstractLayoutPolicy* p : qAsConst(policies))
        p->removeItem(item);
    // The policies took it out of the layout as it left the last of them.
    const int left = indexOf(item);
    if (left >= 0) {
        items.removeAt(left);
        const_cast<QGraphicsLayoutItem*>(item)->setParentLayoutItem(nullptr);
    }
    invalidate();
}

MAbstractLayoutPolicy* MLayout::policy() const
{
    return active;
}

void MLayout::setPolicy(MAbstractLayoutPolicy* policy)
{
    if (!policies.contains(policy))
        return;
    if (policy == active) {
        applyVisibility();
        return;
    }
    active = policy;
    applyVisibility();
    invalidate();
}

void MLayout::setAnimation(MAbstractLayoutAnimation* animation)
{
    if (animation == layoutAnimation)
        return;
    delete layoutAnimation;
    layoutAnimation = animation;
}

MAbstractLayoutAnimation* MLayout::animation() const
{
    return layoutAnimation;
}

void MLayout::registerPolicy(MAbstractLayoutPolicy* policy)
{
    policies.append(policy);
    if (!active)
        active = policy;
}

void MLayout::unregisterPolicy(MAbstractLayoutPolicy* policy)
{
    policies.removeAll(policy);
    if (active == policy)
        active = policies.isEmpty() ? nullptr : policies.first();
    if (tearingDown)
        return;
    for (int i = items.size() - 1; i >= 0; --i) {
        if (!inAnyPolicy(items.at(i))) {
            QGraphicsLayoutItem* item = items.takeAt(i);
            item->setParentLayoutItem(nullptr);
        }
    }
    if (active)
        applyVisibility();
    invalidate();
}

void MLayout::adoptItem(QGraphicsLayoutItem* item)
{
    if (indexOf(item) >= 0)
        return;
    addChildLayoutItem(item);
    items.append(item);
}

bool MLayout::inAnyPolicy(const QGraphicsLayoutItem* item) const
{
    for (const MAbstractLayoutPolicy* p : policies) {
        if (p->indexOf(item) >= 0)
            return true;
    }
    return false;
}

void MLayout::itemJoinedPolicy(MAbstractLayoutPolicy* policy, QGraphicsLayoutItem* item)
{
    // A new item shows when the active policy holds it; other items keep what they have.
    if (policy == active)
        setItemVisible(item, true);
    else if (!active || active->indexOf(item) < 0)
        setItemVisible(item, false);
}

void MLayout::itemLeftPolicy(MAbstractLayoutPolicy* policy, QGraphicsLayoutItem* item)
{
    if (policy == active)
        setItemVisible(item, false);
    if (!inAnyPolicy(item)) {
        const int index = indexOf(item);
        if (index >= 0)
            items.removeAt(index);
        item->setParentLayoutItem(nullptr);
    }
    invalidate();
}

void MLayout::applyVisibility()
{
    for (QGraphicsLayoutItem* item : qAsConst(items))
        setItemVisible(item, active && active->indexOf(item) >= 0);
}

void MLayout::setGeometry(const QRectF& rect)
{
    QGraphicsLayout::setGeometry(rect);
    if (!active)
        return;
    qreal left, top, right, bottom;
    getContentsMargins(&left, &top, &right, &bottom);
    active->setGeometry(rect.adjusted(left, top, -right, -bottom));
}

void MLayout::invalidate()
{
    for (MAbstractLayoutPolicy* p : qAsConst(policies))
        p->invalidate();
    QGraphicsLayout::invalidate();
}

QSizeF MLayout::sizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    qreal left, top, right, bottom;
    getContentsMargins(&left, &top, &right, &bottom);
    if (which == Qt::MaximumSize && !active)
        return QSizeF(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (!active)
        return QSizeF(left + right, top + bottom);
    QSizeF inner = constraint;
    if (inner.width() > 0)
        inner.setWidth(qMax<qreal>(0, inner.width() - left - right));
    if (inner.height() > 0)
        inner.setHeight(qMax<qreal>(0, inner.height() - top - bottom));
    const QSizeF hint = active->sizeHint(which, inner);
    return QSizeF(hint.width() + left + right, hint.height() + top + bottom);
}
