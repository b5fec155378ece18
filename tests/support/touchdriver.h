#ifndef TOUCHDRIVER_H
#define TOUCHDRIVER_H

#include <QEvent>
#include <QPointF>

class QGraphicsItem;
class QGraphicsScene;
class QGraphicsView;

// A finger on the screen for widget tests: presses, moves and releases of the left button at
// scene positions. Built over a view, it sends mouse events to the view's viewport in its own
// coordinates, as the window system does, so the view's own handling runs too; built over a
// scene, it sends the scene's mouse events straight to it, for items that no view shows.
class TouchDriver
{
public:
    explicit TouchDriver(QGraphicsView* view);
    explicit TouchDriver(QGraphicsScene* scene);

    void press(const QPointF& scenePos);
    void move(const QPointF& scenePos);
    void release(const QPointF& scenePos);
    void tap(const QPointF& scenePos);
    // A drag in even steps, as a finger moves, then lifted at its end.
    void drag(const QPointF& from, const QPointF& to, int steps = 10);
    // The same drag with the finger left down at its end.
    void dragAndHold(const QPointF& from, const QPointF& to, int steps = 10);

    // A tap at a point of the item, sent to the item's scene.
    static void tapItem(QGraphicsItem* item, const QPointF& localPos);

private:
    void send(QEvent::Type type, const QPointF& scenePos, Qt::MouseButton button,
              Qt::MouseButtons buttons);

    QGraphicsView* m_view = nullptr;
    QGraphicsScene* m_scene = nullptr;
    QPointF m_downAt;
};

#endif // TOUCHDRIVER_H
