#ifndef ZELOVERLAYLABEL_H
#define ZELOVERLAYLABEL_H

#include "mwidgetcontroller.h"
#include "zeloverlaylabelstyle.h"

#include <QPixmap>

class MImageWidget;
class MLabel;
class MStylableWidget;

// A picture with a title over its lower edge and a small image in its upper right corner; a
// tap gives clicked(). The text, the title's ground and the small image take style names of
// their own.
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

    void setTextStyleName(const QString& name);
    void setBackgroundStyleName(const QString& name);
    void setSmallImageStyleName(const QString& name);

signals:
    void clicked();

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private:
    void placeParts();

    MImageWidget* picture;
    MStylableWidget* ground;
    MLabel* text;
    MImageWidget* smallPicture;
};

#endif // ZELOVERLAYLABEL_H
