#ifndef MLISTITEM_H
#define MLISTITEM_H

#include "mwidgetcontroller.h"

class MListTapTracker;

// A tappable row. A press released without moving gives clicked(); a press held still for
// about 0.8 s gives longTapped() with the press's scene position, and then no clicked(). The
// style's margins keep the row's layout off its edges; a pressed row is drawn highlighted.
class MListItem : public MWidgetController
{
    Q_OBJECT

public:
    explicit MListItem(QGraphicsItem* parent = nullptr);
    ~MListItem() override;

    bool isPressed() const;

signals:
    void clicked();
    void longTapped(const QPointF& position);

protected:
    void applyStyle() override;
    void polishEvent() override;
    void drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;

    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void ungrabMouseEvent(QEvent* event) override;

private slots:
    void handleLongTap(const QPointF& scenePos);

private:
    void applyMargins();
    void setPressed(bool pressed);

    MListTapTracker* tracker;
    bool pressed = false;
};

#endif // MLISTITEM_H
