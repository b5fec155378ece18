// Tags of every kind the indexer's tag reader takes, in the shapes that cost a reader out of
// proportion to what it keeps: a Vorbis comment (Ogg, FLAC) or APE tag of a million tiny
// fields, a FLAC file of a million tiny blocks, an ID3v2 text of megabytes or of millions of
// values, a compressed ID3v2 frame that unpacks to much more than it holds. Each is read in
// bounded memory, with the texts that can be read; tags as taggers write them read as they
// always did; and damaged tags (cut short, saying more than they hold) neither crash nor hang
// the tag reader or the stream handler's ID3v2 read.

#include "audiogenerator.h"
#include "id3tagbytes.h"
#include "playback/id3frameencodings.h"
#include "processmemory.h"
#include "kindfloods.h"
#include "testenvironment.h"
#include "trackertagreader.h"

#include <QFile>
#include <QtTest>

#include <malloc.h>
#include <zlib.h>

namespace {

// What a reader may add to the process's peak while it reads a flood. Reading them whole took
// from 160 MB (a text compressed from 64 MiB) to 2 GB (a text of 4 million values).
const double MostPeakGrowthMiB = 100;
const int Flood = 1390000;

QByteArray id3Frame23(const QByteArray& id, const QByteArray& data,
                      const QByteArray& flags = "\0\0")
{
    return id + id3SizeBytes(quint32(data.size()), false) + QByteArray(flags.constData(), 2) + data;
}

// An ID3v2.4 frame unsynchronised on its own, with its data's length before its data.
QByteArray id3Frame24Unsynchronised(const QByteArray& id, const QByteArray& data)
{
    QByteArray stored = id3SizeBytes(quint32(data.size()), true);
    for (const char c : data) {
        stored += c;
        if (uchar(c) == 0xff)
            stored += '\0';
    }
    return id + id3SizeBytes(quint32(stored.size()), true) + QByteArray("\0\x03", 2) + stored;
}

QByteArray id3Tag(int version, const QByteArray& body, qint64 declared = -1)
{
    return "ID3" + QByteArray(1, char(version)) + QByteArray(2, '\0')
           + id3SizeBytes(quint32(declared < 0 ? body.size() : declared), true) + body;
}

// A frame's data compressed as ID3v2.3 stores it: its size before, then zlib's stream.
QByteArray compressed23(const QByteArray& data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray packed(int(size), '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                  reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()), 9)
        != Z_OK)
        return QByteArray();
    packed.truncate(int(size));
    return id3SizeBytes(quint32(data.size()), false) + packed;
}

} // namespace

class TestTagFloods : public QObject
{
    Q_OBJECT

    QString dir;
    QByteArray mp3Audio;
    QByteArray ogg;
    QByteArray flac;

    QString write(const QString& name, const QByteArray& bytes)
    {
        return TestEnvironment::writeFile(dir + QLatin1Char('/') + name, bytes);
    }

    // A song of one second tagged "Song" by "Singer", in the given format.
    QByteArray plain(const QString& suffix)
    {
        const QString path = dir + QStringLiteral("/plain.") + suffix;
        AudioTags tags;
        tags.title = QStringLiteral("Song");
        tags.artist = QStringLiteral("Singer");
        QFile file(path);
        return AudioGenerator::write(path, tags, 1000) && file.open(QIODevice::ReadOnly)
                   ? file.readAll()
                   : QByteArray();
    }

