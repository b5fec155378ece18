#ifndef MWIDGET_H
#define MWIDGET_H

#include <QGraphicsWidget>

class MSceneManager;
class QActionEvent;
class QGestureEvent;
class QPanGesture;
class QPinchGesture;
class QSwipeGesture;
class QTapAndHoldGesture;
class QTapGesture;

// The base of every touch UI widget: a graphics widget that knows whether it is on the display
// (its scene window is shown on a visible window that is not in the task switcher) and that hands
// gestures and action events to virtual handlers.
class MWidget : public QGraphicsWidget
{
    Q_OBJECT

public:
    enum MouseEventCancelPolicy {
        MouseEventNoCancel = 0,
        MouseEventCancelOnGestureStarted = 1,
        MouseEventCancelOnGestureFinished = 2
    };

    explicit MWidget(QGraphicsItem* parent = nullptr);
    ~MWidget() override;

    bool isOnDisplay() const;

    // The scene manager of the window that shows this widget's scene; null without one.
    MSceneManager* sceneManager() const;

    // Subscribes to a gesture. Gestures are made from mouse input as well as touch, and never
    // take the mouse events away from the widget.
    void grabGestureWithCancelPolicy(Qt::GestureType type, Qt::GestureFlags flags = {},
                                     MouseEventCancelPolicy cancelPolicy = MouseEventNoCancel);

    // Recomputes the display state of every widget below (and including) the item and emits
    // displayEntered()/displayExited() where it changed. Called by the scene machinery.
    static void refreshDisplayState(QGraphicsItem* root);

signals:
    void displayEntered();
    void displayExited();

protected:
    bool event(QEvent* event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

    // Called for QEvent::ActionAdded, ActionChanged and ActionRemoved.
    virtual void actionEvent(QActionEvent* event);

    virtual void gestureEvent(QGestureEvent* event);
    virtual void tapGestureEvent(QGestureEvent* event, QTapGesture* gesture);
    virtual void tapAndHoldGestureEvent(QGestureEvent* event, QTapAndHoldGesture* gesture);
    virtual void panGestureEvent(QGestureEvent* event, QPanGesture* gesture);
    virtual void pinchGestureEvent(QGestureEvent* event, QPinchGesture* gesture);
    virtual void swipeGestureEvent(QGestureEvent* event, QSwipeGesture* gesture);

    virtual void enterDisplayEvent();
    virtual void exitDisplayEvent();

private:
    friend struct MWidgetDisplayAccess;
    void setOnDisplay(bool onDisplay);

    bool onDisplay = false;
};

#endif // MWIDGET_H
