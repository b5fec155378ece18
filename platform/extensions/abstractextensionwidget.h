#ifndef ABSTRACTEXTENSIONWIDGET_H
#define ABSTRACTEXTENSIONWIDGET_H

#include "mapplicationextensioninterface.h"

class ApplicationActionMediator;
class MWidget;

// An extension that shows a widget in the application's extension area. The area hands it the
// mediator, through which it learns what the page shows and may ask for a page of its own
// (ApplicationActionMediator::applicationInterface()).
class AbstractExtensionWidget : public MApplicationExtensionInterface
{
public:
    ~AbstractExtensionWidget() override;

    virtual void setMediator(ApplicationActionMediator* mediator) = 0;
    // The widget to lay out. The extension keeps it: the widget may be laid out (and so become
    // a child of the area's widget), and the extension deletes it when it goes itself.
    virtual MWidget* widget() = 0;
};

#endif // ABSTRACTEXTENSIONWIDGET_H
