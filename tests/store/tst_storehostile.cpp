// The file indexer and the media-art cache against what a hostile or careless user puts in the
// music folder: pipes and devices with music names, playlists that never end, covers that claim
// any size, names that are not UTF-8, tags that look like key separators, and a scan stopped
// half-way. A scan that does not end ends the whole run at once, so a fault here cannot hang CI.

#include "fixturelibrary.h"
#include "testenvironment.h"
#include "trackerfileindexer.h"
#include "trackermediaart.h"
#include "trackerplaylistreader.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"
#include "trackerunfinishedstore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLoggingCategory>
#include <QPointer>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>

#include <sqlite3.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Long enough for the sanitizer build on a loaded machine, where the playlist of 100,001 entries
// alone takes half a minute to read (every allocation records its whole stack), and well within
// the test's own time limit.
const int ScanTimeoutMs = 300000;

// Messages logged while it exists, by type, passed on as well.
class MessageLog
{
public:
    MessageLog()
    {
        current = this;
        previous = qInstallMessageHandler(&MessageLog::handle);
    }
    ~MessageLog()
    {
        qInstallMessageHandler(previous);
        current = nullptr;
    }
    QStringList warnings;
    QStringList infos;
    QStringList debug;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (current && type == QtWarningMsg)
            current->warnings.append(text);
        if (current && type == QtInfoMsg)
            current->infos.append(text);
        if (current && type == QtDebugMsg)
            current->debug.append(text);
        if (current && current->previous && type != QtDebugMsg)
            current->previous(type, context, text);
    }
    static MessageLog* current;
    QtMessageHandler previous = nullptr;
};
MessageLog* MessageLog::current = nullptr;

// The indexer's debug lines are wanted here (they tell when a cover is decoded), whatever the
// environment's logging rules say.
QLoggingCategory::CategoryFilter defaultFilter = nullptr;
void indexerDebugOn(QLoggingCategory* category)
{
    if (defaultFilter)
        defaultFilter(category);
    if (qstrcmp(category->categoryName(), "parlovance.indexer") == 0)
        category->setEnabled(QtDebugMsg, true);
}

// Runs a scan; one that does not end within the time ends the test program (a stuck worker
// would keep it from ever exiting).
void indexOrEnd()
{
    if (!FixtureLibrary::index(ScanTimeoutMs)) {
        std::fprintf(stderr, "FAIL! : the file indexer did not finish a scan within %d ms\n",
                     ScanTimeoutMs);
        std::fflush(stderr);
        std::_Exit(1);
    }
}

QList<QStringList> query(const QString& text, int columns)
{
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    const TrackerQueryResult result = TrackerQueryRunner::select(connection, text, columns);
    TrackerQueryRunner::releaseConnection(connection);
    if (!result.ok)
        qWarning() << "query failed:" << result.errorMessage << text;
    return result.rows;
}

int count(const QString& text)
{
    const QList<QStringList> rows = query(text, 1);
    return rows.isEmpty() ? -1 : rows.first().first().toInt();
}

int songCount()
{
    return count(QStringLiteral("SELECT COUNT(?s) WHERE { ?s a nmm:MusicPiece }"));
}

bool indexed(const QString& relativePath)
{
    return count(QStringLiteral("SELECT COUNT(?s) WHERE { ?s a nmm:MusicPiece ; nie:url %1 }")
                     .arg(TrackerSparql::literal(FixtureLibrary::urlOf(relativePath))))
           == 1;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A copy of a folder's regular files, in place of what was there.
bool copyFolder(const QString& from, const QString& to)
{
    QDir(to).removeRecursively();
    if (!QDir().mkpath(to))
        return false;
    for (const QString& name : QDir(from).entryList(QDir::Files | QDir::Hidden)) {
        if (!QFile::copy(from + '/' + name, to + '/' + name))
            return false;
    }
    return true;
}

// Every entry of a folder, with what it holds: a regular file's checksum, a link's target.
QMap<QString, QByteArray> folderPrint(const QString& directory)
{
    QMap<QString, QByteArray> print;
    const QFileInfoList entries = QDir(directory).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        print.insert(entry.fileName(), entry.isSymLink()
                                           ? QFile::encodeName(entry.symLinkTarget())
                                           : QCryptographicHash::hash(readFile(entry.filePath()),
                                                                      QCryptographicHash::Sha256)
                                                 .toHex());
    }
    return print;
}

// How many tables, indexes and views SQLite reads in a database, its log included; -1 if none
// can be read.
int tablesAsRead(const QString& database)
{
    sqlite3* db = nullptr;
    int tables = -1;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(database).constData(), &db, SQLITE_OPEN_READONLY, nullptr)
            == SQLITE_OK
        && sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &statement, nullptr)
               == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        tables = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return tables;
}

