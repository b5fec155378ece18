#ifndef MLINEARLAYOUTPOLICY_H
#define MLINEARLAYOUTPOLICY_H

#include "mabstractlayoutpolicy.h"

#include <QHash>
#include <Qt>

// Items in a row or a column, with stretches between them.
class MLinearLayoutPolicy : public MAbstractLayoutPolicy
{
public:
    MLinearLayoutPolicy(MLayout* layout, Qt::Orientation orientation);
    ~MLinearLayoutPolicy() override;

    Qt::Orientation orientation() const;
    void setOrientation(Qt::Orientation orientation);

    void addItem(QGraphicsLayoutItem* item);
    void addItem(QGraphicsLayoutItem* item, Qt::Alignment alignment);
    // The index counts items only, not stretches.
    void insertItem(int index, QGraphicsLayoutItem* item);
    void insertItem(int index, QGraphicsLayoutItem* item, Qt::Alignment alignment);
    void addStretch(int stretch = 1);
    void insertStretch(int index, int stretch = 1);

    void setStretchFactor(QGraphicsLayoutItem* item, int stretch);
    void setAlignment(QGraphicsLayoutItem* item, Qt::Alignment alignment);
    Qt::Alignment alignment(QGraphicsLayoutItem* item) const;
    void setItemSpacing(int index, qreal spacing);

    qreal spacing() const;

protected:
    QGraphicsLayout* buildLayout() override;
    void forgetItem(const QGraphicsLayoutItem* item) override;

private:
    struct Entry
    {
        QGraphicsLayoutItem* item = nullptr; // null: a stretch
        int stretch = 0;
        Qt::Alignment alignment;
    };
    int entryIndexForItemIndex(int itemIndex) const;

    Qt::Orientation direction;
    QList<Entry> entries;
    QHash<int, qreal> itemSpacings;
};

#endif // MLINEARLAYOUTPOLICY_H
