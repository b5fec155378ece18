// Cover requests and their files: keys and names, staleness, text covers and the image saver.

#include "albumart/albumartcacheitem.h"
#include "albumart/albumartgenerator.h"
#include "albumart/pixmapsaver.h"
#include "audiogenerator.h"
#include "testenvironment.h"
#include "trackermediaart.h"

#include <QAtomicInt>
#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTextBoundaryFinder>
#include <QThreadPool>
#include <QtTest/QtTest>

#include <atomic>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

QString home()
{
    return QDir::homePath();
}

void writeFile(const QString& path, const QByteArray& bytes, const QDateTime& modified = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.flush();
    if (modified.isValid())
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

// The text's characters as a reader counts them (grapheme clusters), blanks left out.
QStringList charactersWithoutBlanks(const QString& text)
{
    QStringList parts;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int from = 0;
    for (int at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary()) {
        const QString part = text.mid(from, at - from);
        if (part != QLatin1String(" "))
            parts.append(part);
        from = at;
    }
    return parts;
}

QByteArray pngOf(const QColor& colour, int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestArtFiles : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestEnvironment::wipeHome(); }

    void itemNamesItsFilesAsBefore();
    void mediaArtNamesFollowTheStore();
    void itemsAreTheSameCoverOnlyWhenTheirFieldsAre();
    void flavorsAreCaseSensitive();
    void pathsAreKeptAndExistenceReread();
    void stalenessFollowsTheFiles_data();
    void stalenessFollowsTheFiles();

    void generatedCoverIsDrawnSavedAndFoundAgain();
    void unreadableGeneratedCoverIsDrawnAgain();
    void generatedCoverIsReadAtMostAtItsSize();
    void coverWithoutTextOrFlavorIsNull();
    void pixmapCoverLoadsOrDrawsInTheBackground();
    void oneTextKeepsOneColourAcrossThreads();
    void oneTextKeepsItsColourInALaterRun();
    void rightToLeftTextIsBrokenIntoAtMostFivePieces();
    void backgroundIsSpacedOnlyBetweenCharacters_data();
    void backgroundIsSpacedOnlyBetweenCharacters();
    void rightToLeftTextIsBrokenOnlyBetweenCharacters();

    void saverWritesAndSignals();
    void saverOfNothingStaysSilent();
    void newestImageOfAFileWins();
    void readersNeverSeeAHalfWrittenFile();
    void saverReplacesWhatIsPlantedAtItsFile();
};

void TestArtFiles::itemNamesItsFilesAsBefore()
{
    // Names written by earlier versions must be found again, so the hash is pinned.
    AlbumArtCacheItem common(QStringLiteral("Blue"), QStringLiteral("Kim"),
                             QStringLiteral("common"), AlbumArtType::AlbumArt);
    QCOMPARE(common.itemHash, 134650333u);
    QCOMPARE(qHash(common), 134650333u);
    AlbumArtCacheItem grid(QStringLiteral("Blue"), QStringLiteral("Kim"),
                           QStringLiteral("music-grid"), AlbumArtType::AlbumArt);
    QCOMPARE(grid.itemHash, 70834781u);
    AlbumArtCacheItem artist(QStringLiteral("Blue"), QStringLiteral("Kim"),
                             QStringLiteral("common"), AlbumArtType::ArtistArt);
    QCOMPARE(artist.itemHash, 10663844u);

    QCOMPARE(common.thumbnailPath(),
             home() + "/.cache/parlovance/thumbnails/common/134650333.jpeg");
    QCOMPARE(common.generatedPath(), home() + "/.cache/parlovance/generated/common/134650333.png");
    QCOMPARE(artist.thumbnailPath(), home() + "/.cache/parlovance/thumbnails/common/10663844.jpeg");
    QCOMPARE(common.mediaArtPath(),
             home()
                 + "/.cache/media-art/album-fb1eaf2bd9f2a7013602be235c305e7a-"
                   "48d6215903dff56238e52e8891380c8f.jpeg");
    // The store writes the file the album-art code reads.
    QCOMPARE(common.mediaArtPath(), TrackerMediaArt::albumArtPath("Kim", "Blue"));

    const AlbumArtCacheItem empty;
    QCOMPARE(empty.itemHash, 0u);
    QVERIFY(empty.generate);
    QVERIFY(!empty.userData.isValid());
    QVERIFY(common.generate);
    QVERIFY(!common.userData.isValid());
}

