// The player sheet's window as the window system sees it: the built program on an X display of
// a phone's size, a file handed to it over the bus as another program does, and the windows
// closed the way a window manager closes them (WM_DELETE_WINDOW). The sheet covers the screen,
// outlives the main window while it plays, and the program ends when its last window closes,
// also when the close comes while the start is still reading a large library or while a finger
// holds a row of a list. A start for the bus alone outlives its sheets until a program has
// launched its main window.

#include "playerdriver.h"
#include "testenvironment.h"
#include "virtualdisplay.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QDirIterator>
#include <QGuiApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QUrl>

#include <xcb/xcb.h>

namespace {

const int ScreenWidth = 480;
const int ScreenHeight = 854;
const int Timeout = 30000;
const int Stopped = 0;
const int Playing = 1;
const QString ApplicationService = QStringLiteral("com.vaspe.parlovance");
const QString PlaybackService = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService");

struct ShownWindow
{
    xcb_window_t id = 0;
    QRect geometry;
};

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return value;
}

// The program's windows that show on the display (mapped top-level windows carrying its pid),
// in stacking order from the bottom.
QList<ShownWindow> shownWindows(qint64 pid)
{
    QList<ShownWindow> found;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return found;
    }
    const xcb_atom_t pidAtom = atom(connection, "_NET_WM_PID");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection,
                                                        xcb_query_tree(connection, root), nullptr);
    const int count = tree ? xcb_query_tree_children_length(tree) : 0;
    const xcb_window_t* children = tree ? xcb_query_tree_children(tree) : nullptr;
    for (int i = 0; i < count; ++i) {
        const xcb_window_t window = children[i];
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, window), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        free(attributes);
        xcb_get_property_reply_t* property = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1),
            nullptr);
        const bool ours = property && xcb_get_property_value_length(property) == 4
                          && *static_cast<const uint32_t*>(xcb_get_property_value(property))
                                 == uint32_t(pid);
        free(property);
        xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(
            connection, xcb_get_geometry(connection, window), nullptr);
        if (viewable && ours && geometry)
            found.append(
                { window, QRect(geometry->x, geometry->y, geometry->width, geometry->height) });
        free(geometry);
    }
    free(tree);
    xcb_disconnect(connection);
    return found;
}

// What a window manager sends when the user closes a window. The server has taken the message
// before the connection ends: a request still on its way when the sender hangs up may be
// dropped with the connection.
void closeWindow(xcb_window_t window)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(connection, "WM_PROTOCOLS");
    event.data.data32[0] = atom(connection, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    free(xcb_request_check(connection,
                           xcb_send_event_checked(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                  reinterpret_cast<const char*>(&event))));
    xcb_disconnect(connection);
}

// Closes the window as a user does, with one click: a close is answered, whenever it comes.
bool closedByOneClick(qint64 pid, xcb_window_t window)
{
    closeWindow(window);
    return QTest::qWaitFor(
        [&] {
            for (const ShownWindow& shown : shownWindows(pid)) {
                if (shown.id == window)
                    return false;
            }
            return true;
        },
        Timeout);
}

bool onTheBus(const QString& name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

} // namespace

class TestSheetWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void closingTheOnlyWindowEndsTheProgram();
    void sheetCoversTheScreenAndOutlivesTheMainWindow();
    void aFileReplacedByALibrarySongLeavesNoWindow();
    void aCloseWhileALargeLibraryIsReadEndsTheProgram();
    void aCloseWhileAFingerHoldsARowEndsTheProgram();
    void aStartForTheBusOutlivesItsSheetUntilLaunched();

private:
    void startPlayer();
    void look(const QString& name);
    void cancelSheet();

    PlayerDriver player { QStringLiteral(PARLOVANCE_PROGRAM) };
    QString song;
};

