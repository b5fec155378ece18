#include "collectionpagebase.h"

#include "artistcontentitem.h"
#include "cellpainter.h"
#include "collectionviewshufflewidget.h"
#include "collectionviewtitlewidget.h"
#include "filterwidget.h"
#include "songlist.h"

#include "albumart/albumartloader.h"
#include "common/logging.h"
#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "data/twinturbosortfilterproxymodel.h"
#include "mafwtrackermodelfactory.h"
#include "mbasiclayoutanimation.h"
#include "mcellcreator.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "mlist.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"
#include "mseparator.h"
#include "mtextedit.h"

#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QPropertyAnimation>
#include <QTimer>

namespace {

// How long the rest of the list waits for a paint of its first rows.
const int RestWaitMs = 500;

} // namespace

CollectionPageBase::CollectionPageBase(PageWindow* owner, const QVariant& parameter,
                                       const CollectionPageDescription& pageDescription)
    : QuintaveilPage(owner, parameter)
    , description(pageDescription)
    , removalTimer(new QTimer(this))
{
    removalTimer->setInterval(removalDelay);
    connect(this, &MSceneWindow::appeared, this, &QuintaveilPage::enableFilteringOnDisplayEnter);
    connect(this, &MSceneWindow::disappeared, this, &QuintaveilPage::disableFilteringOnDisplayExit);
    connect(this, &MSceneWindow::disappeared, this, &CollectionPageBase::removeFilterEdit);
    connect(removalTimer, &QTimer::timeout, this, &CollectionPageBase::removeFilterEdit);

    // The list shows its own position; the page's indicator would be a second one.
    if (MPannableViewport* pannable = pannableViewport()) {
        if (MPositionIndicator* indicator = pannable->positionIndicator()) {
            indicator->hide();
            indicator->setEnabled(false);
        }
    }
}

CollectionPageBase::~CollectionPageBase()
{
    // The list model keeps the proxy past this destructor, and the page's child widgets let go
    // of the shared model as they go, which empties the proxy: by then this page has nothing
    // left to follow its rows with.
    if (filterProxy)
        disconnect(filterProxy.data(), nullptr, this, nullptr);
}

void CollectionPageBase::createContent()
{
}

CellPainter* CollectionPageBase::rowPainter() const
{
    return qobject_cast<CellPainter*>(painter.data());
}

