// Every kind of file the indexer hands TagLib, with a tag of some 16 MiB of tiny fields (1.39
// million ID3v2 frames, Vorbis comment fields or APE items, 670,000 MP4 items, 930,000 ASF
// descriptors), the kind's usual tag: each is read in bounded memory, its title and artist still
// found where its tag can be made anew in its place, or known by its name alone. The list of kinds
// is the reader's own, so a kind added there without a flood here fails. Then the other shapes of
// flood each kind takes (the ID3v2 tag where else TagLib finds one, chunks, INFO fields, atoms,
// values of one item, objects, Ogg FLAC blocks, header pages), tags as taggers write them at the
// bounds (left as they are), and every flood damaged (cut short, lengths that lie).

#include "audiogenerator.h"
#include "kindfloods.h"
#include "processmemory.h"
#include "safefile.h"
#include "testenvironment.h"
#include "trackertagkinds.h"
#include "trackertagreader.h"
#include "trackertagtrim.h"

#include <QFile>
#include <QHash>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QtTest>

#include <malloc.h>
#include <unistd.h>

namespace {

// What a reader may add to the process's peak while it reads a flood. Read whole, these took
// 0.3 to 4 GB.
const double MostPeakGrowthMiB = 100;
const int Flood = 1390000;
const int MostFields = TrackerTagTrim::MostFields;

} // namespace

class TestTagKinds : public QObject
{
    Q_OBJECT

    QString dir;
    QHash<QString, QByteArray> encoded;

    QString write(const QString& name, const QByteArray& bytes)
    {
        return TestEnvironment::writeFile(dir + QLatin1Char('/') + name, bytes);
    }

    // Reads the file with the indexer's tag reader; the growth of the peak in `growth`.
    static TrackerTrackInfo readMeasured(const QString& path, double* growth, bool* read)
    {
        // What making the file freed goes back first, so that the peak tells what reading adds.
        malloc_trim(0);
        resetPeakResident();
        const double before = peakResidentMiB();
        TrackerTrackInfo info;
        QString reason;
        *read = TrackerTagReader::read(path, &info, &reason);
        *growth = peakResidentMiB() - before;
        return info;
    }

    // The kind the reader takes the file for, and what it bounds of it.
    static TrackerTagKinds::Opened opened(const QString& path)
    {
        const QByteArray name = QFile::encodeName(path);
        QString reason;
        const int fd = SafeFile::openRegularDescriptor(name, &reason);
        TrackerTagKinds::Opened opened = TrackerTagKinds::open(fd, name, nullptr);
        opened.file.reset();
        opened.stream.reset();
        ::close(fd);
        return opened;
    }

private slots:
    void initTestCase()
    {
        dir = TestEnvironment::musicDir();
        for (const char* suffix : { "mp3", "ogg", "flac", "opus", "spx", "oga", "wv" }) {
            QFile audio(AudioGenerator::untaggedTemplate(QLatin1String(suffix), 1000));
            QVERIFY2(audio.open(QIODevice::ReadOnly), suffix);
            encoded.insert(QLatin1String(suffix), withoutId3v2(audio.readAll()));
        }
    }

    void everyKindIsReadBounded_data()
    {
        QTest::addColumn<QString>("kind");
        for (const QString& kind : TrackerTagKinds::names())
            QTest::newRow(qPrintable(kind)) << kind;
    }

