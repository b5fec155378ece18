#include "applicationinterface.h"

#include "mwidget.h"

ApplicationInterface::ApplicationInterface(QObject* parent)
    : QObject(parent)
{
}

ApplicationInterface::~ApplicationInterface() = default;

MWidget* ApplicationInterface::subPageWidget() const
{
    return widget.data();
}

QString ApplicationInterface::title() const
{
    return pageTitle;
}

void ApplicationInterface::showSubPage(MWidget* subPage, const QString& subPageTitle)
{
    widget = subPage;
    pageTitle = subPageTitle;
    emit subPageWidgetChanged();
}
