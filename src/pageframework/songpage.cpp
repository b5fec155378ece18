#include "songpage.h"

#include "cellpainter.h"
#include "collectionviewshufflewidget.h"
#include "collectionviewtitlewidget.h"
#include "modelindexwrapper.h"
#include "songlist.h"
#include "songpageinfowidget.h"

#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "mafwtrackermodelfactory.h"
#include "mcellcreator.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
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

} // namespace

SongPage::SongPage(const ItemPageDescription& pageDescription, PageWindow* owner)
    : QuintaveilPage(owner, QVariant())
    , description(pageDescription)
{
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
    list = new SongList(centralWidget());
}

void SongPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}

void SongPage::finishPageCreation()
{
    setupPageConnections(description.menuType);
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
    if (songs.type == MafwTrackerModel::NoList)
        return;
    // The title names what a tap plays, even when the songs stay.
    titleHeader->setText(songs.title);
    if (!reloadNeeded && songs.sameSongs(shown))
        return;

    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    MafwTrackerModel* model = factory ? factory->getModel(songs.type, songs.limit, songs.id,
                                                          songs.secondId)
                                      : nullptr;
    // Without a model the page keeps what it showed.
    if (!model)
        return;
    shown = songs;
    reloadNeeded = false;
    if (MPannableViewport* pannable = pannableViewport())
        pannable->setPosition(QPointF(0, 0));
    showSongs(QSharedPointer<MafwTrackerModel>(model));
    songsShown();
}

void SongPage::songsShown()
{
}

void SongPage::handleListItemClick(const QModelIndex& index)
{
    if (pageModel)
        play(index, pageModel, titleHeader->text(), description.activityType, PlayOptions(),
             shown.trackerId, -1);
}

void SongPage::shufflePlay()
{
    if (pageModel)
        play(QModelIndex(), pageModel, titleHeader->text(), description.activityType,
             PlayOptions(PlayShuffled), shown.trackerId, -1);
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
    if (shuffleRow)
        shuffleRow->setModel(pageModel.staticCast<QAbstractItemModel>(), 2);
    connectEmptyViewHandling();
}

void SongPage::setRowPainter(CellPainter* painter)
{
    if (auto* songs = qobject_cast<SongList*>(list))
        songs->setPainter(dynamic_cast<MCellCreator*>(painter));
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

    if (description.shuffleRow == ItemPageDescription::ShuffleRowWithDivider) {
        addShuffleRowWithDivider();
    } else if (description.shuffleRow == ItemPageDescription::ShuffleRowAlone) {
        shuffleRow = new CollectionViewShuffleWidget(true, infoPanel);
        shuffleRow->setVisibleStyleName(description.shuffleRowStyle);
        infoLayout->addItem(shuffleRow);
    }
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
    if (description.painter)
        setRowPainter(description.painter(this));
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

void SongPage::addShuffleRowWithDivider()
{
    auto* spacer = new MStylableWidget(infoPanel);
    spacer->setStyleName(QStringLiteral("CommonSpacer"));
    infoLayout->addItem(spacer);
    shuffleRow = new CollectionViewShuffleWidget(true, infoPanel);
    shuffleRow->setVisibleStyleName(description.shuffleRowStyle);
    infoLayout->addItem(shuffleRow);
    auto* divider = new MSeparator(infoPanel, Qt::Horizontal);
    divider->setStyleName(QStringLiteral("CommonHeaderDividerInverted"));
    infoLayout->addItem(divider);
}