    void everyKindIsReadBounded()
    {
        QFETCH(QString, kind);
        QString file;
        {
            QString name;
            // Some 16 MiB of fields: an MP4 item and an ASF descriptor are larger.
            const int count = kind == QLatin1String("MP4")   ? 670000
                              : kind == QLatin1String("ASF") ? 930000
                                                             : Flood;
            const QByteArray bytes = kindFlood(kind, count, encoded, &name);
            QVERIFY2(!bytes.isEmpty(), qPrintable("no flood of the kind " + kind
                                                  + ": every kind the reader takes needs one"));
            file = write(name, bytes);
        }
        QVERIFY(!file.isEmpty());
        double growth = 0;
        bool read = false;
        const TrackerTrackInfo info = readMeasured(file, &growth, &read);
        qInfo("%s: peak growth %.1f MiB", qPrintable(kind), growth);
        QVERIFY(read);
        QVERIFY2(growth < MostPeakGrowthMiB, qPrintable(QString::number(growth)));
        const TrackerTagKinds::Opened how = opened(file);
        QCOMPARE(how.kind, kind);
        QVERIFY2(!how.bounded.isEmpty(), qPrintable(kind));
        // Made anew in its place, the tag still gives its title and artist; the file is known
        // by its name only where it could not be.
        if (!how.unbounded) {
            QCOMPARE(info.title, QStringLiteral("Flood Title"));
            QCOMPARE(info.artist, QStringLiteral("Flood Artist"));
            QVERIFY(info.sampleRate > 0);
        } else {
            QVERIFY(info.title.isEmpty());
        }
        QFile::remove(file);
    }

