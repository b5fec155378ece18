#include "applicationmenuwidget.h"

ApplicationMenuWidget::ApplicationMenuWidget(QString viewType)
    : MApplicationMenu(viewType)
{
}

ApplicationMenuWidget::~ApplicationMenuWidget() = default;

void ApplicationMenuWidget::actionEvent(QActionEvent* event)
{
    emit menuActionsChanged(actions().count());
    // The menu's own handling still sees the change, so its entries follow the actions.
    MApplicationMenu::actionEvent(event);
}
