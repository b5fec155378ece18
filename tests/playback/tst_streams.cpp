// Streams and files from outside the queue through the real hub and play controller: playlist
// files told by their content, a radio over a local HTTP server, tags in a legacy character
// set, broken playlist files, what may be saved, a save the library never takes, and the
// save-as dialog that copies a played file.

#include "audiogenerator.h"
#include "common/constants.h"
#include "data/contentmanager.h"
#include "fixturelibrary.h"
#include "hubtestlibrary.h"
#include "id3tagbytes.h"
#include "mafwtrackermodel.h"
#include "mbanner.h"
#include "msaveasdialog.h"
#include "mtextedit.h"
#include "playback/playstate.h"
#include "playback/radioplayback.h"
#include "processio.h"
#include "radioserver.h"
#include "testenvironment.h"

#include <QSignalSpy>
#include <QTextCodec>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const int Timeout = 20000;

QString outside(const QString& name)
{
    const QString path = TestEnvironment::home() + QStringLiteral("/Downloads/") + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    return path;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// An MP3 whose only tag is an ID3v1 tag in CP1251, as older Russian files have.
QString legacyTaggedMp3(const QString& title, const QString& artist, const QString& album)
{
    QFile audio(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 3000));
    if (!audio.open(QIODevice::ReadOnly))
        return QString();
    QTextCodec* cp1251 = QTextCodec::codecForName("windows-1251");
    auto field = [cp1251](const QString& text) {
        return cp1251->fromUnicode(text).leftJustified(30, '\0', true);
    };
    const QByteArray tag = "TAG" + field(title) + field(artist) + field(album) + "1988"
                           + QByteArray(30, '\0') + char(0xff);
    const QString path = outside(QStringLiteral("kino.mp3"));
    return writeFile(path, audio.readAll() + tag) ? path : QString();
}

// An MP3 of outside music with the tags given before (ID3v2) and after (ID3v1) the audio.
QString taggedMp3(const QString& name, const QByteArray& front, const QByteArray& back)
{
    QFile audio(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 3000));
    if (!audio.open(QIODevice::ReadOnly))
        return QString();
    const QString path = outside(name);
    return writeFile(path, front + audio.readAll() + back) ? path : QString();
}

// What the process has read from files, pipes and sockets so far.
qint64 bytesReadByProcess()
{
    return bytesReadSoFar(QStringLiteral("/proc/self/io"));
}

// A song of its own title, for telling the items of a list apart.
QString titledSong(const QString& name, const QString& title)
{
    const QString path = outside(name);
    AudioTags tags;
    tags.title = title;
    tags.artist = QStringLiteral("Listed");
    return AudioGenerator::write(path, tags, 2000) ? path : QString();
}

// Records what a listener of the player sheet is told.
class SheetListener : public QObject
{
    Q_OBJECT

public:
    QList<bool> told;

public slots:
    void updateSheet(bool complete) { told.append(complete); }
};

} // namespace

class TestStreams : public QObject
{
    Q_OBJECT

private:
    PlayState* hub = nullptr;
    RadioServer server;

