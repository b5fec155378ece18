#include "maction.h"
#include "mapplicationmenu.h"
#include "mapplicationpage.h"
#include "mapplicationwindow.h"
#include "mbasiclistitem.h"
#include "mbutton.h"
#include "mdialog.h"
#include "mgridlayoutpolicy.h"
#include "minputmethodstate.h"
#include "mlabel.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "mmessagebox.h"
#include "mobjectmenu.h"
#include "moverlay.h"
#include "mpannableviewport.h"
#include "mprogressindicator.h"
#include "mscenemanager.h"
#include "mseekbar.h"
#include "msheet.h"
#include "mstylablewidget.h"
#include "mtextedit.h"
#include "mwidgetaction.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QGestureEvent>
#include <QGraphicsLinearLayout>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionGraphicsItem>
#include <QScreen>
#include <QSignalSpy>
#include <QSwipeGesture>
#include <QTapAndHoldGesture>
#include <QTapGesture>

namespace {

// A widget that records the gestures it is given, by type and state.
class GestureTarget : public MStylableWidget
{
public:
    GestureTarget()
    {
        grabGestureWithCancelPolicy(Qt::TapGesture);
        grabGestureWithCancelPolicy(Qt::TapAndHoldGesture);
        grabGestureWithCancelPolicy(Qt::SwipeGesture);
        grabGestureWithCancelPolicy(Qt::PanGesture);
    }

    QStringList finished;
    QSwipeGesture::SwipeDirection vertical = QSwipeGesture::NoDirection;
    QSwipeGesture::SwipeDirection horizontal = QSwipeGesture::NoDirection;
    int mousePresses = 0;

protected:
    void tapGestureEvent(QGestureEvent* event, QTapGesture* gesture) override
    {
        event->accept(gesture);
        if (gesture->state() == Qt::GestureFinished)
            finished << "tap";
    }
    void tapAndHoldGestureEvent(QGestureEvent* event, QTapAndHoldGesture* gesture) override
    {
        event->accept(gesture);
        if (gesture->state() == Qt::GestureFinished)
            finished << "tapAndHold";
    }
    void swipeGestureEvent(QGestureEvent* event, QSwipeGesture* gesture) override
    {
        event->accept(gesture);
        if (gesture->state() == Qt::GestureFinished) {
            finished << "swipe";
            vertical = gesture->verticalDirection();
            horizontal = gesture->horizontalDirection();
        }
    }
    void panGestureEvent(QGestureEvent* event, QPanGesture* gesture) override
    {
        event->accept(gesture);
        if (gesture->state() == Qt::GestureFinished)
            finished << "pan";
    }
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override
    {
        ++mousePresses;
        event->accept();
    }
};

MStylableWidget* box(const QString& name, qreal height)
{
    auto* w = new MStylableWidget;
    w->setObjectName(name);
    w->setPreferredHeight(height);
    w->setMinimumHeight(height);
    w->setMaximumHeight(height);
    return w;
}

} // namespace

class TestTouchWidgets : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void activatingAPolicyHidesTheOthersItems();
    void gridPolicyPlacesItemsInCells();
    void deletedItemsLeaveTheLayout();
    void nestedLayoutGoesWithItsLayout();
    void pullingDownAtTheTopGoesBelowZero();
    void viewportFollowsItsWidgetsHeight();
    void movingTheViewportKeepsItsWidgetsSize();
    void objectMenuRunsItsActionAfterItHasGone();
    void messageBoxAnswersYesWith1024();
    void dialogTappedOutsideRejects();
    void dragMakesSwipeAndHeldPressTapAndHold();
    void quickPressMakesATap();
    void menusKeepTheirGesturesFromThePageBelow();
    void seekBarReportsEveryValueChange();
    void seekBarBubbleLeavesWithTheFinger();
    void textEditTypesAndReturns();
    void textEditShowsTheTextBeforeTheCursor();
    void inputMethodStateKeepsValues();
    void systemwideSheetHasItsOwnWindow();
    void overlayCoversItsParent();
    void progressIndicatorKeepsItsRange();
    void wrappedLabelGrowsWhenNarrow();
    void labelShowsMarkupInANameAsWritten();

private:
    MApplicationWindow* window = nullptr;
    MApplicationPage* page = nullptr;
};

void TestTouchWidgets::init()
{
    window = new MApplicationWindow;
    window->resize(480, 854);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    page = new MApplicationPage;
    page->appear(window);
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);
}

