#include "maction.h"
#include "mapplication.h"
#include "mapplicationmenu.h"
#include "mapplicationpage.h"
#include "mapplicationservice.h"
#include "mapplicationwindow.h"
#include "mbanner.h"
#include "mbutton.h"
#include "mcomponentcache.h"
#include "mlabel.h"
#include "mpalette.h"
#include "mpannableviewport.h"
#include "mscalableimage.h"
#include "mscenemanager.h"
#include "mstylablewidget.h"
#include "mstyletable.h"
#include "mtheme.h"
#include "mwidgetaction.h"
#include "qmkeys.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDeadlineTimer>
#include <QGraphicsLinearLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QSignalSpy>

namespace {

// A page that records its signals, tagged with its name, into a shared log.
class RecordingPage : public MApplicationPage
{
public:
    RecordingPage(const QString& tag, QStringList* log)
        : name(tag)
    {
        auto record = [this, log](const char* what) {
            return [this, log, what] { log->append(name + ":" + what); };
        };
        connect(this, &MSceneWindow::appearing, this, record("appearing"));
        connect(this, &MSceneWindow::appeared, this, record("appeared"));
        connect(this, &MSceneWindow::disappearing, this, record("disappearing"));
        connect(this, &MSceneWindow::disappeared, this, record("disappeared"));
        connect(this, &MWidget::displayEntered, this, record("displayEntered"));
        connect(this, &MWidget::displayExited, this, record("displayExited"));
        connect(this, &MSceneWindow::appearing, this,
                [this] { contentReadyAtAppearing = isContentCreated(); });
    }

    int createContentCalls = 0;
    bool contentReadyAtAppearing = false;

protected:
    void createContent() override
    {
        ++createContentCalls;
        auto* label = new MLabel(QStringLiteral("content"));
        setCentralWidget(label);
    }

private:
    QString name;
};

class CountingService : public MApplicationService
{
public:
    using MApplicationService::MApplicationService;
    void launch() override { ++launches; }
    int launches = 0;
};

QStringList tagged(const QStringList& log, const QString& tag)
{
    QStringList result;
    for (const QString& entry : log) {
        if (entry.startsWith(tag + ":"))
            result << entry.mid(tag.size() + 1);
    }
    return result;
}

template <class T>
T* findChildItem(QGraphicsItem* root, const QString& objectName)
{
    const auto children = root->childItems();
    for (QGraphicsItem* child : children) {
        if (child->isWidget()) {
            if (auto* match = qobject_cast<T*>(static_cast<QGraphicsWidget*>(child))) {
                if (objectName.isEmpty() || match->objectName() == objectName)
                    return match;
            }
        }
        if (T* deeper = findChildItem<T>(child, objectName))
            return deeper;
    }
    return nullptr;
}

QColor opaqueCentreColour(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 255)
                return c;
        }
    }
    return QColor();
}

} // namespace

class TestTouchUi : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pageSignalsComeInOrder();
    void contentIsCreatedOnceBeforeAppearing();
    void disappearGoesBackInTheHistory();
    void backButtonGoesBack();
    void destroyedPagesLeaveTheHistory();
    void setPageHistoryReplacesTheHistory();
    void switcherFollowsTheWindow();
    void activeWindowIsTheLastShown();
    void whatAppearsGoesOverTheWindowInFront();
    void bannerDisappearsByItself();
    void bannerWithoutWindowStillDisappears();
    void tappedBannerGoesAtOnceAndTheNextTapReachesWhatItCovered();
    void toolbarAndViewMenuShowTheirActions();
    void aToolbarPlaceholderLeavesTheWidthToTheOthers();
    void aToolbarOfPlaceholdersAloneIsNoStrip();
    void anIconButtonLeavesTheRestOfTheBarToATitle();
    void hiddenComponentsFreeThePage();
    void unknownIconGivesEmptyPixmap();
    void knownIconsAreTinted();
    void everyIconOfTheSystemResolves();
    void stylesResolveByClassThenName();
    void serviceIsOnTheBusAndLaunches();
    void testabilityTellsTheTextsOnDisplay();
    void mediaKeysReachQmKeys();
    void windowShowsDarkPageWithTitle();
    void fullScreenFillsAPhoneScreenAndIsPortraitOnADesktop();

private:
    MApplicationWindow* window = nullptr;
    QStringList log;
};

