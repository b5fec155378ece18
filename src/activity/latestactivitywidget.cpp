#include "latestactivitywidget.h"

#include "albumart/albumartcacheitem.h"
#include "albumart/albumartloader.h"
#include "common/logging.h"
#include "latestactivitycontroller.h"
#include "latestactivitymodel.h"
#include "pageframework/fadeanimation.h"
#include "player/nowplayinglabel.h"
#include "playback/playstate.h"
#include "styles/mainpagestyles.h"

#include "maction.h"
#include "mgridlayoutpolicy.h"
#include "mlabel.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "mobjectmenu.h"
#include "mscenemanager.h"
#include "safeimage.h"
#include "zeloverlaylabel.h"

#include <QDir>
#include <QSignalMapper>
#include <QTimer>

namespace {

const int TileCount = 9;
const int Columns = TileCount / 3;
const int FadeMs = 350;
const QString TileFlavor = QStringLiteral("music-grid");
const char* const AllSongsId = "qtn_musi_all_songs";
const char* const UnknownAlbumId = "qtn_musi_unknown_album";
const char* const UnknownArtistId = "qtn_musi_unknown_artist";

// The tiles beside the now-playing label, in the label's two layouts, and their cells.
const int BesideLabelCells[5][2] = { { 0, 2 }, { 1, 2 }, { 2, 0 }, { 2, 1 }, { 2, 2 } };

// A stored text id is shown translated.
QString shownName(const QString& name, const char* textId)
{
    return name == QLatin1String(textId) ? qtTrId(textId) : name;
}

} // namespace