void TestTouchWidgets::cleanup()
{
    delete window;
    window = nullptr;
    page = nullptr;
}

void TestTouchWidgets::activatingAPolicyHidesTheOthersItems()
{
    auto* host = new QGraphicsWidget;
    auto* layout = new MLayout(host);
    auto* header = box("header", 40);
    auto* list = box("list", 300);
    auto* empty = box("empty", 100);
    auto* withList = new MLinearLayoutPolicy(layout, Qt::Vertical);
    auto* withEmpty = new MLinearLayoutPolicy(layout, Qt::Vertical);
    withList->addItem(header);
    withList->addItem(list);
    withEmpty->addItem(header);
    withEmpty->addItem(empty);
    page->setCentralWidget(host);

    // The first policy made is the active one.
    QVERIFY(withList->isActive());
    QVERIFY(!withEmpty->isActive());
    QCOMPARE(header->parentItem(), host);
    QCOMPARE(empty->parentItem(), host);
    QVERIFY(header->isVisible());
    QVERIFY(list->isVisible());
    QVERIFY(!empty->isVisible());
    QCOMPARE(layout->count(), 3);

    withEmpty->activate();
    QVERIFY(withEmpty->isActive());
    QVERIFY(header->isVisible());
    QVERIFY(!list->isVisible());
    QVERIFY(empty->isVisible());
    QTRY_COMPARE(empty->geometry().top(), header->geometry().bottom());

    // An explicit hide holds until the next activation, and gives up its room.
    header->hide();
    QTRY_COMPARE(empty->geometry().top(), 0.0);
    QVERIFY(!header->isVisible());
    withList->activate();
    QVERIFY(header->isVisible());
    QVERIFY(list->isVisible());
    QVERIFY(!empty->isVisible());
    QTRY_COMPARE(list->geometry().top(), 40.0);
    QCOMPARE(list->geometry().width(), host->geometry().width());

    // An item added to the inactive policy stays hidden.
    auto* later = box("later", 10);
    withEmpty->addItem(later);
    QVERIFY(!later->isVisible());
    QCOMPARE(withEmpty->indexOf(later), 2);
    withEmpty->removeItem(later);
    QCOMPARE(layout->indexOf(later), -1);
    delete later;
}

void TestTouchWidgets::gridPolicyPlacesItemsInCells()
{
    auto* host = new QGraphicsWidget;
    host->resize(400, 400);
    auto* layout = new MLayout(host);
    auto* grid = new MGridLayoutPolicy(layout);
    grid->setSpacing(0);
    auto* big = box("big", 100);
    auto* a = box("a", 50);
    auto* b = box("b", 50);
    grid->addItem(big, 0, 0, 2, 2);
    grid->addItem(a, 0, 2);
    grid->addItem(b, 1, 2);
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->columnCount(), 3);
    host->resize(300, 100);
    layout->activate();
    QTRY_VERIFY(a->geometry().left() > big->geometry().left());
    QVERIFY(b->geometry().top() > a->geometry().top());
    QCOMPARE(a->geometry().left(), b->geometry().left());
    delete host;
}

void TestTouchWidgets::deletedItemsLeaveTheLayout()
{
    auto* host = new QGraphicsWidget;
    auto* layout = new MLayout(host);
    auto* first = new MLinearLayoutPolicy(layout, Qt::Vertical);
    auto* second = new MLinearLayoutPolicy(layout, Qt::Horizontal);
    auto* shared = box("shared", 20);
    first->addItem(shared);
    second->addItem(shared);
    first->addStretch();
    delete shared;
    QCOMPARE(layout->count(), 0);
    QCOMPARE(first->count(), 0);
    QCOMPARE(second->count(), 0);
    // A policy can be deleted and replaced.
    delete second;
    auto* third = new MLinearLayoutPolicy(layout, Qt::Vertical);
    third->addItem(box("x", 5));
    QVERIFY(first->isActive());
    third->activate();
    QVERIFY(third->isActive());
    delete host;
}

