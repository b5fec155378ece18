#include "itemmenu.h"

#include "deleteobjectdialog.h"
#include "itemmenuhost.h"
#include "ringtonesetter.h"

#include "common/logging.h"
#include "common/shownplaylistname.h"
#include "data/modelcolumns.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "maction.h"
#include "mafwtrackermodelfactory.h"
#include "mnamespace.h"
#include "mobjectmenu.h"
#include "mscenemanager.h"
#include "mscenewindow.h"

using namespace Parlovance;

namespace {

bool isSongList(MafwTrackerModel::QueryType type)
{
    return (type >= MafwTrackerModel::AllSongs && type <= MafwTrackerModel::SongsOfUserPlaylist)
           || type == MafwTrackerModel::SongsOfAlbumByArtist;
}

bool isAlbumList(MafwTrackerModel::QueryType type)
{
    return type == MafwTrackerModel::AllAlbums || type == MafwTrackerModel::AlbumsOfArtist
           || type == MafwTrackerModel::AlbumsWithoutArtist;
}

bool isPlaylistList(MafwTrackerModel::QueryType type)
{
    return type == MafwTrackerModel::PlaylistFiles || type == MafwTrackerModel::UserPlaylists;
}

// The song sets that an empty id list names as a whole.
bool isWholeSet(MafwTrackerModel::QueryType type)
{
    return type == MafwTrackerModel::SongsOfUnknownArtist
           || type == MafwTrackerModel::SongsOfUnknownAlbum
           || type == MafwTrackerModel::SongsWithoutAlbumAndArtist;
}

bool isDeletable(MafwTrackerModel::QueryType type)
{
    return isSongList(type) || isAlbumList(type) || isPlaylistList(type)
           || type == MafwTrackerModel::AllArtists
           || type == MafwTrackerModel::UnknownAlbumOfArtist;
}

} // namespace

ItemMenu::ItemMenu(ItemMenuHost* menuHost, MSceneWindow* owner)
    : QObject(owner)
    , host(menuHost)
    , page(owner)
    , favouriteText(qtTrId("qtn_comm_command_favorite"))
    , unmarkFavouriteText(qtTrId("qtn_comm_command_unmark_favorite"))
{
}

// The page deletes the menu itself, in its own teardown.
ItemMenu::~ItemMenu() = default;

MObjectMenu* ItemMenu::menu() const
{
    return objectMenu;
}

