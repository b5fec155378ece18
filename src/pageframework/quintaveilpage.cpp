#include "quintaveilpage.h"

#include "common/logging.h"
#include "common/constants.h"
#include "deleteobjectdialog.h"
#include "filterwidget.h"
#include "ringtonesetter.h"
#include "activity/latestactivitycontroller.h"
#include "data/listmodel.h"
#include "mafwtrackermodelfactory.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "maction.h"
#include "shell/mainwindow.h"
#include "mapplication.h"
#include "mapplicationwindow.h"
#include "mbanner.h"
#include "mlist.h"
#include "mlocale.h"
#include "mnamespace.h"
#include "mobjectmenu.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"
#include "mtextedit.h"
#include "pagebackground.h"
#include "playback/nowplayingbutton.h"
#include "playback/playstate.h"
#include "playlists/playlistselectionsheet.h"
#include "mscenemanager.h"
#include "data/twinturbosortfilterproxymodel.h"

#include <QDebug>
#include <QGestureEvent>
#include <QGestureRecognizer>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

using namespace Parlovance;

namespace {

const int FilterSendDelayMs = 200;

const char* const PlayAllSongsName = "qtn_musi_all_songs";
const char* const UnknownAlbumId = "qtn_musi_unknown_album";
const char* const UnknownArtistId = "qtn_musi_unknown_artist";

// A notice on whichever window is active; the banner deletes itself once it has gone.
void showInformationBanner(const QString& title)
{
    auto* banner = new MBanner;
    banner->setStyleName(Constants::InformationBanner);
    banner->setTitle(title);
    banner->appear(MApplication::activeWindow(), MSceneWindow::DestroyWhenDone);
}

} // namespace

QuintaveilPage::QuintaveilPage(MainWindow* window, const QVariant& parameter)
    : MApplicationPage(nullptr)
    , owner(window)
    , playState(PlayState::instance())
    , setAsRingtoneText(qtTrId("qtn_musi_set_ring_tone"))
    , addToQueueText(qtTrId("qtn_musi_addtoplaylist"))
    , favoriteText(qtTrId("qtn_comm_command_favorite"))
    , unmarkFavoriteText(qtTrId("qtn_comm_command_unmark_favorite"))
    , detailsText(qtTrId("qtn_comm_object_details"))
    , playText(qtTrId("qtn_musi_play"))
    , deleteText(qtTrId("qtn_comm_command_delete"))
    , notAllIndexedText(qtTrId("qtn_comm_not_all_indexed"))
{
    Activity::registerMetaTypes();
    qRegisterMetaType<QModelIndex>("QModelIndex");
    qRegisterMetaType<QSharedPointer<MafwTrackerModel>>("QSharedPointer<MafwTrackerModel>");
    if (parameter.canConvert<bool>())
        deviceEmpty = parameter.toBool();
    PageBackground::build();
}

void QuintaveilPage::paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
                           QWidget* widget)
{
    const QImage& background = PageBackground::image();
    MApplicationWindow* window = MApplication::activeApplicationWindow();
    if (background.isNull() || (window && !window->isInSwitcher())
        || (owner && owner->currentPage() == PageNowPlaying) || !painter) {
        MApplicationPage::paint(painter, option, widget);
        return;
    }
    painter->drawImage(boundingRect(), background, QRectF(background.rect()),
                       Qt::ImageConversionFlags());
}

QuintaveilPage::~QuintaveilPage()
{
    delete filterEdit.data();
    delete objectMenu.data();
    delete nowPlaying.data();
}

MainWindow* QuintaveilPage::ownerWindow() const
{
    return owner;
}

bool QuintaveilPage::isDeviceEmpty() const
{
    return deviceEmpty;
}

void QuintaveilPage::setDeviceEmpty(bool empty)
{
    deviceEmpty = empty;
}

FilterWidget* QuintaveilPage::filterField() const
{
    return filterEdit;
}

NowPlayingButton* QuintaveilPage::nowPlayingButton() const
{
    return nowPlaying;
}

MObjectMenu* QuintaveilPage::pageObjectMenu() const
{
    return objectMenu;
}

// ---- set-up and navigation ----

void QuintaveilPage::setupPageConnections(ObjectMenuType type)
{
    setFocusPolicy(Qt::StrongFocus);
    createList();
    if (list) {
        connect(list, SIGNAL(itemClicked(QModelIndex)), this,
                SLOT(handleListItemClick(QModelIndex)), Qt::UniqueConnection);
        connect(list, SIGNAL(itemLongTapped(QModelIndex,QPointF)), this,
                SLOT(handleListItemLongTap(QModelIndex,QPointF)), Qt::UniqueConnection);
    }
    if (type != NoObjectMenu)
        createObjectMenu(type);
    connect(this, SIGNAL(goToPage(Parlovance::ParlovancePages,QVariant)), this,
            SLOT(displayPageInWindow(Parlovance::ParlovancePages,QVariant)),
            Qt::UniqueConnection);
    if (owner) {
        connect(this, SIGNAL(preLoadPage(Parlovance::ParlovancePages)), owner,
                SLOT(loadPage(Parlovance::ParlovancePages)), Qt::UniqueConnection);
    }
    connect(this, SIGNAL(backButtonClicked()), this, SLOT(displayPreviousPageInWindow()),
            Qt::UniqueConnection);
    connect(this, SIGNAL(goBack()), this, SLOT(displayPreviousPageInWindow()),
            Qt::UniqueConnection);
    if (owner) {
        connect(owner, SIGNAL(trackerIndexing()), this, SLOT(showIndexingBanner()),
                Qt::UniqueConnection);
    }
    connect(this, SIGNAL(disappeared()), this, SLOT(hideObjectMenu()), Qt::UniqueConnection);
    connect(this, SIGNAL(appeared()), this, SLOT(handlePageAppeared()), Qt::UniqueConnection);
    if (list) {
        connect(list, SIGNAL(displayEntered()), this, SLOT(handlePageListVisible()),
                Qt::UniqueConnection);
    }

    // Only the gestures the pages react to; the two unregistered here are never used.
    QGestureRecognizer::unregisterRecognizer(Qt::CustomGesture);
    QGestureRecognizer::unregisterRecognizer(Qt::PinchGesture);
    for (Qt::GestureType gesture :
         { Qt::SwipeGesture, Qt::TapGesture, Qt::TapAndHoldGesture, Qt::PanGesture })
        grabGestureWithCancelPolicy(gesture, Qt::GestureFlags(), MouseEventNoCancel);
}

