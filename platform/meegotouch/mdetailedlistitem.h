#ifndef MDETAILEDLISTITEM_H
#define MDETAILEDLISTITEM_H

#include "mlistitem.h"

#include <QPointer>

class MImageWidget;
class MLabel;
class QGraphicsLayout;

// A list row with an image at the left, a title over a subtitle and, in the second item style,
// a small text at the right end of the subtitle line.
//
// The layout is made late (when the item is first polished, or by initLayout()), through the
// virtual createLayout(), so that subclasses can give their own. The label and image accessors
// make their widget again when a subclass's clearLayout() has deleted it.
class MDetailedListItem : public MListItem
{
    Q_OBJECT

public:
    // Callers pass the numbers, so they are fixed.
    enum ItemStyle { IconTitleSubtitle = 0, IconTitleSubtitleAndSideLabel = 1 };
    enum IconStyle { Icon = 0, Thumbnail = 1 };

    explicit MDetailedListItem(ItemStyle itemStyle = IconTitleSubtitle,
                               QGraphicsItem* parent = nullptr);
    ~MDetailedListItem() override;

    ItemStyle itemStyle() const;

    IconStyle iconStyle() const;
    // Sizes the image for the icon style, unless it was given a style of its own.
    void setIconStyle(IconStyle iconStyle);

    MLabel* titleLabelWidget();
    MLabel* subtitleLabelWidget();
    MLabel* sideBottomLabelWidget();
    MImageWidget* imageWidget();
    // Takes ownership; the image shown before is deleted. The layout is made again when it is
    // this class's own.
    void setImageWidget(MImageWidget* image);

    QString title() const;
    void setTitle(const QString& title);
    QString subtitle() const;
    void setSubtitle(const QString& subtitle);
    QString sideBottomTitle() const;
    void setSideBottomTitle(const QString& title);

    // clearLayout(), then createLayout(), and the result becomes the item's layout.
    void initLayout();

protected:
    // The layout of the item style (not yet installed). Subclasses may return their own,
    // installed or not.
    virtual QGraphicsLayout* createLayout();
    // Takes this class's own layout off the item; a layout of a subclass is left alone.
    virtual void clearLayout();

    void polishEvent() override;

private:
    QString defaultImageStyle() const;

    ItemStyle shape;
    IconStyle iconShape = Icon;
    bool layoutMade = false;
    QPointer<MLabel> titleLabel;
    QPointer<MLabel> subtitleLabel;
    QPointer<MLabel> sideBottomLabel;
    QPointer<MImageWidget> image;
};

#endif // MDETAILEDLISTITEM_H