void TestArtFiles::mediaArtNamesFollowTheStore()
{
    QCOMPARE(AlbumArtCacheItem::mediaArtHash("kim"),
             QStringLiteral("fb1eaf2bd9f2a7013602be235c305e7a"));
    QCOMPARE(AlbumArtCacheItem::mediaArtHash("Kim (Live) [2001]"),
             QStringLiteral("fb1eaf2bd9f2a7013602be235c305e7a"));
    QCOMPARE(AlbumArtCacheItem::mediaArtHash(""),
             QStringLiteral("7215ee9c7d9dc229d2921a40e899ec5f"));
    QCOMPARE(AlbumArtCacheItem::mediaArtHash("!?*"), AlbumArtCacheItem::mediaArtHash(""));
    QCOMPARE(AlbumArtCacheItem::mediaArtHash("  Kim\t  "), AlbumArtCacheItem::mediaArtHash("kim"));

    // An album titled like its artist uses the artist's hash twice.
    AlbumArtCacheItem selfTitled(QStringLiteral("Kim"), QStringLiteral("Kim"),
                                 QStringLiteral("common"), AlbumArtType::AlbumArt);
    QCOMPARE(selfTitled.albumHash, selfTitled.artistHash);
    QVERIFY(selfTitled.mediaArtPath().endsWith("album-fb1eaf2bd9f2a7013602be235c305e7a-"
                                               "fb1eaf2bd9f2a7013602be235c305e7a.jpeg"));
}

void TestArtFiles::itemsAreTheSameCoverOnlyWhenTheirFieldsAre()
{
    AlbumArtCacheItem a(QStringLiteral("Blue"), QStringLiteral("Kim"), QStringLiteral("common"),
                        AlbumArtType::AlbumArt);
    AlbumArtCacheItem b = a;
    b.userData = 7;
    b.generate = false;
    b.albums = QStringList { QStringLiteral("Red") };
    QVERIFY(a == b);
    QHash<AlbumArtCacheItem, int> table;
    table.insert(a, 1);
    QCOMPARE(table.value(b), 1);

    AlbumArtCacheItem artistArt(QStringLiteral("Blue"), QStringLiteral("Kim"),
                                QStringLiteral("common"), AlbumArtType::ArtistArt);
    QVERIFY(!(a == artistArt));
    QVERIFY(a.thumbnailPath() != artistArt.thumbnailPath());

    // "AB" by "C" and "A" by "BC" share the file hash, but they are two covers.
    AlbumArtCacheItem abC(QStringLiteral("AB"), QStringLiteral("C"), QStringLiteral("common"),
                          AlbumArtType::AlbumArt);
    AlbumArtCacheItem aBc(QStringLiteral("A"), QStringLiteral("BC"), QStringLiteral("common"),
                          AlbumArtType::AlbumArt);
    QCOMPARE(abC.itemHash, aBc.itemHash);
    QVERIFY(!(abC == aBc));
    table.insert(abC, 2);
    table.insert(aBc, 3);
    QCOMPARE(table.value(abC), 2);
    QCOMPARE(table.value(aBc), 3);

    // A changed album is another cover once the hashes are updated.
    AlbumArtCacheItem moved = a;
    moved.album = QStringLiteral("Red");
    moved.updateHashes();
    moved.resetPaths();
    QVERIFY(!(moved == a));
    QVERIFY(moved.thumbnailPath() != a.thumbnailPath());
}

void TestArtFiles::flavorsAreCaseSensitive()
{
    QCOMPARE(AlbumArtCacheItem::flavorSize("common"), QSize(80, 80));
    QCOMPARE(AlbumArtCacheItem::flavorSize("music-grid"), QSize(156, 156));
    QCOMPARE(AlbumArtCacheItem::flavorSize("nowPlayingLabel"), QSize(318, 318));
    QCOMPARE(AlbumArtCacheItem::flavorSize("half-screen"), QSize(480, 480));
    QCOMPARE(AlbumArtCacheItem::flavorFontSize("common"), 14);
    QCOMPARE(AlbumArtCacheItem::flavorFontSize("half-screen"), 85);
    QCOMPARE(AlbumArtCacheItem::flavorSize("Common"), QSize(-1, -1));
    QCOMPARE(AlbumArtCacheItem::flavorFontSize("Common"), 0);
    QVERIFY(!AlbumArtCacheItem::isValidFlavor("Common"));
    QVERIFY(AlbumArtCacheItem::isValidFlavor("nowPlayingLabel"));
}