void ItemMenu::createMenu(ObjectMenuType type)
{
    const bool songs = type == SongObjectMenu || type == SongObjectMenuWithoutDelete;
    const bool collections = type == CollectionObjectMenu
                             || type == CollectionObjectMenuWithoutPlaylist;
    if (objectMenu || (!songs && !collections))
        return;
    objectMenu = new MObjectMenu(nullptr);
    objectMenu->setStyleName(QStringLiteral("Inverted"));

    auto entry = [this](const QString& text, void (ItemMenu::*slot)()) {
        auto* action = new MAction(text, objectMenu);
        addEntry(action);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    const QString addToQueueText = qtTrId("qtn_musi_addtoplaylist");
    const QString addToPlaylistText = qtTrId("qtn_musi_add_to_playlist");
    if (songs) {
        entry(addToQueueText, &ItemMenu::addToQueue);
        entry(addToPlaylistText, &ItemMenu::addToPlaylist);
        favouriteEntry = entry(favouriteText, &ItemMenu::markAsFavourite);
        entry(qtTrId("qtn_comm_object_details"), &ItemMenu::viewDetails);
        auto* ringtone = new MAction(qtTrId("qtn_musi_set_ring_tone"), objectMenu);
        addEntry(ringtone);
        connect(ringtone, &QAction::triggered, this, [this] { setAsRingtone(QModelIndex()); });
    } else {
        entry(qtTrId("qtn_musi_play"), &ItemMenu::play);
        entry(addToQueueText, &ItemMenu::addToQueue);
        if (type == CollectionObjectMenu)
            entry(addToPlaylistText, &ItemMenu::addToPlaylist);
    }
    deleteEntry = new MAction(qtTrId("qtn_comm_command_delete"), objectMenu);
    connect(deleteEntry, &QAction::triggered, this, [this] { deleteItem(QModelIndex()); });
    if (type != SongObjectMenuWithoutDelete)
        showDeleteEntry(true);
}

void ItemMenu::addEntry(MAction* action)
{
    action->setLocation(MAction::ObjectMenuLocation);
    objectMenu->addAction(action);
}

void ItemMenu::showDeleteEntry(bool shown)
{
    const bool isShown = objectMenu->actions().contains(deleteEntry);
    if (shown && !isShown)
        addEntry(deleteEntry);
    else if (!shown && isShown)
        objectMenu->removeAction(deleteEntry);
}

void ItemMenu::hide()
{
    if (objectMenu)
        objectMenu->disappear();
}

void ItemMenu::setDeletePermission(bool permitted)
{
    deleteByPermission = true;
    deletePermission = permitted;
}

void ItemMenu::setArtistRowIsPageSubject(bool subject)
{
    artistRowIsPageSubject = subject;
}

void ItemMenu::markSpecialRow(SpecialRow row, int id, const QString& name)
{
    special = row;
    specialId = id;
    specialName = name;
}

void ItemMenu::openFor(const QModelIndex& index)
{
    special = NoSpecialRow;
    if (!objectMenu)
        return;
    if (index.isValid()) {
        longTappedIndex = index;
        longTappedId = itemIdAt(index);
        updateEntries(index);
    } else {
        // A row that is no item of the page model: the mark the page sets next says what it
        // is, and no earlier row may stand in for it.
        longTappedIndex = QPersistentModelIndex();
        longTappedId = 0;
    }
    if (MSceneManager* manager = page->sceneManager())
        manager->appearSceneWindow(objectMenu, MSceneWindow::KeepWhenDone);
}

void ItemMenu::updateEntries(const QModelIndex& index)
{
    const QVariant favourite = pageModelCell(index, itemFields().favourite);
    if (favouriteEntry && favourite.isValid())
        favouriteEntry->setText(favourite.toBool() ? unmarkFavouriteText : favouriteText);
    if (deleteByPermission)
        showDeleteEntry(deletePermission);
}

// ---- the item ----

ItemMenu::Fields ItemMenu::itemFields() const
{
    Fields fields;
    const QSharedPointer<MafwTrackerModel> model = host->currentPageModel();
    if (!model)
        return fields;
    const MafwTrackerModel::QueryType type = model->queryType();
    if (isSongList(type)) {
        const SongColumns songs;
        fields.id = songs.songId;
        fields.name = songs.title;
        fields.favourite = songs.favorited;
        fields.songId = songs.songId;
    } else if (type >= MafwTrackerModel::AllAlbums
               && type <= MafwTrackerModel::AlbumsWithoutArtist) {
        fields.id = AlbumColumns().albumId;
        fields.name = AlbumColumns().album;
    } else if (type == MafwTrackerModel::AllArtists) {
        fields.id = ArtistColumns().artistId;
        fields.name = ArtistColumns().artist;
    } else if (type >= MafwTrackerModel::PlaylistFiles && type <= MafwTrackerModel::UserPlaylists) {
        fields.id = PlaylistColumns().playlistId;
        fields.name = PlaylistColumns().name;
    }
    return fields;
}

QVariant ItemMenu::pageModelCell(const QModelIndex& index, int column) const
{
    const QSharedPointer<MafwTrackerModel> model = host->currentPageModel();
    const int row = host->sourceRow(index);
    if (!model || column < 0 || row < 0 || row >= model->rowCount())
        return QVariant();
    return model->data(model->index(row, column));
}

int ItemMenu::itemIdAt(const QModelIndex& index) const
{
    return pageModelCell(index, itemFields().id).toInt();
}

QVariant ItemMenu::itemCell(const QModelIndex& index, int column) const
{
    const QSharedPointer<MafwTrackerModel> model = host->currentPageModel();
    if (!index.isValid() || !model || column < 0)
        return QVariant();
    if (index.model() == model.data())
        return model->data(model->index(index.row(), column));
    // The list adapter serves every column of a row under its own role.
    return index.data(Qt::UserRole + column);
}

QModelIndex ItemMenu::longTappedItem() const
{
    // Rows come and go while the menu or the dialog is open, and a regrouping list forgets
    // its rows: the item is known by its id, and its row is looked for again when needed.
    if (longTappedIndex.isValid()
        && (longTappedId == 0 || itemIdAt(longTappedIndex) == longTappedId))
        return longTappedIndex;
    const QSharedPointer<MafwTrackerModel> model = host->currentPageModel();
    const int column = itemFields().id;
    if (longTappedId == 0 || column < 0)
        return QModelIndex();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->data(model->index(row, column)).toInt() == longTappedId)
            return host->listIndexOfSourceRow(row);
    }
    return QModelIndex();
}

