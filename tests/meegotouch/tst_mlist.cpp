#include "mabstractcellcreator.h"
#include "mabstractitemmodel.h"
#include "mapplicationpage.h"
#include "mapplicationwindow.h"
#include "mbasiclistitem.h"
#include "mbutton.h"
#include "mcontentitem.h"
#include "mdetailedlistitem.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "mlist.h"
#include "mlistgroupheader.h"
#include "mlistrowmap.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"
#include "mwidgetrecycler.h"
#include "inkgaps.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QCloseEvent>
#include <QGraphicsGridLayout>
#include <QGraphicsLinearLayout>
#include <QGraphicsScene>
#include <QItemSelectionModel>
#include <QPointer>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <QStringListModel>

namespace {

const qreal RowHeight = 80;
const qreal HeaderHeight = 40;

// Groups of rows, titled "A", "B", ...; flat mode lists the rows of all groups in order.
class GroupedModel : public MAbstractItemModel
{
    Q_OBJECT

public:
    explicit GroupedModel(const QVector<int>& sizes, bool grouped = true)
    {
        for (int g = 0; g < sizes.size(); ++g) {
            titles << QString(QChar('A' + g % 26)) + (g >= 26 ? QString::number(g) : QString());
            QStringList rows;
            for (int r = 0; r < sizes[g]; ++r)
                rows << QStringLiteral("%1-%2").arg(titles.last()).arg(r);
            items << rows;
        }
        setGrouped(grouped);
    }

    int groupCount() const override { return titles.size(); }
    int rowCountInGroup(int group) const override
    {
        if (group >= 0)
            return items.value(group).size();
        int n = 0;
        for (const QStringList& rows : items)
            n += rows.size();
        return n;
    }
    QString groupTitle(int group) const override { return titles.value(group); }
    QVariant itemData(int row, int group, int role) const override
    {
        if (role != Qt::DisplayRole)
            return QVariant();
        if (group >= 0)
            return items.value(group).value(row);
        for (const QStringList& rows : items) {
            if (row < rows.size())
                return rows[row];
            row -= rows.size();
        }
        return QVariant();
    }

    QModelIndex item(int group, int row) const
    {
        return isGrouped() ? index(row, 0, index(group, 0)) : index(flatRow(group, row), 0);
    }

    void insertItem(int group, int row, const QString& text)
    {
        const QModelIndex parent = isGrouped() ? index(group, 0) : QModelIndex();
        const int at = isGrouped() ? row : flatRow(group, row);
        beginInsertRows(parent, at, at, true);
        items[group].insert(row, text);
        endInsertRows();
    }

    void removeItem(int group, int row)
    {
        const QModelIndex parent = isGrouped() ? index(group, 0) : QModelIndex();
        const int at = isGrouped() ? row : flatRow(group, row);
        beginRemoveRows(parent, at, at, true);
        items[group].removeAt(row);
        endRemoveRows();
    }

    void setText(int group, int row, const QString& text)
    {
        items[group][row] = text;
        const QModelIndex changed = item(group, row);
        emit dataChanged(changed, changed);
    }

    void resetTo(const QVector<int>& sizes)
    {
        beginResetModel();
        items.clear();
        for (int g = 0; g < sizes.size(); ++g) {
            QStringList rows;
            for (int r = 0; r < sizes[g]; ++r)
                rows << QStringLiteral("new %1-%2").arg(g).arg(r);
            items << rows;
        }
        titles = titles.mid(0, sizes.size());
        endResetModel();
    }

    // Announces a change from the header of one group to an item of a later one, as a song
    // list does for the rows on screen.
    void announce(const QModelIndex& from, const QModelIndex& to) { emit dataChanged(from, to); }

private:
    int flatRow(int group, int row) const
    {
        int n = row;
        for (int g = 0; g < group; ++g)
            n += items[g].size();
        return n;
    }

    QStringList titles;
    QList<QStringList> items;
};

// A flat model of many rows that costs nothing to hold.
class CountModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit CountModel(int count)
        : rows(count)
    {
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : rows;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(QStringLiteral("Row %1").arg(index.row()))
                                       : QVariant();
    }

private:
    int rows;
};

// A row that takes presses itself, like every list item.
class RowCell : public MListItem
{
    Q_OBJECT

public:
    RowCell() { ++made; }
    static int made;
    QString text;
    int fills = 0;
};
int RowCell::made = 0;

// A row that takes no presses: they reach the list.
class PlainCell : public MWidget
{
    Q_OBJECT

public:
    PlainCell() { ++made; }
    static int made;
    QString text;
};
int PlainCell::made = 0;

// A row with a button at its right end and a basic row filling the rest.
class ControlCell : public MListItem
{
    Q_OBJECT

public:
    ControlCell()
    {
        auto* row = new QGraphicsLinearLayout(Qt::Horizontal, this);
        row->setContentsMargins(0, 0, 0, 0);
        inner = new MBasicListItem(MBasicListItem::SingleTitle);
        button = new MButton(QStringLiteral("+"));
        button->setMinimumSize(80, 80);
        button->setMaximumSize(80, 80);
        row->addItem(inner);
        row->addItem(button);
    }
    MBasicListItem* inner;
    MButton* button;
};

class ControlCreator : public MAbstractCellCreator<ControlCell>
{
public:
    ControlCreator() { setCellSize(QSizeF(480, RowHeight)); }
    void updateCell(const QModelIndex& index, MWidget* cell) const override
    {
        if (auto* row = qobject_cast<ControlCell*>(cell))
            row->inner->setTitle(index.data().toString());
    }
};

class HeaderCell : public MWidget
{
    Q_OBJECT

public:
    QString title;
};

class RowCreator : public QObject, public MAbstractCellCreator<RowCell>
{
    Q_OBJECT

public:
    explicit RowCreator(QObject* parent = nullptr)
        : QObject(parent)
    {
        setCellSize(QSizeF(480, RowHeight));
    }
    void updateCell(const QModelIndex& index, MWidget* cell) const override
    {
        auto* row = qobject_cast<RowCell*>(cell);
        if (!row)
            return;
        row->text = index.data().toString();
        ++row->fills;
        ++updates;
    }
    mutable int updates = 0;
};

class PlainCreator : public MAbstractCellCreator<PlainCell>
{
public:
    PlainCreator() { setCellSize(QSizeF(480, RowHeight)); }
    void updateCell(const QModelIndex& index, MWidget* cell) const override
    {
        if (auto* row = qobject_cast<PlainCell*>(cell))
            row->text = index.data().toString();
    }
};

class HeaderCreator : public QObject, public MAbstractCellCreator<HeaderCell>
{
    Q_OBJECT

public:
    explicit HeaderCreator(QObject* parent = nullptr)
        : QObject(parent)
    {
        setCellSize(QSizeF(480, HeaderHeight));
    }
    void updateCell(const QModelIndex& index, MWidget* cell) const override
    {
        if (auto* header = qobject_cast<HeaderCell*>(cell))
            header->title = index.data().toString();
        ++updates;
    }
    mutable int updates = 0;
};

