// The thumbnailer thread: covers of an indexed library read, scaled and kept as thumbnails on
// the worker, text covers as the fallback, answers by queued calls; and its life: listeners
// that go away, requests that race the end of the thread, the thread stopped while busy.

#include "albumart/albumartcacheitem.h"
#include "albumart/thumbnailerthread.h"
#include "fixturelibrary.h"
#include "testenvironment.h"
#include "thumbnaillistener.h"
#include "trackermediaart.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest/QtTest>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// The worker runs at idle priority, so on a busy machine it may wait long for the processor.
const int AnswerTimeoutMs = 60000;

const char* const AllFlavors[] = { "common", "music-grid", "nowPlayingLabel", "half-screen" };

AlbumArtCacheItem cover(const QString& album, const QString& artist,
                        const QString& flavor = QStringLiteral("music-grid"), bool generate = true)
{
    AlbumArtCacheItem item(album, artist, flavor, AlbumArtType::AlbumArt);
    item.generate = generate;
    return item;
}

void writeMediaArt(const QString& artist, const QString& album, const QColor& colour,
                   const QDateTime& modified = {})
{
    QImage picture(600, 600, QImage::Format_RGB32);
    picture.fill(colour);
    const QString path = TrackerMediaArt::albumArtPath(artist, album);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(picture.save(path, "JPEG"));
    if (modified.isValid()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
}

// The call that holds the worker: an object without data of its own, invoked by name, so that
// nothing the two threads share passes through Qt's queue unseen by the thread sanitizer.
class WorkerHoldCall : public QObject
{
    Q_OBJECT

public slots:
    void holdHere();
};

// Holds the worker's event loop in a call of its own until released, so that what the test does
// meanwhile happens while the worker does nothing; released on every way out of the test, or the
// worker would never end. One hold at a time. What the two threads share goes through a standard
// mutex, which the thread sanitizer sees (it does not see the locks inside Qt's event queue):
// the call posted to the worker carries nothing.
class WorkerHold
{
public:
    // What the worker does once released, before its loop goes on.
    enum Then {
        Nothing,
        // Handles a wake-up, as one posted earlier would be, and makes one step, as the step
        // timer would.
        WakeUpAndStep
    };

    explicit WorkerHold(QThread* worker, Then then = Nothing)
    {
        {
            std::lock_guard<std::mutex> lock(state().mutex);
            state().reset(worker, then);
        }
        // Made here, it goes to the worker and is deleted there.
        auto* call = new WorkerHoldCall;
        call->moveToThread(worker);
        QMetaObject::invokeMethod(call, "holdHere", Qt::QueuedConnection);
    }
    ~WorkerHold() { release(); }

    // Whether the worker is held now.
    bool waitHeld()
    {
        return waitFor([] { return state().entered; });
    }
    void release()
    {
        {
            std::lock_guard<std::mutex> lock(state().mutex);
            state().released = true;
        }
        state().changed.notify_all();
    }
    // Whether the worker did what it was to do once released.
    bool done()
    {
        return waitFor([] { return state().finished; }) && state().thenDone;
    }

private:
    struct State
    {
        std::mutex mutex;
        std::condition_variable changed;
        QThread* worker = nullptr;
        Then then = Nothing;
        bool entered = false;
        bool released = false;
        bool finished = false;
        bool thenDone = false;

        void reset(QThread* w, Then t)
        {
            worker = w;
            then = t;
            entered = released = finished = thenDone = false;
        }
    };

    static State& state()
    {
        static State shared;
        return shared;
    }

    template <typename Condition>
    static bool waitFor(Condition condition)
    {
        std::unique_lock<std::mutex> lock(state().mutex);
        return state().changed.wait_for(lock, std::chrono::milliseconds(AnswerTimeoutMs),
                                        condition);
    }

public:
    // Runs on the worker.
    static void holdHere()
    {
        QThread* worker = nullptr;
        Then then = Nothing;
        {
            std::unique_lock<std::mutex> lock(state().mutex);
            state().entered = true;
            state().changed.notify_all();
            state().changed.wait(lock, [] { return state().released; });
            worker = state().worker;
            then = state().then;
        }
        bool thenDone = true;
        if (then == WakeUpAndStep) {
            thenDone = QMetaObject::invokeMethod(worker, "doQuit", Qt::DirectConnection)
                       && QMetaObject::invokeMethod(worker, "processRequestStack",
                                                    Qt::DirectConnection);
        }
        {
            std::lock_guard<std::mutex> lock(state().mutex);
            state().finished = true;
            state().thenDone = thenDone;
        }
        state().changed.notify_all();
    }
};

void WorkerHoldCall::holdHere()
{
    WorkerHold::holdHere();
    deleteLater();
}

void setModified(const QString& path, const QDateTime& modified)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

} // namespace

