#include "maction.h"
#include "mapplicationmenu.h"
#include "mapplicationpage.h"
#include "mapplicationwindow.h"
#include "mbutton.h"
#include "mcontainer.h"
#include "mdialog.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlistgroupheader.h"
#include "mnavigationbar.h"
#include "mpannableviewport.h"
#include "mscenemanager.h"
#include "msheet.h"
#include "mstylablewidget.h"
#include "mstyletable.h"
#include "mtextedit.h"
#include "mtheme.h"
#include "mwidgetaction.h"
#include "mwidgetview.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QClipboard>
#include <QGraphicsLinearLayout>
#include <QPainter>
#include <QPointer>
#include <QSignalSpy>
#include <QStyleOptionGraphicsItem>

namespace {

template <class T>
T* findChildItem(QGraphicsItem* root)
{
    const auto children = root->childItems();
    for (QGraphicsItem* child : children) {
        if (child->isWidget())
            if (auto* match = qobject_cast<T*>(static_cast<QGraphicsWidget*>(child)))
                return match;
        if (T* deeper = findChildItem<T>(child))
            return deeper;
    }
    return nullptr;
}

// A view that paints a marker colour and counts its calls.
class MarkerView : public MWidgetView
{
public:
    using MWidgetView::MWidgetView;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem*) const override
    {
        ++draws;
        painter->fillRect(controller()->rect(), Qt::magenta);
    }
    mutable int draws = 0;
};

class StyledWidgetStyle : public MWidgetStyle
{
    M_STYLE(StyledWidgetStyle)
    M_STYLE_ATTRIBUTE(QColor, highlightColor, HighlightColor)
};

class StyledWidget : public MStylableWidget
{
    Q_OBJECT
    M_STYLABLE_WIDGET(StyledWidgetStyle)
};

} // namespace

class TestTouchDetails : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void buttonSignalsAndChecking();
    void buttonReleasedOutsideIsNoClick();
    void labelElidesAndRendersMarkupOnlyWhenAsked();
    void imageWidgetTakesIdsAndPixmaps();
    void textEditCursorAndPaste();
    void styleClassesReadTheirAttributes();
    void viewsPaintTheirController();
    void childWidgetsFollowTheirPagesDisplay();
    void hiddenWindowTakesPagesOffDisplay();
    void customNavigationBarContentReplacesTheBar();
    void titleBarOpensTheViewMenu();
    void toolbarButtonsTriggerPlainActions();
    void dismissPolicyDeletesOnlyOnDismiss();
    void sceneWindowMovesToAnotherWindow();
    void containerShowsTitleAndCentralWidget();
    void dialogCustomButtonsAndExec();
    void dialogExecEndsWhenTheDialogGoesUnanswered();
    void closingTheSheetsWindowDismissesIt();

private:
    MApplicationWindow* window = nullptr;
};

