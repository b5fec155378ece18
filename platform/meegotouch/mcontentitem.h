#ifndef MCONTENTITEM_H
#define MCONTENTITEM_H

#include "mbasiclistitem.h"

class QPixmap;

// A list row showing a piece of content: an optional picture with one or two lines of text.
class MContentItem : public MBasicListItem
{
    Q_OBJECT

public:
    enum ContentItemStyle {
        IconAndTwoTextLabels = 0,
        SingleTextLabel = 1,
        IconAndSingleTextLabel = 2,
        TwoTextLabels = 3
    };

    explicit MContentItem(ContentItemStyle itemStyle = IconAndTwoTextLabels,
                          QGraphicsItem* parent = nullptr);
    ~MContentItem() override;

    void setPixmap(const QPixmap& pixmap);
    void setImageID(const QString& id);
    QString imageID() const;

private:
    static ItemStyle basicStyleFor(ContentItemStyle itemStyle);

    QString imageId;
};

#endif // MCONTENTITEM_H
