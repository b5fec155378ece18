#ifndef PLAYLISTSELECTIONSHEET_H
#define PLAYLISTSELECTIONSHEET_H

#include "msheet.h"

#include <QPointer>
#include <QSharedPointer>

class MafwTrackerModel;
class MButton;
class MLabel;
class SaveAsDialog;
class QGraphicsLinearLayout;

// Adds one library item (a song, an album or an artist, or all songs of the unknown album or
// artist) to a playlist of the user's: lists the user playlists, one button each, and offers a
// new one, named in a small dialog. The opener shows it destroy-when-dismissed and keeps no
// pointer to it.
class PlaylistSelectionSheet : public MSheet
{
    Q_OBJECT

public:
    // What the id stands for. The numbers are passed by callers, so they are fixed.
    enum ItemType {
        SongItem = 0,
        AlbumItem = 1,
        ArtistItem = 2,
        SongsWithoutAlbum = 3,  // with the id -1
        SongsWithoutArtist = 4  // with the id -1
    };

    PlaylistSelectionSheet(int itemType, int id);
    ~PlaylistSelectionSheet() override;

    int itemType() const { return type; }
    int itemId() const { return id; }
    // The name dialog of the create button while it is open.
    SaveAsDialog* nameDialog() const;

private slots:
    void handleCancelClicked();
    void handleNewClicked();
    void handleNameDialogFinished(int result);
    void rebuildPlaylistButtons();

private:
    void addToPlaylist(int playlistId);

    int type;
    int id;
    MLabel* titleLabel;
    MButton* cancelButton;
    MButton* createButton;
    QGraphicsLinearLayout* playlistLayout;
    QSharedPointer<MafwTrackerModel> playlists;
    QPointer<SaveAsDialog> namer;
};

#endif // PLAYLISTSELECTIONSHEET_H
