// The tag readers of an index: batches of real generated files read side by side while the
// caller works on the batch before, by reader threads that the process keeps between batches.

#include "audiogenerator.h"
#include "testenvironment.h"
#include "trackermediaart.h"
#include "trackerregularfile.h"
#include "trackertagbatch.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QtTest>

#include <memory>

#include <taglib/flacfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <sys/stat.h>

namespace {

// The threads of this process named "tag reader", by id.
QSet<QString> tagReaderThreads()
{
    QSet<QString> ids;
    const QString tasks = QStringLiteral("/proc/self/task");
    for (const QString& id : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks + QLatin1Char('/') + id + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "tag reader")
            ids.insert(id);
    }
    return ids;
}

QVector<TrackerTagBatch::File> filesOf(const QStringList& paths)
{
    QVector<TrackerTagBatch::File> files;
    for (const QString& path : paths) {
        TrackerTagBatch::File file;
        file.url = QStringLiteral("file://") + path;
        file.path = QFile::encodeName(path);
        files.append(file);
    }
    return files;
}

} // namespace

class TestTagBatch : public QObject
{
    Q_OBJECT

    QStringList m_songs; // every song written, in order
    QAtomicInt m_running;

private slots:
    void initTestCase()
    {
        const QString folder = TestEnvironment::musicDir() + QStringLiteral("/batch");
        QVERIFY(QDir().mkpath(folder));
        // Four albums of six songs; every song of the first two carries the album's cover.
        const QColor colours[] = { Qt::red, Qt::blue };
        for (int album = 0; album < 4; ++album) {
            for (int track = 1; track <= 6; ++track) {
                AudioTags tags;
                tags.title = QStringLiteral("Song %1-%2").arg(album).arg(track);
                tags.artist = QStringLiteral("Batch Artist");
                tags.album = QStringLiteral("Batch Album %1").arg(album);
                tags.trackNumber = track;
                if (album < 2)
                    tags.cover = AudioGenerator::coverImage(colours[album]);
                const QString path = folder + QStringLiteral("/%1-%2.ogg").arg(album).arg(track);
                QVERIFY(AudioGenerator::write(path, tags, 300));
                m_songs.append(path);
            }
        }
    }

    // As the indexer reads: the next batch starts before the last one is taken. Every file is
    // read, in the order given, each album's cover lands in the media-art store, and the same
    // few reader threads read every batch instead of new ones for each.
    void batchesAreReadInOrderByReadersKeptBetweenThem()
    {
        const int perBatch = 5;
        std::unique_ptr<TrackerTagBatch> reading(
            new TrackerTagBatch(filesOf(m_songs.mid(0, perBatch)), &m_running));
        QSet<QString> readers;
        int read = 0;
        for (int first = 0; reading; first += perBatch) {
            const QVector<TrackerTagBatch::File> files = reading->take();
            reading.reset(first + perBatch < m_songs.size() ? new TrackerTagBatch(
                              filesOf(m_songs.mid(first + perBatch, perBatch)), &m_running)
                                                            : nullptr);
            QCOMPARE(files.size(), qMin(perBatch, m_songs.size() - first));
            for (int i = 0; i < files.size(); ++i) {
                const TrackerTagBatch::File& file = files.at(i);
                const int n = first + i;
                QVERIFY2(file.ok, qPrintable(file.reason));
                QCOMPARE(file.path, QFile::encodeName(m_songs.at(n)));
                QCOMPARE(file.info.title, QStringLiteral("Song %1-%2").arg(n / 6).arg(n % 6 + 1));
                QCOMPARE(file.info.album, QStringLiteral("Batch Album %1").arg(n / 6));
                QCOMPARE(file.info.trackNumber, n % 6 + 1);
                // The cover went to the store; the batch keeps no copy of it.
                QVERIFY(file.info.cover.isEmpty());
                ++read;
            }
            const QSet<QString> now = tagReaderThreads();
            QVERIFY(!now.isEmpty());
            QVERIFY2(now.size() <= 4, qPrintable(QString::number(now.size())));
            if (readers.isEmpty())
                readers = now;
            QCOMPARE(now, readers);
        }
        QCOMPARE(read, m_songs.size());
        for (int album = 0; album < 4; ++album) {
            const QString art = TrackerMediaArt::albumArtPath(
                QStringLiteral("Batch Artist"), QStringLiteral("Batch Album %1").arg(album));
            QCOMPARE(QFile::exists(art), album < 2);
            if (album < 2) {
                const QImage cover(art, "JPEG");
                QCOMPARE(cover.size(), QSize(64, 64));
                const QColor edge = cover.pixelColor(4, 4);
                QVERIFY(album == 0 ? edge.red() > 200 && edge.blue() < 60
                                   : edge.blue() > 200 && edge.red() < 60);
            }
        }
    }

