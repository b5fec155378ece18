#ifndef MABSTRACTCELLCREATOR_H
#define MABSTRACTCELLCREATOR_H

#include "mcellcreator.h"
#include "mwidgetrecycler.h"

#include <QSizeF>
#include <QString>

class QModelIndex;

// The common part of a cell creator whose rows are widgets of class T (a QObject with its own
// meta-object, default-constructible, derived from MWidget). Subclasses fill cells in
// updateCell(); cells are recycled by T's class name.
//
// The cell size is (-1, -1) until set. A creator that never sets it gets the preferred size of
// one prototype T, measured at the first question.
template <class T>
class MAbstractCellCreator : public MCellCreator
{
public:
    MAbstractCellCreator() = default;
    ~MAbstractCellCreator() override = default;

    MWidget* createCell(const QModelIndex& index, MWidgetRecycler& recycler) const override
    {
        MWidget* cell = recycler.take(QString::fromLatin1(T::staticMetaObject.className()));
        if (!cell) {
            cell = new T();
            applyCellNames(cell, cellObjectNameValue);
        }
        updateCell(index, cell);
        return cell;
    }

    QSizeF cellSize() const override
    {
        if (!size.isValid() && !measured) {
            T prototype;
            size = prototype.effectiveSizeHint(Qt::PreferredSize);
            measured = true;
        }
        return size;
    }

    void setCellSize(const QSizeF& cellSize) { size = cellSize; }

    QString cellObjectName() const { return cellObjectNameValue; }
    void setCellObjectName(const QString& name) { cellObjectNameValue = name; }

private:
    mutable QSizeF size { -1, -1 };
    mutable bool measured = false;
    QString cellObjectNameValue;
};

#endif // MABSTRACTCELLCREATOR_H