void TestArtFiles::pathsAreKeptAndExistenceReread()
{
    AlbumArtCacheItem item(QStringLiteral("Blue"), QStringLiteral("Kim"), QStringLiteral("common"),
                           AlbumArtType::AlbumArt);
    const QString path = item.thumbnailPath();
    QVERIFY(!item.thumbnailExists);
    writeFile(path, "x");
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", "/nonexistent-elsewhere");
    QCOMPARE(item.thumbnailPath(), path);
    qputenv("HOME", oldHome);
    QVERIFY(item.thumbnailExists);
    QFile::remove(path);
    item.thumbnailPath();
    QVERIFY(!item.thumbnailExists);
}

void TestArtFiles::stalenessFollowsTheFiles_data()
{
    QTest::addColumn<int>("thumbnailAge"); // seconds before now, -1 for none
    QTest::addColumn<int>("mediaArtAge");
    QTest::addColumn<bool>("generated");
    QTest::addColumn<bool>("stale");
    QTest::newRow("nothing") << -1 << -1 << false << true;
    QTest::newRow("only generated") << -1 << -1 << true << false;
    QTest::newRow("thumbnail without its picture") << 10 << -1 << false << true;
    QTest::newRow("picture without thumbnail") << -1 << 10 << false << true;
    QTest::newRow("thumbnail newer than picture") << 10 << 100 << false << false;
    QTest::newRow("thumbnail older than picture") << 100 << 10 << false << true;
}

void TestArtFiles::stalenessFollowsTheFiles()
{
    QFETCH(int, thumbnailAge);
    QFETCH(int, mediaArtAge);
    QFETCH(bool, generated);
    QFETCH(bool, stale);
    AlbumArtCacheItem item(QStringLiteral("Blue"), QStringLiteral("Kim"),
                           QStringLiteral("music-grid"), AlbumArtType::AlbumArt);
    const QDateTime now = QDateTime::currentDateTime();
    if (thumbnailAge >= 0)
        writeFile(item.thumbnailPath(), "t", now.addSecs(-thumbnailAge));
    if (mediaArtAge >= 0)
        writeFile(item.mediaArtPath(), "m", now.addSecs(-mediaArtAge));
    if (generated)
        writeFile(item.generatedPath(), "g");
    QCOMPARE(item.needsUpdate(), stale);
    QCOMPARE(item.thumbnailExists, thumbnailAge >= 0);
    QCOMPARE(item.mediaArtExists, mediaArtAge >= 0);
    QCOMPARE(item.generatedExists, generated);
}

