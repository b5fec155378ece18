#include "audiocontainers.h"
#include "audiogenerator.h"
#include "swaponopen.h"
#include "testenvironment.h"
#include "trackermediaart.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <sys/stat.h>

// The built program, driven from outside: its command line, its names on the session bus,
// the application service's launch, and a clean end.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void helpPrintsUsageAndStarts();
    void serviceOnlyStartWaitsForLaunch();
    void helpWithServiceOnly();
    void programNamedLikeTheSwitch();
    void secondStartHandsOverToTheRunningPlayer();
    void storeThatCannotOpenEndsTheProgram();
    void sigtermEndsTheProgramWhileItIndexes();
    void sigtermEndsTheProgramWhileALargeListPlays();
    void sigtermEndsTheProgramWhileASwappedFileIsAskedFor_data();
    void sigtermEndsTheProgramWhileASwappedFileIsAskedFor();
    void aPipeSentOverTheBusHoldsNothing();
    void slowStartsHoldUpNeitherTheLastRequestNorTheEnd();

public slots:
    void stateAnnounced(int state) { announcedStates << state; }

private:
    void start(const QString& program, const QStringList& arguments);
    void stopCleanly();
    static bool registered(const QString& name);
    int threadsNamed(const QByteArray& prefix) const;
    static QString usage(const QString& program);

    QProcess process;
    QList<int> announcedStates;
};

namespace {
const QString ApplicationService = QStringLiteral("com.vaspe.parlovance");
const QString PlaybackService = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService");
const int StartTimeoutMs = 30000;
// How soon the program ends once told to, whatever it still holds. A sanitizer build's own end
// (its check for leaks) takes a second or more.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
const int PromptEndMs = 3000;
#else
const int PromptEndMs = 1000;
#endif
} // namespace

bool TestEndToEnd::registered(const QString& name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

QString TestEndToEnd::usage(const QString& program)
{
    return QStringLiteral("Usage: ") + program
           + QStringLiteral("\n   [--help] Help for the Parlovance usage from command line\n");
}

int TestEndToEnd::threadsNamed(const QByteArray& prefix) const
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(process.processId());
    int count = 0;
    for (const QString& thread : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile name(tasks + QLatin1Char('/') + thread + QStringLiteral("/comm"));
        if (name.open(QIODevice::ReadOnly) && name.readAll().startsWith(prefix))
            ++count;
    }
    return count;
}

void TestEndToEnd::start(const QString& program, const QStringList& arguments)
{
    QVERIFY(!registered(ApplicationService));
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    QVERIFY2(process.waitForStarted(StartTimeoutMs), qPrintable(process.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(registered(ApplicationService), StartTimeoutMs);
}

void TestEndToEnd::stopCleanly()
{
    QCOMPARE(process.state(), QProcess::Running);
    process.terminate();
    QVERIFY(process.waitForFinished(StartTimeoutMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!registered(ApplicationService), StartTimeoutMs);
    QVERIFY(!registered(PlaybackService));
    // The program's own connections are checked too: Qt only logs the ones it cannot make.
    const QStringList log = QString::fromLocal8Bit(process.readAllStandardError()).split('\n');
    for (const QString& line : log)
        QVERIFY2(!TestEnvironment::isBadConnection(line), qPrintable(line));
}

void TestEndToEnd::cleanup()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
}

void TestEndToEnd::helpPrintsUsageAndStarts()
{
    start(QStringLiteral(PARLOVANCE_PROGRAM), { QStringLiteral("--help") });
    // A normal start shows the window; the playback service waits for the library.
    QVERIFY(!registered(PlaybackService));
    stopCleanly();
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardOutput()),
             usage(QStringLiteral(PARLOVANCE_PROGRAM)));
}

