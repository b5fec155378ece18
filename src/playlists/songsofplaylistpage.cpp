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

// The page reads its parameter itself: an automatic playlist comes with its model.
ItemPageDescription songsOfPlaylist()
{
    ItemPageDescription page;
    page.info = [](QSharedPointer<MafwTrackerModel> songs, QGraphicsItem* parent) {
        return new PlaylistInfoWidget(songs, parent);
    };
    page.shuffleRow = ItemPageDescription::ShuffleRowWithDivider;
    page.painter = [](QObject* parent) {
        auto* rows = new AllSongsCellCreator(SongColumns(), parent);
        if (auto* owner = qobject_cast<QuintaveilPage*>(parent))
            QObject::connect(rows,
                             qOverload<Parlovance::ParlovancePages, QVariant>(
                                 &AllSongsCellCreator::goToPage),
                             owner, &QuintaveilPage::goToPage);
        return rows;
    };
    page.menuType = SongObjectMenuWithoutDelete;
    // A user playlist is recorded as one.
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

void SongsOfPlaylistPage::passParameterToPage(QVariant parameter)
{
    if (!parameter.canConvert<QHash<QString, QVariant>>())
        return;
    const QHash<QString, QVariant> hash = parameter.toHash();
    options = PlayOptions();
    const QString givenName = hash.value(QStringLiteral("playlistName")).toString();
    const int id = hash.value(QStringLiteral("playlistId")).toInt();
    QSharedPointer<MafwTrackerModel> automatic = hash.value(
                                                         QStringLiteral("automaticPlaylistModel"))
                                                     .value<QSharedPointer<MafwTrackerModel>>();
    // An automatic playlist sent without its model is looked up, also while it has no songs;
    // a made-up query for a negative id would show an empty playlist that is none.
    if (id < 0 && !automatic
        && !AutomaticPlaylistsModel::instance()->playlistModel(id, automatic, true)) {
        qCDebug(lcPlaylists) << Q_FUNC_INFO << "- no automatic playlist" << id;
        displayPreviousPageInWindow();
        return;
    }

    MafwTrackerModel::QueryType type;
    if (id < 0) {
        options |= PlayCopiedModel;
        type = MafwTrackerModel::QueryType(-id);
        removeEditActions();
    } else if (hash.contains(QStringLiteral("userPlaylist"))) {
        type = MafwTrackerModel::SongsOfUserPlaylist;
        addEditActions();
    } else {
        type = MafwTrackerModel::SongsOfPlaylistFile;
        removeEditActions();
    }
    // The playlist shown already stays as it is (an automatic one while it is the same model).
    if (id == 0
        || (!reloadNeeded && id == shownId && type == queryType
            && (!automatic || automatic == pageModel)))
        return;

    QSharedPointer<MafwTrackerModel> model = automatic;
    if (!model) {
        MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
        model.reset(factory ? factory->getModel(type, SongsModelLimit, id) : nullptr);
    }
    if (!model) {
        qCDebug(lcPlaylists) << Q_FUNC_INFO << "- no model for playlist" << id;
        displayPreviousPageInWindow();
        return;
    }
    if (MPannableViewport* pannable = pannableViewport())
        pannable->setPosition(QPointF(0, 0));
    showSongs(model);
    shownId = id;
    queryType = type;
    reloadNeeded = false;

    name = shownPlaylistName(givenName);
    const QString shown = id < 0 ? qtTrId(name.toUtf8().constData()) : name;
    titleHeader->setText(shown);
    playlistHeader()->setCollageTitle(shown);
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

void SongsOfPlaylistPage::handleListItemClick(const QModelIndex& index)
{
    startPlayback(index);
}

void SongsOfPlaylistPage::startPlayback(const QModelIndex& index)
{
    if (!pageModel)
        return;
    const Activity::ActivityType activity = queryType == MafwTrackerModel::SongsOfUserPlaylist
                                                ? Activity::UserPlaylist
                                                : pageDescription().activityType;
    QuintaveilPage::play(index, pageModel, name, activity, options, shownId, -1);
    options &= ~PlayOptions(PlayShuffled);
}

void SongsOfPlaylistPage::shufflePlay()
{
    options |= PlayShuffled;
    startPlayback(QModelIndex());
}

void SongsOfPlaylistPage::handleAppeared()
{
    // Favourites is shown again after its last song was unmarked elsewhere. A back step onto
    // the emptied page may have taken it back already (the page base's own handling).
    if (pageModel && pageModel->rowCount() == 0 && shownId == FavouritesId && isOnDisplay())
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
    if (!factory || shownId < 1)
        return;
    connect(factory, &MafwTrackerModelFactory::deletionFinished, this,
            &SongsOfPlaylistPage::deletionFinishedSlot, Qt::UniqueConnection);
    factory->deleteItems({ shownId }, MafwTrackerModel::UserPlaylists);
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
