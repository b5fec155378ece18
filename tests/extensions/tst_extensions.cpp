// Extensions on the pages: the area of one interface with its plug-ins from the extension
// folder and its extensions registered in the process, the order of store widgets and the
// others as they come and go, what is never shown, what goes with an area, and an extension's
// own page (page 10) shown and left by Back.

#include "abstractextensionwidget.h"
#include "abstractstoreextensionwidget.h"
#include "applicationactionmediator.h"
#include "applicationinterface.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "extensionregistry.h"
#include "librarywindow.h"
#include "mapplicationextensionarea.h"
#include "mapplicationpage.h"
#include "mlayout.h"
#include "mabstractlayoutpolicy.h"
#include "pages/musicextensionarea.h"
#include "pages/songdetailview.h"
#include "pages/songdetailwidget.h"
#include "pages/propertiescontainer.h"
#include "shell/mainwindow.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QPointer>

#include <memory>

using namespace Parlovance;

namespace {

const QString Album = QLatin1String(MusicExtensionArea::AlbumInterface);
const QString Artist = QLatin1String(MusicExtensionArea::ArtistInterface);
const QString Player = QLatin1String(MusicExtensionArea::PlayerInterface);

int liveExtensions = 0;
int liveWidgets = 0;

class TestWidget : public MWidget
{
public:
    explicit TestWidget(const QString& name)
    {
        setObjectName(name);
        setPreferredSize(480, 30);
        ++liveWidgets;
    }
    ~TestWidget() override { --liveWidgets; }
};

template <typename Base>
class TestExtension : public Base
{
public:
    explicit TestExtension(const QString& name)
        : shown(new TestWidget(name))
    {
        ++liveExtensions;
    }
    ~TestExtension() override
    {
        --liveExtensions;
        delete shown.data();
    }
    void setMediator(ApplicationActionMediator* given) override { mediator = given; }
    MWidget* widget() override { return shown; }

    ApplicationActionMediator* mediator = nullptr;
    QPointer<MWidget> shown;
};
using PlainExtension = TestExtension<AbstractExtensionWidget>;
using StoreExtension = TestExtension<AbstractStoreExtensionWidget>;

// An extension that shows nothing on a page.
class BareExtension : public MApplicationExtensionInterface
{
public:
    BareExtension() { ++liveExtensions; }
    ~BareExtension() override { --liveExtensions; }
};

// The names of the widgets the area lays out, top to bottom.
QStringList laidOut(MusicExtensionArea* area)
{
    QStringList names;
    MAbstractLayoutPolicy* policy = static_cast<MLayout*>(area->layout())->policy();
    for (int i = 0; i < policy->count(); ++i)
        names.append(dynamic_cast<QGraphicsWidget*>(policy->itemAt(i))->objectName());
    return names;
}

} // namespace

class TestExtensions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void areaTakesTheExtensionsOfItsInterfaceOnly();
    void storeWidgetsStandAboveTheOthers();
    void removalLaysTheRestOutAgain();
    void extensionThatIsNoWidgetIsNeverShown();
    void areaGoesWithItsExtensions();
    void pluginFromTheFolderServesOneAreaAtATime();
    void extensionPageShowsTheSubViewAndBackLeavesIt();
    void detailsPageShowsThePlayerExtensionsUnderTheSong();

private:
    template <typename T>
    void add(const QString& interfaceName, const QString& name = QString());
    qreal yOf(const QString& name) const;

    QList<int> handles;
    QHash<QString, MApplicationExtensionInterface*> made;
    std::unique_ptr<MainWindow> window;
};

template <typename T>
void TestExtensions::add(const QString& interfaceName, const QString& name)
{
    handles.append(ExtensionRegistry::registerExtension(interfaceName, [this, name]() {
        MApplicationExtensionInterface* extension;
        if constexpr (std::is_same<T, BareExtension>::value)
            extension = new BareExtension;
        else
            extension = new T(name);
        made.insert(name, extension);
        return extension;
    }));
}

qreal TestExtensions::yOf(const QString& name) const
{
    return dynamic_cast<AbstractExtensionWidget*>(made.value(name))->widget()->y();
}

void TestExtensions::initTestCase()
{
    qApp->setQuitOnLastWindowClosed(false);
}

void TestExtensions::cleanup()
{
    for (int handle : qAsConst(handles))
        ExtensionRegistry::unregisterExtension(handle);
    handles.clear();
    made.clear();
    QDir(ExtensionRegistry::folder()).removeRecursively();
}

