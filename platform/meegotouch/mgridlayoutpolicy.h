#ifndef MGRIDLAYOUTPOLICY_H
#define MGRIDLAYOUTPOLICY_H

#include "mabstractlayoutpolicy.h"

#include <QHash>
#include <Qt>

// Items in the cells of a grid, each spanning one or more rows and columns.
class MGridLayoutPolicy : public MAbstractLayoutPolicy
{
public:
    explicit MGridLayoutPolicy(MLayout* layout);
    ~MGridLayoutPolicy() override;

    void addItem(QGraphicsLayoutItem* item, int row, int column, int rowSpan, int columnSpan,
                 Qt::Alignment alignment = Qt::Alignment());
    void addItem(QGraphicsLayoutItem* item, int row, int column,
                 Qt::Alignment alignment = Qt::Alignment());

    int rowCount() const;
    int columnCount() const;

    void setRowStretchFactor(int row, int stretch);
    void setColumnStretchFactor(int column, int stretch);
    void setRowSpacing(int row, qreal spacing);
    void setColumnSpacing(int column, qreal spacing);
    void setRowFixedHeight(int row, qreal height);
    void setColumnFixedWidth(int column, qreal width);
    void setAlignment(QGraphicsLayoutItem* item, Qt::Alignment alignment);

protected:
    QGraphicsLayout* buildLayout() override;
    void forgetItem(const QGraphicsLayoutItem* item) override;

private:
    struct Cell
    {
        QGraphicsLayoutItem* item = nullptr;
        int row = 0;
        int column = 0;
        int rowSpan = 1;
        int columnSpan = 1;
        Qt::Alignment alignment;
    };

    QList<Cell> cells;
    QHash<int, int> rowStretch;
    QHash<int, int> columnStretch;
    QHash<int, qreal> rowSpacing;
    QHash<int, qreal> columnSpacing;
    QHash<int, qreal> rowHeight;
    QHash<int, qreal> columnWidth;
};

#endif // MGRIDLAYOUTPOLICY_H
