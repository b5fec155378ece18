// A window that starts on another page than the main page, over a library without music: the
// library answers whether it holds music before the main page exists, and the main page built
// afterwards must still show the text that asks to fill the device, not an empty grid.

#include "activity/latestactivitycontroller.h"
#include "activity/latestactivitywidget.h"
#include "librarywindow.h"
#include "mlabel.h"
#include "pages/parlovancemainpage.h"
#include "testenvironment.h"
#include "zeloverlaylabel.h"

#include <QSignalSpy>

using namespace Parlovance;

class TestEmptyDeviceStart : public QObject
{
    Q_OBJECT

private slots:
    void mainPageBuiltAfterTheAnswerShowsTheFillText();
};

void TestEmptyDeviceStart::mainPageBuiltAfterTheAnswerShowsTheFillText()
{
    const int timeout = 60000;
    qApp->setQuitOnLastWindowClosed(false);
    installTestCatalogs();
    QVERIFY(FixtureLibrary::openStore());
    QTRY_VERIFY_WITH_TIMEOUT(MafwTrackerModelFactoryInstance::instance()->isReady(), timeout);
    auto window = std::make_unique<MainWindow>(PageAllSongs, false);
    QSignalSpy answered(window.get(), &MainWindow::resolveDeviceEmptyFinished);
    window->resize(480, 854);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(answered.count() > 0 || answered.wait(timeout));
    QVERIFY(!window->cachedPage(PageMain));

    window->goToPage(PageMain);
    QTRY_VERIFY_WITH_TIMEOUT(window->cachedPage(PageMain), timeout);
    auto* page = qobject_cast<ParlovanceMainPage*>(window->cachedPage(PageMain));
    QVERIFY(page);
    QTRY_VERIFY_WITH_TIMEOUT(page->latestActivityWidget(), timeout);
    LatestActivityWidget* grid = page->latestActivityWidget();
    QTRY_VERIFY_WITH_TIMEOUT(grid->emptyDeviceLabel() && grid->emptyDeviceLabel()->isVisible(),
                             timeout);
    QCOMPARE(grid->emptyDeviceLabel()->text(), qtTrId("qtn_musi_fill_your_device"));
    for (ZelOverlayLabel* tile : grid->tiles())
        QVERIFY(!tile->isVisible());
    QVERIFY(window->grab().save(TestEnvironment::screenshotDir()
                                + QStringLiteral("/empty-device-late-main-page.png")));
}

PARLOVANCE_TEST_MAIN(TestEmptyDeviceStart)
#include "tst_emptydevicestart.moc"