void TestTouchUi::init()
{
    log.clear();
    window = new MApplicationWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestTouchUi::cleanup()
{
    delete window;
    window = nullptr;
    MBanner::setDisplayDurationForTesting(3000);
}

void TestTouchUi::pageSignalsComeInOrder()
{
    auto* a = new RecordingPage("a", &log);
    auto* b = new RecordingPage("b", &log);
    a->appear(window);
    QCOMPARE(a->sceneWindowState(), MSceneWindow::Appearing);
    QTRY_COMPARE(a->sceneWindowState(), MSceneWindow::Appeared);
    QCOMPARE(tagged(log, "a"), QStringList({ "appearing", "displayEntered", "appeared" }));
    QVERIFY(a->isOnDisplay());
    QCOMPARE(window->currentPage(), a);

    b->appear(window);
    QCOMPARE(a->sceneWindowState(), MSceneWindow::Disappearing);
    QTRY_COMPARE(a->sceneWindowState(), MSceneWindow::Disappeared);
    QTRY_COMPARE(b->sceneWindowState(), MSceneWindow::Appeared);
    QCOMPARE(tagged(log, "a"), QStringList({ "appearing", "displayEntered", "appeared",
                                             "disappearing", "displayExited", "disappeared" }));
    QCOMPARE(tagged(log, "b"), QStringList({ "appearing", "displayEntered", "appeared" }));
    QVERIFY(!a->isOnDisplay());
    QVERIFY(!a->isVisible());
    QCOMPARE(window->currentPage(), b);

    // Appearing again while shown changes nothing.
    log.clear();
    b->appear(window);
    QTest::qWait(20);
    QVERIFY(log.isEmpty());
}

void TestTouchUi::contentIsCreatedOnceBeforeAppearing()
{
    auto* a = new RecordingPage("a", &log);
    auto* b = new RecordingPage("b", &log);
    QVERIFY(!a->isContentCreated());
    a->appear(window);
    // Synchronous: whoever made the page appear can use its content at once.
    QVERIFY(a->isContentCreated());
    QVERIFY(a->contentReadyAtAppearing);
    QCOMPARE(a->createContentCalls, 1);
    b->appear(window);
    a->appear(window);
    QTRY_COMPARE(a->sceneWindowState(), MSceneWindow::Appeared);
    QCOMPARE(a->createContentCalls, 1);
    QVERIFY(qobject_cast<MLabel*>(a->centralWidget()));
    QCOMPARE(a->centralWidget()->parentItem()->parentItem(), a->pannableViewport());
}

void TestTouchUi::disappearGoesBackInTheHistory()
{
    auto* a = new RecordingPage("a", &log);
    auto* b = new RecordingPage("b", &log);
    auto* c = new RecordingPage("c", &log);
    a->appear(window);
    b->appear(window);
    c->appear(window);
    MSceneManager* manager = window->sceneManager();
    QCOMPARE(manager->pageHistory(), QList<MSceneWindow*>({ a, b }));
    QTRY_COMPARE(b->sceneWindowState(), MSceneWindow::Disappeared);

    log.clear();
    c->disappear();
    QCOMPARE(window->currentPage(), b);
    QCOMPARE(manager->pageHistory(), QList<MSceneWindow*>({ a }));
    QTRY_COMPARE(b->sceneWindowState(), MSceneWindow::Appeared);
    QTRY_COMPARE(c->sceneWindowState(), MSceneWindow::Disappeared);
    QCOMPARE(tagged(log, "b"), QStringList({ "appearing", "displayEntered", "appeared" }));
    QCOMPARE(tagged(log, "c").first(), QString("disappearing"));

    // Disappearing twice pops once.
    b->disappear();
    b->disappear();
    QCOMPARE(window->currentPage(), a);
    QVERIFY(manager->pageHistory().isEmpty());

    // The last page gone leaves no page, and nothing breaks.
    a->disappear();
    QCOMPARE(window->currentPage(), static_cast<MApplicationPage*>(nullptr));
    QTRY_COMPARE(a->sceneWindowState(), MSceneWindow::Disappeared);
}

void TestTouchUi::backButtonGoesBack()
{
    auto* a = new RecordingPage("a", &log);
    auto* b = new RecordingPage("b", &log);
    a->appear(window);
    auto* backOfA = findChildItem<MButton>(a, "MNavigationBarBackButton");
    QVERIFY(backOfA);
    QVERIFY(!backOfA->isVisible()); // nothing to go back to

    b->appear(window);
    auto* back = findChildItem<MButton>(b, "MNavigationBarBackButton");
    QVERIFY(back && back->isVisible());
    QSignalSpy backSpy(b, &MApplicationPage::backButtonClicked);
    TouchDriver::tapItem(back, back->rect().center());
    QCOMPARE(backSpy.count(), 1);
    QCOMPARE(window->currentPage(), a);
    QTRY_COMPARE(b->sceneWindowState(), MSceneWindow::Disappeared);

    // A listener that takes the page away itself does not make it go back twice.
    auto* c = new RecordingPage("c", &log);
    b->appear(window);
    c->appear(window);
    connect(c, &MApplicationPage::backButtonClicked, c, [c] { c->disappear(); });
    auto* backOfC = findChildItem<MButton>(c, "MNavigationBarBackButton");
    TouchDriver::tapItem(backOfC, backOfC->rect().center());
    QCOMPARE(window->currentPage(), b);
    QCOMPARE(window->sceneManager()->pageHistory(), QList<MSceneWindow*>({ a }));
}

void TestTouchUi::destroyedPagesLeaveTheHistory()
{
    auto* a = new RecordingPage("a", &log);
    auto* b = new RecordingPage("b", &log);
    auto* c = new RecordingPage("c", &log);
    a->appear(window);
    b->appear(window);
    c->appear(window);
    MSceneManager* manager = window->sceneManager();

    delete b;
    QCOMPARE(manager->pageHistory(), QList<MSceneWindow*>({ a }));
    c->disappear();
    QCOMPARE(window->currentPage(), a);

    c->appear(window);
    QCOMPARE(window->currentPage(), c);
    delete c;
    QCOMPARE(window->currentPage(), static_cast<MApplicationPage*>(nullptr));
    QCOMPARE(manager->pageHistory(), QList<MSceneWindow*>({ a }));
    QTest::qWait(20); // queued transition steps of the deleted pages must not fire
    auto* d = new RecordingPage("d", &log);
    d->appear(window);
    QCOMPARE(manager->pageHistory(), QList<MSceneWindow*>({ a }));
    d->disappear();
    QCOMPARE(window->currentPage(), a);
}

void TestTouchUi::setPageHistoryReplacesTheHistory()
{
    auto* a = new RecordingPage("a", &log);
    auto* b = new RecordingPage("b", &log);
    auto* c = new RecordingPage("c", &log);
    a->appear(window);
    b->appear(window);
    c->appear(window);
    MSceneManager* manager = window->sceneManager();
    QList<MSceneWindow*> history = manager->pageHistory();
    history.removeAll(b);
    manager->setPageHistory(history);
    QCOMPARE(manager->pageHistory(), QList<MSceneWindow*>({ a }));
    c->disappear();
    QCOMPARE(window->currentPage(), a);
}

void TestTouchUi::switcherFollowsTheWindow()
{
    auto* a = new RecordingPage("a", &log);
    a->appear(window);
    QTRY_VERIFY(a->isOnDisplay());
    QSignalSpy entered(window, &MWindow::switcherEntered);
    QSignalSpy exited(window, &MWindow::switcherExited);

    log.clear();
    window->setInSwitcher(true);
    QVERIFY(window->isInSwitcher());
    QCOMPARE(entered.count(), 1);
    QVERIFY(!a->isOnDisplay());
    QCOMPARE(tagged(log, "a"), QStringList({ "displayExited" }));

    window->setInSwitcher(false);
    QCOMPARE(exited.count(), 1);
    QVERIFY(a->isOnDisplay());
    QCOMPARE(tagged(log, "a"), QStringList({ "displayExited", "displayEntered" }));

    // Minimising is entering the switcher.
    window->showMinimized();
    QTRY_VERIFY(window->isInSwitcher());
    QCOMPARE(entered.count(), 2);
}

void TestTouchUi::activeWindowIsTheLastShown()
{
    QCOMPARE(MApplication::activeApplicationWindow(), window);
    auto* plain = new MWindow;
    plain->show();
    QVERIFY(QTest::qWaitForWindowExposed(plain));
    QCOMPARE(MApplication::activeApplicationWindow(), window);
    QVERIFY(MApplication::activeWindow() == plain || MApplication::activeWindow() == window);
    delete plain;
    QCOMPARE(MApplication::activeWindow(), static_cast<MWindow*>(window));
    delete window;
    window = nullptr;
    QCOMPARE(MApplication::activeWindow(), static_cast<MWindow*>(nullptr));
    QCOMPARE(MApplication::activeApplicationWindow(), static_cast<MApplicationWindow*>(nullptr));
}

void TestTouchUi::whatAppearsGoesOverTheWindowInFront()
{
    // The application window has the keyboard; another program's request then brings up a
    // window of the program's own over it without the keyboard (no window manager, or one that
    // leaves the keyboard where the user had it), as the player sheet comes up.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* over = new MWindow;
    // The offscreen platform gives every new window the keyboard, but a tool tip's: that kind
    // stands in here for a window shown without the keyboard.
    over->setWindowFlags(Qt::ToolTip);
    over->show();
    QVERIFY(QTest::qWaitForWindowExposed(over));
    QCOMPARE(QApplication::activeWindow(), static_cast<QWidget*>(window));
    // A banner or a dialog that comes now is seen over the window in front, not under it.
    QCOMPARE(MApplication::activeWindow(), over);
    auto* banner = new MBanner;
    banner->setTitle(QStringLiteral("Playlist is empty"));
    banner->appear(MSceneWindow::DestroyWhenDone);
    QCOMPARE(banner->scene(), over->scene());
    // Gone, it leaves the front to the window below.
    delete over;
    QCOMPARE(MApplication::activeWindow(), static_cast<MWindow*>(window));
}

void TestTouchUi::bannerDisappearsByItself()
{
    MBanner::setDisplayDurationForTesting(150);
    MBanner::clearShownTitles();
    QPointer<MBanner> banner = new MBanner;
    banner->setStyleName("InformationBanner");
    banner->setTitle("Unable to play");
    QSignalSpy gone(banner.data(), &MSceneWindow::disappeared);
    banner->appear(window, MSceneWindow::DestroyWhenDone);
    QTRY_COMPARE(banner->sceneWindowState(), MSceneWindow::Appeared);
    QVERIFY(banner->isVisible());
    QVERIFY(banner->geometry().top() < 100); // across the top of the screen
    QCOMPARE(MBanner::shownTitles(), QStringList({ "Unable to play" }));
    QTRY_VERIFY_WITH_TIMEOUT(gone.count() == 1, 10000);
    QTRY_VERIFY(banner.isNull());

    // Kept banners disappear as well and stay.
    QPointer<MBanner> kept = new MBanner;
    kept->appear(window);
    QTRY_COMPARE_WITH_TIMEOUT(kept->sceneWindowState(), MSceneWindow::Disappeared, 10000);
    QVERIFY(!kept.isNull());
    delete kept;
}

void TestTouchUi::tappedBannerGoesAtOnceAndTheNextTapReachesWhatItCovered()
{
    auto* a = new RecordingPage("a", &log);
    auto* b = new RecordingPage("b", &log);
    a->appear(window);
    b->appear(window);
    QTRY_COMPARE(b->sceneWindowState(), MSceneWindow::Appeared);
    auto* back = findChildItem<MButton>(b, "MNavigationBarBackButton");
    QVERIFY(back && back->isVisible());
    QSignalSpy backSpy(b, &MApplicationPage::backButtonClicked);
    QPointer<MBanner> banner = new MBanner;
    banner->setStyleName("InformationBanner");
    banner->setTitle("Playlist is empty");
    banner->appear(window, MSceneWindow::DestroyWhenDone);
    QTRY_COMPARE(banner->sceneWindowState(), MSceneWindow::Appeared);
    const QPointF at = back->sceneBoundingRect().center();
    QVERIFY(banner->sceneBoundingRect().contains(at));

    // A tap on the banner takes it away, and no more. Two taps that a busy window takes at one
    // turn of its loop: the second goes to the Back button beneath.
    TouchDriver finger(window);
    finger.tap(at);
    QVERIFY(!banner->isVisible());
    QCOMPARE(backSpy.count(), 0);
    finger.tap(at);
    QCOMPARE(backSpy.count(), 1);
    QTRY_VERIFY(banner.isNull());
    QCOMPARE(window->currentPage(), a);
}

void TestTouchUi::bannerWithoutWindowStillDisappears()
{
    MBanner::clearShownTitles();
    QPointer<MBanner> banner = new MBanner;
    banner->setTitle("No window here");
    QSignalSpy gone(banner.data(), &MSceneWindow::disappeared);
    banner->appear(nullptr, MSceneWindow::DestroyWhenDone);
    QTRY_COMPARE(gone.count(), 1);
    QTRY_VERIFY(banner.isNull());
    QCOMPARE(MBanner::shownTitles(), QStringList({ "No window here" }));
}

void TestTouchUi::toolbarAndViewMenuShowTheirActions()
{
    auto* page = new RecordingPage("a", &log);
    page->appear(window);
    const QRectF fullContent = page->exposedContentRect();

    auto* toolAction = new MAction(page);
    toolAction->setText("tool");
    toolAction->setLocation(MAction::ToolBarLocation);
    auto* widgetAction = new MWidgetAction(page);
    widgetAction->setLocation(MAction::ToolBarLocation);
    QPointer<MButton> actionButton = new MButton("Now playing");
    widgetAction->setWidget(actionButton);
    auto* menuAction = new MAction("Play album", page);
    menuAction->setLocation(MAction::ApplicationMenuLocation);
    page->addAction(toolAction);
    page->addAction(widgetAction);
    page->addAction(menuAction);

    QCOMPARE(page->toolBarActions(), QList<QAction*>({ toolAction, widgetAction }));
    QCOMPARE(page->viewMenuActions(), QList<QAction*>({ menuAction }));
    // The toolbar takes the bottom of the page, showing the action's own widget.
    QVERIFY(page->exposedContentRect().bottom() < fullContent.bottom());
    QVERIFY(actionButton->isVisible());
    QVERIFY(actionButton->mapToScene(actionButton->rect().center()).y() > 760);

    // Hiding the toolbar actions gives the room back.
    toolAction->setVisible(false);
    widgetAction->setVisible(false);
    QVERIFY(!actionButton->isVisible());
    QCOMPARE(page->exposedContentRect(), fullContent);

    // The title bar opens the view menu; an entry closes it and triggers its action.
    QSignalSpy triggered(menuAction, &QAction::triggered);
    page->openViewMenu();
    MApplicationMenu* menu = page->viewMenu();
    QVERIFY(menu);
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
    const QRectF entry = menu->entryRect(menuAction);
    QVERIFY(!entry.isEmpty());
    TouchDriver::tapItem(menu, entry.center());
    QCOMPARE(triggered.count(), 1);
    QVERIFY(menu->sceneWindowState() == MSceneWindow::Disappearing
            || menu->sceneWindowState() == MSceneWindow::Disappeared);
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Disappeared);

    // A tap outside the panel closes it without triggering anything.
    page->openViewMenu();
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
    TouchDriver::tapItem(menu, QPointF(240, 800));
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Disappeared);
    QCOMPARE(triggered.count(), 1);

    // Deleting the page deletes its actions and their widgets.
    delete page;
    QVERIFY(actionButton.isNull());
}

