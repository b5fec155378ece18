#include "mscenewindow.h"

#include "touchlogging.h"
#include "mapplication.h"
#include "mscenemanager.h"
#include "mwindow.h"

#include <QDebug>
#include <QGraphicsScene>
#include <QGraphicsView>

MSceneWindow::MSceneWindow(QGraphicsItem* parent)
    : MSceneWindow(PlainSceneWindow, parent)
{
}

MSceneWindow::MSceneWindow(WindowType windowType, QGraphicsItem* parent)
    : MWidgetController(parent)
    , type(windowType)
{
    hide(); // shown by its scene manager
}

MSceneWindow::~MSceneWindow()
{
    MSceneManager::forgetSceneWindow(this);
}

MSceneWindow::WindowType MSceneWindow::windowType() const
{
    return type;
}

MSceneWindow::SceneWindowState MSceneWindow::sceneWindowState() const
{
    return state;
}

MSceneWindow::DeletionPolicy MSceneWindow::deletionPolicy() const
{
    return policy;
}

MWindow* MSceneWindow::managingWindow() const
{
    return window;
}

void MSceneWindow::appear(MWindow* target, DeletionPolicy deletionPolicy)
{
    if (!target) {
        appearWithoutWindow(deletionPolicy);
        return;
    }
    target->sceneManager()->appearSceneWindow(this, deletionPolicy);
}

void MSceneWindow::appear(DeletionPolicy deletionPolicy)
{
    MWindow* target = window;
    if (!target && scene()) {
        const auto views = scene()->views();
        for (QGraphicsView* view : views) {
            if ((target = qobject_cast<MWindow*>(view)))
                break;
        }
    }
    if (!target)
        target = MApplication::activeWindow();
    appear(target, deletionPolicy);
}

void MSceneWindow::disappear()
{
    if (window)
        window->sceneManager()->disappearSceneWindow(this);
}

void MSceneWindow::dismiss()
{
    if (window)
        window->sceneManager()->dismissSceneWindow(this);
    else if (policy == DestroyWhenDismissed)
        deleteLater();
}

void MSceneWindow::appearWithoutWindow(DeletionPolicy deletionPolicy)
{
    Q_UNUSED(deletionPolicy)
    qCWarning(lcTouch) << Q_FUNC_INFO << "- no window to appear on";
}

QRectF MSceneWindow::placement(const QRectF& sceneRect) const
{
    return sceneRect;
}

qreal MSceneWindow::layer() const
{
    switch (type) {
    case ApplicationPage:
        return 0;
    case PlainSceneWindow:
    case Overlay:
        return 100;
    case Sheet:
        return 200;
    case ApplicationMenu:
    case ObjectMenu:
        return 300;
    case Dialog:
    case MessageBox:
        return 400;
    case Banner:
        return 500;
    }
    return 100;
}