bool makePipe(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool isRegularFile(const QString& path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

bool setTag(const QString& path, const char* key, const QString& value)
{
    TagLib::Ogg::Vorbis::File file(QFile::encodeName(path).constData());
    if (!file.isValid() || !file.tag())
        return false;
    file.tag()->addField(key, TagLib::String(value.toStdWString()), true);
    return file.save();
}

QString addSong(const QString& relativePath, const QString& title,
                const QString& artist = QString(), const QString& album = QString(),
                const QString& albumArtist = QString())
{
    AudioTags tags;
    tags.title = title;
    tags.artist = artist;
    tags.album = album;
    tags.albumArtist = albumArtist;
    return FixtureLibrary::addSong(relativePath, tags);
}

} // namespace

class TestStoreHostile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        defaultFilter = QLoggingCategory::installFilter(&indexerDebugOn);
        QVERIFY(FixtureLibrary::openStore());
        QVERIFY(!addSong(QStringLiteral("a/first.ogg"), QStringLiteral("First")).isEmpty());
        indexOrEnd();
        QCOMPARE(songCount(), 1);
    }

    void cleanupTestCase() { QLoggingCategory::installFilter(defaultFilter); }

    void onlyRegularFilesAreOpened()
    {
        // Links point at a device (only looked at, never opened or written) or inside the home.
        const QString music = TestEnvironment::musicDir();
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), music + QStringLiteral("/a/zero.mp3")));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), music + QStringLiteral("/a/zero.m3u")));
        QVERIFY(makePipe(music + QStringLiteral("/a/pipe.mp3")));
        QVERIFY(makePipe(music + QStringLiteral("/a/pipe.pls")));
        QVERIFY(QFile::link(TestEnvironment::home() + QStringLiteral("/nothing.ogg"),
                            music + QStringLiteral("/a/dangling.ogg")));
        const QString outside = TestEnvironment::home() + QStringLiteral("/elsewhere/linked.ogg");
        QDir().mkpath(QFileInfo(outside).absolutePath());
        QVERIFY(!addSong(outside, QStringLiteral("Linked")).isEmpty());
        QVERIFY(QFile::link(outside, music + QStringLiteral("/a/linked.ogg")));
        QVERIFY(!addSong(QStringLiteral("z/after.ogg"), QStringLiteral("After")).isEmpty());

        MessageLog log;
        indexOrEnd();
        QVERIFY(indexed(QStringLiteral("z/after.ogg")));
        QVERIFY(indexed(QStringLiteral("a/linked.ogg"))); // a link to a regular file is a song
        QCOMPARE(songCount(), 3);
        const QString warnings = log.warnings.join(QLatin1Char('\n'));
        QVERIFY2(warnings.contains(QRegularExpression(
                     QStringLiteral("skipped \\S*a/zero\\.mp3 : a link to a character device"))),
                 qPrintable(warnings));
        QVERIFY(warnings.contains(QRegularExpression(
            QStringLiteral("skipped \\S*a/zero\\.m3u : a link to a character device"))));
        QVERIFY(warnings.contains(
            QRegularExpression(QStringLiteral("skipped \\S*a/pipe\\.mp3 : a named pipe"))));
        QVERIFY(warnings.contains(
            QRegularExpression(QStringLiteral("skipped \\S*a/pipe\\.pls : a named pipe"))));
        QVERIFY(warnings.contains(QRegularExpression(
            QStringLiteral("skipped \\S*a/dangling\\.ogg : a link to nothing"))));

        // Said once, not at every scan.
        log.warnings.clear();
        QVERIFY(!addSong(QStringLiteral("z/later.ogg"), QStringLiteral("Later")).isEmpty());
        indexOrEnd();
        QVERIFY(indexed(QStringLiteral("z/later.ogg")));
        QVERIFY2(log.warnings.filter(QStringLiteral("skipped")).isEmpty(),
                 qPrintable(log.warnings.join(QLatin1Char('\n'))));
        for (const char* name : { "zero.mp3", "zero.m3u", "pipe.mp3", "pipe.pls", "dangling.ogg" })
            QVERIFY(QFile::remove(music + QStringLiteral("/a/") + QLatin1String(name)));
    }

    void playlistFilesAreReadWithinBounds()
    {
        MessageLog log;
        QVERIFY(writeFile(FixtureLibrary::pathOf(QStringLiteral("lists/far.pls")),
                          "[playlist]\nFile1=../a/first.ogg\nFile2147483647=x.ogg\n"));
        // Named .m3u, but the parser would know it as a .pls by its content.
        QVERIFY(writeFile(FixtureLibrary::pathOf(QStringLiteral("lists/disguised.m3u")),
                          "[playlist]\nfile 99999999=x.ogg\n"));
        QByteArray many = "#EXTM3U\n";
        for (int i = 0; i <= TrackerPlaylistReader::MaxEntries; ++i)
            many += "a.ogg\n";
        QVERIFY(writeFile(FixtureLibrary::pathOf(QStringLiteral("lists/many.m3u")), many));
        QVERIFY(writeFile(FixtureLibrary::pathOf(QStringLiteral("lists/big.m3u")),
                          QByteArray(TrackerPlaylistReader::MaxBytes + 1, '#')));
        QVERIFY(!FixtureLibrary::addPlaylist(QStringLiteral("lists/fine.pls"),
                                             { QStringLiteral("a/first.ogg"),
                                               QStringLiteral("z/after.ogg") })
                     .isEmpty());
        indexOrEnd();
        const QString warnings = log.warnings.join(QLatin1Char('\n'));
        QVERIFY2(warnings.contains(
                     QRegularExpression(QStringLiteral("far\\.pls.*numbered 2147483647"))),
                 qPrintable(warnings));
        QVERIFY(warnings.contains(
            QRegularExpression(QStringLiteral("disguised\\.m3u.*numbered 99999999"))));
        QVERIFY(warnings.contains(
            QRegularExpression(QStringLiteral("many\\.m3u.*more than 100000 entries"))));
        QVERIFY(warnings.contains(QRegularExpression(QStringLiteral("big\\.m3u.*larger than"))));
        const QList<QStringList> lists = query(
            QStringLiteral(
                "SELECT ?name nfo:entryCounter(?p) WHERE { ?p a nmm:Playlist ; nfo:fileName ?name }"),
            2);
        QCOMPARE(lists,
                 QList<QStringList>({ { QStringLiteral("fine.pls"), QStringLiteral("2") } }));
        for (const char* name : { "far.pls", "disguised.m3u", "many.m3u", "big.m3u", "fine.pls" })
            QVERIFY(FixtureLibrary::removeFile(QStringLiteral("lists/") + QLatin1String(name)));
        indexOrEnd();
    }

    void longPlaylistsAreWrittenWholeInOrder()
    {
        QStringList files;
        for (int i = 0; i < 1234; ++i)
            files.append(i % 2 ? QStringLiteral("a/first.ogg") : QStringLiteral("z/after.ogg"));
        const QString path = FixtureLibrary::addPlaylist(QStringLiteral("lists/long.m3u"), files);
        QVERIFY(!path.isEmpty());
        indexOrEnd();
        const QString entries
            = QStringLiteral(
                  "SELECT COUNT(?e) MIN(?n) MAX(?n) COUNT(DISTINCT ?n) nfo:entryCounter(?p) "
                  "nfo:fileLastModified(?p) WHERE { ?p a nmm:Playlist ; nie:url %1 ; "
                  "nfo:hasMediaFileListEntry ?e . ?e nfo:listPosition ?n } GROUP BY ?p")
                  .arg(TrackerSparql::literal(
                      FixtureLibrary::urlOf(QStringLiteral("lists/long.m3u"))));
        QList<QStringList> rows = query(entries, 6);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().mid(0, 5), QStringList({ "1234", "0", "1233", "1234", "1234" }));
        QVERIFY(!rows.first().at(5).isEmpty());
        // The first entry is the first line.
        QCOMPARE(count(
                     QStringLiteral(
                         "SELECT COUNT(?e) WHERE { ?p nie:url %1 ; nfo:hasMediaFileListEntry ?e . "
                         "?e nfo:listPosition 0 ; nfo:entryUrl %2 }")
                         .arg(TrackerSparql::literal(
                                  FixtureLibrary::urlOf(QStringLiteral("lists/long.m3u"))),
                              TrackerSparql::literal(
                                  FixtureLibrary::urlOf(QStringLiteral("z/after.ogg"))))),
                 1);

        // Rewritten shorter: the old entries all go.
        files = files.mid(0, 600);
        QVERIFY(!FixtureLibrary::addPlaylist(QStringLiteral("lists/long.m3u"), files).isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                 QFileDevice::FileModificationTime));
        file.close();
        indexOrEnd();
        rows = query(entries, 6);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().mid(0, 5), QStringList({ "600", "0", "599", "600", "600" }));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(?e) WHERE { ?e a nfo:MediaFileListEntry }")),
                 600);
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("lists/long.m3u")));
        indexOrEnd();
    }

    void coverFilesAreReplacedNeverOpenedOrFollowed()
    {
        // A pipe where one album's cover goes, a link to a file of the user's where another's.
        const QString piped = TrackerMediaArt::albumArtPath(QStringLiteral("Pia"),
                                                            QStringLiteral("Piped"));
        QVERIFY(makePipe(piped));
        const QString linked = TrackerMediaArt::albumArtPath(QStringLiteral("Lin"),
                                                             QStringLiteral("Linked"));
        const QString precious = TestEnvironment::home() + QStringLiteral("/precious.txt");
        QVERIFY(writeFile(precious, "keep me"));
        QVERIFY(QFile::link(precious, linked));

        AudioTags tags;
        tags.cover = AudioGenerator::coverImage(Qt::green);
        tags.artist = QStringLiteral("Pia");
        tags.album = QStringLiteral("Piped");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("covers/piped.ogg"), tags).isEmpty());
        tags.artist = QStringLiteral("Lin");
        tags.album = QStringLiteral("Linked");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("covers/linked.ogg"), tags).isEmpty());
        indexOrEnd();
        QVERIFY(indexed(QStringLiteral("covers/linked.ogg")));
        QCOMPARE(readFile(precious), QByteArray("keep me"));
        for (const QString& path : { piped, linked }) {
            QVERIFY2(isRegularFile(path), qPrintable(path));
            QCOMPARE(QImage(path, "JPEG").size(), QSize(64, 64));
        }
        // No temporary file is left beside them.
        QCOMPARE(QDir(TrackerMediaArt::directory())
                     .entryList(QDir::Files | QDir::Hidden)
                     .filter(QStringLiteral(".album-")),
                 QStringList());
    }

    void coversAreSizedBeforeDecodingAndDecodedOncePerAlbum()
    {
        const QString huge = FixtureLibrary::pathOf(QStringLiteral("covers/huge.ogg"));
        QVERIFY(!addSong(huge, QStringLiteral("Huge"), QStringLiteral("Hu"), QStringLiteral("Huge"))
                     .isEmpty());
        const QByteArray png = AudioGenerator::blackPng(12000, 12000);
        QVERIFY(png.size() < 1024 * 1024);
        QVERIFY(AudioGenerator::embedPicture(huge, png, "image/png"));
        const QByteArray small = AudioGenerator::pngOf(AudioGenerator::coverImage(Qt::red, 48));
        for (int i = 1; i <= 3; ++i) {
            const QString path = FixtureLibrary::pathOf(QStringLiteral("covers/png%1.ogg").arg(i));
            QVERIFY(!addSong(path, QStringLiteral("Png %1").arg(i), QStringLiteral("Pn"),
                             QStringLiteral("Png"))
                         .isEmpty());
            QVERIFY(AudioGenerator::embedPicture(path, small, "image/png"));
        }
        MessageLog log;
        indexOrEnd();
        QVERIFY(indexed(QStringLiteral("covers/huge.ogg")));
        QVERIFY(!QFile::exists(
            TrackerMediaArt::albumArtPath(QStringLiteral("Hu"), QStringLiteral("Huge"))));
        const QString warnings = log.warnings.join(QLatin1Char('\n'));
        QVERIFY2(warnings.contains(QStringLiteral("12000 x 12000")), qPrintable(warnings));
        const QString pngCover = TrackerMediaArt::albumArtPath(QStringLiteral("Pn"),
                                                               QStringLiteral("Png"));
        QCOMPARE(QImage(pngCover, "JPEG").size(), QSize(48, 48));
        QCOMPARE(log.debug
                     .filter(QRegularExpression(
                         QStringLiteral("decoded the embedded picture of \"Png\"")))
                     .size(),
                 1);
    }

    void namesThatAreNotUtf8AreIndexedEncoded()
    {
        const QString written = addSong(QStringLiteral("plain.ogg"), QStringLiteral("Caf\u00e9"));
        QVERIFY(!written.isEmpty());
        const QByteArray folder = QFile::encodeName(TestEnvironment::musicDir()) + "/d\xe9mo";
        // Qt cannot remove what it cannot name: the test's home is left clean whatever happens.
        struct RemovedAtEnd
        {
            QByteArray folder;
            ~RemovedAtEnd()
            {
                ::unlink((folder + "/caf\xe9.ogg").constData());
                ::rmdir(folder.constData());
            }
        } removedAtEnd { folder };
        QCOMPARE(::mkdir(folder.constData(), 0700), 0);
        QCOMPARE(::rename(QFile::encodeName(written).constData(),
                          (folder + "/caf\xe9.ogg").constData()),
                 0);
        indexOrEnd();
        const QString url = FixtureLibrary::urlOf(QString()) + QStringLiteral("d%E9mo/caf%E9.ogg");
        const QList<QStringList> rows = query(
            QStringLiteral(
                "SELECT ?t ?n WHERE { ?s a nmm:MusicPiece ; nie:url %1 ; nie:title ?t ; nfo:fileName ?n }")
                .arg(TrackerSparql::literal(url)),
            2);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().first(), QStringLiteral("Caf\u00e9"));
        QVERIFY(rows.first().at(1).endsWith(QStringLiteral(".ogg")));
        // And it goes when the file goes.
        QCOMPARE(::unlink((folder + "/caf\xe9.ogg").constData()), 0);
        indexOrEnd();
        QCOMPARE(count(QStringLiteral("SELECT COUNT(?s) WHERE { ?s nie:url %1 }")
                           .arg(TrackerSparql::literal(url))),
                 0);
    }

    void albumsAreKeyedSoNoTagTextCollides()
    {
        const QChar us(0x1f);
        QVERIFY(!addSong(QStringLiteral("keys/1.ogg"), QStringLiteral("One"), QStringLiteral("Z"),
                         QStringLiteral("X") + us + QStringLiteral("Y"), QStringLiteral("Z"))
                     .isEmpty());
        QVERIFY(!addSong(QStringLiteral("keys/2.ogg"), QStringLiteral("Two"), QStringLiteral("Z"),
                         QStringLiteral("X"), QStringLiteral("Y") + us + QStringLiteral("Z"))
                     .isEmpty());
        QVERIFY(!addSong(QStringLiteral("keys/3.ogg"), QStringLiteral("Three"), QStringLiteral("K"),
                         QStringLiteral("Plain"))
                     .isEmpty());
        indexOrEnd();
        const QList<QStringList> rows = query(
            QStringLiteral(
                "SELECT ?t ?album nie:title(?album) WHERE { ?s nie:title ?t ; nmm:musicAlbum ?album . "
                "FILTER(?t IN (\"One\", \"Two\", \"Three\")) } ORDER BY ?t"),
            3);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).at(2), QStringLiteral("X") + us + QStringLiteral("Y"));
        QCOMPARE(rows.at(2).at(2), QStringLiteral("X"));
        QVERIFY(rows.at(0).at(1) != rows.at(2).at(1));
        // An album whose texts hold no such character keeps the resource it always had.
        const QByteArray plainKey = QStringLiteral("Plain").toUtf8() + "\x1f";
        QCOMPARE(rows.at(1).at(1),
                 QStringLiteral("urn:album:")
                     + QString::fromLatin1(
                         QCryptographicHash::hash(plainKey, QCryptographicHash::Md5).toHex()));
    }

    void longTagTextsAreCut()
    {
        // 200,000 CJK characters of album, and a title of 100,000 characters outside the BMP.
        QString album;
        for (int i = 0; i < 200000; ++i)
            album += QChar(0x4e00 + i % 2000);
        QString title;
        for (int i = 0; i < 50000; ++i)
            title += QString::fromUcs4(U"\U0001F3B5", 1);
        QVERIFY(!addSong(QStringLiteral("long/long.ogg"), title, QStringLiteral("Lo"), album)
                     .isEmpty());
        indexOrEnd();
        const QList<QStringList> rows = query(
            QStringLiteral("SELECT ?t nie:title(?album) WHERE { ?s nie:url %1 ; nie:title ?t ; "
                           "nmm:musicAlbum ?album }")
                .arg(
                    TrackerSparql::literal(FixtureLibrary::urlOf(QStringLiteral("long/long.ogg")))),
            2);
        QCOMPARE(rows.size(), 1);
        const QString storedTitle = rows.first().at(0);
        const QString storedAlbum = rows.first().at(1);
        QVERIFY2(storedAlbum.size() <= 4000, qPrintable(QString::number(storedAlbum.size())));
        QVERIFY(storedAlbum.size() >= 2000);
        QVERIFY(album.startsWith(storedAlbum));
        QVERIFY2(storedTitle.size() <= 4000, qPrintable(QString::number(storedTitle.size())));
        QVERIFY(title.startsWith(storedTitle));
        // Cut between characters, not inside one.
        QVERIFY(!storedTitle.isEmpty() && storedTitle.back().isLowSurrogate());
    }

    void picturesAreReadOnlyAsRasterPictures()
    {
        // SVG covers that name a pipe and a picture on disk: the pipe would hold the indexer in
        // open() for good, the picture would be drawn as the album's cover.
        const QString pipe = TestEnvironment::home() + QStringLiteral("/svg-pipe");
        QVERIFY(makePipe(pipe));
        const QString red = TestEnvironment::home() + QStringLiteral("/red.png");
        QVERIFY(writeFile(red, AudioGenerator::pngOf(AudioGenerator::coverImage(Qt::red, 32))));
        auto svg = [](const QString& target) {
            return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                                  "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"64\" "
                                  "height=\"64\"><rect width=\"64\" height=\"64\" fill=\"blue\"/>"
                                  "<image x=\"0\" y=\"0\" width=\"64\" height=\"64\" "
                                  "xlink:href=\"%1\"/></svg>")
                .arg(target)
                .toUtf8();
        };
        const QString piped = FixtureLibrary::pathOf(QStringLiteral("svg/piped.ogg"));
        QVERIFY(!addSong(piped, QStringLiteral("Piped svg"), QStringLiteral("Sv"),
                         QStringLiteral("Piped svg"))
                     .isEmpty());
        QVERIFY(AudioGenerator::embedPicture(piped, svg(pipe), "image/svg+xml"));
        const QString drawn = FixtureLibrary::pathOf(QStringLiteral("svg/drawn.ogg"));
        QVERIFY(!addSong(drawn, QStringLiteral("Drawn svg"), QStringLiteral("Sv"),
                         QStringLiteral("Drawn svg"))
                     .isEmpty());
        // Claimed to be a PNG: the bytes decide, not the claim.
        QVERIFY(AudioGenerator::embedPicture(drawn, svg(red), "image/png"));
        indexOrEnd();
        QVERIFY(indexed(QStringLiteral("svg/piped.ogg")));
        QVERIFY(indexed(QStringLiteral("svg/drawn.ogg")));
        for (const char* album : { "Piped svg", "Drawn svg" })
            QVERIFY2(!QFile::exists(
                         TrackerMediaArt::albumArtPath(QStringLiteral("Sv"), QLatin1String(album))),
                     album);
    }

    void publishersGoWithTheirLastSong()
    {
        const QString path = addSong(QStringLiteral("label/1.ogg"), QStringLiteral("Pressed"));
        QVERIFY(!path.isEmpty());
        QVERIFY(setTag(path, "LABEL", QStringLiteral("Pressing Co")));
        indexOrEnd();
        const QString contacts = QStringLiteral(
            "SELECT COUNT(?c) WHERE { ?c a nco:Contact ; nco:fullname \"Pressing Co\" }");
        QCOMPARE(count(contacts), 1);
        const int artists = count(QStringLiteral("SELECT COUNT(?a) WHERE { ?a a nmm:Artist }"));
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("label/1.ogg")));
        indexOrEnd();
        QCOMPARE(count(contacts), 0);
        // Artists are contacts too; those with songs stay.
        QCOMPARE(count(QStringLiteral("SELECT COUNT(?a) WHERE { ?a a nmm:Artist }")), artists);
    }

    void aStoppedScanGoesOnWhereItStopped()
    {
        const int songs = 800;
        for (int i = 0; i < songs; ++i)
            QVERIFY(!addSong(QStringLiteral("many/%1.ogg").arg(i, 4, 10, QLatin1Char('0')),
                             QStringLiteral("Many %1").arg(i))
                         .isEmpty());
        const int before = songCount();
        TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
        QSignalSpy progress(indexer, &TrackerFileIndexer::indexingProgress);
        indexer->scanNow();
        QVERIFY(progress.wait(ScanTimeoutMs));
        const QPointer<QThread> worker = indexer->findChild<QThread*>(QString(),
                                                                      Qt::FindDirectChildrenOnly);
        QVERIFY(worker);
        QElapsedTimer timer;
        timer.start();
        indexer->stop();
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        // A worker still writing its last batch when the stop stopped waiting (a loaded
        // machine) is left to end on its own: what it wrote is counted once it has ended.
        QTRY_VERIFY_WITH_TIMEOUT(worker.isNull(), ScanTimeoutMs);
        const int written = songCount() - before;
        QVERIFY2(written > 0 && written < songs, qPrintable(QString::number(written)));

        QSignalSpy started(indexer, &TrackerFileIndexer::indexingStarted);
        indexOrEnd();
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.first().first().toInt(), songs - written);
        QCOMPARE(songCount(), before + songs);
    }

    void aScanWaitsForAStoppedWorkerThatStillWrites()
    {
        // The worker is held in its work past the stop's wait, as by a batch of songs that
        // waits for the store, and then writes what it had read: a new file, as a song.
        TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
        indexOrEnd();
        const QPointer<QThread> thread = indexer->findChild<QThread*>(QString(),
                                                                      Qt::FindDirectChildrenOnly);
        QVERIFY(thread);
        const QString relative = QStringLiteral("z/held.ogg");
        QVERIFY(!addSong(relative, QStringLiteral("Held")).isEmpty());
        const QString url = TrackerSparql::literal(FixtureLibrary::urlOf(relative));
        auto* held = new QObject;
        held->moveToThread(thread);
        QSemaphore running;
        QSemaphore release;
        QMetaObject::invokeMethod(
            held,
            [&] {
                running.release();
                if (!release.tryAcquire(1, 20000))
                    return;
                TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
                TrackerQueryRunner::update(
                    connection,
                    QStringLiteral("INSERT { _:s a nmm:MusicPiece, nfo:FileDataObject ; "
                                   "nie:url %1 ; nie:title \"Held\" }")
                        .arg(url));
                TrackerQueryRunner::releaseConnection(connection);
            },
            Qt::QueuedConnection);
        running.acquire();
        indexer->stop();

        // A scan asked for now waits for that worker's end before it reads the store.
        MessageLog log;
        const int ticket = indexer->scanNow();
        QVERIFY2(
            log.infos.join(QLatin1Char('\n')).contains(QStringLiteral("waits for the stopped")),
            qPrintable(log.infos.join(QLatin1Char('\n'))));
        release.release();
        QTRY_VERIFY_WITH_TIMEOUT(indexer->finishedScans() >= ticket, ScanTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(thread.isNull(), ScanTimeoutMs);
        delete held;
        // The file is one song, not one of the stopped worker's and one of the scan's.
        QCOMPARE(count(QStringLiteral("SELECT COUNT(?s) WHERE { ?s nie:url %1 }").arg(url)), 1);
    }

    void aWorkerStuckInAFileDoesNotHoldTheStop()
    {
        // Something that does not answer (a dead network share) holds the worker's thread.
        TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
        indexOrEnd();
        auto* thread = indexer->findChild<QThread*>();
        QVERIFY(thread);
        auto* stuck = new QObject;
        stuck->moveToThread(thread);
        QSemaphore running;
        QSemaphore release;
        QMetaObject::invokeMethod(
            stuck,
            [&] {
                running.release();
                // Ends by itself in the end, so a stop that waits for it fails instead of hanging.
                release.tryAcquire(1, 20000);
            },
            Qt::QueuedConnection);
        running.acquire();
        QPointer<QThread> guard(thread);
        MessageLog log;
        QElapsedTimer timer;
        timer.start();
        indexer->stop();
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(log.warnings.join(QLatin1Char('\n')).contains(QStringLiteral("did not stop")));
        QVERIFY(guard);
        release.release();
        QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 10000);
        delete stuck;
        // The next scan runs on a thread of its own.
        QVERIFY(!addSong(QStringLiteral("z/unstuck.ogg"), QStringLiteral("Unstuck")).isEmpty());
        indexOrEnd();
        QVERIFY(indexed(QStringLiteral("z/unstuck.ogg")));
    }

    // What a first start ended within its first tenth of a second leaves, at each point of it:
    // the store library's database without the version it writes last. Every later open refused
    // it, so the player never started again.
    void aStoreWhoseFirstStartWasCutOffOpensAgain()
    {
        TrackerStore::destroy();
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(QDir::homePath() + "/cut-off-data"));
        const QString directory = TrackerStore::storeDirectory();
        const QString database = directory + "/meta.db";
        const QString scratch = QDir::homePath() + "/cut-off-scratch";
        // The points: the database made and not yet written; its switch to a log being written;
        // switched, with an empty log; its first transaction under way, some of its pages spilled
        // to the log and not committed (the files as they are while it runs); the same with the
        // last frame's write cut short.
        const int points = 5;
        const auto leaveUnfinished = [&](int point) {
            QDir(directory).removeRecursively();
            QDir(scratch).removeRecursively();
            QVERIFY(QDir().mkpath(directory) && QDir().mkpath(scratch));
            QVERIFY(writeFile(directory + "/.meta.isrunning", QByteArray()));
            if (point < 2) {
                QVERIFY(writeFile(database, QByteArray()));
                if (point == 1)
                    QVERIFY(writeFile(database + "-journal", QByteArray(512, '\0')));
                return;
            }
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(scratch + "/meta.db").constData(), &db),
                     SQLITE_OK);
            QCOMPARE(sqlite3_exec(db,
                                  "PRAGMA page_size=8192; PRAGMA journal_mode=WAL; "
                                  "PRAGMA cache_size=10; BEGIN; CREATE TABLE t(x); "
                                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
                                  "WHERE i<300) INSERT INTO t SELECT randomblob(1000) FROM n",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
            for (const char* name : { "meta.db", "meta.db-wal", "meta.db-shm" })
                QVERIFY(QFile::copy(scratch + '/' + name, directory + '/' + name));
            sqlite3_close(db);
            QVERIFY(QFileInfo(database + "-wal").size() > 10 * 8192);
            QVERIFY(writeFile(directory + "/ontologies.gvdb", "cache"));
            QVERIFY(writeFile(directory + "/ontologies.gvdb.Xy12Z9", "cache"));
            if (point != 3)
                QVERIFY(QFile::resize(database + "-wal", point == 2 ? 0 : 32 + 3 * 8216 + 4096));
        };
        const QString playlist = QStringLiteral(
            "SELECT COUNT(?p) WHERE { ?p a nmm:Playlist ; nie:title \"Kept\" }");
        const auto countIn = [](const QString& sparql) {
            TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
            const TrackerQueryResult result = TrackerQueryRunner::select(connection, sparql, 1);
            TrackerQueryRunner::releaseConnection(connection);
            return result.ok && !result.rows.isEmpty() ? result.rows.first().value(0).toInt() : -1;
        };

        QString error;
        for (int point = 0; point < points; ++point) {
            leaveUnfinished(point);
            QVERIFY(TrackerUnfinishedStore::holdsNothing(directory));
            QVERIFY2(TrackerStore::instance()->openSync(&error), qPrintable(error));
            QCOMPARE(countIn(playlist), 0);
            TrackerStore::destroy();
            QVERIFY(!QFileInfo::exists(directory + "/ontologies.gvdb.Xy12Z9"));
        }

        // Beside those, a log index that counts committed frames, or a journal with a page in it,
        // tells of more than a first page.
        leaveUnfinished(2);
        QFile index(database + "-shm");
        QVERIFY(index.open(QIODevice::ReadWrite) && index.seek(16) && index.write("\1", 1) == 1);
        index.close();
        QVERIFY(!TrackerUnfinishedStore::holdsNothing(directory));
        leaveUnfinished(1);
        QVERIFY(writeFile(database + "-journal", QByteArray(512 + 4 + 8192 + 4, '\0')));
        QVERIFY(!TrackerUnfinishedStore::holdsNothing(directory));

        leaveUnfinished(4);
        QSignalSpy opened(TrackerStore::instance(), &TrackerStore::opened);
        TrackerStore::instance()->openAsync();
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 30000);
        QCOMPARE(opened.first().first().toBool(), true);
        // A finished store keeps what it holds through the next open.
        TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
        QVERIFY(TrackerQueryRunner::update(connection,
                                           QStringLiteral("INSERT DATA { <urn:kept> a nmm:Playlist "
                                                          "; nie:title \"Kept\" }"))
                    .ok);
        TrackerQueryRunner::releaseConnection(connection);
        TrackerStore::destroy();
        QVERIFY(TrackerStore::instance()->openSync(&error));
        QCOMPARE(countIn(playlist), 1);
        TrackerStore::destroy();
        qputenv("XDG_DATA_HOME", dataHome);
    }

    // A finished store that cannot be opened is refused and kept byte for byte, whatever SQLite
    // reads of it. Four damaged bytes made its version read 0, three made its first page read no
    // table (with its log beside it or not), one of its log hid the commit of all it held: each
    // time it was taken for a store whose first start was cut off and deleted with the
    // favourites, play counts and playlists in it. Mended, it opens with all of them.
    void aDamagedStoreIsKeptAndOpensOnceMended()
    {
        TrackerStore::destroy();
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(QDir::homePath() + "/damaged-data"));
        const QString directory = TrackerStore::storeDirectory();
        const QString database = directory + "/meta.db";
        const QStringList counts = {
            "SELECT COUNT(?s) WHERE { ?s nao:hasTag nao:predefined-tag-favorite }",
            "SELECT SUM(?c) WHERE { ?s nie:usageCounter ?c }",
            "SELECT COUNT(?e) WHERE { ?p a nmm:Playlist ; nfo:hasMediaFileListEntry ?e }",
        };
        const auto countsIn = [&counts] {
            QList<int> values;
            for (const QString& text : counts)
                values.append(count(text));
            return values;
        };

        QString error;
        QVERIFY2(TrackerStore::instance()->openSync(&error), qPrintable(error));
        QString data;
        for (int i = 1; i <= 6; ++i) {
            data
                += QStringLiteral(
                       "<urn:kept:%1> a nmm:MusicPiece, nfo:FileDataObject ; nie:title \"Kept %1\" ; "
                       "nie:url \"file:///kept/%1.ogg\" ; nie:usageCounter %1 . "
                       "<urn:kept:entry:%1> a nfo:MediaFileListEntry ; nfo:entryUrl "
                       "\"file:///kept/%1.ogg\" ; nfo:listPosition %1 . "
                       "<urn:kept:list> nfo:hasMediaFileListEntry "
                       "<urn:kept:entry:%1> . ")
                       .arg(i);
            if (i % 2 == 0)
                data += QStringLiteral("<urn:kept:%1> nao:hasTag nao:predefined-tag-favorite . ")
                            .arg(i);
        }
        TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
        const TrackerQueryResult written = TrackerQueryRunner::update(
            connection, QStringLiteral("INSERT DATA { <urn:kept:list> a nmm:Playlist ; "
                                       "nie:title \"Kept\" . %1}")
                            .arg(data));
        TrackerQueryRunner::releaseConnection(connection);
        QVERIFY2(written.ok, qPrintable(written.errorMessage));
        const QList<int> made = { 3, 21, 6 };
        QCOMPARE(countsIn(), made);
        TrackerStore::destroy();

        // The store library lets go of the database a little after the close; then its log is
        // written into it.
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo(database + "-wal").exists(), 30000);
        const QString finished = QDir::homePath() + "/damaged-finished";
        const QString scratch = QDir::homePath() + "/damaged-scratch";
        QVERIFY(copyFolder(directory, finished));

        // The bytes each damage changed, to be written back.
        QList<QPair<QString, QPair<qint64, QByteArray>>> changed;
        const auto forge = [&](const QString& name, qint64 offset, const QByteArray& bytes) {
            const QString path = directory + '/' + name;
            changed.prepend({ path, { offset, readFile(path).mid(int(offset), bytes.size()) } });
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(offset)
                    && file.write(bytes) == bytes.size());
        };
        const auto cut = [&](const QString& name, qint64 size) {
            const QString path = directory + '/' + name;
            changed.prepend({ path, { size, readFile(path).mid(int(size)) } });
            QVERIFY(QFile::resize(path, size));
        };
        const auto noTable = [&] {
            forge("meta.db", 100, "\x0d");
            forge("meta.db", 103, QByteArray(2, '\0'));
        };
        const auto refusedAndKept = [&](const char* damage) {
            TrackerStore::destroy();
            QMap<QString, QByteArray> files = folderPrint(directory);
            {
                MessageLog log;
                QSignalSpy opened(TrackerStore::instance(), &TrackerStore::opened);
                TrackerStore::instance()->openAsync();
                QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 30000);
                QVERIFY2(!opened.first().first().toBool(), damage);
                QVERIFY(!TrackerStore::instance()->lastError().isEmpty());
                QVERIFY2(!TrackerStore::instance()->openSync(&error), damage);
                const QString said = log.warnings.join(QLatin1Char('\n'));
                QVERIFY2(said.contains("cannot open the library store") && said.contains(directory)
                             && !said.contains("holds nothing"),
                         qPrintable(damage + QLatin1Char('\n') + said));
            }
            TrackerStore::destroy();
            // The store library marks the database as open while it tries.
            QMap<QString, QByteArray> after = folderPrint(directory);
            files.remove(".meta.isrunning");
            after.remove(".meta.isrunning");
            QVERIFY2(after == files,
                     qPrintable(damage + QStringLiteral(": ") + QStringList(files.keys()).join(' ')
                                + " -> " + QStringList(after.keys()).join(' ')));
        };
        const auto mendedOpens = [&](const char* damage, const QList<int>& held) {
            for (const auto& change : qAsConst(changed)) {
                QFile file(change.first);
                QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(change.second.first)
                        && file.write(change.second.second) == change.second.second.size());
            }
            changed.clear();
            QVERIFY2(TrackerStore::instance()->openSync(&error), qPrintable(damage + error));
            QVERIFY2(countsIn() == held, damage);
            TrackerStore::destroy();
        };
        const auto fromFinished = [&] {
            TrackerStore::destroy();
            QDir(directory).removeRecursively();
            QVERIFY(copyFolder(finished, directory));
            changed.clear();
        };
        // As a player killed with the store open leaves it: the files as they are while a
        // connection has them (closing the last one writes the log into the database). One more
        // play of a song, which leaves the first page as it was.
        const auto killedWithALog = [&] {
            QVERIFY(copyFolder(finished, scratch));
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(scratch + "/meta.db").constData(), &db),
                     SQLITE_OK);
            QCOMPARE(sqlite3_exec(db,
                                  "PRAGMA wal_autocheckpoint=0; UPDATE \"nie:InformationElement\" "
                                  "SET \"nie:usageCounter\" = \"nie:usageCounter\" + 1 "
                                  "WHERE \"nie:usageCounter\" = 6",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
            QDir(directory).removeRecursively();
            QVERIFY(copyFolder(scratch, directory));
            sqlite3_close(db);
            changed.clear();
            QVERIFY(QFileInfo(database + "-wal").size() > 32);
        };
        // The whole store in the log beside a database of one page (a backup writes every page),
        // and a byte of the log's last frame, the one that commits it all, changed.
        const auto allInTheLog = [&] {
            QDir(scratch).removeRecursively();
            QVERIFY(QDir().mkpath(scratch));
            sqlite3 *source = nullptr, *target = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(finished + "/meta.db").constData(), &source),
                     SQLITE_OK);
            QCOMPARE(sqlite3_open(QFile::encodeName(scratch + "/meta.db").constData(), &target),
                     SQLITE_OK);
            QCOMPARE(sqlite3_exec(target,
                                  "PRAGMA page_size=8192; PRAGMA journal_mode=WAL; "
                                  "PRAGMA wal_autocheckpoint=0",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
            QVERIFY(backup && sqlite3_backup_step(backup, -1) == SQLITE_DONE);
            sqlite3_backup_finish(backup);
            QDir(directory).removeRecursively();
            QVERIFY(copyFolder(scratch, directory));
            sqlite3_close(target);
            sqlite3_close(source);
            QVERIFY(QFile::copy(finished + "/ontologies.gvdb", directory + "/ontologies.gvdb"));
            changed.clear();
            QCOMPARE(QFileInfo(database).size(), 8192);
            const qint64 at = QFileInfo(database + "-wal").size() - 100;
            forge("meta.db-wal", at, QByteArray(1, char(~readFile(database + "-wal").at(int(at)))));
        };

        fromFinished();
        forge("meta.db", 60, QByteArray(4, '\0'));
        refusedAndKept("the version field");
        mendedOpens("the version field", made);

        fromFinished();
        noTable();
        QCOMPARE(tablesAsRead(database), 0);
        refusedAndKept("three bytes of the first page");
        mendedOpens("three bytes of the first page", made);

        killedWithALog();
        noTable();
        QCOMPARE(tablesAsRead(database), 0);
        refusedAndKept("three bytes of the first page, its log beside it");
        mendedOpens("three bytes of the first page, its log beside it", { 3, 22, 6 });

        // The same three bytes, with a page-size field that reads 64 KiB on a database cut to
        // that size: one page, if the field were trusted.
        fromFinished();
        noTable();
        forge("meta.db", 16, QByteArray("\0\1", 2));
        cut("meta.db", 65536);
        refusedAndKept("a page-size field");
        mendedOpens("a page-size field", made);

        // Beside a database of one page, what the store library does not make, or a log that is
        // not a file, is not taken for empty either.
        for (const char* beside : { "a folder for its log", "a file of another database" }) {
            QDir(directory).removeRecursively();
            QVERIFY(QDir().mkpath(directory));
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(database).constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, "PRAGMA page_size=8192; PRAGMA journal_mode=WAL", nullptr,
                                  nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(db);
            QVERIFY(beside[2] == 'f' ? QDir().mkpath(database + "-wal")
                                     : writeFile(directory + "/other.db", "rows"));
            refusedAndKept(beside);
        }

        // The whole store in a log whose commit is damaged, beside a database of one page or of
        // none, is not empty as the files are read, though SQLite reads no table in it. (Any
        // open of it, SQLite's recovery, drops such a log as a write cut short; the store
        // library's open is not tried here.)
        allInTheLog();
        QCOMPARE(tablesAsRead(database), 0);
        QVERIFY(!TrackerUnfinishedStore::holdsNothing(directory));
        cut("meta.db", 0);
        QVERIFY(!TrackerUnfinishedStore::holdsNothing(directory));
        QVERIFY(QFile::rename(database + "-wal", scratch + "/linked"));
        QVERIFY(QFile::link(scratch + "/linked", database + "-wal"));
        QVERIFY(!TrackerUnfinishedStore::holdsNothing(directory));

        // A database SQLite cannot read at all is not taken for an empty one either.
        fromFinished();
        QVERIFY(writeFile(database, QByteArray(8192, 'x')));
        QVERIFY(!TrackerStore::instance()->openSync(&error));
        TrackerStore::destroy();
        QCOMPARE(readFile(database), QByteArray(8192, 'x'));
        qputenv("XDG_DATA_HOME", dataHome);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestStoreHostile)
#include "tst_storehostile.moc"