    // The fields of a flood: a title, `count` tiny fields (each of a name of its own when
    // `named`), an artist; its count as it is unless `declared` is given.
    static QByteArray floodComment(int count, bool named, qint64 declared = -1)
    {
        QByteArray fields;
        fields.reserve(count * 16 + 64);
        appendVorbisField(fields, "TITLE=Flood Title", 17);
        char field[24];
        for (int i = 0; i < count; ++i) {
            int length = named ? fieldNameInto(field, i) : 1;
            if (!named)
                field[0] = 'A';
            field[length++] = '=';
            field[length++] = named ? 'a' : 'b';
            appendVorbisField(fields, field, length);
        }
        appendVorbisField(fields, "ARTIST=Flood Artist", 19);
        return vorbisCommentOf(fields, quint32(declared < 0 ? count + 2 : declared));
    }

private slots:
    void initTestCase()
    {
        dir = TestEnvironment::musicDir();
        QFile audio(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 1000));
        QVERIFY(audio.open(QIODevice::ReadOnly));
        mp3Audio = withoutId3v2(audio.readAll());
        ogg = plain(QStringLiteral("ogg"));
        flac = plain(QStringLiteral("flac"));
        QVERIFY(!mp3Audio.isEmpty() && ogg.startsWith("OggS") && flac.startsWith("fLaC"));
    }

    void floodsAreReadBounded_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::newRow("Vorbis comment of 1.39 million fields") << 0 << "comment.ogg";
        QTest::newRow("FLAC comment of 1.39 million fields") << 1 << "comment.flac";
        QTest::newRow("FLAC of 1.39 million blocks") << 2 << "blocks.flac";
        QTest::newRow("APE tag of 1.39 million items") << 3 << "items.mp3";
        QTest::newRow("ID3v2 text of 16 MiB") << 4 << "text.mp3";
        QTest::newRow("ID3v2.4 text of 4 million values") << 5 << "values.mp3";
        QTest::newRow("ID3v2 text compressed from 64 MiB") << 6 << "packed.mp3";
    }

    void floodsAreReadBounded()
    {
        QFETCH(int, kind);
        QFETCH(QString, name);
        QString path;
        {
            QByteArray bytes;
            if (kind == 0) {
                bytes = oggVorbisWithComment(ogg, floodComment(Flood, true));
            } else if (kind == 1) {
                bytes = flacWithBlocks(flac, flacBlock(4, floodComment(Flood, true), true));
            } else if (kind == 2) {
                const QByteArray block = flacBlock(2, "abcd");
                QByteArray blocks;
                blocks.reserve(Flood * block.size());
                for (int i = 0; i < Flood; ++i)
                    blocks += block;
                bytes = flacWithBlocks(flac, blocks + flacBlock(4, floodComment(0, false), true));
            } else if (kind == 3) {
                bytes = mp3Audio + floodApeTag(Flood);
            } else if (kind == 4) {
                bytes = id3Tag(3, id3Frame23("TIT2", '\0' + QByteArray(16 * 1024 * 1024, 'a'))
                                      + id3Frame23("TPE1", QByteArray("\0Flood Artist", 13)))
                        + mp3Audio;
            } else if (kind == 5) {
                QByteArray values = "Flood Artist";
                for (int i = 0; i < 4000000; ++i)
                    values += QByteArray("\0a", 2);
                bytes = id3v2(4, { { "TIT2", 0, "Flood Title" }, { "TPE1", 0, values } })
                        + mp3Audio;
            } else {
                bytes = id3Tag(3, id3Frame23("TIT2",
                                             compressed23('\0' + QByteArray(64 * 1024 * 1024, 'a')),
                                             QByteArray("\0\x80", 2))
                                      + id3Frame23("TPE1", QByteArray("\0Flood Artist", 13)))
                        + mp3Audio;
            }
            path = write(name, bytes);
        }
        QVERIFY(!path.isEmpty());
        // What making the file freed goes back first, so that the peak tells what reading adds.
        malloc_trim(0);

        resetPeakResident();
        double before = peakResidentMiB();
        TrackerTrackInfo info;
        QString reason;
        QVERIFY2(TrackerTagReader::read(path, &info, &reason), qPrintable(reason));
        const double growth = peakResidentMiB() - before;
        QCOMPARE(info.title, kind == 4 || kind == 6
                                 ? QString(TrackerTagReader::MaxTextLength, QLatin1Char('a'))
                                 : QStringLiteral("Flood Title"));
        QVERIFY(info.artist.startsWith(QLatin1String("Flood Artist")));
        QCOMPARE(info.durationSeconds, 1);

        malloc_trim(0);
        resetPeakResident();
        before = peakResidentMiB();
        const Id3FrameEncodings encodings = Id3FrameEncodings::read(path);
        const double handlerGrowth = peakResidentMiB() - before;
        // id3lib reads the frames of an ID3v2.3 tag (not those of a v2.4 one), within the first
        // 16 MiB of the tag.
        if (kind == 4 || kind == 6) {
            QCOMPARE(encodings.title, 0);
            QCOMPARE(encodings.artist, kind == 4 ? int(Id3FrameEncodings::Missing) : 0);
        }
        qInfo("peak growth: tag reader %.1f MiB, stream handler %.1f MiB", growth, handlerGrowth);
        QVERIFY2(growth < MostPeakGrowthMiB, qPrintable(QString::number(growth)));
        QVERIFY2(handlerGrowth < MostPeakGrowthMiB, qPrintable(QString::number(handlerGrowth)));
    }

    void tagsAsTaggersWriteThemReadAsTheyDid_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");

        // Just within the bounds, and just past them: the same texts either way (a title, the
        // tiny fields, an artist; a FLAC file's stream information, the blocks, its comment).
        for (const int count : { 1024 - 2, 1024 }) {
            const QString n = QString::number(count + 2);
            QTest::newRow(qPrintable("Vorbis comment of " + n + " fields"))
                << "bound" + n + ".ogg" << oggVorbisWithComment(ogg, floodComment(count, false));
            QByteArray blocks;
            for (int i = 0; i < count; ++i)
                blocks += flacBlock(2, "abcd");
            QTest::newRow(qPrintable("FLAC of " + n + " blocks"))
                << "bound" + n + ".flac"
                << flacWithBlocks(flac, blocks + flacBlock(4, floodComment(0, false), true));
            QList<QPair<QByteArray, QByteArray>> items { { "Title", "Flood Title" } };
            for (int i = 0; i < count; ++i)
                items.append(qMakePair(QByteArray("Zz"), QByteArray("a")));
            items.append(qMakePair(QByteArray("Artist"), QByteArray("Flood Artist")));
            QTest::newRow(qPrintable("APE tag of " + n + " items"))
                << "bound" + n + ".mp3" << mp3Audio + apeTag(items);
        }
        for (const int bytes : { 64 * 1024, 64 * 1024 + 1 }) {
            const QString n = QString::number(bytes);
            QTest::newRow(qPrintable("ID3v2 text of " + n + " bytes"))
                << "text" + n + ".mp3"
                << id3Tag(3, id3Frame23("TIT2", QByteArray("\0Flood Title ", 13)
                                                    + QByteArray(bytes - 13, 'a'))
                                 + id3Frame23("TPE1", QByteArray("\0Flood Artist", 13)))
                       + mp3Audio;
        }
        QTest::newRow("ID3v2.4 text unsynchronised, of 64 KiB")
            << "unsynchronised.mp3"
            << id3Tag(4, id3Frame24Unsynchronised("TIT2", QByteArray("\0Flood Title \xff\xe0", 15)
                                                              + QByteArray(64 * 1024, 'a'))
                             + id3Frame24Unsynchronised("TPE1", QByteArray("\0Flood Artist", 13)))
                   + mp3Audio;
        // Texts of more than 64 KiB of characters of two, three and four bytes: what is kept ends
        // where a character ends.
        const QString notes = QString::fromUtf8("Flood Title ") + QString(40000, QChar(0x266a));
        QString clefs = QStringLiteral("Flood Title ");
        for (int i = 0; i < 20000; ++i)
            clefs += QString::fromUcs4(U"\U0001D11E", 1);
        QTest::newRow("Vorbis comment of a long UTF-8 text")
            << "long-text.ogg"
            << oggVorbisWithComment(ogg, vorbisComment(
                                             { "TITLE=" + notes.toUtf8(), "ARTIST=Flood Artist" }));
        QTest::newRow("APE tag of a long UTF-8 text")
            << "long-text-ape.mp3"
            << mp3Audio
                   + apeTag({ qMakePair(QByteArray("Title"), clefs.toUtf8()),
                              qMakePair(QByteArray("Artist"), QByteArray("Flood Artist")) });
        QByteArray utf16("\x01\xff\xfe", 3);
        for (const QChar c : clefs)
            utf16 += char(c.unicode() & 0xff) + QByteArray(1, char(c.unicode() >> 8));
        QTest::newRow("ID3v2.3 long UTF-16 text")
            << "long-utf16.mp3"
            << id3Tag(3, id3Frame23("TIT2", utf16)
                             + id3Frame23("TPE1", QByteArray("\0Flood Artist", 13)))
                   + mp3Audio;
        QTest::newRow("ID3v2.4 long UTF-8 text")
            << "long-utf8.mp3"
            << id3v2(4, { { "TIT2", 3, notes.toUtf8() }, { "TPE1", 0, "Flood Artist" } })
                   + mp3Audio;
        QTest::newRow("ID3v2 text compressed")
            << "packed.mp3"
            << id3Tag(3, id3Frame23("TIT2", compressed23(QByteArray("\0Flood Title", 12)),
                                    QByteArray("\0\x80", 2))
                             + id3Frame23("TPE1", QByteArray("\0Flood Artist", 13)))
                   + mp3Audio;
    }

    void tagsAsTaggersWriteThemReadAsTheyDid()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString path = write(name, bytes);
        QVERIFY(!path.isEmpty());
        TrackerTrackInfo info;
        QString reason;
        QVERIFY2(TrackerTagReader::read(path, &info, &reason), qPrintable(reason));
        // An unsynchronised frame's 0xFF 0x00 reads as 0xFF.
        const QString start = name.startsWith(QLatin1String("unsynchronised"))
                                  ? QString::fromLatin1("Flood Title \xff\xe0")
                                  : QStringLiteral("Flood Title");
        QVERIFY2(info.title.startsWith(start), qPrintable(info.title.left(40)));
        QVERIFY(info.title.size() <= TrackerTagReader::MaxTextLength);
        if (name.startsWith(QLatin1String("long"))) {
            QVERIFY2(info.title.size() >= TrackerTagReader::MaxTextLength - 1,
                     qPrintable(QString::number(info.title.size())));
            QVERIFY(!info.title.contains(QChar::ReplacementCharacter));
        }
        QCOMPARE(info.artist, QStringLiteral("Flood Artist"));
        QCOMPARE(info.durationSeconds, 1);
        if (name.startsWith(QLatin1String("text")) || name.startsWith(QLatin1String("packed"))) {
            const Id3FrameEncodings encodings = Id3FrameEncodings::read(path);
            QCOMPARE(encodings.title, 0);
            QCOMPARE(encodings.artist, 0);
        }
    }

    void damagedTagsAreReadAsFarAsTheyGo()
    {
        // Each is read without a crash or a hang, for the indexer and for the stream handler;
        // what can be read of it is.
        QByteArray frames;
        for (int i = 0; i < 1030; ++i)
            frames += id3Frame23("TIT2", QByteArray("\0a", 2));
        const QByteArray comment = oggVorbisWithComment(ogg, floodComment(2000, false));
        QByteArray ape = apeTag({ { "Title", "Song" } });
        ape.replace(ape.size() - 32 + 12, 4, littleEndian32(200 * 1024 * 1024));
        const QByteArray firstPage = oggPages(ogg).first();
        QByteArray emptyPage = QByteArray("OggS", 4) + QByteArray(2, '\0') + QByteArray(8, '\0')
                               + firstPage.mid(14, 4) + littleEndian32(1) + QByteArray(5, '\0');
        emptyPage.replace(22, 4, littleEndian32(oggChecksum(emptyPage)));
        const struct
        {
            const char* name;
            QByteArray bytes;
            bool read; // the audio is still found
        } damaged[] = {
            // Past the 1,024th frame, a frame the readers look up says it is 4 GiB long.
            { "beyond.mp3",
              id3Tag(3, frames + "TPE1" + QByteArray("\xff\xff\xff\xf0\0\0", 6)
                            + QByteArray(3000, 'a'))
                  + mp3Audio,
              false },
            // A tag that says it is longer than the file, and one cut inside a frame's header.
            { "declared.mp3", id3Tag(3, id3Frame23("TIT2", QByteArray("\0Song", 5)), 0x0fffffff),
              false },
            { "cut.mp3", id3Tag(3, frames + "TPE", frames.size() + 10), false },
            // A compressed frame whose stream is damaged.
            { "badpack.mp3",
              id3Tag(3, id3Frame23("TIT2", QByteArray("\0\0\0\x10xxxxxxxx", 12),
                                   QByteArray("\0\x80", 2)))
                  + mp3Audio,
              true },
            // A comment of 2,000 fields cut after 1,500, and one that says it holds more fields
            // than it does.
            { "comment-cut.ogg", comment.left(comment.indexOf("A=b") + 1500 * 7), false },
            { "comment-count.ogg", oggVorbisWithComment(ogg, floodComment(2, false, 0x7fffffff)),
              true },
            // A page of no segments among the header pages.
            { "empty-page.ogg", firstPage + emptyPage + ogg.mid(firstPage.size()), false },
            // A metadata block that says it is longer than the file.
            { "block.flac",
              flac.left(
                  8 + ((uchar(flac.at(5)) << 16) | (uchar(flac.at(6)) << 8) | uchar(flac.at(7))))
                  + QByteArray("\x84\xff\xff\xff", 4) + QByteArray(100, 'a'),
              false },
            // An APE tag that says it is longer than the file.
            { "ape.mp3", mp3Audio + ape, true },
        };
        for (const auto& file : damaged) {
            const QString path = write(QLatin1String(file.name), file.bytes);
            QVERIFY(!path.isEmpty());
            TrackerTrackInfo info;
            QString reason;
            const bool read = TrackerTagReader::read(path, &info, &reason);
            if (file.read) {
                QVERIFY2(read, file.name);
                QCOMPARE(info.durationSeconds, 1);
            }
            const Id3FrameEncodings encodings = Id3FrameEncodings::read(path);
            Q_UNUSED(encodings)
        }
    }
};

QTEST_GUILESS_MAIN(TestTagFloods)
#include "tst_tagfloods.moc"
