#include "nowplayingpage.h"

#include "albumart/albumartcacheitem.h"
#include "albumart/albumartgenerator.h"
#include "albumart/albumartloader.h"
#include "albumartwidget.h"
#include "common/logging.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "mafwtrackermodelfactory.h"
#include "mapplication.h"
#include "mapplicationwindow.h"
#include "mbasiclistitem.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"
#include "mstylablewidget.h"
#include "mwidgetaction.h"
#include "navigationbarwidget.h"
#include "nowplayingwidget.h"
#include "playercontrolswidget.h"
#include "playerinfoarea.h"
#include "playback/playstate.h"
#include "safeimage.h"
#include "pageframework/ringtonesetter.h"
#include "shell/mainwindow.h"

#include <QGraphicsLinearLayout>
#include <QTimer>

namespace {

const int ActionsDelayMs = 200;
// How long the controller waits for another skip before it loads the song the player's own
// controls and swipes land on, so that a song tapped past is never loaded.
const int SongChangeDelayMs = 400;
const QString HalfScreen = QStringLiteral("half-screen");

} // namespace

NowPlayingPage::NowPlayingPage(MainWindow* window)
    : QuintaveilPage(window, QVariant())
    , playState(PlayState::instance())
    , mainWindow(window)
{
    setTitle(qtTrId("qtn_musi_player"));
    albumArtLoader = new AlbumArtLoader(AlbumArtType::AlbumArt, HalfScreen, this);
    albumArtGenerator = new AlbumArtGenerator(this);
    playAlbumText = qtTrId("qtn_musi_playalbum");
    actionsTimer = new QTimer(this);
    actionsTimer->setInterval(ActionsDelayMs);

    if (MPannableViewport* viewport = pannableViewport()) {
        if (viewport->positionIndicator())
            viewport->positionIndicator()->hide();
    }

    playerControls = new PlayerControlsWidget(window, nullptr, PlayState::MusicMode);
    playerControls->createLayout();
    connect(playerControls, SIGNAL(nextPressed()), this, SLOT(next()));
    connect(playerControls, SIGNAL(previousPressed()), this, SLOT(previous()));
    connect(playState, SIGNAL(favoriteState(QString, bool)), this,
            SLOT(favoriteStateSlot(QString, bool)), Qt::UniqueConnection);
    finishPageCreation(NoObjectMenu);
}

NowPlayingPage::~NowPlayingPage()
{
    // Made without a parent, the controls belong to the page until its content takes them.
    if (!playerControls->parentItem())
        delete playerControls;
}

void NowPlayingPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}

void NowPlayingPage::createContent()
{
    setPannable(false);
    playerControls->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);

    albumArtWidget = new AlbumArtWidget(this);
    nowPlayingWidget = new NowPlayingWidget(nullptr, PlayState::MusicMode);
    nowPlayingWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    nowPlayingWidget->setup();
    playerInfoArea = new PlayerInfoArea(albumArtWidget, nowPlayingWidget, nullptr);
    playerInfoArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);

    auto* central = new QGraphicsWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addItem(playerInfoArea);
    auto* spare = new QGraphicsWidget;
    spare->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    layout->addItem(spare);
    layout->addItem(playerControls);
    auto* bottomSpacer = new MStylableWidget;
    bottomSpacer->setStyleName(QStringLiteral("PlayerViewBottomSpacer"));
    bottomSpacer->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout->addItem(bottomSpacer);
    setCentralWidget(central);

    connect(actionsTimer, SIGNAL(timeout()), this, SLOT(addActions()), Qt::UniqueConnection);

    playAlbumAction = new MWidgetAction(this);
    playAlbumItem = new MBasicListItem(MBasicListItem::TitleWithSubtitle);
    playAlbumItem->setStyleName(QStringLiteral("ViewMenuPlayAlbumItem"));
    playAlbumItem->setTitle(playAlbumText);
    playAlbumAction->setWidget(playAlbumItem);
    playAlbumAction->setLocation(MAction::ApplicationMenuLocation);
    playAlbumAction->setObjectName(QStringLiteral("AudioPlayerViewMenuPlayAlbum"));
    navigationBar = new NavigationBarWidget(this);
    setCustomNavigationBarContent(navigationBar);
    ringtoneAction = new MAction(qtTrId("qtn_musi_set_ring_tone"), this);
    ringtoneAction->setLocation(MAction::ApplicationMenuLocation);

    connectSignals();
    if (parameterPending)
        passParameterToPage(pendingParameter);
}

