// The album-art loader: covers from memory, from the own files or from the worker, text covers
// where there is no picture, requests through a model's row, artist art over an artist's
// albums, and the media-art folder watch.

#include "activity/activity.h"
#include "albumart/albumartcacheitem.h"
#include "albumart/albumartloader.h"
#include "fixturelibrary.h"
#include "testenvironment.h"
#include "trackermediaart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest/QtTest>

#include <malloc.h>

namespace {

// The worker runs at idle priority, so on a busy machine it may wait long for the processor.
const int AnswerTimeoutMs = 60000;

void writeMediaArt(const QString& artist, const QString& album, const QColor& colour)
{
    QImage picture(300, 300, QImage::Format_RGB32);
    picture.fill(colour);
    const QString path = TrackerMediaArt::albumArtPath(artist, album);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(picture.save(path, "JPEG"));
}

// Waits until the spy holds at least count signals.
bool waitFor(QSignalSpy& spy, int count)
{
    while (spy.count() < count) {
        if (!spy.wait(AnswerTimeoutMs))
            return false;
    }
    return true;
}

size_t heapInUse()
{
    malloc_trim(0);
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace

class TestAlbumArtLoader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void albumArtistNameNamesOneArtist();
    void libraryCoverComesFromTheWorkerThenFromMemory();
    void albumWithoutPictureGetsATextCover();
    void secondAskerOfAWaitingCoverIsAnsweredToo();
    void rowRequestsOfOneCoverAreQueuedOnce();
    void artistArtStartsWithTheAlbumThatHasAPicture();
    void artistArtWithoutPicturesEndsWithATextCover();
    void defaultsAndInvalidRequests();
    void staleThumbnailIsDroppedByTheProbe();
    void filesInTheCacheAreReadAtMostAtTheFlavorSize();
    void lastLoaderStopsTheWorkerAndANewOneStartsIt();
    void changesOfTheMediaArtFolderAreAnnouncedOnce();
    void coversOfManyAlbumsAreNotKeptOnceDropped();
};

void TestAlbumArtLoader::initTestCase()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    QVERIFY(QFile::exists(TrackerMediaArt::albumArtPath("Kim", "Blue")));
}

void TestAlbumArtLoader::init()
{
    QDir(QDir::homePath() + "/.cache/parlovance").removeRecursively();
    QPixmapCache::clear();
}

void TestAlbumArtLoader::albumArtistNameNamesOneArtist()
{
    QString display;
    QCOMPARE(albumArtistName("A", &display), QStringLiteral("A"));
    QCOMPARE(display, QStringLiteral("A"));
    QCOMPARE(albumArtistName("A\tA", &display), QStringLiteral("A"));
    QCOMPARE(albumArtistName("A\tB", &display), qtTrId("qtn_musi_various_artist"));
    QCOMPARE(display, QStringLiteral("A"));
    QCOMPARE(albumArtistName(qtTrId("qtn_musi_unknown_artist") + "\tB", &display),
             qtTrId("qtn_musi_various_artist"));
    QCOMPARE(display, QStringLiteral("B"));
    QCOMPARE(albumArtistName(QString(), &display), QString());
    QCOMPARE(display, QString());
}

