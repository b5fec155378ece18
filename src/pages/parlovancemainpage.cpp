#include "parlovancemainpage.h"

#include "activity/latestactivitycontroller.h"
#include "activity/latestactivitywidget.h"
#include "common/logging.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "librarybuttonarea.h"
#include "pageframework/indexingprogresswidget.h"
#include "playback/playstate.h"
#include "shell/mainwindow.h"

#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "moverlay.h"
#include "mstylablewidget.h"

#include <QTimer>

namespace {

const int MostPlayedLimit = 30;
const int PlaylistLimit = 50;

} // namespace

ParlovanceMainPage::ParlovanceMainPage(MainWindow* mainWindow)
    : QuintaveilPage(mainWindow, QVariant())
    , window(mainWindow)
{
    Activity::registerMetaTypes();
    setComponentsDisplayMode(AllComponents, MApplicationPageModel::Hide);
    setTitle(qtTrId("qtn_musi_music"));
    setPannable(false);
    finishPageCreation(NoObjectMenu);
}

ParlovanceMainPage::~ParlovanceMainPage() = default;

void ParlovanceMainPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}

void ParlovanceMainPage::createContent()
{
    QGraphicsWidget* content = centralWidget();
    auto* layout = new MLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    policy = new MLinearLayoutPolicy(layout, Qt::Vertical);
    policy->setContentsMargins(0, 0, 0, 0);
    policy->setSpacing(0);
    policy->activate();

    activityWidget = new LatestActivityWidget(content);
    connect(activityWidget, &LatestActivityWidget::playLatestActivity, this,
            &ParlovanceMainPage::playLatestActivitySlot, Qt::QueuedConnection);
    connect(activityWidget, &LatestActivityWidget::queueLatestActivity, this,
            &ParlovanceMainPage::queueLatestActivitySlot, Qt::QueuedConnection);
    connect(activityWidget, &LatestActivityWidget::deleteFromLibrary, this,
            &QuintaveilPage::deleteFromLibrary);
    policy->addItem(activityWidget, Qt::AlignLeft | Qt::AlignTop);

    auto* spacer = new MStylableWidget(content);
    spacer->setStyleName(QStringLiteral("CommonLargeSpacer"));
    policy->addItem(spacer);

    libraryButtons = new LibraryButtonArea(content);
    policy->addItem(libraryButtons, Qt::AlignLeft | Qt::AlignTop);

    overlay = new MOverlay(this);
    overlay->setWidget(new IndexingProgressWidget(nullptr));
    overlay->setVisible(updating);

    connect(libraryButtons, &LibraryButtonArea::goToPage, this,
            &ParlovanceMainPage::openLibraryPage);
    connect(activityWidget,
            qOverload<Parlovance::ParlovancePages, QVariant>(&LatestActivityWidget::goToPage), this,
            qOverload<Parlovance::ParlovancePages, QVariant>(&QuintaveilPage::goToPage));
    if (window) {
        connect(activityWidget, &LatestActivityWidget::goingToPlayerView, window,
                &MainWindow::noticeGoingToPlayerView);
        connect(window, &MainWindow::resolveDeviceEmptyFinished, activityWidget,
                &LatestActivityWidget::resolveDeviceEmptyFinishedSlot);
        // A window that started on another page may have had its answer before this grid.
        if (window->isDeviceEmptyResolved())
            activityWidget->resolveDeviceEmptyFinishedSlot();
    }
    connect(this, &MSceneWindow::appearing, activityWidget,
            &LatestActivityWidget::handleMainPageAppearing);
    emit pageConstructionDone();
}

LatestActivityWidget* ParlovanceMainPage::latestActivityWidget() const
{
    return activityWidget;
}

MOverlay* ParlovanceMainPage::indexingOverlay() const
{
    return overlay;
}

void ParlovanceMainPage::openLibraryPage(int page)
{
    // The notice covers the page while the library is updated; a tap that reaches the buttons
    // all the same waits too.
    if (!updating)
        showPage(page);
}

void ParlovanceMainPage::delayedConstruction()
{
    emit pageConstructionDone();
}