QStringList shownTexts(MList* list)
{
    QList<QPair<qreal, QString>> rows;
    for (MWidget* w : list->visibleCells()) {
        if (auto* row = qobject_cast<RowCell*>(w))
            rows << qMakePair(w->y(), row->text);
        else if (auto* header = qobject_cast<HeaderCell*>(w))
            rows << qMakePair(w->y(), QStringLiteral("[%1]").arg(header->title));
        else if (auto* plain = qobject_cast<PlainCell*>(w))
            rows << qMakePair(w->y(), plain->text);
        else if (auto* def = qobject_cast<MListGroupHeader*>(w))
            rows << qMakePair(w->y(), QStringLiteral("<%1>").arg(def->title()));
    }
    std::sort(rows.begin(), rows.end());
    QStringList texts;
    for (const auto& r : rows)
        texts << r.second;
    return texts;
}

QPointF centreOf(MList* list, const QModelIndex& index)
{
    MWidget* cell = list->visibleCell(index);
    return cell ? cell->mapToScene(cell->rect().center()) : QPointF(-1, -1);
}

// A detailed row whose own layout deletes the toolkit's widgets when it is cleared.
class GridRow : public MDetailedListItem
{
    Q_OBJECT

public:
    GridRow()
        : MDetailedListItem(IconTitleSubtitleAndSideLabel)
    {
    }
    QGraphicsGridLayout* grid = nullptr;

protected:
    QGraphicsLayout* createLayout() override
    {
        if (grid)
            return grid;
        grid = new QGraphicsGridLayout;
        grid->setContentsMargins(0, 0, 0, 0);
        grid->addItem(imageWidget(), 0, 0, 2, 1);
        grid->addItem(titleLabelWidget(), 0, 1);
        grid->addItem(subtitleLabelWidget(), 1, 1);
        setLayout(grid);
        return grid;
    }
    void clearLayout() override
    {
        if (grid) {
            while (grid->count() > 0) {
                QGraphicsLayoutItem* item = grid->itemAt(0);
                grid->removeAt(0);
                delete item;
            }
        }
        MDetailedListItem::clearLayout();
    }
};

// A detailed row with its side label, as the albums list shows.
class DetailedRow : public MDetailedListItem
{
    Q_OBJECT

public:
    DetailedRow()
        : MDetailedListItem(IconTitleSubtitleAndSideLabel)
    {
    }
};

// A QObject, so that the list showing it keeps it (and deletes it with itself).
class DetailedCreator : public QObject, public MAbstractCellCreator<DetailedRow>
{
public:
    DetailedCreator() { setCellSize(QSizeF(480, 88)); }
    void updateCell(const QModelIndex& index, MWidget* cell) const override
    {
        auto* row = qobject_cast<DetailedRow*>(cell);
        row->setTitle(QStringLiteral("Album"));
        row->setSubtitle(QStringLiteral("Artist"));
        row->setSideBottomTitle(index.data().toString());
    }
};

} // namespace

class TestMList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rowMapFindsRowsAcrossGroups();
    void recyclerKeepsWidgetsByClass();
    void cellsOnlyForVisibleRowsAndReused();
    void tapClicksAndLongTapDoesNot_data();
    void tapClicksAndLongTapDoesNot();
    void aTapStaysATapWhenTheProgramIsHeldUp_data();
    void aTapStaysATapWhenTheProgramIsHeldUp();
    void aCloseEndsTheHeldPress_data();
    void aCloseEndsTheHeldPress();
    void controlsInsideARowKeepTheirTaps();
    void dragPansAndOvershootsAtTheTop();
    void dataChangedFillsVisibleCellsAgain();
    void rowsInsertedAndRemovedWhileShown();
    void manyChangesInARowRefreshOnce();
    void resetAndDestroyedModel();
    void scrollToPlacesTheRow();
    void insideAViewportItFollowsTheViewport();
    void inAViewportThatDoesNotPanItPansItself();
    void rowsComingFasterThanTheLayoutAreScrolledToByTheViewport();
    void groupsHiddenOrNoCreator();
    void defaultHeadersShowGroupTitles();
    void tapsSelect();
    void creatorsStayWithTheirOwners();
    void listItemTapAndLongTap();
    void basicAndContentItemsPlaceTheirParts();
    void detailedItemMakesItsLayoutLate();
    void cellsAreLaidOutBeforeTheyAreDrawn();
    void theWindowsFirstPaintLeavesNewCellsLaidOut();
    void rowsHalfInViewAreCutAtTheViewportsEdges();
    void teardownWithTheListShownByALayoutPolicy();
    void anIdleListScrollsWithoutMakingCells();

private:
    MList* bareList(QAbstractItemModel* model, qreal height = 800);

    MWindow* window = nullptr;
};

void TestMList::init()
{
    RowCell::made = 0;
    PlainCell::made = 0;
    window = new MApplicationWindow;
    window->resize(480, 854);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestMList::cleanup()
{
    delete window;
    window = nullptr;
}

void TestMList::anIdleListScrollsWithoutMakingCells()
{
    // Groups of one to five rows: a screen shows anything from a few headers to none.
    QVector<int> sizes;
    for (int g = 0; g < 20; ++g)
        sizes.append(1 + (g * 7) % 5);
    GroupedModel model(sizes);
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 600));
    list->setCellCreator(new RowCreator(list));
    list->setHeaderCreator(new HeaderCreator(list));
    list->setShowGroups(true);
    list->setItemModel(&model);
    auto cellsMade = [list] {
        int headers = 0;
        for (QGraphicsItem* child : list->childItems()) {
            if (child->isWidget()
                && qobject_cast<HeaderCell*>(static_cast<QGraphicsWidget*>(child)))
                ++headers;
        }
        return qMakePair(RowCell::made, headers);
    };
    // Once idle the list keeps as many cells as any screen of it can need.
    const int rows = int(std::ceil(list->size().height() / RowHeight)) + 1;
    QTRY_COMPARE(RowCell::made, rows);
    const QPair<int, int> idle = cellsMade();
    QVERIFY(idle.second > 0);
    for (int y = 0; y < int(list->preferredHeight()); y += 37) {
        list->setPosition(QPointF(0, y));
        QVERIFY(!list->visibleCells().isEmpty());
    }
    QCOMPARE(cellsMade(), idle);
}

MList* TestMList::bareList(QAbstractItemModel* model, qreal height)
{
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, height));
    list->setCellCreator(new RowCreator);
    list->setItemModel(model);
    return list;
}

