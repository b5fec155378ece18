#include "applicationmenuwidget.h"

ApplicationMenuWidget::ApplicationMenuWidget(QString viewType)
    : MApplicationMenu(viewType)
{
}

ApplicationMenuWidget::~ApplicationMenuWidget() = default;

void ApplicationMenuWidget::actionEvent(QActionEvent* event)
{
    Q_UNUSED(event)
    emit menuActionsChanged(actions().count());
}
