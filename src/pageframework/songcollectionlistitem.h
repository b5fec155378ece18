#ifndef SONGCOLLECTIONLISTITEM_H
#define SONGCOLLECTIONLISTITEM_H

#include "mlistitem.h"

class MImageWidget;
class MLabel;

// A song row: a title, an optional second line, a small image beside the title (the favourite
// mark) and a short text at the right (the length). The children are made when first asked
// for; the chosen layout places the ones it needs at once.
class SongCollectionListItem : public MListItem
{
    Q_OBJECT

public:
    enum LayoutType { SingleRow = 0, TwoRows = 1 };

    SongCollectionListItem(int layout, QGraphicsItem* parent);
    ~SongCollectionListItem() override;

    MLabel* titleLabel();
    MLabel* subtitleLabel();
    MLabel* infoLabel();
    MImageWidget* imageWidget();

    void setTitle(const QString& title);
    void setSubtitle(const QString& subtitle);
    void setInfo(const QString& info);

private:
    void buildSingleRow();
    void buildTwoRows();

    MImageWidget* image = nullptr;
    MLabel* info = nullptr;
    MLabel* subtitle = nullptr;
    MLabel* title = nullptr;
};

#endif // SONGCOLLECTIONLISTITEM_H