void TestMList::rowMapFindsRowsAcrossGroups()
{
    using P = MListRowMap::Position;
    MListRowMap map;
    // An empty group first, one in the middle and one at the end.
    map.reset({ 0, 3, 0, 2, 0 }, 10, 20);
    QCOMPARE(map.totalHeight(), 5 * 10 + 5 * 20.0);
    QCOMPARE(map.positionAt(0), (P { 0, -1 }));
    QCOMPARE(map.positionAt(10), (P { 1, -1 }));
    QCOMPARE(map.positionAt(25), (P { 1, 0 }));
    QCOMPARE(map.positionAt(79.9), (P { 1, 2 }));
    QCOMPARE(map.positionAt(80), (P { 2, -1 }));
    QCOMPARE(map.positionAt(100), (P { 3, 0 }));
    QCOMPARE(map.positionAt(1e9), (P { 4, -1 }));
    QCOMPARE(map.top({ 3, 1 }), 120.0);
    QCOMPARE(map.next({ 1, 2 }), (P { 2, -1 }));
    QCOMPARE(map.next({ 4, -1 }), P());

    // Without headers the empty groups take no room and are never found.
    map.reset({ 0, 3, 0, 2, 0 }, 0, 20);
    QCOMPARE(map.totalHeight(), 100.0);
    QCOMPARE(map.first(), (P { 1, 0 }));
    QCOMPARE(map.positionAt(0), (P { 1, 0 }));
    QCOMPARE(map.positionAt(60), (P { 3, 0 }));
    QCOMPARE(map.positionAt(99), (P { 3, 1 }));
    QCOMPARE(map.next({ 1, 2 }), (P { 3, 0 }));
    QCOMPARE(map.next({ 3, 1 }), P());

    // Rows that cannot be drawn take no room.
    map.reset({ 4 }, 0, 0);
    QCOMPARE(map.totalHeight(), 0.0);
    QVERIFY(!map.positionAt(0).isValid());
    QVERIFY(!map.first().isValid());
}

void TestMList::recyclerKeepsWidgetsByClass()
{
    MWidgetRecycler recycler;
    QPointer<RowCell> a = new RowCell;
    QPointer<PlainCell> b = new PlainCell;
    recycler.recycle(a);
    recycler.recycle(a); // twice is once
    recycler.recycle(b);
    QVERIFY(!a->isVisible());
    QCOMPARE(recycler.recycledCount("RowCell"), 1);
    QCOMPARE(recycler.take("PlainCell"), static_cast<MWidget*>(b.data()));
    QCOMPARE(recycler.take("PlainCell"), static_cast<MWidget*>(nullptr));
    delete b.data();

    // A kept widget deleted by its owner is forgotten.
    delete a.data();
    QCOMPARE(recycler.take("RowCell"), static_cast<MWidget*>(nullptr));

    // Beyond the limit, widgets are deleted.
    recycler.setMaxItemsPerClass(2);
    QList<QPointer<RowCell>> cells;
    for (int i = 0; i < 3; ++i) {
        cells << new RowCell;
        recycler.recycle(cells.last());
    }
    QCOMPARE(recycler.recycledCount("RowCell"), 2);
    QTRY_VERIFY(!cells.last());
    recycler.clear();
    QVERIFY(!cells.first());
}

void TestMList::cellsOnlyForVisibleRowsAndReused()
{
    CountModel model(10000);
    MList* list = bareList(&model, 800);
    auto* creator = dynamic_cast<RowCreator*>(list->cellCreator());
    QVERIFY(creator);

    // 800 / 80: ten rows in view, ten cells made, each filled once.
    QCOMPARE(list->visibleCells().size(), 10);
    QCOMPARE(RowCell::made, 10);
    QCOMPARE(creator->updates, 10);
    QCOMPARE(shownTexts(list).first(), QStringLiteral("Row 0"));
    QCOMPARE(shownTexts(list).last(), QStringLiteral("Row 9"));
    QCOMPARE(list->preferredHeight(), 10000 * RowHeight);

    // A screen further: the same ten cells show the next ten rows.
    list->setPosition(QPointF(0, 800));
    QCOMPARE(RowCell::made, 10);
    QCOMPARE(list->visibleCells().size(), 10);
    QCOMPARE(shownTexts(list).first(), QStringLiteral("Row 10"));
    QCOMPARE(list->firstVisibleItem().row(), 10);
    QCOMPARE(list->lastVisibleItem().row(), 19);
    for (MWidget* cell : list->visibleCells())
        QCOMPARE(cell->pos().y() + 800,
                 model.index(qobject_cast<RowCell*>(cell)->text.mid(4).toInt(), 0).row()
                     * RowHeight);

    // Half a row: eleven rows show part of themselves.
    list->setPosition(QPointF(0, 840));
    QCOMPARE(list->visibleCells().size(), 11);
    QCOMPARE(list->firstVisibleItem().row(), 10);
    QCOMPARE(list->lastVisibleItem().row(), 20);
    const int madeSoFar = RowCell::made;
    QVERIFY(madeSoFar <= 11);

    // Far jumps and small steps make nothing new.
    for (int y : { 400000, 40, 799000, 10000 * 80 - 800, 123456 })
        list->setPosition(QPointF(0, y));
    QCOMPARE(RowCell::made, madeSoFar);
    QCOMPARE(list->lastVisibleItem().row(), (123456 + 799) / 80);

    // A row filled while scrolled past is filled again when it comes back.
    QCOMPARE(list->visibleCells().size(), 11);
    // The other cells wait hidden for reuse.
    int shown = 0;
    int made = 0;
    for (QGraphicsItem* child : list->childItems()) {
        if (child->isWidget() && qobject_cast<RowCell*>(static_cast<QGraphicsWidget*>(child))) {
            ++made;
            shown += child->isVisible() ? 1 : 0;
        }
    }
    QCOMPARE(shown, 11);
    QCOMPARE(made, RowCell::made);
}

void TestMList::tapClicksAndLongTapDoesNot_data()
{
    QTest::addColumn<bool>("rowsTakePresses");
    QTest::newRow("list items") << true;
    QTest::newRow("plain rows") << false;
}

void TestMList::tapClicksAndLongTapDoesNot()
{
    QFETCH(bool, rowsTakePresses);
    GroupedModel model({ 3, 4 });
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 800));
    PlainCreator plain;
    if (rowsTakePresses)
        list->setCellCreator(new RowCreator);
    else
        list->setCellCreator(&plain);
    list->setHeaderCreator(new HeaderCreator(list));
    list->setShowGroups(true);
    list->setItemModel(&model);
    QCOMPARE(list->visibleCells().size(), 2 + 7);

    QSignalSpy clicked(list, &MList::itemClicked);
    QSignalSpy longTapped(list, &MList::itemLongTapped);
    TouchDriver finger(window);

    finger.tap(centreOf(list, model.item(1, 2)));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.takeFirst().at(0).toModelIndex(), model.item(1, 2));

    // A tap on a header is no click.
    finger.tap(centreOf(list, model.index(1, 0)));
    QCOMPARE(clicked.count(), 0);

    // A press held still: a long tap at the press's position, and no click on release.
    const QPointF at = centreOf(list, model.item(0, 1));
    finger.press(at);
    QTRY_COMPARE_WITH_TIMEOUT(longTapped.count(), 1, 5000);
    QCOMPARE(longTapped.first().at(0).toModelIndex(), model.item(0, 1));
    QCOMPARE(longTapped.first().at(1).toPointF(), at);
    finger.release(at);
    QCOMPARE(clicked.count(), 0);

    // A held header gives nothing either.
    const QPointF onHeader = centreOf(list, model.index(0, 0));
    finger.press(onHeader);
    QTest::qWait(1200);
    finger.release(onHeader);
    QCOMPARE(longTapped.count(), 1);
    QCOMPARE(clicked.count(), 0);

    // A press that moves away is neither.
    finger.press(at);
    finger.move(at + QPointF(60, 0));
    finger.release(at + QPointF(60, 0));
    QCOMPARE(clicked.count(), 0);

    // Below the last row there is nothing to tap.
    finger.tap(QPointF(240, 790));
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(longTapped.count(), 1);
    delete list; // before the creator on the stack
}