void TestAlbumArtLoader::libraryCoverComesFromTheWorkerThenFromMemory()
{
    AlbumArtLoader loader(AlbumArtType::AlbumArt, "music-grid", nullptr);
    QCOMPARE(loader.defaultPixmap()->size(), QSize(156, 156));
    QSignalSpy ready(&loader, &AlbumArtLoader::albumArtReady);
    QSignalSpy notFound(&loader, &AlbumArtLoader::noArtFoundFor);
    QVERIFY(loader.artFromCache("Blue", "Kim", AlbumArtType::AlbumArt, QString(), true)
                .pixmap.isNull());
    loader.loadAlbumArt("Blue", "Kim", QString(), true, AlbumArtType::AlbumArt, 1);
    QCOMPARE(ready.count(), 0);
    QVERIFY(waitFor(ready, 1));
    QCOMPARE(notFound.count(), 0);
    QCOMPARE(ready.last().at(0).value<QPixmap>().size(), QSize(156, 156));
    QCOMPARE(ready.last().at(1), QVariant(1));

    // Asked again, it is answered before the call returns, from memory.
    loader.loadAlbumArt("Blue", "Kim", QString(), true, AlbumArtType::AlbumArt, 2);
    QCOMPARE(ready.count(), 2);
    QCOMPARE(ready.last().at(1), QVariant(2));
    // And from the thumbnail file when memory has let it go.
    QPixmapCache::clear();
    const ArtInfo info = loader.artFromCache("Blue", "Kim", AlbumArtType::AlbumArt, QString(),
                                             true);
    QCOMPARE(info.pixmap.size(), QSize(156, 156));
    QVERIFY(!info.fromGenerated);
    QVERIFY(info.item.thumbnailExists);
}

void TestAlbumArtLoader::albumWithoutPictureGetsATextCover()
{
    AlbumArtLoader loader(AlbumArtType::AlbumArt, "common", nullptr);
    QSignalSpy ready(&loader, &AlbumArtLoader::albumArtReady);
    QSignalSpy notFound(&loader, &AlbumArtLoader::noArtFoundFor);
    loader.loadAlbumArt("Red", "Kim", QString(), true, AlbumArtType::AlbumArt, "tile");
    QVERIFY(waitFor(ready, 1));
    QCOMPARE(notFound.count(), 1);
    QCOMPARE(notFound.first().at(0).toString(), QStringLiteral("Red"));
    QCOMPARE(notFound.first().at(2), QVariant("tile"));
    QCOMPARE(ready.first().at(0).value<QPixmap>().size(), QSize(80, 80));

    // Found again at once, as a generated cover.
    const ArtInfo info = loader.artFromCache("Red", "Kim", AlbumArtType::AlbumArt, QString(), true);
    QVERIFY(info.fromGenerated);
    QCOMPARE(info.pixmap.size(), QSize(80, 80));
    loader.loadAlbumArt("Red", "Kim");
    QCOMPARE(ready.count(), 2);

    // Without text covers: not found, at once, since it had none before.
    loader.loadAlbumArt("Red", "Kim", QString(), false, AlbumArtType::AlbumArt, "plain");
    QCOMPARE(notFound.count(), 2);
    QCOMPARE(notFound.last().at(2), QVariant("plain"));
}

void TestAlbumArtLoader::secondAskerOfAWaitingCoverIsAnsweredToo()
{
    AlbumArtLoader loader(AlbumArtType::AlbumArt, "music-grid", nullptr);
    QSignalSpy ready(&loader, &AlbumArtLoader::albumArtReady);
    QSignalSpy notFound(&loader, &AlbumArtLoader::noArtFoundFor);
    // A missing cover, asked twice while the first request waits.
    loader.loadAlbumArt("Nothing Here", "Lee", QString(), true, AlbumArtType::AlbumArt, 1);
    loader.loadAlbumArt("Nothing Here", "Lee", QString(), true, AlbumArtType::AlbumArt, 2);
    QVERIFY(waitFor(ready, 2));
    QCOMPARE(notFound.count(), 2);
    QCOMPARE(ready.at(0).at(1), QVariant(1));
    QCOMPARE(ready.at(1).at(1), QVariant(2));
    QCOMPARE(notFound.at(1).at(2), QVariant(2));
}

