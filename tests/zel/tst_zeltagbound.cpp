// Files whose Vorbis comment is a flood of tiny fields (16 MiB, 1.39 million fields), of every
// kind whose comment GStreamer reads whole (Ogg Vorbis, Opus, Speex and FLAC, native FLAC, the
// second link of a chained Ogg file, a comment over 60,000 pages), played through the real
// controller: each plays to its end in bounded memory, its title and artist shown. Comments at
// the bounds are left as they are; one field more is made anew, keeping what the sheet shows;
// damaged floods (cut short, lengths that lie, bytes flipped) neither crash nor hang.

#include "audiogenerator.h"
#include "kindfloods.h"
#include "mafwerror.h"
#include "processmemory.h"
#include "testenvironment.h"
#include "zelcommenttrim.h"
#include "zelmetadatahandler.h"
#include "zelplaycontrols.h"
#include "zeltagtrim.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QtTest>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace {

const int Timeout = 20000;
const int SongMs = 3000;
const int Flood = 1390000;
// What playing a flood may add to the process's peak. Read whole, these took 500 to 850 MiB.
const double MostPeakGrowthMiB = 64;

class StreamHandler : public ZelMetadataHandler
{
    Q_OBJECT

public:
    QMap<QString, QList<QVariant>> tags;

    QString tag(const char* key) const { return tags.value(QLatin1String(key)).value(0).toString(); }

public slots:
    void setDataFromIndex(int, MafwContent) override { tags.clear(); }
    void onMetadataChange(QString key, QList<QVariant> values) override { tags[key] = values; }
};

// An Ogg file's pages under another serial number, as the next link of a chained file.
QByteArray asOtherLink(const QByteArray& ogg)
{
    QByteArray out;
    for (QByteArray page : oggPages(ogg)) {
        page[14] = char(page.at(14) ^ 0x5a);
        page.replace(22, 4, QByteArray(4, '\0'));
        page.replace(22, 4, littleEndian32(oggChecksum(page)));
        out += page;
    }
    return out;
}

// The fields of a Vorbis comment; empty when it does not read whole.
QList<QByteArray> fieldsOf(const QByteArray& comment)
{
    QList<QByteArray> fields;
    auto number = [&](int at) {
        const auto* b = reinterpret_cast<const uchar*>(comment.constData() + at);
        return qint64(b[0] | b[1] << 8 | b[2] << 16 | quint32(b[3]) << 24);
    };
    if (comment.size() < 8)
        return fields;
    qint64 at = 4 + number(0);
    const qint64 count = at + 4 <= comment.size() ? number(int(at)) : -1;
    for (at += 4; count >= 0 && fields.size() < count && at + 4 <= comment.size();) {
        const qint64 length = number(int(at));
        fields.append(comment.mid(int(at + 4), int(length)));
        at += 4 + length;
    }
    return fields.size() == count && at == comment.size() ? fields : QList<QByteArray>();
}

} // namespace

class TestZelTagBound : public QObject
{
    Q_OBJECT

    QString dir;
    QHash<QString, QByteArray> encoded;
    ZelPlayControls* controls = nullptr;
    StreamHandler* streams = nullptr;

    QString write(const QString& name, const QByteArray& bytes)
    {
        return TestEnvironment::writeFile(dir + QLatin1Char('/') + name, bytes);
    }

    // A file of the kind whose comment holds `count` tiny fields between its title and artist.
    QByteArray flood(const QString& kind, int count, QString* name)
    {
        if (kind == QLatin1String("chained")) {
            *name = QStringLiteral("chained.ogg");
            QString second;
            return oggVorbisWithComment(encoded.value("ogg"),
                                        vorbisComment({ "TITLE=Flood Title",
                                                        "ARTIST=Flood Artist" }))
                   + asOtherLink(kindFlood(QStringLiteral("Ogg Vorbis"), count, encoded, &second));
        }
        if (kind == QLatin1String("pages")) {
            // A text of 16 MiB on pages of a segment each.
            *name = QStringLiteral("pages.ogg");
            int after = 0;
            QList<QByteArray> packets = oggHeaderPackets(oggPages(encoded.value("ogg")), 2, &after);
            packets.first() = "\x03vorbis"
                              + vorbisComment({ "TITLE=Flood Title", "ARTIST=Flood Artist",
                                                "COMMENT=" + QByteArray(16 << 20, 'a') })
                              + '\x01';
            return oggWithHeaders(encoded.value("ogg"), 2, packets, 1);
        }
        if (kind == QLatin1String("ID3v2 and FLAC")) {
            *name = QStringLiteral("id3.flac");
            return id3v2(3, { { "TIT2", 0, "Flood Title" } }) + kindFlood("FLAC", count, encoded, name);
        }
        return kindFlood(kind, count, encoded, name);
    }