void ParlovanceMainPage::setUpdatingLibraryState(bool on)
{
    updating = on;
    if (on) {
        if (overlay)
            overlay->show();
        // The queue may name songs the update removes.
        PlayState::instance()->clearPlayQueue();
        if (activityWidget)
            activityWidget->handleDisplayEntered();
        return;
    }
    if (activityWidget)
        connect(activityWidget, &LatestActivityWidget::updateAnimationDone, this,
                &ParlovanceMainPage::handleLatestActivityUpdateAnimationDone, Qt::UniqueConnection);
    LatestActivityController::instance()->checkActivities();
    QTimer::singleShot(activityUpdateDelay, this,
                       &ParlovanceMainPage::handleLatestActivityUpdateAnimationDone);
}

bool ParlovanceMainPage::isUpdatingLibraryState() const
{
    return updating;
}

void ParlovanceMainPage::handleLatestActivityUpdateAnimationDone()
{
    if (activityWidget)
        disconnect(activityWidget, &LatestActivityWidget::updateAnimationDone, this,
                   &ParlovanceMainPage::handleLatestActivityUpdateAnimationDone);
    // A new update may have begun before the delay ran out: its notice stays.
    if (overlay && !updating)
        overlay->hide();
}

void ParlovanceMainPage::setLatestActivityUpdateDelay(int ms)
{
    activityUpdateDelay = ms;
}

int ParlovanceMainPage::latestActivityUpdateDelay() const
{
    return activityUpdateDelay;
}

void ParlovanceMainPage::libraryUpdated()
{
    LatestActivityController::instance()->resetCollageModels();
}

MafwTrackerModel* ParlovanceMainPage::modelForActivity(const Activity& activity,
                                                       PlayOptions& options) const
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    if (!factory) {
        qCWarning(lcPages) << "MafwTrackerModelFactoryInstance::getInstance()->getFactory() "
                              "returned null";
        return nullptr;
    }
    const int id = activity.TrackerId;
    switch (activity.Type) {
    case Activity::Album:
        return id > 0 ? factory->getModel(MafwTrackerModel::SongsOfAlbum, 0, id)
                      : factory->getModel(MafwTrackerModel::SongsOfUnknownAlbum, 0, 0);
    case Activity::Artist:
        return id > 0 ? factory->getModel(MafwTrackerModel::SongsOfArtist, PlaylistLimit, id)
                      : factory->getModel(MafwTrackerModel::SongsOfUnknownArtist, 0, 0);
    case Activity::Playlist:
        if (id >= 0)
            return factory->getModel(MafwTrackerModel::SongsOfPlaylistFile, PlaylistLimit, id);
        // Only the automatic playlists have negative ids; anything else names no list.
        if (id < -MafwTrackerModel::RecentlyDownloadedSongs
            || id > -MafwTrackerModel::RecentlyAddedSongs)
            return nullptr;
        options |= PlayCopiedModel;
        return factory->getModel(MafwTrackerModel::QueryType(-id),
                                 id == -MafwTrackerModel::MostPlayedSongs ? MostPlayedLimit
                                                                          : PlaylistLimit,
                                 0);
    case Activity::UserPlaylist:
        return factory->getModel(MafwTrackerModel::SongsOfUserPlaylist, PlaylistLimit, id);
    default:
        return nullptr;
    }
}

void ParlovanceMainPage::playLatestActivitySlot(Activity activity)
{
    if (activity.Type == Activity::AllSongs) {
        ModelInstance::instance()->emitPlayAllSongs(activity.Shuffled);
        return;
    }
    PlayOptions options;
    MafwTrackerModel* model = modelForActivity(activity, options);
    if (!model)
        return;
    if (activity.Shuffled)
        options |= PlayShuffled;
    play(QModelIndex(), QSharedPointer<QAbstractItemModel>(model), activity.Name, activity.Type,
         options, activity.TrackerId, activity.TrackNo);
}

void ParlovanceMainPage::queueLatestActivitySlot(Activity activity)
{
    QSharedPointer<MafwTrackerModel> model;
    if (activity.Type == Activity::AllSongs) {
        model = ModelInstance::instance()->getModel(MafwTrackerModel::AllSongs);
    } else {
        PlayOptions options;
        model.reset(modelForActivity(activity, options));
    }
    if (!model)
        return;
    appendToQueue(model, true, -1);
}

void ParlovanceMainPage::playSearchModelSlot(QSharedPointer<MafwTrackerModel> model)
{
    play(QModelIndex(), model, QStringLiteral("search"), Activity::NoActivity, PlayOptions(), 0,
         -1);
}