void TestTouchDetails::init()
{
    window = new MApplicationWindow;
    window->resize(480, 854);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestTouchDetails::cleanup()
{
    delete window;
    window = nullptr;
}

void TestTouchDetails::buttonSignalsAndChecking()
{
    auto* page = new MApplicationPage;
    auto* button = new MButton("Shuffle");
    page->setCentralWidget(button);
    page->appear(window);
    QStringList order;
    connect(button, &MButton::pressed, this, [&] { order << "pressed"; });
    connect(button, &MButton::released, this, [&] { order << "released"; });
    connect(button, &MButton::toggled, this,
            [&](bool on) { order << QString("toggled %1").arg(on); });
    connect(button, QOverload<bool>::of(&MButton::clicked), this, [&] { order << "clicked"; });
    TouchDriver::tapItem(button, button->rect().center());
    QCOMPARE(order, QStringList({ "pressed", "released", "clicked" }));

    order.clear();
    button->setCheckable(true);
    TouchDriver::tapItem(button, button->rect().center());
    QCOMPARE(order, QStringList({ "pressed", "released", "toggled 1", "clicked" }));
    QVERIFY(button->isChecked());
    button->toggle();
    QVERIFY(!button->isChecked());

    // A disabled button takes no press.
    order.clear();
    button->setEnabled(false);
    TouchDriver::tapItem(button, button->rect().center());
    QVERIFY(order.isEmpty());

    button->setIconID("icon-m-toolbar-shuffle-white");
    QCOMPARE(button->iconID(), QString("icon-m-toolbar-shuffle-white"));
    button->setViewType(MButton::iconType);
    QCOMPARE(button->viewType(), MButton::iconType);
}

void TestTouchDetails::buttonReleasedOutsideIsNoClick()
{
    auto* page = new MApplicationPage;
    auto* button = new MButton("Play");
    page->setPannable(false);
    auto* host = new QGraphicsWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, host);
    layout->addItem(button);
    layout->addStretch();
    page->setCentralWidget(host);
    page->appear(window);
    QTRY_VERIFY(button->size().height() > 0);
    QSignalSpy clicked(button, SIGNAL(clicked()));
    QSignalSpy released(button, &MButton::released);
    TouchDriver finger(button->scene());
    const QPointF inside = button->mapToScene(button->rect().center());
    const QPointF outside = button->mapToScene(QPointF(button->rect().center().x(), 500));
    finger.press(inside);
    QVERIFY(button->isDown());
    finger.move(outside);
    QVERIFY(!button->isDown());
    finger.release(outside);
    QCOMPARE(released.count(), 1);
    QCOMPARE(clicked.count(), 0);
}