void TestSheetWindow::initTestCase()
{
    QCOMPARE(QProcess::execute(QStringLiteral(PARLOVANCE_MAKE_LIBRARY),
                               { TestEnvironment::musicDir(), QStringLiteral("3"),
                                 QStringLiteral("60") }),
             0);
    // A file from elsewhere, as a browser or a messaging program hands it over.
    QDir(TestEnvironment::home()).mkpath(QStringLiteral("Downloads"));
    song = TestEnvironment::home() + QStringLiteral("/Downloads/Evening Broadcast.ogg");
    QCOMPARE(QProcess::execute(QStringLiteral(PARLOVANCE_MAKE_LIBRARY),
                               { QStringLiteral("--song"), song,
                                 QStringLiteral("Evening Broadcast"), QStringLiteral("Nadia Orr"),
                                 QStringLiteral("Night Air"), QStringLiteral("Jazz"),
                                 QStringLiteral("1"), QStringLiteral("240") }),
             0);
}

void TestSheetWindow::cleanup()
{
    if (QTest::currentTestFailed())
        qInfo().noquote() << "the program's log:\n" + player.log().right(4000);
    if (player.isRunning())
        player.stop();
}

void TestSheetWindow::startPlayer()
{
    QVERIFY2(player.start(), qPrintable(player.log()));
    // The main page is up with the library, as a user finds it before closing anything.
    QTRY_VERIFY_WITH_TIMEOUT(player.shows(QStringLiteral("Artists")), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(shownWindows(player.processId()).size(), 1, Timeout);
}

void TestSheetWindow::look(const QString& name)
{
    player.screenshot().save(TestEnvironment::screenshotDir()
                             + QStringLiteral("/sheet-%1.png").arg(name));
}

void TestSheetWindow::cancelSheet()
{
    QRect cancel;
    QTRY_VERIFY_WITH_TIMEOUT(!(cancel = player.find(QStringLiteral("Cancel"))).isEmpty(), Timeout);
    player.tap(cancel.center());
}

void TestSheetWindow::closingTheOnlyWindowEndsTheProgram()
{
    startPlayer();
    if (QTest::currentTestFailed())
        return;
    QVERIFY(closedByOneClick(player.processId(), shownWindows(player.processId()).first().id));
    QTRY_VERIFY_WITH_TIMEOUT(!player.isRunning(), Timeout);
    QCOMPARE(player.exitStatus(), QProcess::NormalExit);
    QCOMPARE(player.exitCode(), 0);
}

void TestSheetWindow::sheetCoversTheScreenAndOutlivesTheMainWindow()
{
    startPlayer();
    if (QTest::currentTestFailed())
        return;
    const xcb_window_t mainWindow = shownWindows(player.processId()).first().id;

    player.call(QStringLiteral("playTempFile"),
                { QStringList { QUrl::fromLocalFile(song).toString() } });
    QTRY_COMPARE_WITH_TIMEOUT(shownWindows(player.processId()).size(), 2, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    ShownWindow sheet;
    for (const ShownWindow& window : shownWindows(player.processId())) {
        if (window.id != mainWindow)
            sheet = window;
    }
    QVERIFY(sheet.id != 0);
    // Nothing of the window behind shows beside or below it.
    QCOMPARE(sheet.geometry, QRect(0, 0, ScreenWidth, ScreenHeight));
    QTRY_VERIFY_WITH_TIMEOUT(player.shows(QStringLiteral("Evening Broadcast")), Timeout);
    look(QStringLiteral("covers-the-screen"));

    QVERIFY(closedByOneClick(player.processId(), mainWindow));
    QCOMPARE(shownWindows(player.processId()).size(), 1);
    // Given time to end, had closing the main window ended it.
    QTest::qWait(3000);
    QVERIFY(player.isRunning());
    QVERIFY(onTheBus(PlaybackService));
    QCOMPARE(player.playbackState(), Playing);
    QCOMPARE(shownWindows(player.processId()).first().id, sheet.id);
    look(QStringLiteral("plays-after-the-main-window-closed"));

    // The sheet's window was the last one: closing it ends the stream and the program.
    QVERIFY(closedByOneClick(player.processId(), sheet.id));
    QTRY_VERIFY_WITH_TIMEOUT(!player.isRunning(), Timeout);
    QCOMPARE(player.exitStatus(), QProcess::NormalExit);
    QCOMPARE(player.exitCode(), 0);
    QVERIFY(!onTheBus(PlaybackService));
}

void TestSheetWindow::aCloseWhileALargeLibraryIsReadEndsTheProgram()
{
    // Songs copied in while the program was away: the start reads them all, and the indexer's
    // report that it has begun (which takes the window to its main page) comes in while the
    // user may already have closed the window. The program ends all the same, at each try.
    QCOMPARE(QProcess::execute(QStringLiteral(PARLOVANCE_MAKE_LIBRARY),
                               { TestEnvironment::musicDir() + QStringLiteral("/Copied"),
                                 QStringLiteral("2000"), QStringLiteral("1") }),
             0);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) {
            // The next start reads the copied songs again.
            const QString store = TestEnvironment::home()
                                  + QStringLiteral("/.local/share/parlovance");
            QVERIFY(QDir(store).removeRecursively());
        }
        QVERIFY(player.launch());
        QList<ShownWindow> shown;
        QTRY_VERIFY_WITH_TIMEOUT(!(shown = shownWindows(player.processId())).isEmpty(), Timeout);
        QVERIFY2(closedByOneClick(player.processId(), shown.first().id),
                 qPrintable(QStringLiteral("attempt %1").arg(attempt)));
        QTRY_VERIFY_WITH_TIMEOUT(!player.isRunning(), Timeout);
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 0);
    }
    // The cases after this one start on the small library again, read at once: a start that
    // read the copied songs would take the window to its main page while they are read.
    QVERIFY(QDir(TestEnvironment::musicDir() + QStringLiteral("/Copied")).removeRecursively());
    QVERIFY(QDir(TestEnvironment::home() + QStringLiteral("/.local/share/parlovance"))
                .removeRecursively());
}