void TestTouchWidgets::nestedLayoutGoesWithItsLayout()
{
    // A layout inside a policy has no widget to own it: the layout holding it deletes it, and
    // leaves the widgets inside it to their parent widget.
    struct Nested : QGraphicsLinearLayout
    {
        explicit Nested(bool* gone)
            : QGraphicsLinearLayout(Qt::Horizontal)
            , gone(gone)
        {
        }
        ~Nested() override { *gone = true; }
        bool* gone;
    };
    bool nestedGone = false;
    auto* host = new QGraphicsWidget;
    auto* layout = new MLayout;
    auto* policy = new MLinearLayoutPolicy(layout, Qt::Vertical);
    auto* nested = new Nested(&nestedGone);
    QPointer<QGraphicsWidget> inner = box("inner", 10);
    inner->setParentItem(host);
    nested->addItem(inner);
    policy->addItem(nested);
    delete layout;
    QVERIFY(nestedGone);
    QVERIFY(inner);
    QVERIFY(!inner->parentLayoutItem());
    delete host;
    QVERIFY(!inner);
}

void TestTouchWidgets::pullingDownAtTheTopGoesBelowZero()
{
    auto* content = new QGraphicsWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, content);
    for (int i = 0; i < 20; ++i) {
        auto* button = new MButton(QString("row %1").arg(i));
        button->setPreferredHeight(80);
        layout->addItem(button);
    }
    page->setCentralWidget(content);
    MPannableViewport* viewport = page->pannableViewport();
    QTRY_VERIFY(viewport->range().height() > 500);
    QCOMPARE(viewport->position().y(), 0.0);

    QList<qreal> reported;
    connect(viewport, &MPannableWidget::positionChanged, this,
            [&reported](const QPointF& p) { reported << p.y(); });
    QSignalSpy started(viewport, &MPannableWidget::panningStarted);
    QSignalSpy stopped(viewport, &MPannableWidget::panningStopped);

    // Pressing on a button inside and pulling down: the viewport takes the drag over.
    const QPointF start = viewport->mapToScene(QPointF(240, 100));
    TouchDriver pointer(window);
    pointer.dragAndHold(start, start + QPointF(0, 200), 8);
    QCOMPARE(started.count(), 1);
    QVERIFY(viewport->position().y() < 0);
    QVERIFY(!reported.isEmpty());
    QVERIFY(reported.first() < 0);
    pointer.release(start + QPointF(0, 200));
    QCOMPARE(stopped.count(), 1);
    QTRY_COMPARE(viewport->position().y(), 0.0);

    // Pulling up pans the content.
    pointer.dragAndHold(start + QPointF(0, 300), start, 8);
    pointer.release(start);
    QVERIFY(viewport->position().y() > 0);

    // setPosition above the top is reported, then springs back.
    reported.clear();
    viewport->setPosition(QPointF(0, 0));
    viewport->setPosition(QPointF(0, -1));
    QVERIFY(reported.contains(-1));
    QTRY_COMPARE(viewport->position().y(), 0.0);

    // Panning off: no drag.
    viewport->setVerticalPanningPolicy(MPannableWidget::PanningAlwaysOff);
    pointer.dragAndHold(start, start + QPointF(0, 200), 8);
    pointer.release(start + QPointF(0, 200));
    QCOMPARE(started.count(), 2);
    QCOMPARE(viewport->position().y(), 0.0);
}

void TestTouchWidgets::viewportFollowsItsWidgetsHeight()
{
    auto* content = new QGraphicsWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, content);
    auto* first = box("first", 300);
    layout->addItem(first);
    page->setCentralWidget(content);
    MPannableViewport* viewport = page->pannableViewport();
    QTRY_COMPARE(viewport->range().height(), 0.0);
    layout->addItem(box("second", 900));
    QTRY_VERIFY(viewport->range().height() > 300);
    QVERIFY(content->size().height() >= 1200);
    QCOMPARE(content->size().width(), viewport->size().width());
}

