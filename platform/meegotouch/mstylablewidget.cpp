#include "mstylablewidget.h"

MStylableWidget::MStylableWidget(QGraphicsItem* parent)
    : MWidgetController(parent)
{
}

MStylableWidget::~MStylableWidget() = default;