void TestSheetWindow::aCloseWhileAFingerHoldsARowEndsTheProgram()
{
    // Songs, a finger on a row, and the window asked to close: a moment after the press, when
    // the press turns into a long tap, or after the long tap's menu has come and the finger
    // has gone. Each close is the only one.
    enum When { SoonAfterThePress, AsTheHoldEnds, AfterTheRelease };
    for (When when : { SoonAfterThePress, AsTheHoldEnds, AfterTheRelease }) {
        startPlayer();
        if (QTest::currentTestFailed())
            return;
        // A start that still reads the library takes the tap on Songs once it is done.
        QRect shuffle;
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QRect songs = player.find(QStringLiteral("Songs"));
                if (!songs.isEmpty() && player.find(QStringLiteral("Shuffle")).isEmpty())
                    player.tap(songs.center());
                return QTest::qWaitFor(
                    [&] { return !(shuffle = player.find(QStringLiteral("Shuffle"))).isEmpty(); },
                    2000);
            },
            Timeout));
        // A song's row: a title some way below the shuffle row.
        QRect row;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const PlayerDriver::ShownText& shown : player.shownTexts()) {
                    if (shown.rect.top() > shuffle.bottom() + 40 && shown.rect.bottom() < 700)
                        row = shown.rect;
                }
                return !row.isEmpty();
            }(),
            Timeout);
        const xcb_window_t window = shownWindows(player.processId()).first().id;
        player.press(row.center());
        // A case that fails with the finger down lets go of it, or the display keeps the
        // button pressed for every case after it.
        auto letGo = qScopeGuard([this] { player.release(); });
        if (when == SoonAfterThePress) {
            QTest::qWait(300);
        } else if (when == AsTheHoldEnds) {
            QTest::qWait(800);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(player.shows(QStringLiteral("Add to queue")), Timeout);
            player.release();
        }
        const bool closed = closedByOneClick(player.processId(), window);
        letGo.dismiss();
        player.release();
        QVERIFY2(closed, qPrintable(QStringLiteral("close %1").arg(int(when))));
        QTRY_VERIFY_WITH_TIMEOUT(!player.isRunning(), Timeout);
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 0);
    }
}