void TestTouchWidgets::movingTheViewportKeepsItsWidgetsSize()
{
    // As a library page has it: a header above a tall list that may shrink to nothing, in a
    // layout whose changes reach the widget at once.
    const bool instant = QGraphicsLayout::instantInvalidatePropagation();
    QGraphicsLayout::setInstantInvalidatePropagation(true);
    auto* content = new MWidget;
    auto* layout = new MLayout(content);
    auto* policy = new MLinearLayoutPolicy(layout, Qt::Vertical);
    auto* header = box("header", 68);
    auto* rows = new MStylableWidget;
    rows->setMinimumHeight(0);
    rows->setPreferredHeight(3000);
    policy->addItem(header);
    policy->addItem(rows);
    content->setLayout(layout);
    page->setCentralWidget(content);
    MPannableViewport* viewport = page->pannableViewport();
    QTRY_VERIFY(viewport->range().height() > 2000);
    QTRY_COMPARE(rows->size().height(), 3000.0);

    QList<QSizeF> sizes;
    connect(rows, &QGraphicsWidget::geometryChanged, this,
            [&sizes, rows] { sizes << rows->size(); });
    // The layout has a change to make, and the list is scrolled before it is made.
    header->setMinimumHeight(70);
    header->setPreferredHeight(70);
    header->setMaximumHeight(70);
    viewport->setPosition(QPointF(0, 500));
    QTRY_COMPARE(header->size().height(), 70.0);
    QGraphicsLayout::setInstantInvalidatePropagation(instant);
    for (const QSizeF& size : qAsConst(sizes))
        QVERIFY2(size.height() > 2900 && size.width() == viewport->size().width(),
                 qPrintable(
                     QStringLiteral("laid out at %1x%2").arg(size.width()).arg(size.height())));
    QVERIFY(!sizes.isEmpty());
    QCOMPARE(content->pos().y(), -500.0);
}

void TestTouchWidgets::objectMenuRunsItsActionAfterItHasGone()
{
    auto* menu = new MObjectMenu;
    auto* details = new MAction("Details", menu);
    auto* remove = new MAction("Delete", menu);
    menu->addAction(details);
    menu->addAction(remove);
    QStringList events;
    connect(menu, &MSceneWindow::disappeared, this, [&events] { events << "disappeared"; });
    connect(remove, &QAction::triggered, this, [&events, menu] {
        events << QString("triggered in state %1").arg(int(menu->sceneWindowState()));
    });
    window->sceneManager()->appearSceneWindow(menu, MSceneWindow::KeepWhenDone);
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
    // Entries in the order of the actions, inside a centred panel.
    const QRectF first = menu->entryRect(details);
    const QRectF second = menu->entryRect(remove);
    QVERIFY(first.bottom() <= second.top());
    QVERIFY(menu->panelRect().contains(second.center()));

    TouchDriver pointer(window);
    const QPointF tap = menu->mapToScene(second.center());
    pointer.press(tap);
    pointer.release(tap);
    QVERIFY(events.isEmpty()); // not yet: the menu is on its way out
    QTRY_COMPARE(events, QStringList({ "disappeared", "triggered in state 3" }));

    // A changed text shows the next time; a removed action is gone.
    remove->setText("Remove");
    menu->removeAction(details);
    window->sceneManager()->appearSceneWindow(menu, MSceneWindow::KeepWhenDone);
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
    QVERIFY(menu->entryRect(details).isEmpty());
    QVERIFY(!menu->entryRect(remove).isEmpty());
    // A tap outside closes it and runs nothing.
    events.clear();
    pointer.press(QPointF(5, 5));
    pointer.release(QPointF(5, 5));
    QTRY_COMPARE(events, QStringList({ "disappeared" }));
    delete menu;
}

void TestTouchWidgets::messageBoxAnswersYesWith1024()
{
    QPointer<MMessageBox> box = new MMessageBox("", "", M::YesButton | M::NoButton);
    box->setTitle("Delete?");
    box->setText("The song goes for good.");
    QSignalSpy finished(box.data(), &MDialog::finished);
    QSignalSpy accepted(box.data(), &MDialog::accepted);
    box->appear(window, MSceneWindow::DestroyWhenDone);
    QTRY_COMPARE(box->sceneWindowState(), MSceneWindow::Appeared);
    MButton* yes = box->button(M::YesButton);
    QVERIFY(yes && yes->isVisible());
    QVERIFY(box->panelRect().contains(yes->mapToItem(box, yes->rect().center())));

    TouchDriver pointer(window);
    const QPointF tap = yes->mapToScene(yes->rect().center());
    pointer.press(tap);
    pointer.release(tap);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), 1024);
    QCOMPARE(accepted.count(), 1);
    QTRY_VERIFY(box.isNull()); // destroyed when done

    QPointer<MMessageBox> second = new MMessageBox("Sure?", M::YesButton | M::NoButton);
    QSignalSpy secondFinished(second.data(), &MDialog::finished);
    second->appear(window, MSceneWindow::DestroyWhenDone);
    QTRY_COMPARE(second->sceneWindowState(), MSceneWindow::Appeared);
    MButton* no = second->button(M::NoButton);
    const QPointF noTap = no->mapToScene(no->rect().center());
    pointer.press(noTap);
    pointer.release(noTap);
    QCOMPARE(secondFinished.count(), 1);
    QVERIFY(secondFinished.at(0).at(0).toInt() != 1024);
}

