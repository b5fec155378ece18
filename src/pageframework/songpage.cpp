#include "songpage.h"

#include "cellpainter.h"
#include "collectionviewshufflewidget.h"
#include "collectionviewtitlewidget.h"
#include "modelindexwrapper.h"
#include "songlist.h"

#include "data/listmodel.h"
#include "data/modelcolumns.h"
#include "mcellcreator.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
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

SongPage::SongPage(bool separator, MainWindow* owner)
    : QuintaveilPage(owner, QVariant())
    , titleSeparator(separator)
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

void SongPage::libraryUpdated()
{
    reloadNeeded = true;
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
    infoPanel->setStyleName(QStringLiteral("SongPageInfoPanel"));
    infoPanel->setLayout(infoLayout);

    titleHeader = new CollectionViewTitleWidget(titleSeparator, infoPanel);
    infoLayout->addItem(titleHeader);

    pagePolicy->addItem(infoPanel);
    pagePolicy->addItem(headerLayout);

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
    shuffleRow->setVisibleStyleName(QStringLiteral("CommonSmallPanelInverted"));
    infoLayout->addItem(shuffleRow);
    auto* divider = new MSeparator(infoPanel, Qt::Horizontal);
    divider->setStyleName(QStringLiteral("CommonHeaderDividerInverted"));
    infoLayout->addItem(divider);
}
