#ifndef MAFWEDITABLEMODEL_H
#define MAFWEDITABLEMODEL_H

#include <QList>

// The editing side of a user playlist's tracker model, reached with
// dynamic_cast<MafwEditableModel*>(trackerModel). Each request shows up on the tracker model as
// one insertion or removal of rows.
class MafwEditableModel
{
public:
    virtual ~MafwEditableModel();

    // Appends the songs that the items stand for (itemType 0 song ids, 1 album ids, 2 artist
    // ids, 3 the songs without album, 4 the songs without artist) to the end of the playlist.
    virtual void insertItems(int itemType, const QList<int>& ids) = 0;
    // Removes the entries at these rows, in any order, all at once: the rows are resolved to
    // entries before anything changes, so one entry of a song listed twice can go alone.
    virtual void removeItems(const QList<int>& rows) = 0;
};

#endif // MAFWEDITABLEMODEL_H
