#ifndef MPANNABLEWIDGET_H
#define MPANNABLEWIDGET_H

#include "mwidgetcontroller.h"

class QTimer;

// A widget whose content the user pans by dragging with the mouse (or a finger). Dragging
// beyond the ends overshoots and springs back when released; a drag that starts on a child
// takes over from the child once it has moved a few pixels.
class MPannableWidget : public MWidgetController
{
    Q_OBJECT

public:
    // The numbers are passed by callers (0 always on, 1 always off), so they are fixed.
    enum PanningPolicy { PanningAlwaysOn = 0, PanningAlwaysOff = 1, PanningAsNeeded = 2 };

    explicit MPannableWidget(QGraphicsItem* parent = nullptr);
    ~MPannableWidget() override;

    PanningPolicy verticalPanningPolicy() const;
    void setVerticalPanningPolicy(PanningPolicy policy);

    virtual QPointF position() const;
    virtual void setPosition(const QPointF& position);
    virtual QRectF range() const;
    virtual void setRange(const QRectF& range);

    bool isPanning() const;

signals:
    void positionChanged(const QPointF& position);
    void rangeChanged(const QRectF& range);
    void panningStarted();
    void panningStopped();

protected:
    bool canPanVertically() const;
    // The position moves within the range, or beyond it while dragging (overshoot).
    void updatePosition(const QPointF& position);

    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    bool sceneEventFilter(QGraphicsItem* watched, QEvent* event) override;
    void wheelEvent(QGraphicsSceneWheelEvent* event) override;
    void ungrabMouseEvent(QEvent* event) override;

private slots:
    void springStep();

private:
    bool startsDrag(const QPointF& scenePos) const;
    void beginDrag(const QPointF& scenePos);
    void dragTo(const QPointF& scenePos);
    void endDrag();
    qreal overshootFor(qreal y) const;

    PanningPolicy vertical = PanningAlwaysOn;
    PanningPolicy horizontal = PanningAlwaysOff;
    QPointF pos;
    QRectF pannedRange;
    bool pressed = false;
    bool dragging = false;
    QPointF pressScenePos;
    QPointF pressPosition;
    QTimer* spring;
};

#endif // MPANNABLEWIDGET_H