void CollectionPageBase::finishPageCreation(ObjectMenuType type)
{
    Q_UNUSED(type) // the description names the menu
    if (created)
        return;
    created = true;

    setupPageConnections(description.menuType);
    createFilterEdit();
    if (!list)
        createList();
    createCollectionPage();
    setTitle(description.title);
    titleHeader->setText(description.title);

    // The chain: the shared model, the live-filter proxy, the grouped list model, the list.
    filterProxy = QSharedPointer<TwinTurboSortFilterProxyModel>::create(nullptr);
    filterProxy->setSearchColumns(description.searchColumns);
    filterProxy->setDynamicSortFilter(false);
    // While a filter is in force, its matches follow the library whatever the page shows: a
    // row that comes or goes takes the page between its list and "No music found".
    for (auto change : { &QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved })
        connect(filterProxy.data(), change, this, &CollectionPageBase::followFilteredRows);
    connect(filterProxy.data(), &QAbstractItemModel::modelReset, this,
            &CollectionPageBase::followFilteredRows);
    listModel = new ListModel(true, this);
    listModel->setKeyColumns({ description.groupColumn }, false);
    listModel->setSourceModel(filterProxy);

    if (description.covers) {
        covers = new AlbumArtLoader(description.artType, QStringLiteral("common"), this);
        connect(covers, &AlbumArtLoader::albumArtReady, this, &QuintaveilPage::handleAlbumArtReady,
                Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
        connect(covers, &AlbumArtLoader::refreshAlbumArts, this,
                &QuintaveilPage::updateListAlbumArts, Qt::UniqueConnection);
    }
    if (description.painter) {
        CellPainter* rows = description.painter(covers, list);
        rows->setFilterText(filterText);
        painter = rows;
        auto* creator = dynamic_cast<MCellCreator*>(rows);
        if (auto* songs = qobject_cast<SongList*>(list))
            songs->setPainter(creator);
        else
            list->setCellCreator(creator);
    }
    list->setItemModel(listModel);

    connect(this, &CollectionPageBase::shuffleClicked, this, &CollectionPageBase::shufflePlay,
            Qt::UniqueConnection);
    connect(this, &MSceneWindow::appearing, this, &CollectionPageBase::handlePageAppearing,
            Qt::UniqueConnection);
    connect(this, &MSceneWindow::appeared, this, &CollectionPageBase::fetchRestOnceDrawn,
            Qt::UniqueConnection);
    if (!description.nextPages.isEmpty())
        connect(this, &MSceneWindow::appeared, this, &CollectionPageBase::preLoadNextPages);

    if (!description.modelOnFirstShow)
        getModel(description.queryType);
    switchPolicy();
    enableFilteringOnDisplayEnter();
    if (isVisible())
        handlePageAppearing();
}

void CollectionPageBase::createList()
{
    // A list of songs marks the one that plays.
    list = description.songRows ? new SongList(centralWidget()) : new MList(centralWidget());
    list->setStyleName(QStringLiteral("CommonListInverted"));
    // As tall as its rows and never taller: a list stretched over what the screen has left
    // would hold the unknown row under it away from its last row, by a blank as tall as the
    // rows it lacks (an album deleted with its only song leaves its row's and its index
    // heading's room).
    list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    list->setIndexDisplayMode(MList::Floating);
}

// ---- the model ----

void CollectionPageBase::getModel(MafwTrackerModel::QueryType queryType)
{
    connect(ModelInstance::instance(), &ModelInstance::modelCreated, this,
            &CollectionPageBase::setModel, Qt::UniqueConnection);
    // A model that was already shared before this page existed is announced to nobody: it is
    // taken up here.
    setModel(queryType);
}

void CollectionPageBase::setModel(MafwTrackerModel::QueryType type)
{
    if (type != description.queryType)
        return;
    const QSharedPointer<MafwTrackerModel> model = ModelInstance::instance()->getModel(type);
    if (!model || model == pageModel)
        return;
    if (pageModel)
        pageModel->disconnect(this);
    filterProxy->setSourceModel(model.data());
    pageModel = model;
    for (auto change : { &QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved })
        connect(pageModel.data(), change, this, &CollectionPageBase::switchPolicy,
                Qt::UniqueConnection);
    connect(pageModel.data(), &MafwTrackerModel::completed, this, &CollectionPageBase::switchPolicy,
            Qt::UniqueConnection);
    setShuffleWidgetModel();
    if (list->itemModel() != listModel)
        list->setItemModel(listModel);
    connectEmptyViewHandling();
    switchPolicy();
}

void CollectionPageBase::fetchRest()
{
    if (pageModel && !pageModel->isComplete())
        pageModel->fetchRemainingRows();
}

void CollectionPageBase::watchFirstRowsDrawn()
{
    rowsDrawn = false;
    if (drawingViewport || !pageModel || pageModel->isComplete() || !scene()
        || scene()->views().isEmpty())
        return;
    QWidget* viewport = scene()->views().constFirst()->viewport();
    if (!viewport->isVisible())
        return;
    drawingViewport = viewport;
    viewport->installEventFilter(this);
}

bool CollectionPageBase::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == drawingViewport && event->type() == QEvent::Paint && isVisible() && pageModel
        && pageModel->rowCount() > 0) {
        rowsDrawn = true;
        // Once this paint is done.
        if (restWanted)
            QMetaObject::invokeMethod(this, &CollectionPageBase::fetchRestNow,
                                      Qt::QueuedConnection);
    }
    return QuintaveilPage::eventFilter(watched, event);
}

void CollectionPageBase::fetchRestOnceDrawn()
{
    restWanted = true;
    if (!drawingViewport || rowsDrawn) {
        fetchRestNow();
        return;
    }
    // A window that draws nothing (covered, or its paints held back) gets the rows all the same.
    QTimer::singleShot(RestWaitMs, this, &CollectionPageBase::fetchRestNow);
}

void CollectionPageBase::fetchRestNow()
{
    if (!restWanted)
        return;
    restWanted = false;
    if (drawingViewport)
        drawingViewport->removeEventFilter(this);
    drawingViewport = nullptr;
    fetchRest();
}