void TestEndToEnd::serviceOnlyStartWaitsForLaunch()
{
    start(QStringLiteral(PARLOVANCE_PROGRAM), { QStringLiteral("-servicefw") });
    QTRY_VERIFY_WITH_TIMEOUT(registered(PlaybackService), StartTimeoutMs);
    QVERIFY(process.readAllStandardOutput().isEmpty());

    const QDBusMessage launch = QDBusMessage::createMethodCall(
        ApplicationService, QStringLiteral("/"), QStringLiteral("com.vaspe.ApplicationService"),
        QStringLiteral("launch"));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(launch, QDBus::Block, 20000);
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    // Launching twice only raises the window.
    QCOMPARE(QDBusConnection::sessionBus().call(launch, QDBus::Block, 20000).type(),
             QDBusMessage::ReplyMessage);
    QCOMPARE(process.state(), QProcess::Running);
    stopCleanly();
}

void TestEndToEnd::helpWithServiceOnly()
{
    start(QStringLiteral(PARLOVANCE_PROGRAM),
          { QStringLiteral("-servicefw"), QStringLiteral("--help") });
    QTRY_VERIFY_WITH_TIMEOUT(registered(PlaybackService), StartTimeoutMs);
    stopCleanly();
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardOutput()),
             usage(QStringLiteral(PARLOVANCE_PROGRAM)));
}

void TestEndToEnd::programNamedLikeTheSwitch()
{
    // The shell's exec -a runs the program with "-servicefw" as its name (argv[0]).
    start(QStringLiteral("/bin/bash"),
          { QStringLiteral("-c"), QStringLiteral("exec -a -servicefw \"$0\""),
            QStringLiteral(PARLOVANCE_PROGRAM) });
    QTRY_VERIFY_WITH_TIMEOUT(registered(PlaybackService), StartTimeoutMs);
    stopCleanly();
}

void TestEndToEnd::secondStartHandsOverToTheRunningPlayer()
{
    start(QStringLiteral(PARLOVANCE_PROGRAM), { QStringLiteral("-servicefw") });
    QTRY_VERIFY_WITH_TIMEOUT(registered(PlaybackService), StartTimeoutMs);

    // A second copy would open the same store and settings as a second writer: it asks the
    // running one to show its window and ends.
    QProcess second;
    second.start(QStringLiteral(PARLOVANCE_PROGRAM), QStringList());
    QVERIFY(second.waitForFinished(StartTimeoutMs));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QByteArray firstLog;
    QTRY_VERIFY_WITH_TIMEOUT((firstLog += process.readAllStandardError()).contains("launched"),
                             StartTimeoutMs);

    // A second service-only start just ends: nothing asked for a window.
    second.start(QStringLiteral(PARLOVANCE_PROGRAM), { QStringLiteral("-servicefw") });
    QVERIFY(second.waitForFinished(StartTimeoutMs));
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(registered(ApplicationService));
    stopCleanly();
}

void TestEndToEnd::storeThatCannotOpenEndsTheProgram()
{
    // A file where the store's folder belongs: the library cannot open. The user is told so
    // and the program ends, instead of showing what would look like an empty library.
    const QString blocker = TestEnvironment::dataHome() + QStringLiteral("/parlovance");
    const QString aside = blocker + QStringLiteral(".aside");
    QVERIFY(!QFileInfo::exists(blocker) || QFile::rename(blocker, aside));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    process.start(QStringLiteral(PARLOVANCE_PROGRAM), QStringList());
    const bool ended = process.waitForFinished(StartTimeoutMs);
    QFile::remove(blocker);
    QVERIFY(!QFileInfo::exists(aside) || QFile::rename(aside, blocker));
    QVERIFY(ended);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains("failed to initialize"));
}