void TestTouchUi::aToolbarPlaceholderLeavesTheWidthToTheOthers()
{
    // A page's now-playing button beside an empty placeholder action: the button's title is
    // shown whole while it fits the bar.
    auto* page = new RecordingPage("a", &log);
    page->appear(window);
    auto* nowPlaying = new MWidgetAction(page);
    nowPlaying->setLocation(MAction::ToolBarLocation);
    auto* container = new QGraphicsWidget;
    auto* row = new QGraphicsLinearLayout(Qt::Horizontal, container);
    row->addStretch();
    auto* button = new MButton("Midnight Train to Nowhere");
    button->setStyleName("CommonToolbarButtonInverted");
    button->setIconID("icon-s-music-video-play-accent");
    row->addItem(button);
    row->addStretch();
    nowPlaying->setWidget(container);
    auto* placeholder = new MAction(QString(), page);
    placeholder->setLocation(MAction::ToolBarLocation);
    page->addAction(nowPlaying);
    page->addAction(placeholder);
    QTRY_VERIFY(button->isVisible());
    QTRY_COMPARE(container->size().width(), 480.0);
    QTRY_COMPARE(button->size().width(), button->effectiveSizeHint(Qt::PreferredSize).width());
    QVERIFY(button->size().width() > 240);

    // A placeholder that gets a text is an action like the others again.
    placeholder->setText("Edit");
    QTRY_COMPARE(container->size().width(), 240.0);
    delete page;
}

