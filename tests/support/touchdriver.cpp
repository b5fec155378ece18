#include "touchdriver.h"

#include <QApplication>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QMouseEvent>

TouchDriver::TouchDriver(QGraphicsView* view)
    : m_view(view)
{
}

TouchDriver::TouchDriver(QGraphicsScene* scene)
    : m_scene(scene)
{
}

void TouchDriver::press(const QPointF& scenePos)
{
    m_downAt = scenePos;
    send(QEvent::MouseButtonPress, scenePos, Qt::LeftButton, Qt::LeftButton);
}

void TouchDriver::move(const QPointF& scenePos)
{
    send(QEvent::MouseMove, scenePos, Qt::NoButton, Qt::LeftButton);
}

void TouchDriver::release(const QPointF& scenePos)
{
    send(QEvent::MouseButtonRelease, scenePos, Qt::LeftButton, Qt::NoButton);
}

void TouchDriver::tap(const QPointF& scenePos)
{
    press(scenePos);
    release(scenePos);
}

void TouchDriver::drag(const QPointF& from, const QPointF& to, int steps)
{
    dragAndHold(from, to, steps);
    release(to);
}

void TouchDriver::dragAndHold(const QPointF& from, const QPointF& to, int steps)
{
    press(from);
    for (int i = 1; i <= steps; ++i)
        move(from + (to - from) * i / steps);
}

void TouchDriver::tapItem(QGraphicsItem* item, const QPointF& localPos)
{
    TouchDriver(item->scene()).tap(item->mapToScene(localPos));
}

void TouchDriver::send(QEvent::Type type, const QPointF& scenePos, Qt::MouseButton button,
                       Qt::MouseButtons buttons)
{
    if (m_view) {
        QWidget* viewport = m_view->viewport();
        const QPoint at = m_view->mapFromScene(scenePos);
        QMouseEvent event(type, at, viewport->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
        return;
    }
    if (!m_scene)
        return;
    const QEvent::Type sceneType = type == QEvent::MouseButtonPress
                                       ? QEvent::GraphicsSceneMousePress
                                   : type == QEvent::MouseMove ? QEvent::GraphicsSceneMouseMove
                                                               : QEvent::GraphicsSceneMouseRelease;
    QGraphicsSceneMouseEvent event(sceneType);
    event.setButton(button);
    event.setButtons(buttons);
    event.setScenePos(scenePos);
    event.setButtonDownScenePos(Qt::LeftButton, m_downAt);
    QApplication::sendEvent(m_scene, &event);
}