void TestTouchWidgets::dialogTappedOutsideRejects()
{
    auto* dialog = new MDialog("Save as", M::SaveButton | M::CancelButton);
    dialog->setCentralWidget(new MLabel("name"));
    QSignalSpy finished(dialog, &MDialog::finished);
    QSignalSpy rejected(dialog, &MDialog::rejected);
    dialog->appear(window);
    QTRY_COMPARE(dialog->sceneWindowState(), MSceneWindow::Appeared);
    QVERIFY(!dialog->panelRect().contains(QPointF(5, 5)));
    TouchDriver pointer(window);
    pointer.press(QPointF(5, 5));
    pointer.release(QPointF(5, 5));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), 0);
    QCOMPARE(rejected.count(), 1);
    QTRY_COMPARE(dialog->sceneWindowState(), MSceneWindow::Disappeared);
    delete dialog;
}

void TestTouchWidgets::dragMakesSwipeAndHeldPressTapAndHold()
{
    auto* target = new GestureTarget;
    page->setPannable(false);
    page->setCentralWidget(target);
    QTRY_VERIFY(target->size().height() > 400);
    TouchDriver pointer(window);
    const QPointF centre = target->mapToScene(target->rect().center());

    pointer.dragAndHold(centre - QPointF(0, 150), centre + QPointF(0, 150), 8);
    pointer.release(centre + QPointF(0, 150));
    QTRY_VERIFY(target->finished.contains("swipe"));
    QCOMPARE(target->vertical, QSwipeGesture::Down);
    QCOMPARE(target->horizontal, QSwipeGesture::NoDirection);
    QVERIFY(target->finished.contains("pan"));
    QVERIFY(!target->finished.contains("tap"));
    QVERIFY(target->mousePresses >= 1); // gestures leave the mouse events to the widget

    target->finished.clear();
    pointer.dragAndHold(centre + QPointF(180, 0), centre - QPointF(180, 0), 8);
    pointer.release(centre - QPointF(180, 0));
    QTRY_VERIFY(target->finished.contains("swipe"));
    QCOMPARE(target->horizontal, QSwipeGesture::Left);
    QCOMPARE(target->vertical, QSwipeGesture::NoDirection);

    target->finished.clear();
    pointer.press(centre);
    QTRY_VERIFY_WITH_TIMEOUT(target->finished.contains("tapAndHold"), 5000);
    pointer.release(centre);
    QTest::qWait(20);
    QVERIFY(!target->finished.contains("tap"));
    QVERIFY(!target->finished.contains("swipe"));
}

void TestTouchWidgets::quickPressMakesATap()
{
    auto* target = new GestureTarget;
    page->setPannable(false);
    page->setCentralWidget(target);
    QTRY_VERIFY(target->size().height() > 400);
    TouchDriver pointer(window);
    const QPointF centre = target->mapToScene(target->rect().center());
    pointer.press(centre);
    pointer.release(centre);
    QTRY_VERIFY(target->finished.contains("tap"));
    QVERIFY(!target->finished.contains("swipe"));
    QTest::qWait(1000);
    QVERIFY(!target->finished.contains("tapAndHold"));
}

void TestTouchWidgets::menusKeepTheirGesturesFromThePageBelow()
{
    // A view menu over a widget that takes taps (a cover): a tap on an entry is the entry's.
    auto* target = new GestureTarget;
    page->setPannable(false);
    page->setCentralWidget(target);
    QTRY_VERIFY(target->size().height() > 400);
    auto* menu = new MApplicationMenu("View");
    auto* plain = new MAction("Set as ringtone", menu);
    auto* item = new MBasicListItem(MBasicListItem::TitleWithSubtitle);
    item->setTitle("Play album");
    auto* widgetEntry = new MWidgetAction(menu);
    widgetEntry->setWidget(item);
    connect(item, &MListItem::clicked, widgetEntry, &QAction::trigger);
    menu->addAction(plain);
    menu->addAction(widgetEntry);
    QSignalSpy plainChosen(plain, &QAction::triggered);
    QSignalSpy widgetChosen(widgetEntry, &QAction::triggered);
    TouchDriver pointer(window);

    for (QAction* entry : { static_cast<QAction*>(plain), static_cast<QAction*>(widgetEntry) }) {
        window->sceneManager()->appearSceneWindow(menu, MSceneWindow::KeepWhenDone);
        QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
        const QPointF at = menu->mapToScene(menu->entryRect(entry).center());
        QVERIFY(target->contains(target->mapFromScene(at)));
        pointer.press(at);
        pointer.release(at);
        if (entry == widgetEntry)
            menu->disappear(); // as the entry's owner does
        QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Disappeared);
        QCoreApplication::processEvents();
    }
    QCOMPARE(plainChosen.count(), 1);
    QCOMPARE(widgetChosen.count(), 1);
    QCOMPARE(target->finished, QStringList());

    // A press held on the menu is no tap-and-hold on the widget below either.
    window->sceneManager()->appearSceneWindow(menu, MSceneWindow::KeepWhenDone);
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
    const QPointF title = menu->mapToScene(menu->entryRect(plain).center());
    QSignalSpy held(menu, &MSceneWindow::disappeared);
    pointer.press(title);
    QTest::qWait(1200);
    QCOMPARE(target->finished, QStringList());
    pointer.release(title);
    QTRY_COMPARE(plainChosen.count(), 2);

    // With the menu gone the widget has its taps again.
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Disappeared);
    pointer.press(title);
    pointer.release(title);
    QTRY_VERIFY(target->finished.contains("tap"));
    delete menu;
}

