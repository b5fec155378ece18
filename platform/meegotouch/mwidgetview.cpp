#include "mwidgetview.h"

#include <QPainter>

MWidgetView::MWidgetView(MWidgetController* controller)
    : QObject(nullptr)
    , owner(controller)
{
}

MWidgetView::~MWidgetView() = default;

MWidgetController* MWidgetView::controller() const
{
    return owner;
}

MWidgetModel* MWidgetView::model() const
{
    return owner ? owner->model() : nullptr;
}

const MWidgetStyle* MWidgetView::style() const
{
    return owner->style();
}

void MWidgetView::drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const QColor background = style()->backgroundColor();
    if (background.isValid())
        painter->fillRect(owner->rect(), background);
}

void MWidgetView::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(painter)
    Q_UNUSED(option)
}

void MWidgetView::drawForeground(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(painter)
    Q_UNUSED(option)
}