void TestSheetWindow::aStartForTheBusOutlivesItsSheetUntilLaunched()
{
    QVERIFY2(player.start({ QStringLiteral("-servicefw") }), qPrintable(player.log()));
    QVERIFY(shownWindows(player.processId()).isEmpty());
    const QVariantList file { QStringList { QUrl::fromLocalFile(song).toString() } };

    // Another program plays a file; the user cancels its sheet, then the only window.
    player.call(QStringLiteral("playTempFile"), file);
    QTRY_COMPARE_WITH_TIMEOUT(shownWindows(player.processId()).size(), 1, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(player.shows(QStringLiteral("Evening Broadcast")), Timeout);
    look(QStringLiteral("for-the-bus"));
    cancelSheet();
    QTRY_VERIFY_WITH_TIMEOUT(shownWindows(player.processId()).isEmpty(), Timeout);
    // Still there for the next program: it answers, and plays again.
    QCOMPARE(player.playbackState(), Stopped);
    QVERIFY(onTheBus(PlaybackService));
    player.call(QStringLiteral("playTempFile"), file);
    QTRY_COMPARE_WITH_TIMEOUT(shownWindows(player.processId()).size(), 1, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    const xcb_window_t sheet = shownWindows(player.processId()).first().id;

    // Launched, the main window comes beside the sheet; the sheet still outlives it, and the
    // sheet's window, the last one, ends the program.
    const QDBusMessage launch = QDBusMessage::createMethodCall(
        ApplicationService, QStringLiteral("/"), QStringLiteral("com.vaspe.ApplicationService"),
        QStringLiteral("launch"));
    QCOMPARE(QDBusConnection::sessionBus().call(launch, QDBus::Block, Timeout).type(),
             QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(shownWindows(player.processId()).size(), 2, Timeout);
    xcb_window_t mainWindow = 0;
    for (const ShownWindow& window : shownWindows(player.processId())) {
        if (window.id != sheet)
            mainWindow = window.id;
    }
    QVERIFY(closedByOneClick(player.processId(), mainWindow));
    QCOMPARE(player.playbackState(), Playing);
    QVERIFY(player.isRunning());
    QVERIFY(closedByOneClick(player.processId(), sheet));
    QTRY_VERIFY_WITH_TIMEOUT(!player.isRunning(), Timeout);
    QCOMPARE(player.exitStatus(), QProcess::NormalExit);
    QCOMPARE(player.exitCode(), 0);
}

void TestSheetWindow::aFileReplacedByALibrarySongLeavesNoWindow()
{
    startPlayer();
    if (QTest::currentTestFailed())
        return;
    const xcb_window_t mainWindow = shownWindows(player.processId()).first().id;
    QDirIterator songs(TestEnvironment::musicDir(), { QStringLiteral("*.ogg") }, QDir::Files,
                       QDirIterator::Subdirectories);
    QVERIFY(songs.hasNext());
    const QString librarySong = songs.next();

    // Another program hands over a file, then at once a song of the library: the song plays in
    // the main window, and nothing is left of the file's sheet.
    player.call(QStringLiteral("playTempFile"),
                { QStringList { QUrl::fromLocalFile(song).toString() } });
    player.call(QStringLiteral("play"), { QStringList { librarySong } });
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(player.media().value(0), QStringLiteral("0"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(shownWindows(player.processId()).size(), 1, Timeout);
    QCOMPARE(shownWindows(player.processId()).first().id, mainWindow);
    look(QStringLiteral("after-a-library-song-replaced-the-file"));

    // The main window was the only one: closing it ends the program.
    QVERIFY(closedByOneClick(player.processId(), mainWindow));
    QTRY_VERIFY_WITH_TIMEOUT(!player.isRunning(), Timeout);
    QCOMPARE(player.exitStatus(), QProcess::NormalExit);
    QCOMPARE(player.exitCode(), 0);
}

int main(int argc, char** argv)
{
    TestEnvironment::prepare();
    VirtualDisplay display;
    if (!display.start(ScreenWidth, ScreenHeight))
        return 1;
    // The test's own application only takes screenshots of the display.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    TestSheetWindow test;
    QTEST_SET_MAIN_SOURCE_PATH
    return TestEnvironment::exec(&test, argc, argv);
}

#include "tst_sheetwindow.moc"
