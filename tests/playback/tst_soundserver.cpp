// Playback on a real sound server that makes music step aside for calls: a private PulseAudio
// daemon with a null sink and role corking, started by the test in its own home. The player's
// stream goes through the desktop's default sink, as the program's does; another program's
// stream of the "phone" role takes the sound while it plays.

#include "hubtestlibrary.h"
#include "mafwtrackermodel.h"
#include "playback/playstate.h"
#include "testenvironment.h"
#include "zelplaycontrols.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtEndian>

#include <cmath>

namespace {

const int Timeout = 20000;
const int ToolTimeoutMs = 10000;
const int PhoneSeconds = 3;

// One 16-bit mono PCM WAV file of a tone, the kind any sound tool plays.
bool writeTone(const QString& path, int seconds)
{
    const int rate = 44100;
    QByteArray samples;
    for (int i = 0; i < rate * seconds; ++i) {
        const qint16 value = qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
        samples.append(reinterpret_cast<const char*>(&value), 2);
    }
    auto le32 = [](quint32 v) {
        const quint32 le = qToLittleEndian(v);
        return QByteArray(reinterpret_cast<const char*>(&le), 4);
    };
    auto le16 = [](quint16 v) {
        const quint16 le = qToLittleEndian(v);
        return QByteArray(reinterpret_cast<const char*>(&le), 2);
    };
    QByteArray wav = "RIFF" + le32(36 + samples.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(1)
                     + le32(rate) + le32(rate * 2) + le16(2) + le16(16) + "data"
                     + le32(samples.size()) + samples;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(wav) == wav.size();
}

QString run(const QString& program, const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForStarted(ToolTimeoutMs)
                          && process.waitForFinished(ToolTimeoutMs);
    if (exitCode)
        *exitCode = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode()
                                                                             : -1;
    return QString::fromLocal8Bit(process.readAll());
}

// The sound server's streams of the given role, each as its block of `pactl list` text.
QStringList streamsOfRole(const QString& role)
{
    const QString listing = run(QStringLiteral("pactl"),
                                { QStringLiteral("list"), QStringLiteral("sink-inputs") });
    QStringList found;
    for (const QString& block : listing.split(QStringLiteral("Sink Input #"), Qt::SkipEmptyParts)) {
        if (block.contains(QStringLiteral("media.role = \"%1\"").arg(role)))
            found << block;
    }
    return found;
}

bool corked(const QString& block)
{
    return block.contains(QRegularExpression(QStringLiteral("\\n\\s*Corked: yes")));
}

} // namespace

class TestSoundServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void phoneStreamPausesTheSongUntilItEnds();
    void pausedSongStaysPausedThroughAPhoneStream();

private:
    void startPlaying();
    void playPhoneStream();

    QProcess server;
    QProcess phone;
    QString tone;
    QSharedPointer<MafwTrackerModel> album;
};

void TestSoundServer::initTestCase()
{
    // The desktop's own sink this time, found on the test's sound server.
    qunsetenv("PARLOVANCE_AUDIO_SINK");
    const QString runtime = TestEnvironment::home() + QStringLiteral("/pulse");
    QVERIFY(QDir().mkpath(runtime));
    const QString socket = runtime + QStringLiteral("/native");
    qputenv("PULSE_RUNTIME_PATH", runtime.toLocal8Bit());
    qputenv("PULSE_STATE_PATH", runtime.toLocal8Bit());
    qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());

    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.setStandardOutputFile(QProcess::nullDevice());
    server.start(
        QStringLiteral("pulseaudio"),
        { QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
          QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
          QStringLiteral("--realtime=no"), QStringLiteral("--high-priority=no"),
          QStringLiteral("--log-level=error"), QStringLiteral("--log-target=stderr"),
          QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=speaker"),
          QStringLiteral("-L"),
          QStringLiteral("module-native-protocol-unix socket=%1 auth-anonymous=1").arg(socket),
          QStringLiteral("-L"), QStringLiteral("module-role-cork") });
    QVERIFY2(server.waitForStarted(ToolTimeoutMs),
             "pulseaudio does not start: scripts/install-deps installs it");
    int answered = -1;
    for (int tries = 0; tries < 100 && answered != 0; ++tries) {
        QTest::qWait(100);
        QVERIFY2(server.state() == QProcess::Running, "pulseaudio ended at its start");
        run(QStringLiteral("pactl"), { QStringLiteral("info") }, &answered);
    }
    QVERIFY2(answered == 0, "the sound server does not answer (pactl is in pulseaudio-utils)");

    tone = TestEnvironment::home() + QStringLiteral("/ring.wav");
    QVERIFY(writeTone(tone, PhoneSeconds));
    QVERIFY(HubTestLibrary::build());
    album = HubTestLibrary::album(QStringLiteral("Seven"));
    QVERIFY(album);
}

