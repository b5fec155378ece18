// Tags of a million tiny frames, as a download or a memory card may bring them, read by the
// indexer's tag reader and by the stream handler's ID3v2 read: the texts that can be read are
// read, the file's audio is still found, and what the readers build stays small. Ordinary tags
// read as they always did.

#include "audiogenerator.h"
#include "id3tagbytes.h"
#include "playback/id3frameencodings.h"
#include "processmemory.h"
#include "testenvironment.h"
#include "trackertagreader.h"

#include <QFile>
#include <QtTest>

namespace {

// 1.39 million frames of 12 bytes: a tag of 15.9 MiB.
const int ManyFrames = 1390000;
// What a reader may add to the process's peak while it reads such a tag. Reading it whole
// took some 800 MB.
const double MostPeakGrowthMiB = 200;

} // namespace

class TestManyFrames : public QObject
{
    Q_OBJECT

    QString dir;

    // An MP3 file of one second of audio behind the given tag.
    QString writeMp3(const QString& name, const QByteArray& tag)
    {
        QFile audio(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 1000));
        if (!audio.open(QIODevice::ReadOnly))
            return QString();
        const QByteArray frames = withoutId3v2(audio.readAll());
        QFile file(dir + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(tag + frames) != tag.size() + frames.size())
            return QString();
        return file.fileName();
    }

private slots:
    void initTestCase() { dir = TestEnvironment::musicDir(); }

    void aTagOfManyFramesIsReadByWhatCanBeRead()
    {
        // The title comes first, the artist and the album after the flood of frames.
        const QString path = writeMp3(QStringLiteral("many.mp3"),
                                      id3v2ManyFrames({ { "TIT2", 0, "Flood Title" } }, ManyFrames,
                                                      { utf16Frame("TPE1",
                                                                   QStringLiteral("Flood Artist")),
                                                        { "TALB", 3, "Flood Album" } }));
        QVERIFY(!path.isEmpty());
        QVERIFY(QFileInfo(path).size() > 15 * 1024 * 1024);

        resetPeakResident();
        double before = peakResidentMiB();
        const Id3FrameEncodings encodings = Id3FrameEncodings::read(path);
        const double encodingsGrowth = peakResidentMiB() - before;
        QCOMPARE(encodings.title, 0);
        QCOMPARE(encodings.artist, 1);
        QCOMPARE(encodings.album, 3);

        resetPeakResident();
        before = peakResidentMiB();
        TrackerTrackInfo info;
        QString reason;
        QVERIFY2(TrackerTagReader::read(path, &info, &reason), qPrintable(reason));
        const double indexGrowth = peakResidentMiB() - before;
        QCOMPARE(info.title, QStringLiteral("Flood Title"));
        QCOMPARE(info.artist, QStringLiteral("Flood Artist"));
        QCOMPARE(info.album, QStringLiteral("Flood Album"));
        QCOMPARE(info.durationSeconds, 1);
        QVERIFY(info.sampleRate > 0);

        qInfo("peak growth: stream handler's read %.0f MiB, tag reader %.0f MiB", encodingsGrowth,
              indexGrowth);
        QVERIFY2(encodingsGrowth < MostPeakGrowthMiB, qPrintable(QString::number(encodingsGrowth)));
        QVERIFY2(indexGrowth < MostPeakGrowthMiB, qPrintable(QString::number(indexGrowth)));
    }

    void ordinaryTagsReadAsTheyDid()
    {
        // Just at the bound, and just past it: every text is found either way.
        for (const int count : { 1024 - 3, 1024 + 1 }) {
            const QString path = writeMp3(QStringLiteral("bound-%1.mp3").arg(count),
                                          id3v2ManyFrames({ { "TIT2", 0, "Bound Title" } }, count,
                                                          { { "TPE1", 0, "Bound Artist" },
                                                            { "TCON", 0, "Jazz" } }));
            QVERIFY(!path.isEmpty());
            TrackerTrackInfo info;
            QString reason;
            QVERIFY2(TrackerTagReader::read(path, &info, &reason), qPrintable(reason));
            QCOMPARE(info.title, QStringLiteral("Bound Title"));
            QCOMPARE(info.artist, QStringLiteral("Bound Artist"));
            QCOMPARE(info.genre, QStringLiteral("Jazz"));
            const Id3FrameEncodings encodings = Id3FrameEncodings::read(path);
            QCOMPARE(encodings.title, 0);
            QCOMPARE(encodings.artist, 0);
            QCOMPARE(encodings.album, int(Id3FrameEncodings::Missing));
        }

        // A tagged file as taggers write it.
        AudioTags tags;
        tags.title = QStringLiteral("Plain Title");
        tags.artist = QStringLiteral("Plain Artist");
        tags.album = QStringLiteral("Plain Album");
        tags.genre = QStringLiteral("Rock");
        tags.trackNumber = 7;
        tags.year = 1999;
        tags.cover = AudioGenerator::coverImage(Qt::red);
        const QString plain = dir + QStringLiteral("/plain.mp3");
        QVERIFY(AudioGenerator::write(plain, tags, 2000));
        TrackerTrackInfo info;
        QString reason;
        QVERIFY2(TrackerTagReader::read(plain, &info, &reason), qPrintable(reason));
        QCOMPARE(info.title, tags.title);
        QCOMPARE(info.artist, tags.artist);
        QCOMPARE(info.album, tags.album);
        QCOMPARE(info.genre, tags.genre);
        QCOMPARE(info.trackNumber, 7);
        QCOMPARE(info.year, 1999);
        QCOMPARE(info.durationSeconds, 2);
        QVERIFY(!info.cover.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestManyFrames)
#include "tst_manyframes.moc"