void TestEndToEnd::sigtermEndsTheProgramWhileItIndexes()
{
    // Songs enough to keep the indexer busy, and the files that once held it for ever: a pipe
    // and a link to a device with music names, a playlist numbered to the end of int, and a
    // pipe where a cover goes. The link's target is only looked at.
    const QString music = TestEnvironment::musicDir();
    AudioTags tags;
    tags.artist = QStringLiteral("Busy");
    tags.album = QStringLiteral("Bees");
    tags.cover = AudioGenerator::coverImage(Qt::yellow);
    QDir().mkpath(music + QStringLiteral("/busy"));
    for (int i = 0; i < 300; ++i) {
        tags.title = QStringLiteral("Busy %1").arg(i);
        QVERIFY(AudioGenerator::write(music + QStringLiteral("/busy/%1.ogg").arg(i), tags));
    }
    QVERIFY(::mkfifo(QFile::encodeName(music + QStringLiteral("/busy/pipe.mp3")).constData(), 0600)
            == 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), music + QStringLiteral("/busy/zero.mp3")));
    QFile far(music + QStringLiteral("/busy/far.pls"));
    QVERIFY(far.open(QIODevice::WriteOnly));
    far.write("[playlist]\nFile2147483647=x.ogg\n");
    far.close();
    const QString cover = TrackerMediaArt::albumArtPath(tags.artist, tags.album);
    QDir().mkpath(QFileInfo(cover).absolutePath());
    QVERIFY(::mkfifo(QFile::encodeName(cover).constData(), 0600) == 0);

    start(QStringLiteral(PARLOVANCE_PROGRAM), {});
    // The store is made on the way to the first scan.
    QTRY_VERIFY_WITH_TIMEOUT(
        QDir(TestEnvironment::dataHome() + QStringLiteral("/parlovance/store")).exists(),
        StartTimeoutMs);
    QTest::qWait(300);
    QElapsedTimer timer;
    timer.start();
    process.terminate();
    QVERIFY2(process.waitForFinished(3000), "the program did not end within 3 s of SIGTERM");
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    qInfo() << "ended" << timer.elapsed() << "ms after SIGTERM";
    TestEnvironment::wipeHome();
}

void TestEndToEnd::sigtermEndsTheProgramWhileALargeListPlays()
{
    // A list of half a million paths, two short songs in turn, played over the bus: the end of
    // the session finds it playing.
    const QString folder = TestEnvironment::home() + QStringLiteral("/Lists");
    QDir().mkpath(folder);
    QByteArray pair;
    for (const QString& title : { QStringLiteral("Alpha"), QStringLiteral("Beta") }) {
        const QString song = folder + QLatin1Char('/') + title + QStringLiteral(".ogg");
        AudioTags tags;
        tags.title = title;
        QVERIFY(AudioGenerator::write(song, tags, 2000));
        pair += QFile::encodeName(song) + '\n';
    }
    const QString listPath = folder + QStringLiteral("/half a million.txt");
    QFile list(listPath);
    QVERIFY(list.open(QIODevice::WriteOnly));
    QVERIFY(list.write(pair.repeated(250000)) == pair.size() * 250000);
    list.close();

    start(QStringLiteral(PARLOVANCE_PROGRAM), {});
    QTRY_VERIFY_WITH_TIMEOUT(registered(PlaybackService), StartTimeoutMs);
    const QString interface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");
    QVERIFY(QDBusConnection::sessionBus().connect(PlaybackService, QStringLiteral("/"), interface,
                                                  QStringLiteral("playbackStateChanged"), this,
                                                  SLOT(stateAnnounced(int))));
    announcedStates.clear();
    QDBusMessage play = QDBusMessage::createMethodCall(PlaybackService, QStringLiteral("/"),
                                                       interface, QStringLiteral("playPlaylist"));
    play.setArguments({ QStringList { listPath } });
    QCOMPARE(QDBusConnection::sessionBus().call(play, QDBus::Block, 10000).type(),
             QDBusMessage::ReplyMessage);
    // Playing, on to its second item.
    QTRY_VERIFY_WITH_TIMEOUT(announcedStates.count(1) >= 2, StartTimeoutMs);
    QDBusConnection::sessionBus().disconnect(PlaybackService, QStringLiteral("/"), interface,
                                             QStringLiteral("playbackStateChanged"), this,
                                             SLOT(stateAnnounced(int)));

    QElapsedTimer timer;
    timer.start();
    process.terminate();
    QVERIFY2(process.waitForFinished(10000), "the program did not end within 10 s of SIGTERM");
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    qInfo() << "ended" << timer.elapsed() << "ms after SIGTERM";
    TestEnvironment::wipeHome();
}

