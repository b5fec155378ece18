#include "quintaveilpage.h"

#include "filterwidget.h"
#include "livefilter.h"
#include "nowplayingbutton.h"
#include "pagebackground.h"
#include "pageplayer.h"

#include "common/constants.h"
#include "data/listmodel.h"
#include "data/twinturbosortfilterproxymodel.h"
#include "maction.h"
#include "mapplication.h"
#include "mapplicationwindow.h"
#include "mbanner.h"
#include "mlist.h"
#include "mobjectmenu.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"
#include "mscenemanager.h"

#include <QGestureEvent>
#include <QGestureRecognizer>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

using namespace Parlovance;

QuintaveilPage::QuintaveilPage(PageWindow* window, const QVariant& parameter)
    : MApplicationPage(nullptr)
    , owner(window)
    , player(new PagePlayer(this))
    , itemMenu(new ItemMenu(this, this))
    , liveFilter(new LiveFilter(this))
{
    Activity::registerMetaTypes();
    qRegisterMetaType<QModelIndex>("QModelIndex");
    qRegisterMetaType<QSharedPointer<MafwTrackerModel>>("QSharedPointer<MafwTrackerModel>");
    if (parameter.canConvert<bool>())
        deviceEmpty = parameter.toBool();
    PageBackground::build();

    connect(player, &PagePlayer::playerWanted, this,
            [this] { emit goToPage(PageNowPlaying, QVariant()); });
    connect(liveFilter, &LiveFilter::textChanged, this, &QuintaveilPage::filterTextChanged);
    connect(liveFilter, &LiveFilter::started, this, &QuintaveilPage::filteringStarted);
    connect(liveFilter, &LiveFilter::stopped, this, &QuintaveilPage::filteringStopped);
    connect(liveFilter, &LiveFilter::pulledDown, this, &QuintaveilPage::addFilterEdit);
}