class TestThumbnailer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void libraryCoversComeScaledForEveryFlavor();
    void secondRequestIsServedFromTheThumbnail();
    void thumbnailOlderThanItsPictureIsRebuilt();
    void thumbnailWithoutItsPictureIsDeleted();
    void pictureThatDoesNotDecodeIsDeleted();
    void picturesAreSizedBeforeTheyAreDecoded();
    void repeatedRequestsAreServedOnce();
    void everyListenerOfOneCoverIsAnswered();
    void listenerThatNeverRegisteredGetsNothing();
    void listenerDeletedWithRequestsWaitingGetsNothing();
    void requestAddedWhileTheLoopEndsIsServed();
    void requestTakenBeforeItsWakeUpIsServed();
    void idleThreadEndsAndStartsAgain();
    void busyThreadStopsWhenDeleted();

private:
    // Asks for the item and waits for the listener's next answer.
    bool ask(ThumbnailListener& listener, const AlbumArtCacheItem& item);

    std::unique_ptr<ThumbnailerThread> thread;
};

void TestThumbnailer::initTestCase()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    // The indexer has put the embedded cover of Kim's "Blue" into the media-art store.
    QVERIFY(QFile::exists(TrackerMediaArt::albumArtPath("Kim", "Blue")));
}

void TestThumbnailer::init()
{
    QDir(QDir::homePath() + "/.cache/parlovance").removeRecursively();
    thread.reset(new ThumbnailerThread);
}

void TestThumbnailer::cleanup()
{
    thread.reset();
}

bool TestThumbnailer::ask(ThumbnailListener& listener, const AlbumArtCacheItem& item)
{
    const int before = listener.answers.size();
    thread->addRequest(item, &listener);
    QSignalSpy answered(&listener, &ThumbnailListener::answered);
    return listener.answers.size() > before || answered.wait(AnswerTimeoutMs);
}

void TestThumbnailer::libraryCoversComeScaledForEveryFlavor()
{
    ThumbnailListener listener(thread.get());
    for (const char* flavor : AllFlavors) {
        const QSize square = AlbumArtCacheItem::flavorSize(flavor);
        AlbumArtCacheItem blue = cover("Blue", "Kim", flavor);
        blue.userData = QStringLiteral("row 3");
        QVERIFY(ask(listener, blue));
        const ThumbnailListener::Answer found = listener.answers.last();
        QVERIFY2(found.ready, flavor);
        QVERIFY(found.onOwnThread);
        QCOMPARE(found.image.size(), square);
        QCOMPARE(found.item.userData, QVariant(QStringLiteral("row 3")));
        QCOMPARE(QImage(blue.thumbnailPath(), "JPEG").size(), square);
        // The cover is the blue picture the song carries.
        const QRgb corner = found.image.pixel(2, 2);
        QVERIFY(qBlue(corner) > 200 && qRed(corner) < 60);

        // Kim's "Red" has no picture: a text cover, saved as PNG.
        AlbumArtCacheItem red = cover("Red", "Kim", flavor);
        QVERIFY(ask(listener, red));
        const ThumbnailListener::Answer generated = listener.answers.last();
        QVERIFY(!generated.ready);
        QCOMPARE(generated.image.size(), square);
        QCOMPARE(QImage(red.generatedPath(), "PNG").size(), square);
        QVERIFY(!QFile::exists(red.thumbnailPath()));
    }
}

void TestThumbnailer::secondRequestIsServedFromTheThumbnail()
{
    writeMediaArt("Kim", "Sea", Qt::green, QDateTime::currentDateTime().addSecs(-600));
    ThumbnailListener listener(thread.get());
    AlbumArtCacheItem sea = cover("Sea", "Kim");
    QVERIFY(ask(listener, sea));
    QVERIFY(listener.answers.last().ready);
    const QString thumbnail = sea.thumbnailPath();
    const QDateTime made = QFileInfo(thumbnail).lastModified();

    // The picture is now bytes that do not decode, still older than the thumbnail: a decode
    // would fail and delete it, so its survival shows it was not read.
    const QString mediaArt = sea.mediaArtPath();
    {
        QFile file(mediaArt);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("not a picture");
    }
    setModified(mediaArt, QDateTime::currentDateTime().addSecs(-600));
    QVERIFY(ask(listener, sea));
    QVERIFY(listener.answers.last().ready);
    QCOMPARE(listener.answers.last().image.size(), QSize(156, 156));
    QVERIFY(QFile::exists(mediaArt));
    QCOMPARE(QFileInfo(thumbnail).lastModified(), made);
}