void QuintaveilPage::passParameterToPage(QVariant parameter)
{
    Q_UNUSED(parameter)
}

void QuintaveilPage::createToolbarActions()
{
    addNowPlayingAction(nullptr);
}

void QuintaveilPage::libraryUpdated()
{
}

void QuintaveilPage::createList()
{
}

QHash<QString, QVariant> QuintaveilPage::itemParameters(const QModelIndex& index)
{
    Q_UNUSED(index)
    return QHash<QString, QVariant>();
}

void QuintaveilPage::handleListItemClick(const QModelIndex& index)
{
    Q_UNUSED(index)
}

void QuintaveilPage::play(const QModelIndex& index, bool shuffle)
{
    Q_UNUSED(index)
    Q_UNUSED(shuffle)
}

void QuintaveilPage::displayPageInWindow(ParlovancePages page, QVariant parameter)
{
    if (owner)
        owner->goToPage(page, parameter);
}

void QuintaveilPage::displayPreviousPageInWindow()
{
    disappear();
    if (owner)
        owner->goBack();
}

void QuintaveilPage::showPage(int targetPage)
{
    emit goToPage(ParlovancePages(targetPage), QVariant(QString()));
}

void QuintaveilPage::goToPlayerView()
{
    emit goToPage(PageNowPlaying, QVariant());
    if (owner)
        owner->noticeGoingToPlayerView();
}

void QuintaveilPage::addNowPlayingAction(MAction* action)
{
    if (!nowPlaying) {
        nowPlaying = new NowPlayingButton(this);
        nowPlaying->setVisible(nowPlaying->isButtonVisible());
        addAction(nowPlaying);
    }
    if (!action) {
        action = new MAction(QString(), this);
        action->setObjectName(QStringLiteral("dummyAction"));
    }
    action->setLocation(MAction::ToolBarLocation);
    addAction(action);
    connect(nowPlaying, SIGNAL(visibilityChanged()), this, SLOT(showHideNowPlayingButton()),
            Qt::UniqueConnection);
    connect(nowPlaying, SIGNAL(triggered()), this, SLOT(goToPlayerView()), Qt::UniqueConnection);
    connect(this, SIGNAL(displayEntered()), this, SLOT(showHideNowPlayingButton()),
            Qt::UniqueConnection);
}

void QuintaveilPage::showHideNowPlayingButton()
{
    if (!nowPlaying)
        return;
    const bool visible = nowPlaying->isButtonVisible();
    if (nowPlaying->isVisible() != visible)
        nowPlaying->setVisible(visible);
}

void QuintaveilPage::setPositionIndicatorStyle()
{
    MPannableViewport* pannable = pannableViewport();
    if (pannable && pannable->positionIndicator())
        pannable->positionIndicator()->setStyleName(
            QStringLiteral("CommonPositionIndicatorInverted"));
}

void QuintaveilPage::showIndexingBanner()
{
    showInformationBanner(notAllIndexedText);
}

void QuintaveilPage::hideObjectMenu()
{
    if (objectMenu)
        objectMenu->disappear();
}

void QuintaveilPage::connectEmptyViewHandling()
{
    if (pageModel) {
        connect(pageModel.data(), SIGNAL(rowsRemoved(QModelIndex,int,int)), this,
                SLOT(handleEmptyView()), Qt::UniqueConnection);
    }
}

void QuintaveilPage::handleEmptyView()
{
    if (pageModel && pageModel->rowCount() < 1 && !keepWhenEmpty && isVisible())
        displayPreviousPageInWindow();
}

void QuintaveilPage::handlePageAppeared()
{
    if (owner && owner->wentBack()) {
        owner->setWentBack(false);
        handleEmptyView();
    }
}

// ---- gestures ----

bool QuintaveilPage::gestureAccepted(const QList<int>& pages) const
{
    return pages.contains(owner ? owner->currentPage() : int(PageMain));
}

void QuintaveilPage::tapAndHoldGestureEvent(QGestureEvent* event, QTapAndHoldGesture* gesture)
{
    if (gestureAccepted({ PageMain, PageUsbNotice, PageNowPlaying, PageSongDetails }))
        event->accept(gesture);
    else
        event->ignore(gesture);
}