void TestMList::aTapStaysATapWhenTheProgramIsHeldUp_data()
{
    tapClicksAndLongTapDoesNot_data();
}

void TestMList::aTapStaysATapWhenTheProgramIsHeldUp()
{
    // A quick tap on a loaded machine: the program takes the press, is then held up past the
    // long-tap time, and finds the release waiting behind the overdue hold timer in the same
    // turn of its loop. A timer due between the two stands for that queued release.
    QFETCH(bool, rowsTakePresses);
    GroupedModel model({ 3 });
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 800));
    PlainCreator plain;
    if (rowsTakePresses)
        list->setCellCreator(new RowCreator);
    else
        list->setCellCreator(&plain);
    list->setItemModel(&model);
    QSignalSpy clicked(list, &MList::itemClicked);
    QSignalSpy longTapped(list, &MList::itemLongTapped);
    TouchDriver finger(window);
    const QPointF at = centreOf(list, model.item(0, 1));

    for (int tap = 0; tap < 3; ++tap) {
        finger.press(at);
        QTimer::singleShot(900, list, [&] { finger.release(at); });
        QThread::msleep(1100);
        QTRY_COMPARE(clicked.count(), tap + 1);
        QTest::qWait(100);
        QCOMPARE(longTapped.count(), 0);
    }
    QCOMPARE(clicked.first().at(0).toModelIndex(), model.item(0, 1));

    // Held for real, the press is still a long tap, and its release no click.
    finger.press(at);
    QTRY_COMPARE_WITH_TIMEOUT(longTapped.count(), 1, 5000);
    finger.release(at);
    QCOMPARE(clicked.count(), 3);
    delete list; // before the creator on the stack
}

void TestMList::aCloseEndsTheHeldPress_data()
{
    tapClicksAndLongTapDoesNot_data();
}

void TestMList::aCloseEndsTheHeldPress()
{
    // The window system asks the window to close while a finger holds a row: the window closes,
    // and the press it held is no long tap and, released later, no tap.
    QFETCH(bool, rowsTakePresses);
    GroupedModel model({ 3 });
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 800));
    PlainCreator plain;
    list->setCellCreator(rowsTakePresses ? static_cast<MCellCreator*>(new RowCreator) : &plain);
    list->setItemModel(&model);
    QSignalSpy clicked(list, &MList::itemClicked);
    QSignalSpy longTapped(list, &MList::itemLongTapped);
    TouchDriver finger(window);
    const QPointF at = centreOf(list, model.item(0, 1));
    const auto askToClose = [this] {
        QCoreApplication::postEvent(window->windowHandle(), new QCloseEvent);
    };

    // A close a moment after the press, and one that the program, held up, takes in the same
    // turn as the overdue hold.
    for (int heldUp = 0; heldUp < 2; ++heldUp) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        finger.press(at);
        QTest::qWait(heldUp ? 0 : 300);
        askToClose();
        QThread::msleep(heldUp ? 1000 : 0);
        QTRY_VERIFY(!window->isVisible());
        QTest::qWait(1200);
        finger.release(at);
        QCOMPARE(longTapped.count(), 0);
        QCOMPARE(clicked.count(), 0);
    }

    // A close after a long tap's release; the window shown again still takes taps.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    finger.press(at);
    QTRY_COMPARE_WITH_TIMEOUT(longTapped.count(), 1, 5000);
    finger.release(at);
    askToClose();
    QTRY_VERIFY(!window->isVisible());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    finger.tap(at);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(longTapped.count(), 1);
    delete list; // before the creator on the stack
}

void TestMList::controlsInsideARowKeepTheirTaps()
{
    CountModel model(5);
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 800));
    ControlCreator creator;
    list->setCellCreator(&creator);
    list->setItemModel(&model);
    auto* cell = qobject_cast<ControlCell*>(list->visibleCell(model.index(2, 0)));
    QVERIFY(cell);
    QTRY_VERIFY(cell->button->size().width() > 0 && cell->inner->size().width() > 0);
    QSignalSpy clicked(list, &MList::itemClicked);
    QSignalSpy longTapped(list, &MList::itemLongTapped);
    QSignalSpy buttonClicked(cell->button, &MButton::clicked);
    TouchDriver finger(window);

    // The button's tap is the button's.
    const QPointF onButton = cell->button->mapToScene(cell->button->rect().center());
    finger.tap(onButton);
    QCOMPARE(buttonClicked.count(), 1);
    QCOMPARE(clicked.count(), 0);
    finger.press(onButton);
    QTest::qWait(1200);
    finger.release(onButton);
    QCOMPARE(longTapped.count(), 0);

    // The row inside the row is the row.
    finger.tap(cell->inner->mapToScene(cell->inner->rect().center()));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().at(0).toModelIndex(), model.index(2, 0));
    delete list;
}

void TestMList::dragPansAndOvershootsAtTheTop()
{
    CountModel model(100);
    MList* list = bareList(&model, 800);
    QSignalSpy started(list, &MPannableWidget::panningStarted);
    QSignalSpy stopped(list, &MPannableWidget::panningStopped);
    QSignalSpy clicked(list, &MList::itemClicked);
    QList<qreal> reported;
    QObject watcher; // goes before the list it watches and the model it shows
    connect(list, &MPannableWidget::positionChanged, &watcher,
            [&reported](const QPointF& p) { reported << p.y(); });
    TouchDriver finger(window);

    // Pulled down at the top: the page can read a position above the top, then it springs back.
    finger.drag(QPointF(240, 100), QPointF(240, 400));
    QCOMPARE(started.count(), 1);
    QCOMPARE(stopped.count(), 1);
    QVERIFY(!reported.isEmpty());
    QVERIFY(*std::min_element(reported.begin(), reported.end()) < 0);
    QTRY_COMPARE(list->position().y(), 0.0);
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(list->firstVisibleItem().row(), 0);

    // Dragged up: the rows follow the finger and the cells show the rows now in view.
    finger.drag(QPointF(240, 700), QPointF(240, 100));
    QTRY_VERIFY(list->position().y() > 400);
    const int first = list->firstVisibleItem().row();
    QCOMPARE(first, int(list->position().y() / RowHeight));
    QCOMPARE(shownTexts(list).first(), QStringLiteral("Row %1").arg(first));
    QCOMPARE(clicked.count(), 0);
    QVERIFY(RowCell::made <= 11);
}

