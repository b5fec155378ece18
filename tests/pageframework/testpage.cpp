#include "testpage.h"

#include "pageframework/allsongscellcreator.h"
#include "pageframework/filterwidget.h"
#include "pageframework/songlist.h"
#include "data/listmodel.h"
#include "mlist.h"
#include "playback/playstate.h"
#include "shell/mainwindow.h"
#include "data/twinturbosortfilterproxymodel.h"

#include <QElapsedTimer>
#include <QGraphicsLinearLayout>
#include <QTest>

TestPage::TestPage(MainWindow* window, bool withFilter, ObjectMenuType menu)
    : QuintaveilPage(window, QVariant())
{
    setTitle(QStringLiteral("All songs"));
    finishPageCreation(menu);
    if (withFilter) {
        createFilterEdit();
        filterField()->hide();
        connect(this, SIGNAL(filterTextChanged(QString)), this, SLOT(applyFilter(QString)));
    }
    connect(PlayState::instance(), SIGNAL(songChanged(QString, QString, QString, int, bool)), this,
            SLOT(refreshRows()));
}

TestPage::~TestPage() = default;

void TestPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}

void TestPage::createList()
{
    auto* central = new QGraphicsWidget;
    layout = new QGraphicsLinearLayout(Qt::Vertical, central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    list = new SongList(central);
    list->setStyleName(QStringLiteral("CommonListInverted"));
    list->setShowGroups(true);
    layout->addItem(list);
    setCentralWidget(central);
    listModel = new ListModel(true, this);
    filterProxy = QSharedPointer<TwinTurboSortFilterProxyModel>::create(nullptr);
}

void TestPage::setModel(QSharedPointer<MafwTrackerModel> model)
{
    pageModel = model;
    filterProxy->setSourceModel(model.data());
    filterProxy->setSearchColumns({ 1, 2, 3 });
    listModel->setSourceModel(filterProxy);
    listModel->setKeyColumns({ 1 }, false);
    list->setItemModel(listModel);
    painter = new AllSongsCellCreator(SongColumns(), list);
    static_cast<SongList*>(list)->setPainter(painter);
    connectEmptyViewHandling();
}

QModelIndex TestPage::rowTitled(const QString& title) const
{
    for (int g = 0; g < listModel->groupCount(); ++g) {
        const QModelIndex header = listModel->index(g, 0);
        for (int r = 0; r < listModel->rowCount(header); ++r) {
            const QModelIndex item = listModel->index(r, 0, header);
            if (item.data(Qt::UserRole + 1).toString() == title)
                return item;
        }
    }
    return QModelIndex();
}

QModelIndex TestPage::waitForVisibleRow(const QString& title, int timeoutMs) const
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        const QModelIndex row = rowTitled(title);
        if (row.isValid() && list->visibleCell(row))
            return row;
        QTest::qWait(20);
    }
    return QModelIndex();
}

void TestPage::handleListItemClick(const QModelIndex& index)
{
    play(index, pageModel, QStringLiteral("AllSongs"), Activity::AllSongs);
}

void TestPage::addFilterEdit()
{
    if (!filterField() || filterField()->isVisible())
        return;
    layout->insertItem(0, filterField());
    filterField()->show();
}

void TestPage::applyFilter(const QString& text)
{
    filterText = text;
    if (painter)
        painter->setFilterText(text);
    filterProxy->setFilterExpression(text);
}

void TestPage::refreshRows()
{
    for (int group = 0; group < listModel->groupCount(); ++group) {
        const QModelIndex header = listModel->index(group, 0);
        const int rows = listModel->rowCount(header);
        if (rows > 0)
            listModel->emitRowChanged(listModel->index(0, 0, header),
                                      listModel->index(rows - 1, 0, header));
    }
}
