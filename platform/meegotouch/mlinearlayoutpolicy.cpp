#include "mlinearlayoutpolicy.h"

#include "mlayoutitemproxy.h"

#include <QGraphicsLinearLayout>

MLinearLayoutPolicy::MLinearLayoutPolicy(MLayout* layout, Qt::Orientation orientation)
    : MAbstractLayoutPolicy(layout)
    , direction(orientation)
{
}

MLinearLayoutPolicy::~MLinearLayoutPolicy() = default;

Qt::Orientation MLinearLayoutPolicy::orientation() const
{
    return direction;
}

void MLinearLayoutPolicy::setOrientation(Qt::Orientation orientation)
{
    direction = orientation;
    rebuild();
}

void MLinearLayoutPolicy::addItem(QGraphicsLayoutItem* item)
{
    insertItem(-1, item, Qt::Alignment());
}

void MLinearLayoutPolicy::addItem(QGraphicsLayoutItem* item, Qt::Alignment alignment)
{
    insertItem(-1, item, alignment);
}

void MLinearLayoutPolicy::insertItem(int index, QGraphicsLayoutItem* item)
{
    insertItem(index, item, Qt::Alignment());
}

int MLinearLayoutPolicy::entryIndexForItemIndex(int itemIndex) const
{
    if (itemIndex < 0)
        return entries.size();
    int seen = 0;
    for (int i = 0; i < entries.size(); ++i) {
        if (!entries.at(i).item)
            continue;
        if (seen == itemIndex)
            return i;
        ++seen;
    }
    return entries.size();
}

void MLinearLayoutPolicy::insertItem(int index, QGraphicsLayoutItem* item, Qt::Alignment alignment)
{
    if (!item || indexOf(item) >= 0)
        return;
    Entry entry;
    entry.item = item;
    entry.alignment = alignment;
    entries.insert(entryIndexForItemIndex(index), entry);
    addToPolicy(item, index);
}

void MLinearLayoutPolicy::addStretch(int stretch)
{
    insertStretch(-1, stretch);
}

void MLinearLayoutPolicy::insertStretch(int index, int stretch)
{
    Entry entry;
    entry.stretch = stretch;
    entries.insert(entryIndexForItemIndex(index), entry);
    rebuild();
}

void MLinearLayoutPolicy::setStretchFactor(QGraphicsLayoutItem* item, int stretch)
{
    for (Entry& e : entries) {
        if (e.item == item)
            e.stretch = stretch;
    }
    rebuild();
}

void MLinearLayoutPolicy::setAlignment(QGraphicsLayoutItem* item, Qt::Alignment alignment)
{
    for (Entry& e : entries) {
        if (e.item == item)
            e.alignment = alignment;
    }
    rebuild();
}

Qt::Alignment MLinearLayoutPolicy::alignment(QGraphicsLayoutItem* item) const
{
    for (const Entry& e : entries) {
        if (e.item == item)
            return e.alignment;
    }
    return Qt::Alignment();
}

void MLinearLayoutPolicy::setItemSpacing(int index, qreal spacing)
{
    itemSpacings.insert(index, spacing);
    rebuild();
}

qreal MLinearLayoutPolicy::spacing() const
{
    return direction == Qt::Horizontal ? horizontalSpacing() : verticalSpacing();
}

void MLinearLayoutPolicy::forgetItem(const QGraphicsLayoutItem* item)
{
    for (int i = entries.size() - 1; i >= 0; --i) {
        if (entries.at(i).item == item)
            entries.removeAt(i);
    }
}

QGraphicsLayout* MLinearLayoutPolicy::buildLayout()
{
    auto* layout = new QGraphicsLinearLayout(direction);
    layout->setSpacing(spacing());
    for (const Entry& e : qAsConst(entries)) {
        if (!e.item) {
            layout->addStretch(e.stretch);
            continue;
        }
        MLayoutItemProxy* proxy = proxyFor(e.item);
        if (!proxy)
            continue;
        layout->addItem(proxy);
        if (e.alignment)
            layout->setAlignment(proxy, e.alignment);
        if (e.stretch)
            layout->setStretchFactor(proxy, e.stretch);
    }
    for (auto it = itemSpacings.constBegin(); it != itemSpacings.constEnd(); ++it) {
        if (it.key() >= 0 && it.key() < layout->count())
            layout->setItemSpacing(it.key(), it.value());
    }
    return layout;
}