void TestThumbnailer::thumbnailOlderThanItsPictureIsRebuilt()
{
    writeMediaArt("Kim", "Dawn", Qt::green, QDateTime::currentDateTime().addSecs(-600));
    ThumbnailListener listener(thread.get());
    AlbumArtCacheItem dawn = cover("Dawn", "Kim");
    QVERIFY(ask(listener, dawn));
    QVERIFY(qGreen(listener.answers.last().image.pixel(5, 5)) > 200);

    writeMediaArt("Kim", "Dawn", Qt::red);
    setModified(dawn.thumbnailPath(), QDateTime::currentDateTime().addSecs(-60));
    QVERIFY(ask(listener, dawn));
    QVERIFY(listener.answers.last().ready);
    QVERIFY(qRed(listener.answers.last().image.pixel(5, 5)) > 200);
    QVERIFY(qRed(QImage(dawn.thumbnailPath()).pixel(5, 5)) > 200);
}

void TestThumbnailer::thumbnailWithoutItsPictureIsDeleted()
{
    writeMediaArt("Kim", "Dusk", Qt::green);
    ThumbnailListener listener(thread.get());
    AlbumArtCacheItem dusk = cover("Dusk", "Kim", "common", false);
    QVERIFY(ask(listener, dusk));
    QVERIFY(listener.answers.last().ready);
    QVERIFY(QFile::remove(dusk.mediaArtPath()));

    // Without a text cover allowed: not found, with nothing.
    QVERIFY(ask(listener, dusk));
    QVERIFY(!listener.answers.last().ready);
    QVERIFY(listener.answers.last().image.isNull());
    QVERIFY(!QFile::exists(dusk.thumbnailPath()));

    // With one allowed: the text cover.
    dusk.generate = true;
    QVERIFY(ask(listener, dusk));
    QVERIFY(!listener.answers.last().ready);
    QCOMPARE(listener.answers.last().image.size(), QSize(80, 80));
}

