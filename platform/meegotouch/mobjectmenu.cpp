#include "mobjectmenu.h"

#include <QAction>

namespace {
const qreal PanelWidth = 420;
} // namespace

MObjectMenu::MObjectMenu(QGraphicsItem* target)
    : MActionListWindow(ObjectMenu, QString())
{
    Q_UNUSED(target) // the menu is a window of its own, not a child of the object
    connect(this, &MSceneWindow::disappeared, this, &MObjectMenu::runChosenAction);
}

MObjectMenu::~MObjectMenu() = default;

QRectF MObjectMenu::panelPlacement(qreal contentHeight) const
{
    const qreal width = qMin(PanelWidth, rect().width());
    const qreal height = qMin(contentHeight, rect().height());
    return QRectF((rect().width() - width) / 2, (rect().height() - height) / 2, width, height);
}

void MObjectMenu::entryChosen(QAction* action)
{
    chosen = action;
    disappear();
}

void MObjectMenu::runChosenAction()
{
    // Queued on the action: everyone has seen the menu go first, and the action still runs if
    // the menu is deleted now that it is done.
    QAction* action = chosen;
    chosen = nullptr;
    if (action)
        QMetaObject::invokeMethod(action, "trigger", Qt::QueuedConnection);
}