void TestExtensions::cleanupTestCase()
{
    window.reset();
    QCOMPARE(liveExtensions, 0);
    QCOMPARE(liveWidgets, 0);
}

void TestExtensions::areaTakesTheExtensionsOfItsInterfaceOnly()
{
    add<PlainExtension>(Album, "lyrics");
    add<PlainExtension>(Artist, "biography");
    MusicExtensionArea area(Album, nullptr);
    QCOMPARE(area.extensionArea()->interfaceName(), Album);
    QCOMPARE(area.extensionArea()->extensions().size(), 1);
    QCOMPARE(laidOut(&area), QStringList({ "lyrics" }));
    auto* lyrics = static_cast<PlainExtension*>(made.value("lyrics"));
    QCOMPARE(lyrics->mediator, ApplicationActionMediator::instance());
    QCOMPARE(lyrics->shown->parentItem(), &area);
    QVERIFY(!made.contains("biography"));

    // One registered while the area lives joins it at once; a second init adds nothing.
    add<PlainExtension>(Album, "tabs");
    QCOMPARE(laidOut(&area), QStringList({ "lyrics", "tabs" }));
    QVERIFY(area.extensionArea()->init());
    QCOMPARE(area.extensionArea()->extensions().size(), 2);
}

void TestExtensions::storeWidgetsStandAboveTheOthers()
{
    add<PlainExtension>(Album, "first");
    add<StoreExtension>(Album, "shop A");
    add<PlainExtension>(Album, "second");
    add<StoreExtension>(Album, "shop B");
    MusicExtensionArea area(Album, nullptr);
    QCOMPARE(laidOut(&area), QStringList({ "shop B", "shop A", "first", "second" }));

    // Laid out top to bottom, and the area takes their height.
    QCOMPARE(area.effectiveSizeHint(Qt::PreferredSize).height(), 120.0);
    area.resize(480, 120);
    QCoreApplication::processEvents();
    QVERIFY(yOf("shop B") < yOf("shop A"));
    QVERIFY(yOf("shop A") < yOf("first"));
    QVERIFY(yOf("first") < yOf("second"));
}

void TestExtensions::removalLaysTheRestOutAgain()
{
    add<PlainExtension>(Album, "first");
    add<StoreExtension>(Album, "shop A");
    add<PlainExtension>(Album, "second");
    add<StoreExtension>(Album, "shop B");
    MusicExtensionArea area(Album, nullptr);
    QList<MApplicationExtensionInterface*> removed;
    connect(area.extensionArea(), &MApplicationExtensionArea::extensionRemoved, this,
            [&](MApplicationExtensionInterface* extension) {
                removed.append(extension);
                QVERIFY(!area.extensionArea()->extensions().contains(extension));
            });

    MApplicationExtensionInterface* first = made.value("first");
    ExtensionRegistry::unregisterExtension(handles.takeFirst());
    QCOMPARE(removed, QList<MApplicationExtensionInterface*>({ first }));
    QCOMPARE(laidOut(&area), QStringList({ "shop B", "shop A", "second" }));
    QCOMPARE(liveExtensions, 3);
    QCOMPARE(liveWidgets, 3);
    QCOMPARE(area.extensionArea()->extensions().size(), 3);

    ExtensionRegistry::unregisterExtension(handles.takeLast());
    QCOMPARE(laidOut(&area), QStringList({ "shop A", "second" }));
    QCOMPARE(area.effectiveSizeHint(Qt::PreferredSize).height(), 60.0);
}

void TestExtensions::extensionThatIsNoWidgetIsNeverShown()
{
    add<BareExtension>(Album, "bare");
    add<PlainExtension>(Album, "shown");
    MusicExtensionArea area(Album, nullptr);
    QCOMPARE(area.extensionArea()->extensions().size(), 2);
    QCOMPARE(laidOut(&area), QStringList({ "shown" }));

    ExtensionRegistry::unregisterExtension(handles.takeLast());
    QCOMPARE(laidOut(&area), QStringList());
    QCOMPARE(area.effectiveSizeHint(Qt::PreferredSize).height(), 0.0);
    QCOMPARE(liveExtensions, 1);
}

