#include "songpage.h"

#include "cellpainter.h"
#include "collectionviewshufflewidget.h"
#include "collectionviewtitlewidget.h"
#include "modelindexwrapper.h"
#include "songlist.h"
#include "songpageinfowidget.h"

#include "albumart/albumartloader.h"
#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "mafwtrackermodelfactory.h"
#include "mcellcreator.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "mlist.h"
#include "mpannableviewport.h"
#include "mseparator.h"
#include "mstylablewidget.h"
#include "mwidget.h"

#include <QGraphicsLinearLayout>

namespace {

QGraphicsLinearLayout* bareVerticalLayout()
{
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

// The factory's model of the songs' query; null without a factory or a model.
MafwTrackerModel* modelOf(const ItemPageDescription::Songs& songs)
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    return factory ? factory->getModel(songs.type, songs.limit, songs.id, songs.secondId) : nullptr;
}

} // namespace

SongPage::SongPage(const ItemPageDescription& pageDescription, PageWindow* owner)
    : QuintaveilPage(owner, QVariant())
    , description(pageDescription)
{
    if (description.covers) {
        covers = new AlbumArtLoader(description.artType, QStringLiteral("common"), this);
        connect(covers, &AlbumArtLoader::albumArtReady, this, &QuintaveilPage::handleAlbumArtReady,
                Qt::UniqueConnection);
        connect(covers, &AlbumArtLoader::refreshAlbumArts, this,
                &QuintaveilPage::updateListAlbumArts);
    }
}

SongPage::~SongPage() = default;

void SongPage::ensureHeaderLayout()
{
    if (!headerLayout)
        headerLayout = bareVerticalLayout();
}

void SongPage::addHeaderWidget(MWidget* widget)
{
    ensureHeaderLayout();
    headerLayout->insertItem(0, widget);
    widget->show();
}

void SongPage::insertHeaderWidget(MWidget* widget)
{
    ensureHeaderLayout();
    headerLayout->insertItem(1, widget);
}

void SongPage::createList()
{
    list = description.songRows ? new SongList(centralWidget()) : new MList(centralWidget());
    if (description.painter) {
        painter = description.painter(covers, this);
        setRowPainter(painter);
    }
}

void SongPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}

void SongPage::finishPageCreation()
{
    setupPageConnections(description.menuType);
    if (description.artistRowIsPageSubject)
        setArtistRowIsPageSubject(true);
    if (!description.nextPages.isEmpty())
        connect(this, &MSceneWindow::appeared, this, &SongPage::preLoadNextPages);
}

void SongPage::preLoadNextPages()
{
    disconnect(this, &MSceneWindow::appeared, this, &SongPage::preLoadNextPages);
    for (Parlovance::ParlovancePages page : description.nextPages)
        emit preLoadPage(page);
}

void SongPage::libraryUpdated()
{
    reloadNeeded = true;
}

void SongPage::passParameterToPage(QVariant parameter)
{
    if (!description.songs)
        return;
    const ItemPageDescription::Songs songs = description.songs(parameter.toHash());
    if (songs.gone) {
        displayPreviousPageInWindow();
        return;
    }
    if (songs.type == MafwTrackerModel::NoList)
        return;
    // The title names what a tap plays, even when the songs stay.
    titleHeader->setText(songs.title);
    if (!reloadNeeded && songs.sameSongs(shown))
        return;

    QSharedPointer<MafwTrackerModel> model = songs.model;
    if (!model)
        model.reset(modelOf(songs));
    if (!model) {
        if (description.stepBackWithoutSongs)
            displayPreviousPageInWindow();
        // Else the page keeps what it showed.
        return;
    }
    shown = songs;
    reloadNeeded = false;
    if (MPannableViewport* pannable = pannableViewport())
        pannable->setPosition(QPointF(0, 0));
    showSongs(model);
    if (infoWidget && description.infoShows)
        description.infoShows(infoWidget, shown);
    songsShown();
}

void SongPage::songsShown()
{
}

QString SongPage::playName() const
{
    return shown.playName.isEmpty() ? titleHeader->text() : shown.playName;
}

Activity::ActivityType SongPage::activityOf(const ItemPageDescription::Songs& songs) const
{
    return songs.activityType != Activity::NoActivity ? songs.activityType
                                                      : description.activityType;
}

void SongPage::handleListItemClick(const QModelIndex& index)
{
    if (pageModel)
        play(index, pageModel, playName(), activityOf(shown), shown.options, shown.trackerId, -1);
}

void SongPage::shufflePlay()
{
    ItemPageDescription::Songs songs = shown;
    QSharedPointer<QAbstractItemModel> model = pageModel;
    QString name = pageModel ? playName() : QString();
    if (description.shuffleSongs) {
        songs = description.shuffleSongs(shown);
        model.reset(songs.type == MafwTrackerModel::NoList ? nullptr : modelOf(songs));
        name = songs.playName.isEmpty() ? songs.title : songs.playName;
    }
    if (model)
        play(QModelIndex(), model, name, activityOf(songs), songs.options | PlayShuffled,
             songs.trackerId, -1);
}

QHash<QString, QVariant> SongPage::itemParameters(const QModelIndex& index)
{
    QHash<QString, QVariant> parameters;
    if (!description.itemSongs || !index.isValid())
        return parameters;
    const ItemPageDescription::Songs songs = description.itemSongs(index, shown);
    if (songs.type == MafwTrackerModel::NoList
        || !MafwTrackerModelFactoryInstance::instance()->factory())
        return parameters;
    parameters.insert(QStringLiteral("model"),
                      QVariant::fromValue(QSharedPointer<MafwTrackerModel>(modelOf(songs))));
    parameters.insert(QStringLiteral("trackerId"), songs.trackerId);
    parameters.insert(QStringLiteral("name"), songs.title);
    parameters.insert(QStringLiteral("type"), QVariant::fromValue(activityOf(songs)));
    return parameters;
}

