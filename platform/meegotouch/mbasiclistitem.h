#ifndef MBASICLISTITEM_H
#define MBASICLISTITEM_H

#include "mlistitem.h"

#include <QPointer>

class MImageWidget;
class MLabel;

// A list row of one of four fixed shapes: a title; a title over a subtitle; an icon and a
// title; an icon beside a title over a subtitle.
class MBasicListItem : public MListItem
{
    Q_OBJECT

public:
    // Callers pass the numbers, so they are fixed.
    enum ItemStyle {
        SingleTitle = 0,
        TitleWithSubtitle = 1,
        IconWithTitle = 2,
        IconWithTitleAndSubtitle = 3
    };

    explicit MBasicListItem(ItemStyle itemStyle = SingleTitle, QGraphicsItem* parent = nullptr);
    ~MBasicListItem() override;

    ItemStyle itemStyle() const;
    void setItemStyle(ItemStyle itemStyle);

    QString title() const;
    void setTitle(const QString& title);
    QString subtitle() const;
    void setSubtitle(const QString& subtitle);

    MLabel* titleLabelWidget();
    MLabel* subtitleLabelWidget();
    // Made on first use; the item owns it.
    MImageWidget* imageWidget();
    // Takes ownership; the image shown before is deleted.
    void setImageWidget(MImageWidget* image);

private:
    void rebuildLayout();
    bool hasIcon() const;
    bool hasSubtitle() const;

    ItemStyle shape;
    QPointer<MLabel> titleLabel;
    QPointer<MLabel> subtitleLabel;
    QPointer<MImageWidget> image;
};

#endif // MBASICLISTITEM_H
