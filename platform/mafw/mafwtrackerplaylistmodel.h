#ifndef MAFWTRACKERPLAYLISTMODEL_H
#define MAFWTRACKERPLAYLISTMODEL_H

#include "mafweditablemodel.h"
#include "mafwtrackermodel.h"

// The songs of one user playlist, editable.
class MafwTrackerPlaylistModel : public MafwTrackerModel, public MafwEditableModel
{
    Q_OBJECT

public:
    void insertItems(int itemType, const QList<int>& ids) override;
    void removeItems(const QList<int>& rows) override;

private:
    friend class MafwTrackerModelFactory;
    MafwTrackerPlaylistModel(MafwTrackerModelFactory* factory, int limit, int playlistId);
};

#endif // MAFWTRACKERPLAYLISTMODEL_H
