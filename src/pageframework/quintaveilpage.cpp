#include "quintaveilpage.h"

#include "common/logging.h"
#include "common/constants.h"
#include "filterwidget.h"
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
#include "mobjectmenu.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"
#include "mtextedit.h"
#include "pagebackground.h"
#include "playback/nowplayingbutton.h"
#include "playback/playstate.h"
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

// ---- set-up and navigation ----

void QuintaveilPage::setupPageConnections(ObjectMenuType type)
{
    Q_UNUSED(type) // the object menus are built with the item actions
    setFocusPolicy(Qt::StrongFocus);
    createList();
    if (list) {
        connect(list, SIGNAL(itemClicked(QModelIndex)), this,
                SLOT(handleListItemClick(QModelIndex)), Qt::UniqueConnection);
    }
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

    const QHash<QString, QVariant> parameters = itemParameters(longTappedIndex);
    const auto model = parameters.value(QStringLiteral("model"))
                           .value<QSharedPointer<MafwTrackerModel>>();
    if (!model || !parameters.contains(QStringLiteral("name"))
        || !parameters.contains(QStringLiteral("type")))
        return;
    const int trackerId = parameters.value(QStringLiteral("trackerId")).toInt();
    play(QModelIndex(), model, parameters.value(QStringLiteral("name")).toString(),
         Activity::ActivityType(parameters.value(QStringLiteral("type")).toInt()),
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

    const QHash<QString, QVariant> parameters = itemParameters(longTappedIndex);
    const auto model = parameters.value(QStringLiteral("model"))
                           .value<QSharedPointer<MafwTrackerModel>>();
    if (model) {
        appendToQueue(model, parameters.value(QStringLiteral("trackerId")).toInt() < 0, -1);
        return;
    }
    // A song of the page's own list: one row, copied.
    if (!pageModel)
        return;
    const int row = sourceRow(longTappedIndex);
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