void QuintaveilPage::panGestureEvent(QGestureEvent* event, QPanGesture* gesture)
{
    if (gestureAccepted({ PageMain, PageUsbNotice, PageNowPlaying }))
        event->accept(gesture);
    else
        event->ignore(gesture);
}

void QuintaveilPage::tapGestureEvent(QGestureEvent* event, QTapGesture* gesture)
{
    if (gestureAccepted({ PageNowPlaying }))
        event->ignore(gesture);
    else
        event->accept(gesture);
}

void QuintaveilPage::swipeGestureEvent(QGestureEvent* event, QSwipeGesture* gesture)
{
    if (gestureAccepted({ PageNowPlaying }))
        event->ignore(gesture);
    else
        event->accept(gesture);
}

// ---- rows and columns ----

int QuintaveilPage::sourceRow(const QModelIndex& index) const
{
    if (!index.isValid())
        return -1;
    int row = listModel ? listModel->mapToSourceRow(index) : index.row();
    // The proxy is a flat list: its rows sit at its root, whatever group the list shows
    // them under.
    if (filterProxy && !filterProxy->filterRegExp().isEmpty())
        row = filterProxy->mapToSource(filterProxy->index(row, 0)).row();
    return row;
}

int QuintaveilPage::columnForKey(const QAbstractItemModel* model, const QString& key)
{
    if (!model)
        return -1;
    for (int column = 0; column < model->columnCount(); ++column) {
        if (model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString() == key)
            return column;
    }
    return -1;
}

QHash<QString, int> QuintaveilPage::columnTable(const QAbstractItemModel* model)
{
    QHash<QString, int> table;
    if (!model)
        return table;
    for (int column = 0; column < model->columnCount(); ++column)
        table.insert(model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                     column);
    return table;
}

// ---- covers ----

void QuintaveilPage::handleAlbumArtReady(QPixmap pixmap, QVariant data)
{
    Q_UNUSED(pixmap)
    if (!pageModel || !listModel || !data.canConvert<QModelIndex>())
        return;
    const QModelIndex index = data.value<QModelIndex>();
    if (index.isValid() && index.model() == listModel)
        listModel->emitRowChanged(index, index);
}

void QuintaveilPage::updateListAlbumArts()
{
    if (!list || !pageModel || !listModel)
        return;
    const QModelIndex first = list->firstVisibleItem();
    if (!first.isValid())
        return;
    // A group header stands for its first row.
    const QModelIndex item = listModel->rowCount(first) > 0 ? listModel->index(0, 0, first)
                                                             : first;
    // The list's rows are rows of the filter proxy while a filter is set.
    const int row = sourceRow(item);
    if (row < 0)
        return;
    for (int r = row; r <= row + 10 && r < pageModel->rowCount(); ++r)
        pageModel->requestAlbumArt(pageModel->index(r, 0));
}

// ---- playback ----

void QuintaveilPage::play(const QModelIndex& index, QSharedPointer<QAbstractItemModel> model,
                          QString name, Activity::ActivityType type, PlayOptions options,
                          int trackerId, int position)
{
    if (!model)
        return;

    activityTrackerId = trackerId;
    stayOnPage = options.testFlag(PlayWithoutPlayerView);
    shuffleOption = options.testFlag(PlayShuffled);
    playlistName = name;
    startPosition = position;

    PlayState::ModelOptions flags(PlayState::ReplaceQueue);
    if (options.testFlag(PlayCopiedModel))
        flags |= PlayState::CopyModel;
    if (type == Activity::AllSongs)
        flags |= PlayState::AllSongsQueue;
    // A request that still waits for its rows is replaced by this one.
    stopWaitingForQueueRows();
    playState->appendModel(model, flags, -1);

    activityType = type;
    playIndex = index;
    playIndexGiven = index.isValid();
    playModel = model;
    playModelCopied = options.testFlag(PlayCopiedModel);

    if (playState->songCount(PlayState::MusicMode) == 0)
        waitForQueueRows();
    else
        setupPlayback();
}

void QuintaveilPage::waitForQueueRows()
{
    connect(playState, SIGNAL(songCountChanged(int)), this, SLOT(handleQueueSongCount(int)),
            Qt::UniqueConnection);
}

void QuintaveilPage::stopWaitingForQueueRows()
{
    disconnect(playState, SIGNAL(songCountChanged(int)), this, SLOT(handleQueueSongCount(int)));
}

void QuintaveilPage::handleQueueSongCount(int count)
{
    // Emptying the queue is no answer; rows of someone else's queue are not ours to start:
    // a shared model that still has no rows cannot have filled the queue.
    if (count < 1)
        return;
    const QSharedPointer<QAbstractItemModel> model = playModel.toStrongRef();
    if (!model || (!playModelCopied && model->rowCount() < 1)) {
        qCWarning(lcPages) << Q_FUNC_INFO
                           << "- the play queue was replaced, the waiting request is dropped";
        stopWaitingForQueueRows();
        return;
    }
    setupPlayback();
}