int ItemMenu::longTappedSongId() const
{
    return pageModelCell(longTappedItem(), itemFields().songId).toInt();
}

// ---- the entries ----

QSharedPointer<MafwTrackerModel> ItemMenu::specialRowModel(QString* name,
                                                           Activity::ActivityType* type) const
{
    MafwTrackerModel::QueryType query;
    int id = 0;
    bool album = true;
    switch (special) {
    case UnknownAlbumRow:
        query = MafwTrackerModel::SongsOfUnknownAlbum;
        break;
    case UnknownArtistRow:
        query = MafwTrackerModel::SongsOfUnknownArtist;
        album = false;
        break;
    case UnknownAlbumOfArtistRow:
        // The unknown artist's songs without album are the songs with neither.
        query = specialId > 0 ? MafwTrackerModel::SongsOfArtistWithoutAlbum
                              : MafwTrackerModel::SongsWithoutAlbumAndArtist;
        id = qMax(specialId, 0);
        break;
    case ArtistRow:
        query = MafwTrackerModel::SongsOfArtist;
        id = specialId;
        album = false;
        break;
    default:
        return QSharedPointer<MafwTrackerModel>();
    }
    if (name)
        *name = album ? QStringLiteral("songsOfAlbum") : QStringLiteral("songsOfArtist");
    if (type)
        *type = album ? Activity::Album : Activity::Artist;
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    return QSharedPointer<MafwTrackerModel>(factory ? factory->getModel(query, 0, id) : nullptr);
}

void ItemMenu::play()
{
    if (special != NoSpecialRow) {
        QString name;
        Activity::ActivityType type = Activity::NoActivity;
        const QSharedPointer<MafwTrackerModel> model = specialRowModel(&name, &type);
        if (model)
            host->playSongs(model, name, type, PlayOptions(), 0);
        return;
    }

    const QHash<QString, QVariant> parameters = host->itemParameters(longTappedItem());
    const auto model = parameters.value(QStringLiteral("model"))
                           .value<QSharedPointer<MafwTrackerModel>>();
    if (!model || !parameters.contains(QStringLiteral("name"))
        || !parameters.contains(QStringLiteral("type")))
        return;
    const int trackerId = parameters.value(QStringLiteral("trackerId")).toInt();
    host->playSongs(model, parameters.value(QStringLiteral("name")).toString(),
                    Activity::ActivityType(parameters.value(QStringLiteral("type")).toInt()),
                    trackerId < 0 ? PlayOptions(PlayCopiedModel) : PlayOptions(), trackerId);
}

void ItemMenu::addToQueue()
{
    if (special != NoSpecialRow) {
        const QSharedPointer<MafwTrackerModel> model = specialRowModel(nullptr, nullptr);
        if (model)
            host->queueSongs(model, false, -1);
        return;
    }

    const QHash<QString, QVariant> parameters = host->itemParameters(longTappedItem());
    const auto model = parameters.value(QStringLiteral("model"))
                           .value<QSharedPointer<MafwTrackerModel>>();
    if (model) {
        host->queueSongs(model, parameters.value(QStringLiteral("trackerId")).toInt() < 0, -1);
        return;
    }
    // A song of the page's own list: one row, copied.
    const int row = host->sourceRow(longTappedItem());
    if (host->currentPageModel() && row >= 0)
        host->queueSongs(host->currentPageModel(), true, row);
}