void TestMList::dataChangedFillsVisibleCellsAgain()
{
    GroupedModel model({ 5, 5, 20 });
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 470));
    auto* creator = new RowCreator(list);
    auto* headers = new HeaderCreator(list);
    list->setCellCreator(creator);
    list->setHeaderCreator(headers);
    list->setShowGroups(true);
    list->setItemModel(&model);
    // 40 + 5 * 80 = 440: header A, its five rows and the top of header B are in view.
    QCOMPARE(shownTexts(list), QStringList({ "[A]", "A-0", "A-1", "A-2", "A-3", "A-4", "[B]" }));

    int before = creator->updates;
    model.setText(0, 2, QStringLiteral("changed"));
    QCOMPARE(creator->updates, before + 1);
    QCOMPARE(shownTexts(list).at(3), QStringLiteral("changed"));

    // A row out of view is left alone.
    before = creator->updates;
    model.setText(2, 10, QStringLiteral("far away"));
    QCOMPARE(creator->updates, before);

    // From the first group's header to an item of the second group: everything shown between.
    before = creator->updates;
    const int headersBefore = headers->updates;
    model.announce(model.index(0, 0), model.item(1, 3));
    QCOMPARE(creator->updates, before + 5);
    QCOMPARE(headers->updates, headersBefore + 2);

    // The ends the other way round, and an index of another model: no harm.
    model.announce(model.item(1, 3), model.index(0, 0));
    QCOMPARE(creator->updates, before + 10);
    QStringListModel other({ "x" });
    emit model.dataChanged(other.index(0, 0), other.index(0, 0));
}

void TestMList::rowsInsertedAndRemovedWhileShown()
{
    GroupedModel model({ 3, 3 });
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 800));
    list->setCellCreator(new RowCreator);
    list->setHeaderCreator(new HeaderCreator);
    list->setShowGroups(true);
    list->setItemModel(&model);
    QCOMPARE(shownTexts(list),
             QStringList({ "[A]", "A-0", "A-1", "A-2", "[B]", "B-0", "B-1", "B-2" }));

    model.insertItem(0, 0, QStringLiteral("first"));
    QCOMPARE(shownTexts(list),
             QStringList({ "[A]", "first", "A-0", "A-1", "A-2", "[B]", "B-0", "B-1", "B-2" }));
    QCOMPARE(list->preferredHeight(), 2 * HeaderHeight + 7 * RowHeight);

    model.removeItem(1, 1);
    model.removeItem(0, 2);
    QCOMPARE(shownTexts(list), QStringList({ "[A]", "first", "A-0", "A-2", "[B]", "B-0", "B-2" }));
    model.removeItem(1, 0);
    model.removeItem(1, 0);
    QCOMPARE(shownTexts(list), QStringList({ "[A]", "first", "A-0", "A-2", "[B]" }));

    // Scrolled down, then the rows above go: the list keeps within its rows.
    for (int i = 0; i < 30; ++i)
        model.insertItem(1, 0, QStringLiteral("b%1").arg(i));
    list->setPosition(QPointF(0, 1500));
    QCOMPARE(list->firstVisibleItem(), model.item(1, (1500 - 40 - 3 * 80 - 40) / 80));
    for (int i = 0; i < 25; ++i)
        model.removeItem(1, 0);
    QTRY_COMPARE(list->position().y(), list->range().bottom());
    QCOMPARE(shownTexts(list).last(), QStringLiteral("b0"));
    QCOMPARE(list->visibleCells().size(), 10);
}

void TestMList::manyChangesInARowRefreshOnce()
{
    GroupedModel model({ 5, 5 });
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 800));
    auto* creator = new RowCreator(list);
    list->setCellCreator(creator);
    list->setHeaderCreator(new HeaderCreator(list));
    list->setShowGroups(true);
    list->setItemModel(&model);
    QCOMPARE(list->visibleCells().size(), 11);

    // A batch of songs, announced one by one, as a grouped list model passes them on.
    const int before = creator->updates;
    for (int i = 0; i < 500; ++i)
        model.insertItem(1, 0, QStringLiteral("n%1").arg(i));
    QCOMPARE(creator->updates, before);
    // Asking for the rows in view counts them at once.
    QCOMPARE(list->lastVisibleItem(), model.item(1, 3));
    QTRY_VERIFY(creator->updates > before);
    QCOMPARE(creator->updates - before, 9);
    QCOMPARE(shownTexts(list).mid(5),
             QStringList({ "A-4", "[B]", "n499", "n498", "n497", "n496" }));
    QCOMPARE(list->preferredHeight(), 2 * HeaderHeight + 510 * RowHeight);
}

void TestMList::resetAndDestroyedModel()
{
    auto* model = new GroupedModel({ 4, 4 });
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 800));
    list->setCellCreator(new RowCreator);
    list->setShowGroups(true);
    list->setItemModel(model);
    QCOMPARE(list->visibleCells().size(), 10);

    model->resetTo({ 1 });
    QCOMPARE(shownTexts(list), QStringList({ "<A>", "new 0-0" }));

    // Grouping off through the model (a reset of its own).
    model->setGrouped(false);
    QCOMPARE(shownTexts(list), QStringList({ "new 0-0" }));

    delete model;
    QVERIFY(!list->itemModel());
    QVERIFY(list->visibleCells().isEmpty());
    QVERIFY(!list->firstVisibleItem().isValid());
    list->setPosition(QPointF(0, 100));
}

void TestMList::scrollToPlacesTheRow()
{
    CountModel model(1000);
    MList* list = bareList(&model, 800);
    QSignalSpy moved(list, &MPannableWidget::positionChanged);

    list->scrollTo(model.index(500, 0), MList::PositionAtTopHint);
    QCOMPARE(list->firstVisibleItem().row(), 500);
    QCOMPARE(list->position().y(), 500 * RowHeight);

    list->scrollTo(model.index(500, 0), MList::PositionAtBottomHint, MList::NonAnimated);
    QCOMPARE(list->lastVisibleItem().row(), 500);
    QCOMPARE(list->firstVisibleItem().row(), 491);

    list->scrollTo(model.index(500, 0), MList::PositionAtCenterHint);
    QCOMPARE(list->position().y(), 500 * RowHeight + RowHeight / 2 - 400);
    QCOMPARE(shownTexts(list).size(), 11);
    QVERIFY(shownTexts(list).contains("Row 500"));

    // Already in view: nothing moves.
    const qreal at = list->position().y();
    list->scrollTo(model.index(498, 0));
    QCOMPARE(list->position().y(), at);
    list->scrollTo(model.index(10, 0));
    QCOMPARE(list->firstVisibleItem().row(), 10);

    // The ends stay within the rows; an invalid index changes nothing.
    list->scrollTo(model.index(0, 0), MList::PositionAtCenterHint);
    QCOMPARE(list->position().y(), 0.0);
    list->scrollTo(model.index(999, 0), MList::PositionAtTopHint);
    QCOMPARE(list->position().y(), 1000 * RowHeight - 800);
    QCOMPARE(list->lastVisibleItem().row(), 999);
    moved.clear();
    list->scrollTo(QModelIndex(), MList::PositionAtTopHint);
    QCOMPARE(moved.count(), 0);
}

