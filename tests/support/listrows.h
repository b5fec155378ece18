#ifndef LISTROWS_H
#define LISTROWS_H

// Rows of the list pages as a test reaches them: by title, and as they are laid out on screen.
// Header only: the tests that include it link the pages.

#include "data/listmodel.h"
#include "mlabel.h"
#include "mlist.h"
#include "pageframework/songcollectionlistitem.h"

#include <QCoreApplication>
#include <QTest>

// Every row of the list in list order: the items of each group, or of a flat list.
inline QModelIndexList listRows(ListModel* list)
{
    QModelIndexList rows;
    for (int g = 0; g < list->groupCount(); ++g) {
        const QModelIndex header = list->index(g, 0);
        for (int r = 0; r < list->rowCount(header); ++r)
            rows.append(list->index(r, 0, header));
    }
    for (int r = 0; list->groupCount() == 0 && r < list->rowCount(); ++r)
        rows.append(list->index(r, 0));
    return rows;
}

// The titles (column 1: a song's title, an album's, artist's or playlist's name) in list order.
inline QStringList titlesListed(ListModel* list)
{
    QStringList titles;
    for (const QModelIndex& row : listRows(list))
        titles.append(row.data(Qt::UserRole + 1).toString());
    return titles;
}

// The list index of the first row whose title is the text.
inline QModelIndex rowTitled(ListModel* list, const QString& title)
{
    for (const QModelIndex& row : listRows(list)) {
        if (row.data(Qt::UserRole + 1).toString() == title)
            return row;
    }
    return QModelIndex();
}

// Every song row on screen is as wide as the list, with "artist | album" beside the length on
// its second line; a row laid out at another width shows a few letters and an ellipsis.
inline void verifySongRowsSpanTheList(MList* list)
{
    QCoreApplication::processEvents();
    const qreal width = list->size().width();
    int rows = 0;
    for (MWidget* shown : list->visibleCells()) {
        auto* row = qobject_cast<SongCollectionListItem*>(shown);
        if (!row)
            continue;
        ++rows;
        QCOMPARE(row->size().width(), width);
        QVERIFY2(row->subtitleLabel()->size().width() > width / 2,
                 qPrintable(row->titleLabel()->text()));
        QVERIFY(row->infoLabel()->x() > width / 2);
    }
    QVERIFY(rows > 0);
}

#endif // LISTROWS_H
