#ifndef MCELLCREATOR_H
#define MCELLCREATOR_H

#include <QSizeF>

class MWidget;
class MWidgetRecycler;
class QModelIndex;
class QString;

// What a list asks of the object that draws its rows: a widget for a row (new or recycled),
// filling an existing widget again when the row's data change, and the one size every row of
// the list takes.
//
// A list does not delete the creators it is given. A creator that is also a QObject and has no
// Qt parent becomes a child of the list and goes with it; one that has a parent stays with it,
// and the list forgets it when it is destroyed.
class MCellCreator
{
public:
    virtual ~MCellCreator();

    virtual MWidget* createCell(const QModelIndex& index, MWidgetRecycler& recycler) const = 0;
    virtual void updateCell(const QModelIndex& index, MWidget* cell) const = 0;
    virtual QSizeF cellSize() const = 0;

protected:
    // Gives a newly made cell the creator's view type and object name (those that are not
    // empty). The object name also names the cell's style when the cell has none of its own.
    static void applyCellNames(MWidget* cell, const QString& objectName);
};

#endif // MCELLCREATOR_H
