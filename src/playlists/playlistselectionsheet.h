#ifndef PLAYLISTSELECTIONSHEET_H
#define PLAYLISTSELECTIONSHEET_H

#include "msheet.h"

#include <QSharedPointer>

#include "mafwtrackermodel.h"

class ListModel;
class MButton;
class MLabel;
class MList;

// Adds one library item (a song, an album or an artist by tracker id, or with the id -1 all
// songs without album or without artist) to a playlist of the user's: lists the user
// playlists, and a tap on one adds the item to it (the playlist worker then shows the
// songs-added banner); the create button instead opens the save sheet, which names a new
// playlist holding the item. The title shows exactly while there is a user playlist; the
// create button stays at the foot of the sheet either way. The opener shows the sheet
// destroy-when-dismissed and keeps no pointer to it.
class PlaylistSelectionSheet : public MSheet
{
    Q_OBJECT

public:
    // itemType: what the id stands for, a MafwTrackerModelFactory::PlaylistItemType.
    PlaylistSelectionSheet(int itemType, int id);
    ~PlaylistSelectionSheet() override;

    int itemType() const { return type; }
    int itemId() const { return id; }
    MList* playlistList() const { return list; }
    MButton* createButton() const { return create; }
    MLabel* titleLabel() const { return title; }

private slots:
    void handleCancelClicked();
    void handleNewClicked();
    void handleListItemClick(const QModelIndex& index);
    void handleAppeared();
    void handleRowsInserted(QModelIndex parent, int start, int end);
    void handleRowsRemoved(QModelIndex parent, int start, int end);
    void handleModelCreated(MafwTrackerModel::QueryType type);

private:
    void takePlaylistsModel();
    void followPlaylistsModel();
    void showTitleWhileThereArePlaylists();

    int type;
    int id;
    MButton* cancel;
    MButton* create;
    MList* list;
    MLabel* title;
    ListModel* listModel;
    QSharedPointer<MafwTrackerModel> playlists;
    bool shown = false;
};

#endif // PLAYLISTSELECTIONSHEET_H
