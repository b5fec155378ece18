// The library buttons of the main page: the four library rows and the pages they report, and
// the store row, shown only when the store application is installed, which asks a stand-in
// store service on the private session bus to open and reports no page.

#include "pages/librarybuttonarea.h"
#include "testcatalogs.h"

#include "common/parlovance.h"
#include "mlocale.h"
#include "pageframework/mainpagelistitem.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsLinearLayout>
#include <QSignalSpy>

// Stands in for the store application's service.
class StoreStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.vaspe.TambloreService.OpenInterface")

public:
    QStringList opened;

public slots:
    void open(const QString& argument)
    {
        opened << argument;
        emit openCalled();
    }

signals:
    void openCalled();
};

class TestLibraryButtonArea : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void libraryRowsReportTheirPages();
    void storeRowOpensTheStoreOverTheBus();

private:
    static QList<MainPageListItem*> rows(LibraryButtonArea* area);
};

void TestLibraryButtonArea::initTestCase()
{
    installTestCatalogs();
}

QList<MainPageListItem*> TestLibraryButtonArea::rows(LibraryButtonArea* area)
{
    QList<MainPageListItem*> found;
    auto* layout = static_cast<QGraphicsLinearLayout*>(area->layout());
    for (int i = 0; i < layout->count(); ++i)
        found << static_cast<MainPageListItem*>(layout->itemAt(i));
    return found;
}

void TestLibraryButtonArea::libraryRowsReportTheirPages()
{
    LibraryButtonArea::setStoreExecutable(TestEnvironment::home() + QStringLiteral("/no-store"));
    LibraryButtonArea area(nullptr);
    const QList<MainPageListItem*> shown = rows(&area);
    QCOMPARE(shown.size(), 4);
    QStringList titles;
    for (MainPageListItem* row : shown) {
        titles << row->title();
        QCOMPARE(row->imageId(), QStringLiteral("icon-m-common-drilldown-arrow-inverse"));
    }
    QCOMPARE(titles, QStringList({ "Artists", "Albums", "Songs", "Playlists" }));

    QSignalSpy pages(&area, SIGNAL(goToPage(int)));
    for (MainPageListItem* row : shown)
        emit row->clicked();
    QCOMPARE(pages.count(), 4);
    QCOMPARE(pages.at(0).first().toInt(), int(Parlovance::PageArtists));
    QCOMPARE(pages.at(1).first().toInt(), int(Parlovance::PageAlbums));
    QCOMPARE(pages.at(2).first().toInt(), int(Parlovance::PageAllSongs));
    QCOMPARE(pages.at(3).first().toInt(), int(Parlovance::PagePlaylists));
}

void TestLibraryButtonArea::storeRowOpensTheStoreOverTheBus()
{
    StoreStandIn store;
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY(bus.registerService(QStringLiteral("com.vaspe.TambloreService")));
    QVERIFY(bus.registerObject(QStringLiteral("/"), &store, QDBusConnection::ExportAllSlots));

    const QString executable = TestEnvironment::home() + QStringLiteral("/tamblore");
    QFile marker(executable);
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.close();
    LibraryButtonArea::setStoreExecutable(executable);
    LibraryButtonArea area(nullptr);
    const QList<MainPageListItem*> shown = rows(&area);
    QCOMPARE(shown.size(), 5);
    MainPageListItem* storeRow = shown.last();
    QCOMPARE(storeRow->title(), QStringLiteral("Music store"));
    QCOMPARE(storeRow->imageId(), QStringLiteral("icon-s-music-video-ulk"));

    QSignalSpy pages(&area, SIGNAL(goToPage(int)));
    QSignalSpy opened(&store, SIGNAL(openCalled()));
    emit storeRow->clicked();
    QVERIFY(opened.wait(10000));
    QCOMPARE(store.opened, QStringList({ QString() }));
    QCOMPARE(pages.count(), 0);

    // Without an answering store nothing waits: the click returns at once.
    bus.unregisterObject(QStringLiteral("/"));
    bus.unregisterService(QStringLiteral("com.vaspe.TambloreService"));
    QElapsedTimer clickTime;
    clickTime.start();
    emit storeRow->clicked();
    QVERIFY(clickTime.elapsed() < 1000);
    QCOMPARE(pages.count(), 0);
}

PARLOVANCE_TEST_MAIN(TestLibraryButtonArea)
#include "tst_librarybuttonarea.moc"
