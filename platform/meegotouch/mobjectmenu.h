#ifndef MOBJECTMENU_H
#define MOBJECTMENU_H

#include "mactionlistwindow.h"

#include <QPointer>

// The menu of one object (a long-tapped item): a panel in the middle of the screen listing its
// actions in their order. Tapping an entry makes the menu go, and the action runs once the menu
// has gone.
class MObjectMenu : public MActionListWindow
{
    Q_OBJECT

public:
    explicit MObjectMenu(QGraphicsItem* target = nullptr);
    ~MObjectMenu() override;

protected:
    QRectF panelPlacement(qreal contentHeight) const override;
    void entryChosen(QAction* action) override;

private slots:
    void runChosenAction();

private:
    QPointer<QAction> chosen;
};

#endif // MOBJECTMENU_H