    // Batches of several owners at once (two indexers of two stores) each get all their files.
    void batchesOfSeveralOwnersAtOnce()
    {
        QVector<std::shared_ptr<TrackerTagBatch>> batches;
        for (int i = 0; i < 6; ++i)
            batches.append(std::make_shared<TrackerTagBatch>(filesOf(m_songs), &m_running));
        for (const auto& batch : qAsConst(batches)) {
            const QVector<TrackerTagBatch::File> files = batch->take();
            QCOMPARE(files.size(), m_songs.size());
            for (const TrackerTagBatch::File& file : files)
                QVERIFY2(file.ok, qPrintable(file.reason));
        }
    }

    // A cancelled read hands every file back unread at once, and a batch dropped untaken (an
    // index stopped) waits for its readers: they must not write into a batch that is gone.
    void cancelledAndDroppedBatches()
    {
        QAtomicInt cancelled(1);
        TrackerTagBatch stopped(filesOf(m_songs), &cancelled);
        const QVector<TrackerTagBatch::File> files = stopped.take();
        QCOMPARE(files.size(), m_songs.size());
        for (int i = 0; i < files.size(); ++i) {
            QVERIFY(!files.at(i).ok);
            QCOMPARE(files.at(i).path, QFile::encodeName(m_songs.at(i)));
        }
        for (int i = 0; i < 20; ++i)
            TrackerTagBatch dropped(filesOf(m_songs), &m_running);
        TrackerTagBatch empty(QVector<TrackerTagBatch::File>(), &m_running);
        QVERIFY(empty.take().isEmpty());
        // The readers are still there for the next batch.
        TrackerTagBatch after(filesOf(m_songs.mid(0, 3)), &m_running);
        for (const TrackerTagBatch::File& file : after.take())
            QVERIFY2(file.ok, qPrintable(file.reason));
    }

    // A file that is not audio, or not there, is handed back unread with the reason, among
    // files that are read.
    void unreadableFilesAmongReadOnes()
    {
        const QString text = TestEnvironment::musicDir() + QStringLiteral("/batch/notes.ogg");
        QFile notes(text);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not audio at all\n");
        notes.close();
        const QString missing = TestEnvironment::musicDir() + QStringLiteral("/batch/gone.ogg");
        TrackerTagBatch batch(filesOf({ m_songs.first(), text, missing, m_songs.last() }),
                              &m_running);
        const QVector<TrackerTagBatch::File> files = batch.take();
        QCOMPARE(files.size(), 4);
        QVERIFY(files.at(0).ok);
        QVERIFY(!files.at(1).ok);
        QVERIFY(!files.at(1).reason.isEmpty());
        QVERIFY(!files.at(2).ok);
        QVERIFY(!files.at(2).reason.isEmpty());
        QVERIFY(files.at(3).ok);
        QCOMPARE(files.at(3).info.title, QStringLiteral("Song 3-6"));
    }

    // Every field an index keeps, from the comments of an Ogg and of a FLAC file alike: names
    // in any case, texts beyond the first plane, spaces around them, numbers with a total.
    void everyFieldOfOggAndFlacComments()
    {
        const QString folder = TestEnvironment::musicDir() + QStringLiteral("/fields");
        QVERIFY(QDir().mkpath(folder));
        const QString emoji = QString::fromUtf8("Lyr\xF0\x9F\x8E\xB5ics");
        auto fill = [&](TagLib::Ogg::XiphComment* comment) {
            comment->addField("albumArtist", "  The Band  ");
            comment->addField("Composer", "Com Poser");
            comment->addField("LYRICIST",
                              TagLib::String(emoji.toUtf8().constData(), TagLib::String::UTF8));
            comment->addField("copyright", "(c) Someone");
            comment->addField("EncodedBy", "Vaspe Music");
            comment->addField("label", "A Label");
            comment->addField("DISCNUMBER", "2/3");
        };
        QStringList paths;
        for (const QString& suffix : { QStringLiteral("ogg"), QStringLiteral("flac") }) {
            AudioTags tags;
            tags.title = QStringLiteral("Fields");
            tags.artist = QStringLiteral("Artist");
            tags.album = QStringLiteral("Album");
            const QString path = folder + QStringLiteral("/fields.") + suffix;
            QVERIFY(AudioGenerator::write(path, tags, 300));
            const QByteArray name = QFile::encodeName(path);
            if (suffix == QLatin1String("ogg")) {
                TagLib::Ogg::Vorbis::File file(name.constData());
                QVERIFY(file.isValid());
                fill(file.tag());
                QVERIFY(file.save());
            } else {
                TagLib::FLAC::File file(name.constData());
                QVERIFY(file.isValid());
                fill(file.xiphComment(true));
                QVERIFY(file.save());
            }
            paths << path;
        }
        TrackerTagBatch batch(filesOf(paths), &m_running);
        for (const TrackerTagBatch::File& file : batch.take()) {
            QVERIFY2(file.ok, qPrintable(file.reason));
            const TrackerTrackInfo& info = file.info;
            QCOMPARE(info.title, QStringLiteral("Fields"));
            QCOMPARE(info.albumArtist, QStringLiteral("The Band"));
            QCOMPARE(info.composer, QStringLiteral("Com Poser"));
            QCOMPARE(info.lyricist, emoji);
            QCOMPARE(info.copyright, QStringLiteral("(c) Someone"));
            QCOMPARE(info.encodedBy, QStringLiteral("Vaspe Music"));
            QCOMPARE(info.publisher, QStringLiteral("A Label"));
            QCOMPARE(info.discNumber, 2);
        }
    }