void TestArtFiles::generatedCoverIsDrawnSavedAndFoundAgain()
{
    // The constructor makes the folders of three flavors; the fourth is made when needed.
    AlbumArtGenerator generator(nullptr);
    const QString base = home() + "/.cache/parlovance/generated/";
    QVERIFY(QFileInfo(base + "common").isDir());
    QVERIFY(QFileInfo(base + "music-grid").isDir());
    QVERIFY(QFileInfo(base + "half-screen").isDir());
    QVERIFY(!QFileInfo(base + "nowPlayingLabel").exists());

    AlbumArtCacheItem item(QStringLiteral("Red"), QStringLiteral("Kim"),
                           QStringLiteral("nowPlayingLabel"), AlbumArtType::AlbumArt);
    const QImage drawn = generator.generateAndSave(item);
    QCOMPARE(drawn.size(), QSize(318, 318));
    const QString path = item.generatedPath();
    QVERIFY(item.generatedExists);
    const QImage onDisk(path, "PNG");
    QCOMPARE(onDisk.size(), QSize(318, 318));
    // The cover is text on black: the corner is black, and something else is drawn.
    QCOMPARE(qRed(drawn.pixel(317, 317)), 0);
    bool coloured = false;
    for (int y = 0; y < drawn.height() && !coloured; ++y) {
        for (int x = 0; x < drawn.width() && !coloured; ++x)
            coloured = qGray(drawn.pixel(x, y)) > 40;
    }
    QVERIFY(coloured);

    // Found again: the file is loaded, not drawn anew (drawing places its blanks at random).
    const QDateTime written = QFileInfo(path).lastModified();
    AlbumArtGenerator other(nullptr);
    QCOMPARE(other.generateAndSave(item).convertToFormat(QImage::Format_RGB32),
             onDisk.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(QFileInfo(path).lastModified(), written);
}

void TestArtFiles::unreadableGeneratedCoverIsDrawnAgain()
{
    AlbumArtGenerator generator(nullptr);
    AlbumArtCacheItem item(QStringLiteral("Red"), QStringLiteral("Kim"), QStringLiteral("common"),
                           AlbumArtType::AlbumArt);
    writeFile(item.generatedPath(), "half a PNG");
    const QImage drawn = generator.generateAndSave(item);
    QCOMPARE(drawn.size(), QSize(80, 80));
    QCOMPARE(QImage(item.generatedPath(), "PNG").size(), QSize(80, 80));
}

void TestArtFiles::generatedCoverIsReadAtMostAtItsSize()
{
    // Someone else's picture in place of a text cover: one too large to decode is drawn
    // again; one that is merely large is read at the cover's size.
    AlbumArtGenerator generator(nullptr);
    AlbumArtCacheItem item(QStringLiteral("Vast"), QStringLiteral("Kim"), QStringLiteral("common"),
                           AlbumArtType::AlbumArt);
    writeFile(item.generatedPath(), AudioGenerator::blackPng(20000, 20000));
    QCOMPARE(generator.generateAndSave(item).size(), QSize(80, 80));
    QCOMPARE(QImage(item.generatedPath(), "PNG").size(), QSize(80, 80));

    writeFile(item.generatedPath(), pngOf(Qt::red, 1000));
    QCOMPARE(generator.generateAndSave(item).size(), QSize(80, 80));
    AlbumArtCacheItem grid(QStringLiteral("Vast"), QStringLiteral("Kim"),
                           QStringLiteral("music-grid"), AlbumArtType::AlbumArt);
    writeFile(grid.generatedPath(), AudioGenerator::blackPng(20000, 20000));
    QVERIFY(generator.generateAlbumArt(grid, true).isNull());
    writeFile(grid.generatedPath(), pngOf(Qt::red, 1000));
    QCOMPARE(generator.generateAlbumArt(grid, true).size(), QSize(156, 156));
}

void TestArtFiles::coverWithoutTextOrFlavorIsNull()
{
    AlbumArtGenerator generator(nullptr);
    // Album art is titled by the album, artist art by the artist.
    AlbumArtCacheItem noAlbum(QString(), QStringLiteral("Kim"), QStringLiteral("common"),
                              AlbumArtType::AlbumArt);
    QVERIFY(generator.generateAndSave(noAlbum).isNull());
    AlbumArtCacheItem artist(QString(), QStringLiteral("Kim"), QStringLiteral("common"),
                             AlbumArtType::ArtistArt);
    QVERIFY(!generator.generateAndSave(artist).isNull());
    // Only what stands before the length-variant mark is drawn; nothing before it is nothing.
    AlbumArtCacheItem variantOnly(QString(QChar(0x9c)) + "Long", QStringLiteral("Kim"),
                                  QStringLiteral("common"), AlbumArtType::AlbumArt);
    QVERIFY(generator.generateAndSave(variantOnly).isNull());
    AlbumArtCacheItem badFlavor(QStringLiteral("Red"), QStringLiteral("Kim"),
                                QStringLiteral("Common"), AlbumArtType::AlbumArt);
    QVERIFY(generator.generateAndSave(badFlavor).isNull());
    QVERIFY(generator.generateAlbumArt(badFlavor).isNull());
}

void TestArtFiles::pixmapCoverLoadsOrDrawsInTheBackground()
{
    AlbumArtGenerator generator(nullptr);
    AlbumArtCacheItem item(QStringLiteral("Green"), QStringLiteral("Lee"),
                           QStringLiteral("music-grid"), AlbumArtType::AlbumArt);
    QVERIFY(generator.generateAlbumArt(item, true).isNull());
    QVERIFY(!QFile::exists(item.generatedPath()));

    const QPixmap drawn = generator.generateAlbumArt(item);
    QCOMPARE(drawn.size(), QSize(156, 156));
    QTRY_VERIFY(QFile::exists(item.generatedPath()));
    QThreadPool::globalInstance()->waitForDone();
    QCOMPARE(QImage(item.generatedPath()).size(), QSize(156, 156));
    QCOMPARE(generator.generateAlbumArt(item, true).size(), QSize(156, 156));

    // An unreadable file is drawn again unless only loading was asked for.
    writeFile(item.generatedPath(), "broken");
    QVERIFY(generator.generateAlbumArt(item, true).isNull());
    QCOMPARE(generator.generateAlbumArt(item, false).size(), QSize(156, 156));
    QThreadPool::globalInstance()->waitForDone();
    QCOMPARE(QImage(item.generatedPath()).size(), QSize(156, 156));
}

void TestArtFiles::oneTextKeepsOneColourAcrossThreads()
{
    QStringList texts;
    for (int i = 0; i < 200; ++i)
        texts << QStringLiteral("ALBUM %1").arg(i);
    const int threads = 4;
    std::vector<std::vector<QRgb>> seen(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&texts, &seen, t] {
            AlbumArtGenerator generator(nullptr);
            for (const QString& text : texts)
                seen[t].push_back(generator.colorForText(text).rgb());
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    AlbumArtGenerator later(nullptr);
    QSet<QRgb> colours;
    for (int i = 0; i < texts.size(); ++i) {
        for (int t = 1; t < threads; ++t)
            QCOMPARE(seen[t][i], seen[0][i]);
        QCOMPARE(later.colorForText(texts[i]).rgb(), seen[0][i]);
        colours.insert(seen[0][i]);
    }
    QVERIFY(colours.size() > 1);
}

void TestArtFiles::oneTextKeepsItsColourInALaterRun()
{
    // Covers stay on disk between runs: a list picture drawn in one run and the player's
    // picture of the same album drawn in a later one must have the same colour. An earlier run
    // of this test binary writes the colours it gives these texts; this run compares.
    const QStringList texts { "VISITORS",      "BLUE HOURS", "NEON",           "PAPER MAPS",
                              "QUIET ROOMS",   "STONE MAPS", "HARBOUR RIVERS", "GLASS LIGHTS",
                              "ФЁДОР СВЕТЛОВ", "山田 花子" };
    AlbumArtGenerator generator(nullptr);
    const QString written = qEnvironmentVariable("PARLOVANCE_EARLIER_RUN_COLOURS");
    if (!written.isEmpty()) {
        QFile file(written);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
        // That run meets the texts in another order, as another screen would.
        QStringList colours;
        for (int i = texts.size() - 1; i >= 0; --i)
            colours.prepend(generator.colorForText(texts.at(i)).name());
        file.write(colours.join(QLatin1Char('\n')).toLatin1());
        return;
    }

    const QString listed = TestEnvironment::home() + QStringLiteral("/earlier-run-colours");
    QProcess earlier;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PARLOVANCE_EARLIER_RUN_COLOURS"), listed);
    earlier.setProcessEnvironment(environment);
    earlier.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    earlier.start(QCoreApplication::applicationFilePath(),
                  { QStringLiteral("oneTextKeepsItsColourInALaterRun") });
    QVERIFY(earlier.waitForFinished(120000));
    QCOMPARE(earlier.exitCode(), 0);
    QFile file(listed);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList colours = QString::fromLatin1(file.readAll())
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(colours.size(), texts.size());
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(generator.colorForText(texts.at(i)).name(), colours.at(i));
}

void TestArtFiles::rightToLeftTextIsBrokenIntoAtMostFivePieces()
{
    AlbumArtGenerator generator(nullptr);
    const QString word = QString::fromUtf8("\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d"); // a Hebrew word
    QString longText;
    for (int i = 0; i < 60; ++i)
        longText += word;
    const QString wrapped = generator.wrapText(20, 20, longText);
    const QStringList pieces = wrapped.split(QLatin1Char(' '));
    QCOMPARE(pieces.size(), 5);
    QVERIFY(longText.startsWith(QString(wrapped).remove(QLatin1Char(' '))));
    QCOMPARE(generator.wrapText(2000, 20, word), word);
    QCOMPARE(generator.wrapText(20, 20, QString()), QString());

    // Such a title is drawn and saved like any other.
    AlbumArtCacheItem item(longText, QStringLiteral("Kim"), QStringLiteral("common"),
                           AlbumArtType::AlbumArt);
    QCOMPARE(generator.generateAndSave(item).size(), QSize(80, 80));
}

void TestArtFiles::backgroundIsSpacedOnlyBetweenCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("emoji") << QString::fromUtf8("ROCK 'N' ROLL \xf0\x9f\x8e\xb8 DAYS");
    QTest::newRow("combining accent") << QString::fromUtf8("CAFE\xcc\x81 DE\xcc\x81JA\xcc\x80 VU");
    QTest::newRow("flags") << QString::fromUtf8("\xf0\x9f\x87\xab\xf0\x9f\x87\xb7 TOUR "
                                                "\xf0\x9f\x87\xa9\xf0\x9f\x87\xaa");
    QTest::newRow("joined emoji") << QString::fromUtf8(
        "CODE \xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x92\xbb NIGHTS");
}

void TestArtFiles::backgroundIsSpacedOnlyBetweenCharacters()
{
    // The pattern behind a cover's title is the title again and again, each copy with its
    // blanks moved to random places: between characters, never inside one.
    QFETCH(QString, text);
    AlbumArtGenerator generator(nullptr);
    const QStringList characters = charactersWithoutBlanks(text);
    for (uint seed = 1; seed <= 20; ++seed) {
        qsrand(seed);
        const QString pattern = generator.backgroundPattern(text, 480);
        const QStringList drawn = charactersWithoutBlanks(pattern);
        QVERIFY2(drawn.size() >= 2 * characters.size(), qPrintable(pattern));
        for (int i = 0; i < drawn.size(); ++i)
            QVERIFY2(drawn.at(i) == characters.at(i % characters.size()), qPrintable(pattern));
    }
}

void TestArtFiles::rightToLeftTextIsBrokenOnlyBetweenCharacters()
{
    // A Hebrew title with its vowel points and an emoji, broken into lines narrower than some
    // of its characters.
    const QString word = QString::fromUtf8(
        "\xd7\xa9\xd7\x81\xd6\xb8\xd7\x9c\xd7\x95\xd6\xb9\xd7\x9d"
        "\xf0\x9f\x8e\xb8");
    const QString text = word + word + word;
    AlbumArtGenerator generator(nullptr);
    const QStringList characters = charactersWithoutBlanks(text);
    for (int width = 4; width <= 40; width += 6) {
        const QStringList pieces = generator.wrapText(width, width, text).split(QLatin1Char(' '));
        QStringList drawn;
        for (const QString& piece : pieces)
            drawn += charactersWithoutBlanks(piece);
        QVERIFY(!drawn.isEmpty());
        QCOMPARE(drawn, characters.mid(0, drawn.size()));
    }
}

void TestArtFiles::saverWritesAndSignals()
{
    const QString path = home() + "/.cache/parlovance/collage/Playlist_1.png";
    QDir().mkpath(QFileInfo(path).absolutePath());
    QCOMPARE(PixmapSaver::saveStatus(path), 1);
    QImage image(156, 156, QImage::Format_RGB32);
    image.fill(Qt::red);
    auto* saver = new PixmapSaver(image, path);
    QSignalSpy saved(saver, &PixmapSaver::pixmapSaved);
    PixmapSaver::startInBackground(saver);
    QTRY_COMPARE(saved.count(), 1);
    QThreadPool::globalInstance()->waitForDone();
    QCOMPARE(PixmapSaver::saveStatus(path), 0);
    QCOMPARE(QImage(path, "PNG").pixel(3, 3), QColor(Qt::red).rgb());

    // A folder that is not there: nothing written, and still the signal.
    const QString nowhere = home() + "/no/such/folder/x.png";
    auto* lost = new PixmapSaver(image, nowhere);
    QSignalSpy lostSaved(lost, &PixmapSaver::pixmapSaved);
    PixmapSaver::startInBackground(lost);
    QTRY_COMPARE(lostSaved.count(), 1);
    QCOMPARE(PixmapSaver::saveStatus(nowhere), 1);
}

void TestArtFiles::saverOfNothingStaysSilent()
{
    const QString path = home() + "/nothing.png";
    auto* saver = new PixmapSaver(QImage(), path);
    QAtomicInt signals_;
    connect(
        saver, &PixmapSaver::pixmapSaved, this, [&signals_] { signals_.ref(); },
        Qt::DirectConnection);
    PixmapSaver::startInBackground(saver);
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCOMPARE(signals_.loadAcquire(), 0);
    QVERIFY(!QFile::exists(path));
}

void TestArtFiles::newestImageOfAFileWins()
{
    // Many savers of one file, started in order and run in any order: the file ends with the
    // image of the last one created, and every saver reports.
    const QString path = home() + "/.cache/parlovance/collage/Playlist_2.png";
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int count = 12;
    QAtomicInt reports;
    QList<PixmapSaver*> savers;
    for (int i = 0; i < count; ++i) {
        QImage image(300, 300, QImage::Format_RGB32);
        image.fill(qRgb(i * 20, 0, 0));
        auto* saver = new PixmapSaver(image, path);
        connect(
            saver, &PixmapSaver::pixmapSaved, this, [&reports] { reports.ref(); },
            Qt::DirectConnection);
        savers.prepend(saver);
    }
    for (PixmapSaver* saver : savers)
        PixmapSaver::startInBackground(saver);
    QThreadPool::globalInstance()->waitForDone();
    QCOMPARE(reports.loadAcquire(), count);
    QCOMPARE(qRed(QImage(path, "PNG").pixel(5, 5)), (count - 1) * 20);
    QCOMPARE(PixmapSaver::saveStatus(path), 0);
}

void TestArtFiles::readersNeverSeeAHalfWrittenFile()
{
    const QString path = home() + "/.cache/parlovance/generated/common/42.png";
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(PixmapSaver::writeNow(QImage::fromData(pngOf(Qt::green, 400)), path, "PNG"));
    std::atomic<bool> done(false);
    std::atomic<int> broken(0);
    std::atomic<int> reads(0);
    std::thread reader([&] {
        while (!done.load()) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            if (QImage::fromData(file.readAll()).isNull())
                ++broken;
            ++reads;
        }
    });
    for (int i = 0; i < 30; ++i) {
        QImage image(400, 400, QImage::Format_RGB32);
        image.fill(qRgb(i, 255 - i, i * 3));
        QVERIFY(PixmapSaver::writeNow(image, path, "PNG"));
    }
    done = true;
    reader.join();
    QVERIFY(reads.load() > 0);
    QCOMPARE(broken.load(), 0);
}

