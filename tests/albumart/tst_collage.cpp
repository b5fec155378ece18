// The collage image widget: four covers of a list composed and saved, the single-cover and
// title-cover fallbacks, and answers of an earlier pass left out.

#include "albumart/collageimagewidget.h"
#include "testenvironment.h"
#include "trackermediaart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QThreadPool>
#include <QtTest/QtTest>

namespace {

// The worker runs at idle priority, so on a busy machine it may wait long for the processor.
const int AnswerTimeoutMs = 60000;

void writeMediaArt(const QString& artist, const QString& album, const QColor& colour,
                   const QSize& size = QSize(200, 200))
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    const QString path = TrackerMediaArt::albumArtPath(artist, album);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(picture.save(path, "JPEG"));
}

struct Row
{
    const char* album;
    const char* artist;
};

QSharedPointer<QAbstractItemModel> songModel(const QList<Row>& rows)
{
    auto* model = new QStandardItemModel(rows.size(), 3);
    model->setHorizontalHeaderLabels({ "songTitle", "artistName", "albumName" });
    for (int row = 0; row < rows.size(); ++row) {
        model->setData(model->index(row, 0), QStringLiteral("Song %1").arg(row));
        model->setData(model->index(row, 1), QString::fromUtf8(rows[row].artist));
        model->setData(model->index(row, 2), QString::fromUtf8(rows[row].album));
    }
    return QSharedPointer<QAbstractItemModel>(model);
}

bool near(QRgb pixel, const QColor& colour)
{
    return qAbs(qRed(pixel) - colour.red()) < 40 && qAbs(qGreen(pixel) - colour.green()) < 40
           && qAbs(qBlue(pixel) - colour.blue()) < 40;
}

QString collagePath(const QString& name)
{
    return QDir::homePath() + "/.cache/parlovance/collage/" + name + ".png";
}

} // namespace

class TestCollage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void fourAlbumsMakeASavedCollage();
    void fewAlbumsShowOneLargeCover();
    void unknownAlbumsShowTheTitleCover();
    void wideCoverIsCentredBetweenBlackBands();
    void nothingIsSavedWhenSavingIsOff();
    void rowsAddedAfterTheTilesChangeNothing();
    void rowsAddedBeforeTheTilesMakeANewCollage();
    void aSaveNamesWhatItSavedAfterTheListChanged();
    void answersOfAnEarlierModelAreLeftOut();
};

void TestCollage::initTestCase()
{
    writeMediaArt("Kim", "Red", Qt::red);
    writeMediaArt("Kim", "Green", Qt::green);
    writeMediaArt("Lee", "Blue", Qt::blue);
    writeMediaArt("Lee", "Yellow", Qt::yellow);
    writeMediaArt("Ann", "White", Qt::white);
    writeMediaArt("Ann", "Cyan", Qt::cyan);
    writeMediaArt("Ann", "Magenta", Qt::magenta);
    writeMediaArt("Bo", "Wide", Qt::red, QSize(200, 100));
}