QHash<QString, QVariant> CollectionPageBase::itemParameters(const QModelIndex& index)
{
    QHash<QString, QVariant> parameters;
    const int row = sourceRow(index);
    if (description.itemSongs == MafwTrackerModel::NoList || !pageModel || row < 0
        || row >= pageModel->rowCount())
        return parameters;
    const int id = pageModel->index(row, description.idColumn).data().toInt();
    if (id <= 0)
        return parameters;
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    const QSharedPointer<MafwTrackerModel> songs(
        factory ? factory->getModel(description.itemSongs, 50, id) : nullptr);
    parameters.insert(QStringLiteral("model"), QVariant::fromValue(songs));
    parameters.insert(QStringLiteral("trackerId"), id);
    parameters.insert(QStringLiteral("name"),
                      pageModel->index(row, description.nameColumn).data().toString());
    parameters.insert(QStringLiteral("type"), QVariant::fromValue(description.activityType));
    return parameters;
}

void CollectionPageBase::shufflePlay()
{
    ModelInstance::instance()->emitPlayAllSongs(true);
}

void CollectionPageBase::preLoadNextPages()
{
    disconnect(this, &MSceneWindow::appeared, this, &CollectionPageBase::preLoadNextPages);
    for (Parlovance::ParlovancePages page : description.nextPages)
        emit preLoadPage(page);
}

// ---- filtering and the row a user opened ----

void CollectionPageBase::filterList(const QString& text)
{
    filterText = text;
    if (CellPainter* rows = rowPainter())
        rows->setFilterText(text);
    if (!filterProxy || filterProxy->filterRegExp().pattern() == text)
        return;
    connect(filterProxy.data(), &QAbstractItemModel::layoutChanged, this,
            &CollectionPageBase::handleFilteredModelLayoutChange, Qt::UniqueConnection);
    filterProxy->setFilterExpression(text);
}

void CollectionPageBase::handleFilteredModelLayoutChange()
{
    disconnect(filterProxy.data(), &QAbstractItemModel::layoutChanged, this,
               &CollectionPageBase::handleFilteredModelLayoutChange);
    setFilteringPolicy();
}

void CollectionPageBase::setFilteringPolicy()
{
    if (scrollWaitsForFilter && filterText.isEmpty())
        QMetaObject::invokeMethod(this, &CollectionPageBase::scrollToOpenedRow,
                                  Qt::QueuedConnection);
    // An emptied filter that arrives after the field has gone (the page was left, or came
    // back before the filter caught up) opens no field: the page stays with its list.
    if (filterText.isEmpty() && (layoutState() == ListState || layoutState() == EmptyDeviceState)) {
        switchPolicy();
        return;
    }
    chooseFilteringPolicy(filterProxy && filterProxy->rowCount() > 0);
}

void CollectionPageBase::followFilteredRows()
{
    // Only the filter's own two arrangements follow its rows; the others are the list's and
    // the empty device's, which switchPolicy() keeps.
    const LayoutState state = layoutState();
    if (filterText.isEmpty() || (state != FilteredListState && state != NoResultsState))
        return;
    chooseFilteringPolicy(filterProxy && filterProxy->rowCount() > 0);
}

void CollectionPageBase::rememberOpenedRow(const QModelIndex& index)
{
    const int row = filterText.isEmpty() || !listModel ? -1 : listModel->mapToSourceRow(index);
    openedRow = row < 0
                    ? QPersistentModelIndex()
                    : QPersistentModelIndex(filterProxy->mapToSource(filterProxy->index(row, 0)));
}

void CollectionPageBase::handlePageAppearing()
{
    if (!pageModel)
        getModel(description.queryType);
    watchFirstRowsDrawn();
    // The list is scrolled once it shows: cells laid out while the page is still hidden
    // would keep the size they had then.
    if (openedRow.isValid())
        QMetaObject::invokeMethod(this, &CollectionPageBase::scrollToOpenedRow,
                                  Qt::QueuedConnection);
    switchPolicy();
}

void CollectionPageBase::scrollToOpenedRow()
{
    // The page came back before the emptied filter reached it: the whole list is not there
    // yet, and the scroll waits for it.
    if (openedRow.isValid() && filterProxy && !filterProxy->filterRegExp().pattern().isEmpty()) {
        scrollWaitsForFilter = true;
        return;
    }
    scrollWaitsForFilter = false;
    if (openedRow.isValid() && listModel && list) {
        const QModelIndex inList = listModel->mapFromSource(filterProxy->mapFromSource(openedRow));
        if (inList.isValid())
            list->scrollTo(inList, MList::PositionAtCenterHint, MList::NonAnimated);
    }
    openedRow = QPersistentModelIndex();
}

