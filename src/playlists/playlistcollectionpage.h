#ifndef PLAYLISTCOLLECTIONPAGE_H
#define PLAYLISTCOLLECTIONPAGE_H

#include "pageframework/quintaveilpage.h"

#include <QPointer>
#include <QString>

class AutomaticPlaylistsModel;
class CollageImageWidget;
class CollectionViewTitleWidget;
class ListModel;
class MAction;
class MContainer;
class MLabel;
class MLinearLayoutPolicy;
class MList;

// The playlists page: under its title the playlist files found in the music folder, the
// automatic playlists and, in a titled box shown while there are any, the user's own
// playlists, each list drawn by the playlist row painter. A tap opens the songs of the
// playlist; a long tap offers play, queue and (for playlist files and the user's playlists)
// delete, and composes the playlist's collage meanwhile; the toolbar's add button starts a new
// playlist from chosen songs.
//
// The page shows the empty-library text instead of the lists while no automatic playlist has
// songs (the library holds no music): it steps back when it turns empty on screen or is
// reached by a back step while empty.
//
// The automatic playlists model lives as long as this page: the page deletes it when it goes
// (after every library update the window builds the page anew).
class PlaylistCollectionPage : public QuintaveilPage
{
    Q_OBJECT

public:
    PlaylistCollectionPage(PageWindow* window, QVariant parameter);
    ~PlaylistCollectionPage() override;

    MList* automaticPlaylistsList() const { return automaticList; }
    MList* playlistFilesList() const { return fileList; }
    MList* userPlaylistsList() const { return userList; }
    MContainer* myPlaylistsContainer() const { return myPlaylists; }
    MLabel* emptyStateLabel() const { return emptyLabel; }
    bool showsEmptyLayout() const;
    MAction* addAction() const { return newPlaylistAction; }

public slots:
    void createContent() override;
    void passParameterToPage(QVariant parameter) override;
    void createToolbarActions() override;
    QHash<QString, QVariant> itemParameters(const QModelIndex& index) override;
    void handleListItemLongTap(const QModelIndex& clicked, const QPointF& position) override;
    void finishPageCreation(ObjectMenuType type = NoObjectMenu) override;
    void handlePageAppeared() override;

private slots:
    void switchLayoutPolicy();
    void showPlaylist(const QModelIndex& index);
    void finishPageCreationII();
    void preLoadSongsOfPlaylistPage();
    void setModel(MafwTrackerModel::QueryType type);
    void openSongSelectionSheet();

private:
    // A playlist of one of the three lists: its id (negative for an automatic one), its name
    // as stored, and its songs' query type (0 for an automatic one).
    struct Playlist
    {
        int id = 0;
        QString name;
        MafwTrackerModel::QueryType songs = MafwTrackerModel::NoList;
        bool valid = false;
    };
    Playlist playlistAt(const QModelIndex& index) const;
    void createLayout();
    void setAutomaticPlaylistsModel();

    QString title;
    MList* automaticList = nullptr;
    MList* fileList = nullptr;
    MList* userList = nullptr;
    QPointer<AutomaticPlaylistsModel> automaticModel;
    ListModel* automaticListModel = nullptr;
    QSharedPointer<MafwTrackerModel> fileModel;
    ListModel* fileListModel = nullptr;
    QSharedPointer<MafwTrackerModel> userModel;
    ListModel* userListModel = nullptr;
    MLinearLayoutPolicy* emptyPolicy = nullptr;
    MLinearLayoutPolicy* listPolicy = nullptr;
    MLabel* emptyLabel = nullptr;
    CollectionViewTitleWidget* titleWidget = nullptr;
    CollageImageWidget* collage = nullptr;
    QSharedPointer<MafwTrackerModel> longTappedModel;
    MAction* newPlaylistAction = nullptr;
    MContainer* myPlaylists = nullptr;
};

#endif // PLAYLISTCOLLECTIONPAGE_H