void TestCollage::fourAlbumsMakeASavedCollage()
{
    CollageImageWidget widget(nullptr, 12);
    widget.setSaveFile(true, "Playlist_12");
    QSignalSpy ready(&widget, &CollageImageWidget::imageReady);
    // Rows without artist, of the unknown album, without picture or of an album already placed
    // are passed over.
    widget.setModel(songModel({ { "Red", "Kim" },
                                { "Red", "Kim" },
                                { "Lost", "" },
                                { "qtn_musi_unknown_album", "Kim" },
                                { "No Picture", "Kim" },
                                { "Green", "Kim" },
                                { "Blue", "Lee" },
                                { "Yellow", "Lee" },
                                { "White", "Ann" } }));
    QVERIFY(ready.wait(AnswerTimeoutMs));
    const QPixmap collage = ready.last().at(0).value<QPixmap>();
    QCOMPARE(collage.size(), QSize(156, 156));
    const QImage image = collage.toImage();
    // Tiles are top left, top right, bottom left, bottom right in the order they were given;
    // the tile of the album without picture went on to the next usable row.
    QVERIFY(near(image.pixel(20, 20), Qt::red));
    QVERIFY(near(image.pixel(120, 20), Qt::yellow));
    QVERIFY(near(image.pixel(20, 120), Qt::green));
    QVERIFY(near(image.pixel(120, 120), Qt::blue));
    const AlbumArtistPairs pairs = ready.last().at(1).value<AlbumArtistPairs>();
    QCOMPARE(pairs.size(), 4);
    QCOMPARE(pairs.at(0), qMakePair(QStringLiteral("Red"), QStringLiteral("Kim")));
    QCOMPARE(pairs.at(1), qMakePair(QStringLiteral("Yellow"), QStringLiteral("Lee")));
    QCOMPARE(pairs.at(3), qMakePair(QStringLiteral("Blue"), QStringLiteral("Lee")));
    QCOMPARE(ready.last().at(2).toInt(), 12);
    QVERIFY(widget.pixmap());
    QCOMPARE(widget.pixmap()->size(), QSize(156, 156));

    // The saved file is the collage, found by its name the next time.
    const QImage saved(collagePath("Playlist_12"), "PNG");
    QCOMPARE(saved.size(), QSize(156, 156));
    QVERIFY(near(saved.pixel(120, 120), Qt::blue));
}

void TestCollage::fewAlbumsShowOneLargeCover()
{
    CollageImageWidget widget(nullptr, 3);
    widget.setSaveFile(true, "Playlist_3");
    QSignalSpy ready(&widget, &CollageImageWidget::imageReady);
    widget.setModel(songModel({ { "Cyan", "Ann" }, { "Magenta", "Ann" } }));
    QVERIFY(ready.wait(AnswerTimeoutMs));
    const QPixmap cover = ready.last().at(0).value<QPixmap>();
    // One of the two covers, whole, at the large size.
    QCOMPARE(cover.size(), QSize(156, 156));
    const QRgb centre = cover.toImage().pixel(78, 78);
    QVERIFY(near(centre, Qt::cyan) || near(centre, Qt::magenta));
    QVERIFY(near(cover.toImage().pixel(5, 5), QColor(centre)));
    const AlbumArtistPairs pairs = ready.last().at(1).value<AlbumArtistPairs>();
    // The pairs of the albums placed so far: at least the one shown.
    QVERIFY(pairs.at(0).second == QLatin1String("Ann"));
    QCOMPARE(QImage(collagePath("Playlist_3")).size(), QSize(156, 156));
}

void TestCollage::unknownAlbumsShowTheTitleCover()
{
    CollageImageWidget widget(nullptr, 0);
    widget.setTitle("Road Trip");
    widget.setSaveFile(true, "Playlist");
    QSignalSpy ready(&widget, &CollageImageWidget::imageReady);
    widget.setModel(
        songModel({ { "qtn_musi_unknown_album", "Kim" }, { "qtn_musi_unknown_album", "Lee" } }));
    QVERIFY(ready.wait(AnswerTimeoutMs));
    const QPixmap cover = ready.last().at(0).value<QPixmap>();
    QCOMPARE(cover.size(), QSize(156, 156));
    QVERIFY(QFile::exists(collagePath("Playlist")));
    QVERIFY(widget.pixmap());
}

void TestCollage::wideCoverIsCentredBetweenBlackBands()
{
    CollageImageWidget widget(nullptr, 4);
    widget.setSaveFile(true, "Playlist_4");
    QSignalSpy ready(&widget, &CollageImageWidget::imageReady);
    widget.setModel(songModel({ { "Wide", "Bo" },
                                { "Green", "Kim" },
                                { "Blue", "Lee" },
                                { "Yellow", "Lee" },
                                { "Cyan", "Ann" } }));
    QVERIFY(ready.wait(AnswerTimeoutMs));
    const QImage image = ready.last().at(0).value<QPixmap>().toImage();
    // A 2:1 cover in the 78 x 78 top-left tile: 39 rows of picture between 19-row bands.
    QVERIFY(near(image.pixel(39, 5), Qt::black));
    QVERIFY(near(image.pixel(39, 39), Qt::red));
    QVERIFY(near(image.pixel(39, 72), Qt::black));
}