void TestMList::insideAViewportItFollowsTheViewport()
{
    auto* app = qobject_cast<MApplicationWindow*>(window);
    auto* page = new MApplicationPage;
    page->appear(app);
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);

    GroupedModel model({ 30, 30, 30 });
    auto* content = new QGraphicsWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* title = new MLabel(QStringLiteral("title"));
    title->setPreferredHeight(100);
    title->setMinimumHeight(100);
    layout->addItem(title);
    auto* list = new MList(content);
    layout->addItem(list);
    list->setCellCreator(new RowCreator);
    list->setHeaderCreator(new HeaderCreator);
    list->setShowGroups(true);
    list->setItemModel(&model);
    page->setCentralWidget(content);
    MPannableViewport* viewport = page->pannableViewport();

    // The list is as tall as its rows; cells exist for what the viewport shows.
    const qreal total = 3 * HeaderHeight + 90 * RowHeight;
    QTRY_COMPARE(list->size().height(), total);
    QTRY_VERIFY(viewport->range().height() > total - 900);
    QCOMPARE(list->y(), 100.0);
    const qreal shownHeight = viewport->size().height() - 100;
    QTRY_COMPARE(list->visibleCells().size(),
                 int(std::ceil((shownHeight - HeaderHeight) / RowHeight)) + 1);
    QCOMPARE(list->position().y(), 0.0);

    viewport->setPosition(QPointF(0, 100 + HeaderHeight + 30 * RowHeight));
    QCOMPARE(list->firstVisibleItem(), model.index(1, 0));
    QCOMPARE(shownTexts(list).first(), QStringLiteral("[B]"));
    QVERIFY(list->visibleCells().size() <= int(viewport->size().height() / RowHeight) + 2);

    // The list turns the viewport to a row.
    list->scrollTo(model.item(2, 5), MList::PositionAtTopHint);
    QCOMPARE(list->firstVisibleItem(), model.item(2, 5));
    QCOMPARE(viewport->position().y(), 100 + 3 * HeaderHeight + 65 * RowHeight);

    // A drag over the rows pans the viewport, and the list says so.
    QSignalSpy started(list, &MPannableWidget::panningStarted);
    QSignalSpy stopped(list, &MPannableWidget::panningStopped);
    QSignalSpy clicked(list, &MList::itemClicked);
    const qreal before = viewport->position().y();
    TouchDriver finger(window);
    finger.drag(viewport->mapToScene(QPointF(240, 500)), viewport->mapToScene(QPointF(240, 200)));
    QCOMPARE(started.count(), 1);
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(clicked.count(), 0);
    QVERIFY(viewport->position().y() > before + 200);
    QCOMPARE(list->position().y(), 0.0);

    // A tap on a row in the middle of the viewport is a click on that row.
    const QRectF middle = viewport->mapRectToScene(viewport->rect().adjusted(0, 200, 0, -200));
    QModelIndex row;
    for (int g = 0; g < 3 && !row.isValid(); ++g) {
        for (int r = 0; r < 30 && !row.isValid(); ++r) {
            if (middle.contains(centreOf(list, model.item(g, r))))
                row = model.item(g, r);
        }
    }
    QVERIFY(row.isValid());
    finger.tap(centreOf(list, row));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().at(0).toModelIndex(), row);
}

void TestMList::rowsComingFasterThanTheLayoutAreScrolledToByTheViewport()
{
    // A page of a few rows: the list is as tall as they are, under a title.
    auto* app = qobject_cast<MApplicationWindow*>(window);
    auto* page = new MApplicationPage;
    page->appear(app);
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);
    GroupedModel model({ 3 });
    auto* content = new QGraphicsWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* title = new MLabel(QStringLiteral("title"));
    title->setMinimumHeight(100);
    title->setMaximumHeight(100);
    layout->addItem(title);
    auto* list = new MList(content);
    list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    layout->addItem(list);
    list->setCellCreator(new RowCreator);
    list->setHeaderCreator(new HeaderCreator);
    list->setShowGroups(true);
    list->setItemModel(&model);
    page->setCentralWidget(content);
    MPannableViewport* viewport = page->pannableViewport();
    QTRY_COMPARE(list->size().height(), HeaderHeight + 3 * RowHeight);

    // Rows come, and one of them is scrolled to before the layout has made room for them: the
    // viewport takes it to the top, and the list, as tall as its rows, does not pan.
    for (int r = 3; r < 30; ++r)
        model.insertItem(0, r, QStringLiteral("A-%1").arg(r));
    const QModelIndex row = model.item(0, 20);
    list->scrollTo(row, MList::PositionAtTopHint);
    QTRY_COMPARE(list->size().height(), HeaderHeight + 30 * RowHeight);
    QTRY_VERIFY(list->visibleCell(row));
    QTRY_COMPARE(list->visibleCell(row)->sceneBoundingRect().top(),
                 viewport->sceneBoundingRect().top());
    QCOMPARE(list->position().y(), 0.0);
}

void TestMList::inAViewportThatDoesNotPanItPansItself()
{
    // A play queue: the viewport is as tall as the list may be and does not pan.
    auto* viewport = new MPannableViewport;
    window->scene()->addItem(viewport);
    viewport->setVerticalPanningPolicy(MPannableWidget::PanningAlwaysOff);
    viewport->setGeometry(QRectF(0, 100, 480, 400));
    CountModel model(50);
    auto* list = new MList;
    list->setCellCreator(new RowCreator);
    list->setItemModel(&model);
    viewport->setWidget(list);
    QTRY_COMPARE(list->size().height(), 400.0);
    QCOMPARE(list->visibleCells().size(), 5);

    list->scrollTo(model.index(30, 0), MList::PositionAtCenterHint);
    QCOMPARE(list->position().y(), 30 * RowHeight + RowHeight / 2 - 200);
    QCOMPARE(viewport->position().y(), 0.0);
    QVERIFY(shownTexts(list).contains("Row 30"));

    TouchDriver(window).drag(QPointF(240, 450), QPointF(240, 150));
    QVERIFY(list->position().y() > 30 * RowHeight);
    QCOMPARE(viewport->position().y(), 0.0);
    delete viewport;
}

void TestMList::groupsHiddenOrNoCreator()
{
    GroupedModel model({ 2, 0, 2 });
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 800));

    // No creator yet: nothing shown, nothing breaks.
    list->setItemModel(&model);
    list->setShowGroups(true);
    QVERIFY(!list->cellCreator());
    QCOMPARE(shownTexts(list), QStringList({ "<A>", "<B>", "<C>" }));
    QVERIFY(!list->lastVisibleItem().parent().isValid());
    list->setPosition(QPointF(0, 50));

    // Groups not shown: the items of every group, one after the other, no headers.
    list->setCellCreator(new RowCreator);
    list->setShowGroups(false);
    QCOMPARE(shownTexts(list), QStringList({ "A-0", "A-1", "C-0", "C-1" }));
    QCOMPARE(list->firstVisibleItem(), model.item(0, 0));
    QCOMPARE(list->lastVisibleItem(), model.item(2, 1));
    QSignalSpy clicked(list, &MList::itemClicked);
    TouchDriver(window).tap(centreOf(list, model.item(2, 0)));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().at(0).toModelIndex(), model.item(2, 0));

    // A flat model with groups asked for shows its rows.
    QStringListModel flat({ "one", "two" });
    list->setItemModel(&flat);
    list->setShowGroups(true);
    QCOMPARE(shownTexts(list), QStringList({ "one", "two" }));
    list->setShowGroups(false);
    QCOMPARE(shownTexts(list), QStringList({ "one", "two" }));
}