void TestTouchUi::aToolbarOfPlaceholdersAloneIsNoStrip()
{
    // A page keeps an empty action so that a now-playing button can come; while that button is
    // hidden nothing is in the bar, and the page's content goes down to the bottom.
    auto* page = new RecordingPage("a", &log);
    page->appear(window);
    auto* placeholder = new MAction(QString(), page);
    placeholder->setLocation(MAction::ToolBarLocation);
    page->addAction(placeholder);
    auto* nowPlaying = new MWidgetAction(page);
    nowPlaying->setLocation(MAction::ToolBarLocation);
    nowPlaying->setWidget(new MButton("Song"));
    nowPlaying->setVisible(false);
    page->addAction(nowPlaying);
    QCOMPARE(page->toolBarActions(), QList<QAction*>({ placeholder }));
    QCOMPARE(page->exposedContentRect().bottom(), page->size().height());

    // The button shown: the bar takes the bottom of the page; hidden again: the room is back.
    nowPlaying->setVisible(true);
    QVERIFY(page->exposedContentRect().bottom() <= page->size().height() - 48);
    nowPlaying->setVisible(false);
    QCOMPARE(page->exposedContentRect().bottom(), page->size().height());
    delete page;
}

void TestTouchUi::anIconButtonLeavesTheRestOfTheBarToATitle()
{
    // The now-playing button beside an icon-only "+" button: the title has all the width the
    // "+" leaves, and the "+" is not wider than it needs to be.
    auto* page = new RecordingPage("a", &log);
    page->appear(window);
    auto* nowPlaying = new MWidgetAction(page);
    nowPlaying->setLocation(MAction::ToolBarLocation);
    auto* container = new QGraphicsWidget;
    auto* row = new QGraphicsLinearLayout(Qt::Horizontal, container);
    row->addStretch();
    auto* button = new MButton("Neon Highway at Night");
    button->setStyleName("CommonToolbarButtonInverted");
    button->setIconID("icon-s-music-video-play-accent");
    row->addItem(button);
    row->addStretch();
    nowPlaying->setWidget(container);
    auto* add = new MAction("icon-m-toolbar-add-white", QString(), page);
    add->setLocation(MAction::ToolBarLocation);
    page->addAction(nowPlaying);
    page->addAction(add);
    QTRY_VERIFY(button->isVisible());
    const qreal barWidth = page->size().width();
    QTRY_VERIFY(container->size().width() >= barWidth - 96);
    // The title fits there: it is shown whole, left of the "+".
    QTRY_COMPARE(button->size().width(), button->effectiveSizeHint(Qt::PreferredSize).width());
    QVERIFY(button->size().width() > barWidth / 2);
    QVERIFY(button->mapToScene(button->rect().topRight()).x()
            <= container->mapToScene(container->rect().topRight()).x() + 0.5);
    delete page;
}