QuintaveilPage::~QuintaveilPage()
{
    // The list goes after the page part of this object, as the items around it are torn down;
    // hidden, it paints no more cells, whose painters would ask this page about itself.
    if (list)
        list->hide();
    delete liveFilter->field();
    delete itemMenu->menu();
    delete nowPlaying.data();
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

FilterWidget* QuintaveilPage::filterField() const
{
    return liveFilter->field();
}

NowPlayingButton* QuintaveilPage::nowPlayingButton() const
{
    return nowPlaying;
}

MObjectMenu* QuintaveilPage::pageObjectMenu() const
{
    return itemMenu->menu();
}

void QuintaveilPage::showInformationBanner(const QString& title)
{
    auto* banner = new MBanner;
    banner->setStyleName(Constants::InformationBanner);
    banner->setTitle(title);
    banner->appear(MApplication::activeWindow(), MSceneWindow::DestroyWhenDone);
}

// ---- set-up and navigation ----

void QuintaveilPage::setupPageConnections(ObjectMenuType type)
{
    setFocusPolicy(Qt::StrongFocus);
    createList();
    if (list) {
        connect(list, &MList::itemClicked, this, &QuintaveilPage::handleListItemClick,
                Qt::UniqueConnection);
        connect(list, &MList::itemLongTapped, this, &QuintaveilPage::handleListItemLongTap,
                Qt::UniqueConnection);
    }
    itemMenu->createMenu(type);
    connect(this, &QuintaveilPage::goToPage, this, &QuintaveilPage::displayPageInWindow,
            Qt::UniqueConnection);
    if (owner) {
        connect(this, &QuintaveilPage::preLoadPage, this, &QuintaveilPage::loadPageInWindow,
                Qt::UniqueConnection);
        connect(owner->windowObject(), SIGNAL(trackerIndexing()), this, SLOT(showIndexingBanner()),
                Qt::UniqueConnection);
    }
    connect(this, &MApplicationPage::backButtonClicked, this,
            &QuintaveilPage::displayPreviousPageInWindow, Qt::UniqueConnection);
    connect(this, &QuintaveilPage::goBack, this, &QuintaveilPage::displayPreviousPageInWindow,
            Qt::UniqueConnection);
    connect(this, &MSceneWindow::disappeared, this, &QuintaveilPage::hideObjectMenu,
            Qt::UniqueConnection);
    connect(this, &MSceneWindow::appeared, this, &QuintaveilPage::handlePageAppeared,
            Qt::UniqueConnection);
    if (list) {
        connect(list, &MWidget::displayEntered, this, &QuintaveilPage::handlePageListVisible,
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

void QuintaveilPage::loadPageInWindow(ParlovancePages page)
{
    if (owner)
        owner->loadPage(page);
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
    showInformationBanner(qtTrId("qtn_comm_not_all_indexed"));
}

void QuintaveilPage::hideObjectMenu()
{
    itemMenu->hide();
}

void QuintaveilPage::connectEmptyViewHandling()
{
    if (pageModel) {
        connect(pageModel.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)), this,
                SLOT(handleEmptyView()), Qt::UniqueConnection);
    }
}

void QuintaveilPage::handleEmptyView()
{
    // Judged on the next turn, once the change that took the rows is over: a song that moves
    // within one change of the store leaves its place and comes back in the same call.
    if (emptyListJudgement)
        return;
    emptyListJudgement = true;
    QTimer::singleShot(0, this, &QuintaveilPage::judgeEmptyList);
}

void QuintaveilPage::judgeEmptyList()
{
    emptyListJudgement = false;
    if (pageModel && pageModel->rowCount() < 1 && !keepWhenEmpty && isInFront())
        displayPreviousPageInWindow();
}

bool QuintaveilPage::isInFront() const
{
    // Only the page the user has in front leaves: one on its way out has been left already.
    const MWindow* window = managingWindow();
    const SceneWindowState state = sceneWindowState();
    return window && window->sceneManager()->currentPage() == this
           && (state == Appearing || state == Appeared);
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
    const QModelIndex item = listModel->rowCount(first) > 0 ? listModel->index(0, 0, first) : first;
    // The list's rows are rows of the filter proxy while a filter is set.
    const int row = sourceRow(item);
    if (row < 0)
        return;
    for (int r = row; r <= row + 10 && r < pageModel->rowCount(); ++r)
        pageModel->requestAlbumArt(pageModel->index(r, 0));
}

// ---- playback: the page's player ----

void QuintaveilPage::play(const QModelIndex& index, QSharedPointer<QAbstractItemModel> model,
                          QString name, Activity::ActivityType type, PlayOptions options,
                          int trackerId, int position)
{
    player->play(index, model, name, type, options, trackerId, position);
}

void QuintaveilPage::startSongPlayback()
{
    player->startSongPlayback();
}

void QuintaveilPage::appendToQueue(QSharedPointer<MafwTrackerModel> model, bool createCopy, int row)
{
    player->appendToQueue(model, createCopy, row);
}

void QuintaveilPage::showSongsAddedBanner(int count)
{
    PagePlayer::showSongsAddedBanner(count);
}

// ---- the object menu and its entries ----

void QuintaveilPage::handleListItemLongTap(const QModelIndex& index, const QPointF& position)
{
    Q_UNUSED(position)
    itemMenu->openFor(index);
}

void QuintaveilPage::markSpecialRow(ItemMenu::SpecialRow row, int id, const QString& name)
{
    itemMenu->markSpecialRow(row, id, name);
}

void QuintaveilPage::setDeletePermission(bool permitted)
{
    itemMenu->setDeletePermission(permitted);
}

void QuintaveilPage::setArtistRowIsPageSubject(bool subject)
{
    itemMenu->setArtistRowIsPageSubject(subject);
}

void QuintaveilPage::playSongs(QSharedPointer<MafwTrackerModel> songs, const QString& name,
                               Activity::ActivityType type, PlayOptions options, int trackerId)
{
    play(QModelIndex(), songs, name, type, options, trackerId, -1);
}

void QuintaveilPage::queueSongs(QSharedPointer<MafwTrackerModel> songs, bool copy, int row)
{
    appendToQueue(songs, copy, row);
}

void QuintaveilPage::openPage(ParlovancePages page, const QVariant& parameter)
{
    emit goToPage(page, parameter);
}

void QuintaveilPage::leaveIfInFront()
{
    if (isVisible() && owner && owner->cachedPage(ParlovancePages(owner->currentPage())) == this)
        displayPreviousPageInWindow();
}

QModelIndex QuintaveilPage::longTappedItem() const
{
    return itemMenu->longTappedItem();
}

void QuintaveilPage::handlePlay()
{
    itemMenu->play();
}

void QuintaveilPage::handleAddToQueue()
{
    itemMenu->addToQueue();
}

void QuintaveilPage::handleAddToPlaylist()
{
    itemMenu->addToPlaylist();
}

void QuintaveilPage::handleMarkAsFavourite()
{
    itemMenu->markAsFavourite();
}

void QuintaveilPage::handleViewDetails()
{
    itemMenu->viewDetails();
}

void QuintaveilPage::setAsRingtone(const QModelIndex& index)
{
    itemMenu->setAsRingtone(index);
}

void QuintaveilPage::deleteFromLibrary(MafwTrackerModel::QueryType type, int trackerId,
                                       QString name)
{
    itemMenu->deleteFromLibrary(type, trackerId, name);
}

// ---- the live filter ----

void QuintaveilPage::createFilterEdit()
{
    liveFilter->createField();
}

void QuintaveilPage::addFilterEdit()
{
}

void QuintaveilPage::enableKeyboardFiltering(bool enable)
{
    liveFilter->enableKeyboardFiltering(enable);
}

void QuintaveilPage::enableFilteringOnDisplayEnter()
{
    liveFilter->enableOnDisplayEnter();
}

void QuintaveilPage::disableFilteringOnDisplayExit()
{
    liveFilter->disableOnDisplayExit();
}

void QuintaveilPage::keyPressEvent(QKeyEvent* event)
{
    if (!liveFilter->takeKey(event))
        MApplicationPage::keyPressEvent(event);
}

void QuintaveilPage::handlePageListVisible()
{
    liveFilter->followViewport();
}

void QuintaveilPage::onPanningStarted()
{
    liveFilter->setPanning(true);
}

void QuintaveilPage::onPanningStopped()
{
    liveFilter->setPanning(false);
}

bool QuintaveilPage::isPanning() const
{
    return liveFilter->isPanning();
}