void TestTouchWidgets::seekBarReportsEveryValueChange()
{
    auto* bar = new MSeekBar;
    bar->setRange(0, 200);
    bar->setLoadedContentRange(0, 100);
    QSignalSpy changed(bar, &MSlider::valueChanged);
    QSignalSpy moved(bar, &MSlider::sliderMoved);
    bar->setValue(50);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 50);
    QCOMPARE(moved.count(), 0);
    bar->setValue(50);
    QCOMPARE(changed.count(), 1);
    bar->setValue(500);
    QCOMPARE(bar->value(), 200);
    QCOMPARE(bar->loadedContentMaximum(), 100);

    page->setPannable(false);
    page->setCentralWidget(bar);
    QTRY_VERIFY(bar->size().width() > 300);
    QSignalSpy pressed(bar, &MSlider::sliderPressed);
    QSignalSpy released(bar, &MSlider::sliderReleased);
    QSignalSpy outside(bar, &MSeekBar::outOfLoadedContentRange);
    TouchDriver pointer(window);
    const QPointF left = bar->mapToScene(QPointF(20, bar->size().height() / 2));
    const QPointF right = bar->mapToScene(
        QPointF(bar->size().width() - 20, bar->size().height() / 2));
    pointer.press(left);
    QCOMPARE(pressed.count(), 1);
    QVERIFY(bar->value() < 20);
    pointer.move(right);
    QVERIFY(bar->value() > 180);
    QVERIFY(moved.count() >= 1);
    QVERIFY(outside.count() >= 1);
    pointer.release(right);
    QCOMPARE(released.count(), 1);
}

void TestTouchWidgets::seekBarBubbleLeavesWithTheFinger()
{
    // The time bubble stands above the handle while it is held; what the screen shows there
    // after the finger has gone is what it showed before.
    auto* holder = new QGraphicsWidget;
    auto* column = new QGraphicsLinearLayout(Qt::Vertical, holder);
    column->addStretch();
    auto* bar = new MSeekBar;
    bar->setRange(0, 200);
    bar->setValue(100);
    bar->setHandleLabel("01:40");
    bar->setHandleLabelVisible(true);
    column->addItem(bar);
    page->setPannable(false);
    page->setCentralWidget(holder);
    QTRY_VERIFY(bar->size().width() > 300);
    auto screen = [this] {
        // What the window system has of the window, not a fresh rendering of the scene.
        QCoreApplication::processEvents();
        return window->screen()->grabWindow(window->winId()).toImage();
    };
    const QRect above = window
                            ->mapFromScene(
                                bar->mapRectToScene(QRectF(0, -60, bar->size().width(), 60)))
                            .boundingRect();
    const QImage before = screen().copy(above);
    TouchDriver pointer(window);
    const QPointF handle = bar->mapToScene(
        QPointF(bar->size().width() / 2, bar->size().height() / 2));
    pointer.press(handle);
    QTRY_VERIFY(screen().copy(above) != before); // the bubble shows
    pointer.release(handle);
    QTRY_COMPARE(screen().copy(above), before);
}

