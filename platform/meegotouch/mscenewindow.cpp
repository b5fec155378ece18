#include "mscenewindow.h"

#include "touchlogging.h"
#include "mapplication.h"
#include "mscenemanager.h"
#include "mwindow.h"

#include <QDebug>
#include <QGestureEvent>
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
    // Gestures reach every widget under the finger that takes them, in the order they are
    // stacked, until one accepts: a window in front of the page takes them, or a tap on a menu
    // entry would also be a tap on the cover below it.
    if (coversWhatIsBelow()) {
        for (Qt::GestureType gesture :
             { Qt::TapGesture, Qt::TapAndHoldGesture, Qt::PanGesture, Qt::SwipeGesture })
            grabGestureWithCancelPolicy(gesture);
        // It has the keys while it shows (its scene manager gives them). A press on a part of
        // it that takes no focus (a button, the title) leaves them where they are: the scene
        // would look further down for a widget that does, find the page below, and a tap on a
        // dialog's button would send what is typed next to that page.
        setFlag(ItemIsFocusable);
        setFlag(ItemStopsFocusHandling);
    }
}

bool MSceneWindow::coversWhatIsBelow() const
{
    switch (type) {
    case ApplicationMenu:
    case ObjectMenu:
    case Dialog:
    case MessageBox:
    case Sheet:
        return true;
    default:
        return false;
    }
}

void MSceneWindow::gestureEvent(QGestureEvent* event)
{
    MWidgetController::gestureEvent(event);
    if (!coversWhatIsBelow())
        return;
    const auto gestures = event->gestures();
    for (QGesture* gesture : gestures)
        event->accept(gesture);
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