void TestThumbnailer::pictureThatDoesNotDecodeIsDeleted()
{
    ThumbnailListener listener(thread.get());
    AlbumArtCacheItem broken = cover("Broken", "Kim");
    QDir().mkpath(QFileInfo(broken.mediaArtPath()).absolutePath());
    {
        QFile file(broken.mediaArtPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(30000, 'x')); // read in several steps
    }
    QVERIFY(ask(listener, broken));
    QVERIFY(!listener.answers.last().ready);
    QCOMPARE(listener.answers.last().image.size(), QSize(156, 156));
    QVERIFY(!QFile::exists(broken.mediaArtPath()));

    // A flavor the worker does not know: no scaling, no text cover, nothing.
    writeMediaArt("Kim", "Odd", Qt::green);
    QVERIFY(ask(listener, cover("Odd", "Kim", "Common")));
    QVERIFY(!listener.answers.last().ready);
    QVERIFY(listener.answers.last().image.isNull());

    // After a text cover, a picture whose thumbnail cannot be written is still a picture.
    QVERIFY(ask(listener, cover("Red", "Kim")));
    writeMediaArt("Kim", "Unsaved", Qt::green);
    const QString folder = QDir::homePath() + "/.cache/parlovance/thumbnails/half-screen";
    QDir(folder).removeRecursively();
    QDir().mkpath(QFileInfo(folder).absolutePath());
    {
        QFile blocker(folder); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    QVERIFY(ask(listener, cover("Unsaved", "Kim", "half-screen", false)));
    QVERIFY(listener.answers.last().ready);
    QCOMPARE(listener.answers.last().image.size(), QSize(480, 480));
    QFile::remove(folder);
}

void TestThumbnailer::picturesAreSizedBeforeTheyAreDecoded()
{
    ThumbnailListener listener(thread.get());
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    // Media art of more pixels than are decoded (1.6 GB as 32-bit pixels) is not decoded: it
    // goes as one that does not decode, and the text cover stands in.
    AlbumArtCacheItem huge = cover("Huge", "Kim");
    write(huge.mediaArtPath(), AudioGenerator::blackPng(20000, 20000));
    QVERIFY(ask(listener, huge));
    QVERIFY(!listener.answers.last().ready);
    QCOMPARE(listener.answers.last().image.size(), QSize(156, 156));
    QVERIFY(!QFile::exists(huge.mediaArtPath()));

    // The same in place of an up-to-date thumbnail; the thumbnail file is kept.
    writeMediaArt("Kim", "Planted", Qt::red);
    AlbumArtCacheItem planted = cover("Planted", "Kim");
    write(planted.thumbnailPath(), AudioGenerator::blackPng(20000, 20000));
    setModified(planted.thumbnailPath(), QDateTime::currentDateTime().addSecs(100));
    QVERIFY(ask(listener, planted));
    QVERIFY(!listener.answers.last().ready);
    QCOMPARE(listener.answers.last().image.size(), QSize(156, 156));
    QVERIFY(QFile::exists(planted.thumbnailPath()));

    // A large picture that is allowed comes at the flavor's size, in its proportions.
    QImage wide(2000, 1000, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    AlbumArtCacheItem landscape = cover("Landscape", "Kim", QStringLiteral("common"));
    write(landscape.mediaArtPath(), AudioGenerator::pngOf(wide));
    QVERIFY(ask(listener, landscape));
    QVERIFY(listener.answers.last().ready);
    QCOMPARE(listener.answers.last().image.size(), QSize(80, 40));
}

void TestThumbnailer::repeatedRequestsAreServedOnce()
{
    ThumbnailListener listener(thread.get());
    const int count = 20;
    QVERIFY(thread->addRequest(cover(QStringLiteral("Album 0"), "Kim"), &listener));
    // The worker, started by the first request, is held while the others are asked for: on a
    // busy machine it would otherwise serve some of them between two of these calls.
    WorkerHold hold(thread.get());
    QVERIFY(hold.waitHeld());
    for (int i = 1; i < count; ++i)
        QVERIFY(thread->addRequest(cover(QStringLiteral("Album %1").arg(i), "Kim"), &listener));
    // Still waiting, asked again: it is not queued twice.
    AlbumArtCacheItem again = cover("Album 5", "Kim");
    again.userData = 99;
    QVERIFY(!thread->addRequest(again, &listener));
    hold.release();
    QTRY_COMPARE_WITH_TIMEOUT(listener.answers.size(), count, AnswerTimeoutMs);
    QTest::qWait(100);
    QCOMPARE(listener.answers.size(), count);
    // Asked again it went to the top of the stack, but with the first asker's data.
    int albumFive = 0;
    for (const ThumbnailListener::Answer& answer : listener.answers) {
        if (answer.item.album == QLatin1String("Album 5")) {
            ++albumFive;
            QVERIFY(!answer.item.userData.isValid());
        }
    }
    QCOMPARE(albumFive, 1);
}

void TestThumbnailer::everyListenerOfOneCoverIsAnswered()
{
    ThumbnailListener first(thread.get());
    ThumbnailListener second(thread.get());
    QVERIFY(thread->addRequest(cover("Blue", "Kim"), &first));
    QVERIFY(thread->addRequest(cover("Blue", "Kim"), &second));
    QTRY_COMPARE_WITH_TIMEOUT(first.answers.size(), 1, AnswerTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(second.answers.size(), 1, AnswerTimeoutMs);
    QVERIFY(first.answers.first().ready);
    QVERIFY(second.answers.first().ready);
}

void TestThumbnailer::listenerThatNeverRegisteredGetsNothing()
{
    ThumbnailListener stranger(nullptr);
    ThumbnailListener known(thread.get());
    QVERIFY(thread->addRequest(cover("Blue", "Kim"), &stranger));
    QVERIFY(ask(known, cover("Red", "Kim")));
    QTest::qWait(50);
    QVERIFY(stranger.answers.isEmpty());
}

void TestThumbnailer::listenerDeletedWithRequestsWaitingGetsNothing()
{
    writeMediaArt("Lee", "Forest", Qt::green);
    ThumbnailListener survivor(thread.get());
    // Served last: the stack is served newest first.
    QVERIFY(thread->addRequest(cover("Forest", "Lee"), &survivor));
    QPointer<ThumbnailListener> doomed = new ThumbnailListener(thread.get());
    QSignalSpy firstAnswer(doomed.data(), &ThumbnailListener::answered);
    for (int i = 0; i < 40; ++i) {
        const QString album = QStringLiteral("Doomed %1").arg(i);
        writeMediaArt("Lee", album, Qt::blue);
        QVERIFY(thread->addRequest(cover(album, "Lee", AllFlavors[i % 4]), doomed));
    }
    // Gone after its first answer, with the rest on the stack and one perhaps on its way.
    QVERIFY(firstAnswer.wait(AnswerTimeoutMs));
    delete doomed;
    QTRY_COMPARE_WITH_TIMEOUT(survivor.answers.size(), 1, AnswerTimeoutMs);
    QVERIFY(survivor.answers.first().ready);
    QVERIFY(doomed.isNull());
}

void TestThumbnailer::requestAddedWhileTheLoopEndsIsServed()
{
    ThumbnailListener listener(thread.get());
    QVERIFY(ask(listener, cover("Blue", "Kim")));
    for (int i = 0; i < 15; ++i) {
        // The worker finds its stack empty and ends its loop; a request comes right then.
        QTRY_VERIFY(thread->isRunning());
        QVERIFY(QMetaObject::invokeMethod(thread.get(), "doQuit", Qt::BlockingQueuedConnection));
        QVERIFY2(ask(listener, cover(QStringLiteral("Late %1").arg(i), "Kim")),
                 qPrintable(QStringLiteral("request %1 was not served").arg(i)));
    }
}

void TestThumbnailer::requestTakenBeforeItsWakeUpIsServed()
{
    ThumbnailListener listener(thread.get());
    QVERIFY(ask(listener, cover("Blue", "Kim")));
    for (int i = 0; i < 5; ++i) {
        // On a busy machine the worker can take a request off the stack at a step of its step
        // timer before it handles the wake-up that the request sent: the wake-up then finds the
        // stack empty with the request under way. Here the worker is held while the request is
        // added; then, ahead of that wake-up, it handles an earlier one (which starts its step
        // timer) and makes the step that takes the request.
        WorkerHold hold(thread.get(), WorkerHold::WakeUpAndStep);
        QVERIFY(hold.waitHeld());
        const int before = listener.answers.size();
        QSignalSpy answered(&listener, &ThumbnailListener::answered);
        QVERIFY(thread->addRequest(cover(QStringLiteral("Taken %1").arg(i), "Kim"), &listener));
        hold.release();
        QVERIFY2(listener.answers.size() > before || answered.wait(AnswerTimeoutMs),
                 qPrintable(QStringLiteral("request %1 was dropped").arg(i)));
        QVERIFY(hold.done());
        QCOMPARE(listener.answers.last().item.album, QStringLiteral("Taken %1").arg(i));
        QCOMPARE(listener.answers.last().image.size(), QSize(156, 156));
    }
}

void TestThumbnailer::idleThreadEndsAndStartsAgain()
{
    ThumbnailListener listener(thread.get());
    QVERIFY(ask(listener, cover("Blue", "Kim")));
    // Nothing more comes: the thread ends by itself after a while.
    QTRY_VERIFY_WITH_TIMEOUT(thread->isFinished(), AnswerTimeoutMs);
    QVERIFY(ask(listener, cover("Red", "Kim")));
    QVERIFY(!listener.answers.last().ready);
    QCOMPARE(listener.answers.last().image.size(), QSize(156, 156));
}

void TestThumbnailer::busyThreadStopsWhenDeleted()
{
    auto listener = std::make_unique<ThumbnailListener>(thread.get());
    QSignalSpy firstAnswer(listener.get(), &ThumbnailListener::answered);
    for (int i = 0; i < 60; ++i) {
        thread->addRequest(cover(QStringLiteral("Busy %1").arg(i), "Lee", AllFlavors[i % 4]),
                           listener.get());
    }
    QVERIFY(firstAnswer.wait(AnswerTimeoutMs));
    QVERIFY(thread->isRunning());
    listener.reset();
    thread.reset();

    // A new worker serves as the first did.
    thread.reset(new ThumbnailerThread);
    ThumbnailListener next(thread.get());
    QVERIFY(ask(next, cover("Blue", "Kim")));
    QVERIFY(next.answers.last().ready);
}

PARLOVANCE_TEST_MAIN(TestThumbnailer)
#include "tst_thumbnailer.moc"