void TestEndToEnd::sigtermEndsTheProgramWhileASwappedFileIsAskedFor_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("swapped");
    const QString song = QStringLiteral("Downloads/song.mp3");
    const QString list = QStringLiteral("Downloads/list.m3u");
    QTest::newRow("a song") << QStringLiteral("play") << song << song;
    QTest::newRow("a list's entry") << QStringLiteral("playPlaylist") << list << song;
    QTest::newRow("a list") << QStringLiteral("playPlaylist") << list << list;
}

void TestEndToEnd::sigtermEndsTheProgramWhileASwappedFileIsAskedFor()
{
    // A file named over the bus is a regular file while the window's thread looks at it, and a
    // named pipe that no one writes from the first open on another thread, as a rename a few
    // milliseconds after the call leaves it. Nothing the program does may wait on the pipe:
    // what it opened plays, and the end of the session still ends it.
    QFETCH(QString, method);
    QFETCH(QString, asked);
    QFETCH(QString, swapped);
    const QString home = TestEnvironment::home() + QLatin1Char('/');
    QDir().mkpath(home + QStringLiteral("Downloads"));
    AudioTags tags;
    tags.title = QStringLiteral("Swapped");
    QVERIFY(AudioGenerator::write(home + QStringLiteral("Downloads/song.mp3"), tags, 20000));
    QFile list(home + QStringLiteral("Downloads/list.m3u"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write(QFile::encodeName(home + QStringLiteral("Downloads/song.mp3")) + '\n');
    list.close();
    const QString pipe = home + QStringLiteral("Downloads/pipe");
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);

    start(QStringLiteral(PARLOVANCE_PROGRAM), {});
    QTRY_VERIFY_WITH_TIMEOUT(registered(PlaybackService), StartTimeoutMs);
    SwapOnOpen swap(home + swapped, pipe, pid_t(process.processId()));
    if (!swap.available())
        QSKIP("opens cannot be held here (fanotify needs CAP_SYS_ADMIN)");
    const QString interface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");
    auto call = [&](const QString& name, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(PlaybackService, QStringLiteral("/"),
                                                              interface, name);
        message.setArguments(arguments);
        return QDBusConnection::sessionBus().call(message, QDBus::Block, 10000);
    };
    const QDBusMessage reply = call(method, { QStringList { home + asked } });
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
    QTRY_VERIFY_WITH_TIMEOUT(swap.swapped(), StartTimeoutMs);
    // What was opened before the swap is the song, and it is what plays.
    const bool plays = QTest::qWaitFor(
        [&] { return call(QStringLiteral("playbackState"), {}).arguments().value(0) == 1; },
        StartTimeoutMs);

    QElapsedTimer timer;
    timer.start();
    process.terminate();
    const bool ended = process.waitForFinished(3000);
    const qint64 took = timer.elapsed();
    // A reader still held on the pipe goes on, so that a program that did not end can be ended.
    swap.releaseReaders();
    QVERIFY2(ended, "the program did not end within 3 s of SIGTERM");
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(plays, "the song did not play");
    qInfo() << "ended" << took << "ms after SIGTERM";
    TestEnvironment::wipeHome();
}

void TestEndToEnd::aPipeSentOverTheBusHoldsNothing()
{
    // A named pipe opened for reading waits for a writer for ever. Sent as a song by another
    // program, as a path or a file URL, it must stop neither the answers on the bus nor the
    // window nor the end of the program.
    const QString pipe = QDir::homePath() + QStringLiteral("/pipe.ogg");
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    start(QStringLiteral(PARLOVANCE_PROGRAM), { QStringLiteral("-servicefw") });
    QTRY_VERIFY_WITH_TIMEOUT(registered(PlaybackService), StartTimeoutMs);
    const QString interface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");
    auto call = [&](const QString& method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(PlaybackService, QStringLiteral("/"),
                                                              interface, method);
        message.setArguments(arguments);
        return QDBusConnection::sessionBus().call(message, QDBus::Block, 10000);
    };
    for (const QString& uri : { pipe, QUrl::fromLocalFile(pipe).toString() }) {
        for (const char* method : { "play", "playTempFile", "playPlaylist" }) {
            const QDBusMessage reply = call(QLatin1String(method), { QStringList { uri } });
            QVERIFY2(reply.type() == QDBusMessage::ReplyMessage,
                     qPrintable(QLatin1String(method) + QLatin1Char(' ') + reply.errorMessage()));
        }
    }
    const QDBusMessage state = call(QStringLiteral("playbackState"), {});
    QCOMPARE(state.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(state.arguments().value(0).toInt(), 0);
    const QDBusMessage launch = QDBusMessage::createMethodCall(
        ApplicationService, QStringLiteral("/"), QStringLiteral("com.vaspe.ApplicationService"),
        QStringLiteral("launch"));
    QCOMPARE(QDBusConnection::sessionBus().call(launch, QDBus::Block, 10000).type(),
             QDBusMessage::ReplyMessage);
    stopCleanly();
    QFile::remove(pipe);
}

void TestEndToEnd::slowStartsHoldUpNeitherTheLastRequestNorTheEnd()
{
    // M4A files whose item lists keep GStreamer's demuxer busy for some 15 to 25 s each (its
    // pipeline cannot be taken down before), asked for one after the other as each starts,
    // then a good song: the song plays at once, and the end of the session ends the program
    // at once, whatever the slow starts still hold.
    const QString home = TestEnvironment::home() + QStringLiteral("/Downloads/");
    QDir().mkpath(home);
    const QByteArray slow = mp4FileOfTitles(60000);
    for (int i = 0; i < 4; ++i) {
        QFile file(home + QStringLiteral("slow-%1.m4a").arg(i));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(slow) == slow.size());
    }
    AudioTags tags;
    tags.title = QStringLiteral("Good after slow");
    QVERIFY(AudioGenerator::write(home + QStringLiteral("good.ogg"), tags, 20000));

    start(QStringLiteral(PARLOVANCE_PROGRAM), {});
    QTRY_VERIFY_WITH_TIMEOUT(registered(PlaybackService), StartTimeoutMs);
    const QString interface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");
    auto call = [&](const QString& name, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(PlaybackService, QStringLiteral("/"),
                                                              interface, name);
        message.setArguments(arguments);
        return QDBusConnection::sessionBus().call(message, QDBus::Block, 10000);
    };
    for (int i = 0; i < 4; ++i) {
        const QString path = home + QStringLiteral("slow-%1.m4a").arg(i);
        QCOMPARE(call(QStringLiteral("play"), { QStringList { path } }).type(),
                 QDBusMessage::ReplyMessage);
        // Its demuxer at work, on a streaming thread named after it.
        QTRY_COMPARE_WITH_TIMEOUT(threadsNamed("qtdemux"), i + 1, StartTimeoutMs);
    }
    QElapsedTimer asked;
    asked.start();
    QCOMPARE(call(QStringLiteral("play"), { QStringList { home + QStringLiteral("good.ogg") } })
                 .type(),
             QDBusMessage::ReplyMessage);
    const bool plays = QTest::qWaitFor(
        [&] { return call(QStringLiteral("playbackState"), {}).arguments().value(0) == 1; },
        5000);
    qInfo() << (plays ? "the song played" : "the song was not playing") << asked.elapsed()
            << "ms after it was asked for";
    const int demuxers = threadsNamed("qtdemux");

    QElapsedTimer timer;
    timer.start();
    process.terminate();
    const bool ended = process.waitForFinished(PromptEndMs);
    // How long it takes all the same, when it does not end in time.
    QVERIFY(ended || process.waitForFinished(StartTimeoutMs));
    qInfo() << "ended" << timer.elapsed() << "ms after SIGTERM";
    QVERIFY2(plays, "the song did not play within 5 s of the slow starts");
    QCOMPARE(demuxers, 4);
    QVERIFY2(ended, qPrintable(QStringLiteral("the program did not end within %1 ms of SIGTERM")
                                   .arg(PromptEndMs)));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    TestEnvironment::wipeHome();
}

PARLOVANCE_TEST_MAIN_CORE(TestEndToEnd)
#include "tst_e2e.moc"