void TestTouchWidgets::textEditTypesAndReturns()
{
    auto* edit = new MTextEdit(MTextEditModel::SingleLine, "");
    edit->setPrompt("Search");
    edit->setMaxLength(5);
    page->setCentralWidget(edit);
    QSignalSpy changed(edit, &MTextEdit::textChanged);
    QSignalSpy returned(edit, &MTextEdit::returnPressed);
    QSignalSpy gained(edit, &MTextEdit::gainedFocus);
    edit->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(edit->hasFocus());
    QCOMPARE(gained.count(), 1);

    QTest::keyClicks(window, "abc");
    QCOMPARE(edit->text(), QString("abc"));
    QCOMPARE(changed.count(), 3);
    QTest::keyClick(window, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QString("ab"));
    QTest::keyClicks(window, "cdefgh");
    QCOMPARE(edit->text(), QString("abcde")); // the maximum length holds
    QTest::keyClick(window, Qt::Key_Return);
    QCOMPARE(returned.count(), 1);
    QCOMPARE(edit->text(), QString("abcde"));

    const int before = changed.count();
    edit->setText("xy");
    QCOMPARE(changed.count(), before + 1);
    edit->setText("xy");
    QCOMPARE(changed.count(), before + 1);
    edit->setText("line\nbreak");
    QVERIFY(!edit->text().contains('\n'));
}

void TestTouchWidgets::textEditShowsTheTextBeforeTheCursor()
{
    auto* edit = new MTextEdit(MTextEditModel::SingleLine, "");
    page->setCentralWidget(edit);
    QTRY_VERIFY(edit->size().width() > 200);
    // The middle of the field's right quarter (above its underline), where a text wider than
    // the field ends at the cursor.
    auto inkOnTheRight = [&] {
        const QRectF field = edit->mapRectToScene(edit->rect());
        const QRectF right(field.right() - field.width() / 4, field.top() + field.height() / 4,
                           field.width() / 4 - 24, field.height() / 2);
        QImage image(right.size().toSize(), QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        window->scene()->render(&painter, QRectF(QPointF(), right.size()), right);
        painter.end();
        int ink = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                ink += qGray(image.pixel(x, y)) > 128 ? 1 : 0;
        }
        return ink;
    };
    edit->setText(QStringLiteral("Sommerabend"));
    QCOMPARE(inkOnTheRight(), 0);
    // Twice the field's width and more.
    edit->setText(QStringLiteral("Sommerabend am Fluß – Lieder für lange Nächte im Juli, "
                                 "gesungen von Chören aus Köln und Düsseldorf"));
    QVERIFY(inkOnTheRight() > 50);
}

void TestTouchWidgets::inputMethodStateKeepsValues()
{
    MInputMethodState* state = MInputMethodState::instance();
    const int id = state->registerAttributeExtension("/tmp/toolbar.xml");
    QVERIFY(id > 0);
    QVERIFY(state->registerAttributeExtension("/tmp/other.xml") != id);
    state->setExtendedAttribute(id, "/keys", "actionKey", "label", "Done");
    state->setExtendedAttribute(id, "/keys", "actionKey", "highlighted", true);
    QCOMPARE(state->extendedAttribute(id, "/keys", "actionKey", "label").toString(),
             QString("Done"));
    QCOMPARE(state->extendedAttribute(id, "/keys", "actionKey", "highlighted").toBool(), true);
    state->unregisterAttributeExtension(id);
    QVERIFY(!state->extendedAttribute(id, "/keys", "actionKey", "label").isValid());
}

void TestTouchWidgets::systemwideSheetHasItsOwnWindow()
{
    QPointer<MSheet> sheet = new MSheet;
    sheet->setStyleName("Inverted");
    auto* title = new MLabel("Now playing");
    auto* headerLayout = new QGraphicsLinearLayout(Qt::Horizontal, sheet->headerWidget());
    headerLayout->addItem(title);
    QSignalSpy destroyed(sheet.data(), &QObject::destroyed);
    sheet->appearSystemwide(MSceneWindow::DestroyWhenDone);
    QPointer<MWindow> own = sheet->systemwideWindow();
    QVERIFY(own);
    QVERIFY(!qobject_cast<MApplicationWindow*>(own.data()));
    QVERIFY(own->isVisible());
    QTRY_COMPARE(sheet->sceneWindowState(), MSceneWindow::Appeared);
    QCOMPARE(sheet->geometry(), QRectF(0, 0, 480, 854));
    QVERIFY(sheet->centralWidget()->geometry().top() >= sheet->headerWidget()->geometry().bottom());
    // One of the application's windows: closing the others leaves it (and the application) be.
    QVERIFY(own->testAttribute(Qt::WA_QuitOnClose));

    sheet->dismiss();
    QTRY_COMPARE(destroyed.count(), 1);
    QTRY_VERIFY(own.isNull());

    // In an application window it is one more scene window there, and has the keys while it
    // shows; the page gets them back after it.
    page->setFocusPolicy(Qt::StrongFocus);
    page->setFocus();
    QPointer<MSheet> inWindow = new MSheet;
    inWindow->appear(window, MSceneWindow::DestroyWhenDismissed);
    QTRY_COMPARE(inWindow->sceneWindowState(), MSceneWindow::Appeared);
    QVERIFY(!inWindow->systemwideWindow());
    QCOMPARE(window->scene()->focusItem(), inWindow.data());
    inWindow->dismiss();
    QTRY_VERIFY(inWindow.isNull());
    QCOMPARE(window->scene()->focusItem(), page);
}

