// The file indexer and the store underneath the models: what a scan writes, skips and removes,
// the covers it leaves, its reports, and a store made by an older ontology.

#include "audiogenerator.h"
#include "fixturelibrary.h"
#include "id3tagbytes.h"
#include "mafwstorecatalogue.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "queryprobe.h"
#include "testenvironment.h"
#include "trackerfileindexer.h"
#include "trackerfolderwalker.h"
#include "trackermediaart.h"
#include "trackermountpoints.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QRegularExpression>
#include <QSemaphore>
#include <QThread>
#include <QSignalSpy>

#include <taglib/fileref.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// What a change in the store may take to reach the models on a loaded machine, sanitizer build
// included.
constexpr int StoreWaitMs = 30000;

const QString UnknownAlbum = QStringLiteral("Unknown album");
const QString UnknownArtist = QStringLiteral("Unknown artist");

// Every warning logged while it exists, passed on as well.
class WarningLog
{
public:
    WarningLog()
    {
        current = this;
        previous = qInstallMessageHandler(&WarningLog::handle);
    }
    ~WarningLog()
    {
        qInstallMessageHandler(previous);
        current = nullptr;
    }
    QStringList warnings;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (current && type == QtWarningMsg)
            current->warnings.append(text);
        if (current && current->previous)
            current->previous(type, context, text);
    }
    static WarningLog* current;
    QtMessageHandler previous = nullptr;
};
WarningLog* WarningLog::current = nullptr;

bool retag(const QString& path, const QString& title)
{
    TagLib::FileRef ref(QFile::encodeName(path).constData());
    if (ref.isNull())
        return false;
    ref.tag()->setTitle(TagLib::String(title.toStdWString()));
    return ref.save();
}

// Closes the store, which must find its database free (no worker left holding it), then opens
// and indexes it again.
void closeOpenAndIndexAgain()
{
    WarningLog log;
    TrackerStore::instance()->close();
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY2(log.warnings.filter(QStringLiteral("still in use")).isEmpty(),
             qPrintable(log.warnings.join(QLatin1Char('\n'))));
    QVERIFY(FixtureLibrary::index());
}

} // namespace

class TestStoreIndexer : public QObject
{
    Q_OBJECT

private:
    MafwTrackerModelFactory* factory = nullptr;

