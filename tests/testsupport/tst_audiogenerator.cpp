#include "audiogenerator.h"
#include "testenvironment.h"

#include <QElapsedTimer>

#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/mpegfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

class TestAudioGenerator : public QObject
{
    Q_OBJECT

private slots:
    void privateHome()
    {
        QVERIFY(QDir::homePath().startsWith(QDir::tempPath()));
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::MusicLocation),
                 TestEnvironment::musicDir());
        QVERIFY(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                    .startsWith(TestEnvironment::home()));
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    }

    void tagsRoundTrip_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("ogg") << "ogg";
        QTest::newRow("mp3") << "mp3";
        QTest::newRow("flac") << "flac";
    }

    void tagsRoundTrip()
    {
        QFETCH(QString, suffix);
        AudioTags tags;
        tags.title = QString::fromUtf8("Ti\"tle <b> \\ ünï");
        tags.artist = QStringLiteral("Artist A");
        tags.album = QStringLiteral("Album B");
        tags.genre = QStringLiteral("Audiobook");
        tags.trackNumber = 7;
        tags.year = 1999;
        tags.cover = AudioGenerator::coverImage(Qt::red);
        const QString path = TestEnvironment::musicDir() + "/song." + suffix;
        QVERIFY(AudioGenerator::write(path, tags, 2000));

        TagLib::FileRef ref(QFile::encodeName(path).constData());
        QVERIFY(!ref.isNull());
        QCOMPARE(QString::fromStdWString(ref.tag()->title().toWString()), tags.title);
        QCOMPARE(QString::fromStdWString(ref.tag()->artist().toWString()), tags.artist);
        QCOMPARE(QString::fromStdWString(ref.tag()->album().toWString()), tags.album);
        QCOMPARE(QString::fromStdWString(ref.tag()->genre().toWString()), tags.genre);
        QCOMPARE(int(ref.tag()->track()), 7);
        QCOMPARE(int(ref.tag()->year()), 1999);
        QVERIFY(qAbs(ref.audioProperties()->lengthInMilliseconds() - 2000) < 200);

        const QByteArray name = QFile::encodeName(path);
        if (suffix == "mp3") {
            TagLib::MPEG::File f(name.constData());
            QVERIFY(!f.ID3v2Tag()->frameListMap()["APIC"].isEmpty());
        } else if (suffix == "ogg") {
            TagLib::Ogg::Vorbis::File f(name.constData());
            QCOMPARE(int(f.tag()->pictureList().size()), 1);
        } else {
            TagLib::FLAC::File f(name.constData());
            QCOMPARE(int(f.pictureList().size()), 1);
        }
    }

    void copiesAreFast()
    {
        AudioTags tags;
        tags.title = "warm";
        QVERIFY(AudioGenerator::write(TestEnvironment::musicDir() + "/warm.ogg", tags, 500));
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 20; ++i) {
            tags.title = QString("song %1").arg(i);
            QVERIFY(
                AudioGenerator::write(TestEnvironment::musicDir() + QString("/many/%1.ogg").arg(i),
                                      tags, 500));
        }
        // Generous bound: the point is that no file is encoded again.
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    }

    void unknownFormatFails()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unsupported format"));
        QVERIFY(!AudioGenerator::write(TestEnvironment::musicDir() + "/x.wma", AudioTags()));
    }
};

PARLOVANCE_TEST_MAIN(TestAudioGenerator)
#include "tst_audiogenerator.moc"