void TestArtFiles::saverReplacesWhatIsPlantedAtItsFile()
{
    // Links at a generated cover, a playlist's collage and the all-songs collage, pointing at a
    // file of the user's; a pipe at another generated cover.
    const QString precious = home() + "/precious.txt";
    writeFile(precious, "keep me");
    const QString cache = home() + "/.cache/parlovance";
    const QStringList linked = { cache + "/generated/common/7.png",
                                 cache + "/collage/Playlist_3.png",
                                 cache + "/collage/qtn_musi_all_songs.png" };
    for (const QString& path : linked) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QVERIFY(QFile::link(precious, path));
    }
    const QString piped = cache + "/generated/common/8.png";
    QCOMPARE(::mkfifo(QFile::encodeName(piped).constData(), 0600), 0);

    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QVERIFY(PixmapSaver::writeNow(image, linked.at(0), "PNG"));
    QVERIFY(PixmapSaver::writeNow(image, piped, "PNG"));
    for (const QString& path : linked.mid(1)) {
        auto* saver = new PixmapSaver(image, path);
        QSignalSpy saved(saver, &PixmapSaver::pixmapSaved);
        PixmapSaver::startInBackground(saver);
        QTRY_COMPARE(saved.count(), 1);
    }
    QThreadPool::globalInstance()->waitForDone();
    QFile kept(precious);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep me"));
    for (const QString& path : linked + QStringList { piped }) {
        const QFileInfo info(path);
        QVERIFY2(info.isFile() && !info.isSymLink(), qPrintable(path));
        QCOMPARE(QImage(path, "PNG").pixel(3, 3), QColor(Qt::blue).rgb());
    }
}

PARLOVANCE_TEST_MAIN(TestArtFiles)
#include "tst_artfiles.moc"
