#ifndef MOVERLAY_H
#define MOVERLAY_H

#include "mscenewindow.h"

#include <QPointer>

// A layer that covers its parent item (or, appearing on a window, the whole screen) above
// everything else there, holding one widget. Presses on it do not reach what lies beneath.
class MOverlay : public MSceneWindow
{
    Q_OBJECT

public:
    explicit MOverlay(QGraphicsItem* parent = nullptr);
    ~MOverlay() override;

    // The overlay owns the widget; one set before is deleted.
    void setWidget(QGraphicsWidget* widget);
    QGraphicsWidget* widget() const;

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

private:
    void coverParent();

    QPointer<QGraphicsWidget> content;
};

#endif // MOVERLAY_H
