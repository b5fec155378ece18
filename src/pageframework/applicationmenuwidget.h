#ifndef APPLICATIONMENUWIDGET_H
#define APPLICATIONMENUWIDGET_H

#include "mapplicationmenu.h"

// An application menu that tells how many actions it holds whenever an action comes, changes
// or goes, so that the button that opens it can be disabled while it is empty.
class ApplicationMenuWidget : public MApplicationMenu
{
    Q_OBJECT

public:
    explicit ApplicationMenuWidget(QString viewType);
    ~ApplicationMenuWidget() override;

signals:
    void menuActionsChanged(int count);

protected:
    void actionEvent(QActionEvent* event) override;
};

#endif // APPLICATIONMENUWIDGET_H