void ItemMenu::markAsFavourite()
{
    const QSharedPointer<MafwTrackerModel> model = host->currentPageModel();
    const int row = host->sourceRow(longTappedItem());
    const int column = itemFields().favourite;
    if (row < 0 || column < 0)
        return;
    const QModelIndex cell = model->index(row, column);
    model->setData(cell, !cell.data().toBool(), Qt::EditRole);
}

void ItemMenu::viewDetails()
{
    const int id = longTappedSongId();
    if (id > 0)
        host->openPage(PageSongDetails, QVariant(id));
}

void ItemMenu::setAsRingtone(const QModelIndex& index)
{
    if (!host->currentPageModel())
        return;
    int id = 0;
    if (index.isValid()) {
        const QVariant song = pageModelCell(index, itemFields().songId);
        if (!song.isValid())
            return;
        id = song.toInt();
    } else {
        if (!longTappedItem().isValid())
            return;
        id = longTappedSongId();
    }
    RingtoneSetter::instance()->setAsRingtone(id);
}

void ItemMenu::addToPlaylist()
{
    PlaylistItem itemType = SongItem;
    int id = 0;
    switch (special) {
    case UnknownAlbumRow:
        itemType = SongsWithoutAlbumItem;
        id = -1;
        break;
    case UnknownArtistRow:
        itemType = SongsWithoutArtistItem;
        id = -1;
        break;
    case ArtistRow:
        itemType = ArtistItem;
        id = specialId;
        special = NoSpecialRow;
        specialId = -1;
        break;
    case UnknownAlbumOfArtistRow:
        // No kind of playlist item stands for the songs without album of one artist, and the
        // row long-tapped before this one must not be added in their place.
        qCDebug(lcPages) << Q_FUNC_INFO << "- the unknown album of an artist cannot be added";
        return;
    case NoSpecialRow: {
        const QSharedPointer<MafwTrackerModel> model = host->currentPageModel();
        if (!model)
            return;
        // A list of the songs without an artist lists albums, with no song to offer.
        const MafwTrackerModel::QueryType type = model->queryType();
        const Fields fields = itemFields();
        int column = -1;
        if (isSongList(type)) {
            column = fields.songId;
            itemType = SongItem;
        } else if (type >= MafwTrackerModel::AllAlbums
                   && type <= MafwTrackerModel::RecentlyAddedAlbums) {
            column = fields.id;
            itemType = AlbumItem;
        } else if (type == MafwTrackerModel::AllArtists) {
            column = fields.id;
            itemType = ArtistItem;
        } else {
            return;
        }
        const QVariant item = pageModelCell(longTappedItem(), column);
        if (!item.isValid())
            return;
        id = item.toInt();
        break;
    }
    }
    const bool wholeSet = id == -1
                          && (itemType == SongsWithoutAlbumItem
                              || itemType == SongsWithoutArtistItem);
    if (id <= 0 && !wholeSet)
        return;
    if (playlistSheetOpener())
        playlistSheetOpener()(itemType, id);
    else
        qCWarning(lcPages) << Q_FUNC_INFO << "- no playlist sheet to offer the item in";
}

std::function<void(int, int)>& ItemMenu::playlistSheetOpener()
{
    static std::function<void(int, int)> opener;
    return opener;
}

void ItemMenu::setPlaylistSheetOpener(std::function<void(int itemType, int id)> opener)
{
    playlistSheetOpener() = std::move(opener);
}

