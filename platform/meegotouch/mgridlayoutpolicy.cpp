#include "mgridlayoutpolicy.h"

#include "mlayoutitemproxy.h"

#include <QGraphicsGridLayout>

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
    for (auto it = rowStretch.constBegin(); it != rowStretch.constEnd(); ++it)
        if (it.key() < rows)
            layout->setRowStretchFactor(it.key(), it.value());
    for (auto it = columnStretch.constBegin(); it != columnStretch.constEnd(); ++it)
        if (it.key() < columns)
            layout->setColumnStretchFactor(it.key(), it.value());
    for (auto it = rowSpacing.constBegin(); it != rowSpacing.constEnd(); ++it)
        if (it.key() < rows)
            layout->setRowSpacing(it.key(), it.value());
    for (auto it = columnSpacing.constBegin(); it != columnSpacing.constEnd(); ++it)
        if (it.key() < columns)
            layout->setColumnSpacing(it.key(), it.value());
    for (auto it = rowHeight.constBegin(); it != rowHeight.constEnd(); ++it)
        if (it.key() < rows)
            layout->setRowFixedHeight(it.key(), it.value());
    for (auto it = columnWidth.constBegin(); it != columnWidth.constEnd(); ++it)
        if (it.key() < columns)
            layout->setColumnFixedWidth(it.key(), it.value());
    return layout;
}