void TestAlbumArtLoader::rowRequestsOfOneCoverAreQueuedOnce()
{
    writeMediaArt("Lee", "Moss", Qt::green);
    QStandardItemModel model(2, 2);
    for (int row = 0; row < 2; ++row) {
        model.setData(model.index(row, 0), "Moss");
        model.setData(model.index(row, 1), "Lee");
    }
    AlbumArtLoader loader(AlbumArtType::AlbumArt, "common", nullptr);
    QSignalSpy ready(&loader, &AlbumArtLoader::albumArtReady);
    loader.loadAlbumArt(model.index(0, 0), 0, 1, "first");
    loader.loadAlbumArt(model.index(1, 0), 0, 1, "second");
    QVERIFY(waitFor(ready, 2));
    QTest::qWait(50);
    QCOMPARE(ready.count(), 2);
    QCOMPARE(ready.at(0).at(1), QVariant("first"));
    QCOMPARE(ready.at(1).at(1), QVariant("second"));
    const QPixmap cover = ready.at(0).at(0).value<QPixmap>();
    QCOMPARE(cover.size(), QSize(80, 80));
    QVERIFY(qGreen(cover.toImage().pixel(3, 3)) > 200);

    // An invalid index or a row without album is not asked for.
    loader.loadAlbumArt(QModelIndex(), 0, 1, "none");
    model.setData(model.index(1, 0), QString());
    model.setData(model.index(1, 1), QString());
    QTest::qWait(50);
    QCOMPARE(ready.count(), 2);
}

void TestAlbumArtLoader::artistArtStartsWithTheAlbumThatHasAPicture()
{
    writeMediaArt("Ann", "Third", Qt::red);
    QStandardItemModel model(1, 2);
    model.setData(model.index(0, 0), "First\tSecond\tThird");
    model.setData(model.index(0, 1), "Ann");
    AlbumArtLoader loader(AlbumArtType::ArtistArt, "common", nullptr);
    QSignalSpy ready(&loader, &AlbumArtLoader::albumArtReady);
    QSignalSpy notFound(&loader, &AlbumArtLoader::noArtFoundFor);
    loader.loadAlbumArt(model.index(0, 0), 0, 1, 7);
    QVERIFY(waitFor(ready, 1));
    QCOMPARE(notFound.count(), 0);
    QCOMPARE(ready.first().at(1), QVariant(7));
    QVERIFY(qRed(ready.first().at(0).value<QPixmap>().toImage().pixel(3, 3)) > 200);
    AlbumArtCacheItem third("Third", "Ann", "common", AlbumArtType::ArtistArt);
    QVERIFY(QFile::exists(third.thumbnailPath()));
}

void TestAlbumArtLoader::artistArtWithoutPicturesEndsWithATextCover()
{
    QStandardItemModel model(1, 2);
    model.setData(model.index(0, 0), "Fog\tMist");
    model.setData(model.index(0, 1), "Bo");
    AlbumArtLoader loader(AlbumArtType::ArtistArt, "common", nullptr);
    QSignalSpy ready(&loader, &AlbumArtLoader::albumArtReady);
    QSignalSpy notFound(&loader, &AlbumArtLoader::noArtFoundFor);
    loader.loadAlbumArt(model.index(0, 0), 0, 1, 3);
    QVERIFY(waitFor(ready, 1));
    QCOMPARE(notFound.count(), 2);
    QCOMPARE(notFound.at(0).at(0).toString(), QStringLiteral("Fog"));
    QCOMPARE(notFound.at(1).at(0).toString(), QStringLiteral("Mist"));
    QCOMPARE(ready.first().at(1), QVariant(3));
    AlbumArtCacheItem mist("Mist", "Bo", "common", AlbumArtType::ArtistArt);
    QVERIFY(QFile::exists(mist.generatedPath()));

    // The next time the text cover is at hand.
    loader.loadAlbumArt(model.index(0, 0), 0, 1, 4);
    QCOMPARE(ready.count(), 2);
}