void TestTouchUi::hiddenComponentsFreeThePage()
{
    auto* page = new RecordingPage("a", &log);
    page->appear(window);
    QVERIFY(page->exposedContentRect().top() > 0);
    page->setComponentsDisplayMode(MApplicationPage::AllComponents, MApplicationPageModel::Hide);
    QCOMPARE(page->exposedContentRect(), QRectF(0, 0, 480, 854));
    page->setPannable(false);
    QCOMPARE(page->pannableViewport()->verticalPanningPolicy(), MPannableWidget::PanningAlwaysOff);
    QCOMPARE(page->centralWidget()->size(), QSizeF(480, 854));
}

void TestTouchUi::unknownIconGivesEmptyPixmap()
{
    QVERIFY(MTheme::pixmap("icon-m-no-such-thing").isNull());
    QVERIFY(MTheme::pixmap("icon-m-no-such-thing", QSize(10, 10)).isNull());
    QVERIFY(MTheme::pixmap(QString()).isNull());
    QVERIFY(!MTheme::hasIcon("icon-m-no-such-thing"));
}

void TestTouchUi::knownIconsAreTinted()
{
    const QPixmap play = MTheme::pixmap("icon-m-toolbar-mediacontrol-play-white");
    QVERIFY(!play.isNull());
    QCOMPARE(play.size(), QSize(48, 48));
    QCOMPARE(MTheme::pixmap("icon-s-music-video-play-accent").size(), QSize(32, 32));
    QCOMPARE(MTheme::pixmap("icon-l-music").size(), QSize(64, 64));
    QCOMPARE(MTheme::pixmap("icon-m-content-audio", QSize(20, 30)).size(), QSize(20, 30));

    const QColor white = opaqueCentreColour(play);
    const QColor dimmed = opaqueCentreColour(
        MTheme::pixmap("icon-m-toolbar-mediacontrol-play-dimmed-white"));
    const QColor selected = opaqueCentreColour(
        MTheme::pixmap("icon-m-toolbar-mediacontrol-play-white-selected"));
    QCOMPARE(white, QColor(Qt::white));
    QCOMPARE(selected, MTheme::palette().firstAccentColor());
    QVERIFY(dimmed.lightness() < white.lightness());
    QVERIFY(dimmed != selected);
}