// ---- the page body and its arrangements ----

CollectionPageBase::LayoutState CollectionPageBase::layoutState() const
{
    if (listPolicy && listPolicy->isActive())
        return ListState;
    if (filterPolicy && filterPolicy->isActive())
        return FilterState;
    if (filteredListPolicy && filteredListPolicy->isActive())
        return FilteredListState;
    if (noResultsPolicy && noResultsPolicy->isActive())
        return NoResultsState;
    return EmptyDeviceState;
}

void CollectionPageBase::createCollectionPage()
{
    QGraphicsWidget* central = centralWidget();

    titleHeader = new CollectionViewTitleWidget(true, central);

    shuffleRow = new CollectionViewShuffleWidget(false, central);
    shuffleRow->setVisibleStyleName(QStringLiteral("CommonBasicSmallPanelInverted"));

    noMusicLabel = new MLabel(qtTrId("qtn_musi_no_music"), central);
    noMusicLabel->setStyleName(QStringLiteral("CommonEmptyStateTitleInverted"));
    noMusicLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    noMusicLabel->setAlignment(Qt::AlignCenter);
    noMusicLabel->setWordWrap(true);

    noResultsLabel = new MLabel(qtTrId("qtn_musi_no_music_found"), central);
    updateNoResultsLabelStyle();
    noResultsLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    noResultsLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    noResultsLabel->setWordWrap(true);

    filterSeparator = new MSeparator(central, Qt::Horizontal);
    filterSeparator->setStyleName(QStringLiteral("CommonHeaderDividerInverted"));

    createCollectionLayout();
    connectCollectionSignals();
    connectEmptyViewHandling();
}

void CollectionPageBase::createCollectionLayout()
{
    QGraphicsWidget* central = centralWidget();
    collectionLayout = new MLayout(central);
    layoutAnimation = new MBasicLayoutAnimation(collectionLayout);
    collectionLayout->setAnimation(layoutAnimation);
    QGraphicsLayout::setInstantInvalidatePropagation(true);
    collectionLayout->setContentsMargins(0, 0, 0, 0);
    central->setLayout(collectionLayout);

    auto makePolicy = [this]() {
        auto* policy = new MLinearLayoutPolicy(collectionLayout, Qt::Vertical);
        policy->setContentsMargins(0, 0, 0, 0);
        policy->setSpacing(0);
        return policy;
    };
    // The first policy made is the active one: the page starts as an empty device.
    emptyDevicePolicy = makePolicy();
    emptyDevicePolicy->addItem(titleHeader);
    emptyDevicePolicy->addItem(noMusicLabel);

    listPolicy = makePolicy();
    listPolicy->addItem(titleHeader);
    listPolicy->addItem(shuffleRow);
    if (list)
        listPolicy->addItem(list);

    filterPolicy = makePolicy();
    filterPolicy->addItem(titleHeader);
    if (filterField())
        filterPolicy->addItem(filterField());
    filterPolicy->addItem(filterSeparator);
    filterPolicy->addItem(shuffleRow);
    if (list)
        filterPolicy->addItem(list);

    filteredListPolicy = makePolicy();
    filteredListPolicy->addItem(titleHeader);
    if (filterField())
        filteredListPolicy->addItem(filterField());
    if (list)
        filteredListPolicy->addItem(list);

    noResultsPolicy = makePolicy();
    noResultsPolicy->addItem(titleHeader);
    if (filterField())
        noResultsPolicy->addItem(filterField());
    noResultsPolicy->addItem(noResultsLabel);

    emptyDevicePolicy->activate();
    setPannable(false);
}