void QuintaveilPage::setupPlayback()
{
    stopWaitingForQueueRows();

    int row = 0;
    if (playIndexGiven) {
        // A row that went away while waiting must not start another song in its place.
        if (!playIndex.isValid() || !listModel) {
            qCWarning(lcPages) << Q_FUNC_INFO << "- the row to play is gone";
            return;
        }
        row = listModel->mapToSourceRow(playIndex);
    } else if (startPosition >= 1) {
        row = startPosition;
        playState->setTrackNumber(startPosition);
    }

    PlayState::ModelOptions flags;
    if (shuffleOption)
        flags |= PlayState::ShuffledStart;
    if (stayOnPage)
        flags |= PlayState::PlayNow;
    playRow = playState->startPlayback(row, flags);

    if (stayOnPage) {
        startSongPlayback();
        return;
    }
    MApplicationWindow* window = MApplication::activeApplicationWindow();
    if (window && window->currentPage() == this)
        connect(this, SIGNAL(disappeared()), this, SLOT(startSongPlayback()),
                Qt::UniqueConnection);
    else
        QTimer::singleShot(0, this, SLOT(startSongPlayback()));
    emit goToPage(PageNowPlaying, QVariant());
}

void QuintaveilPage::startSongPlayback()
{
    disconnect(this, SIGNAL(disappeared()), this, SLOT(startSongPlayback()));

    // The hub refused to start (mass storage, the library being indexed) and said so itself:
    // nothing was played, so nothing is recorded.
    if (playRow < 0) {
        qCWarning(lcPages) << Q_FUNC_INFO << "- playback was refused, no activity recorded";
        return;
    }
    if (!stayOnPage)
        playState->play(PlayState::MusicMode);
    if (activityType == Activity::NoActivity)
        return;

    QString additional;
    int trackerId = 0;
    switch (activityType) {
    case Activity::Album:
        additional = playState->artist(PlayState::MusicMode);
        trackerId = playState->albumId(PlayState::MusicMode);
        break;
    case Activity::Artist:
        additional = playState->album(PlayState::MusicMode);
        trackerId = activityTrackerId;
        break;
    case Activity::Playlist:
    case Activity::UserPlaylist:
        trackerId = activityTrackerId;
        break;
    default:
        break;
    }
    LatestActivityController::instance()->addActivity(activityType, activityName(),
                                                       shuffleOption, additional, trackerId);
}

QString QuintaveilPage::activityName() const
{
    switch (activityType) {
    case Activity::AllSongs:
        return QLatin1String(PlayAllSongsName);
    case Activity::Album: {
        const QString album = playState->album(PlayState::MusicMode);
        return album == qtTrId(UnknownAlbumId) ? QLatin1String(UnknownAlbumId) : album;
    }
    case Activity::Artist: {
        const QString artist = playState->artist(PlayState::MusicMode);
        return artist == qtTrId(UnknownArtistId) ? QLatin1String(UnknownArtistId) : artist;
    }
    case Activity::Playlist:
    case Activity::UserPlaylist:
        return playlistName;
    default:
        return QString();
    }
}

QSharedPointer<MafwTrackerModel> QuintaveilPage::specialItemModel(
    QString* name, Activity::ActivityType* type) const
{
    // The markers in the order the menu entries look at them.
    MafwTrackerModel::QueryType query;
    int id = 0;
    bool album = true;
    if (unknownAlbumItem) {
        query = MafwTrackerModel::SongsOfUnknownAlbum;
    } else if (unknownArtistItem) {
        query = MafwTrackerModel::SongsOfUnknownArtist;
        album = false;
    } else if (unknownAlbumOfArtistItem) {
        query = MafwTrackerModel::SongsOfArtistWithoutAlbum;
        id = specialItemId;
    } else if (artistItem) {
        query = MafwTrackerModel::SongsOfArtist;
        id = specialItemId;
        album = false;
    } else {
        return QSharedPointer<MafwTrackerModel>();
    }
    if (name)
        *name = album ? QStringLiteral("songsOfAlbum") : QStringLiteral("songsOfArtist");
    if (type)
        *type = album ? Activity::Album : Activity::Artist;
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    return QSharedPointer<MafwTrackerModel>(factory ? factory->getModel(query, 0, id) : nullptr);
}

bool QuintaveilPage::isSpecialItem() const
{
    return unknownAlbumItem || unknownArtistItem || unknownAlbumOfArtistItem || artistItem;
}

void QuintaveilPage::handlePlay()
{
    if (isSpecialItem()) {
        QString name;
        Activity::ActivityType type = Activity::NoActivity;
        const QSharedPointer<MafwTrackerModel> model = specialItemModel(&name, &type);
        if (model)
            play(QModelIndex(), model, name, type, PlayOptions(), 0, -1);
        return;
    }

    const QHash<QString, QVariant> parameters = itemParameters(longTappedItem());
    const auto model = parameters.value(QStringLiteral("model"))
                           .value<QSharedPointer<MafwTrackerModel>>();
    if (!model || !parameters.contains(QStringLiteral("name"))
        || !parameters.contains(QStringLiteral("type")))
        return;
    const int trackerId = parameters.value(QStringLiteral("trackerId")).toInt();
    play(QModelIndex(), model, parameters.value(QStringLiteral("name")).toString(),
         Activity::typeFromValue(parameters.value(QStringLiteral("type")).toInt()),
         trackerId < 0 ? PlayOptions(PlayCopiedModel) : PlayOptions(), trackerId, -1);
}