void NowPlayingPage::connectSignals()
{
    connect(this, SIGNAL(appearing()), this, SLOT(handleAppearing()), Qt::UniqueConnection);
    connect(this, SIGNAL(disappeared()), this, SLOT(disconnectUpdateSignals()),
            Qt::UniqueConnection);
    connect(playState, SIGNAL(songCountChanged(int)), this, SLOT(handleSongCountChange(int)),
            Qt::UniqueConnection);
    connect(playState, SIGNAL(playbackCompleted()), this, SLOT(playbackCompletedSlot()),
            Qt::UniqueConnection);
    connect(nowPlayingWidget, SIGNAL(tapped()), this, SLOT(goToSongDetailsView()));
    connect(albumArtLoader, SIGNAL(albumArtReady(QPixmap, QVariant)), this,
            SLOT(changeAlbumArt(QPixmap, QVariant)),
            Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
    connect(this, SIGNAL(appeared()), this, SLOT(connectUpdateSignals()));
    connect(this, SIGNAL(appearing()), nowPlayingWidget, SLOT(removeGraphicsEffect()));
    connect(this, SIGNAL(disappearing()), navigationBar, SLOT(hideApplicationMenu()));
    connect(this, SIGNAL(displayEntered()), this, SLOT(handleDisplayEntered()));
    connect(this, SIGNAL(displayExited()), this, SLOT(disconnectUpdateSignals()));
    if (mainWindow) {
        connect(mainWindow, SIGNAL(goingToPlayerView()), this, SLOT(updateView()),
                Qt::UniqueConnection);
        connect(mainWindow, SIGNAL(goingToPlayerView()), nowPlayingWidget,
                SLOT(updateSongCountLabel()), Qt::UniqueConnection);
    }
    connect(albumArtWidget, SIGNAL(swiped(int)), this, SLOT(handleSwipeGestures(int)));
    connect(albumArtWidget, SIGNAL(albumArtTapped()), this, SLOT(handleTapGestures()));
    // Back and the music button work from the start, whatever plays (or nothing): the other
    // buttons wait for the song's actions, set a moment after the song changed (addActions).
    connect(navigationBar, SIGNAL(backButtonClicked()), this, SLOT(goToPreviousPage()),
            Qt::UniqueConnection);
    connect(navigationBar, SIGNAL(musicButtonClicked()), this, SLOT(goToMainView()),
            Qt::UniqueConnection);
}

void NowPlayingPage::connectUpdateSignals()
{
    connect(playState, SIGNAL(songChanged(QString, QString, QString, int, bool)), this,
            SLOT(handleSongChange(QString, QString, QString, int, bool)), Qt::UniqueConnection);
    connect(albumArtLoader, SIGNAL(refreshAlbumArts()), this, SLOT(updateAlbumArt()),
            Qt::UniqueConnection);
    if (albumArtKey == 0)
        updateView();
}

void NowPlayingPage::disconnectUpdateSignals()
{
    disconnect(playState, SIGNAL(songChanged(QString, QString, QString, int, bool)), this,
               SLOT(handleSongChange(QString, QString, QString, int, bool)));
    disconnect(albumArtLoader, SIGNAL(refreshAlbumArts()), this, SLOT(updateAlbumArt()));
}

void NowPlayingPage::connectNavigationBar()
{
    connect(navigationBar, SIGNAL(shuffleButtonClicked(bool)), this,
            SLOT(shuffleActionTriggered(bool)), Qt::UniqueConnection);
    connect(navigationBar, SIGNAL(repeatButtonClicked(bool)), this,
            SLOT(repeatActionTriggered(bool)), Qt::UniqueConnection);
    connect(navigationBar, SIGNAL(favoriteButtonClicked()), this, SLOT(favoriteActionTriggered()),
            Qt::UniqueConnection);
    connect(playAlbumItem, SIGNAL(clicked()), playAlbumAction, SIGNAL(triggered()),
            Qt::UniqueConnection);
    connect(ringtoneAction, SIGNAL(triggered()), this, SLOT(setAsRingtoneSlot()),
            Qt::UniqueConnection);
    connect(this, SIGNAL(disappeared()), playerInfoArea, SLOT(hidePlayQueueImmediately()),
            Qt::UniqueConnection);
}

void NowPlayingPage::updateShuffleButton()
{
    if (!navigationBar)
        return;
    navigationBar->setShuffleButtonEnabled(!playState->isAudiobookOrPodcast()
                                           && playState->songCount(PlayState::MusicMode) > 1);
    navigationBar->setShuffle(playState->flags().testFlag(PlayState::ShuffleOn));
}

void NowPlayingPage::updateRepeatButton()
{
    const int flags = int(playState->flags());
    navigationBar->setRepeat((flags & PlayState::RepeatOn) || (flags & 0x16));
}

void NowPlayingPage::updatePlayAlbumAction()
{
    updateRepeatButton();
    if (playState->hasSeveralAlbums()) {
        navigationBar->addMenuAction(playAlbumAction);
        connect(playAlbumAction, SIGNAL(triggered()), this, SLOT(playAlbum()),
                Qt::UniqueConnection);
    } else {
        navigationBar->removeMenuAction(playAlbumAction);
        disconnect(playAlbumAction, SIGNAL(triggered()), this, SLOT(playAlbum()));
    }
}

void NowPlayingPage::addActions()
{
    actionsTimer->stop();
    if (!navigationBar)
        return;
    switch (playState->contentType(PlayState::MusicMode)) {
    case PlayState::SongContent:
        updateShuffleButton();
        navigationBar->setRepeatButtonEnabled(true);
        navigationBar->setFavoriteButtonEnabled(true);
        navigationBar->addMenuAction(ringtoneAction);
        updatePlayAlbumAction();
        connectNavigationBar();
        break;
    case PlayState::UrlContent:
        navigationBar->setShuffleButtonEnabled(false);
        navigationBar->setRepeatButtonEnabled(true);
        navigationBar->setFavoriteButtonEnabled(false);
        navigationBar->removeMenuAction(playAlbumAction);
        navigationBar->removeMenuAction(ringtoneAction);
        connectNavigationBar();
        break;
    case PlayState::RadioPlaylistContent:
        navigationBar->setShuffleButtonEnabled(false);
        navigationBar->setRepeatButtonEnabled(false);
        navigationBar->setFavoriteButtonEnabled(false);
        navigationBar->removeMenuAction(playAlbumAction);
        navigationBar->removeMenuAction(ringtoneAction);
        connectNavigationBar();
        break;
    default:
        navigationBar->removeMenuAction(playAlbumAction);
        navigationBar->removeMenuAction(ringtoneAction);
        break;
    }
}

void NowPlayingPage::handleSongChange(QString title, QString album, QString artist, int songIndex,
                                      bool previous)
{
    if (!nowPlayingWidget)
        return;
    nowPlayingWidget->updateContent();
    actionsTimer->start();
    updateShuffleButton();
    playState->checkFavoriteState();

    currentTitle = title;
    currentSongIndex = songIndex;
    const PlayState::ContentType type = playState->contentType(PlayState::MusicMode);
    const bool librarySong = type == PlayState::SongContent;
    const bool sameArt = album == currentAlbum && artist == currentArtist;
    if (!forceArtUpdate && sameArt && librarySong) {
        // The cover stays; one still on its way was asked for another row of the album, and
        // its answer would be dropped as stale: ask again for this row.
        if (!albumArtShown)
            albumArtLoader->loadAlbumArt(album, artist, HalfScreen, true, AlbumArtType::AlbumArt,
                                         QVariant(songIndex));
        return;
    }

    currentAlbum = album;
    currentArtist = artist;
    if (librarySong) {
        albumArtShown = false;
        const ArtInfo cached = albumArtLoader->artFromCache(album, artist, AlbumArtType::DefaultArt,
                                                            QString(), true);
        albumArtWidget->prepareTransition(previous);
        if (cached.pixmap.isNull())
            albumArtLoader->loadAlbumArt(album, artist, HalfScreen, true, AlbumArtType::AlbumArt,
                                         QVariant(songIndex));
        else
            changeAlbumArt(cached.pixmap, QVariant(songIndex));
        playAlbumItem->setTitle(playAlbumText);
        playAlbumItem->setSubtitle(album);
        return;
    }

    // Streams never slide: their own picture, else a text cover of the stream.
    const QString artPath = playState->streamArtPath(PlayState::MusicMode);
    QPixmap art;
    if (!artPath.isEmpty())
        art = QPixmap::fromImage(
            SafeImage::read(artPath, AlbumArtCacheItem::flavorSize(HalfScreen)));
    if (art.isNull()) {
        const AlbumArtCacheItem item(playState->streamArtText(PlayState::MusicMode), QString(),
                                     HalfScreen, AlbumArtType::AlbumArt);
        art = albumArtGenerator->generateAlbumArt(item, false);
    }
    albumArtWidget->setAlbumArt(art, true);
}

void NowPlayingPage::changeAlbumArt(QPixmap pixmap)
{
    changeAlbumArt(pixmap, QVariant());
}

void NowPlayingPage::changeAlbumArt(QPixmap pixmap, QVariant data)
{
    if (!forceArtUpdate && pixmap.toImage() == albumArtWidget->albumArt().toImage())
        return;
    if (data.toInt() != currentSongIndex)
        return;
    if (albumArtShown && !skipTransition)
        return;
    albumArtShown = true;
    albumArtWidget->setAlbumArt(pixmap, skipTransition);
    forceArtUpdate = false;
    skipTransition = false;
    albumArtKey = pixmap.cacheKey();
}

void NowPlayingPage::updateAlbumArt()
{
    if (!isVisible() || playState->contentType(PlayState::MusicMode) != PlayState::SongContent)
        return;
    albumArtLoader->loadAlbumArt(currentAlbum, currentArtist, HalfScreen, true,
                                 AlbumArtType::AlbumArt, QVariant(currentSongIndex));
    skipTransition = true;
}

void NowPlayingPage::updateView()
{
    handleSongChange(playState->title(PlayState::MusicMode), playState->album(PlayState::MusicMode),
                     playState->artist(PlayState::MusicMode),
                     playState->currentIndex(PlayState::MusicMode), false);
}

void NowPlayingPage::handleAppearing()
{
    playerControls->handleNowPlayingPageAppearing();
    nowPlayingWidget->removeGraphicsEffect();
    skipTransition = true;
    updateView();
    connectUpdateSignals();
}

void NowPlayingPage::handleDisplayEntered()
{
    skipTransition = true;
    if (isOnDisplay())
        connectUpdateSignals();
    updateView();
}

void NowPlayingPage::passParameterToPage(QVariant parameter)
{
    if (!isContentCreated() && !parameterPending) {
        parameterPending = true;
        pendingParameter = parameter;
        return;
    }
    if (!isContentCreated()) {
        // Only the latest parameter is replayed once the content exists.
        pendingParameter = parameter;
        return;
    }
    albumArtShown = false;
    albumArtWidget->prepareTransition(false);
    skipTransition = true;
    const ArtInfo cached = albumArtLoader->artFromCache(playState->album(PlayState::MusicMode),
                                                        playState->artist(PlayState::MusicMode),
                                                        AlbumArtType::DefaultArt, QString(), true);
    albumArtWidget->setAlbumArt(cached.pixmap, true);
    // A song the page was told of before it was shown (a file saved from the player sheet, a
    // song started just before) announces no further change: the probe above may have blanked
    // its cover, so it is asked for again, and its answer is not dropped as an older song's.
    const bool songKnown = knowsCurrentSong();
    if (mainWindow
        && (mainWindow->isStartedForExternalPlayback()
            || mainWindow->isShownForExternalPlayback())) {
        forceArtUpdate = true;
        if (!songKnown)
            currentSongIndex = -1;
        navigationBar->useMusicButtonLayout();
    } else {
        navigationBar->useBackButtonLayout();
    }
    if (songKnown && cached.pixmap.isNull())
        albumArtLoader->loadAlbumArt(currentAlbum, currentArtist, HalfScreen, true,
                                     AlbumArtType::AlbumArt, QVariant(currentSongIndex));
    if (parameter.canConvert<QStringList>()
        && parameter.toStringList().contains(QStringLiteral("PlayOrResume")))
        playState->play(PlayState::MusicMode);
    updateShuffleButton();
    actionsTimer->start();
    connect(playState, SIGNAL(songCountChanged(int)), this, SLOT(handleSongCountChange(int)),
            Qt::UniqueConnection);
}

bool NowPlayingPage::knowsCurrentSong() const
{
    return playState->contentType(PlayState::MusicMode) == PlayState::SongContent
           && currentSongIndex >= 0
           && currentSongIndex == playState->currentIndex(PlayState::MusicMode)
           && currentTitle == playState->title(PlayState::MusicMode)
           && currentAlbum == playState->album(PlayState::MusicMode)
           && currentArtist == playState->artist(PlayState::MusicMode);
}

void NowPlayingPage::next()
{
    skipTransition = false;
    playState->next(isOnDisplay() ? SongChangeDelayMs : -1);
}

void NowPlayingPage::previous()
{
    skipTransition = false;
    playState->previous(isOnDisplay() ? SongChangeDelayMs : -1, false);
}

void NowPlayingPage::handleSwipeGestures(int swipeAction)
{
    if (playState->isCallActive() || !playState->isAudioAvailable()
        || playState->songCount(PlayState::MusicMode) < 2)
        return;
    forceArtUpdate = true;
    if (swipeAction == AlbumArtWidget::SwipeNext)
        playState->next(SongChangeDelayMs);
    else if (swipeAction == AlbumArtWidget::SwipePrevious)
        playState->previous(SongChangeDelayMs, true);
}

void NowPlayingPage::handleTapGestures()
{
    if (playState->songCount(PlayState::MusicMode) >= 1)
        playerInfoArea->showPlayQueue();
}

void NowPlayingPage::goToSongDetailsView()
{
    emit goToPage(Parlovance::PageSongDetails, QVariant(playState->songId(PlayState::MusicMode)));
}

void NowPlayingPage::goToMainView()
{
    navigationBar->useBackButtonLayout();
    if (mainWindow) {
        mainWindow->setStartedForExternalPlayback(false);
        mainWindow->setShownForExternalPlayback(false);
    }
    emit goToPage(Parlovance::PageMain, QVariant());
}

void NowPlayingPage::goToPreviousPage()
{
    if (mainWindow && mainWindow->isStartedForExternalPlayback())
        QApplication::closeAllWindows();
    else if (mainWindow && mainWindow->isShownForExternalPlayback())
        goToMainView();
    else
        emit goBack();
}

bool NowPlayingPage::isCurrentPage() const
{
    MApplicationWindow* window = MApplication::activeApplicationWindow();
    return window && window->currentPage() == this;
}

void NowPlayingPage::playbackCompletedSlot()
{
    if (isCurrentPage())
        goToPreviousPage();
}

void NowPlayingPage::handleSongCountChange(int newSongCount)
{
    if (newSongCount == 0 && isCurrentPage())
        goToPreviousPage();
}

void NowPlayingPage::shuffleActionTriggered(bool state)
{
    playState->setShuffle(state);
    navigationBar->setShuffle(state);
    playerInfoArea->setShuttleState(state);
    if (playState->allSongsQueue())
        nowPlayingWidget->updateSongCountLabel();
}

void NowPlayingPage::repeatActionTriggered(bool state)
{
    playState->setRepeat(state, true);
    navigationBar->setRepeat(state);
}

void NowPlayingPage::favoriteActionTriggered()
{
    playState->toggleFavoriteState();
}

void NowPlayingPage::favoriteStateSlot(QString uri, bool isFavorite)
{
    Q_UNUSED(uri)
    if (navigationBar)
        navigationBar->setFavorite(isFavorite);
}

void NowPlayingPage::playAlbum()
{
    navigationBar->hideApplicationMenu();
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    if (!factory)
        return;
    const int albumId = playState->albumId(PlayState::MusicMode);
    MafwTrackerModel* model = albumId >= 1
                                  ? factory->getModel(MafwTrackerModel::SongsOfAlbum, 50, albumId)
                                  : factory->getModel(MafwTrackerModel::SongsOfUnknownAlbum, 0, 0);
    if (!model)
        return;
    disconnect(playState, SIGNAL(songCountChanged(int)), this, SLOT(handleSongCountChange(int)));
    QSharedPointer<QAbstractItemModel> shared(model);
    play(QModelIndex(), shared, QStringLiteral("songsOfAlbum"), Activity::Album,
         PlayWithoutPlayerView, 0, -1);
}

void NowPlayingPage::setAsRingtoneSlot()
{
    if (playState->contentType(PlayState::MusicMode) != PlayState::SongContent
        || playState->songId(PlayState::MusicMode) < 1)
        return;
    RingtoneSetter::instance()->setAsRingtone(playState->songId(PlayState::MusicMode));
}