void ItemMenu::deleteItem(const QModelIndex& index)
{
    MafwTrackerModel::QueryType type = MafwTrackerModel::NoList;
    int id = 0;
    QString name;

    // A special row is known by its mark; it never falls back to a row tapped before.
    if (!index.isValid() && special != NoSpecialRow) {
        switch (special) {
        case UnknownArtistRow:
            type = MafwTrackerModel::SongsOfUnknownArtist;
            break;
        case UnknownAlbumRow:
            type = MafwTrackerModel::SongsOfUnknownAlbum;
            break;
        case UnknownAlbumOfArtistRow:
            id = specialId;
            name = specialName;
            // The unknown artist's songs without album are the songs with neither.
            type = id > 0 ? MafwTrackerModel::UnknownAlbumOfArtist
                          : MafwTrackerModel::SongsWithoutAlbumAndArtist;
            break;
        case ArtistRow:
            if (specialId > 0) {
                type = MafwTrackerModel::AllArtists;
                id = specialId;
                name = specialName;
            } else {
                type = MafwTrackerModel::SongsOfUnknownArtist;
            }
            break;
        case NoSpecialRow:
            break;
        }
        deleteFromLibrary(type, id, name);
        return;
    }

    const QModelIndex item = index.isValid() ? index : longTappedItem();
    const QSharedPointer<MafwTrackerModel> model = host->currentPageModel();
    if (!item.isValid() || !model) {
        qCDebug(lcPages) << Q_FUNC_INFO << "- the item is gone, nothing to delete";
        return;
    }
    type = model->queryType();
    if (!isSongList(type) && !isAlbumList(type) && type != MafwTrackerModel::AllArtists
        && !isPlaylistList(type)) {
        qCWarning(lcPages) << Q_FUNC_INFO << "Item type" << int(type) << "can't be deleted";
        return;
    }
    const Fields fields = itemFields();
    name = itemCell(item, fields.name).toString();
    // The question names a playlist as its row does.
    if (isPlaylistList(type))
        name = shownPlaylistName(name);
    id = itemCell(item, fields.id).toInt();
    if (id < 1 && type == MafwTrackerModel::AlbumsWithoutArtist)
        type = MafwTrackerModel::SongsWithoutAlbumAndArtist;
    deleteFromLibrary(type, id, name);
}

void ItemMenu::deleteFromLibrary(MafwTrackerModel::QueryType type, int trackerId,
                                 const QString& name)
{
    if (type == MafwTrackerModel::NoList)
        return;
    // An empty id list deletes a whole set; only three kinds of set have that meaning.
    if (!isWholeSet(type) && (!isDeletable(type) || trackerId < 1)) {
        qCWarning(lcPages) << Q_FUNC_INFO << "- nothing to delete: query type" << int(type) << "id"
                           << trackerId;
        return;
    }
    // One question at a time: the answer to an earlier one must not delete this item.
    if (deleteDialog) {
        disconnect(deleteDialog, &DeleteObjectDialog::finished, this,
                   &ItemMenu::processDeleteDialogResult);
        deleteDialog->disappear();
    }
    deleteTrackerId = trackerId;
    deleteQueryType = type;
    deleteDialog = new DeleteObjectDialog(type, name, page);
    connect(deleteDialog, &DeleteObjectDialog::finished, this,
            &ItemMenu::processDeleteDialogResult);
}

void ItemMenu::processDeleteDialogResult(int resultCode)
{
    if (resultCode == M::YesButton && deleteQueryType != MafwTrackerModel::NoList) {
        QList<int> ids;
        if (deleteTrackerId > 0 && !isWholeSet(deleteQueryType))
            ids.append(deleteTrackerId);
        if (MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()
                                                   ->factory())
            factory->deleteItems(ids, deleteQueryType);
        // The artist the page shows is gone.
        if (special == ArtistRow && artistRowIsPageSubject)
            host->leaveIfInFront();
    }
    longTappedIndex = QPersistentModelIndex();
    longTappedId = 0;
    deleteTrackerId = 0;
    deleteQueryType = MafwTrackerModel::NoList;
    deleteDialog = nullptr;
}