void QuintaveilPage::handleAddToQueue()
{
    if (isSpecialItem()) {
        const QSharedPointer<MafwTrackerModel> model = specialItemModel(nullptr, nullptr);
        if (model)
            appendToQueue(model, false, -1);
        return;
    }

    const QHash<QString, QVariant> parameters = itemParameters(longTappedItem());
    const auto model = parameters.value(QStringLiteral("model"))
                           .value<QSharedPointer<MafwTrackerModel>>();
    if (model) {
        appendToQueue(model, parameters.value(QStringLiteral("trackerId")).toInt() < 0, -1);
        return;
    }
    // A song of the page's own list: one row, copied.
    if (!pageModel)
        return;
    const int row = sourceRow(longTappedItem());
    if (row < 0)
        return;
    appendToQueue(pageModel, true, row);
}

void QuintaveilPage::appendToQueue(QSharedPointer<MafwTrackerModel> model, bool createCopy,
                                   int row)
{
    if (!model)
        return;
    playState->appendModel(model, createCopy ? PlayState::ModelOptions(PlayState::CopyModel)
                                             : PlayState::ModelOptions(),
                           row);
    const int count = row >= 0 ? 1 : model->rowCount();
    if (model->isComplete()) {
        showSongsAddedBanner(count);
    } else if (!createCopy) {
        connect(model.data(), SIGNAL(completed()), this,
                SLOT(showAddToQueueBannerAfterModelIsCompleted()), Qt::UniqueConnection);
    } else {
        connect(playState, SIGNAL(songsAddedToPlaylist(int)), this,
                SLOT(handleSongsAddedToPlaylist(int)), Qt::UniqueConnection);
    }
}

void QuintaveilPage::showAddToQueueBannerAfterModelIsCompleted()
{
    QObject* source = sender();
    if (auto* model = qobject_cast<MafwTrackerModel*>(source))
        showSongsAddedBanner(model->rowCount());
    if (source)
        disconnect(source, SIGNAL(completed()), this,
                   SLOT(showAddToQueueBannerAfterModelIsCompleted()));
}

void QuintaveilPage::handleSongsAddedToPlaylist(int count)
{
    disconnect(playState, SIGNAL(songsAddedToPlaylist(int)), this,
               SLOT(handleSongsAddedToPlaylist(int)));
    showSongsAddedBanner(count);
}

void QuintaveilPage::showSongsAddedBanner(int count)
{
    if (count <= 0)
        return;
    showInformationBanner(qtTrId("qtn_musi_songsadded", count)
                              .arg(MLocale().formatNumber(count), 0, QLatin1Char(' ')));
}

// ---- live filter ----

void QuintaveilPage::createFilterEdit()
{
    if (!filterEdit)
        filterEdit = new FilterWidget(centralWidget());
}

void QuintaveilPage::addFilterEdit()
{
}

void QuintaveilPage::enableKeyboardFiltering(bool enable)
{
    keyboardFiltering = enable;
    if (!filterEdit)
        return;
    if (enable)
        connect(filterEdit, SIGNAL(textChanged()), this, SLOT(handleFilterTextChange()),
                Qt::UniqueConnection);
    else
        disconnect(filterEdit, SIGNAL(textChanged()), this, SLOT(handleFilterTextChange()));
}

void QuintaveilPage::enableFilteringOnDisplayEnter()
{
    if (keyboardFiltering && filterEdit)
        connect(filterEdit, SIGNAL(textChanged()), this, SLOT(handleFilterTextChange()),
                Qt::UniqueConnection);
}

void QuintaveilPage::disableFilteringOnDisplayExit()
{
    if (!keyboardFiltering)
        return;
    setFocus(Qt::OtherFocusReason);
    if (filterEdit) {
        disconnect(filterEdit, SIGNAL(textChanged()), this, SLOT(handleFilterTextChange()));
        filterEdit->setText(QString());
    }
    QTimer::singleShot(FilterSendDelayMs, this, SLOT(sendChangedFilterText()));
    emit filteringStopped();
}

void QuintaveilPage::handleFilterTextChange()
{
    if (filterSendPending)
        return;
    filterSendPending = true;
    QTimer::singleShot(FilterSendDelayMs, this, SLOT(sendChangedFilterText()));
}

void QuintaveilPage::sendChangedFilterText()
{
    filterSendPending = false;
    emit filterTextChanged(filterEdit ? filterEdit->text() : QString());
}

void QuintaveilPage::keyPressEvent(QKeyEvent* event)
{
    // Pages without a filter field (every page but the collections) have nothing to type in.
    if (!filterEdit) {
        MApplicationPage::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    const QChar first = typed.isEmpty() ? QChar() : typed.at(0);
    if (!first.isPrint()) {
        MApplicationPage::keyPressEvent(event);
        return;
    }
    if (!keyboardFiltering)
        enableKeyboardFiltering(true);
    if (isVisible() && filterEdit->text().isEmpty()) {
        if (MPannableViewport* pannable = pannableViewport())
            pannable->setPosition(QPointF(0, -1));
        emit filteringStarted();
    }
    filterEdit->setText(typed);
    filterEdit->textEdit()->setFocus(Qt::OtherFocusReason);
    event->accept();
}

void QuintaveilPage::handlePageListVisible()
{
    MPannableViewport* pannable = pannableViewport();
    if (!pannable || pannable == viewport)
        return;
    viewport = pannable;
    connect(pannable, SIGNAL(positionChanged(QPointF)), this, SLOT(showLiveFilterBox(QPointF)),
            Qt::UniqueConnection);
}

void QuintaveilPage::showLiveFilterBox(const QPointF& position)
{
    if (position.y() < 0 && lastViewportPosition.y() == 0 && filterEdit
        && !filterEdit->isVisible())
        addFilterEdit();
    lastViewportPosition = position;
}

void QuintaveilPage::onPanningStarted()
{
    panning = true;
    if (list)
        list->setFocus(Qt::OtherFocusReason);
    if (filterEdit)
        filterEdit->clearFocus();
}

void QuintaveilPage::onPanningStopped()
{
    panning = false;
}

// ---- object menu and item actions ----

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
        || type == MafwTrackerModel::AllArtists || type == MafwTrackerModel::UnknownAlbumOfArtist;
}