void TestMList::defaultHeadersShowGroupTitles()
{
    GroupedModel model({ 1, 1 });
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 800));
    list->setCellCreator(new RowCreator);
    list->setShowGroups(true);
    list->setIndexDisplayMode(MList::Floating);
    list->setItemModel(&model);
    QCOMPARE(shownTexts(list), QStringList({ "<A>", "A-0", "<B>", "B-0" }));
    auto* header = qobject_cast<MListGroupHeader*>(list->visibleCell(model.index(1, 0)));
    QVERIFY(header);
    QVERIFY(header->size().height() > 20);
    QCOMPARE(header->styleName(), QStringLiteral("CommonGroupHeaderInverted"));

    // A header creator given later takes over, and going back to none brings the titles back.
    auto* creator = new HeaderCreator(list);
    list->setHeaderCreator(creator);
    QCOMPARE(shownTexts(list), QStringList({ "[A]", "A-0", "[B]", "B-0" }));
    list->setHeaderCreator(nullptr);
    QCOMPARE(shownTexts(list), QStringList({ "<A>", "A-0", "<B>", "B-0" }));
}

void TestMList::tapsSelect()
{
    GroupedModel model({ 3, 3 });
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 800));
    list->setCellCreator(new RowCreator);
    list->setShowGroups(true);
    list->setItemModel(&model);
    QItemSelectionModel* selection = list->selectionModel();
    QVERIFY(selection);
    QCOMPARE(selection->model(), &model);
    TouchDriver finger(window);

    // No selection mode: taps only click.
    finger.tap(centreOf(list, model.item(0, 0)));
    QVERIFY(!selection->hasSelection());

    list->setSelectionMode(MList::SingleSelection);
    finger.tap(centreOf(list, model.item(0, 0)));
    finger.tap(centreOf(list, model.item(1, 1)));
    QCOMPARE(selection->selectedIndexes(), QModelIndexList({ model.item(1, 1) }));

    list->setSelectionMode(MList::MultiSelection);
    QSignalSpy changed(selection, &QItemSelectionModel::selectionChanged);
    finger.tap(centreOf(list, model.item(0, 2)));
    finger.tap(centreOf(list, model.item(1, 2)));
    QCOMPARE(selection->selectedIndexes().size(), 3);
    finger.tap(centreOf(list, model.item(1, 1)));
    QCOMPARE(selection->selectedIndexes().size(), 2);
    QVERIFY(!selection->isSelected(model.item(1, 1)));
    QCOMPARE(changed.count(), 3);

    // Headers cannot be selected.
    finger.tap(centreOf(list, model.index(1, 0)));
    QVERIFY(!selection->isSelected(model.index(1, 0)));
    QCOMPARE(changed.count(), 3);

    // A new model brings a new selection model.
    QStringListModel other({ "x" });
    list->setItemModel(&other);
    QCOMPARE(list->selectionModel()->model(), &other);
}

void TestMList::creatorsStayWithTheirOwners()
{
    CountModel model(20);
    QPointer<MList> list = bareList(&model, 400);
    auto* creator = dynamic_cast<RowCreator*>(list->cellCreator());
    // A creator without a parent goes with the list.
    QCOMPARE(creator->parent(), static_cast<QObject*>(list.data()));

    // A creator owned elsewhere may die first: the list forgets it.
    auto* owner = new QObject;
    auto* owned = new RowCreator(owner);
    list->setCellCreator(owned);
    QCOMPARE(owned->parent(), owner);
    QCOMPARE(list->visibleCells().size(), 5);
    delete owner;
    QVERIFY(!list->cellCreator());
    QVERIFY(list->visibleCells().isEmpty());
    list->setPosition(QPointF(0, 100));

    // Replacing a creator keeps the replaced one alive for its owner.
    QPointer<RowCreator> first = new RowCreator(list);
    list->setCellCreator(first);
    list->setCellCreator(new RowCreator);
    QVERIFY(first);
    QPointer<RowCreator> adopted = creator;
    delete list.data();
    QVERIFY(!adopted);
    QVERIFY(!first);
}

void TestMList::listItemTapAndLongTap()
{
    auto* item = new MBasicListItem(MBasicListItem::TitleWithSubtitle);
    window->scene()->addItem(item);
    item->setGeometry(QRectF(0, 100, 480, 88));
    QSignalSpy clicked(item, &MListItem::clicked);
    QSignalSpy longTapped(item, &MListItem::longTapped);
    TouchDriver finger(window);

    finger.tap(QPointF(200, 140));
    QCOMPARE(clicked.count(), 1);

    finger.press(QPointF(200, 140));
    QVERIFY(item->isPressed());
    QTRY_COMPARE_WITH_TIMEOUT(longTapped.count(), 1, 5000);
    QCOMPARE(longTapped.first().at(0).toPointF(), QPointF(200, 140));
    finger.release(QPointF(200, 140));
    QCOMPARE(clicked.count(), 1);
    QVERIFY(!item->isPressed());

    // Released outside: no click.
    finger.press(QPointF(200, 140));
    finger.release(QPointF(200, 400));
    QCOMPARE(clicked.count(), 1);
}

void TestMList::basicAndContentItemsPlaceTheirParts()
{
    auto* item = new MBasicListItem(MBasicListItem::IconWithTitle);
    window->scene()->addItem(item);
    item->setTitle(QStringLiteral("Shuffle"));
    item->imageWidget()->setImage(QStringLiteral("icon-m-music-video-shuffle-on"));
    item->setGeometry(QRectF(0, 0, 480, 88));
    QTRY_VERIFY(item->imageWidget()->geometry().width() > 0);
    QCOMPARE(item->size().height(), 88.0);
    // The icon at the left margin, the title right of it, both on the row's middle line.
    QTRY_COMPARE(item->imageWidget()->geometry().left(), 16.0);
    QVERIFY(item->titleLabelWidget()->geometry().left() >= item->imageWidget()->geometry().right());
    QCOMPARE(item->imageWidget()->geometry().center().y(), 44.0);
    QCOMPARE(item->titleLabelWidget()->geometry().center().y(), 44.0);
    QVERIFY(!item->subtitleLabelWidget()->isVisible());

    item->setItemStyle(MBasicListItem::TitleWithSubtitle);
    item->setSubtitle(QStringLiteral("all songs"));
    QTRY_VERIFY(item->subtitleLabelWidget()->geometry().top()
                >= item->titleLabelWidget()->geometry().bottom());
    QVERIFY(!item->imageWidget()->isVisible());
    QCOMPARE(item->titleLabelWidget()->geometry().left(), 16.0);

    auto* content = new MContentItem(MContentItem::IconAndTwoTextLabels);
    content->setImageID(QStringLiteral("icon-m-common-search"));
    content->setTitle(QStringLiteral("title"));
    QCOMPARE(content->imageID(), QStringLiteral("icon-m-common-search"));
    QCOMPARE(content->itemStyle(), MBasicListItem::IconWithTitleAndSubtitle);
    QCOMPARE(content->effectiveSizeHint(Qt::PreferredSize).height(), 88.0);
    delete content;
}