void CollectionPageBase::connectCollectionSignals()
{
    if (list) {
        connect(list, &MPannableWidget::panningStarted, this, &QuintaveilPage::onPanningStarted,
                Qt::UniqueConnection);
        connect(list, &MPannableWidget::panningStopped, this, &QuintaveilPage::onPanningStopped,
                Qt::UniqueConnection);
    }
    connect(shuffleRow, &CollectionViewShuffleWidget::shuffleClicked, this,
            &CollectionPageBase::shuffleClicked, Qt::UniqueConnection);
    connect(this, &QuintaveilPage::filterTextChanged, this,
            &CollectionPageBase::handleFilterTextChanged, Qt::UniqueConnection);
    connect(this, &MSceneWindow::appeared, this, &CollectionPageBase::switchPolicy,
            Qt::UniqueConnection);
    connect(this, &QuintaveilPage::filteringStopped, this, &CollectionPageBase::switchPolicy,
            Qt::UniqueConnection);
    if (FilterWidget* field = filterField()) {
        connect(field, &FilterWidget::clearClicked, this,
                &CollectionPageBase::liveFilteringClearClicked, Qt::UniqueConnection);
        connect(field, &FilterWidget::focusLost, this,
                &CollectionPageBase::handleFilterFocusChanged, Qt::UniqueConnection);
        connect(field, &FilterWidget::focusGained, this,
                &CollectionPageBase::handleFilterFocusChanged, Qt::UniqueConnection);
    }
}

void CollectionPageBase::keyPressEvent(QKeyEvent* event)
{
    // With nothing listed there is nothing to filter: a key must not hand the focus to the
    // hidden field, where the keys typed once songs have arrived would vanish.
    if (layoutState() == EmptyDeviceState) {
        MApplicationPage::keyPressEvent(event);
        return;
    }
    QuintaveilPage::keyPressEvent(event);
}

void CollectionPageBase::activate(MLinearLayoutPolicy* policy)
{
    if (policy && !policy->isActive())
        policy->activate();
}

void CollectionPageBase::switchPolicy()
{
    if (!listPolicy)
        return;
    if (!pageModel) {
        if (deviceEmpty)
            enableEmptyDevicePolicy();
        return;
    }
    const int rows = pageModel->rowCount();
    if (rows < 1) {
        if (pageModel->isComplete() && !unknownRowShown) {
            deviceEmpty = true;
            enableEmptyDevicePolicy();
            return;
        }
        if (deviceEmpty) {
            enableEmptyDevicePolicy();
            return;
        }
    } else {
        deviceEmpty = false;
    }
    if (listPolicy->isActive())
        return;
    // A song that comes or goes while the user filters must not close the filter: the
    // filtered list stays until its text is gone.
    if (filterField() && !filterField()->text().isEmpty()
        && filterField()->isVisibleTo(centralWidget()) && layoutState() != EmptyDeviceState)
        return;
    listPolicy->activate();
    setPannable(true);
    if (list)
        list->setShowGroups(true);
    enableKeyboardFiltering(true);
    connect(this, &QuintaveilPage::filteringStarted, this, &CollectionPageBase::addFilterEdit,
            Qt::UniqueConnection);
}

void CollectionPageBase::enableEmptyDevicePolicy()
{
    if (!emptyDevicePolicy || emptyDevicePolicy->isActive())
        return;
    emptyDevicePolicy->activate();
    setPannable(false);
    enableKeyboardFiltering(false);
    disconnect(this, &QuintaveilPage::filteringStarted, this, &CollectionPageBase::addFilterEdit);
}

void CollectionPageBase::chooseFilteringPolicy(bool haveFilteredResults)
{
    if (removalTimer->isActive())
        removalTimer->stop();
    if (haveFilteredResults) {
        if (!filterField() || filterField()->text().isEmpty())
            activate(filterPolicy);
        else
            activate(filteredListPolicy);
        setPannable(true);
    } else if (noResultsPolicy && !noResultsPolicy->isActive()) {
        noResultsPolicy->activate();
        setPannable(false);
    }
}

void CollectionPageBase::addFilterEdit()
{
    if (!pageModel || pageModel->rowCount() < 1 || !listPolicy || !listPolicy->isActive()
        || !filterField())
        return;
    filterField()->show();
    filterField()->setPromptText(QString());
    // The field fades in over the list instead of jumping in.
    filterField()->setOpacity(0);
    auto* fadeIn = new QPropertyAnimation(filterField(), "opacity", filterField());
    fadeIn->setDuration(150);
    fadeIn->setEndValue(1.0);
    fadeIn->start(QAbstractAnimation::DeleteWhenStopped);
    chooseFilteringPolicy(true);
    removalTimer->start();
}

bool CollectionPageBase::searchFieldHasFocus() const
{
    return filterField() && filterField()->textEdit() && filterField()->textEdit()->hasFocus();
}

