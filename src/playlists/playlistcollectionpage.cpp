#include "playlistcollectionpage.h"

#include "albumart/collageimagewidget.h"
#include "automaticplaylistsmodel.h"
#include "common/shownplaylistname.h"
#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "data/modelinstance.h"
#include "maction.h"
#include "mafwtrackermodelfactory.h"
#include "mapplication.h"
#include "mcontainer.h"
#include "mlabel.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "mlist.h"
#include "mstylablewidget.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/playlistscollectioncellcreator.h"
#include "songselectionsheet.h"

namespace {

const PlaylistColumns Columns;

// The limit asked of the factory for a playlist's songs.
const int SongsModelLimit = 50;

// The id the hidden collage widget starts with; every long tap gives it the playlist's.
const int CollageWidgetId = 100;

} // namespace

PlaylistCollectionPage::PlaylistCollectionPage(PageWindow* window, QVariant parameter)
    : QuintaveilPage(window, parameter)
    , title(qtTrId("qtn_musi_playlists_container"))
{
    setTitle(title);
    setPannable(false);
    connect(this, &MSceneWindow::appeared, this,
            &PlaylistCollectionPage::preLoadSongsOfPlaylistPage);
    finishPageCreation();
}

PlaylistCollectionPage::~PlaylistCollectionPage()
{
    // The list model shares no ownership of it; the next page gets a fresh one.
    if (automaticModel)
        automaticModel->deleteLater();
    delete newPlaylistAction;
    longTappedModel.reset();
    userModel.reset();
    fileModel.reset();
}

void PlaylistCollectionPage::createContent()
{
    setPositionIndicatorStyle();
}

void PlaylistCollectionPage::finishPageCreation(ObjectMenuType type)
{
    Q_UNUSED(type)
    // Whatever is asked: play, queue and delete; a playlist is not added to a playlist.
    setupPageConnections(CollectionObjectMenuWithoutPlaylist);

    titleWidget = new CollectionViewTitleWidget(true, centralWidget());
    titleWidget->setText(title);
    emptyLabel = new MLabel(qtTrId("qtn_musi_no_music"), centralWidget());
    emptyLabel->setStyleName(QStringLiteral("CommonEmptyStateTitleInverted"));
    emptyLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    emptyLabel->setAlignment(Qt::AlignCenter);
    emptyLabel->setWordWrap(true);

    automaticList = new MList(centralWidget());
    automaticListModel = new ListModel(false, this);
    fileList = new MList(centralWidget());
    fileListModel = new ListModel(false, this);
    userList = new MList(centralWidget());
    userListModel = new ListModel(false, this);

    setAutomaticPlaylistsModel();
    setModel(MafwTrackerModel::PlaylistFiles);
    setModel(MafwTrackerModel::UserPlaylists);
    connect(ModelInstance::instance(), &ModelInstance::modelCreated, this,
            &PlaylistCollectionPage::setModel);

    createLayout();
    finishPageCreationII();
}

void PlaylistCollectionPage::setAutomaticPlaylistsModel()
{
    if (automaticModel)
        return;
    automaticModel = AutomaticPlaylistsModel::instance();
    automaticModel->requestModels();
    // Not owning: the singleton is deleted by this page alone.
    automaticListModel->setSourceModel(
        QSharedPointer<QAbstractItemModel>(automaticModel.data(), [](QAbstractItemModel*) {}));
    automaticList->setItemModel(automaticListModel);
    connect(automaticModel, &QAbstractItemModel::rowsRemoved, this,
            &PlaylistCollectionPage::switchLayoutPolicy, Qt::UniqueConnection);
    connect(automaticModel, &QAbstractItemModel::rowsInserted, this,
            &PlaylistCollectionPage::switchLayoutPolicy, Qt::UniqueConnection);
    connect(automaticModel, &AutomaticPlaylistsModel::completed, this,
            &PlaylistCollectionPage::switchLayoutPolicy);
}

void PlaylistCollectionPage::setModel(MafwTrackerModel::QueryType type)
{
    QSharedPointer<MafwTrackerModel>* model = nullptr;
    ListModel* listModel = nullptr;
    MList* list = nullptr;
    if (type == MafwTrackerModel::PlaylistFiles) {
        model = &fileModel;
        listModel = fileListModel;
        list = fileList;
    } else if (type == MafwTrackerModel::UserPlaylists) {
        model = &userModel;
        listModel = userListModel;
        list = userList;
    } else {
        return;
    }
    // A model made anew replaces the old one, whose changes no longer concern the page.
    if (*model)
        (*model)->disconnect(this);
    *model = ModelInstance::instance()->getModel(type);
    if (!*model)
        return;
    connect(model->data(), &QAbstractItemModel::rowsRemoved, this,
            &PlaylistCollectionPage::switchLayoutPolicy);
    connect(model->data(), &QAbstractItemModel::rowsInserted, this,
            &PlaylistCollectionPage::switchLayoutPolicy);
    listModel->setSourceModel(*model);
    list->setItemModel(listModel);
    if (emptyPolicy)
        switchLayoutPolicy();
}