void TestTouchUi::everyIconOfTheSystemResolves()
{
    const QStringList ids { "icon-m-music-video-dolby",
                            "icon-m-common-favorite-mark",
                            "icon-m-toolbar-favorite-mark-white",
                            "icon-m-toolbar-mediacontrol-next-white",
                            "icon-m-toolbar-mediacontrol-next-dimmed-white",
                            "icon-m-common-favorite-unmark",
                            "icon-s-common-favorite-unmark",
                            "icon-m-toolbar-mediacontrol-pause-white",
                            "icon-m-toolbar-mediacontrol-play-white",
                            "icon-m-toolbar-mediacontrol-play-dimmed-white",
                            "icon-m-toolbar-mediacontrol-previous-white",
                            "icon-m-toolbar-mediacontrol-previous-dimmed-white",
                            "icon-m-common-share",
                            "icon-m-toolbar-mediacontrol-stop-white",
                            "icon-m-toolbar-mediacontrol-stop-dimmed-white",
                            "icon-m-common-drilldown-arrow-inverse",
                            "icon-m-music-video-all-songs",
                            "icon-m-music-video-now-playing",
                            "icon-m-music-video-shuffle-off",
                            "icon-m-music-video-shuffle-on",
                            "icon-m-music-video-repeat-off",
                            "icon-m-music-video-repeat-on",
                            "icon-s-music-video-ulk",
                            "icon-s-music-video-search",
                            "icon-l-music",
                            "meegotouch-music-albumart",
                            "meegotouch-music-artist",
                            "icon-m-content-audiostream",
                            "icon-m-content-genre",
                            "icon-s-music-video-description",
                            "icon-m-content-audio",
                            "icon-m-toolbar-content-audio",
                            "icon-m-content-playlist",
                            "icon-m-toolbar-search",
                            "icon-m-content-song",
                            "icon-m-toolbar-back-white",
                            "icon-m-toolbar-back-dimmed-white",
                            "icon-m-toolbar-repeat-white-selected",
                            "icon-m-toolbar-repeat-white",
                            "icon-m-toolbar-repeat-dimmed-white",
                            "icon-m-toolbar-shuffle-white-selected",
                            "icon-m-toolbar-shuffle-white",
                            "icon-m-toolbar-shuffle-dimmed-white",
                            "icon-m-toolbar-favorite-mark-dimmed-white",
                            "icon-m-toolbar-favorite-unmark-white",
                            "icon-m-toolbar-favorite-unmark-dimmed-white",
                            "icon-m-toolbar-view-menu-white",
                            "icon-m-toolbar-view-menu-dimmed-white",
                            "icon-m-content-recently-played",
                            "icon-m-content-recently-added",
                            "icon-m-content-recently-downloaded",
                            "icon-m-content-most-played",
                            "icon-m-content-favourites",
                            "icon-m-content-never-played",
                            "icon-m-content-top-rated",
                            "icon-m-framework-grid",
                            "icon-m-framework-list",
                            "icon-s-music-video-stop-accent",
                            "icon-s-music-video-play-accent",
                            "icon-s-music-video-pause-accent",
                            "icon-m-toolbar-mediacontrol-stop-white-selected",
                            "icon-m-toolbar-mediacontrol-play-white-selected",
                            "icon-m-toolbar-mediacontrol-pause-white-selected",
                            "icon-m-common-search",
                            "icon-m-input-clear",
                            "icon-m-toolbar-add-white" };
    QStringList missing;
    for (const QString& id : ids) {
        if (MTheme::pixmap(id).isNull())
            missing << id;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
}

void TestTouchUi::stylesResolveByClassThenName()
{
    auto* label = new MLabel("text");
    const int defaultSize = label->style()->fontSize();
    label->setStyleName("CommonSubTitleInverted");
    QVERIFY(label->style()->fontSize() < defaultSize);
    QCOMPARE(label->style()->textColor(), MTheme::palette().secondaryColor());
    label->setStyleName("NoSuchStyleAnywhere");
    QCOMPARE(label->style()->fontSize(), defaultSize);

    // The system's own styles override, attribute by attribute.
    MStyleTable::registerStyle("parlovance", "CommonSubTitleInverted", { { "fontSize", 31 } });
    label->setStyleName("CommonSubTitleInverted");
    QCOMPARE(label->style()->fontSize(), 31);
    QCOMPARE(label->style()->textColor(), MTheme::palette().secondaryColor());
    MStyleTable::registerStyle("parlovance", "SongPageBottomSpacer",
                               { { "preferredSize", QSizeF(-1, 24) },
                                 { "minimumSize", QSizeF(-1, 24) } });
    auto* spacer = new MStylableWidget;
    spacer->setStyleName("SongPageBottomSpacer");
    QCOMPARE(spacer->effectiveSizeHint(Qt::PreferredSize).height(), 24.0);
    spacer->setStyleName("Unknown");
    QCOMPARE(spacer->effectiveSizeHint(Qt::PreferredSize).height(), 0.0);

    const MStyle* style = MTheme::style("MApplicationPageStyle", "");
    QVERIFY(style);
    QVERIFY(style->property("backgroundColor").value<QColor>().isValid());
    const auto* background = style->property("backgroundImage").value<const MScalableImage*>();
    QVERIFY(background && background->pixmap());
    QCOMPARE(background->pixmap()->size(), QSize(480, 854));
    MTheme::releaseStyle(style);
    delete label;
    delete spacer;
}

void TestTouchUi::serviceIsOnTheBusAndLaunches()
{
    const QString name = QStringLiteral("com.vaspe.touchuitest");
    CountingService service(name);
    QVERIFY(service.isRegistered());
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    QVERIFY(bus);
    QVERIFY(bus->isServiceRegistered(name).value());

    // Asynchronous all the way: this process answers the call itself.
    const QDBusMessage call = QDBusMessage::createMethodCall(name, "/",
                                                             MApplicationService::InterfaceName,
                                                             "launch");
    QDBusPendingCallWatcher watcher(QDBusConnection::sessionBus().asyncCall(call));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.isFinished(), 10000);
    QVERIFY2(!watcher.isError(), qPrintable(watcher.error().message()));
    QCOMPARE(service.launches, 1);
}