void TestMList::detailedItemMakesItsLayoutLate()
{
    // The toolkit's own layout, made when the item is first polished.
    auto* item = new MDetailedListItem(MDetailedListItem::IconTitleSubtitleAndSideLabel);
    item->setTitle(QStringLiteral("Album"));
    item->setSubtitle(QStringLiteral("Artist"));
    item->setSideBottomTitle(QStringLiteral("12"));
    item->setIconStyle(MDetailedListItem::Thumbnail);
    QVERIFY(!item->layout());
    QCOMPARE(item->effectiveSizeHint(Qt::PreferredSize).height(), 88.0);
    window->scene()->addItem(item);
    item->setGeometry(QRectF(0, 0, 480, 88));
    QTRY_VERIFY(item->layout());
    QTRY_COMPARE(item->imageWidget()->size(), QSizeF(80, 80));
    QTRY_VERIFY(item->sideBottomLabelWidget()->geometry().right() <= 480 - 16 + 0.5);
    QVERIFY(item->sideBottomLabelWidget()->geometry().right() > 400);
    QVERIFY(item->subtitleLabelWidget()->geometry().top()
            >= item->titleLabelWidget()->geometry().bottom() - 0.5);

    // initLayout() builds the toolkit's layout again.
    QGraphicsLayout* before = item->layout();
    item->initLayout();
    QVERIFY(item->layout());
    QVERIFY(item->layout() != before || item->layout()->count() == 4);
    QCOMPARE(item->title(), QStringLiteral("Album"));

    // A subclass's layout is its own; its clearLayout deletes the widgets it placed, and the
    // accessors make them again.
    auto* row = new GridRow;
    window->scene()->addItem(row);
    QTRY_VERIFY(row->grid);
    QCOMPARE(row->layout(), static_cast<QGraphicsLayout*>(row->grid));
    QPointer<MLabel> title = row->titleLabelWidget();
    row->initLayout();
    QVERIFY(!title);
    QCOMPARE(row->layout(), static_cast<QGraphicsLayout*>(row->grid));
    MLabel* again = row->titleLabelWidget();
    QVERIFY(again);
    again->setText(QStringLiteral("back"));
    QCOMPARE(row->title(), QStringLiteral("back"));
    QVERIFY(row->imageWidget());
}

void TestMList::cellsAreLaidOutBeforeTheyAreDrawn()
{
    // A row's first paint shows it laid out: no turn of the event loop (where the scene would
    // polish the cells and run their layouts) comes between the list filling its cells and
    // the paint.
    GroupedModel model({ 100 }, false);
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 440));
    list->setCellCreator(new DetailedCreator);
    list->setItemModel(&model);
    auto laidOut = [](MWidget* cell) {
        auto* row = qobject_cast<DetailedRow*>(cell);
        return row && row->layout() && row->layout()->isActivated()
               && row->titleLabelWidget()->pos().x() >= row->imageWidget()->geometry().right()
               && row->subtitleLabelWidget()->pos().y()
                      >= row->titleLabelWidget()->geometry().bottom() - 0.5
               && row->sideBottomLabelWidget()->geometry().right() > 440;
    };
    const QList<MWidget*> first = list->visibleCells();
    QCOMPARE(first.size(), 5);
    for (MWidget* cell : first)
        QVERIFY(laidOut(cell));

    // So are the rows a scroll brings into view, and a row whose side text grows.
    list->setPosition(QPointF(0, 88 * 50));
    for (MWidget* cell : list->visibleCells())
        QVERIFY(laidOut(cell));
    auto* row = qobject_cast<DetailedRow*>(list->visibleCells().first());
    MLabel* side = row->sideBottomLabelWidget();
    const qreal narrow = side->size().width();
    model.setText(0, 50, QStringLiteral("12,345 songs"));
    QVERIFY(side->size().width() > narrow);
    QVERIFY(laidOut(row));
}

void TestMList::theWindowsFirstPaintLeavesNewCellsLaidOut()
{
    // The window paints in the same turn as the list makes its cells (as when rows come while
    // the page's layout makes room for them): the scene polishes the new widgets as it paints,
    // and no layout of a row is left to run after that paint, with nothing to paint it again.
    GroupedModel model({ 100 }, false);
    auto* list = new MList;
    window->scene()->addItem(list);
    list->setGeometry(QRectF(0, 0, 480, 440));
    list->setCellCreator(new DetailedCreator);
    list->setItemModel(&model);
    QCOMPARE(list->visibleCells().size(), 5);
    window->viewport()->repaint();
    for (MWidget* cell : list->visibleCells())
        QVERIFY(cell->layout() && cell->layout()->isActivated());
}

void TestMList::rowsHalfInViewAreCutAtTheViewportsEdges()
{
    // A list in a viewport with blank screen above and below it, scrolled so that a row
    // shows only its lower half at the top and another only its upper part at the bottom:
    // nothing of those rows, their texts included, is drawn beyond the viewport.
    auto* frame = new QGraphicsWidget;
    window->scene()->addItem(frame);
    frame->setGeometry(QRectF(0, 0, 480, 700));
    auto* viewport = new MPannableViewport(frame);
    viewport->positionIndicator()->hide();
    const QRectF shown(0, 200, 480, 300);
    viewport->setGeometry(shown);
    CountModel model(40);
    auto* list = new MList;
    list->setCellCreator(new DetailedCreator);
    list->setItemModel(&model);
    viewport->setWidget(list);
    QTRY_VERIFY(viewport->range().height() > 88 * 20);
    viewport->setPosition(QPointF(0, 88 * 10 + 60));
    QCOMPARE(list->firstVisibleItem(), model.index(10, 0));
    QCOMPARE(list->lastVisibleItem(), model.index(14, 0));
    auto* top = qobject_cast<DetailedRow*>(list->visibleCell(model.index(10, 0)));
    QVERIFY(top);
    QVERIFY(top->titleLabelWidget()->sceneBoundingRect().bottom() < shown.top());

    const QImage picture = drawnOnBlack(frame);
    QVERIFY(!inkIn(picture, shown).isEmpty());
    QCOMPARE(inkIn(picture, QRectF(0, 0, 480, shown.top())), QRect());
    QCOMPARE(inkIn(picture, QRectF(0, shown.bottom(), 480, 700 - shown.bottom())), QRect());
}

void TestMList::teardownWithTheListShownByALayoutPolicy()
{
    // A collection page that shows "No music" over a list that had rows: the layout's first
    // policy holds a label, the second the list. Deleting the viewport deletes the layout,
    // whose first policy goes first and shows the list on its way out, while the viewport's
    // clip widget around it is already half destroyed.
    auto* viewport = new MPannableViewport;
    window->scene()->addItem(viewport);
    viewport->setGeometry(QRectF(0, 0, 480, 700));
    auto* content = new QGraphicsWidget;
    auto* layout = new MLayout(content);
    auto* emptyPolicy = new MLinearLayoutPolicy(layout, Qt::Vertical);
    auto* listPolicy = new MLinearLayoutPolicy(layout, Qt::Vertical);
    emptyPolicy->addItem(new MLabel(QStringLiteral("No music")));
    CountModel model(20);
    auto* list = new MList(content);
    list->setCellCreator(new RowCreator);
    list->setItemModel(&model);
    listPolicy->addItem(list);
    viewport->setWidget(content);
    listPolicy->activate();
    QTRY_VERIFY(!list->visibleCells().isEmpty());
    QPointer<MList> gone(list);
    emptyPolicy->activate();
    QTRY_VERIFY(!list->isVisible());

    delete viewport;
    QVERIFY(!gone);
}

PARLOVANCE_TEST_MAIN(TestMList)

#include "tst_mlist.moc"