void TestAlbumArtLoader::defaultsAndInvalidRequests()
{
    AlbumArtLoader loader(AlbumArtType::AlbumArt, "common", nullptr);
    QSignalSpy ready(&loader, &AlbumArtLoader::albumArtReady);
    QSignalSpy notFound(&loader, &AlbumArtLoader::noArtFoundFor);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("unsupported flavor"));
    loader.loadAlbumArt("Blue", "Kim", "Common");
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("invalid art type"));
    // A number no kind has (one the type can hold: anything else is undefined behaviour).
    loader.loadAlbumArt("Blue", "Kim", QString(), true, AlbumArtType::ArtType(-2));
    loader.loadAlbumArt(QString(), "Kim");                                            // no album
    loader.loadAlbumArt("Blue", QString(), QString(), true, AlbumArtType::ArtistArt); // no artist
    // The default type and no flavor: the loader's own.
    loader.loadAlbumArt("Blue", "Kim", QString(), true, AlbumArtType::DefaultArt, "default");
    QVERIFY(waitFor(ready, 1));
    QCOMPARE(ready.count(), 1);
    QCOMPARE(notFound.count(), 0);
    QCOMPARE(ready.first().at(0).value<QPixmap>().size(), QSize(80, 80));
    QCOMPARE(ready.first().at(1), QVariant("default"));

    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("unsupported flavor"));
    loader.setDefaultFlavor("huge");
    QCOMPARE(loader.defaultPixmap()->size(), QSize(80, 80));
    loader.setDefaultFlavor("half-screen");
    QCOMPARE(loader.defaultPixmap()->size(), QSize(480, 480));
}

void TestAlbumArtLoader::staleThumbnailIsDroppedByTheProbe()
{
    writeMediaArt("Kim", "Tide", Qt::blue);
    AlbumArtLoader loader(AlbumArtType::AlbumArt, "common", nullptr);
    QSignalSpy ready(&loader, &AlbumArtLoader::albumArtReady);
    loader.loadAlbumArt("Tide", "Kim");
    QVERIFY(waitFor(ready, 1));
    AlbumArtCacheItem tide("Tide", "Kim", "common", AlbumArtType::AlbumArt);
    const QString thumbnail = tide.thumbnailPath();
    QVERIFY(QFile::exists(thumbnail));

    // A newer picture makes the thumbnail stale: the probe finds nothing and removes it, and a
    // request brings the new picture.
    {
        QFile file(thumbnail);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-100),
                                 QFileDevice::FileModificationTime));
    }
    writeMediaArt("Kim", "Tide", Qt::red);
    QVERIFY(
        loader.artFromCache("Tide", "Kim", AlbumArtType::AlbumArt, "common", true).pixmap.isNull());
    QVERIFY(!QFile::exists(thumbnail));
    loader.loadAlbumArt("Tide", "Kim");
    QVERIFY(waitFor(ready, 2));
    QVERIFY(qRed(ready.last().at(0).value<QPixmap>().toImage().pixel(3, 3)) > 200);
}

void TestAlbumArtLoader::filesInTheCacheAreReadAtMostAtTheFlavorSize()
{
    // Anyone with the user's rights can put a picture in place of a thumbnail or text cover.
    AlbumArtLoader loader(AlbumArtType::AlbumArt, "common", nullptr);
    QImage large(1000, 1000, QImage::Format_RGB32);
    large.fill(Qt::green);
    const auto plant = [](const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        // Newer than the picture it was made from, so it counts as up to date.
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(100),
                                 QFileDevice::FileModificationTime));
    };
    writeMediaArt("Kim", "Wide", Qt::blue);
    plant(AlbumArtCacheItem("Wide", "Kim", "common", AlbumArtType::AlbumArt).thumbnailPath(),
          AudioGenerator::pngOf(large));
    QCOMPARE(
        loader.artFromCache("Wide", "Kim", AlbumArtType::AlbumArt, "common", false).pixmap.size(),
        QSize(80, 80));

    writeMediaArt("Kim", "Vast", Qt::blue);
    plant(AlbumArtCacheItem("Vast", "Kim", "common", AlbumArtType::AlbumArt).thumbnailPath(),
          AudioGenerator::blackPng(20000, 20000));
    QVERIFY(loader.artFromCache("Vast", "Kim", AlbumArtType::AlbumArt, "common", false)
                .pixmap.isNull());

    plant(AlbumArtCacheItem("Texted", "Kim", "music-grid", AlbumArtType::AlbumArt).generatedPath(),
          AudioGenerator::pngOf(large));
    const ArtInfo generated = loader.artFromCache("Texted", "Kim", AlbumArtType::AlbumArt,
                                                  "music-grid", true);
    QVERIFY(generated.fromGenerated);
    QCOMPARE(generated.pixmap.size(), QSize(156, 156));
}