void TestTouchDetails::labelElidesAndRendersMarkupOnlyWhenAsked()
{
    MLabel label("plain text");
    QVERIFY(!label.isRichText());
    // Text that looks like markup stays text until the label is told to render markup.
    label.setText("<u><font color=#ff0000>ma</font></u>tch");
    QCOMPARE(label.textFormat(), Qt::PlainText);
    QVERIFY(!label.isRichText());
    label.setTextFormat(Qt::AutoText);
    QVERIFY(!label.isRichText());
    label.setTextFormat(Qt::RichText);
    QVERIFY(label.isRichText());
    label.setTextFormat(Qt::PlainText);
    QVERIFY(!label.isRichText());

    // An elided label may shrink below its text; a plain one may not.
    MLabel long1("A title far too long for the narrow room a list row leaves for it");
    const qreal natural = long1.effectiveSizeHint(Qt::PreferredSize).width();
    QCOMPARE(long1.effectiveSizeHint(Qt::MinimumSize).width(), natural);
    long1.setTextElide(true);
    QVERIFY(long1.effectiveSizeHint(Qt::MinimumSize).width() < natural / 4);

    // The line count sets the height.
    MLabel lines("one");
    const qreal one = lines.effectiveSizeHint(Qt::PreferredSize).height();
    lines.setWordWrap(true);
    lines.setPreferredLineCount(2);
    QVERIFY(lines.effectiveSizeHint(Qt::PreferredSize).height() > 1.5 * one);

    // Alignment keeps a vertical part.
    label.setAlignment(Qt::AlignRight);
    QCOMPARE(label.alignment(), Qt::AlignRight | Qt::AlignVCenter);

    // Marked-up text keeps the label's direction: a right-to-left name in a left-aligned row
    // starts at the left edge, as the same text does without markup.
    auto inkStart = [](MLabel* shown) {
        shown->resize(300, 40);
        QImage image(300, 40, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        QStyleOptionGraphicsItem option;
        shown->paint(&painter, &option, nullptr);
        painter.end();
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (qAlpha(image.pixel(x, y)) > 0)
                    return x;
        return -1;
    };
    MLabel hebrew(QString::fromUtf8("<u>\xd7\xa0</u>\xd7\x95\xd7\xa2\xd7\x94 | Velvet"));
    hebrew.setTextFormat(Qt::RichText);
    hebrew.setAlignment(Qt::AlignLeft);
    const int start = inkStart(&hebrew);
    QVERIFY(start >= 0);
    QVERIFY2(start < 20, qPrintable(QString::number(start)));

    // Styles change the font.
    MLabel styled("x");
    styled.setStyleName("CommonEmptyStateTitleInverted");
    QVERIFY(styled.style()->fontSize() > 30);
}

void TestTouchDetails::imageWidgetTakesIdsAndPixmaps()
{
    MImageWidget image;
    QVERIFY(!image.pixmap());
    image.setImage("icon-s-music-video-description");
    QCOMPARE(image.imageId(), QString("icon-s-music-video-description"));
    QVERIFY(image.pixmap());
    QCOMPARE(image.imageSize(), QSize(32, 32));
    image.setImage("icon-m-common-search", QSize(20, 20));
    QCOMPARE(image.imageSize(), QSize(20, 20));
    QCOMPARE(image.effectiveSizeHint(Qt::PreferredSize), QSizeF(20, 20));

    QPixmap cover(100, 60);
    cover.fill(Qt::red);
    image.setPixmap(cover);
    QVERIFY(image.imageId().isEmpty());
    QCOMPARE(image.pixmap()->size(), QSize(100, 60));
    image.setPixmap(QPixmap());
    QVERIFY(!image.pixmap());

    MImageWidget unknown("icon-m-nothing-like-this");
    QVERIFY(!unknown.pixmap());
    QCOMPARE(unknown.imageSize(), QSize());
}

void TestTouchDetails::textEditCursorAndPaste()
{
    auto* page = new MApplicationPage;
    auto* edit = new MTextEdit(MTextEditModel::SingleLine, "ac");
    page->setCentralWidget(edit);
    page->appear(window);
    edit->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(edit->hasFocus());
    QCOMPARE(edit->cursorPosition(), 2);
    QTest::keyClick(window, Qt::Key_Left);
    QTest::keyClicks(window, "b");
    QCOMPARE(edit->text(), QString("abc"));
    QTest::keyClick(window, Qt::Key_Home);
    QTest::keyClick(window, Qt::Key_Delete);
    QCOMPARE(edit->text(), QString("bc"));
    QTest::keyClick(window, Qt::Key_End);
    QGuiApplication::clipboard()->setText("d\ne");
    QTest::keyClick(window, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QString("bcd e"));

    QSignalSpy lost(edit, &MTextEdit::lostFocus);
    edit->clearFocus();
    QCOMPARE(lost.count(), 1);
    edit->setInputMethodPredictionEnabled(false);
    QVERIFY(!edit->inputMethodPredictionEnabled());
    edit->attachToolbar(3);
    QCOMPARE(edit->attachedToolbarId(), 3);
}

void TestTouchDetails::styleClassesReadTheirAttributes()
{
    MStyleTable::registerStyle("parlovance", "StyledWidget",
                               { { "highlightColor", QColor(Qt::green) },
                                 { "preferredSize", QSizeF(-1, 33) } });
    MStyleTable::registerStyle("parlovance", "Special", { { "highlightColor", QColor(Qt::blue) } });
    StyledWidget widget;
    QCOMPARE(widget.style()->highlightColor(), QColor(Qt::green));
    QCOMPARE(widget.effectiveSizeHint(Qt::PreferredSize).height(), 33.0);
    widget.setStyleName("Special");
    QCOMPARE(widget.style()->highlightColor(), QColor(Qt::blue));
    QCOMPARE(widget.effectiveSizeHint(Qt::PreferredSize).height(), 33.0);
    // A later registration reaches a widget whose style was read before.
    MStyleTable::registerStyle("parlovance", "Special", { { "highlightColor", QColor(Qt::cyan) } });
    QCOMPARE(widget.style()->highlightColor(), QColor(Qt::cyan));
    QVERIFY(MStyleTable::libraries().contains("parlovance"));
    QVERIFY(MStyleTable::contains("Special"));

    // The system's entry of a stand-in class holds over the class's own defaults, also for a
    // class first used after the system registered its styles.
    const QSizeF headerSize(-1, 57);
    MStyleTable::registerStyle("parlovance", "MListGroupHeader",
                               { { "minimumSize", headerSize },
                                 { "preferredSize", headerSize },
                                 { "maximumSize", headerSize } });
    MListGroupHeader header;
    QCOMPARE(header.effectiveSizeHint(Qt::PreferredSize).height(), 57.0);
}

void TestTouchDetails::viewsPaintTheirController()
{
    auto* page = new MApplicationPage;
    auto* controller = new MWidgetController;
    auto* view = new MarkerView(controller);
    controller->setView(view);
    QCOMPARE(view->controller(), controller);
    controller->setPreferredSize(100, 100);
    page->setCentralWidget(controller);
    page->appear(window);
    QTRY_VERIFY(view->draws > 0);
    const QImage shot = window->grab().toImage();
    const QPoint centre = window->mapFromScene(controller->mapToScene(controller->rect().center()));
    QCOMPARE(shot.pixelColor(centre), QColor(Qt::magenta));
}

void TestTouchDetails::childWidgetsFollowTheirPagesDisplay()
{
    auto* first = new MApplicationPage;
    auto* second = new MApplicationPage;
    auto* child = new MStylableWidget;
    first->setCentralWidget(child);
    QSignalSpy entered(child, &MWidget::displayEntered);
    QSignalSpy exited(child, &MWidget::displayExited);
    first->appear(window);
    QVERIFY(child->isOnDisplay());
    QCOMPARE(entered.count(), 1);
    second->appear(window);
    QTRY_VERIFY(!child->isOnDisplay());
    QCOMPARE(exited.count(), 1);
    second->disappear();
    QTRY_VERIFY(child->isOnDisplay());
    QCOMPARE(entered.count(), 2);
    // A widget shown later on a displayed page enters the display then.
    auto* late = new MStylableWidget(child);
    late->hide();
    QSignalSpy lateEntered(late, &MWidget::displayEntered);
    late->show();
    QCOMPARE(lateEntered.count(), 1);
}

void TestTouchDetails::hiddenWindowTakesPagesOffDisplay()
{
    auto* page = new MApplicationPage;
    page->appear(window);
    QSignalSpy exited(page, &MWidget::displayExited);
    QSignalSpy windowExited(window, &MWindow::displayExited);
    window->hide();
    QCOMPARE(exited.count(), 1);
    QCOMPARE(windowExited.count(), 1);
    QVERIFY(!page->isOnDisplay());
    QSignalSpy entered(page, &MWidget::displayEntered);
    window->show();
    QCOMPARE(entered.count(), 1);
    QVERIFY(page->isOnDisplay());
}

void TestTouchDetails::customNavigationBarContentReplacesTheBar()
{
    auto* first = new MApplicationPage;
    first->appear(window);
    auto* page = new MApplicationPage;
    page->setTitle("Player");
    auto* bar = new MStylableWidget(page);
    auto* layout = new QGraphicsLinearLayout(Qt::Horizontal, bar);
    auto* ownBack = new MButton;
    layout->addItem(ownBack);
    page->setCustomNavigationBarContent(bar);
    page->appear(window);
    QCOMPARE(page->customNavigationBarContent(), bar);
    QVERIFY(bar->isVisible());
    QVERIFY(bar->geometry().top() < 1);
    auto* navigation = findChildItem<MNavigationBar>(page);
    QVERIFY(navigation);
    QVERIFY(!navigation->isBackButtonVisible());
    QCOMPARE(bar->size().width(), 480.0);
    // The custom content goes with the page.
    QPointer<MStylableWidget> guard(bar);
    delete page;
    QVERIFY(guard.isNull());
}

void TestTouchDetails::titleBarOpensTheViewMenu()
{
    auto* page = new MApplicationPage;
    page->setTitle("Albums");
    page->appear(window);
    auto* navigation = findChildItem<MNavigationBar>(page);
    QVERIFY(navigation);
    QVERIFY(!navigation->isViewMenuAvailable());
    auto* action = new MAction("Play album", page);
    action->setLocation(MAction::ApplicationMenuLocation);
    page->addAction(action);
    QVERIFY(navigation->isViewMenuAvailable());
    TouchDriver::tapItem(navigation, navigation->rect().center());
    QVERIFY(page->viewMenu());
    QTRY_COMPARE(page->viewMenu()->sceneWindowState(), MSceneWindow::Appeared);
    QCOMPARE(page->viewMenu()->title(), QString("Albums"));
    // The menu follows an action that goes while it is open.
    action->setVisible(false);
    QTRY_VERIFY(page->viewMenu()->entryRect(action).isEmpty());
}

void TestTouchDetails::toolbarButtonsTriggerPlainActions()
{
    auto* page = new MApplicationPage;
    auto* add = new MAction("icon-m-toolbar-add-white", QString(), page);
    add->setLocation(MAction::ToolBarLocation);
    page->addAction(add);
    page->appear(window);
    QSignalSpy triggered(add, &QAction::triggered);
    // The toolbar's button for the action sits at the bottom of the page.
    const auto buttons = page->childItems();
    MButton* toolButton = nullptr;
    for (QGraphicsItem* item : buttons) {
        if (auto* b = findChildItem<MButton>(item)) {
            if (b->iconID() == "icon-m-toolbar-add-white")
                toolButton = b;
        }
    }
    QVERIFY(toolButton);
    QVERIFY(toolButton->mapToScene(toolButton->rect().center()).y() > 780);
    TouchDriver::tapItem(toolButton, toolButton->rect().center());
    QCOMPARE(triggered.count(), 1);
    // Changing the icon is seen by the toolbar.
    add->setIconID("icon-m-toolbar-search");
    QCOMPARE(toolButton->iconID(), QString("icon-m-toolbar-search"));
}

void TestTouchDetails::dismissPolicyDeletesOnlyOnDismiss()
{
    QPointer<MApplicationMenu> menu = new MApplicationMenu;
    menu->addAction(new MAction("x", menu));
    menu->appear(window, MSceneWindow::DestroyWhenDismissed);
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
    menu->disappear();
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Disappeared);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // a deleteLater() runs
    QVERIFY(!menu.isNull());
    menu->appear(window, MSceneWindow::DestroyWhenDismissed);
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
    menu->dismiss();
    QTRY_VERIFY(menu.isNull());
}