    QList<QStringList> query(const QString& text, int columns)
    {
        QList<QStringList> rows;
        QueryProbe::run(factory->trackerConnection(), text, columns, &rows);
        return rows;
    }
    // The first value a query of one file answers; %1 in the text stands for its URL.
    QString firstOf(const char* text, const QString& relativePath)
    {
        const QList<QStringList> rows = query(
            QString::fromLatin1(text).arg(
                TrackerSparql::literal(FixtureLibrary::urlOf(relativePath))),
            1);
        return rows.isEmpty() ? QString() : rows.first().first();
    }
    QString titleOf(const QString& relativePath)
    {
        return firstOf("SELECT ?t WHERE { ?s nie:url %1 ; nie:title ?t }", relativePath);
    }
    QString iriOf(const QString& relativePath)
    {
        return firstOf("SELECT ?s WHERE { ?s nie:url %1 }", relativePath);
    }
    // Whether the store shows the file: "true", "false", or empty for no such file.
    QString availableOf(const QString& relativePath)
    {
        return firstOf("SELECT ?a WHERE { ?s nie:url %1 ; tracker:available ?a }", relativePath);
    }
    // The marks a user gives a song: favourite, play count, last played and position.
    QStringList marksOf(const QString& relativePath)
    {
        const QList<QStringList> rows = query(
            QStringLiteral("SELECT EXISTS { ?s nao:hasTag nao:predefined-tag-favorite } "
                           "?count ?accessed ?position WHERE { ?s nie:url %1 . "
                           "OPTIONAL { ?s nie:usageCounter ?count } "
                           "OPTIONAL { ?s nie:contentAccessed ?accessed } "
                           "OPTIONAL { ?s nfo:lastPlayedPosition ?position } }")
                .arg(TrackerSparql::literal(FixtureLibrary::urlOf(relativePath))),
            4);
        return rows.isEmpty() ? QStringList() : rows.first();
    }
    int songCount()
    {
        return query(QStringLiteral("SELECT COUNT(?s) WHERE { ?s a nmm:MusicPiece }"), 1)
            .first()
            .first()
            .toInt();
    }

private slots:
    void initTestCase()
    {
        // Songs that are in the music folder before the program starts are indexed by init()
        // alone, in the background.
        AudioTags tags;
        tags.artist = QStringLiteral("Kim");
        tags.album = QStringLiteral("Blue");
        tags.cover = AudioGenerator::coverImage(Qt::blue);
        for (int i = 1; i <= 3; ++i) {
            tags.title = QStringLiteral("Song %1").arg(i);
            tags.trackNumber = i;
            QVERIFY(
                !FixtureLibrary::addSong(QStringLiteral("Kim/Blue/%1.ogg").arg(i), tags).isEmpty());
        }
        factory = new MafwTrackerModelFactory(UnknownAlbum, UnknownArtist, 2000, this);
        QSignalSpy init(factory, SIGNAL(initCompleted(bool)));
        // A start with files to index says so when the library is announced.
        bool indexingAnnounced = false;
        QObject listening;
        connect(factory, &MafwTrackerModelFactory::initCompleted, &listening, [&] {
            indexingAnnounced = factory->trackerConnection()->isIndexingReportAvailable();
        });
        factory->init();
        QVERIFY(init.wait(60000));
        QVERIFY(init.first().first().toBool());
        QVERIFY(TrackerStore::instance()->indexer()->isStarted());
        QVERIFY(indexingAnnounced);
        QSharedPointer<MafwTrackerModel> all(factory->getModel(MafwTrackerModel::AllSongs, 0, 0));
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), 3, 60000);
    }

    void changesInTheFolderAreIndexedUnasked()
    {
        QSharedPointer<MafwTrackerModel> all(factory->getModel(MafwTrackerModel::AllSongs, 0, 0));
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), 3, StoreWaitMs);
        AudioTags tags;
        tags.title = QStringLiteral("Dropped in");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Kim/Blue/dropped.ogg"), tags).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), 4, 30000);
        // A new folder, and then a file in it.
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("New/Folder/deep.ogg"), tags).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), 5, 30000);
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("New/Folder/deep.ogg")));
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Kim/Blue/dropped.ogg")));
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), 3, 30000);
    }

    void embeddedCoversGoToTheMediaArtStore()
    {
        QCOMPARE(TrackerMediaArt::mediaArtHash(QStringLiteral("kim")),
                 QStringLiteral("fb1eaf2bd9f2a7013602be235c305e7a"));
        QCOMPARE(TrackerMediaArt::mediaArtHash(QStringLiteral("Kim (Live) [2001]")),
                 QStringLiteral("fb1eaf2bd9f2a7013602be235c305e7a"));
        QCOMPARE(TrackerMediaArt::mediaArtHash(QString()),
                 QStringLiteral("7215ee9c7d9dc229d2921a40e899ec5f"));
        QCOMPARE(TrackerMediaArt::mediaArtHash(QStringLiteral("!?*")),
                 QStringLiteral("7215ee9c7d9dc229d2921a40e899ec5f"));
        QCOMPARE(TrackerMediaArt::mediaArtHash(QStringLiteral("Blue")),
                 QStringLiteral("48d6215903dff56238e52e8891380c8f"));
        const QString path = TestEnvironment::home()
                             + QStringLiteral(
                                 "/.cache/media-art/album-fb1eaf2bd9f2a7013602be235c305e7a-"
                                 "48d6215903dff56238e52e8891380c8f.jpeg");
        QCOMPARE(TrackerMediaArt::albumArtPath("Kim", "Blue"), path);
        QVERIFY(QFile::exists(path));
        QImage cover(path, "JPEG");
        QVERIFY(!cover.isNull());
        QCOMPARE(cover.size(), QSize(64, 64));
        // An album named like its artist uses one hash twice.
        QVERIFY(TrackerMediaArt::albumArtPath("Same", "Same")
                    .endsWith(TrackerMediaArt::mediaArtHash("Same") + "-"
                              + TrackerMediaArt::mediaArtHash("Same") + ".jpeg"));
    }

    void indexingIsReportedAndCanBeSilenced()
    {
        MafwTrackerConnection* connection = factory->trackerConnection();
        // The status says whether an indexing run is under way: not between scans (the folder
        // watcher's run of the test before may still be ending), but while the first report of
        // one arrives.
        QTRY_VERIFY_WITH_TIMEOUT(!connection->isIndexingReportAvailable(), StoreWaitMs);
        QSignalSpy reports(connection, SIGNAL(trackerIndexing(bool, int, bool)));
        QList<bool> statusAtReports;
        QObject listening;
        connect(connection, &MafwTrackerConnection::trackerIndexing, &listening,
                [&statusAtReports, connection](bool active) {
                    if (active)
                        statusAtReports << connection->isIndexingReportAvailable();
                });
        AudioTags tags;
        tags.artist = QStringLiteral("Lee");
        for (int i = 1; i <= 3; ++i) {
            tags.title = QStringLiteral("Report %1").arg(i);
            QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Lee/%1.ogg").arg(i), tags).isEmpty());
        }
        QVERIFY(FixtureLibrary::index());
        QVERIFY(reports.count() >= 2);
        QCOMPARE(reports.first().at(0).toBool(), true);
        QCOMPARE(reports.first().at(1).toInt(), 3);
        QCOMPARE(reports.first().at(2).toBool(), false);
        QCOMPARE(reports.last().at(0).toBool(), false);
        QCOMPARE(reports.last().at(1).toInt(), 0);
        QVERIFY(!statusAtReports.isEmpty());
        QVERIFY(!statusAtReports.contains(false));
        QVERIFY(!connection->isIndexingReportAvailable());

        // A scan that finds nothing to do says nothing.
        reports.clear();
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(reports.count(), 0);

        connection->setIndexingNotification(false);
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Lee/3.ogg")));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(reports.count(), 0);
        connection->reportIndexing(true, 5, true);
        QCOMPARE(reports.count(), 0);
        connection->setIndexingNotification(true);
        connection->reportIndexing(true, 5, true);
        QCOMPARE(reports.count(), 1);
        QCOMPARE(reports.first().at(2).toBool(), true);
    }

    void unchangedFilesAreSkippedChangedOnesRewritten()
    {
        const QString relative = QStringLiteral("Kim/Blue/2.ogg");
        const QString path = FixtureLibrary::pathOf(relative);
        const QList<QStringList> before = query(
            QStringLiteral("SELECT ?s tracker:added(?s) WHERE { ?s nie:url %1 }")
                .arg(TrackerSparql::literal(FixtureLibrary::urlOf(relative))),
            2);
        QCOMPARE(before.size(), 1);
        QVERIFY(TrackerSparql::isSafeIri(before.first().at(0)));
        QueryProbe::run(factory->trackerConnection(),
                        QStringLiteral(
                            "INSERT DATA { <%1> nao:hasTag nao:predefined-tag-favorite ; "
                            "nfo:lastPlayedPosition 42 }")
                            .arg(before.first().at(0)),
                        1, nullptr);

        const QDateTime modified = QFileInfo(path).lastModified();
        QVERIFY(retag(path, QStringLiteral("Renamed quietly")));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        }
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(titleOf(relative), QStringLiteral("Song 2"));

        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(modified.addSecs(10), QFileDevice::FileModificationTime));
        }
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(titleOf(relative), QStringLiteral("Renamed quietly"));
        // The same song: what the user gave it stays.
        const QList<QStringList> after = query(
            QStringLiteral(
                "SELECT ?s tracker:added(?s) nfo:lastPlayedPosition(?s) "
                "EXISTS { ?s nao:hasTag nao:predefined-tag-favorite } WHERE { ?s nie:url %1 }")
                .arg(TrackerSparql::literal(FixtureLibrary::urlOf(relative))),
            4);
        QCOMPARE(after.size(), 1);
        QCOMPARE(after.first().at(0), before.first().at(0));
        QCOMPARE(after.first().at(1), before.first().at(1));
        QCOMPARE(after.first().at(2), QStringLiteral("42"));
        QCOMPARE(after.first().at(3), QStringLiteral("true"));
    }

    void unreadableFilesAreLoggedOnceAndSkipped()
    {
        const QString path = FixtureLibrary::pathOf(QStringLiteral("broken/noise.mp3"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        const int count = songCount();
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("skipped.*noise\\.mp3")));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(songCount(), count);
        QVERIFY(FixtureLibrary::index()); // no second warning: the file has not changed
        QCOMPARE(songCount(), count);
    }

    void legacyCharacterSetsOfTagsAreReadAsTheirTexts()
    {
        // Old taggers wrote the bytes of the system's own character set into ID3v1 tags and into
        // ID3v2 frames that declare Latin-1; what the library shows must be the texts, not
        // those bytes taken as Latin-1. Texts in Unicode, or really in Latin-1, stay as they are.
        const QString evenings = QStringLiteral("Подмосковные вечера");
        const QString singer = QStringLiteral("Владимир Трошин");
        const QString songs = QStringLiteral("Песни");
        const QString yoru = QStringLiteral("夜に駆ける");
        const QString moon = QStringLiteral("月亮代表我的心");
        const QString teresa = QStringLiteral("邓丽君");
        const QString sweet = QStringLiteral("甜蜜蜜");
        struct Case
        {
            QString name;
            QByteArray front;
            QByteArray back;
            QStringList expected; // title, artist, album
        };
        const QList<Case> cases = {
            { QStringLiteral("v1-cp1251"),
              QByteArray(),
              id3v1(encoded("windows-1251", evenings), encoded("windows-1251", singer),
                    encoded("windows-1251", songs)),
              { evenings, singer, songs } },
            { QStringLiteral("v1-shift-jis"),
              QByteArray(),
              id3v1(encoded("Shift_JIS", yoru), "YOASOBI", encoded("Shift_JIS", yoru)),
              { yoru, QStringLiteral("YOASOBI"), yoru } },
            { QStringLiteral("v1-gbk"),
              QByteArray(),
              id3v1(encoded("GBK", moon), encoded("GBK", teresa), encoded("GBK", sweet)),
              { moon, teresa, sweet } },
            { QStringLiteral("v23-cp1251-all-latin1"),
              id3v2(3, { { "TIT2", 0, encoded("windows-1251", evenings) },
                         { "TPE1", 0, encoded("windows-1251", singer) },
                         { "TALB", 0, encoded("windows-1251", songs) } }),
              QByteArray(),
              { evenings, singer, songs } },
            { QStringLiteral("v23-cp1251-beside-utf16"),
              id3v2(3, { { "TIT2", 0, encoded("windows-1251", evenings) },
                         utf16Frame("TPE1", singer),
                         { "TALB", 0, encoded("windows-1251", songs) } }),
              QByteArray(),
              { evenings, singer, songs } },
            { QStringLiteral("v23-gbk-latin1"),
              id3v2(3, { { "TIT2", 0, encoded("GBK", moon) },
                         { "TPE1", 0, encoded("GBK", teresa) },
                         { "TALB", 0, encoded("GBK", sweet) } }),
              QByteArray(),
              { moon, teresa, sweet } },
            // Real Latin-1 stays Latin-1, and a UTF-16 frame of Latin letters is no misread text.
            { QStringLiteral("v23-real-latin1"),
              id3v2(3, { { "TIT2", 0, encoded("ISO-8859-1", QStringLiteral("Café Crème")) },
                         { "TPE1", 0, encoded("ISO-8859-1", QStringLiteral("Zoë Ørsted")) },
                         utf16Frame("TALB", QStringLiteral("Déjà vu")) }),
              QByteArray(),
              { QStringLiteral("Café Crème"), QStringLiteral("Zoë Ørsted"),
                QStringLiteral("Déjà vu") } },
            { QStringLiteral("v24-utf8"),
              id3v2(4, { { "TIT2", 3, evenings.toUtf8() },
                         { "TPE1", 3, teresa.toUtf8() },
                         { "TALB", 3, songs.toUtf8() } }),
              QByteArray(),
              { evenings, teresa, songs } },
        };
        QFile audio(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 1000));
        QVERIFY(audio.open(QIODevice::ReadOnly));
        const QByteArray frames = audio.readAll();
        for (const Case& c : cases) {
            QFile file(FixtureLibrary::pathOf(QStringLiteral("legacy/%1.mp3").arg(c.name)));
            QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(c.front + frames + c.back),
                     qint64(c.front.size() + frames.size() + c.back.size()));
        }
        QVERIFY(FixtureLibrary::index());
        for (const Case& c : cases) {
            const QList<QStringList> rows = query(
                QStringLiteral("SELECT ?t ?a ?l WHERE { ?s nie:url %1 ; nie:title ?t ; "
                               "nmm:performer [ nmm:artistName ?a ] ; "
                               "nmm:musicAlbum [ nie:title ?l ] }")
                    .arg(TrackerSparql::literal(
                        FixtureLibrary::urlOf(QStringLiteral("legacy/%1.mp3").arg(c.name)))),
                3);
            QVERIFY2(rows.size() == 1, qPrintable(c.name));
            QVERIFY2(rows.first() == c.expected,
                     qPrintable(c.name + QStringLiteral(": ") + rows.first().join(" / ")));
        }
        for (const Case& c : cases)
            QVERIFY(FixtureLibrary::removeFile(QStringLiteral("legacy/%1.mp3").arg(c.name)));
        QVERIFY(FixtureLibrary::index());
    }

    void playlistFilesWithRelativeEntries()
    {
        const QString pls = FixtureLibrary::pathOf(QStringLiteral("lists/mix.pls"));
        QDir().mkpath(QFileInfo(pls).absolutePath());
        QFile file(pls);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[playlist]\nFile1=../Kim/Blue/1.ogg\nFile2=../Lee/1.ogg\nFile3=../gone.ogg\n"
                   "NumberOfEntries=3\nVersion=2\n");
        file.close();
        QVERIFY(!FixtureLibrary::addPlaylist(QStringLiteral("lists/two.m3u"),
                                             { QStringLiteral("Kim/Blue/3.ogg") })
                     .isEmpty());
        QVERIFY(FixtureLibrary::index());
        QSharedPointer<MafwTrackerModel> files(
            factory->getModel(MafwTrackerModel::PlaylistFiles, 50, 0));
        QTRY_COMPARE_WITH_TIMEOUT(files->rowCount(), 2, StoreWaitMs);
        QCOMPARE(files->index(0, 1).data().toString(), QStringLiteral("mix.pls"));
        QCOMPARE(files->index(0, 3).data().toInt(), 2); // the missing file is no song
        QCOMPARE(files->index(0, 5).data().toString(),
                 FixtureLibrary::urlOf(QStringLiteral("lists/mix.pls")));
        const int id = files->index(0, 0).data().toInt();
        QSharedPointer<MafwTrackerModel> songs(
            factory->getModel(MafwTrackerModel::SongsOfPlaylistFile, 0, id));
        QTRY_COMPARE_WITH_TIMEOUT(songs->rowCount(), 2, StoreWaitMs);
        QCOMPARE(songs->index(0, 1).data().toString(), QStringLiteral("Song 1"));
        QCOMPARE(songs->index(1, 1).data().toString(), QStringLiteral("Report 1"));
        QCOMPARE(songs->index(0, songs->columnOfKey(QStringLiteral("playlistId"))).data().toInt(),
                 id);

        // The playlist file goes: its row and its entries go.
        QSignalSpy gone(factory->trackerConnection(), SIGNAL(playlistsDeleted(QSet<int>)));
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("lists/mix.pls")));
        QVERIFY(FixtureLibrary::index());
        QTRY_COMPARE_WITH_TIMEOUT(files->rowCount(), 1, StoreWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(gone.count(), 1, StoreWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(songs->rowCount(), 0, StoreWaitMs);
        QCOMPARE(query(QStringLiteral(
                           "SELECT ?e WHERE { ?e a nfo:MediaFileListEntry ; nfo:entryUrl ?u . "
                           "FILTER(CONTAINS(?u, \"gone\")) }"),
                       1)
                     .size(),
                 0);
    }

    void aSongDeletedWhileBeingReadAgainStaysGone()
    {
        // A change makes the catalogue read a song again; the store deletes the song while
        // that read is under way, so the read's row is older than the deletion notified before
        // it is delivered. The notices go to a catalogue of the test's own, in that order,
        // leaving the store and the models' catalogue alone.
        MafwStoreCatalogue catalogue;
        catalogue.load();
        QTRY_VERIFY_WITH_TIMEOUT(catalogue.isComplete(), StoreWaitMs);
        const MafwStoreSong* read = catalogue.songByUrl(
            FixtureLibrary::urlOf(QStringLiteral("Kim/Blue/2.ogg")));
        QVERIFY(read);
        const int id = read->id;
        const QString iri = read->iri;
        const int albumId = read->albumId;
        auto notify = [&](TrackerChangeEvent::Type type) {
            TrackerChangeEvent event;
            event.type = type;
            event.id = id;
            event.urn = iri;
            QVERIFY(QMetaObject::invokeMethod(&catalogue, "storeChanged", Qt::DirectConnection,
                                              Q_ARG(QVector<TrackerChangeEvent>,
                                                    QVector<TrackerChangeEvent> { event })));
        };
        // Reads of the load's own notices are over before this one starts.
        TrackerQueryRunner::waitForIdle();
        QCoreApplication::processEvents();
        notify(TrackerChangeEvent::Updated);
        QVERIFY(QMetaObject::invokeMethod(&catalogue, "refresh", Qt::DirectConnection));
        TrackerQueryRunner::waitForIdle(); // read, its delivery waiting on this thread
        QSignalSpy changed(&catalogue, SIGNAL(changed(MafwStoreChanges)));
        notify(TrackerChangeEvent::Deleted);
        QTRY_VERIFY_WITH_TIMEOUT(!changed.isEmpty(), StoreWaitMs);
        QVERIFY(changed.first().first().value<MafwStoreChanges>().songsRemoved.contains(id));
        QVERIFY(!catalogue.song(id));
        QVERIFY(!catalogue.titleOrder().contains(id));
        QVERIFY(!catalogue.songsOfAlbum(albumId).contains(id));
    }

    void vanishedSongsTakeEmptyAlbumsAndArtistsAlong()
    {
        QSignalSpy albums(factory->trackerConnection(), SIGNAL(albumsDeleted(QSet<int>)));
        AudioTags tags;
        tags.title = QStringLiteral("Lonely");
        tags.artist = QStringLiteral("Solo");
        tags.album = QStringLiteral("Single");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Solo/lonely.ogg"), tags).isEmpty());
        QVERIFY(FixtureLibrary::index());
        const QList<QStringList> album = query(
            QStringLiteral(
                "SELECT tracker:id(?a) WHERE { ?a a nmm:MusicAlbum ; nie:title \"Single\" }"),
            1);
        QCOMPARE(album.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(factory->catalogue()->songs().size() == songCount(), StoreWaitMs);
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Solo/lonely.ogg")));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(query(QStringLiteral(
                           "SELECT ?a WHERE { ?a a nmm:MusicAlbum ; nie:title \"Single\" }"),
                       1)
                     .size(),
                 0);
        QCOMPARE(query(QStringLiteral(
                           "SELECT ?a WHERE { ?a a nmm:Artist ; nmm:artistName \"Solo\" }"),
                       1)
                     .size(),
                 0);
        QTRY_VERIFY_WITH_TIMEOUT(!albums.isEmpty(), 30000);
        QVERIFY(albums.last().first().value<QSet<int>>().contains(album.first().first().toInt()));
    }

    // New songs are written without looking up what the store holds of their artist and
    // album; should that differ (another writer renamed the artist), the batch is refused and
    // every song of it still goes in, with its own artist's name back.
    void newSongsGoInOverOtherValuesOfTheirArtist()
    {
        const QList<QStringList> kim = query(
            QStringLiteral("SELECT ?p WHERE { ?s nie:url %1 ; nmm:performer ?p }")
                .arg(TrackerSparql::literal(
                    FixtureLibrary::urlOf(QStringLiteral("Kim/Blue/1.ogg")))),
            1);
        QCOMPARE(kim.size(), 1);
        QVERIFY(TrackerSparql::isSafeIri(kim.first().first()));
        QueryProbe::run(factory->trackerConnection(),
                        QStringLiteral("INSERT OR REPLACE { <%1> nmm:artistName \"Kimberly\" }")
                            .arg(kim.first().first()),
                        1, nullptr);
        const int before = songCount();
        AudioTags tags;
        tags.artist = QStringLiteral("Kim");
        tags.album = QStringLiteral("Blue");
        tags.title = QStringLiteral("Encore");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Kim/Blue/encore.ogg"), tags).isEmpty());
        tags.artist = QStringLiteral("Neighbour");
        tags.title = QStringLiteral("Next door");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Kim/Blue/next.ogg"), tags).isEmpty());
        WarningLog log;
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(songCount(), before + 2);
        QCOMPARE(titleOf(QStringLiteral("Kim/Blue/encore.ogg")), QStringLiteral("Encore"));
        QCOMPARE(titleOf(QStringLiteral("Kim/Blue/next.ogg")), QStringLiteral("Next door"));
        QCOMPARE(query(QStringLiteral("SELECT ?n WHERE { <%1> nmm:artistName ?n }")
                           .arg(kim.first().first()),
                       1),
                 QList<QStringList> { QStringList { QStringLiteral("Kim") } });
        QVERIFY2(log.warnings.filter(QStringLiteral("a song")).isEmpty(),
                 qPrintable(log.warnings.join(QLatin1Char('\n'))));

        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Kim/Blue/encore.ogg")));
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Kim/Blue/next.ogg")));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(songCount(), before);
    }

    // The store's URLs are read without their type: a resource with a URL that is no file
    // (another writer's) is neither removed nor makes every scan report a change.
    void aUrlThatIsNoFileIsLeftAlone()
    {
        const QString url = FixtureLibrary::urlOf(QStringLiteral("Elsewhere/not-a-file.ogg"));
        QueryProbe::run(factory->trackerConnection(),
                        QStringLiteral("INSERT DATA { <urn:test:no-file> a nie:DataObject ; "
                                       "nie:url %1 }")
                            .arg(TrackerSparql::literal(url)),
                        1, nullptr);
        QVERIFY(FixtureLibrary::index());
        QSignalSpy reports(factory->trackerConnection(), SIGNAL(trackerIndexing(bool, int, bool)));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(reports.count(), 0);
        QCOMPARE(query(QStringLiteral("SELECT ?u WHERE { <urn:test:no-file> nie:url ?u }"), 1),
                 QList<QStringList> { QStringList { url } });
        QueryProbe::run(factory->trackerConnection(),
                        QStringLiteral("DELETE DATA { <urn:test:no-file> a rdfs:Resource }"), 1,
                        nullptr);
    }

    void aMissingMusicFolderEmptiesNothing()
    {
        const int count = songCount();
        QVERIFY(count > 0);
        const QString music = TestEnvironment::musicDir();
        QVERIFY(QDir().rename(music, music + ".away"));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(songCount(), count);
        QVERIFY(QDir().rename(music + ".away", music));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(songCount(), count);
    }

    // An empty music folder (what an unmounted disk or share leaves) is not there: its songs
    // stay in the store, unavailable and out of every list, with everything the user gave
    // them, and are the same songs again once their files are back.
    void anEmptyMusicFolderKeepsItsSongsUntilTheFilesAreBack()
    {
        QVERIFY(FixtureLibrary::index());
        const QString one = QStringLiteral("Kim/Blue/1.ogg");
        const QString two = QStringLiteral("Kim/Blue/2.ogg");
        const QString iri = iriOf(one);
        QVERIFY(TrackerSparql::isSafeIri(iri));
        QVERIFY(TrackerSparql::isSafeIri(iriOf(two)));
        QList<QStringList> none;
        QVERIFY(QueryProbe::run(factory->trackerConnection(),
                                QStringLiteral("INSERT DATA { <%1> nao:hasTag "
                                               "nao:predefined-tag-favorite ; nie:usageCounter 3 ; "
                                               "nie:contentAccessed \"2026-03-01T10:00:00Z\" ; "
                                               "nfo:lastPlayedPosition 42 }")
                                    .arg(iri),
                                1, &none));
        const QStringList marks = marksOf(one);
        QCOMPARE(marks.size(), 4);
        QCOMPARE(marks.at(1), QStringLiteral("3"));
        QSharedPointer<MafwTrackerModel> all(factory->getModel(MafwTrackerModel::AllSongs, 0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(all->isComplete() && all->rowCount() >= 3, StoreWaitMs);
        const int shown = all->rowCount();
        QTRY_VERIFY_WITH_TIMEOUT(factory->catalogue()->songByUrl(FixtureLibrary::urlOf(one))
                                     && factory->catalogue()
                                            ->songByUrl(FixtureLibrary::urlOf(one))
                                            ->favourite,
                                 StoreWaitMs);
        const int oneId = factory->catalogue()->songByUrl(FixtureLibrary::urlOf(one))->id;
        const int twoId = factory->catalogue()->songByUrl(FixtureLibrary::urlOf(two))->id;
        factory->createPlaylist(QStringLiteral("Trip"), MafwTrackerModelFactory::SongItems,
                                { oneId, twoId });
        QSharedPointer<MafwTrackerModel> lists(
            factory->getModel(MafwTrackerModel::UserPlaylists, 0, 0));
        QTRY_COMPARE_WITH_TIMEOUT(lists->rowCount(), 1, StoreWaitMs);
        const int trip = lists->index(0, 0).data().toInt();
        QSharedPointer<MafwTrackerModel> tripSongs(
            factory->getModel(MafwTrackerModel::SongsOfUserPlaylist, 0, trip));
        QTRY_COMPARE_WITH_TIMEOUT(tripSongs->rowCount(), 2, StoreWaitMs);
        const int count = songCount();

        // The folder is emptied (moved away and made again, as an unmounted disk leaves it).
        const QString music = TestEnvironment::musicDir();
        const QString away = music + QStringLiteral(".away");
        QVERIFY(QDir().rename(music, away));
        QVERIFY(QDir().mkdir(music));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(songCount(), count);
        QCOMPARE(iriOf(one), iri);
        QCOMPARE(availableOf(one), QStringLiteral("false"));
        QCOMPARE(marksOf(one), marks);
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), 0, StoreWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(tripSongs->rowCount(), 0, StoreWaitMs);
        // Nothing changes at the next scan, nor at a scan of a folder that is missing.
        QSignalSpy reports(factory->trackerConnection(), SIGNAL(trackerIndexing(bool, int, bool)));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(reports.count(), 0);
        QVERIFY(QDir().rmdir(music));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(reports.count(), 0);
        QCOMPARE(songCount(), count);

        // The files are put back while the program runs, and seen unasked; so is the folder
        // moved away and back again.
        QVERIFY(FixtureLibrary::moveEntries(away, music));
        QVERIFY(QDir().rmdir(away));
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), shown, StoreWaitMs);
        QVERIFY(QDir().rename(music, away));
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), 0, StoreWaitMs);
        QVERIFY(QDir().rename(away, music));
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), shown, StoreWaitMs);
        // The same songs, with their marks, in every list again.
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(iriOf(one), iri);
        QCOMPARE(availableOf(one), QStringLiteral("true"));
        QCOMPARE(marksOf(one), marks);
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), shown, StoreWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(tripSongs->rowCount(), 2, StoreWaitMs);
        const MafwStoreSong* back = factory->catalogue()->song(oneId);
        QVERIFY(back);
        QVERIFY(back->favourite);
        QCOMPARE(back->usage, 3);
        for (auto type : { MafwTrackerModel::FavouriteSongs, MafwTrackerModel::MostPlayedSongs,
                           MafwTrackerModel::RecentlyPlayedSongs }) {
            QSharedPointer<MafwTrackerModel> automatic(factory->getModel(type, 50, 0));
            auto listed = [&automatic, oneId] {
                for (int row = 0; row < automatic->rowCount(); ++row) {
                    if (automatic->index(row, 8).data().toInt() == oneId)
                        return true;
                }
                return false;
            };
            QTRY_VERIFY_WITH_TIMEOUT(listed(), StoreWaitMs);
        }

        // A file removed from a folder that still holds music goes for real, as it always did.
        QVERIFY(FixtureLibrary::removeFile(two));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(iriOf(two), QString());
        QCOMPARE(songCount(), count - 1);
        QTRY_COMPARE_WITH_TIMEOUT(tripSongs->rowCount(), 1, StoreWaitMs);
        QVERIFY(!FixtureLibrary::addSong(two, AudioTags()).isEmpty());
        factory->deleteItems({ trip }, MafwTrackerModel::UserPlaylists);
        QTRY_COMPARE_WITH_TIMEOUT(lists->rowCount(), 0, StoreWaitMs);
        QVERIFY(FixtureLibrary::index());
    }

    // A music folder moved away (a disk unmounted) while a scan reads it: the scan reads the
    // empty folder left in its place, and what it had not reached yet does not leave the store.
    void aFolderMovedAwayWhileItIsReadKeepsItsSongs()
    {
        // Songs in two folders: the folder goes once the first of them has been read.
        const QString second = QStringLiteral("Lee/Green/1.ogg");
        QVERIFY(!FixtureLibrary::addSong(second, AudioTags()).isEmpty());
        QVERIFY(FixtureLibrary::index());
        const QString first = QStringLiteral("Kim/Blue/1.ogg");
        QCOMPARE(availableOf(first), QStringLiteral("true"));
        QCOMPARE(availableOf(second), QStringLiteral("true"));
        const int count = songCount();
        const QString music = TestEnvironment::musicDir();
        const QString away = music + QStringLiteral(".away");
        std::atomic_bool moved { false };
        TrackerFolderWalker::setFolderReadForTesting([&](const QString& folder) {
            const QStringList songs = QDir(folder).entryList({ "*.ogg" }, QDir::Files);
            if (moved || songs.isEmpty())
                return;
            moved = QDir().rename(music, away) && QDir().mkdir(music);
        });
        const bool indexed = FixtureLibrary::index();
        TrackerFolderWalker::setFolderReadForTesting(nullptr);
        QVERIFY(indexed);
        QVERIFY(moved);
        QCOMPARE(songCount(), count);
        QCOMPARE(availableOf(first), QStringLiteral("false"));
        QCOMPARE(availableOf(second), QStringLiteral("false"));

        // The folder back, the same songs are there again.
        QVERIFY(QDir().rmdir(music));
        QVERIFY(QDir().rename(away, music));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(songCount(), count);
        QCOMPARE(availableOf(first), QStringLiteral("true"));
        QCOMPARE(availableOf(second), QStringLiteral("true"));
        QVERIFY(FixtureLibrary::removeFile(second));
        QVERIFY(FixtureLibrary::index());
    }

    // A folder below the music folder that a disk or share was mounted on is not there while
    // it is not mounted (it is empty or missing then), at a start as much as later; an
    // ordinary folder that loses its files loses its songs.
    void aFolderThatWasMountedKeepsItsSongsWhileItIsAway()
    {
        const QString music = TestEnvironment::musicDir();
        const QString disk = music + QStringLiteral("/Disk");
        const QString a = QStringLiteral("Disk/Far/a.ogg");
        AudioTags tags;
        tags.artist = QStringLiteral("Far");
        tags.title = QStringLiteral("Away");
        QVERIFY(!FixtureLibrary::addSong(a, tags).isEmpty());
        tags.title = QStringLiteral("Plain");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Plain/p.ogg"), tags).isEmpty());
        TrackerMountPoints::setMountedForTesting({ disk });
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(availableOf(a), QStringLiteral("true"));
        const QString iri = iriOf(a);
        QList<QStringList> none;
        QVERIFY(QueryProbe::run(factory->trackerConnection(),
                                QStringLiteral("INSERT DATA { <%1> nao:hasTag "
                                               "nao:predefined-tag-favorite }")
                                    .arg(iri),
                                1, &none));

        // Unmounted, the folder is empty and no mount point any more; the next start knows
        // what it was.
        TrackerMountPoints::setMountedForTesting({});
        const QString away = music + QStringLiteral(".disk");
        QVERIFY(FixtureLibrary::moveEntries(disk, away));
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Plain/p.ogg")));
        closeOpenAndIndexAgain();
        QCOMPARE(iriOf(a), iri);
        QCOMPARE(availableOf(a), QStringLiteral("false"));
        QCOMPARE(marksOf(a).value(0), QStringLiteral("true"));
        QCOMPARE(iriOf(QStringLiteral("Plain/p.ogg")), QString());
        QCOMPARE(availableOf(QStringLiteral("Kim/Blue/1.ogg")), QStringLiteral("true"));
        // A song saved into it meanwhile does not make it the disk; nor does its mount point
        // going.
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Disk/saved.ogg"), tags).isEmpty());
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(availableOf(QStringLiteral("Disk/saved.ogg")), QStringLiteral("true"));
        QCOMPARE(availableOf(a), QStringLiteral("false"));
        QVERIFY(QDir(disk).removeRecursively());
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(iriOf(a), iri);

        // Mounted again: the same song, marked as before; what lay beneath the disk is gone.
        TrackerMountPoints::setMountedForTesting({ disk });
        QVERIFY(FixtureLibrary::moveEntries(away, disk));
        QVERIFY(QDir().rmdir(away));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(iriOf(a), iri);
        QCOMPARE(availableOf(a), QStringLiteral("true"));
        QCOMPARE(marksOf(a).value(0), QStringLiteral("true"));
        QCOMPARE(iriOf(QStringLiteral("Disk/saved.ogg")), QString());

        // A file removed from it while it holds music goes; so does a song the user deletes.
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Disk/b.ogg"), tags).isEmpty());
        QVERIFY(FixtureLibrary::removeFile(a));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(iriOf(a), QString());
        const QString b = FixtureLibrary::urlOf(QStringLiteral("Disk/b.ogg"));
        QTRY_VERIFY_WITH_TIMEOUT(factory->catalogue()->songByUrl(b), StoreWaitMs);
        QSignalSpy deleted(factory, SIGNAL(deletionFinished(int, int)));
        factory->deleteItems({ factory->catalogue()->songByUrl(b)->id },
                             MafwTrackerModel::AllSongs);
        QVERIFY(deleted.wait(StoreWaitMs));
        QCOMPARE(iriOf(QStringLiteral("Disk/b.ogg")), QString());
        // Unmounted with nothing of it left in the store, it is an ordinary folder again.
        TrackerMountPoints::setMountedForTesting({});
        QVERIFY(FixtureLibrary::index());
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Disk/c.ogg"), tags).isEmpty());
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(availableOf(QStringLiteral("Disk/c.ogg")), QStringLiteral("true"));
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Disk/c.ogg")));
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(iriOf(QStringLiteral("Disk/c.ogg")), QString());
        QVERIFY(QDir(music + QStringLiteral("/Plain")).removeRecursively());
        QVERIFY(QDir(disk).removeRecursively());
        QVERIFY(FixtureLibrary::index());
    }

    void newResourceNamesAreUuidsInTheOrderTheyAreMade()
    {
        // The store keeps every name in a sorted index; names that sort as they are made go in
        // at its end instead of on a random page of it.
        const QRegularExpression form(QStringLiteral(
            "^urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-7[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$"));
        QString previous;
        QSet<QString> seen;
        for (int i = 0; i < 20000; ++i) {
            const QString iri = TrackerSparql::newIri();
            QVERIFY2(form.match(iri).hasMatch(), qPrintable(iri));
            QVERIFY2(iri > previous, qPrintable(previous + QLatin1String(" then ") + iri));
            QVERIFY(TrackerSparql::isSafeIri(iri));
            seen.insert(iri);
            previous = iri;
        }
        QCOMPARE(seen.size(), 20000);
        // Names made on several threads at once are all different, and each thread's in order.
        QVector<QStringList> made(4);
        std::vector<std::thread> threads;
        for (int t = 0; t < made.size(); ++t) {
            threads.emplace_back([&made, t] {
                for (int i = 0; i < 5000; ++i)
                    made[t].append(TrackerSparql::newIri());
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        for (const QStringList& names : qAsConst(made)) {
            for (int i = 1; i < names.size(); ++i)
                QVERIFY(names.at(i) > names.at(i - 1));
            for (const QString& name : names)
                seen.insert(name);
        }
        QCOMPARE(seen.size(), 40000);
    }

    void anOlderStoreOpensWithItsData()
    {
        // A store written with an older ontology: one without a property that came later.
        delete factory;
        factory = nullptr;
        TrackerStore::destroy();
        TestEnvironment::wipeHome();
        const QString older = TestEnvironment::home() + QStringLiteral("/older-ontology");
        QDir().mkpath(older);
        QDirIterator it(TestEnvironment::sourceDir() + QStringLiteral("/platform/tracker/ontology"),
                        { QStringLiteral("*.ontology") });
        while (it.hasNext()) {
            QFile source(it.next());
            QVERIFY(source.open(QIODevice::ReadOnly));
            QString text = QString::fromUtf8(source.readAll());
            text.replace(QRegularExpression(QStringLiteral("nrl:lastModified \"[^\"]*\"")),
                         QStringLiteral("nrl:lastModified \"2020-01-01T00:00:00Z\""));
            text.remove(
                QRegularExpression(QStringLiteral("nfo:entryCounter a rdf:Property ;[^.]*\\.")));
            QFile target(older + QLatin1Char('/') + it.fileName());
            QVERIFY(target.open(QIODevice::WriteOnly));
            target.write(text.toUtf8());
        }
        TrackerStore::setOntologyDirectory(older);
        QVERIFY(FixtureLibrary::openStore());
        TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
        QVERIFY(
            TrackerQueryRunner::update(
                connection,
                QStringLiteral(
                    "INSERT DATA { <urn:old:song> a nmm:MusicPiece, nfo:FileDataObject ; nie:title \"Old\" ; "
                    "nie:url \"file:///old.ogg\" ; nfo:fileName \"old.ogg\" ; nfo:duration 3 ; "
                    "tracker:added \"2020-01-01T00:00:00Z\" ; tracker:available true ; "
                    "nfo:lastPlayedPosition 77 ; nao:hasTag nao:predefined-tag-favorite . "
                    "<urn:old:list> a nmm:Playlist ; nie:title \"Kept\" ; tracker:added \"2020-01-02T00:00:00Z\" ; "
                    "nfo:hasMediaFileListEntry <urn:old:entry> . "
                    "<urn:old:entry> a nfo:MediaFileListEntry ; nfo:entryUrl \"file:///old.ogg\" ; "
                    "nfo:listPosition 0 . }"))
                .ok);
        QVERIFY(
            !TrackerQueryRunner::update(
                 connection, QStringLiteral("INSERT DATA { <urn:old:list> nfo:entryCounter 1 }"))
                 .ok);
        TrackerQueryRunner::releaseConnection(connection);
        TrackerStore::destroy();

        // The current build opens it: the user's data is all there, and the new property works.
        TrackerStore::setOntologyDirectory(QString());
        MafwTrackerModelFactory::setIndexerEnabled(false);
        factory = new MafwTrackerModelFactory(UnknownAlbum, UnknownArtist, 2000, this);
        QSignalSpy init(factory, SIGNAL(initCompleted(bool)));
        factory->init();
        QVERIFY(init.wait(60000));
        QVERIFY(init.first().first().toBool());
        const QList<QStringList> rows = query(
            QStringLiteral(
                "SELECT nfo:lastPlayedPosition(?s) EXISTS { ?s nao:hasTag nao:predefined-tag-favorite } "
                "WHERE { ?s nie:url \"file:///old.ogg\" }"),
            2);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().at(0), QStringLiteral("77"));
        QCOMPARE(rows.first().at(1), QStringLiteral("true"));
        QSharedPointer<MafwTrackerModel> lists(
            factory->getModel(MafwTrackerModel::UserPlaylists, 50, 0));
        QTRY_COMPARE_WITH_TIMEOUT(lists->rowCount(), 1, StoreWaitMs);
        QCOMPARE(lists->index(0, 1).data().toString(), QStringLiteral("Kept"));
        QCOMPARE(lists->index(0, 3).data().toInt(), 1);
        QList<QStringList> none;
        QVERIFY(QueryProbe::run(factory->trackerConnection(),
                                QStringLiteral("INSERT DATA { <urn:old:list> nfo:entryCounter 1 }"),
                                1, &none));
        MafwTrackerModelFactory::setIndexerEnabled(true);
    }

    void aStartWithNothingToIndexSaysSo()
    {
        // The program starts again on the library it indexed: the library is announced once
        // the first scan has found nothing to do, and no indexing run is under way then.
        QVERIFY(FixtureLibrary::index());
        delete factory;
        TrackerStore::destroy();
        factory = new MafwTrackerModelFactory(UnknownAlbum, UnknownArtist, 2000, this);
        QSignalSpy init(factory, SIGNAL(initCompleted(bool)));
        bool indexingAnnounced = true;
        int scansAnnounced = -1;
        QObject listening;
        connect(factory, &MafwTrackerModelFactory::initCompleted, &listening, [&] {
            indexingAnnounced = factory->trackerConnection()->isIndexingReportAvailable();
            scansAnnounced = TrackerStore::instance()->indexer()->finishedScans();
        });
        factory->init();
        QVERIFY(init.wait(60000));
        QVERIFY(init.first().first().toBool());
        QVERIFY(!indexingAnnounced);
        QCOMPARE(scansAnnounced, 1);
    }

    void aStoreClosedWithAScanWaitingOpensAgainAtOnce()
    {
        // A scan handed to the indexer's thread that the thread never gets to (it is told to
        // stop first) must still give its hold on the database back.
        delete factory;
        factory = nullptr;
        TrackerStore::destroy();
        QVERIFY(FixtureLibrary::openStore());
        TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
        indexer->rescan();
        auto* thread = indexer->findChild<QThread*>();
        QVERIFY(thread);
        auto* busy = new QObject;
        busy->moveToThread(thread);
        connect(thread, &QThread::finished, busy, &QObject::deleteLater);
        QSemaphore running;
        QSemaphore release;
        QMetaObject::invokeMethod(
            busy,
            [&] {
                running.release();
                release.acquire();
            },
            Qt::QueuedConnection);
        running.acquire();
        indexer->scanNow();
        thread->quit();
        release.release();
        closeOpenAndIndexAgain();
    }

    void anIndexerWhoseThreadEndedFirstStopsAndIndexesAgain()
    {
        // The indexer's thread may end before the indexer stops it (told to quit from
        // elsewhere, with a scan still waiting): stopping must then neither touch a worker the
        // thread's end took with it (the sanitizer build sees that) nor keep the database.
        delete factory;
        factory = nullptr;
        TrackerStore::destroy();
        QVERIFY(FixtureLibrary::openStore());
        TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
        indexer->rescan();
        auto* thread = indexer->findChild<QThread*>();
        QVERIFY(thread);
        thread->quit();
        QVERIFY(thread->wait(60000));
        indexer->scanNow();
        closeOpenAndIndexAgain();
    }

    void aStoreOpenedWhileItIsBeingMadeOpensOnce()
    {
        // The models' start opens the store in the background; an open asked for before that
        // has made the database waits for it instead of opening the half-made database beside
        // it (which fails, the database having no version yet).
        delete factory;
        factory = nullptr;
        TrackerStore::destroy();
        TestEnvironment::wipeHome();
        TrackerStore* store = TrackerStore::instance();
        QSignalSpy opened(store, SIGNAL(opened(bool)));
        store->openAsync();
        QString error;
        QVERIFY2(store->openSync(&error), qPrintable(error));
        QVERIFY(store->isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, StoreWaitMs);
        QCOMPARE(opened.first().first().toBool(), true);
        QVERIFY(FixtureLibrary::index());
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestStoreIndexer)
#include "tst_storeindexer.moc"