    static ZelTagTrim::Result examine(const QString& path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return ZelTagTrim::Result();
        const ZelTagTrim::Result result = ZelTagTrim::examine(fd);
        ::close(fd);
        return result;
    }

private slots:
    void initTestCase()
    {
        dir = TestEnvironment::musicDir();
        QDir().mkpath(dir);
        for (const char* suffix : { "ogg", "flac", "opus", "spx", "oga" }) {
            QFile audio(AudioGenerator::untaggedTemplate(QLatin1String(suffix), SongMs));
            QVERIFY2(audio.open(QIODevice::ReadOnly), suffix);
            encoded.insert(QLatin1String(suffix), audio.readAll());
        }
        controls = ZelPlayControls::instance();
        controls->init();
        streams = new StreamHandler;
        controls->setMetadataHandler(streams, ZelPlayControls::StreamContent);
    }

    void init() { controls->stop(); }

    void floodsPlayBounded_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : { "Ogg Vorbis", "Ogg Opus", "Ogg Speex", "Ogg FLAC", "FLAC",
                                  "ID3v2 and FLAC", "chained", "pages" })
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    void floodsPlayBounded()
    {
        QFETCH(QString, kind);
        QString name;
        const QString path = write(name, flood(kind, Flood, &name));
        QVERIFY(!path.isEmpty());
        malloc_trim(0);
        resetPeakResident();
        const double before = peakResidentMiB();
        QSignalSpy errors(controls, SIGNAL(error(MafwError)));
        controls->play(QUrl::fromLocalFile(path));
        QTRY_COMPARE_WITH_TIMEOUT(controls->state(), MafwRenderer::Playing, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(streams->tag("title"), QStringLiteral("Flood Title"), Timeout);
        const double growth = peakResidentMiB() - before;
        qInfo("peak growth %.1f MiB", growth);
        QVERIFY2(growth < MostPeakGrowthMiB, qPrintable(QString::number(growth)));
        QCOMPARE(streams->tag("artist"), QStringLiteral("Flood Artist"));
        // A chained file's two links play one after the other.
        QCOMPARE(streams->tag("duration"),
                 QString::number(SongMs / 1000 * (kind == QLatin1String("chained") ? 2 : 1)));
        // The stream reads whole to its end.
        QTRY_COMPARE_WITH_TIMEOUT(controls->state(), MafwRenderer::Stopped, Timeout);
        QVERIFY(errors.isEmpty());
        QFile::remove(path);
    }

    void commentsAtTheBoundAreLeftAsTheyAre_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : { "Ogg Vorbis", "Ogg Opus", "Ogg Speex", "Ogg FLAC", "FLAC" })
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    void commentsAtTheBoundAreLeftAsTheyAre()
    {
        QFETCH(QString, kind);
        const int most = ZelCommentTrim::MostFields;
        QString name;
        // floodComment(n) holds n fields between a title and an artist.
        const QString atBound = write(name, flood(kind, most - 2, &name));
        QVERIFY(examine(atBound).stretches.isEmpty());
        const QString over = write(name, flood(kind, most - 1, &name));
        const ZelTagTrim::Result result = examine(over);
        QCOMPARE(result.stretches.size(), 1);
        QVERIFY2(result.bounded.join(' ').contains(QString::number(most + 1)),
                 qPrintable(result.bounded.join(' ')));
        // A comment made anew stands in its place and is no longer than what it stands for.
        QVERIFY(result.stretches.first().bytes.size() <= result.stretches.first().length);
    }

    void madeCommentsKeepWhatIsShown()
    {
        const int most = ZelCommentTrim::MostFields;
        // Of a flood: the first fields, then the first of each shown one, in order.
        ZelCommentTrim::Result made = ZelCommentTrim::trim(floodComment(2000).mid(0));
        QVERIFY(made.over);
        QCOMPARE(made.fields, qint64(2002));
        QList<QByteArray> fields = fieldsOf(made.comment);
        QCOMPARE(fields.size(), most + 1);
        QCOMPARE(fields.first(), QByteArray("TITLE=Flood Title"));
        QCOMPARE(fields.last(), QByteArray("ARTIST=Flood Artist"));
        // A text cut where a character ends; a picture kept whole; a later title passed over.
        const QByteArray text = "COMMENT=" + QByteArray(ZelCommentTrim::MostTextBytes - 9, 'a')
                                + "\xc3\xa9\xc3\xa9";
        const QByteArray picture = "METADATA_BLOCK_PICTURE="
                                   + QByteArray(ZelCommentTrim::MostTextBytes * 2, 'B');
        made = ZelCommentTrim::trim(vorbisComment({ "title=First", text, picture, "TITLE=Later" }));
        QVERIFY(made.over);
        fields = fieldsOf(made.comment);
        QCOMPARE(fields.size(), 4);
        QCOMPARE(fields.at(1), text.left(int(ZelCommentTrim::MostTextBytes) - 1));
        QCOMPARE(fields.at(2), picture);
        // Under the bound: nothing made.
        made = ZelCommentTrim::trim(vorbisComment({ "TITLE=a", picture }));
        QVERIFY(!made.over);
        QVERIFY(made.comment.isEmpty());
    }

    void damagedFloodsNeitherCrashNorHang()
    {
        QRandomGenerator random(20240611);
        // The comment alone: cut short and lying at every few bytes.
        const QByteArray comment = floodComment(1100);
        for (int cut = 0; cut < comment.size(); cut += 97) {
            QVERIFY(!ZelCommentTrim::trim(comment.left(cut)).over || cut > 1024 * 8);
            QByteArray lying = comment;
            lying.replace(cut % (comment.size() - 4), 4, QByteArray("\xf0\xff\xff\xff", 4));
            ZelCommentTrim::trim(lying);
        }
        // Whole files of each kind, then played: each ends in a state within the time.
        for (const char* kind : { "Ogg Vorbis", "Ogg Opus", "Ogg Speex", "Ogg FLAC", "FLAC",
                                  "chained" }) {
            QString name;
            const QByteArray whole = flood(QLatin1String(kind), 1100, &name);
            QList<QByteArray> damaged;
            for (int i = 0; i < 40; ++i) {
                const int at = int(random.bounded(qMin(whole.size(), 40000)));
                QByteArray bytes = whole;
                if (i % 4 == 0)
                    bytes.truncate(at);
                else if (i % 4 == 1)
                    bytes.replace(at, 4, QByteArray("\xf0\xff\xff\xff", 4));
                else if (i % 4 == 2)
                    bytes.replace(at, 4, QByteArray(4, '\0'));
                else
                    bytes[at] = char(bytes.at(at) ^ (1 << random.bounded(8)));
                damaged.append(bytes);
            }
            for (int i = 0; i < damaged.size(); ++i) {
                const QString path = write(QStringLiteral("damaged-") + name, damaged.at(i));
                QVERIFY(!path.isEmpty());
                const ZelTagTrim::Result result = examine(path);
                qint64 end = 0;
                for (const ZelTagTrim::Stretch& s : result.stretches) {
                    QVERIFY2(s.offset >= end && s.length > 0 && s.offset + s.length <= damaged.at(i).size(), kind);
                    end = s.offset + s.length;
                }
                if (i % 8 != 0)
                    continue;
                QSignalSpy errors(controls, SIGNAL(error(MafwError)));
                QSignalSpy played(controls, SIGNAL(playbackCompleted()));
                controls->play(QUrl::fromLocalFile(path));
                // A file cut short may end before a look finds it playing.
                QTRY_VERIFY_WITH_TIMEOUT(controls->state() == MafwRenderer::Playing
                                             || !errors.isEmpty() || !played.isEmpty(),
                                         Timeout);
                controls->stop();
            }
        }
    }

    void cleanupTestCase() { controls->stop(); }
};

QTEST_MAIN(TestZelTagBound)
#include "tst_zeltagbound.moc"
