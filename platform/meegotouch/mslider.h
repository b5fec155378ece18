#ifndef MSLIDER_H
#define MSLIDER_H

#include "mboundedvalue.h"
#include "mwidgetcontroller.h"

// A horizontal slider with a handle the user drags along the groove. valueChanged() fires for
// every change of the value, also one made with setValue(); sliderMoved() only for the user's.
// The handle can carry a label, shown above it while it is pressed.
class MSlider : public MWidgetController
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue)

public:
    explicit MSlider(QGraphicsItem* parent = nullptr);
    ~MSlider() override;

    int minimum() const;
    int maximum() const;
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    void setRange(int minimum, int maximum);
    int value() const;

    void setHandleLabel(const QString& text);
    void setHandleLabelVisible(bool visible);

    // Takes in the room of the handle's bubble above the slider, so that the bubble is
    // repainted away with the slider.
    QRectF boundingRect() const override;

public slots:
    void setValue(int value);

signals:
    void valueChanged(int value);
    void sliderPressed();
    void sliderReleased();
    void sliderMoved(int value);

protected:
    QSizeF contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const override;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void ungrabMouseEvent(QEvent* event) override;

    // The groove, and the x of a value on it.
    QRectF grooveRect() const;
    qreal positionOf(int value) const;
    // Paints what lies on the groove under the handle (the seek bar adds its loaded part).
    virtual void drawGroove(QPainter* painter, const QRectF& groove) const;

private:
    int valueAt(qreal x) const;
    QRectF bubbleRect(qreal handleX) const;
    void userMovedTo(qreal x);

    MBoundedValue bounded;
    QString label;
    bool labelVisible = false;
    bool down = false;
};

#endif // MSLIDER_H
