#ifndef MAPPLICATIONMENU_H
#define MAPPLICATIONMENU_H

#include "mactionlistwindow.h"

// The application (view) menu: a panel dropping from the top of the screen with an entry per
// visible action. Tapping a plain entry closes the menu and then triggers the action.
class MApplicationMenu : public MActionListWindow
{
    Q_OBJECT

public:
    explicit MApplicationMenu(const QString& title = QString());
    ~MApplicationMenu() override;

protected:
    QRectF panelPlacement(qreal contentHeight) const override;
    void entryChosen(QAction* action) override;
};

#endif // MAPPLICATIONMENU_H