    void otherShapesAreReadBounded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("shape");
        QTest::addColumn<bool>("byName");
        QTest::newRow("MPEG: an ID3v2 tag after junk, before the first frame")
            << "junk.mp3" << 0 << false;
        QTest::newRow("WAV: INFO of 1.39 million fields") << "info.wav" << 1 << false;
        QTest::newRow("WAV: 1.39 million chunks") << "chunks.wav" << 2 << false;
        QTest::newRow("AIFF: 1.39 million chunks") << "chunks.oga" << 3 << false;
        QTest::newRow("MP4: an item of a million values") << "values.m4a" << 4 << false;
        QTest::newRow("MP4: two million atoms") << "atoms.m4a" << 5 << true;
        QTest::newRow("MP4: atoms held in one another 500,000 deep") << "deep.m4a" << 6 << true;
        QTest::newRow("ASF: 700,000 objects") << "objects.wma" << 7 << false;
        QTest::newRow("ASF: a million descriptors in the header extension")
            << "metadata.wma" << 8 << false;
        QTest::newRow("Ogg FLAC: 200,000 blocks") << "blocks.oga" << 9 << false;
        QTest::newRow("Ogg Vorbis: headers over 60,000 pages") << "pages.ogg" << 10 << false;
    }

    void otherShapesAreReadBounded()
    {
        QFETCH(QString, name);
        QFETCH(int, shape);
        QFETCH(bool, byName);
        QString file;
        {
            QByteArray bytes;
            const QByteArray titled = id3v2(3, { { "TIT2", 0, "Flood Title" },
                                                 { "TPE1", 0, "Flood Artist" } });
            if (shape == 0) {
                bytes = QByteArray(100, 'x') + floodId3v2(Flood) + encoded.value("mp3");
            } else if (shape == 1) {
                QByteArray data = "INFO";
                data.reserve(Flood * 10 + 64);
                data += riffChunk("INAM", "Flood Title");
                for (int i = 0; i < Flood; ++i) {
                    data += chunkName(i);
                    data.append("\x02\0\0\0a\0", 6);
                }
                data += riffChunk("IART", "Flood Artist");
                // TagLib takes a WAV file's title and artist from its ID3v2 tag alone.
                bytes = wavFile(riffChunk("LIST", data) + riffChunk("id3 ", titled));
            } else if (shape == 2 || shape == 3) {
                QByteArray chunks;
                chunks.reserve(Flood * 12);
                for (int i = 0; i < Flood; ++i)
                    appendTinyChunk(chunks, "JUNK", shape == 3);
                bytes = shape == 2 ? wavFile(chunks + riffChunk("id3 ", titled))
                                   : aiffFile(chunks + riffChunk("ID3 ", titled, true));
            } else if (shape == 4) {
                QByteArray values = mp4Atom("data",
                                            QByteArray("\0\0\0\x01\0\0\0\0", 8) + "Flood Title");
                values.reserve(1000000 * 17 + 64);
                for (int i = 0; i < 1000000; ++i)
                    values.append("\0\0\0\x11"
                                  "data\0\0\0\x01\0\0\0\0a",
                                  17);
                bytes = mp4File(mp4Atom("\251nam", values) + mp4Item("\251ART", "Flood Artist"));
            } else if (shape == 5 || shape == 6) {
                const int count = shape == 5 ? 2000000 : 500000;
                QByteArray atoms;
                atoms.reserve(count * 8);
                for (int i = 0; i < count; ++i) {
                    atoms += bigEndianBytes(quint64(shape == 5 ? 8 : (count - i) * 8), 4);
                    atoms.append(shape == 5 ? "free" : "udta", 4);
                }
                bytes = mp4File(mp4Item("\251nam", "Flood Title"), atoms);
            } else if (shape == 7) {
                QByteArray objects;
                const int count = 700000;
                objects.reserve(count * 24 + 64);
                for (int i = 0; i < count; ++i)
                    objects += asfObject("unknown", QByteArray());
                objects += asfExtendedContent(asfDescriptor(QStringLiteral("WM/AlbumTitle"),
                                                            QStringLiteral("Flood Album")),
                                              1);
                bytes = asfFile(QStringLiteral("Flood Title"), QStringLiteral("Flood Artist"),
                                objects, count + 1);
            } else if (shape == 8) {
                QByteArray objects;
                const int count = 1000000;
                for (int first = 0; first <= count; first += 65535) {
                    const int n = qMin(65535, count + 1 - first);
                    QByteArray records;
                    records.reserve(n * 26);
                    char field[16];
                    for (int i = first; i < first + n; ++i) {
                        const QLatin1String name = i == count
                                                       ? QLatin1String("WM/AlbumTitle")
                                                       : QLatin1String(field,
                                                                       fieldNameInto(field, i));
                        const QLatin1String value = i == count ? QLatin1String("Flood Album")
                                                               : QLatin1String("a");
                        appendLittleEndian(records, 0, 4);
                        appendLittleEndian(records, quint64(name.size() + 1) * 2, 2);
                        appendLittleEndian(records, 0, 2);
                        appendLittleEndian(records, quint64(value.size() + 1) * 2, 4);
                        appendUtf16le(records, name);
                        appendUtf16le(records, value);
                    }
                    objects += asfObject("metadata", littleEndianBytes(quint64(n), 2) + records);
                }
                const QByteArray extension = asfObject(
                    "headerExtension",
                    QByteArray(18, '\0') + littleEndianBytes(quint64(objects.size()), 4) + objects);
                bytes = asfFile(QStringLiteral("Flood Title"), QStringLiteral("Flood Artist"),
                                extension, 1);
            } else if (shape == 9) {
                QList<QByteArray> blocks;
                for (int i = 0; i < 200000; ++i)
                    blocks.append(flacBlock(1, "abcd"));
                blocks.append(flacBlock(4, floodComment(0), true));
                bytes = oggWithHeaders(encoded.value("oga"), -1, blocks);
            } else {
                // A text of 16 MiB (cut) over pages of one segment each.
                int after = 0;
                QList<QByteArray> packets = oggHeaderPackets(oggPages(encoded.value("ogg")), 2,
                                                             &after);
                packets.first() = "\x03vorbis"
                                  + vorbisComment({ "TITLE=Flood Title", "ARTIST=Flood Artist",
                                                    "COMMENT=" + QByteArray(16 << 20, 'a') })
                                  + '\x01';
                bytes = oggWithHeaders(encoded.value("ogg"), 2, packets, 1);
            }
            file = write(name, bytes);
        }
        QVERIFY(!file.isEmpty());
        double growth = 0;
        bool read = false;
        const TrackerTrackInfo info = readMeasured(file, &growth, &read);
        qInfo("peak growth %.1f MiB", growth);
        QVERIFY(read);
        QVERIFY2(growth < MostPeakGrowthMiB, qPrintable(QString::number(growth)));
        const TrackerTagKinds::Opened how = opened(file);
        QVERIFY(!how.bounded.isEmpty());
        QCOMPARE(how.unbounded, byName);
        QCOMPARE(info.title, byName ? QString() : QStringLiteral("Flood Title"));
        if (!byName) {
            QCOMPARE(info.artist, QStringLiteral("Flood Artist"));
            if (name.endsWith(QLatin1String(".wma")))
                QCOMPARE(info.album, QStringLiteral("Flood Album"));
        }
        QFile::remove(file);
    }

    void tagsAtTheBoundsAreReadAsTheyAre_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("fields");
        for (const QString& kind : TrackerTagKinds::names()) {
            for (const int fields : { MostFields, MostFields + 1 })
                QTest::newRow(qPrintable(kind + " of " + QString::number(fields) + " fields"))
                    << kind << fields;
        }
    }

    void tagsAtTheBoundsAreReadAsTheyAre()
    {
        QFETCH(QString, kind);
        QFETCH(int, fields);
        QString name;
        // The title, the tiny fields and the artist (an ASF file's genre and album, its title and
        // artist standing apart).
        const QString file = write(name, kindFlood(kind, fields - 2, encoded, &name));
        QVERIFY(!file.isEmpty());
        TrackerTrackInfo info;
        QString reason;
        QVERIFY2(TrackerTagReader::read(file, &info, &reason), qPrintable(reason));
        QCOMPARE(info.title, QStringLiteral("Flood Title"));
        QCOMPARE(info.artist, QStringLiteral("Flood Artist"));
        QVERIFY(info.sampleRate > 0);
        const TrackerTagKinds::Opened how = opened(file);
        QCOMPARE(how.kind, kind);
        // At the bound, TagLib is handed the file as it is; past it, made anew.
        QCOMPARE(how.bounded.isEmpty(), fields <= MostFields);
        QVERIFY(!how.unbounded);
    }

    void damagedFloodsAreReadAsFarAsTheyGo_data()
    {
        QTest::addColumn<QString>("kind");
        for (const QString& kind : TrackerTagKinds::names())
            QTest::newRow(qPrintable(kind)) << kind;
    }

    void damagedFloodsAreReadAsFarAsTheyGo()
    {
        // Each cut short at places through its tag, and with four bytes that say 4 GiB at
        // others (a length, a count, a size): read without a crash, a hang or a flood of memory.
        QFETCH(QString, kind);
        // Each read says what it bounds.
        QLoggingCategory::setFilterRules(QStringLiteral("parlovance.indexer.info=false"));
        auto logs = qScopeGuard([] { QLoggingCategory::setFilterRules(QString()); });
        QString name;
        const QByteArray whole = kindFlood(kind, 20000, encoded, &name);
        QVERIFY(!whole.isEmpty());
        for (int k = 1; k < 16; ++k) {
            const int at = int(qint64(whole.size()) * k / 16);
            for (const bool cut : { true, false }) {
                QByteArray bytes = whole;
                if (cut)
                    bytes.truncate(at);
                else
                    bytes.replace(at & ~3, 4, QByteArray("\xff\xff\xff\xf0", 4));
                // The heads of the file say how long it is and what it holds.
                if (!cut && k == 1)
                    bytes.replace(4 + (k & 3), 4, QByteArray("\x7f\xff\xff\xf0", 4));
                const QString file = write(name, bytes);
                QVERIFY(!file.isEmpty());
                double growth = 0;
                bool read = false;
                readMeasured(file, &growth, &read);
                QVERIFY2(growth < MostPeakGrowthMiB,
                         qPrintable(
                             QStringLiteral("%1 at %2: %3 MiB").arg(cut).arg(at).arg(growth)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestTagKinds)
#include "tst_tagkinds.moc"