void TestCollage::nothingIsSavedWhenSavingIsOff()
{
    CollageImageWidget widget(nullptr, 5);
    widget.setSaveFile(false, "Playlist_5");
    QSignalSpy ready(&widget, &CollageImageWidget::imageReady);
    widget.setModel(songModel(
        { { "Red", "Kim" }, { "Green", "Kim" }, { "Blue", "Lee" }, { "Yellow", "Lee" } }));
    QTRY_VERIFY_WITH_TIMEOUT(widget.pixmap() && widget.pixmap()->size() == QSize(156, 156),
                             AnswerTimeoutMs);
    QTest::qWait(300);
    QCOMPARE(ready.count(), 0);
    QVERIFY(!QFile::exists(collagePath("Playlist_5")));
}

void TestCollage::rowsAddedAfterTheTilesChangeNothing()
{
    CollageImageWidget widget(nullptr, 6);
    widget.setSaveFile(true, "Playlist_6");
    QSignalSpy ready(&widget, &CollageImageWidget::imageReady);
    QSharedPointer<QAbstractItemModel> model = songModel(
        { { "Red", "Kim" }, { "Green", "Kim" }, { "Blue", "Lee" }, { "Yellow", "Lee" } });
    widget.setModel(model);
    QVERIFY(ready.wait(AnswerTimeoutMs));
    auto* standard = static_cast<QStandardItemModel*>(model.data());
    standard->insertRow(4);
    standard->setData(standard->index(4, 1), "Ann");
    standard->setData(standard->index(4, 2), "White");
    QTest::qWait(1000);
    QCOMPARE(ready.count(), 1);
    QVERIFY(near(widget.pixmap()->toImage().pixel(20, 20), Qt::red));
}

void TestCollage::rowsAddedBeforeTheTilesMakeANewCollage()
{
    // A recently added playlist grows at its top, also after its collage was finished.
    CollageImageWidget widget(nullptr, 8);
    widget.setSaveFile(true, "Playlist_8");
    QSignalSpy ready(&widget, &CollageImageWidget::imageReady);
    QSharedPointer<QAbstractItemModel> model = songModel(
        { { "Red", "Kim" }, { "Green", "Kim" }, { "Blue", "Lee" }, { "Yellow", "Lee" } });
    widget.setModel(model);
    QVERIFY(ready.wait(AnswerTimeoutMs));
    auto* standard = static_cast<QStandardItemModel*>(model.data());
    standard->insertRows(0, 2);
    standard->setData(standard->index(0, 1), "Ann");
    standard->setData(standard->index(0, 2), "White");
    standard->setData(standard->index(1, 1), "Ann");
    standard->setData(standard->index(1, 2), "Cyan");
    // The finished collage shows until the new one is.
    QCoreApplication::processEvents();
    QVERIFY(near(widget.pixmap()->toImage().pixel(20, 20), Qt::red));
    // A slow answer may bring the title cover first.
    auto firstShown = [&] {
        return ready.isEmpty() ? QString()
                               : ready.last().at(1).value<AlbumArtistPairs>().value(0).first;
    };
    QTRY_COMPARE_WITH_TIMEOUT(firstShown(), QStringLiteral("White"), AnswerTimeoutMs);
    const QImage image = ready.last().at(0).value<QPixmap>().toImage();
    QVERIFY(near(image.pixel(20, 20), Qt::white));
    QVERIFY(near(image.pixel(120, 20), Qt::cyan));
    QVERIFY(near(image.pixel(20, 120), Qt::red));
    QVERIFY(near(image.pixel(120, 120), Qt::green));
    const AlbumArtistPairs pairs = ready.last().at(1).value<AlbumArtistPairs>();
    QCOMPARE(pairs.at(0), qMakePair(QStringLiteral("White"), QStringLiteral("Ann")));
    QCOMPARE(pairs.at(3), qMakePair(QStringLiteral("Green"), QStringLiteral("Kim")));
    QVERIFY(near(QImage(collagePath("Playlist_8"), "PNG").pixel(20, 20), Qt::white));
}

