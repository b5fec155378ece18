#include "mapplicationmenu.h"

#include <QAction>
#include <QPointer>

MApplicationMenu::MApplicationMenu(const QString& title)
    : MActionListWindow(ApplicationMenu, title)
{
}

MApplicationMenu::~MApplicationMenu() = default;

QRectF MApplicationMenu::panelPlacement(qreal contentHeight) const
{
    return QRectF(0, 0, rect().width(), qMin(contentHeight, rect().height()));
}

void MApplicationMenu::entryChosen(QAction* action)
{
    QPointer<QAction> guard(action);
    disappear();
    if (guard)
        guard->trigger();
}