void TestTouchDetails::sceneWindowMovesToAnotherWindow()
{
    auto* other = new MApplicationWindow;
    other->show();
    auto* page = new MApplicationPage;
    page->appear(window);
    QCOMPARE(window->currentPage(), page);
    page->appear(other);
    QCOMPARE(page->scene(), other->scene());
    QCOMPARE(other->currentPage(), page);
    QCOMPARE(window->currentPage(), static_cast<MApplicationPage*>(nullptr));
    QCOMPARE(page->managingWindow(), static_cast<MWindow*>(other));
    delete other; // takes the page with its scene
}

void TestTouchDetails::containerShowsTitleAndCentralWidget()
{
    MContainer container("Details");
    QVERIFY(container.headerVisible());
    QCOMPARE(container.title(), QString("Details"));
    QGraphicsWidget* central = container.centralWidget();
    QVERIFY(central);
    QPointer<QGraphicsWidget> old(central);
    auto* replacement = new MLabel("body");
    container.setCentralWidget(replacement);
    QVERIFY(old.isNull());
    QCOMPARE(container.centralWidget(), replacement);
    auto* kept = new MLabel("kept");
    container.setCentralWidget(kept);
    auto* next = new MLabel("next");
    container.setCentralWidget(next, false);
    QVERIFY(!kept->isVisible());
    delete kept;
    container.setHeaderVisible(false);
    QVERIFY(!container.headerVisible());

    // On a page the title stands off the window's left edge, as the page's texts do.
    auto* shown = new MContainer("Properties");
    shown->setStyleName("CommonContainerInverted");
    window->scene()->addItem(shown);
    shown->setGeometry(QRectF(0, 0, 480, 120));
    QImage image(480, 120, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        window->scene()->render(&painter, QRectF(0, 0, 480, 120), QRectF(0, 0, 480, 120));
    }
    int leftmost = 480;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 480; ++x) {
            if (qGray(image.pixel(x, y)) > 60)
                leftmost = qMin(leftmost, x);
        }
    }
    QVERIFY2(leftmost >= 14 && leftmost < 40, qPrintable(QString::number(leftmost)));
    delete shown;
}