const char* const SongIdKey = "songId";

} // namespace

void QuintaveilPage::createObjectMenu(ObjectMenuType type)
{
    const bool songs = type == SongObjectMenu || type == SongObjectMenuWithoutDelete;
    const bool collections = type == CollectionObjectMenu
                          || type == CollectionObjectMenuWithoutPlaylist;
    if (!songs && !collections) {
        delete objectMenu.data();
        return;
    }
    if (!objectMenu) {
        objectMenu = new MObjectMenu(nullptr);
        objectMenu->setStyleName(QStringLiteral("Inverted"));
    }
    auto addEntry = [this](const QString& text, const char* slot, Qt::ConnectionType connection) {
        auto* action = new MAction(text, objectMenu);
        objectMenu->addAction(action);
        connect(action, SIGNAL(triggered()), this, slot, connection);
    };

    if (songs) {
        addEntry(addToQueueText, SLOT(handleAddToQueue()), Qt::AutoConnection);
        addEntry(qtTrId("qtn_musi_add_to_playlist"), SLOT(handleAddToPlaylist()),
                 Qt::UniqueConnection);
        addEntry(favoriteText, SLOT(handleMarkAsFavourite()), Qt::AutoConnection);
        addEntry(detailsText, SLOT(handleViewDetails()), Qt::AutoConnection);
        addEntry(setAsRingtoneText, SLOT(setAsRingtone()), Qt::AutoConnection);
    } else {
        addEntry(playText, SLOT(handlePlay()), Qt::UniqueConnection);
        addEntry(addToQueueText, SLOT(handleAddToQueue()), Qt::UniqueConnection);
        if (type == CollectionObjectMenu)
            addEntry(qtTrId("qtn_musi_add_to_playlist"), SLOT(handleAddToPlaylist()),
                     Qt::UniqueConnection);
    }
    if (type != SongObjectMenuWithoutDelete) {
        if (!deleteAction)
            deleteAction = new MAction(deleteText, objectMenu);
        if (!objectMenu->actions().contains(deleteAction)) {
            objectMenu->addAction(deleteAction);
            connect(deleteAction, SIGNAL(triggered()), this, SLOT(handleDeleteObject()));
        }
    }
    for (QAction* action : objectMenu->actions()) {
        if (auto* entry = qobject_cast<MAction*>(action))
            entry->setLocation(MAction::ObjectMenuLocation);
    }
}

void QuintaveilPage::handleListItemLongTap(const QModelIndex& index, const QPointF& position)
{
    Q_UNUSED(position)
    unknownArtistItem = false;
    unknownAlbumItem = false;
    unknownAlbumOfArtistItem = false;
    artistItem = false;
    if (!objectMenu)
        return;
    if (!index.isValid()) {
        // A row that is no item of the page model: the marker the subclass sets next says
        // what it is, and no earlier row may stand in for it.
        longTappedIndex = QPersistentModelIndex();
        longTappedId = 0;
        showObjectMenu();
        return;
    }
    longTappedIndex = index;
    longTappedId = itemIdAt(index);
    updateObjectMenuActions(index);
    showObjectMenu();
}

void QuintaveilPage::showObjectMenu()
{
    if (MSceneManager* manager = sceneManager())
        manager->appearSceneWindow(objectMenu, MSceneWindow::KeepWhenDone);
}

void QuintaveilPage::updateObjectMenuActions(const QModelIndex& index)
{
    if (!objectMenu || !index.isValid())
        return;
    const int column = columnForKey(pageModel.data(), QStringLiteral("favorited"));
    const int row = sourceRow(index);
    if (column >= 0 && row >= 0) {
        const bool favourite = pageModel->data(pageModel->index(row, column)).toBool();
        for (QAction* action : objectMenu->actions()) {
            if (favourite && action->text() == favoriteText)
                action->setText(unmarkFavoriteText);
            else if (!favourite && action->text() == unmarkFavoriteText)
                action->setText(favoriteText);
        }
    }

    if (owner && owner->currentPage() == PagePlaylists && deleteAction) {
        const bool shown = objectMenu->actions().contains(deleteAction);
        if (deletePermission && !shown) {
            objectMenu->addAction(deleteAction);
            connect(deleteAction, SIGNAL(triggered()), this, SLOT(handleDeleteObject()),
                    Qt::UniqueConnection);
        } else if (!deletePermission && shown) {
            disconnect(deleteAction, SIGNAL(triggered()), this, SLOT(handleDeleteObject()));
            objectMenu->removeAction(deleteAction);
        }
    }
}

QString QuintaveilPage::itemIdKey() const
{
    if (!pageModel)
        return QString();
    const MafwTrackerModel::QueryType type = pageModel->queryType();
    if (isSongList(type))
        return QLatin1String(SongIdKey);
    if (type >= MafwTrackerModel::AllAlbums && type <= MafwTrackerModel::AlbumsWithoutArtist)
        return QStringLiteral("albumId");
    if (type == MafwTrackerModel::AllArtists)
        return QStringLiteral("artistId");
    if (type >= MafwTrackerModel::PlaylistFiles && type <= MafwTrackerModel::UserPlaylists)
        return QStringLiteral("playlistId");
    return QString();
}

