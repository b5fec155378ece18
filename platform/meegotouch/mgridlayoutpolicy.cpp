#include "mgridlayoutpolicy.h"

#include "mlayoutitemproxy.h"

#include <QGraphicsGridLayout>

namespace {

// Settings of rows or columns that the grid has now; those of others wait until it has them.
template <class T>
void applyWithin(const QHash<int, T>& settings, int count, QGraphicsGridLayout* layout,
                 void (QGraphicsGridLayout::*set)(int, T))
{
    for (auto it = settings.constBegin(); it != settings.constEnd(); ++it) {
        if (it.key() < count)
            (layout->*set)(it.key(), it.value());
    }
}

} // namespace

MGridLayoutPolicy::MGridLayoutPolicy(MLayout* layout)
    : MAbstractLayoutPolicy(layout)
{
}

MGridLayoutPolicy::~MGridLayoutPolicy() = default;

void MGridLayoutPolicy::addItem(QGraphicsLayoutItem* item, int row, int column, int rowSpan,
                                int columnSpan, Qt::Alignment alignment)
{
    if (!item || indexOf(item) >= 0)
        return;
    Cell cell;
    cell.item = item;
    cell.row = row;
    cell.column = column;
    cell.rowSpan = qMax(1, rowSpan);
    cell.columnSpan = qMax(1, columnSpan);
    cell.alignment = alignment;
    cells.append(cell);
    addToPolicy(item);
}

void MGridLayoutPolicy::addItem(QGraphicsLayoutItem* item, int row, int column,
                                Qt::Alignment alignment)
{
    addItem(item, row, column, 1, 1, alignment);
}

int MGridLayoutPolicy::rowCount() const
{
    int rows = 0;
    for (const Cell& c : cells)
        rows = qMax(rows, c.row + c.rowSpan);
    return rows;
}

int MGridLayoutPolicy::columnCount() const
{
    int columns = 0;
    for (const Cell& c : cells)
        columns = qMax(columns, c.column + c.columnSpan);
    return columns;
}

void MGridLayoutPolicy::setRowStretchFactor(int row, int stretch)
{
    rowStretch.insert(row, stretch);
    rebuild();
}

void MGridLayoutPolicy::setColumnStretchFactor(int column, int stretch)
{
    columnStretch.insert(column, stretch);
    rebuild();
}

void MGridLayoutPolicy::setRowSpacing(int row, qreal spacing)
{
    rowSpacing.insert(row, spacing);
    rebuild();
}

void MGridLayoutPolicy::setColumnSpacing(int column, qreal spacing)
{
    columnSpacing.insert(column, spacing);
    rebuild();
}

void MGridLayoutPolicy::setRowFixedHeight(int row, qreal height)
{
    rowHeight.insert(row, height);
    rebuild();
}

void MGridLayoutPolicy::setColumnFixedWidth(int column, qreal width)
{
    columnWidth.insert(column, width);
    rebuild();
}

void MGridLayoutPolicy::setAlignment(QGraphicsLayoutItem* item, Qt::Alignment alignment)
{
    for (Cell& c : cells) {
        if (c.item == item)
            c.alignment = alignment;
    }
    rebuild();
}

void MGridLayoutPolicy::forgetItem(const QGraphicsLayoutItem* item)
{
    for (int i = cells.size() - 1; i >= 0; --i) {
        if (cells.at(i).item == item)
            cells.removeAt(i);
    }
}

QGraphicsLayout* MGridLayoutPolicy::buildLayout()
{
    auto* layout = new QGraphicsGridLayout;
    layout->setHorizontalSpacing(horizontalSpacing());
    layout->setVerticalSpacing(verticalSpacing());
    for (const Cell& c : qAsConst(cells)) {
        MLayoutItemProxy* proxy = proxyFor(c.item);
        if (!proxy)
            continue;
        layout->addItem(proxy, c.row, c.column, c.rowSpan, c.columnSpan, c.alignment);
    }
    const int rows = layout->rowCount();
    const int columns = layout->columnCount();
    applyWithin(rowStretch, rows, layout, &QGraphicsGridLayout::setRowStretchFactor);
    applyWithin(columnStretch, columns, layout, &QGraphicsGridLayout::setColumnStretchFactor);
    applyWithin(rowSpacing, rows, layout, &QGraphicsGridLayout::setRowSpacing);
    applyWithin(columnSpacing, columns, layout, &QGraphicsGridLayout::setColumnSpacing);
    applyWithin(rowHeight, rows, layout, &QGraphicsGridLayout::setRowFixedHeight);
    applyWithin(columnWidth, columns, layout, &QGraphicsGridLayout::setColumnFixedWidth);
    return layout;
}
