#ifndef MAINPAGELISTITEM_H
#define MAINPAGELISTITEM_H

#include "mlistitem.h"

class MImageWidget;
class MLabel;
class QGraphicsGridLayout;

// A plain tappable row outside the model lists (the library buttons, the shuffle row of the
// song pages): a title, an optional second line and a drill-down icon at the right, placed by
// the layout type chosen at construction. All three children exist whatever the layout places.
class MainPageListItem : public MListItem
{
    Q_OBJECT

public:
    enum LayoutType {
        TitleOnly = 0,
        TitleAndSubtitle = 1,
        TitleAndIcon = 2,
        TitleSubtitleAndIcon = 3
    };

    explicit MainPageListItem(int layoutType, QGraphicsItem* parent = nullptr);
    ~MainPageListItem() override;

    void setTitle(const QString& text);
    QString title() const;
    void setSubtitle(const QString& text);
    QString subtitle() const;
    void setImage(const QString& id);
    QString imageId() const;

    MLabel* titleLabel() const { return titleText; }
    MLabel* subtitleLabel() const { return subtitleText; }
    MImageWidget* icon() const { return image; }

private:
    void layoutItems(int layoutType);

    QGraphicsGridLayout* grid;
    MLabel* titleText;
    MLabel* subtitleText;
    MImageWidget* image;
};

#endif // MAINPAGELISTITEM_H