void TestTouchDetails::dialogCustomButtonsAndExec()
{
    auto* dialog = new MDialog("Name", M::NoStandardButton);
    MButton* keep = dialog->addButton("Keep");
    MButton* replace = dialog->addButton("Replace");
    QCOMPARE(dialog->standardButton(keep), M::NoStandardButton);
    QTimer::singleShot(50, this, [replace] { replace->click(); });
    const int result = dialog->exec(window);
    QCOMPARE(result, 1); // the second button
    QCOMPARE(dialog->clickedButton(), replace);
    QTRY_COMPARE(dialog->sceneWindowState(), MSceneWindow::Disappeared);

    QSignalSpy accepted(dialog, &MDialog::accepted);
    dialog->appear(window);
    dialog->accept();
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(dialog->result(), int(MDialog::Accepted));
    delete dialog;
}

void TestTouchDetails::dialogExecEndsWhenTheDialogGoesUnanswered()
{
    QPointer<MDialog> dialog = new MDialog("Name", M::YesButton | M::NoButton);
    // An answer first, so that a result left over from it would show below.
    QTimer::singleShot(50, this, [dialog] { dialog->button(M::YesButton)->click(); });
    QCOMPARE(dialog->exec(window), int(M::YesButton));
    QTRY_COMPARE(dialog->sceneWindowState(), MSceneWindow::Disappeared);

    // Sent away without an answer. A wait that never ends is ended late with a result nobody
    // expects, so that the case fails instead of hanging.
    QTimer::singleShot(50, this, [dialog] { dialog->disappear(); });
    QTimer rescue;
    rescue.setSingleShot(true);
    connect(&rescue, &QTimer::timeout, this, [dialog] {
        if (dialog)
            dialog->done(-1);
    });
    rescue.start(10000);
    QCOMPARE(dialog->exec(window), int(MDialog::Rejected));
    QVERIFY(rescue.isActive());
    rescue.stop();
    QTRY_COMPARE(dialog->sceneWindowState(), MSceneWindow::Disappeared);

    // Deleted while waiting: the wait ends and the dialog is not touched afterwards.
    QTimer::singleShot(50, this, [dialog] { delete dialog.data(); });
    QCOMPARE(dialog->exec(window), int(MDialog::Rejected));
    QVERIFY(dialog.isNull());
}

void TestTouchDetails::closingTheSheetsWindowDismissesIt()
{
    QPointer<MSheet> sheet = new MSheet;
    sheet->appearSystemwide(MSceneWindow::DestroyWhenDismissed);
    QTRY_COMPARE(sheet->sceneWindowState(), MSceneWindow::Appeared);
    QPointer<MWindow> own = sheet->systemwideWindow();
    QSignalSpy windowEntered(own.data(), &MWindow::switcherEntered);
    own->setInSwitcher(true);
    QCOMPARE(windowEntered.count(), 1);
    own->close();
    QTRY_VERIFY(sheet.isNull());
    QTRY_VERIFY(own.isNull());
    // The application window is still there.
    QVERIFY(window->isVisible());
}

PARLOVANCE_TEST_MAIN(TestTouchDetails)
#include "tst_touchdetails.moc"
