#include "songsofplaylistpage.h"

#include "automaticplaylistsmodel.h"
#include "common/logging.h"
#include "common/shownplaylistname.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "data/modelinstance.h"
#include "maction.h"
#include "mafwtrackermodelfactory.h"
#include "mapplication.h"
#include "mlist.h"
#include "mpannableviewport.h"
#include "mstylablewidget.h"
#include "pageframework/allsongscellcreator.h"
#include "pageframework/collectionviewshufflewidget.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/deleteobjectdialog.h"
#include "pageframework/playlistinfowidget.h"
#include "songselectionsheet.h"

#include <QDebug>
#include <QGraphicsLinearLayout>

namespace {

// The limit asked of the factory for a playlist's songs; the rest follows at once.
const int SongsModelLimit = 50;
const int FavouritesId = -MafwTrackerModel::FavouriteSongs;
// The page base's toolbar placeholder.
const QString PlaceholderName = QStringLiteral("dummyAction");

// The playlist the parameter names: an automatic one (a negative id) with the automatic
// playlists model's own tracker model, played as a copy so that the queue stays as it was
// started while the playlist changes; else a user playlist or a playlist file by its id.
ItemPageDescription::Songs playlistOf(const QHash<QString, QVariant>& parameter)
{
    ItemPageDescription::Songs songs;
    const int id = parameter.value(QStringLiteral("playlistId")).toInt();
    if (id == 0)
        return songs;
    songs.model = parameter.value(QStringLiteral("automaticPlaylistModel"))
                      .value<QSharedPointer<MafwTrackerModel>>();
    // An automatic playlist sent without its model is looked up, also while it has no songs;
    // a made-up query for a negative id would show an empty playlist that is none.
    if (id < 0 && !songs.model
        && !AutomaticPlaylistsModel::instance()->playlistModel(id, songs.model, true)) {
        qCDebug(lcPlaylists) << Q_FUNC_INFO << "- no automatic playlist" << id;
        songs.gone = true;
        return songs;
    }
    if (id < 0) {
        songs.type = MafwTrackerModel::QueryType(-id);
        songs.options = PlayCopiedModel;
    } else if (parameter.contains(QStringLiteral("userPlaylist"))) {
        songs.type = MafwTrackerModel::SongsOfUserPlaylist;
        // A user playlist is recorded as one.
        songs.activityType = Activity::UserPlaylist;
    } else {
        songs.type = MafwTrackerModel::SongsOfPlaylistFile;
    }
    songs.limit = SongsModelLimit;
    songs.id = id;
    songs.trackerId = id;
    songs.playName = shownPlaylistName(parameter.value(QStringLiteral("playlistName")).toString());
    // The automatic playlists go by the ids of their translated names.
    songs.title = id < 0 ? qtTrId(songs.playName.toUtf8().constData()) : songs.playName;
    return songs;
}

ItemPageDescription songsOfPlaylist()
{
    ItemPageDescription page;
    page.songs = playlistOf;
    page.stepBackWithoutSongs = true;
    page.info = [](QSharedPointer<MafwTrackerModel> songs, QGraphicsItem* parent) {
        return new PlaylistInfoWidget(songs, parent);
    };
    page.infoShows = [](SongPageInfoWidget* panel, const ItemPageDescription::Songs& shown) {
        static_cast<PlaylistInfoWidget*>(panel)->setCollageTitle(shown.title);
    };
    page.shuffleRow = ItemPageDescription::ShuffleRowWithDivider;
    page.painter = [](AlbumArtLoader*, QObject* parent) {
        auto* rows = new AllSongsCellCreator(SongColumns(), parent);
        if (auto* owner = qobject_cast<QuintaveilPage*>(parent))
            QObject::connect(rows,
                             qOverload<Parlovance::ParlovancePages, QVariant>(
                                 &AllSongsCellCreator::goToPage),
                             owner, &QuintaveilPage::goToPage);
        return rows;
    };
    page.menuType = SongObjectMenuWithoutDelete;
    page.activityType = Activity::Playlist;
    return page;
}

} // namespace

SongsOfPlaylistPage::SongsOfPlaylistPage(PageWindow* window)
    : SongPage(songsOfPlaylist(), window)
{
    finishPageCreation();
}

SongsOfPlaylistPage::~SongsOfPlaylistPage()
{
    delete heldPlaceholder.data();
    delete addEntry;
    delete removeEntry;
    delete deleteEntry;
}

void SongsOfPlaylistPage::createContent()
{
    SongPage::createContent();
    connect(this, &MSceneWindow::appeared, this, &SongsOfPlaylistPage::handleAppeared,
            Qt::UniqueConnection);
}