void TestSoundServer::cleanupTestCase()
{
    PlayState::destroyInstance();
    if (phone.state() != QProcess::NotRunning) {
        phone.kill();
        phone.waitForFinished();
    }
    if (server.state() != QProcess::NotRunning) {
        server.terminate();
        if (!server.waitForFinished(ToolTimeoutMs)) {
            server.kill();
            server.waitForFinished();
        }
    }
}

void TestSoundServer::startPlaying()
{
    PlayState* hub = PlayState::instance();
    hub->appendModel(album, PlayState::ReplaceQueue, -1);
    QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), album->rowCount(), Timeout);
    hub->startPlayback(0, PlayState::PlayNow);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    // The song reaches the server as music, and plays there.
    QTRY_COMPARE_WITH_TIMEOUT(streamsOfRole(QStringLiteral("music")).size(), 1, Timeout);
    QVERIFY(!corked(streamsOfRole(QStringLiteral("music")).first()));
}

void TestSoundServer::playPhoneStream()
{
    phone.setProcessChannelMode(QProcess::ForwardedChannels);
    phone.start(QStringLiteral("paplay"), { QStringLiteral("--property=media.role=phone"), tone });
    QVERIFY2(phone.waitForStarted(ToolTimeoutMs), "paplay is missing (pulseaudio-utils)");
}

void TestSoundServer::phoneStreamPausesTheSongUntilItEnds()
{
    PlayState* hub = PlayState::instance();
    startPlaying();
    if (QTest::currentTestFailed())
        return;
    QSignalSpy calls(hub, SIGNAL(callStateChanged(bool)));
    QSignalSpy resources(ZelPlayControls::instance(), SIGNAL(audioResourcesAvailable(bool)));

    playPhoneStream();
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Paused, Timeout);
    QCOMPARE(resources.count(), 1);
    QCOMPARE(resources.first().at(0).toBool(), false);
    QVERIFY(!hub->isAudioAvailable());
    // The player's controls follow this: disabled as during a call.
    QCOMPARE(calls.count(), 1);
    QCOMPARE(calls.first().at(0).toBool(), true);
    QTRY_VERIFY_WITH_TIMEOUT(corked(streamsOfRole(QStringLiteral("music")).value(0)), Timeout);
    const uint heldAt = hub->position(PlayState::MusicMode);

    // The call ends: the sound is the player's again, and the song waits where it stopped
    // for the user to play it on.
    QVERIFY(phone.waitForFinished(Timeout));
    QCOMPARE(phone.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(resources.count(), 2, Timeout);
    QCOMPARE(resources.last().at(0).toBool(), true);
    QVERIFY(hub->isAudioAvailable());
    QCOMPARE(calls.count(), 2);
    QCOMPARE(calls.last().at(0).toBool(), false);
    QTest::qWait(1500);
    QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Paused);
    QCOMPARE(hub->position(PlayState::MusicMode), heldAt);

    hub->play(PlayState::MusicMode);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!corked(streamsOfRole(QStringLiteral("music")).value(0)), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::MusicMode) > heldAt, Timeout);
}

void TestSoundServer::pausedSongStaysPausedThroughAPhoneStream()
{
    PlayState* hub = PlayState::instance();
    QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);
    hub->pause();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Paused, Timeout);
    QSignalSpy resources(ZelPlayControls::instance(), SIGNAL(audioResourcesAvailable(bool)));

    // The sound is taken all the same, and given back after; the song stays where the user
    // left it.
    playPhoneStream();
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE_WITH_TIMEOUT(resources.count(), 1, Timeout);
    QCOMPARE(resources.first().at(0).toBool(), false);
    QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Paused);
    QVERIFY(phone.waitForFinished(Timeout));
    QTRY_COMPARE_WITH_TIMEOUT(resources.count(), 2, Timeout);
    QCOMPARE(resources.last().at(0).toBool(), true);
    QVERIFY(hub->isAudioAvailable());
    QTest::qWait(1000);
    QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Paused);
    hub->play(PlayState::MusicMode);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
}

PARLOVANCE_TEST_MAIN(TestSoundServer)

#include "tst_soundserver.moc"
