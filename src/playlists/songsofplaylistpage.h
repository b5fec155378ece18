#ifndef SONGSOFPLAYLISTPAGE_H
#define SONGSOFPLAYLISTPAGE_H

#include "pageframework/songpage.h"

#include <QPointer>
#include <QString>

class MAction;
class PlaylistInfoWidget;

// The songs of one playlist, under the playlist's panel (collage, number of songs, length)
// and a shuffle row. The parameter names the playlist ("playlistId", "playlistName" and, for
// an automatic playlist, "automaticPlaylistModel"; "userPlaylist" for one of the user's):
//  - an automatic playlist shows the automatic playlists model's own tracker model and plays
//    a copy of it, so the queue stays as it was started while the playlist changes;
//  - a playlist file shows its songs, read-only;
//  - a user playlist also has three application-menu entries: add songs, remove songs and
//    delete the playlist (after the user confirms).
// A tap on a row or on the collage plays the playlist from there. The page steps back when
// the playlist has no songs left, when favourites shows without songs, and once when the
// playlist it shows has been deleted.
class SongsOfPlaylistPage : public SongPage
{
    Q_OBJECT

public:
    explicit SongsOfPlaylistPage(PageWindow* window);
    ~SongsOfPlaylistPage() override;

    using QuintaveilPage::play;

    PlaylistInfoWidget* playlistHeader() const;
    CollectionViewShuffleWidget* shuffleWidget() const { return shuffleRow; }
    int playlistId() const { return shownSongs().trackerId; }
    QString playlistName() const { return shownSongs().playName; }
    MafwTrackerModel::QueryType playlistQueryType() const { return shownSongs().type; }
    // The user playlist's entries; null until the first user playlist.
    MAction* addSongsAction() const { return addEntry; }
    MAction* removeSongsAction() const { return removeEntry; }
    MAction* deletePlaylistAction() const { return deleteEntry; }

protected slots:
    void createContent() override;

private slots:
    void handleAppeared();
    void handleAddActionTrigger();
    void handleRemoveActionTrigger();
    void handleDeleteActionTrigger();
    void deletePlaylist(int dialogResult);
    void deletionFinishedSlot(int deleted, int failed);

private:
    void songsShown() override;
    void addEditActions();
    void removeEditActions();
    void openSongSelectionSheet(int mode);
    bool isOnDisplay() const;

    MAction* addEntry = nullptr;
    MAction* removeEntry = nullptr;
    MAction* deleteEntry = nullptr;
    // The toolbar placeholder, taken off the page while the edit entries are on it.
    QPointer<QAction> heldPlaceholder;
};

#endif // SONGSOFPLAYLISTPAGE_H