void SongsOfPlaylistPage::songsShown()
{
    // Only the user's own playlists take songs, lose songs or go away.
    if (playlistQueryType() == MafwTrackerModel::SongsOfUserPlaylist)
        addEditActions();
    else
        removeEditActions();
}

PlaylistInfoWidget* SongsOfPlaylistPage::playlistHeader() const
{
    return static_cast<PlaylistInfoWidget*>(infoWidget);
}

void SongsOfPlaylistPage::addEditActions()
{
    auto entry = [this](MAction*& action, const char* id, void (SongsOfPlaylistPage::*slot)()) {
        if (!action) {
            action = new MAction(qtTrId(id), this);
            action->setLocation(MAction::ApplicationMenuLocation);
            connect(action, &QAction::triggered, this, slot);
        }
        if (!actions().contains(action))
            QGraphicsWidget::addAction(action);
    };
    entry(addEntry, "qtn_musi_add_playlist", &SongsOfPlaylistPage::handleAddActionTrigger);
    entry(removeEntry, "qtn_musi_remove_playlist", &SongsOfPlaylistPage::handleRemoveActionTrigger);
    entry(deleteEntry, "qtn_musi_delete_playlist", &SongsOfPlaylistPage::handleDeleteActionTrigger);
    for (QAction* action : actions()) {
        if (action->objectName() == PlaceholderName) {
            heldPlaceholder = action;
            removeAction(action);
            break;
        }
    }
}

void SongsOfPlaylistPage::removeEditActions()
{
    for (MAction* action : { addEntry, removeEntry, deleteEntry }) {
        if (action)
            removeAction(action);
    }
    if (heldPlaceholder) {
        QGraphicsWidget::addAction(heldPlaceholder);
        heldPlaceholder = nullptr;
    }
}

void SongsOfPlaylistPage::handleAppeared()
{
    // Favourites is shown again after its last song was unmarked elsewhere. A back step onto
    // the emptied page may have taken it back already (the page base's own handling).
    if (pageModel && pageModel->rowCount() == 0 && playlistId() == FavouritesId && isOnDisplay())
        displayPreviousPageInWindow();
}

void SongsOfPlaylistPage::handleAddActionTrigger()
{
    openSongSelectionSheet(SongSelectionSheet::AddMode);
}

void SongsOfPlaylistPage::handleRemoveActionTrigger()
{
    openSongSelectionSheet(SongSelectionSheet::RemoveMode);
}

void SongsOfPlaylistPage::openSongSelectionSheet(int mode)
{
    auto* sheet = new SongSelectionSheet(mode);
    if (mode == SongSelectionSheet::AddMode)
        sheet->setModels(ModelInstance::instance()->getModel(MafwTrackerModel::AllSongs),
                         pageModel);
    else
        sheet->setModels(pageModel, pageModel);
    sheet->appear(MApplication::activeWindow(), MSceneWindow::DestroyWhenDismissed);
}

void SongsOfPlaylistPage::handleDeleteActionTrigger()
{
    auto* dialog = new DeleteObjectDialog(MafwTrackerModel::UserPlaylists, titleHeader->text(),
                                          this);
    connect(dialog, &DeleteObjectDialog::finished, this, &SongsOfPlaylistPage::deletePlaylist,
            Qt::UniqueConnection);
}

void SongsOfPlaylistPage::deletePlaylist(int dialogResult)
{
    if (dialogResult != M::YesButton)
        return;
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    if (!factory || playlistId() < 1)
        return;
    connect(factory, &MafwTrackerModelFactory::deletionFinished, this,
            &SongsOfPlaylistPage::deletionFinishedSlot, Qt::UniqueConnection);
    factory->deleteItems({ playlistId() }, MafwTrackerModel::UserPlaylists);
}

bool SongsOfPlaylistPage::isOnDisplay() const
{
    return sceneWindowState() == MSceneWindow::Appeared && owner
           && owner->currentPage() == Parlovance::PageSongsOfPlaylist;
}

void SongsOfPlaylistPage::deletionFinishedSlot(int deleted, int failed)
{
    disconnect(MafwTrackerModelFactoryInstance::instance()->factory(),
               &MafwTrackerModelFactory::deletionFinished, this,
               &SongsOfPlaylistPage::deletionFinishedSlot);
    // A failed deletion leaves the playlist, and the page, where they are. A playlist that
    // went leaves the page once: its emptied list may have taken the page back already, and
    // must not do so again afterwards.
    if (deleted < 1 || failed != 0 || !isOnDisplay())
        return;
    if (pageModel)
        pageModel->disconnect(this);
    displayPreviousPageInWindow();
}