void TestTouchUi::testabilityTellsTheTextsOnDisplay()
{
    QGraphicsScene* scene = window->scene();
    auto addLabel = [scene](const QString& text, qreal y) {
        auto* label = new MLabel(text);
        scene->addItem(label);
        label->setGeometry(QRectF(0, y, 480, 40));
        return label;
    };
    addLabel(QStringLiteral("Shown"), 100);
    addLabel(QStringLiteral("Covered"), 200);
    scene->addRect(QRectF(0, 190, 480, 60), Qt::NoPen, Qt::black)->setZValue(10);
    addLabel(QStringLiteral("Half covered, half shown"), 300);
    scene->addRect(QRectF(0, 290, 100, 60), Qt::NoPen, Qt::black)->setZValue(10);
    // A dimmed cover hides nothing.
    scene->addRect(QRectF(0, 90, 480, 60), Qt::NoPen, QColor(0, 0, 0, 128))->setZValue(10);
    addLabel(QStringLiteral("Transparent"), 400)->setOpacity(0);
    // Two scripts are two runs of glyphs; they show as one text.
    addLabel(QStringLiteral("山田 花子 | Electric Lights"), 500);

    auto visibleTexts = [](const QString& service) {
        const QDBusMessage call = QDBusMessage::createMethodCall(service, "/testability",
                                                                 "com.vaspe.Testability",
                                                                 "visibleTexts");
        // This process answers itself: the call goes out and waits in the event loop.
        QDBusPendingCallWatcher watcher(QDBusConnection::sessionBus().asyncCall(call));
        QDeadlineTimer deadline(10000);
        while (!watcher.isFinished() && !deadline.hasExpired())
            QTest::qWait(20);
        return watcher.reply();
    };
    // Off unless asked for.
    CountingService quiet(QStringLiteral("com.vaspe.touchuitest.quiet"));
    QVERIFY(quiet.isRegistered());
    QCOMPARE(visibleTexts(QStringLiteral("com.vaspe.touchuitest.quiet")).type(),
             QDBusMessage::ErrorMessage);

    qputenv("PARLOVANCE_TESTABILITY", "1");
    CountingService service(QStringLiteral("com.vaspe.touchuitest.testability"));
    qunsetenv("PARLOVANCE_TESTABILITY");
    const QDBusMessage reply = visibleTexts(QStringLiteral("com.vaspe.touchuitest.testability"));
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    QHash<QString, QRect> shown;
    const QJsonArray texts = QJsonDocument::fromJson(reply.arguments().value(0).toString().toUtf8())
                                 .array();
    for (const QJsonValue& value : texts) {
        const QJsonObject text = value.toObject();
        shown.insert(text.value("text").toString(),
                     QRect(text.value("x").toInt(), text.value("y").toInt(),
                           text.value("width").toInt(), text.value("height").toInt()));
    }
    QCOMPARE(QSet<QString>(shown.keyBegin(), shown.keyEnd()),
             QSet<QString>({ "Shown", "Half covered, half shown", "山田 花子 | Electric Lights" }));
    const QPoint origin = window->viewport()->mapToGlobal(QPoint(0, 0));
    const QTransform toScreen = window->viewportTransform()
                                * QTransform::fromTranslate(origin.x(), origin.y());
    QVERIFY(toScreen.mapRect(QRectF(0, 100, 480, 40))
                .toAlignedRect()
                .contains(shown.value("Shown").center()));
    QVERIFY(shown.value("Half covered, half shown").left()
            >= toScreen.map(QPointF(100, 0)).x() - 1);
}

