#include "playlistselectionsheet.h"

#include "data/listmodel.h"
#include "data/modelcolumns.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "mafwtrackermodelfactory.h"
#include "mapplication.h"
#include "mapplicationwindow.h"
#include "mbutton.h"
#include "mlabel.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "mlist.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"
#include "pageframework/playlistscollectioncellcreator.h"
#include "playlistsavesheet.h"
#include "userplaylistutils.h"

#include <QGraphicsLinearLayout>

namespace {

// The limit asked of the factory for the chosen playlist's songs.
const int PlaylistModelLimit = 50;

const PlaylistColumns Columns;

} // namespace

PlaylistSelectionSheet::PlaylistSelectionSheet(int itemType, int itemId)
    : type(itemType)
    , id(itemId)
    , cancel(new MButton(qtTrId("qtn_comm_cancel")))
    , create(new MButton(qtTrId("qtn_musi_create_list")))
    , list(new MList)
    , title(new MLabel(qtTrId("qtn_musi_select_playlist")))
    , listModel(new ListModel(false, this))
{
    setStyleName(QStringLiteral("Inverted"));

    auto* headerLayout = new MLayout(headerWidget());
    headerLayout->setContentsMargins(0, 0, 0, 0);
    auto* headerPolicy = new MLinearLayoutPolicy(headerLayout, Qt::Horizontal);
    headerPolicy->setContentsMargins(0, 0, 0, 0);
    cancel->setStyleName(QStringLiteral("CommonSheetHeaderButtonInverted"));
    headerPolicy->addItem(cancel);
    headerPolicy->addStretch(1);

    auto* centre = new QGraphicsLinearLayout(Qt::Vertical, centralWidget());
    centre->setContentsMargins(0, 0, 0, 0);
    centre->setSpacing(0);

    title->setStyleName(QStringLiteral("CommonHeaderInverted"));
    title->setPreferredLineCount(2);
    title->setPreferredLineCountBehavior(MLabel::PreferredLineCountBehavior(0));
    title->setTextElide(true);
    title->setWordWrap(true);
    title->setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    centre->addItem(title);

    list->setCellCreator(new PlaylistsCollectionCellCreator);
    list->setItemModel(listModel);
    takePlaylistsModel();

    auto* viewport = new MPannableViewport;
    viewport->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding,
                            QSizePolicy::DefaultType);
    if (viewport->positionIndicator())
        viewport->positionIndicator()->hide();
    viewport->setWidget(list);
    centre->addItem(viewport);

    showTitleWhileThereArePlaylists();

    auto* createRow = new QGraphicsLinearLayout(Qt::Horizontal);
    createRow->setContentsMargins(0, 0, 0, 0);
    createRow->setSpacing(0);
    createRow->addStretch(1);
    create->setStyleName(QStringLiteral("CommonListButtonInverted"));
    create->setPreferredWidth(350);
    createRow->addItem(create);
    createRow->addStretch(1);
    centre->addItem(createRow);

    connect(cancel, &MButton::clicked, this, &PlaylistSelectionSheet::handleCancelClicked);
    connect(create, &MButton::clicked, this, &PlaylistSelectionSheet::handleNewClicked);
    connect(list, &MList::itemClicked, this, &PlaylistSelectionSheet::handleListItemClick);
    connect(this, &MSceneWindow::appeared, this, &PlaylistSelectionSheet::handleAppeared);
}

PlaylistSelectionSheet::~PlaylistSelectionSheet()
{
    playlists.reset();
}

void PlaylistSelectionSheet::takePlaylistsModel()
{
    playlists = ModelInstance::instance()->getModel(MafwTrackerModel::UserPlaylists);
    if (!playlists) {
        // Before the library is ready there is no model yet; it comes with modelCreated().
        connect(ModelInstance::instance(), &ModelInstance::modelCreated, this,
                &PlaylistSelectionSheet::handleModelCreated, Qt::UniqueConnection);
        return;
    }
    listModel->setSourceModel(playlists);
}

void PlaylistSelectionSheet::handleModelCreated(MafwTrackerModel::QueryType queryType)
{
    if (queryType != MafwTrackerModel::UserPlaylists)
        return;
    if (playlists)
        playlists->disconnect(this);
    takePlaylistsModel();
    if (shown)
        followPlaylistsModel();
    else
        showTitleWhileThereArePlaylists();
}

void PlaylistSelectionSheet::handleAppeared()
{
    shown = true;
    followPlaylistsModel();
}

void PlaylistSelectionSheet::followPlaylistsModel()
{
    if (playlists && !playlists->isComplete())
        playlists->fetchRemainingRows();
    showTitleWhileThereArePlaylists();
    if (!playlists)
        return;
    connect(playlists.data(), SIGNAL(rowsInserted(QModelIndex, int, int)), this,
            SLOT(handleRowsInserted(QModelIndex, int, int)), Qt::UniqueConnection);
    connect(playlists.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)), this,
            SLOT(handleRowsRemoved(QModelIndex, int, int)), Qt::UniqueConnection);
}

void PlaylistSelectionSheet::handleRowsInserted(QModelIndex, int, int)
{
    showTitleWhileThereArePlaylists();
}

void PlaylistSelectionSheet::handleRowsRemoved(QModelIndex, int, int)
{
    showTitleWhileThereArePlaylists();
}

void PlaylistSelectionSheet::showTitleWhileThereArePlaylists()
{
    // Without a playlist of the user's the sheet shows Cancel, the empty list and the create
    // button only.
    title->setVisible(playlists && playlists->rowCount() > 0);
}

void PlaylistSelectionSheet::handleListItemClick(const QModelIndex& index)
{
    if (!index.isValid() || index.row() < 0 || index.column() < 0 || !index.model())
        return;
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    if (factory) {
        const QModelIndex row = index.sibling(index.row(), 0);
        const int playlistId = row.data(Qt::UserRole + Columns.playlistId).toInt();
        const QString name = row.data(Qt::UserRole + Columns.name).toString();
        if (MafwTrackerModel* songs = factory->getModel(MafwTrackerModel::SongsOfUserPlaylist,
                                                        PlaylistModelLimit, playlistId))
            UserPlaylistUtils::addSongs(QSharedPointer<MafwTrackerModel>(songs), type, { id },
                                        name);
    }
    dismiss();
}

void PlaylistSelectionSheet::handleNewClicked()
{
    auto* saveSheet = new PlaylistSaveSheet({ id }, type);
    dismiss();
    saveSheet->appear(MApplication::activeApplicationWindow(), MSceneWindow::DestroyWhenDismissed);
}

void PlaylistSelectionSheet::handleCancelClicked()
{
    dismiss();
}
