#include "mwidgetaction.h"

#include <QGraphicsWidget>

MWidgetAction::MWidgetAction(QObject* parent)
    : MAction(parent)
{
}

MWidgetAction::~MWidgetAction()
{
    delete shown.data();
}

void MWidgetAction::setWidget(QGraphicsWidget* widget)
{
    if (widget == shown)
        return;
    delete shown.data();
    shown = widget;
    announceChange();
}

QGraphicsWidget* MWidgetAction::widget() const
{
    return shown;
}
