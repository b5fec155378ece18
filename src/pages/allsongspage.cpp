#include "allsongspage.h"

#include "common/constants.h"
#include "common/logging.h"
#include "data/listmodel.h"
#include "data/modelcolumns.h"
#include "data/modelinstance.h"
#include "data/twinturbosortfilterproxymodel.h"
#include "pageframework/allsongscellcreator.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/songlist.h"
#include "mlist.h"

namespace {

const SongColumns Columns;

} // namespace

AllSongsPage::AllSongsPage(MainWindow* window, QVariant parameter)
    : CollectionPageBase(window, parameter)
    , listStyleName(QStringLiteral("CommonListInverted"))
    , pageTitle(qtTrId("qtn_musi_songs_container"))
{
    finishPageCreation(SongObjectMenu);
}

AllSongsPage::~AllSongsPage()
{
    ModelInstance::destroy();
}

void AllSongsPage::createContent()
{
}

void AllSongsPage::passParameterToPage(QVariant parameter)
{
    Q_UNUSED(parameter)
}

void AllSongsPage::createList()
{
    auto* songList = new SongList(centralWidget());
    songList->setStyleName(listStyleName);
    songList->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    songList->setIndexDisplayMode(MList::Floating);
    list = songList;
}

void AllSongsPage::finishPageCreation(ObjectMenuType type)
{
    Q_UNUSED(type) // always the songs menu
    setupPageConnections(SongObjectMenu);
    createFilterEdit();
    if (!list)
        createList();
    createCollectionPage();

    setTitle(pageTitle);
    setPannable(false);
    titleWidget()->setText(pageTitle);

    connect(this, SIGNAL(shuffleClicked()), this, SLOT(shufflePlay()), Qt::UniqueConnection);

    if (!filterProxy) {
        filterProxy = QSharedPointer<TwinTurboSortFilterProxyModel>::create(nullptr);
        filterProxy->setSearchColumns({ Columns.title, Columns.artist, Columns.album });
        filterProxy->setDynamicSortFilter(false);
    }
    connect(this, SIGNAL(filterTextChanged(QString)), this,
            SLOT(handleFilterTextChanged(QString)), Qt::UniqueConnection);

    if (!listModel) {
        listModel = new ListModel(true, this);
        listModel->setKeyColumns({ Columns.title }, false);
        listModel->setSourceModel(filterProxy);
    }

    ModelInstance* models = ModelInstance::instance();
    connect(models, SIGNAL(modelCreated(MafwTrackerModel::QueryType)), this,
            SLOT(setModel(MafwTrackerModel::QueryType)), Qt::UniqueConnection);
    const QSharedPointer<MafwTrackerModel> shared = models->getModel(MafwTrackerModel::AllSongs);
    // A model that was already shared before this page existed is announced to nobody: it is
    // taken up here, or the list would stay empty and play-all would never be answered.
    if (shared && shared != pageModel)
        setModel(MafwTrackerModel::AllSongs);

    switchPolicy();
    enableFilteringOnDisplayEnter();

    connect(this, SIGNAL(appeared()), this, SLOT(enableFilteringOnDisplayEnter()),
            Qt::UniqueConnection);
    connect(this, SIGNAL(appeared()), this, SLOT(fetchRest()), Qt::UniqueConnection);
    connect(this, SIGNAL(disappeared()), this, SLOT(disableFilteringOnDisplayExit()),
            Qt::UniqueConnection);
    connect(this, SIGNAL(disappeared()), this, SLOT(removeFilterEdit()), Qt::UniqueConnection);
    connect(this, SIGNAL(appearing()), this, SLOT(handlePageAppearing()), Qt::UniqueConnection);
    connect(this, SIGNAL(disappeared()), this, SLOT(handlePageDisappeared()),
            Qt::UniqueConnection);

    connectEmptyViewHandling();
    if (isVisible())
        handlePageAppearing();
}

void AllSongsPage::setModel(MafwTrackerModel::QueryType type)
{
    if (type != MafwTrackerModel::AllSongs)
        return;
    const QSharedPointer<MafwTrackerModel> model =
        ModelInstance::instance()->getModel(MafwTrackerModel::AllSongs);
    if (!model)
        return;
    if (pageModel && pageModel != model)
        pageModel->disconnect(this);
    filterProxy->setSourceModel(model.data());
    pageModel = model;
    connect(pageModel.data(), SIGNAL(completed()), this, SLOT(switchPolicy()),
            Qt::UniqueConnection);
    connect(ModelInstance::instance(), SIGNAL(playAllSongs(bool)), this,
            SLOT(playAllSongs(bool)), Qt::UniqueConnection);
    setShuffleWidgetModel();
    setModelToList();
    connectEmptyViewHandling();
    if (isVisible())
        handlePageAppearing();
}

void AllSongsPage::setModelToList()
{
    if (!list || !pageModel)
        return;
    auto* creator = new AllSongsCellCreator(SongColumns(), list);
    creator->setFilterText(filterText);
    painter = creator;
    static_cast<SongList*>(list)->setPainter(creator);
    if (list->itemModel() != listModel)
        list->setItemModel(listModel);
    list->setShowGroups(true);
    connect(creator, SIGNAL(goToPage(Parlovance::ParlovancePages,QVariant)), this,
            SIGNAL(goToPage(Parlovance::ParlovancePages,QVariant)));
}