void TestCollage::aSaveNamesWhatItSavedAfterTheListChanged()
{
    // The pool's threads are held, so the finished collage is still being saved when a song of
    // its list goes and a new pass begins.
    QThreadPool* pool = QThreadPool::globalInstance();
    const int threads = pool->maxThreadCount();
    QSemaphore held;
    QSemaphore release;
    for (int i = 0; i < threads; ++i)
        pool->start([&] {
            held.release();
            release.acquire();
        });
    held.acquire(threads);
    CollageImageWidget widget(nullptr, 10);
    widget.setSaveFile(true, "Playlist_10");
    QSignalSpy ready(&widget, &CollageImageWidget::imageReady);
    QSharedPointer<QAbstractItemModel> model = songModel({ { "Red", "Kim" },
                                                           { "Green", "Kim" },
                                                           { "Blue", "Lee" },
                                                           { "Yellow", "Lee" },
                                                           { "White", "Ann" } });
    widget.setModel(model);
    const bool shown = QTest::qWaitFor(
        [&] {
            return widget.pixmap() && widget.pixmap()->size() == QSize(156, 156)
                   && near(widget.pixmap()->toImage().pixel(120, 120), Qt::yellow);
        },
        AnswerTimeoutMs);
    model->removeRow(0);
    QCoreApplication::processEvents();
    release.release(threads);
    // The held threads let go of the test's semaphores before they go.
    pool->waitForDone();
    QVERIFY(shown);
    QVERIFY(ready.wait(AnswerTimeoutMs));
    // What was saved, with the albums it shows.
    const QImage image = ready.first().at(0).value<QPixmap>().toImage();
    QVERIFY(!image.isNull());
    QVERIFY(near(image.pixel(20, 20), Qt::red));
    QCOMPARE(ready.first().at(1).value<AlbumArtistPairs>().value(0),
             qMakePair(QStringLiteral("Red"), QStringLiteral("Kim")));
}

void TestCollage::answersOfAnEarlierModelAreLeftOut()
{
    CollageImageWidget widget(nullptr, 7);
    widget.setSaveFile(true, "Playlist_7");
    QSignalSpy ready(&widget, &CollageImageWidget::imageReady);
    widget.setModel(songModel(
        { { "Red", "Kim" }, { "Green", "Kim" }, { "Blue", "Lee" }, { "Yellow", "Lee" } }));
    // The first pass has asked for its covers; the list changes before they arrive.
    QTest::qWait(350);
    widget.setModel(songModel(
        { { "White", "Ann" }, { "Cyan", "Ann" }, { "Magenta", "Ann" }, { "Wide", "Bo" } }));
    QVERIFY(ready.wait(AnswerTimeoutMs));
    QTest::qWait(500);
    const QImage image = ready.last().at(0).value<QPixmap>().toImage();
    QVERIFY(near(image.pixel(20, 20), Qt::white));
    QVERIFY(near(image.pixel(120, 20), Qt::cyan));
    QVERIFY(near(image.pixel(20, 120), Qt::magenta));
    for (const auto& pair : ready.last().at(1).value<AlbumArtistPairs>())
        QVERIFY(pair.second == QLatin1String("Ann") || pair.second == QLatin1String("Bo"));
}

PARLOVANCE_TEST_MAIN(TestCollage)
#include "tst_collage.moc"