    // What the readers leave in the media-art store: whole covers readable by all, and no
    // file of a write half done.
    void coverFilesAreWholeReadableAndAlone()
    {
        const QDir art(TrackerMediaArt::directory());
        const QStringList names = art.entryList(QDir::Files | QDir::Hidden);
        QVERIFY(!names.isEmpty());
        for (const QString& name : names) {
            QVERIFY2(name.startsWith(QStringLiteral("album-")) && name.endsWith(".jpeg"),
                     qPrintable(name));
            struct stat status;
            QCOMPARE(::stat(QFile::encodeName(art.filePath(name)).constData(), &status), 0);
            QCOMPARE(int(status.st_mode & 0777), 0644);
            QVERIFY(!QImage(art.filePath(name), "JPEG").isNull());
        }
    }

    // The songs of an album one after another: a picture that comes again is the cover already
    // made, a different one replaces it, and one refused leaves the cover as it was.
    void picturesThatComeAgainAndPicturesThatChange()
    {
        auto jpeg = [](const QColor& colour) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            AudioGenerator::coverImage(colour).save(&buffer, "JPEG");
            return bytes;
        };
        const QString artist = QStringLiteral("Again");
        const QString album = QStringLiteral("And Again");
        const QString path = TrackerMediaArt::albumArtPath(artist, album);
        auto edge = [&] { return QImage(path, "JPEG").pixelColor(4, 4); };
        const QByteArray red = jpeg(Qt::red);
        const QByteArray blue = jpeg(Qt::blue);
        for (int song = 0; song < 3; ++song)
            QVERIFY(TrackerMediaArt::writeAlbumArt(artist, album, red));
        QVERIFY(edge().red() > 200 && edge().blue() < 60);
        QVERIFY(TrackerMediaArt::writeAlbumArt(artist, album, blue));
        QVERIFY(edge().blue() > 200 && edge().red() < 60);
        QVERIFY(TrackerMediaArt::writeAlbumArt(artist, album, red));
        QVERIFY(edge().red() > 200 && edge().blue() < 60);
        const QByteArray broken("\xff\xd8\xff\xe0 not a picture");
        for (int song = 0; song < 2; ++song)
            QVERIFY(!TrackerMediaArt::writeAlbumArt(artist, album, broken));
        QVERIFY(edge().red() > 200 && edge().blue() < 60);
        // A cover deleted behind the process's back is made again from the same picture.
        QVERIFY(QFile::remove(path));
        QVERIFY(TrackerMediaArt::writeAlbumArt(artist, album, red));
        QVERIFY(edge().red() > 200 && edge().blue() < 60);
    }

    // A cover that cannot be put in place says why and leaves nothing behind; one that is no
    // picture at all is refused.
    void failedAndRefusedCovers()
    {
        const QString folder = TestEnvironment::home() + QStringLiteral("/replace");
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/taken")));
        QString reason;
        // A folder where the file would go is not replaced.
        QVERIFY(!TrackerRegularFile::replace(folder + QStringLiteral("/taken"), "bytes", &reason));
        QVERIFY(!reason.isEmpty());
        reason.clear();
        QVERIFY(!TrackerRegularFile::replace(folder + QStringLiteral("/none/file"), "x", &reason));
        QVERIFY(!reason.isEmpty());
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList { QStringLiteral("taken") });
        // Written whole over an older file.
        const QString file = folder + QStringLiteral("/file");
        QVERIFY(TrackerRegularFile::replace(file, QByteArray(100000, 'a')));
        QVERIFY(TrackerRegularFile::replace(file, "new"));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("new"));

        QByteArray broken("\xff\xd8\xff\xe0 no picture follows");
        QVERIFY(!TrackerMediaArt::writeAlbumArt(QStringLiteral("Broken"), QStringLiteral("Art"),
                                                broken));
        QVERIFY(!QFile::exists(
            TrackerMediaArt::albumArtPath(QStringLiteral("Broken"), QStringLiteral("Art"))));
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestTagBatch)
#include "tst_tagbatch.moc"