void AllSongsPage::handleFilterTextChanged(QString text)
{
    filterText = text;
    if (painter)
        painter->setFilterText(text);
    if (!filterProxy || filterProxy->filterRegExp().pattern() == text)
        return;
    connect(filterProxy.data(), SIGNAL(layoutChanged()), this,
            SLOT(handleFilteredModelLayoutChange()), Qt::UniqueConnection);
    filterProxy->setFilterExpression(text);
}

void AllSongsPage::handleFilteredModelLayoutChange()
{
    disconnect(filterProxy.data(), SIGNAL(layoutChanged()), this,
               SLOT(handleFilteredModelLayoutChange()));
    setFilteringPolicy();
}

void AllSongsPage::setFilteringPolicy()
{
    if (scrollWaitsForFilter && filterText.isEmpty())
        QMetaObject::invokeMethod(this, "scrollToLastFilteredPlay", Qt::QueuedConnection);
    // An emptied filter that arrives after the field has gone (the page was left, or came
    // back before the filter caught up) opens no field: the page stays with its list.
    if (filterText.isEmpty()
        && (layoutState() == ListState || layoutState() == EmptyDeviceState)) {
        switchPolicy();
        return;
    }
    chooseFilteringPolicy(filterProxy && filterProxy->rowCount() > 0);
}

void AllSongsPage::handleListItemClick(const QModelIndex& index)
{
    if (!pageModel)
        return;
    if (filterText.isEmpty()) {
        play(index, pageModel, QStringLiteral("AllSongs"), Activity::AllSongs, PlayOptions(), 0,
             -1);
        lastFilteredPlayIndex = QPersistentModelIndex();
        return;
    }

    // The queue gets the matching songs only, filtered as the list shows them, so the list
    // row is the queue row. Each filtered play has a proxy of its own: re-filtering the one
    // already queued would change the playing queue under the hub.
    filteredPlayProxy = QSharedPointer<TwinTurboSortFilterProxyModel>::create(nullptr);
    filteredPlayProxy->setSearchColumns({ Columns.title, Columns.artist, Columns.album });
    filteredPlayProxy->setSourceModel(pageModel.data());
    filteredPlayProxy->setDynamicSortFilter(false);
    filteredPlayProxy->setFilterExpression(filterText);
    play(index, filteredPlayProxy, QStringLiteral("filteredAllSongs"), Activity::NoActivity,
         PlayOptions(), 0, -1);

    const int row = listModel ? listModel->mapToSourceRow(index) : -1;
    if (row < 0) {
        lastFilteredPlayIndex = QPersistentModelIndex();
        return;
    }
    lastFilteredPlayIndex = filterProxy->mapToSource(filterProxy->index(row, 0));
}

void AllSongsPage::handlePageAppearing()
{
    if (pageModel) {
        connect(pageModel.data(), SIGNAL(rowsRemoved(QModelIndex,int,int)), this,
                SLOT(switchPolicy()), Qt::UniqueConnection);
        connect(pageModel.data(), SIGNAL(rowsInserted(QModelIndex,int,int)), this,
                SLOT(switchPolicy()), Qt::UniqueConnection);
        connect(pageModel.data(), SIGNAL(completed()), this, SLOT(switchPolicy()),
                Qt::UniqueConnection);
    }
    // The list is scrolled once it shows: cells laid out while the page is still hidden
    // would keep the size they had then.
    if (lastFilteredPlayIndex.isValid())
        QMetaObject::invokeMethod(this, "scrollToLastFilteredPlay", Qt::QueuedConnection);
    switchPolicy();
}

void AllSongsPage::scrollToLastFilteredPlay()
{
    // The page came back before the emptied filter reached it: the whole list is not there
    // yet, and the scroll waits for it.
    if (lastFilteredPlayIndex.isValid() && filterProxy
        && !filterProxy->filterRegExp().pattern().isEmpty()) {
        scrollWaitsForFilter = true;
        return;
    }
    scrollWaitsForFilter = false;
    if (lastFilteredPlayIndex.isValid() && listModel && list) {
        const QModelIndex inProxy = filterProxy->mapFromSource(lastFilteredPlayIndex);
        const QModelIndex inList = listModel->mapFromSource(inProxy);
        if (inList.isValid())
            list->scrollTo(inList, MList::PositionAtCenterHint, MList::Animated);
    }
    lastFilteredPlayIndex = QPersistentModelIndex();
}

void AllSongsPage::handlePageDisappeared()
{
    if (!pageModel)
        return;
    disconnect(pageModel.data(), SIGNAL(rowsRemoved(QModelIndex,int,int)), this,
               SLOT(switchPolicy()));
    disconnect(pageModel.data(), SIGNAL(rowsInserted(QModelIndex,int,int)), this,
               SLOT(switchPolicy()));
}

void AllSongsPage::fetchRest()
{
    if (!pageModel || pageModel->isComplete())
        return;
    if (pageModel->rowCount() == 0)
        ModelInstance::instance()->recreateModels();
    if (pageModel)
        pageModel->fetchRemainingRows();
}

void AllSongsPage::playAllSongs(bool shuffle)
{
    fetchRest();
    if (!pageModel)
        return;
    play(QModelIndex(), pageModel, QStringLiteral("AllSongs"), Activity::AllSongs,
         shuffle ? PlayOptions(PlayShuffled) : PlayOptions(), 0, -1);
}

void AllSongsPage::shufflePlay()
{
    if (!pageModel)
        return;
    play(QModelIndex(), pageModel, QStringLiteral("AllSongs"), Activity::AllSongs,
         PlayOptions(PlayShuffled), 0, -1);
}

void AllSongsPage::markSongAddedToQueue()
{
    songAddedToQueue = true;
}