void TestTouchUi::mediaKeysReachQmKeys()
{
    MeeGo::QmKeys keys;
    QSignalSpy spy(&keys, &MeeGo::QmKeys::keyEvent);
    QTest::keyPress(window, Qt::Key_MediaNext);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(int(spy.at(0).at(0).value<MeeGo::QmKeys::Key>()), 15);
    QCOMPARE(int(spy.at(0).at(1).value<MeeGo::QmKeys::State>()), 2);
    QTest::keyRelease(window, Qt::Key_MediaNext);
    QCOMPARE(int(spy.last().at(1).value<MeeGo::QmKeys::State>()), 0);

    // A window of its own beside the main one (a sheet's) has the keyboard while it is in
    // front: the keys reach QmKeys from there as well.
    MWindow own;
    QKeyEvent pause(QEvent::KeyPress, Qt::Key_MediaPause, Qt::NoModifier);
    QCoreApplication::sendEvent(&own, &pause);
    QVERIFY(pause.isAccepted());
    QCOMPARE(spy.count(), 3);
    QCOMPARE(int(spy.last().at(0).value<MeeGo::QmKeys::Key>()), 17);
    QCOMPARE(int(spy.last().at(1).value<MeeGo::QmKeys::State>()), 2);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_MediaPause, Qt::NoModifier);
    QCoreApplication::sendEvent(&own, &release);
    QCOMPARE(spy.count(), 4);
    QCOMPARE(int(spy.last().at(1).value<MeeGo::QmKeys::State>()), 0);

    // Other keys still reach the focused page.
    auto* page = new RecordingPage("a", &log);
    page->appear(window);
    const int before = spy.count();
    QTest::keyClick(window, Qt::Key_A);
    QCOMPARE(spy.count(), before);
}

void TestTouchUi::windowShowsDarkPageWithTitle()
{
    auto* page = new MApplicationPage;
    page->setTitle("Music");
    page->appear(window);
    window->resize(480, 854);
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);
    const QImage shot = window->grab().toImage();
    const QString target = qEnvironmentVariable("PARLOVANCE_SCREENSHOT_DIR");
    if (!target.isEmpty())
        shot.save(target + "/touchui-page.png");
    QVERIFY(!shot.isNull());
    // Black page and bar: the title is the page's to draw in its own header (a collection
    // page does), so the bar does not show it a second time.
    const QColor middle = shot.pixelColor(shot.width() / 2, shot.height() / 2);
    QVERIFY(middle.lightness() < 30);
    int lightPixels = 0;
    const int barBottom = shot.height() * 72 / 854;
    for (int y = 0; y < barBottom; ++y) {
        for (int x = 0; x < shot.width() / 2; ++x) {
            if (shot.pixelColor(x, y).lightness() > 200)
                ++lightPixels;
        }
    }
    QCOMPARE(lightPixels, 0);
    QCOMPARE(page->title(), QStringLiteral("Music"));
}

void TestTouchUi::fullScreenFillsAPhoneScreenAndIsPortraitOnADesktop()
{
    // Run again by itself on a private X server (no window manager, as on a bare device):
    // the window asked for full screen takes the size it is told.
    const QByteArray expected = qgetenv("PARLOVANCE_EXPECTED_WINDOW");
    if (!expected.isEmpty()) {
        MApplicationWindow full;
        full.setWindowState(Qt::WindowFullScreen);
        full.show();
        QVERIFY(QTest::qWaitForWindowExposed(&full));
        const QSize size(expected.split('x').value(0).toInt(),
                         expected.split('x').value(1).toInt());
        QTRY_COMPARE(full.size(), size);
        QCOMPARE(full.pos(), QPoint(0, 0));
        return;
    }
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        QSKIP("no Xvfb to try the window on");
    const QList<QPair<QString, QString>> screens = {
        { QStringLiteral("480x854"), QStringLiteral("480x854") },   // the phone: all of it
        { QStringLiteral("1280x1024"), QStringLiteral("480x854") }, // a desktop: the phone's size
    };
    for (const auto& screen : screens) {
        QProcess server;
        // -displayfd picks a free display and writes its number to standard output.
        server.start(xvfb,
                     { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), screen.first + QStringLiteral("x24"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp") });
        QVERIFY(server.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine() || server.state() != QProcess::Running,
                                 30000);
        const QByteArray display = server.readLine().trimmed();
        QVERIFY2(!display.isEmpty(), server.readAllStandardError().constData());

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromLatin1(display));
        env.insert(QStringLiteral("PARLOVANCE_EXPECTED_WINDOW"), screen.second);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    { QStringLiteral("fullScreenFillsAPhoneScreenAndIsPortraitOnADesktop") });
        const bool finished = child.waitForFinished(60000);
        const QByteArray output = child.readAll();
        server.terminate();
        server.waitForFinished(10000);
        QVERIFY2(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 qPrintable(screen.first + QStringLiteral(": ") + QString::fromLocal8Bit(output)));
    }
}

PARLOVANCE_TEST_MAIN(TestTouchUi)
#include "tst_touchui.moc"