void PlaylistCollectionPage::createLayout()
{
    auto* layout = new MLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    centralWidget()->setLayout(layout);

    emptyPolicy = new MLinearLayoutPolicy(layout, Qt::Vertical);
    emptyPolicy->setContentsMargins(0, 0, 0, 0);
    emptyPolicy->setSpacing(0);
    emptyPolicy->addItem(titleWidget);
    emptyPolicy->addItem(emptyLabel);

    listPolicy = new MLinearLayoutPolicy(layout, Qt::Vertical);
    listPolicy->setContentsMargins(0, 0, 0, 0);
    listPolicy->setSpacing(0);
    listPolicy->addItem(titleWidget);
    // The first playlist stands as far under the title as the first row of every other page,
    // which a panel (a shuffle row, an album's facts) keeps there.
    auto* spacer = new MStylableWidget(centralWidget());
    spacer->setStyleName(QStringLiteral("CommonSpacer"));
    listPolicy->addItem(spacer);
    listPolicy->addItem(fileList);
    listPolicy->addItem(automaticList);

    myPlaylists = new MContainer(qtTrId("qtn_musi_my_playlists"), this);
    myPlaylists->setStyleName(QStringLiteral("CommonContainerInverted"));
    myPlaylists->setCentralWidget(userList, true);
    myPlaylists->setHeaderVisible(true);
    myPlaylists->hide();
    listPolicy->addItem(myPlaylists);
    // The lists are as tall as their rows; what the screen has left stays below them.
    listPolicy->addStretch(1);

    switchLayoutPolicy();
}

void PlaylistCollectionPage::finishPageCreationII()
{
    for (MList* list : { automaticList, fileList, userList }) {
        list->setCellCreator(new PlaylistsCollectionCellCreator);
        connect(list, &MList::itemClicked, this, &PlaylistCollectionPage::showPlaylist,
                Qt::UniqueConnection);
        connect(list, &MList::itemLongTapped, this, &PlaylistCollectionPage::handleListItemLongTap,
                Qt::UniqueConnection);
    }
}

bool PlaylistCollectionPage::showsEmptyLayout() const
{
    return emptyPolicy && emptyPolicy->isActive();
}

void PlaylistCollectionPage::switchLayoutPolicy()
{
    if (automaticModel) {
        if (automaticModel->allModelsRequested() && automaticModel->rowCount() <= 0)
            deviceEmpty = true;
        else if (automaticModel->rowCount() > 0)
            deviceEmpty = false;
    }
    // The container belongs to the list layout: on the empty layout it would lie over the
    // title and the empty-state text.
    if (userModel && myPlaylists)
        myPlaylists->setVisible(!deviceEmpty && userModel->rowCount() > 0);
    if (!emptyPolicy || !listPolicy)
        return;
    if (deviceEmpty) {
        if (!emptyPolicy->isActive()) {
            emptyPolicy->activate();
            setPannable(false);
            if (isVisible())
                displayPreviousPageInWindow();
        }
    } else if (!listPolicy->isActive()) {
        listPolicy->activate();
        setPannable(true);
    }
}

void PlaylistCollectionPage::passParameterToPage(QVariant parameter)
{
    Q_UNUSED(parameter)
    if (automaticModel && automaticModel->rowCount() == 0)
        automaticModel->requestModels();
    if (fileModel && !fileModel->isComplete())
        fileModel->fetchRemainingRows();
    switchLayoutPolicy();
}

void PlaylistCollectionPage::handlePageAppeared()
{
    if (!owner || !owner->wentBack())
        return;
    // Read once: the next forward step must not pass for a back step.
    owner->setWentBack(false);
    if (showsEmptyLayout())
        displayPreviousPageInWindow();
}

void PlaylistCollectionPage::preLoadSongsOfPlaylistPage()
{
    disconnect(this, &MSceneWindow::appeared, this,
               &PlaylistCollectionPage::preLoadSongsOfPlaylistPage);
    emit preLoadPage(Parlovance::PageSongsOfPlaylist);
}

PlaylistCollectionPage::Playlist PlaylistCollectionPage::playlistAt(const QModelIndex& index) const
{
    Playlist playlist;
    if (index.row() < 0 || index.column() < 0 || !index.model())
        return playlist;
    const QModelIndex row = index.sibling(index.row(), 0);
    playlist.id = row.data(Qt::UserRole + Columns.playlistId).toInt();
    playlist.name = row.data(Qt::UserRole + Columns.name).toString();
    if (index.model() == automaticListModel)
        playlist.songs = MafwTrackerModel::NoList;
    else if (index.model() == userListModel)
        playlist.songs = MafwTrackerModel::SongsOfUserPlaylist;
    else
        playlist.songs = MafwTrackerModel::SongsOfPlaylistFile;
    playlist.valid = true;
    return playlist;
}