void TestExtensions::areaGoesWithItsExtensions()
{
    add<StoreExtension>(Player, "shop");
    add<PlainExtension>(Player, "plain");
    {
        MWidget page;
        new MusicExtensionArea(Player, &page);
        QCOMPARE(liveExtensions, 2);
        QCOMPARE(liveWidgets, 2);
    }
    QCOMPARE(liveExtensions, 0);
    QCOMPARE(liveWidgets, 0);

    // The registry no longer knows the area: registering and unregistering touch no dead one.
    add<PlainExtension>(Player, "later");
    QCOMPARE(liveExtensions, 0);
    ExtensionRegistry::unregisterExtension(handles.takeLast());
}

void TestExtensions::pluginFromTheFolderServesOneAreaAtATime()
{
    const QString folder = ExtensionRegistry::folder();
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::copy(QStringLiteral(EXTENSION_PLUGIN), folder + "/libfolderextension.so"));
    QFile junk(folder + "/libjunk.so");
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();
    add<PlainExtension>(Artist, "registered");

    auto artist = std::make_unique<MusicExtensionArea>(Artist, nullptr);
    QCOMPARE(laidOut(artist.get()), QStringList({ "folder extension", "registered" }));
    auto* plugin = dynamic_cast<QObject*>(artist->extensionArea()->extensions().first());
    QVERIFY(plugin);
    QCOMPARE(plugin->property("mediator").value<QObject*>(),
             static_cast<QObject*>(ApplicationActionMediator::instance()));

    MusicExtensionArea album(Album, nullptr);
    QCOMPARE(laidOut(&album), QStringList());

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("extension plug-in already in use by another area"));
    {
        MusicExtensionArea second(Artist, nullptr);
        QCOMPARE(laidOut(&second), QStringList({ "registered" }));
    }

    // Once the area that held it has gone, the next one gets a plug-in of its own.
    artist.reset();
    MusicExtensionArea again(Artist, nullptr);
    QCOMPARE(laidOut(&again), QStringList({ "folder extension", "registered" }));
}

void TestExtensions::extensionPageShowsTheSubViewAndBackLeavesIt()
{
    openWindow(&window);
    QVERIFY(window);
    window->goToPage(PageNowPlaying);
    QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));

    ApplicationInterface* application = ApplicationActionMediator::instance()
                                            ->applicationInterface();
    QVERIFY(application);
    TestWidget lyrics("lyrics page");
    application->showSubPage(&lyrics, QStringLiteral("Lyrics"));
    QTRY_COMPARE(window->currentPage(), int(PageExtension));
    MApplicationPage* page = window->cachedPage(PageExtension);
    QCOMPARE(page->centralWidget(), &lyrics);
    QCOMPARE(page->title(), QStringLiteral("Lyrics"));
    QTRY_VERIFY(lyrics.isVisible());

    // A newer sub view while the page shows replaces the first one on it.
    TestWidget chords("chords page");
    application->showSubPage(&chords, QStringLiteral("Chords"));
    QCOMPARE(window->currentPage(), int(PageExtension));
    QCOMPARE(page->centralWidget(), &chords);
    QCOMPARE(page->title(), QStringLiteral("Chords"));
    QVERIFY(!lyrics.isVisible());

    QMetaObject::invokeMethod(page, "backButtonClicked");
    QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
    QTRY_VERIFY(!page->isVisible());

    // The page lets the widgets go; they stay their extension's.
    application->showSubPage(nullptr, QString());
    QTRY_COMPARE(window->currentPage(), int(PageExtension));
    QVERIFY(page->centralWidget() != &chords);
    QVERIFY(!chords.isVisible());
    QMetaObject::invokeMethod(page, "backButtonClicked");
    QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
}

void TestExtensions::detailsPageShowsThePlayerExtensionsUnderTheSong()
{
    QVERIFY(window);
    add<PlainExtension>(Player, "player extension");
    window->goToPage(PageSongDetails, 1);
    QTRY_COMPARE(window->currentPage(), int(PageSongDetails));
    auto* details = qobject_cast<SongDetailView*>(window->cachedPage(PageSongDetails));
    QVERIFY(details && details->extensionArea());
    QCOMPARE(details->extensionArea()->extensionArea()->interfaceName(), Player);
    QCOMPARE(laidOut(details->extensionArea()), QStringList({ "player extension" }));
    QCoreApplication::processEvents();
    const qreal extensionY = details->extensionArea()->y();
    QVERIFY(details->detailWidget()->y() < extensionY);
    QVERIFY(extensionY < details->propertiesContainer()->y());
    QCOMPARE(details->extensionArea()->size().height(), 30.0);
}

PARLOVANCE_TEST_MAIN(TestExtensions)

#include "tst_extensions.moc"
