#ifndef MPOSITIONINDICATOR_H
#define MPOSITIONINDICATOR_H

#include "mwidgetcontroller.h"

class QTimer;

// The thin bar at the edge of a pannable viewport that shows which part of the content is in
// view. It shows while the position changes and fades a moment later.
class MPositionIndicator : public MWidgetController
{
    Q_OBJECT

public:
    explicit MPositionIndicator(QGraphicsItem* parent = nullptr);
    ~MPositionIndicator() override;

    // Takes its place along the right edge of a viewport of that size.
    void placeAlongRightEdge(const QSizeF& viewportSize);

    // Called by the viewport whenever its geometry, range or position change.
    void setPanningState(const QSizeF& viewportSize, const QRectF& range, const QPointF& position);

protected:
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    void drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;

private:
    QSizeF viewport;
    QRectF pannedRange;
    QPointF position;
    bool active = false;
    QTimer* fadeTimer;
};

#endif // MPOSITIONINDICATOR_H