void SongPage::showSongs(QSharedPointer<MafwTrackerModel> model)
{
    if (!model)
        return;
    if (pageModel)
        pageModel->disconnect(this);
    model->fetchRemainingRows();
    if (!listModel)
        listModel = new ListModel(false, this);
    pageModel = model;
    listModel->setSourceModel(pageModel);
    if (list && list->itemModel() != listModel)
        list->setItemModel(listModel);
    if (description.info) {
        if (infoWidget) {
            infoWidget->setModel(pageModel);
        } else {
            infoWidget = description.info(pageModel, infoPanel);
            infoWidget->setStyleName(QStringLiteral("SongPageInfo"));
            infoWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            infoLayout->insertItem(1, infoWidget);
            infoLayout->setAlignment(infoWidget, Qt::AlignLeft | Qt::AlignTop);
            connect(infoWidget, &SongPageInfoWidget::albumArtClicked, this,
                    [this] { handleListItemClick(QModelIndex()); });
        }
    }
    // A row that plays other songs than those listed shows whatever the list holds.
    if (shuffleRow && !description.shuffleSongs)
        shuffleRow->setModel(pageModel.staticCast<QAbstractItemModel>(), 2);
    connectEmptyViewHandling();
}

void SongPage::setRowPainter(CellPainter* rows)
{
    auto* creator = dynamic_cast<MCellCreator*>(rows);
    if (auto* songs = qobject_cast<SongList*>(list))
        songs->setPainter(creator);
    else if (list)
        list->setCellCreator(creator);
}

void SongPage::createContent()
{
    QGraphicsWidget* central = centralWidget();
    auto* layout = new MLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    central->setLayout(layout);

    pagePolicy = new MLinearLayoutPolicy(layout, Qt::Vertical);
    pagePolicy->setContentsMargins(0, 0, 0, 0);
    pagePolicy->setSpacing(0);
    pagePolicy->activate();

    ensureHeaderLayout();

    infoLayout = bareVerticalLayout();
    infoPanel = new MStylableWidget(central);
    infoPanel->setStyleName(description.panelStyle);
    infoPanel->setLayout(infoLayout);

    titleHeader = new CollectionViewTitleWidget(description.titleSeparator, infoPanel);
    infoLayout->addItem(titleHeader);

    pagePolicy->addItem(infoPanel);
    pagePolicy->addItem(headerLayout);

    addShuffleRow();
    if (shuffleRow)
        connect(shuffleRow, &CollectionViewShuffleWidget::shuffleClicked, this,
                &SongPage::shufflePlay);

    if (!list)
        createList();
    if (!description.groupColumns.isEmpty()) {
        listModel = new ListModel(true, this);
        listModel->setKeyColumns(description.groupColumns, true);
        if (description.groupHeader)
            list->setHeaderCreator(description.groupHeader(this));
        list->setShowGroups(true);
    }
    if (!description.listStyle.isEmpty())
        list->setStyleName(description.listStyle);
    addHeaderWidget(list);

    if (description.bottomSpacer) {
        auto* bottom = new MStylableWidget(central);
        bottom->setStyleName(QStringLiteral("SongPageBottomSpacer"));
        pagePolicy->addItem(bottom);
    }

    setPositionIndicatorStyle();
}

void SongPage::toggleFavorite(QObject* wrappedIndex)
{
    auto* wrapper = qobject_cast<ModelIndexWrapper*>(wrappedIndex);
    if (!wrapper || !pageModel)
        return;
    const QModelIndex index = wrapper->index();
    if (index.row() < 0 || index.column() < 0 || !index.model())
        return;
    // Song pages list songs: the flag stands where every song model keeps it.
    const QModelIndex flag = pageModel->index(index.row(), SongColumns().favorited, index.parent());
    if (!flag.isValid())
        return;
    const bool favourite = flag.data(Qt::DisplayRole).toBool();
    pageModel->setData(flag, !favourite, Qt::EditRole);
}

void SongPage::addShuffleRow()
{
    const ItemPageDescription::ShuffleRow kind = description.shuffleRow;
    if (kind == ItemPageDescription::NoShuffleRow)
        return;
    if (kind == ItemPageDescription::ShuffleRowWithDivider) {
        auto* spacer = new MStylableWidget(infoPanel);
        spacer->setStyleName(QStringLiteral("CommonSpacer"));
        infoLayout->addItem(spacer);
    }
    const bool iconRow = kind == ItemPageDescription::IconShuffleRowWithDivider;
    shuffleRow = new CollectionViewShuffleWidget(!iconRow, infoPanel);
    shuffleRow->setVisibleStyleName(description.shuffleRowStyle);
    // Songs that are not shuffled (an audiobook's chapters, a single song) leave no empty band
    // between the panel and the list.
    shuffleRow->setTakesNoRoomWhenHidden(true);
    // A row that follows no model shows from the start.
    if (description.shuffleSongs)
        shuffleRow->setShuffleButtonVisibility(true);
    infoLayout->addItem(shuffleRow);
    if (kind != ItemPageDescription::ShuffleRowAlone) {
        auto* divider = new MSeparator(infoPanel, Qt::Horizontal);
        divider->setStyleName(QStringLiteral("CommonHeaderDividerInverted"));
        infoLayout->addItem(divider);
    }
}
