#ifndef PLAYLISTSAVESHEET_H
#define PLAYLISTSAVESHEET_H

#include "msaveasdialog.h"

#include <QList>

// Names a new playlist: the name the user confirms becomes a user playlist holding the given
// items (ids of the item type's kind). Making the name unique and creating the playlist are
// the playlist worker's; the sheet reports nothing back to its opener.
class PlaylistSaveSheet : public MSaveAsDialog
{
    Q_OBJECT

public:
    PlaylistSaveSheet(QList<int> ids, int itemType);
    ~PlaylistSaveSheet() override;

    QList<int> itemIds() const { return ids; }
    int itemType() const { return type; }

protected slots:
    virtual void handleSave(const QString& name);

private:
    QList<int> ids;
    int type;
};

#endif // PLAYLISTSAVESHEET_H