void TestTouchWidgets::overlayCoversItsParent()
{
    auto* overlay = new MOverlay(page);
    auto* inside = new MLabel("Updating");
    overlay->setWidget(inside);
    QSignalSpy entered(inside, &MWidget::displayEntered);
    overlay->show();
    QCOMPARE(overlay->geometry(), page->rect());
    QCOMPARE(inside->geometry(), overlay->rect());
    QVERIFY(overlay->zValue() > 100);
    QTRY_VERIFY(inside->isOnDisplay());
    QCOMPARE(entered.count(), 1);
    overlay->hide();
    QVERIFY(!inside->isOnDisplay());
}

void TestTouchWidgets::progressIndicatorKeepsItsRange()
{
    auto* bar = new MProgressIndicator(nullptr, MProgressIndicator::barType);
    bar->setRange(0, 10);
    bar->setValue(20);
    QCOMPARE(bar->value(), 10);
    bar->setUnknownDuration(true);
    QVERIFY(bar->unknownDuration());
    auto* spinner = new MProgressIndicator(nullptr, MProgressIndicator::spinnerType);
    QCOMPARE(spinner->viewType(), MProgressIndicator::spinnerType);
    delete bar;
    delete spinner;
}

void TestTouchWidgets::wrappedLabelGrowsWhenNarrow()
{
    MLabel label("A fairly long text that cannot stay on one line in a narrow box");
    const qreal oneLine = label.effectiveSizeHint(Qt::PreferredSize).height();
    label.setWordWrap(true);
    QVERIFY(label.sizePolicy().hasHeightForWidth());
    const qreal narrow = label.effectiveSizeHint(Qt::PreferredSize, QSizeF(150, -1)).height();
    QVERIFY2(narrow >= 3 * oneLine - 1, qPrintable(QString::number(narrow)));
    // The length-variant separator ends the text shown.
    label.setText(QString("Long variant") + QChar(0x9c) + "Short");
    QCOMPARE(label.shownText(), QString("Long variant"));
}

namespace {

// The label as drawn on a white ground.
QImage drawnLabel(MLabel* label)
{
    QImage image(label->size().toSize(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionGraphicsItem option;
    option.rect = label->rect().toRect();
    label->paint(&painter, &option, nullptr);
    return image;
}

int redPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 200 && c.green() < 60 && c.blue() < 60;
        }
    }
    return count;
}

} // namespace

void TestTouchWidgets::labelShowsMarkupInANameAsWritten()
{
    // A name from a tag or a radio server that reads as markup naming a picture on disk.
    const QString picture = TestEnvironment::home() + "/red.png";
    QImage red(120, 120, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(picture));
    const QString name = QString("<b>bold</b><img src=\"%1\">").arg(picture);

    MLabel label(name);
    QCOMPARE(label.textFormat(), Qt::PlainText);
    QVERIFY(!label.isRichText());
    label.resize(460, 140);
    QCOMPARE(redPixels(drawnLabel(&label)), 0);
    // One line of text high, not a picture high.
    QVERIFY(label.effectiveSizeHint(Qt::PreferredSize).height() < 60);

    // Markup the program builds itself, with the name escaped, renders the markup only.
    label.setTextFormat(Qt::RichText);
    label.setText("<u>" + name.toHtmlEscaped() + "</u>");
    QCOMPARE(redPixels(drawnLabel(&label)), 0);
}

PARLOVANCE_TEST_MAIN(TestTouchWidgets)
#include "tst_touchwidgets.moc"