void PlaylistCollectionPage::showPlaylist(const QModelIndex& index)
{
    const Playlist playlist = playlistAt(index);
    if (!playlist.valid)
        return;
    QHash<QString, QVariant> hash;
    hash.insert(QStringLiteral("playlistId"), playlist.id);
    hash.insert(QStringLiteral("playlistName"), playlist.name);
    QSharedPointer<MafwTrackerModel> automatic;
    if (playlist.id < 0) {
        if (automaticModel && automaticModel->playlistModel(playlist.id, automatic, false))
            hash.insert(QStringLiteral("automaticPlaylistModel"), QVariant::fromValue(automatic));
    } else if (index.model() == userListModel) {
        hash.insert(QStringLiteral("userPlaylist"), true);
    }
    emit goToPage(Parlovance::PageSongsOfPlaylist, QVariant(hash));
}

QHash<QString, QVariant> PlaylistCollectionPage::itemParameters(const QModelIndex& index)
{
    QHash<QString, QVariant> parameters;
    const Playlist playlist = playlistAt(index);
    if (!playlist.valid)
        return parameters;
    QSharedPointer<MafwTrackerModel> songs;
    // Played and remembered by the name its page shows.
    const QString name = shownPlaylistName(playlist.name);
    Activity::ActivityType type = Activity::Playlist;
    if (playlist.songs == MafwTrackerModel::NoList) {
        if (automaticModel && automaticModel->playlistModel(playlist.id, songs, false)
            && !songs->isComplete())
            songs->fetchRemainingRows();
    } else {
        if (playlist.songs == MafwTrackerModel::SongsOfUserPlaylist)
            type = Activity::UserPlaylist;
        MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
        if (factory)
            songs.reset(factory->getModel(playlist.songs, SongsModelLimit, playlist.id));
    }
    parameters.insert(QStringLiteral("model"), QVariant::fromValue(songs));
    parameters.insert(QStringLiteral("trackerId"), playlist.id);
    parameters.insert(QStringLiteral("type"), QVariant::fromValue(type));
    parameters.insert(QStringLiteral("name"), name);
    return parameters;
}

void PlaylistCollectionPage::handleListItemLongTap(const QModelIndex& clicked,
                                                   const QPointF& position)
{
    if (!collage) {
        collage = new CollageImageWidget(this, CollageWidgetId);
        collage->hide();
    }
    if (clicked.row() >= 0 && clicked.column() >= 0 && clicked.model()) {
        const QHash<QString, QVariant> parameters = itemParameters(clicked);
        longTappedModel = parameters.value(QStringLiteral("model"))
                              .value<QSharedPointer<MafwTrackerModel>>();
        if (longTappedModel && parameters.contains(QStringLiteral("name"))
            && parameters.contains(QStringLiteral("type"))) {
            const int id = parameters.value(QStringLiteral("trackerId")).toInt();
            const QString name = parameters.value(QStringLiteral("name")).toString();
            collage->setSaveFile(
                true, id != 0 ? QStringLiteral("%1_%2").arg(QStringLiteral("Playlist")).arg(id)
                              : QStringLiteral("Playlist"));
            collage->setCollageId(id);
            if (id > 0)
                longTappedModel->fetchRemainingRows();
            collage->setTitle(id < 0 ? qtTrId(name.toUtf8().constData()) : name);
            collage->setModel(longTappedModel);
        }
    }
    // Delete is offered for playlist files and the user's playlists, on their own model. An
    // automatic playlist's row is no row of any tracker model the menu could read.
    if (clicked.model() == fileListModel) {
        pageModel = fileModel;
        setDeletePermission(true);
    } else if (clicked.model() == userListModel) {
        pageModel = userModel;
        setDeletePermission(true);
    } else {
        pageModel.reset();
        setDeletePermission(false);
    }
    QuintaveilPage::handleListItemLongTap(clicked, position);
}

void PlaylistCollectionPage::createToolbarActions()
{
    newPlaylistAction = new MAction(QStringLiteral("icon-m-toolbar-add-white"), QString(), this);
    newPlaylistAction->setVisible(true);
    connect(newPlaylistAction, &QAction::triggered, this,
            &PlaylistCollectionPage::openSongSelectionSheet, Qt::UniqueConnection);
    addNowPlayingAction(newPlaylistAction);
}

void PlaylistCollectionPage::openSongSelectionSheet()
{
    auto* sheet = new SongSelectionSheet(SongSelectionSheet::SaveMode);
    sheet->setModels(ModelInstance::instance()->getModel(MafwTrackerModel::AllSongs),
                     QSharedPointer<MafwTrackerModel>());
    sheet->appear(MApplication::activeWindow(), MSceneWindow::DestroyWhenDismissed);
}