void CollectionPageBase::removeFilterEdit()
{
    if (removalTimer->isActive())
        removalTimer->stop();
    if (!filterField() || !filterField()->text().isEmpty())
        return;
    if (!searchFieldHasFocus() && filterField()->isOnDisplay()) {
        filterField()->clearPrompt();
        filterField()->hide();
        removeFilterEditFromLayout();
    } else {
        filterField()->clearFocus();
        switchPolicy();
    }
}

void CollectionPageBase::removeFilterEditFromLayout()
{
    switchPolicy();
    if (isPanning())
        addFilterEdit();
}

void CollectionPageBase::handleFilterFocusChanged()
{
    if (!filterField()) {
        updateNoResultsLabelStyle();
        return;
    }
    if (searchFieldHasFocus()) {
        removalTimer->stop();
    } else if (filterField()->text().isEmpty()) {
        if (filterField()->isOnDisplay())
            removalTimer->start();
        else
            switchPolicy();
    }
    updateNoResultsLabelStyle();
}

void CollectionPageBase::updateNoResultsLabelStyle()
{
    if (!noResultsLabel)
        return;
    noResultsLabel->setStyleName(searchFieldHasFocus()
                                     ? QStringLiteral("NoFilteredResultsLabel")
                                     : QStringLiteral("NoFilteredResultsLabelVKBClosed"));
}

void CollectionPageBase::liveFilteringClearClicked()
{
    if (!filterField())
        return;
    if (filterField()->textEdit())
        filterField()->textEdit()->setFocus(Qt::OtherFocusReason);
    removalTimer->stop();
}

void CollectionPageBase::setShuffleWidgetModel()
{
    if (shuffleRow)
        shuffleRow->setModel(pageModel.staticCast<QAbstractItemModel>(), 1);
}

// ---- the unknown row ----

void CollectionPageBase::enableUnknownLabel(bool enabled)
{
    keepWhenEmpty = enabled;
    if (!unknownItem) {
        unknownItem = new ArtistContentItem(this);
        unknownItem->setLayoutPosition(M::CenterPosition);
        unknownItem->setIconStyle(MDetailedListItem::Thumbnail);
        unknownItem->setTitle(description.unknownRowTitle);
        unknownArtLoader = new AlbumArtLoader(description.artType, QStringLiteral("common"), this);
        connect(unknownArtLoader, &AlbumArtLoader::albumArtReady, this,
                &CollectionPageBase::unknownAlbumArtReadySlot,
                Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
        unknownArtLoader->loadAlbumArt(description.unknownRowTitle, description.unknownRowTitle,
                                       QStringLiteral("common"), true, description.artType,
                                       QVariant());
        unknownItem->hide();
    }
    if (enabled) {
        connect(unknownItem, &MListItem::clicked, this, &CollectionPageBase::unknownLabelClicked,
                Qt::UniqueConnection);
        connect(unknownItem, &MListItem::longTapped, this,
                &CollectionPageBase::openObjectMenuForUnknown, Qt::UniqueConnection);
        unknownItem->show();
        if (listPolicy
            && (listPolicy->count() == 0
                || listPolicy->itemAt(listPolicy->count() - 1) != unknownItem))
            listPolicy->addItem(unknownItem);
        unknownRowShown = true;
    } else {
        disconnect(unknownItem, &MListItem::clicked, this,
                   &CollectionPageBase::unknownLabelClicked);
        disconnect(unknownItem, &MListItem::longTapped, this,
                   &CollectionPageBase::openObjectMenuForUnknown);
        unknownItem->hide();
        if (listPolicy)
            listPolicy->removeItem(unknownItem);
        unknownRowShown = false;
    }
    if (pageModel && pageModel->isComplete())
        deviceEmpty = pageModel->rowCount() < 1 && !unknownRowShown;
    switchPolicy();
}

void CollectionPageBase::unknownAlbumArtReadySlot(QPixmap pixmap, QVariant data)
{
    Q_UNUSED(data)
    if (unknownItem)
        unknownItem->imageWidget()->setPixmap(pixmap);
}

void CollectionPageBase::openObjectMenuForUnknown()
{
    // The row is no item of the page's model: the menu opens with no item and acts on the row
    // through the marker set here.
    handleListItemLongTap(QModelIndex(), QPointF(0, 0));
    markSpecialRow(description.queryType == MafwTrackerModel::AllAlbums
                       ? ItemMenu::UnknownAlbumRow
                       : ItemMenu::UnknownArtistRow);
}
