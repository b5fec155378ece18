#ifndef ZELOVERLAYLABEL_H
#define ZELOVERLAYLABEL_H

#include "mwidgetcontroller.h"
#include "zeloverlaylabelstyle.h"

#include <QPixmap>
#include <QPointF>

class MImageWidget;
class MLabel;
class MListTapTracker;
class MStylableWidget;

// A picture with a title over its lower edge and a small image at the right end of the
// title's ground; a tap gives clicked(), a press held still for the long-tap time
// longTapped() with the press's scene position (and then no clicked()). A disabled label takes
// neither. The text, the title's ground and the small image take style names of their own.
class ZelOverlayLabel : public MWidgetController
{
    Q_OBJECT
    M_STYLABLE_WIDGET(ZelOverlayLabelStyle)

public:
    ZelOverlayLabel(const QString& styleName, QGraphicsItem* parent);
    ~ZelOverlayLabel() override;

    void setTitle(const QString& title);
    QString title() const;
    void setImage(const QPixmap& pixmap);
    QPixmap image() const;
    // A theme icon id.
    void setSmallImage(const QString& iconId);
    QString smallImage() const;

    void setOverlayTextLabelStyleName(const QString& name);
    void setOverlayBackgroundStyleName(const QString& name);
    void setSmallImageStyleName(const QString& name);

signals:
    void clicked();
    void longTapped(QPointF position);

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void ungrabMouseEvent(QEvent* event) override;

private:
    void placeParts();

    MImageWidget* picture;
    MStylableWidget* ground;
    MLabel* text;
    MImageWidget* smallPicture;
    MListTapTracker* tapTracker;
};

#endif // ZELOVERLAYLABEL_H
