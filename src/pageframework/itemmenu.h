#ifndef ITEMMENU_H
#define ITEMMENU_H

#include "activity/activity.h"
#include "mafwtrackermodel.h"
#include "objectmenutype.h"

#include <functional>

#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>

class DeleteObjectDialog;
class ItemMenuHost;
class MAction;
class MObjectMenu;
class MSceneWindow;

// The long-tap menu of a page's list items and what its entries do: play, queue, add to a
// playlist, mark as favourite, details, ringing tone and delete (after the user confirms).
//
// The menu acts on the item that was long-tapped, known by its id: rows that come and go
// meanwhile never make it act on another item, and an item that went away is acted on by no
// entry. A row that is no item of the page's model (the songs without an artist or album, an
// artist's own row) is a special row: the page marks it right after opening the menu, and the
// entries act on the songs it stands for. The menu asks its page only what ItemMenuHost names;
// what kind of page it serves, the page says with setDeletePermission() and
// setArtistRowIsPageSubject().
class ItemMenu : public QObject
{
    Q_OBJECT

public:
    enum SpecialRow {
        NoSpecialRow,
        UnknownArtistRow,        // the songs without an artist
        UnknownAlbumRow,         // the songs without an album
        UnknownAlbumOfArtistRow, // one artist's songs without an album (id: the artist)
        ArtistRow                // all of one artist's songs (id: the artist)
    };

    // What an item offered to a playlist is; the playlist sheet takes these numbers.
    enum PlaylistItem {
        SongItem = 0,
        AlbumItem = 1,
        ArtistItem = 2,
        SongsWithoutAlbumItem = 3, // with the id -1
        SongsWithoutArtistItem = 4 // with the id -1
    };

    // The playlist sheet lives above the pages: the window installs what opens it for an
    // item. Without an opener nothing is offered.
    static void setPlaylistSheetOpener(std::function<void(int itemType, int id)> opener);

    // The menu and its delete question appear over the page, which owns the menu.
    ItemMenu(ItemMenuHost* host, MSceneWindow* page);
    ~ItemMenu() override;

    // Builds the menu of the type, once; NoObjectMenu (or an unknown type) makes none, and
    // then the menu never opens.
    void createMenu(ObjectMenuType type);
    MObjectMenu* menu() const;

    // Opens the menu for a row of the page's list; an invalid index for a special row.
    void openFor(const QModelIndex& index);
    // Marks the row the menu was opened for (with the item's id and name where the row needs
    // them).
    void markSpecialRow(SpecialRow row, int id = -1, const QString& name = QString());
    SpecialRow specialRow() const { return special; }
    // A page that gives a permission offers the delete entry only while it is permitted (the
    // playlists page: not every playlist can go); a page that never gives one always offers it.
    void setDeletePermission(bool permitted);
    // The artist row stands for the artist the page shows: once the artist is deleted, the
    // page steps back.
    void setArtistRowIsPageSubject(bool subject);
    // The long-tapped item as the list shows it now; invalid when it is gone.
    QModelIndex longTappedItem() const;
    void hide();

    // The entries.
    void play();
    void addToQueue();
    void addToPlaylist();
    void markAsFavourite();
    void viewDetails();
    void setAsRingtone(const QModelIndex& index);
    // index: an item of the page's list; invalid for the long-tapped item or special row.
    void deleteItem(const QModelIndex& index);
    // Asks whether to delete the item (type NoList: nothing) and deletes it on Yes.
    void deleteFromLibrary(MafwTrackerModel::QueryType type, int trackerId, const QString& name);

private slots:
    void processDeleteDialogResult(int resultCode);

private:
    static std::function<void(int, int)>& playlistSheetOpener();
    void addEntry(MAction* action);
    void showDeleteEntry(bool shown);
    void updateEntries(const QModelIndex& index);
    QSharedPointer<MafwTrackerModel> specialRowModel(QString* name,
                                                     Activity::ActivityType* type) const;
    // Where the page model's items keep what the entries read, by the model's family; -1
    // where the family has no such column.
    struct Fields
    {
        int id = -1;
        int name = -1;
        int favourite = -1;
        int songId = -1;
    };
    Fields itemFields() const;
    int itemIdAt(const QModelIndex& index) const;
    // A column of the page model's row of the index; invalid for column -1.
    QVariant pageModelCell(const QModelIndex& index, int column) const;
    // A column of the row as the index's own model serves it.
    QVariant itemCell(const QModelIndex& index, int column) const;
    int longTappedSongId() const;

    ItemMenuHost* host;
    MSceneWindow* page;
    QPointer<MObjectMenu> objectMenu;
    QPointer<MAction> favouriteEntry;
    QPointer<MAction> deleteEntry;
    bool deleteByPermission = false;
    bool deletePermission = true;
    bool artistRowIsPageSubject = false;
    QString favouriteText;
    QString unmarkFavouriteText;

    QPersistentModelIndex longTappedIndex;
    int longTappedId = 0; // the item's id, read when it was tapped
    SpecialRow special = NoSpecialRow;
    int specialId = -1;
    QString specialName;

    // The pending delete request and the dialog that asks for it.
    int deleteTrackerId = 0;
    MafwTrackerModel::QueryType deleteQueryType = MafwTrackerModel::NoList;
    QPointer<DeleteObjectDialog> deleteDialog;
};

#endif // ITEMMENU_H