int QuintaveilPage::itemIdAt(const QModelIndex& index) const
{
    const int column = columnForKey(pageModel.data(), itemIdKey());
    const int row = sourceRow(index);
    if (column < 0 || row < 0 || row >= pageModel->rowCount())
        return 0;
    return pageModel->data(pageModel->index(row, column)).toInt();
}

QModelIndex QuintaveilPage::listIndexOfSourceRow(int row) const
{
    if (!pageModel || row < 0 || row >= pageModel->rowCount())
        return QModelIndex();
    QModelIndex index = pageModel->index(row, 0);
    if (!listModel)
        return index;
    if (filterProxy && filterProxy->sourceModel() == pageModel.data()) {
        if (!filterProxy->filterRegExp().isEmpty())
            index = filterProxy->mapFromSource(index);
        else
            index = filterProxy->index(row, 0);
    }
    return listModel->mapFromSource(index);
}

QModelIndex QuintaveilPage::longTappedItem() const
{
    // Rows come and go while the menu or the dialog is open, and a regrouping list forgets
    // its rows: the item is known by its id, and its row is looked for again when needed.
    if (longTappedIndex.isValid() && (longTappedId == 0 || itemIdAt(longTappedIndex) == longTappedId))
        return longTappedIndex;
    const int column = columnForKey(pageModel.data(), itemIdKey());
    if (longTappedId == 0 || column < 0)
        return QModelIndex();
    for (int row = 0; row < pageModel->rowCount(); ++row) {
        if (pageModel->data(pageModel->index(row, column)).toInt() == longTappedId)
            return listIndexOfSourceRow(row);
    }
    return QModelIndex();
}

int QuintaveilPage::longTappedSongId() const
{
    const int column = columnForKey(pageModel.data(), QLatin1String(SongIdKey));
    const int row = sourceRow(longTappedItem());
    if (column < 0 || row < 0)
        return 0;
    return pageModel->data(pageModel->index(row, column)).toInt();
}

QVariant QuintaveilPage::itemCell(const QModelIndex& index, int column) const
{
    if (!index.isValid() || column < 0)
        return QVariant();
    if (index.model() == pageModel.data())
        return pageModel->data(pageModel->index(index.row(), column));
    // The list adapter serves every column of a row under its own role.
    return index.data(Qt::UserRole + column);
}

void QuintaveilPage::handleMarkAsFavourite()
{
    const int row = sourceRow(longTappedItem());
    const int column = columnForKey(pageModel.data(), QStringLiteral("favorited"));
    if (row < 0 || column < 0)
        return;
    const QModelIndex cell = pageModel->index(row, column);
    pageModel->setData(cell, !cell.data().toBool(), Qt::EditRole);
}

void QuintaveilPage::handleViewDetails()
{
    const int id = longTappedSongId();
    if (id > 0)
        emit goToPage(PageSongDetails, QVariant(id));
}

void QuintaveilPage::setAsRingtone(const QModelIndex& index)
{
    if (!pageModel)
        return;
    int id = 0;
    if (index.isValid()) {
        const int column = columnForKey(pageModel.data(), QLatin1String(SongIdKey));
        const int row = sourceRow(index);
        if (column < 0 || row < 0)
            return;
        id = pageModel->data(pageModel->index(row, column)).toInt();
    } else {
        if (!longTappedItem().isValid())
            return;
        id = longTappedSongId();
    }
    RingtoneSetter::instance()->setAsRingtone(id);
}

void QuintaveilPage::handleAddToPlaylist()
{
    int itemType = -1;
    int id = 0;
    if (unknownAlbumItem) {
        itemType = PlaylistSelectionSheet::SongsWithoutAlbum;
        id = -1;
    } else if (unknownArtistItem) {
        itemType = PlaylistSelectionSheet::SongsWithoutArtist;
        id = -1;
    } else if (artistItem) {
        itemType = PlaylistSelectionSheet::ArtistItem;
        id = specialItemId;
        artistItem = false;
        specialItemId = -1;
    } else if (unknownAlbumOfArtistItem) {
        // No kind of playlist item stands for the songs without album of one artist, and the
        // row long-tapped before this one must not be added in their place.
        qCDebug(lcPages) << Q_FUNC_INFO << "- the unknown album of an artist cannot be added";
        return;
    } else {
        if (!pageModel)
            return;
        const MafwTrackerModel::QueryType type = pageModel->queryType();
        QString key;
        if ((type >= MafwTrackerModel::AllSongs && type <= MafwTrackerModel::SongsOfUserPlaylist)
            || type == MafwTrackerModel::AlbumsWithoutArtist) {
            key = QLatin1String(SongIdKey);
            itemType = PlaylistSelectionSheet::SongItem;
        } else if (type >= MafwTrackerModel::AllAlbums
                   && type <= MafwTrackerModel::RecentlyAddedAlbums) {
            key = QStringLiteral("albumId");
            itemType = PlaylistSelectionSheet::AlbumItem;
        } else if (type == MafwTrackerModel::AllArtists) {
            key = QStringLiteral("artistId");
            itemType = PlaylistSelectionSheet::ArtistItem;
        } else {
            return;
        }
        const int column = columnForKey(pageModel.data(), key);
        const int row = sourceRow(longTappedItem());
        if (column < 0 || row < 0)
            return;
        id = pageModel->data(pageModel->index(row, column)).toInt();
    }
    const bool wholeSet = id == -1
        && (itemType == PlaylistSelectionSheet::SongsWithoutAlbum
            || itemType == PlaylistSelectionSheet::SongsWithoutArtist);
    if (id <= 0 && !wholeSet)
        return;
    auto* sheet = new PlaylistSelectionSheet(itemType, id);
    sheet->appear(MApplication::activeApplicationWindow(), MSceneWindow::DestroyWhenDismissed);
}