    bool waitForState(PlayState::State state)
    {
        QElapsedTimer waited;
        waited.start();
        while (hub->state(hub->mode()) != state && waited.elapsed() < Timeout)
            QTest::qWait(10);
        return hub->state(hub->mode()) == state;
    }

private slots:
    void initTestCase()
    {
        MBanner::setDisplayDurationForTesting(50);
        QVERIFY(HubTestLibrary::build());
        hub = PlayState::instance();
        QVERIFY(server.start());
        QVERIFY(server.addRadio("/stream", "/radio.pls"));
        QFile audio(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 20000));
        QVERIFY(audio.open(QIODevice::ReadOnly));
        RadioServer::Resource endless;
        endless.contentType = "audio/mpeg";
        endless.body = audio.readAll();
        endless.endless = true;
        server.addResource("/endless", endless);
    }

    void cleanupTestCase() { PlayState::destroyInstance(); }

    void radioPlaylistsLocalOrOnAServerPlayWithTheirTitles_data()
    {
        QTest::addColumn<bool>("local");
        QTest::newRow("local .pls") << true;
        QTest::newRow("http .pls") << false;
    }

    void radioPlaylistsLocalOrOnAServerPlayWithTheirTitles()
    {
        QFETCH(bool, local);
        QUrl url = server.url("/radio.pls");
        if (local) {
            const QString path = outside(QStringLiteral("station.pls"));
            QVERIFY(writeFile(path, "[playlist]\nNumberOfEntries=1\nFile1="
                                        + server.url("/stream").toEncoded() + "\nVersion=2\n"));
            url = QUrl::fromLocalFile(path);
        }
        hub->playStream(url);
        QCOMPARE(hub->mode(), PlayState::RadioMode);
        QCOMPARE(hub->contentType(PlayState::RadioMode), PlayState::RadioPlaylistContent);
        QVERIFY(waitForState(PlayState::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::RadioMode), QStringLiteral("Test Radio"),
                                  Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(hub->artist(PlayState::RadioMode),
                                  QStringLiteral("Some Artist - Some Song"), Timeout);
        if (!local)
            QVERIFY(!hub->saveAllowed());
        hub->stop(PlayState::RadioMode);
        QVERIFY(waitForState(PlayState::Stopped));
    }

    void legacyTagsOfALocalFileAreDecodedAgain()
    {
        const QStringList before = QDir::current().entryList(QDir::AllEntries | QDir::System);
        const QString kino = legacyTaggedMp3(QStringLiteral("Звезда по имени Солнце"),
                                             QStringLiteral("Кино"),
                                             QStringLiteral("Группа крови"));
        QVERIFY(!kino.isEmpty());
        hub->playStream(QUrl::fromLocalFile(kino));
        QCOMPARE(hub->contentType(PlayState::RadioMode), PlayState::UrlContent);
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::RadioMode),
                                  QStringLiteral("Звезда по имени Солнце"), Timeout);
        QCOMPARE(hub->artist(PlayState::RadioMode), QStringLiteral("Кино"));
        QCOMPARE(hub->album(PlayState::RadioMode), QStringLiteral("Группа крови"));

        // ID3v2 frames all in one encoding are taken as they are: Latin-1 stays Latin-1.
        const QString cafe = outside(QStringLiteral("cafe.mp3"));
        QVERIFY(AudioGenerator::write(cafe,
                                      AudioTags { QStringLiteral("Café Crème"),
                                                  QStringLiteral("Zoë Ørsted"),
                                                  QStringLiteral("Déjà vu"), QString(), QString(),
                                                  0, 0, QImage() },
                                      3000));
        hub->playStream(QUrl::fromLocalFile(cafe));
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::RadioMode), QStringLiteral("Café Crème"),
                                  Timeout);
        QCOMPARE(hub->artist(PlayState::RadioMode), QStringLiteral("Zoë Ørsted"));
        hub->stop(PlayState::RadioMode);
        // Nothing is left in the folder the player runs in.
        QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::System), before);
    }

    void tagsInEveryCharacterSetAndTagKindAreReadRight_data()
    {
        QTest::addColumn<QByteArray>("front");
        QTest::addColumn<QByteArray>("back");
        QTest::addColumn<QStringList>("expected");
        const QString evenings = QStringLiteral("Подмосковные вечера");
        const QString singer = QStringLiteral("Владимир Трошин");
        const QString songs = QStringLiteral("Песни");
        // What the player shows for a tag the file does not have.
        const QString noArtist = qtTrId("qtn_musi_unknown_artist");
        const QString noAlbum = qtTrId("qtn_musi_unknown_album");
        QTest::newRow("ID3v1 CP1251, title alone")
            << QByteArray() << id3v1(encoded("windows-1251", evenings), {}, {})
            << QStringList { evenings, noArtist, noAlbum };
        QTest::newRow("ID3v1 CP1252")
            << QByteArray()
            << id3v1(encoded("windows-1252", QStringLiteral("Café Crème")),
                     encoded("windows-1252", QStringLiteral("Zoë Ørsted")),
                     encoded("windows-1252", QStringLiteral("Déjà vu")))
            << QStringList { QStringLiteral("Café Crème"), QStringLiteral("Zoë Ørsted"),
                             QStringLiteral("Déjà vu") };
        QTest::newRow("ID3v1 Shift-JIS")
            << QByteArray()
            << id3v1(encoded("Shift_JIS", QStringLiteral("夜に駆ける")), "YOASOBI",
                     encoded("Shift_JIS", QStringLiteral("夜に駆ける")))
            << QStringList { QStringLiteral("夜に駆ける"), QStringLiteral("YOASOBI"),
                             QStringLiteral("夜に駆ける") };
        QTest::newRow("ID3v1 GBK")
            << QByteArray()
            << id3v1(encoded("GBK", QStringLiteral("月亮代表我的心")),
                     encoded("GBK", QStringLiteral("邓丽君")),
                     encoded("GBK", QStringLiteral("甜蜜蜜")))
            << QStringList { QStringLiteral("月亮代表我的心"), QStringLiteral("邓丽君"),
                             QStringLiteral("甜蜜蜜") };
        // Frames of two encodings: the UTF-16 one is right as it is, the Latin-1 ones hold
        // CP1251 bytes.
        QTest::newRow("ID3v2.3 CP1251 declared Latin-1 beside UTF-16")
            << id3v2(3, { { "TIT2", 0, encoded("windows-1251", evenings) },
                          utf16Frame("TPE1", singer),
                          { "TALB", 0, encoded("windows-1251", songs) } })
            << QByteArray() << QStringList { evenings, singer, songs };
        // A UTF-16 frame of Latin letters is not taken for misread Latin-1.
        QTest::newRow("ID3v2.3 UTF-16 Latin letters beside CP1251")
            << id3v2(3, { utf16Frame("TIT2", QStringLiteral("Café")),
                          { "TPE1", 0, encoded("windows-1251", QStringLiteral("Кино")) },
                          { "TALB", 0, encoded("windows-1251", QStringLiteral("Группа крови")) } })
            << QByteArray()
            << QStringList { QStringLiteral("Café"), QStringLiteral("Кино"),
                             QStringLiteral("Группа крови") };
        QTest::newRow("ID3v2.3 all UTF-16")
            << id3v2(3, { utf16Frame("TIT2", QStringLiteral("Катюша")),
                          utf16Frame("TPE1", QStringLiteral("Лидия Русланова")),
                          utf16Frame("TALB", QStringLiteral("Песни войны")) })
            << QByteArray()
            << QStringList { QStringLiteral("Катюша"), QStringLiteral("Лидия Русланова"),
                             QStringLiteral("Песни войны") };
        // id3lib reads no ID3v2.4 frames: the texts are looked at one by one.
        QTest::newRow("ID3v2.4 UTF-8 ASCII")
            << id3v2(4, { { "TIT2", 3, "Clip T" }, { "TPE1", 3, "Artie" }, { "TALB", 3, "Clips" } })
            << QByteArray()
            << QStringList { QStringLiteral("Clip T"), QStringLiteral("Artie"),
                             QStringLiteral("Clips") };
        QTest::newRow("ID3v2.4 UTF-8 Cyrillic and CJK")
            << id3v2(4, { { "TIT2", 3, evenings.toUtf8() },
                          { "TPE1", 3, QStringLiteral("邓丽君").toUtf8() },
                          { "TALB", 3, songs.toUtf8() } })
            << QByteArray() << QStringList { evenings, QStringLiteral("邓丽君"), songs };
        QTest::newRow("ID3v2.4 GBK declared Latin-1")
            << id3v2(4, { { "TIT2", 0, encoded("GBK", QStringLiteral("月亮代表我的心")) },
                          { "TPE1", 0, encoded("GBK", QStringLiteral("邓丽君")) } })
            << QByteArray()
            << QStringList { QStringLiteral("月亮代表我的心"), QStringLiteral("邓丽君"), noAlbum };
        // Bytes that no character set reads as text keep what the renderer made of them.
        const QByteArray noise = "\x01" + encoded("windows-1251", QStringLiteral("Ночь"));
        QTest::newRow("ID3v1 noise")
            << QByteArray() << id3v1(noise, "Noise", {})
            << QStringList { QString::fromLatin1(noise), QStringLiteral("Noise"), noAlbum };
    }

    void tagsInEveryCharacterSetAndTagKindAreReadRight()
    {
        QFETCH(QByteArray, front);
        QFETCH(QByteArray, back);
        QFETCH(QStringList, expected);
        const QString path = taggedMp3(
            QStringLiteral("charset-%1.mp3").arg(QTest::currentDataTag()).replace(' ', '-'), front,
            back);
        QVERIFY(!path.isEmpty());
        hub->playStream(QUrl::fromLocalFile(path));
        QTRY_VERIFY_WITH_TIMEOUT(hub->state(PlayState::RadioMode) == PlayState::Playing, Timeout);
        // Every row has texts of its own, so what the last row left cannot pass for them.
        QTRY_COMPARE_WITH_TIMEOUT(QStringList({ hub->title(PlayState::RadioMode),
                                                hub->artist(PlayState::RadioMode),
                                                hub->album(PlayState::RadioMode) }),
                                  expected, Timeout);
        hub->stop(PlayState::RadioMode);
        QVERIFY(waitForState(PlayState::Stopped));
    }

    // A list of paths may be a large text file. It is read for its entries, and the tags of
    // each item come from the item's own file, read no further than its tag: an item's tags
    // read from the list itself would be the whole list again and again, each read on the
    // thread pool that the reading of lists waits for.
    void aLargeListIsReadForItsEntriesAloneAndTagsFromEachItem()
    {
        const QString first = titledSong(QStringLiteral("listed one.mp3"), QStringLiteral("One"));
        const QString second = titledSong(QStringLiteral("listed two.ogg"), QStringLiteral("Two"));
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        QByteArray list = QFile::encodeName(first) + '\n' + QFile::encodeName(second) + '\n';
        const QByteArray remark = "# " + QByteArray(77, '-') + '\n';
        list += remark.repeated((32 * 1024 * 1024) / remark.size());
        const QString path = outside(QStringLiteral("long list.txt"));
        QVERIFY(writeFile(path, list));

        const qint64 before = bytesReadByProcess();
        QVERIFY(before >= 0);
        hub->playStream(QUrl::fromLocalFile(path));
        QCOMPARE(hub->contentType(PlayState::RadioMode), PlayState::RadioPlaylistContent);
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::RadioMode), QStringLiteral("One"),
                                  3 * Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::RadioMode), QStringLiteral("Two"),
                                  3 * Timeout);
        const qint64 read = bytesReadByProcess() - before;
        // Less than the list in all: what tells its type and its entries reads its head alone.
        QVERIFY2(
            read < list.size(),
            qPrintable(
                QStringLiteral("%1 bytes read for a list of %2 bytes").arg(read).arg(list.size())));
        hub->stop(PlayState::RadioMode);
        QVERIFY(waitForState(PlayState::Stopped));
    }

    // A file with no tag costs the read of its head, however large it is, and no read for an
    // item goes on once another item plays.
    void noTagReadOutlastsItsItem()
    {
        // Two gigabytes of silence in a file that takes no room. No byte of its header is 0xff,
        // which a reader could take for the start of MPEG audio and look no further.
        const QString silence = outside(QStringLiteral("long silence.wav"));
        const quint32 dataBytes = 0x7f000000;
        QByteArray header;
        auto put = [&header](quint32 value, int bytes) {
            for (int i = 0; i < bytes; ++i)
                header += char((value >> (8 * i)) & 0xff);
        };
        header += "RIFF";
        put(36 + dataBytes, 4);
        header += "WAVEfmt ";
        put(16, 4); // PCM, 2 channels, 44.1 kHz, 16 bits
        put(1, 2);
        put(2, 2);
        put(44100, 4);
        put(44100 * 4, 4);
        put(4, 2);
        put(16, 2);
        header += "data";
        put(dataBytes, 4);
        QVERIFY(writeFile(silence, header));
        QVERIFY(::truncate(QFile::encodeName(silence).constData(), 44 + qint64(dataBytes)) == 0);
        const QString next = titledSong(QStringLiteral("after silence.ogg"),
                                        QStringLiteral("After"));
        QVERIFY(!next.isEmpty());

        hub->playStream(QUrl::fromLocalFile(silence));
        QVERIFY(waitForState(PlayState::Playing));
        // By now the item's media info has been asked for, and its tags are being read.
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::RadioMode) >= 2, Timeout);
        hub->playStream(QUrl::fromLocalFile(next));
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::RadioMode), QStringLiteral("After"),
                                  Timeout);
        // Playing a small song reads little; a read of the silence going on reads on.
        QElapsedTimer waited;
        waited.start();
        qint64 halfSecond = -1;
        do {
            const qint64 start = bytesReadByProcess();
            QTest::qWait(500);
            halfSecond = bytesReadByProcess() - start;
        } while (halfSecond >= 1024 * 1024 && waited.elapsed() < Timeout);
        QVERIFY2(halfSecond < 1024 * 1024,
                 qPrintable(QStringLiteral("%1 bytes read in half a second").arg(halfSecond)));
        hub->stop(PlayState::RadioMode);
        QVERIFY(waitForState(PlayState::Stopped));
        QFile::remove(silence);
    }

    void brokenPlaylistFilesShowTheirBanners_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("banner");
        QTest::newRow("text that is no playlist")
            << "words.pls" << QByteArray("just some words\nnot a playlist\n")
            << qtTrId("qtn_musi_empty_playlist");
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 7919) % 251);
        QTest::newRow("binary") << "noise.pls" << binary << qtTrId("qtn_musi_format_not_supported");
        QTest::newRow("zero bytes")
            << "empty.m3u" << QByteArray() << qtTrId("qtn_musi_format_not_supported");
    }

    void brokenPlaylistFilesShowTheirBanners()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, banner);
        const QString path = outside(name);
        QVERIFY(writeFile(path, bytes));
        // The request finds nothing: the item an earlier case left in the sheet has ended.
        hub->endSheetItem();
        MBanner::clearShownTitles();
        SheetListener sheet;
        hub->registerSheetListener(&sheet, SLOT(updateSheet(bool)));
        hub->playStream(QUrl::fromLocalFile(path));
        QTRY_VERIFY_WITH_TIMEOUT(MBanner::shownTitles().contains(banner), Timeout);
        // Once the banner has gone, the item is over and the sheet is told to close.
        QTRY_VERIFY_WITH_TIMEOUT(sheet.told.contains(true), Timeout);
        QCOMPARE(hub->state(PlayState::RadioMode), PlayState::Stopped);
        hub->unregisterSheetListener(&sheet);
    }

    void aStreamStoppedByAPauseOpensAgainOnResume()
    {
        const QUrl url = server.url("/endless");
        hub->playStream(url);
        QVERIFY(waitForState(PlayState::Playing));
        QCOMPARE(hub->contentType(PlayState::RadioMode), PlayState::UrlContent);
        QVERIFY(!hub->isSeekable(PlayState::RadioMode));
        // It cannot pause: it stops, and a resume opens it again, each time.
        for (int round = 0; round < 2; ++round) {
            hub->pauseOrStop(PlayState::RadioMode);
            QVERIFY(waitForState(PlayState::Stopped));
            const int opened = server.requests("/endless");
            hub->play(PlayState::RadioMode);
            QVERIFY(waitForState(PlayState::Playing));
            QCOMPARE(server.requests("/endless"), opened + 1);
            QCOMPARE(hub->mode(), PlayState::RadioMode);
            QCOMPARE(hub->streamUrl(), url);
            QCOMPARE(hub->contentType(PlayState::RadioMode), PlayState::UrlContent);
        }
        hub->stop(PlayState::RadioMode);
        QVERIFY(waitForState(PlayState::Stopped));
    }

    void onlyAnExistingLocalFileMayBeSaved()
    {
        hub->playStream(server.url("/stream"));
        QCOMPARE(hub->contentType(PlayState::RadioMode), PlayState::UrlContent);
        QVERIFY(!hub->saveAllowed());
        const QString path = outside(QStringLiteral("keep.ogg"));
        QVERIFY(QFile::copy(AudioGenerator::untaggedTemplate(QStringLiteral("ogg"), 3000), path));
        hub->playStream(QUrl::fromLocalFile(path));
        QVERIFY(hub->saveAllowed());
        QVERIFY(QFile::remove(path));
        QVERIFY(!hub->saveAllowed());
        // Nothing is offered for what cannot be saved.
        hub->saveCurrentStream();
        QVERIFY(!hub->findChild<ContentManager*>()
                || !hub->findChild<ContentManager*>()->saveAsDialog());
        hub->stop(PlayState::RadioMode);
    }

    void aSaveTheLibraryNeverTakesGivesWayToTheNextStream()
    {
        RadioPlayback::setSaveTimeoutForTesting(500);
        const QString first = outside(QStringLiteral("first.ogg"));
        QVERIFY(QFile::copy(AudioGenerator::untaggedTemplate(QStringLiteral("ogg"), 3000), first));
        hub->playStream(QUrl::fromLocalFile(first));
        QSignalSpy saves(hub, &PlayState::saveStateChanged);
        // The user chose a name, and the copy never shows up in the library.
        hub->saveSongSelectedSlot(QStringLiteral("never indexed.ogg"));
        QCOMPARE(hub->saveState(), PlayState::Saving);
        hub->playStream(server.url("/stream"));
        QCOMPARE(hub->streamUrl(), QUrl::fromLocalFile(first));
        QTRY_COMPARE_WITH_TIMEOUT(hub->saveState(), PlayState::NotSaved, Timeout);
        QCOMPARE(saves.last().at(0).value<PlayState::SaveState>(), PlayState::NotSaved);
        // The stream asked for meanwhile plays now.
        QCOMPARE(hub->streamUrl(), server.url("/stream"));
        QVERIFY(waitForState(PlayState::Playing));
        hub->stop(PlayState::RadioMode);
        RadioPlayback::setSaveTimeoutForTesting(20000);
    }

    void nextInTheSheetLeavesTheMusicQueueAlone()
    {
        const QSharedPointer<MafwTrackerModel> seven = HubTestLibrary::album(
            QStringLiteral("Seven"));
        QVERIFY(seven);
        hub->appendModel(seven, PlayState::ReplaceQueue, -1);
        QCOMPARE(hub->startPlayback(2, PlayState::PlayNow), 2);
        QVERIFY(waitForState(PlayState::Playing));
        const QString path = outside(QStringLiteral("single.ogg"));
        QVERIFY(QFile::copy(AudioGenerator::untaggedTemplate(QStringLiteral("ogg"), 3000), path));
        hub->playStream(QUrl::fromLocalFile(path));
        QVERIFY(waitForState(PlayState::Playing));
        hub->next(-1);
        hub->previous(-1, false);
        QCOMPARE(hub->mode(), PlayState::RadioMode);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 2);
        hub->play(PlayState::MusicMode);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 2);
        QCOMPARE(hub->title(PlayState::MusicMode),
                 HubTestLibrary::cell(seven.data(), 2, Constants::SongTitle).toString());
        hub->stop(PlayState::MusicMode);
    }

    void queueingDuringAStreamFillsTheMusicQueueOnly()
    {
        hub->playStream(server.url("/stream"));
        QVERIFY(waitForState(PlayState::Playing));
        QCOMPARE(hub->songCount(PlayState::RadioMode), 0);
        const QSharedPointer<MafwTrackerModel> red = HubTestLibrary::album(QStringLiteral("Red"));
        QVERIFY(red);
        QSignalSpy counts(hub, &PlayState::songCountChanged);
        hub->appendModel(red, PlayState::ReplaceQueue, -1);
        // The songs wait in the music queue behind the stream; the stream holds none of them.
        QCOMPARE(hub->songCount(PlayState::MusicMode), 2);
        QVERIFY(!counts.isEmpty());
        QCOMPARE(counts.last().at(0).toInt(), 2);
        QCOMPARE(hub->mode(), PlayState::RadioMode);
        QCOMPARE(hub->songCount(PlayState::RadioMode), 0);
        hub->stop(PlayState::RadioMode);
        QVERIFY(waitForState(PlayState::Stopped));
        QCOMPARE(hub->songCount(PlayState::RadioMode), 0);
        // Music comes back with the songs queued meanwhile.
        hub->play(PlayState::MusicMode);
        QCOMPARE(hub->mode(), PlayState::MusicMode);
        QCOMPARE(hub->songCount(PlayState::MusicMode), 2);
        QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Crimson"));
        hub->stop(PlayState::MusicMode);
    }

    void aSongArrivingDuringAStreamLeavesTheStreamWithoutSongs()
    {
        // The queue holds an album's own model, which follows the library.
        QVERIFY(!FixtureLibrary::addSong(
                     { "Noa/Grow/1.ogg", "Seed", "Noa", "Grow", "Pop", 1, 0, 30 * 1000 })
                     .isEmpty());
        QVERIFY(FixtureLibrary::index());
        // The album list reads the new album a little after the indexer is through.
        QSharedPointer<MafwTrackerModel> grow;
        QTRY_VERIFY_WITH_TIMEOUT((grow = HubTestLibrary::album(QStringLiteral("Grow"))), Timeout);
        QCOMPARE(grow->rowCount(), 1);
        hub->appendModel(grow, PlayState::ReplaceQueue, -1);
        QCOMPARE(hub->startPlayback(0, PlayState::PlayNow), 0);
        QVERIFY(waitForState(PlayState::Playing));
        const QString path = outside(QStringLiteral("meanwhile.ogg"));
        QVERIFY(QFile::copy(AudioGenerator::untaggedTemplate(QStringLiteral("ogg"), 3000), path));
        hub->playStream(QUrl::fromLocalFile(path));
        QVERIFY(waitForState(PlayState::Playing));
        hub->stop(PlayState::RadioMode);
        QVERIFY(waitForState(PlayState::Stopped));

        QVERIFY(!FixtureLibrary::addSong(
                     { "Noa/Grow/2.ogg", "Sprout", "Noa", "Grow", "Pop", 2, 0, 30 * 1000 })
                     .isEmpty());
        QVERIFY(FixtureLibrary::index());
        QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 2, Timeout);
        QCOMPARE(hub->mode(), PlayState::RadioMode);
        QCOMPARE(hub->contentType(PlayState::RadioMode), PlayState::UrlContent);
        QCOMPARE(hub->songCount(PlayState::RadioMode), 0);
        QCOMPARE(hub->state(PlayState::RadioMode), PlayState::Stopped);
        // The music waits behind the file where it was.
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Paused);
        QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Seed"));
    }

    void aSavedCopyTakesTheModeOfANewFile()
    {
        ContentManager manager(nullptr);
        const QString path = outside(QStringLiteral("mode.mp3"));
        QVERIFY(QFile::copy(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 1000), path));
        const mode_t before = ::umask(022);
        struct Restore
        {
            mode_t mask;
            ~Restore() { ::umask(mask); }
        } restore { before };
        for (const mode_t mask : { mode_t(022), mode_t(027) }) {
            ::umask(mask);
            manager.saveSong(QUrl::fromLocalFile(path).toString());
            MSaveAsDialog* dialog = manager.saveAsDialog();
            QVERIFY(dialog);
            QSignalSpy selected(&manager, &ContentManager::saveSongSelected);
            const QString name = QStringLiteral("Mode %1").arg(mask, 3, 8, QLatin1Char('0'));
            dialog->nameEdit()->setText(name);
            dialog->accept();
            QTRY_COMPARE_WITH_TIMEOUT(selected.count(), 1, Timeout);
            const QString saved = TestEnvironment::musicDir() + QLatin1Char('/') + name
                                  + QStringLiteral(".mp3");
            struct stat info;
            QCOMPARE(::stat(QFile::encodeName(saved).constData(), &info), 0);
            QCOMPARE(int(info.st_mode & 0777), int(0666 & ~mask));
            QFile::remove(saved);
        }
    }

    void theSaveAsDialogCopiesWithoutOverwriting()
    {
        ContentManager manager(nullptr);
        const QString path = outside(QStringLiteral("talk.mp3"));
        QVERIFY(QFile::copy(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 1000), path));
        manager.saveSong(QUrl::fromLocalFile(path).toString());
        MSaveAsDialog* dialog = manager.saveAsDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->sourcePath(), path);
        QCOMPARE(dialog->defaultFileName(), QStringLiteral("talk"));
        QCOMPARE(dialog->defaultExtension(), QStringLiteral("mp3"));
        QCOMPARE(dialog->destinationPath(), QDir(TestEnvironment::musicDir()).absolutePath());

        QSignalSpy selected(&manager, &ContentManager::saveSongSelected);
        // A name that is no file name keeps the dialog waiting.
        dialog->nameEdit()->setText(QStringLiteral("../escape"));
        dialog->accept();
        QTest::qWait(50);
        QVERIFY(selected.isEmpty());
        QVERIFY(!QFileInfo::exists(TestEnvironment::home() + QStringLiteral("/escape.mp3")));
        const QString taken = TestEnvironment::musicDir() + QStringLiteral("/Kept talk.mp3");
        QVERIFY(writeFile(taken, "already here"));
        dialog->nameEdit()->setText(QStringLiteral("Kept talk"));
        dialog->accept();
        QTRY_COMPARE_WITH_TIMEOUT(selected.count(), 1, Timeout);
        QCOMPARE(selected.first().at(0).toString(), QStringLiteral("Kept talk (2).mp3"));
        QCOMPARE(QFileInfo(taken).size(), qint64(12));
        QCOMPARE(
            QFileInfo(TestEnvironment::musicDir() + QStringLiteral("/Kept talk (2).mp3")).size(),
            QFileInfo(path).size());
        QVERIFY(QDir(TestEnvironment::musicDir())
                    .entryList({ QStringLiteral(".saveas-*") }, QDir::Hidden | QDir::Files)
                    .isEmpty());

        // The same dialog comes back for the next save; a name without a dot has no extension,
        // and Cancel says nothing.
        const QString bare = outside(QStringLiteral("memo"));
        QVERIFY(writeFile(bare, "x"));
        manager.saveSong(bare);
        QCOMPARE(manager.saveAsDialog(), dialog);
        QCOMPARE(dialog->defaultFileName(), QStringLiteral("memo"));
        QCOMPARE(dialog->defaultExtension(), QString());
        dialog->reject();
        QTest::qWait(50);
        QCOMPARE(selected.count(), 1);
        QFile::remove(taken);
        QFile::remove(TestEnvironment::musicDir() + QStringLiteral("/Kept talk (2).mp3"));
    }
};

PARLOVANCE_TEST_MAIN(TestStreams)

#include "tst_streams.moc"