LatestActivityWidget::LatestActivityWidget(QGraphicsItem* parent)
    : MStylableWidget(parent)
    , artLoader(new AlbumArtLoader(AlbumArtType::AlbumArt, TileFlavor, this))
    , collageDirectory(QStringLiteral("%1/.cache/parlovance/collage/").arg(QDir::homePath()))
{
    MainPageStyles::ensureRegistered();
    Activity::registerMetaTypes();
    setStyleName(QStringLiteral("LatestActivityWidget"));
    connect(this, &MWidget::displayEntered, this, &LatestActivityWidget::handleDisplayEntered);
    connect(artLoader, &AlbumArtLoader::albumArtReady, this,
            &LatestActivityWidget::handleAlbumArtReady,
            Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
    connect(artLoader, &AlbumArtLoader::refreshAlbumArts, this,
            &LatestActivityWidget::updateActivityLabels);
    QTimer::singleShot(0, this, &LatestActivityWidget::delayedConstruction);
}

LatestActivityWidget::~LatestActivityWidget()
{
    delete menu;
}

QList<ZelOverlayLabel*> LatestActivityWidget::tiles() const
{
    return tileLabels;
}

NowPlayingLabel* LatestActivityWidget::nowPlayingLabel() const
{
    return nowPlaying;
}

MLabel* LatestActivityWidget::emptyDeviceLabel() const
{
    return emptyLabel;
}

int LatestActivityWidget::animationState() const
{
    return state;
}

MObjectMenu* LatestActivityWidget::objectMenu() const
{
    return menu;
}

void LatestActivityWidget::delayedConstruction()
{
    clickMapper = new QSignalMapper(this);
    longTapMapper = new QSignalMapper(this);

    menu = new MObjectMenu(nullptr);
    menu->setStyleName(QStringLiteral("Inverted"));
    auto* queueAction = new MAction(qtTrId("qtn_musi_addtoplaylist"), menu);
    queueAction->setLocation(MAction::ObjectMenuLocation);
    connect(queueAction, &QAction::triggered, this,
            &LatestActivityWidget::handleQueueActionTrigger);
    menu->addAction(queueAction);
    deleteAction = new MAction(qtTrId("qtn_comm_command_delete"), menu);
    deleteAction->setLocation(MAction::ObjectMenuLocation);
    connect(deleteAction, &QAction::triggered, this,
            &LatestActivityWidget::handleDeleteActionTrigger);

    createTiles();

    fade = new FadeAnimation(this, FadeMs, this);
    connect(fade, &QAbstractAnimation::finished, this,
            &LatestActivityWidget::handleFadeAnimationFinished);

    LatestActivityModel* model = LatestActivityController::instance()->model();
    connect(model, &LatestActivityModel::lastAddedAlbumsQueryFinished, this,
            &LatestActivityWidget::initAnimatedUpdate);
    connect(model, &LatestActivityModel::collageReady, this,
            &LatestActivityWidget::updateActivityLabels);
    if (LatestActivityController::instance()->activityCount() == 0)
        emit activityLabelsReady();

    for (int i = 0; i < tileLabels.size(); ++i) {
        ZelOverlayLabel* tile = tileLabels.at(i);
        connect(tile, &ZelOverlayLabel::clicked, clickMapper, qOverload<>(&QSignalMapper::map));
        connect(tile, &ZelOverlayLabel::longTapped, longTapMapper,
                qOverload<>(&QSignalMapper::map));
        clickMapper->setMapping(tile, i);
        longTapMapper->setMapping(tile, i);
    }
    connect(clickMapper, &QSignalMapper::mappedInt, this,
            &LatestActivityWidget::handleActivityLabelClick);
    connect(longTapMapper, &QSignalMapper::mappedInt, this,
            &LatestActivityWidget::handleActivityLabelLongTap);
    connect(this, &MWidget::displayExited, this, &LatestActivityWidget::handleDisplayExit);

    constructed = true;
    if (displayEnteredPending) {
        displayEnteredPending = false;
        handleDisplayEntered();
    }
}

void LatestActivityWidget::createTiles()
{
    answeredArtCount = 0;
    for (int i = 0; i < TileCount; ++i) {
        auto* tile = new ZelOverlayLabel(QStringLiteral("LatestActivityItem"), this);
        tile->setOverlayBackgroundStyleName(QStringLiteral("LatestActivityItemBackground"));
        tile->setOverlayTextLabelStyleName(QStringLiteral("LatestActivityItemText"));
        tile->setEnabled(false);
        tileLabels.append(tile);
    }
    // The full grid is the layout's first policy, so it is the one shown at first.
    layout = new MLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    fullGridPolicy = new MGridLayoutPolicy(layout);
    fullGridPolicy->setContentsMargins(0, 0, 0, 0);
    fullGridPolicy->setSpacing(spacing);
    for (int i = 0; i < TileCount; ++i)
        fullGridPolicy->addItem(tileLabels.at(i), i / Columns, i % Columns);
}

void LatestActivityWidget::createNowPlayingPolicies()
{
    nowPlayingPolicyA = new MGridLayoutPolicy(layout);
    nowPlayingPolicyB = new MGridLayoutPolicy(layout);
    nowPlaying = new NowPlayingLabel(QStringLiteral("NowPlayingLabel"), this);
    nowPlaying->setOverlayTextLabelStyleName(QStringLiteral("NowPlayingLabelText"));
    nowPlaying->setOverlayBackgroundStyleName(QStringLiteral("NowPlayingLabelBackground"));
    nowPlaying->setSmallImageStyleName(QStringLiteral("NowPlayingLabelIcon"));
    // Policy A shows entries 0 to 4 beside the label; in policy B the label stands for entry 0.
    const QList<MGridLayoutPolicy*> policies { nowPlayingPolicyA, nowPlayingPolicyB };
    for (int p = 0; p < policies.size(); ++p) {
        MGridLayoutPolicy* policy = policies.at(p);
        policy->setContentsMargins(0, 0, 0, 0);
        policy->setSpacing(spacing);
        policy->addItem(nowPlaying, 0, 0, 2, 2);
        for (int i = 0; i < 5; ++i)
            policy->addItem(tileLabels.at(i + p), BesideLabelCells[i][0], BesideLabelCells[i][1]);
    }
    connect(nowPlaying, &ZelOverlayLabel::clicked, this, &LatestActivityWidget::openPlayerView,
            Qt::UniqueConnection);
    connect(PlayState::instance(), &PlayState::songChanged, nowPlaying,
            qOverload<>(&NowPlayingLabel::updateNowPlayingLabel), Qt::UniqueConnection);
    nowPlaying->updateNowPlayingLabel(true);
}

void LatestActivityWidget::createEmptyDevicePolicy()
{
    emptyDevicePolicy = new MLinearLayoutPolicy(layout, Qt::Vertical);
    emptyDevicePolicy->setContentsMargins(0, 0, 0, 0);
    emptyDevicePolicy->setSpacing(0);
    emptyLabel = new MLabel(qtTrId("qtn_musi_fill_your_device"), this);
    emptyLabel->setStyleName(QStringLiteral("MainPageEmptyLabel"));
    emptyLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    emptyLabel->setWordWrap(true);
    emptyLabel->setAlignment(Qt::AlignCenter);
    emptyDevicePolicy->addItem(emptyLabel);
}

MAbstractLayoutPolicy* LatestActivityWidget::selectLayoutPolicy()
{
    if (!layout)
        return nullptr;
    switch (LatestActivityController::instance()->mainPageState()) {
    case LatestActivityController::EmptyDevice:
        if (!emptyDevicePolicy)
            createEmptyDevicePolicy();
        return emptyDevicePolicy;
    case LatestActivityController::NowPlayingFirst:
        if (!nowPlayingPolicyA)
            createNowPlayingPolicies();
        return nowPlayingPolicyA;
    case LatestActivityController::NowPlayingAsFirst:
        if (!nowPlayingPolicyA)
            createNowPlayingPolicies();
        return nowPlayingPolicyB;
    case LatestActivityController::FullGrid:
        return fullGridPolicy;
    default:
        return nullptr;
    }
}

void LatestActivityWidget::switchLayoutPolicy()
{
    MAbstractLayoutPolicy* policy = selectLayoutPolicy();
    if (policy && !policy->isActive()) {
        // The switch itself happens while the grid is faded out.
        if (state != Rearranging) {
            initAnimatedUpdate();
            return;
        }
        policy->activate();
    }
    if (nowPlaying)
        nowPlaying->updatePlaybackStateIcon();
}

void LatestActivityWidget::initAnimatedUpdate()
{
    if (state == FadingOut || !fade)
        return;
    fade->setDirection(QAbstractAnimation::Backward);
    state = FadingOut;
    if (nowPlaying)
        nowPlaying->handleLatestActivityWidgetStartsHiding();
    // A running fade-in turns back from where it stands.
    fade->start();
}

void LatestActivityWidget::handleFadeAnimationFinished()
{
    if (fade->direction() == QAbstractAnimation::Forward) {
        state = Idle;
        emit updateAnimationDone();
        return;
    }
    state = Rearranging;
    switchLayoutPolicy();
    if (nowPlaying)
        nowPlaying->setPreloadedArtAndTitle();
    updateActivityLabels();
    fade->setDirection(QAbstractAnimation::Forward);
    state = FadingIn;
    fade->start();
}

void LatestActivityWidget::updateActivityLabels()
{
    shownActivities = LatestActivityController::instance()->activities();
    // Answers to the requests of an earlier refill belong to other tiles' entries.
    ++refill;
    answeredArtCount = 0;
    for (int i = 0; i < shownActivities.size(); ++i)
        updateActivityLabel(i, shownActivities.at(i));
    for (int i = shownActivities.size(); i < TileCount; ++i)
        clearActivityLabel(i);
}

void LatestActivityWidget::requestCover(int index, const QString& album, const QString& artist,
                                        AlbumArtType::ArtType type)
{
    const QVariant label = QVariantList { index, refill };
    const ArtInfo cached = artLoader->artFromCache(album, artist, type, TileFlavor, true);
    if (cached.pixmap.isNull()) {
        artLoader->loadAlbumArt(album, artist, TileFlavor, true, type, label);
        return;
    }
    handleAlbumArtReady(cached.pixmap, label);
    // A text cover stands in until a real one is found.
    if (cached.fromGenerated)
        artLoader->loadAlbumArt(album, artist, TileFlavor, false, type, label);
}

void LatestActivityWidget::updateActivityLabel(int index, const Activity& activity)
{
    if (index >= tileLabels.size()) {
        qCWarning(lcActivity).nospace()
            << "void LatestActivityWidget::updateActivityLabel(int, const Activity&) "
            << QStringLiteral("int index=%1").arg(index) << " activity count is too big.";
        return;
    }
    ZelOverlayLabel* tile = tileLabels.at(index);
    tile->setTitle(QString());
    switch (activity.Type) {
    case Activity::Album:
        // The cover carries the album's title.
        requestCover(index, shownName(activity.Name, UnknownAlbumId), activity.AdditionalParameter,
                     AlbumArtType::AlbumArt);
        break;
    case Activity::Artist: {
        const QString artist = shownName(activity.Name, UnknownArtistId);
        requestCover(index, activity.AdditionalParameter, artist, AlbumArtType::ArtistArt);
        tile->setTitle(artist);
        break;
    }
    case Activity::AllSongs:
    case Activity::Playlist:
    case Activity::UserPlaylist: {
        if (activity.Type == Activity::AllSongs)
            tile->setTitle(qtTrId(AllSongsId));
        else if (activity.TrackerId < 0)
            tile->setTitle(qtTrId(activity.Name.toUtf8().constData()));
        else
            tile->setTitle(activity.Name);
        handleAlbumArtReady(QPixmap(), QVariant());
        if (!activity.pixmap.isNull()) {
            tile->setImage(activity.pixmap);
            break;
        }
        const QString name = activity.Type == Activity::AllSongs
                                 ? collageId(QLatin1String(AllSongsId), 0)
                                 : collageId(QStringLiteral("Playlist"), activity.TrackerId);
        // The cache folder is the user's to write: the collage is read within the size it is
        // made at, like every other picture.
        const QImage collage = SafeImage::read(collageDirectory + name + QStringLiteral(".png"),
                                               AlbumArtCacheItem::flavorSize(TileFlavor));
        if (!collage.isNull())
            tile->setImage(QPixmap::fromImage(collage));
        break;
    }
    default:
        break;
    }
    tile->setEnabled(true);
}

void LatestActivityWidget::handleAlbumArtReady(QPixmap art, QVariant label)
{
    const QVariantList parts = label.toList();
    if (parts.size() == 2) {
        const int index = parts.at(0).toInt();
        if (parts.at(1).toInt() != refill)
            return;
        if (index >= 0 && index < tileLabels.size())
            tileLabels.at(index)->setImage(art);
    }
    ++answeredArtCount;
    if (answeredArtCount >= LatestActivityController::instance()->activityCount())
        emit activityLabelsReady();
}

void LatestActivityWidget::clearActivityLabel(int index)
{
    if (index < 0 || index >= tileLabels.size())
        return;
    ZelOverlayLabel* tile = tileLabels.at(index);
    tile->setTitle(QString());
    tile->setImage(QPixmap());
    tile->setEnabled(false);
}

void LatestActivityWidget::handleDisplayEntered()
{
    if (skipNextDisplayEntered) {
        skipNextDisplayEntered = false;
        return;
    }
    if (!constructed) {
        displayEnteredPending = true;
        return;
    }
    switchLayoutPolicy();
    connectActivityUpdateSignals();
    followPlayback(true);
    if (nowPlaying) {
        connect(PlayState::instance(), &PlayState::songChanged, nowPlaying,
                qOverload<>(&NowPlayingLabel::updateNowPlayingLabel), Qt::UniqueConnection);
        nowPlaying->updateNowPlayingLabel(true);
    }
    if (MAbstractLayoutPolicy* policy = selectLayoutPolicy()) {
        if (!policy->isActive())
            policy->activate();
    }
    if (shownActivities != LatestActivityController::instance()->activities())
        updateActivityLabels();
}

void LatestActivityWidget::handleMainPageAppearing()
{
    handleDisplayEntered();
    skipNextDisplayEntered = true;
    QTimer::singleShot(skipInterval, this,
                       &LatestActivityWidget::resetSkippingNextDisplayEnteredSignalValue);
}

void LatestActivityWidget::resetSkippingNextDisplayEnteredSignalValue()
{
    skipNextDisplayEntered = false;
}

void LatestActivityWidget::handleDisplayExit()
{
    disconnectActivityUpdateSignals();
    followPlayback(false);
    if (nowPlaying)
        disconnect(PlayState::instance(), &PlayState::songChanged, nowPlaying,
                   qOverload<>(&NowPlayingLabel::updateNowPlayingLabel));
}

void LatestActivityWidget::followPlayback(bool on)
{
    PlayState* playState = PlayState::instance();
    if (on) {
        connect(playState, &PlayState::stateChanged, this,
                &LatestActivityWidget::switchLayoutPolicy, Qt::UniqueConnection);
        connect(playState, &PlayState::songCountChanged, this,
                &LatestActivityWidget::switchLayoutPolicy, Qt::UniqueConnection);
    } else {
        disconnect(playState, &PlayState::stateChanged, this,
                   &LatestActivityWidget::switchLayoutPolicy);
        disconnect(playState, &PlayState::songCountChanged, this,
                   &LatestActivityWidget::switchLayoutPolicy);
    }
}

void LatestActivityWidget::connectActivityUpdateSignals()
{
    LatestActivityModel* model = LatestActivityController::instance()->model();
    connect(model, &LatestActivityModel::activityAdded, this,
            &LatestActivityWidget::initAnimatedUpdate, Qt::UniqueConnection);
    connect(model, &LatestActivityModel::activityMoved, this,
            &LatestActivityWidget::initAnimatedUpdate, Qt::UniqueConnection);
    connect(model, &LatestActivityModel::activityRemoved, this,
            &LatestActivityWidget::initAnimatedUpdate, Qt::UniqueConnection);
}

void LatestActivityWidget::disconnectActivityUpdateSignals()
{
    LatestActivityModel* model = LatestActivityController::instance()->model();
    disconnect(model, &LatestActivityModel::activityAdded, this,
               &LatestActivityWidget::initAnimatedUpdate);
    disconnect(model, &LatestActivityModel::activityMoved, this,
               &LatestActivityWidget::initAnimatedUpdate);
    disconnect(model, &LatestActivityModel::activityRemoved, this,
               &LatestActivityWidget::initAnimatedUpdate);
}

void LatestActivityWidget::resolveDeviceEmptyFinishedSlot()
{
    LatestActivityController* controller = LatestActivityController::instance();
    controller->setDeviceEmptyResolved();
    if (controller->activityCount() == 0)
        switchLayoutPolicy();
}

void LatestActivityWidget::openPlayerView()
{
    emit goingToPlayerView();
    PlayState* playState = PlayState::instance();
    const PlayState::State playing = playState->state(PlayState::MusicMode);
    if (playing == PlayState::Stopped || playing == PlayState::Paused)
        playState->play(PlayState::MusicMode);
    emit goToPage(Parlovance::PageNowPlaying, QVariant());
}

void LatestActivityWidget::handleActivityLabelClick(int index)
{
    if (index < 0 || index >= shownActivities.size())
        return;
    // The tap is only a request: the list takes the entry to its front once the request has
    // started to play, and a request that plays nothing (songs that are away) leaves both the
    // list and the grid, which goes on following playback while its page stays, as they were.
    Activity replayed = shownActivities.at(index);
    replayed.Timestamp = QDateTime::currentDateTime();
    emit playLatestActivity(replayed);
}

void LatestActivityWidget::handleActivityLabelLongTap(int index)
{
    if (PlayState::instance()->isUpdatingLibrary() || index < 0 || index >= shownActivities.size()
        || !menu)
        return;
    longTapped = shownActivities.at(index);
    longTapValid = true;
    const bool deletable = longTapped.Type != Activity::AllSongs
                           && !(longTapped.Type == Activity::Playlist && longTapped.TrackerId < 0);
    if (!deletable)
        menu->removeAction(deleteAction);
    else if (!menu->actions().contains(deleteAction))
        menu->addAction(deleteAction);
    if (MSceneManager* manager = sceneManager())
        manager->appearSceneWindow(menu, MSceneWindow::KeepWhenDone);
}

void LatestActivityWidget::handleQueueActionTrigger()
{
    if (longTapValid)
        emit queueLatestActivity(longTapped);
}

void LatestActivityWidget::handleDeleteActionTrigger()
{
    if (!longTapValid)
        return;
    const Activity& activity = longTapped;
    const bool known = activity.TrackerId >= 1;
    switch (activity.Type) {
    case Activity::Album:
        emit deleteFromLibrary(known ? MafwTrackerModel::AllAlbums
                                     : MafwTrackerModel::SongsOfUnknownAlbum,
                               activity.TrackerId, known ? activity.Name : QString());
        break;
    case Activity::Artist:
        emit deleteFromLibrary(known ? MafwTrackerModel::AllArtists
                                     : MafwTrackerModel::SongsOfUnknownArtist,
                               activity.TrackerId, known ? activity.Name : QString());
        break;
    case Activity::Playlist:
        emit deleteFromLibrary(MafwTrackerModel::PlaylistFiles, activity.TrackerId, activity.Name);
        break;
    case Activity::UserPlaylist:
        emit deleteFromLibrary(MafwTrackerModel::UserPlaylists, activity.TrackerId, activity.Name);
        break;
    default:
        qCWarning(lcActivity) << "Unsupported activity type:" << int(activity.Type);
        break;
    }
}