void TestAlbumArtLoader::lastLoaderStopsTheWorkerAndANewOneStartsIt()
{
    auto* first = new AlbumArtLoader(AlbumArtType::AlbumArt, "common", nullptr);
    auto* second = new AlbumArtLoader(AlbumArtType::AlbumArt, "common", nullptr);
    for (int i = 0; i < 20; ++i)
        first->loadAlbumArt(QStringLiteral("Busy %1").arg(i), "Kim");
    delete first;
    delete second;
    AlbumArtLoader next(AlbumArtType::AlbumArt, "common", nullptr);
    QSignalSpy ready(&next, &AlbumArtLoader::albumArtReady);
    next.loadAlbumArt("Blue", "Kim");
    QVERIFY(waitFor(ready, 1));
}

void TestAlbumArtLoader::changesOfTheMediaArtFolderAreAnnouncedOnce()
{
    AlbumArtLoader one(AlbumArtType::AlbumArt, "common", nullptr);
    AlbumArtLoader two(AlbumArtType::AlbumArt, "music-grid", nullptr);
    QSignalSpy refreshOne(&one, &AlbumArtLoader::refreshAlbumArts);
    QSignalSpy refreshTwo(&two, &AlbumArtLoader::refreshAlbumArts);
    for (int i = 0; i < 5; ++i)
        writeMediaArt("Kim", QStringLiteral("Burst %1").arg(i), Qt::gray);
    QVERIFY(refreshOne.wait(5000));
    QTRY_COMPARE(refreshTwo.count(), 1);
    QTest::qWait(1500);
    QCOMPARE(refreshOne.count(), 1);
    QCOMPARE(refreshTwo.count(), 1);
}

void TestAlbumArtLoader::coversOfManyAlbumsAreNotKeptOnceDropped()
{
    // Playing through a large library shows the covers of thousands of albums. The pixmap cache
    // keeps the last few; what the loader keeps of the others must not grow with them.
    AlbumArtLoader loader(AlbumArtType::AlbumArt, "common", nullptr);
    QImage cover(80, 80, QImage::Format_RGB32);
    cover.fill(Qt::darkCyan);
    const QByteArray png = AudioGenerator::pngOf(cover);
    const int warm = 1000;
    const int more = 4000;
    const int rounds = 3;
    for (int i = 0; i < warm + rounds * more; ++i) {
        const QString path = AlbumArtCacheItem(QStringLiteral("Album %1").arg(i), "Kim", "common",
                                               AlbumArtType::AlbumArt)
                                 .generatedPath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(png);
    }
    auto show = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            const ArtInfo shown = loader.artFromCache(QStringLiteral("Album %1").arg(i), "Kim",
                                                      AlbumArtType::AlbumArt, "common", true);
            if (shown.pixmap.isNull())
                return false;
        }
        return true;
    };
    QVERIFY(show(0, warm));
    // The heap is the whole process's, the store's threads included: held memory grows in every
    // round, so the quietest round of three tells.
    qint64 growth = 0;
    for (int round = 0; round < rounds; ++round) {
        const size_t before = heapInUse();
        QVERIFY(show(warm + round * more, warm + (round + 1) * more));
        growth = qint64(heapInUse()) - qint64(before);
        if (growth < 512 * 1024)
            break;
    }
    QVERIFY2(growth < 512 * 1024,
             qPrintable(QStringLiteral("%1 covers more held %2 KiB").arg(more).arg(growth / 1024)));
}

PARLOVANCE_TEST_MAIN(TestAlbumArtLoader)
#include "tst_albumartloader.moc"
