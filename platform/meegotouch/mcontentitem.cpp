#include "mcontentitem.h"

#include "mimagewidget.h"

MContentItem::MContentItem(ContentItemStyle itemStyle, QGraphicsItem* parent)
    : MBasicListItem(basicStyleFor(itemStyle), parent)
{
}

MContentItem::~MContentItem() = default;

MBasicListItem::ItemStyle MContentItem::basicStyleFor(ContentItemStyle itemStyle)
{
    switch (itemStyle) {
    case SingleTextLabel:
        return SingleTitle;
    case IconAndSingleTextLabel:
        return IconWithTitle;
    case TwoTextLabels:
        return TitleWithSubtitle;
    case IconAndTwoTextLabels:
        break;
    }
    return IconWithTitleAndSubtitle;
}

void MContentItem::setPixmap(const QPixmap& pixmap)
{
    imageId.clear();
    imageWidget()->setPixmap(pixmap);
}

void MContentItem::setImageID(const QString& id)
{
    imageId = id;
    imageWidget()->setImage(id);
}

QString MContentItem::imageID() const
{
    return imageId;
}
