#include "mwidget.h"

#include "mgesturerecognizers.h"
#include "mscenewindow.h"
#include "mwindow.h"

#include <QActionEvent>
#include <QGestureEvent>
#include <QGraphicsScene>
#include <QPanGesture>
#include <QPinchGesture>
#include <QSet>
#include <QSwipeGesture>
#include <QTapAndHoldGesture>
#include <QTapGesture>

// Lets the helpers below reach the private setter.
struct MWidgetDisplayAccess
{
    static void set(MWidget* w, bool on) { w->setOnDisplay(on); }
};

namespace {

// The widgets whose MWidget part is alive. Display refreshes walk up and down item trees while
// Qt tears a tree down; an item found here may be looked at, any other (a plain graphics item,
// or a widget whose destructor has already run past MWidget) is left alone.
QSet<const QGraphicsItem*>& liveWidgets()
{
    static QSet<const QGraphicsItem*> set;
    return set;
}

MWidget* liveWidget(QGraphicsItem* item)
{
    if (!liveWidgets().contains(item))
        return nullptr;
    return static_cast<MWidget*>(item);
}

// Cuts every connection from the items below item to receiver.
void disconnectDescendants(const QGraphicsItem* item, const QObject* receiver)
{
    const auto children = item->childItems();
    for (QGraphicsItem* child : children) {
        if (const QGraphicsObject* object = child->toGraphicsObject())
            QObject::disconnect(object, nullptr, receiver, nullptr);
        disconnectDescendants(child, receiver);
    }
}

MWindow* windowOf(const QGraphicsScene* scene)
{
    if (!scene)
        return nullptr;
    const auto views = scene->views();
    for (QGraphicsView* view : views) {
        if (auto* w = qobject_cast<MWindow*>(view))
            return w;
    }
    return nullptr;
}

// A scene window is seen from its appearance until it has disappeared. One that was never made
// to appear on a window (an overlay shown by hand) is seen while it is visible.
bool sceneWindowShowing(const MSceneWindow* sw)
{
    return sw->sceneWindowState() != MSceneWindow::Disappeared || !sw->managingWindow();
}

// Whether the scene windows above the item let it be seen (they are appearing, shown or on
// their way out). Items outside any scene window (window decorations) always are.
bool sceneWindowsShowing(const QGraphicsItem* item)
{
    for (const QGraphicsItem* it = item; it; it = it->parentItem()) {
        const MWidget* w = liveWidget(const_cast<QGraphicsItem*>(it));
        const auto* sw = w ? qobject_cast<const MSceneWindow*>(w) : nullptr;
        if (sw && !sceneWindowShowing(sw))
            return false;
    }
    return true;
}

void refresh(QGraphicsItem* item, bool parentShowing)
{
    bool showing = parentShowing && item->isVisible();
    MWidget* w = liveWidget(item);
    if (showing && w) {
        if (auto* sw = qobject_cast<MSceneWindow*>(w))
            showing = sceneWindowShowing(sw);
    }
    if (w)
        MWidgetDisplayAccess::set(w, showing);
    const auto children = item->childItems();
    for (QGraphicsItem* child : children)
        refresh(child, showing);
}

} // namespace

MWidget::MWidget(QGraphicsItem* parent)
    : QGraphicsWidget(parent)
{
    liveWidgets().insert(this);
    MGestureRecognizers::ensureRegistered();
}

MWidget::~MWidget()
{
    liveWidgets().remove(this);
    // Qt deletes the child items after this, and they still signal on their way out (focus
    // moves on, display states change); what this widget was above MWidget is gone already and
    // must not receive that.
    disconnectDescendants(this, this);
}

bool MWidget::isOnDisplay() const
{
    return onDisplay;
}

MSceneManager* MWidget::sceneManager() const
{
    MWindow* window = windowOf(scene());
    return window ? window->sceneManager() : nullptr;
}

void MWidget::grabGestureWithCancelPolicy(Qt::GestureType type, Qt::GestureFlags flags,
                                          MouseEventCancelPolicy cancelPolicy)
{
    Q_UNUSED(cancelPolicy) // mouse events are always delivered as well
    grabGesture(type, flags);
}

void MWidget::refreshDisplayState(QGraphicsItem* root)
{
    if (!root)
        return;
    bool parentShowing = true;
    const QGraphicsScene* scene = root->scene();
    MWindow* window = windowOf(scene);
    if (!window || !window->isOnDisplay())
        parentShowing = false;
    if (parentShowing && root->parentItem())
        parentShowing = root->parentItem()->isVisible() && sceneWindowsShowing(root->parentItem());
    refresh(root, parentShowing);
}

void MWidget::setOnDisplay(bool on)
{
    if (on == onDisplay)
        return;
    onDisplay = on;
    if (on) {
        enterDisplayEvent();
        emit displayEntered();
    } else {
        exitDisplayEvent();
        emit displayExited();
    }
}

bool MWidget::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionChanged:
    case QEvent::ActionRemoved:
        actionEvent(static_cast<QActionEvent*>(e));
        return true;
    case QEvent::Gesture:
        gestureEvent(static_cast<QGestureEvent*>(e));
        return true;
    default:
        break;
    }
    return QGraphicsWidget::event(e);
}

QVariant MWidget::itemChange(GraphicsItemChange change, const QVariant& value)
{
    const QVariant result = QGraphicsWidget::itemChange(change, value);
    switch (change) {
    case ItemVisibleHasChanged:
        // A hidden widget gives its room in a layout to the others.
        if (parentLayoutItem())
            updateGeometry();
        refreshDisplayState(this);
        break;
    case ItemSceneHasChanged:
    case ItemParentHasChanged:
        refreshDisplayState(this);
        break;
    default:
        break;
    }
    return result;
}

void MWidget::actionEvent(QActionEvent* event)
{
    Q_UNUSED(event)
}

void MWidget::gestureEvent(QGestureEvent* event)
{
    const auto gestures = event->gestures();
    for (QGesture* gesture : gestures) {
        switch (gesture->gestureType()) {
        case Qt::TapGesture:
            tapGestureEvent(event, static_cast<QTapGesture*>(gesture));
            break;
        case Qt::TapAndHoldGesture:
            tapAndHoldGestureEvent(event, static_cast<QTapAndHoldGesture*>(gesture));
            break;
        case Qt::PanGesture:
            panGestureEvent(event, static_cast<QPanGesture*>(gesture));
            break;
        case Qt::PinchGesture:
            pinchGestureEvent(event, static_cast<QPinchGesture*>(gesture));
            break;
        case Qt::SwipeGesture:
            swipeGestureEvent(event, static_cast<QSwipeGesture*>(gesture));
            break;
        default:
            event->ignore(gesture);
            break;
        }
    }
}

void MWidget::tapGestureEvent(QGestureEvent* event, QTapGesture* gesture)
{
    event->ignore(gesture);
}

void MWidget::tapAndHoldGestureEvent(QGestureEvent* event, QTapAndHoldGesture* gesture)
{
    event->ignore(gesture);
}

void MWidget::panGestureEvent(QGestureEvent* event, QPanGesture* gesture)
{
    event->ignore(gesture);
}

void MWidget::pinchGestureEvent(QGestureEvent* event, QPinchGesture* gesture)
{
    event->ignore(gesture);
}

void MWidget::swipeGestureEvent(QGestureEvent* event, QSwipeGesture* gesture)
{
    event->ignore(gesture);
}

void MWidget::enterDisplayEvent()
{
}

void MWidget::exitDisplayEvent()
{
}