void QuintaveilPage::handleDeleteObject(const QModelIndex& index)
{
    MafwTrackerModel::QueryType type = MafwTrackerModel::NoList;
    int id = 0;
    QString name;

    // A special row is known by its marker; it never falls back to a row tapped before.
    if (!index.isValid() && isSpecialItem()) {
        const int page = owner ? owner->currentPage() : -1;
        if (unknownArtistItem && (page == PageArtists || page == PageAlbumsOfArtist)) {
            type = MafwTrackerModel::SongsOfUnknownArtist;
        } else if (unknownAlbumItem && page == PageAlbums) {
            type = MafwTrackerModel::SongsOfUnknownAlbum;
        } else if (unknownAlbumOfArtistItem && page == PageAlbumsOfArtist) {
            id = specialItemId;
            name = specialItemName;
            // The unknown artist's songs without album are the songs with neither.
            type = id > 0 ? MafwTrackerModel::UnknownAlbumOfArtist
                          : MafwTrackerModel::SongsWithoutAlbumAndArtist;
        } else if (artistItem && page == PageAlbumsOfArtist) {
            if (specialItemId > 0) {
                type = MafwTrackerModel::AllArtists;
                id = specialItemId;
                name = specialItemName;
            } else {
                type = MafwTrackerModel::SongsOfUnknownArtist;
            }
        }
        deleteFromLibrary(type, id, name);
        return;
    }

    const QModelIndex item = index.isValid() ? index : longTappedItem();
    if (!item.isValid() || !pageModel) {
        qCDebug(lcPages) << Q_FUNC_INFO << "- the item is gone, nothing to delete";
        return;
    }
    type = pageModel->queryType();
    QString nameKey;
    QString idKey;
    if (isSongList(type)) {
        nameKey = QStringLiteral("songTitle");
        idKey = QLatin1String(SongIdKey);
    } else if (isAlbumList(type)) {
        nameKey = QStringLiteral("albumName");
        idKey = QStringLiteral("albumId");
    } else if (type == MafwTrackerModel::AllArtists) {
        nameKey = QStringLiteral("artistName");
        idKey = QStringLiteral("artistId");
    } else if (isPlaylistList(type)) {
        nameKey = QStringLiteral("playlistName");
        idKey = QStringLiteral("playlistId");
    } else {
        qCWarning(lcPages) << Q_FUNC_INFO << "Item type" << int(type) << "can't be deleted";
        return;
    }
    name = itemCell(item, columnForKey(pageModel.data(), nameKey)).toString();
    id = itemCell(item, columnForKey(pageModel.data(), idKey)).toInt();
    if (id < 1 && type == MafwTrackerModel::AlbumsWithoutArtist)
        type = MafwTrackerModel::SongsWithoutAlbumAndArtist;
    deleteFromLibrary(type, id, name);
}

void QuintaveilPage::deleteFromLibrary(MafwTrackerModel::QueryType type, int trackerId,
                                       QString name)
{
    if (type == MafwTrackerModel::NoList)
        return;
    // An empty id list deletes a whole set; only three kinds of set have that meaning.
    if (!isWholeSet(type) && (!isDeletable(type) || trackerId < 1)) {
        qCWarning(lcPages) << Q_FUNC_INFO << "- nothing to delete: query type" << int(type)
                           << "id" << trackerId;
        return;
    }
    // One question at a time: the answer to an earlier one must not delete this item.
    if (deleteDialog) {
        disconnect(deleteDialog, SIGNAL(finished(int)), this,
                   SLOT(processDeleteDialogResult(int)));
        deleteDialog->disappear();
    }
    deleteTrackerId = trackerId;
    deleteQueryType = type;
    deleteDialog = new DeleteObjectDialog(type, name, this);
    connect(deleteDialog, SIGNAL(finished(int)), this, SLOT(processDeleteDialogResult(int)));
}

void QuintaveilPage::processDeleteDialogResult(int resultCode)
{
    if (resultCode == M::YesButton && deleteQueryType != MafwTrackerModel::NoList) {
        QList<int> ids;
        if (deleteTrackerId > 0 && !isWholeSet(deleteQueryType))
            ids.append(deleteTrackerId);
        if (MafwTrackerModelFactory* factory =
                MafwTrackerModelFactoryInstance::instance()->factory())
            factory->deleteItems(ids, deleteQueryType);
        // The artist whose albums the page shows is gone.
        if (artistItem && isVisible() && owner && owner->currentPage() == PageAlbumsOfArtist)
            displayPreviousPageInWindow();
    }
    longTappedIndex = QPersistentModelIndex();
    longTappedId = 0;
    deleteTrackerId = 0;
    deleteQueryType = MafwTrackerModel::NoList;
    deleteDialog = nullptr;
}
