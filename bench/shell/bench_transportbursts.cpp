// The program itself (build/src/parlovance) under bursts of transport calls on the bus, as
// another program may send them: on a private X display and a private session bus, with a
// library of 60 generated songs with covers in a private home, the Songs page's first song is
// tapped (the whole library is the queue, in order), and then a program calls the playback
// service 1,000 times a second for 30 s while another asks for the playback state every
// 100 ms, each time waiting for the answer.
//   Mix 0 (NextOnly): `next` alone.
//   Mix 1 (PlayAndTransport): `play` of three files from outside the library in turn, each
//     followed by one of `next`, `previous`, `pausePlayback` and `resumePlayback` in turn.
//   Mix 2 (LargeTexts): 20 calls a second (BENCH_LARGE_TEXT_RATE), `play`, `playTempFile` and
//     `playPlaylist` in turn, naming a text of one line of 100 MB and a text of 20 MB in turn:
//     each is refused, and the queue plays on.
// Reported: the longest wait for an answer during the burst, how long after the burst's end a
// question asked then is answered, the program's resident memory before, at its highest and
// 10 s after the answer, and whether what the last calls asked is what holds then (the song
// the nexts land on, playing; the last file asked, playing or paused as the call after it
// asked).
//
// Run under nothing else, e.g.
//   build-bench/bench/shell/bench_transportbursts
// BENCH_FLOOD_SECONDS changes the burst's length; BENCH_PROGRAM another build of the program
// (an older one, for a before-and-after); BENCH_DISPLAY an X display already running instead
// of a private Xvfb; BENCH_RECORD a file that gets a line for every question (when it was
// asked, how long its answer took, the answer, the program's resident memory then);
// BENCH_SHOTS a folder that gets a screenshot of the display 10 s after what the last calls
// asked holds. The benchmark's bus address is printed first, for a monitor to follow the calls.

#include "../../tests/e2e/playerdriver.h"
#include "audiogenerator.h"
#include "busflooder.h"
#include "fixturelibrary.h"
#include "processmemory.h"
#include "programbenchmarks.h"
#include "stateprober.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

const QString Service = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService");
const QString Interface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");
const int Songs = 60;
const int SongMs = 20000;
const int CallRate = 1000;
const int ProbeIntervalMs = 100;
// A question unanswered this long counts as never answered.
const int ProbeTimeoutMs = 300000;
const int TimeoutMs = 120000;
const int RestMs = 10000;
const char* const OutsideTitles[] = { "Outside A", "Outside B", "Outside C" };
const int OutsideFiles = 3;
const char* const Transport[] = { "next", "previous", "pausePlayback", "resumePlayback" };
// BENCH_LARGE_TEXT_RATE changes it.
const int LargeTextRate = 20;
const char* const PlayMethods[] = { "play", "playTempFile", "playPlaylist" };

using Bench = ProgramBenchmarks;

QString songTitle(int i)
{
    return QStringLiteral("Song %1").arg(i, 3, 10, QLatin1Char('0'));
}

QString outsidePath(int i)
{
    return TestEnvironment::home() + QStringLiteral("/Downloads/outside-%1.ogg").arg(i);
}

QString largeTextPath(int i)
{
    return TestEnvironment::home()
           + (i == 0 ? QStringLiteral("/Downloads/one line.txt")
                     : QStringLiteral("/Downloads/notes.txt"));
}

// Texts that no playlist reader takes: one line of 100 MB, and 20 MB of lines.
bool writeLargeTexts()
{
    const QByteArray pieces[] = { QByteArray(1024 * 1024, 'a'),
                                  QByteArray("A line of prose as a note holds it and another "
                                             "line after it\n")
                                      .repeated(16 * 1024) };
    const qint64 sizes[] = { 100 * 1000 * 1000, 20 * 1000 * 1000 };
    for (int i = 0; i < 2; ++i) {
        QFile file(largeTextPath(i));
        if (file.exists() && file.size() == sizes[i])
            continue;
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        for (qint64 written = 0; written < sizes[i]; written += pieces[i].size()) {
            const QByteArray part = pieces[i].left(
                int(qMin<qint64>(pieces[i].size(), sizes[i] - written)));
            if (file.write(part) != part.size())
                return false;
        }
    }
    return true;
}

// Ten songs an album, each album with a cover of its own.
bool writeLibrary()
{
    for (int i = 0; i < Songs; ++i) {
        const int album = i / 10;
        AudioTags tags;
        tags.title = songTitle(i);
        tags.artist = QStringLiteral("Artist %1").arg(album / 2);
        tags.albumArtist = tags.artist;
        tags.album = QStringLiteral("Album %1").arg(album);
        tags.genre = QStringLiteral("Pop");
        tags.trackNumber = i % 10 + 1;
        tags.cover = AudioGenerator::coverImage(QColor::fromHsv(album * 50 % 360, 200, 220), 300);
        const QString path = QStringLiteral("%1/%2/%3.ogg")
                                 .arg(tags.artist, tags.album, tags.title);
        if (FixtureLibrary::addSong(path, tags, SongMs).isEmpty())
            return false;
    }
    QDir().mkpath(TestEnvironment::home() + QStringLiteral("/Downloads"));
    for (int i = 0; i < OutsideFiles; ++i) {
        AudioTags tags;
        tags.title = QLatin1String(OutsideTitles[i]);
        tags.artist = QStringLiteral("Nobody");
        if (!QFile::exists(outsidePath(i)) && !AudioGenerator::write(outsidePath(i), tags, SongMs))
            return false;
    }
    return true;
}

// The calls of a mix, the i-th of them.
QDBusMessage mixCall(int mix, qint64 i)
{
    if (mix == 2) {
        QDBusMessage m = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                        QLatin1String(PlayMethods[i % 3]));
        m.setArguments({ QStringList { largeTextPath(int(i % 2)) } });
        return m;
    }
    if (mix == 0 || i % 2 == 1) {
        const char* method = mix == 0 ? "next" : Transport[(i / 2) % 4];
        return QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                              QLatin1String(method));
    }
    QDBusMessage m = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                    QStringLiteral("play"));
    m.setArguments({ QStringList { outsidePath(int((i / 2) % OutsideFiles)) } });
    return m;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs = TimeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

// Started, the library indexed, and its first song playing with the whole library queued.
bool startPlaying(PlayerDriver& player)
{
    if (!player.start())
        return false;
    // The first start indexes the library; a later one finds it indexed.
    static bool indexedBefore = false;
    if (!Bench::waitForIndexing(player, indexedBefore ? 5000 : TimeoutMs))
        return false;
    indexedBefore = true;
    return Bench::tapText(player, QStringLiteral("Songs"), TimeoutMs)
           && Bench::tapText(player, songTitle(0), TimeoutMs) && waitFor([&] {
                  return player.playbackState() == 1 && player.media().value(1) == songTitle(0);
              });
}

void TransportBursts(benchmark::State& state)
{
    const int mix = int(state.range(0));
    const int seconds = Bench::setting("BENCH_FLOOD_SECONDS", 30, 1);
    static const bool written = writeLibrary();
    if (!written || (mix == 2 && !writeLargeTexts())) {
        state.SkipWithError("the library could not be written");
        return;
    }
    QFile recordFile(qEnvironmentVariable("BENCH_RECORD"));
    QTextStream recordStream(&recordFile);
    QTextStream* record = nullptr;
    if (!recordFile.fileName().isEmpty() && recordFile.open(QIODevice::Append | QIODevice::Text))
        record = &recordStream;
    for (auto _ : state) {
        PlayerDriver player(Bench::programPath());
        if (!startPlaying(player)) {
            state.SkipWithError("the library's songs do not play");
            return;
        }
        QTest::qWait(2000);
        const qint64 pid = player.processId();
        const double before = residentKiB(pid);
        if (record)
            *record << "mix " << mix << " (" << Bench::programPath() << "), resident before "
                    << int(before / 1024) << " MiB\n";
        BusFlooder caller([mix](qint64 i) { return mixCall(mix, i); },
                          mix == 2 ? Bench::setting("BENCH_LARGE_TEXT_RATE", LargeTextRate, 1)
                                   : CallRate,
                          seconds);
        double highestKiB = 0;
        StateProber prober(caller, ProbeIntervalMs, ProbeTimeoutMs,
                           [&](const StateProber::Answer& a) {
                               const double rss = residentKiB(pid);
                               highestKiB = qMax(highestKiB, rss);
                               if (!record)
                                   return;
                               *record << "question at " << a.askedAtMs << " ms (calls sent "
                                       << a.callsSent
                                       << (a.afterTheFlood ? ", after the burst" : "") << "): "
                                       << (a.answered ? QStringLiteral("answered %1").arg(a.state)
                                                      : QStringLiteral("unanswered"))
                                       << " after " << a.waitedMs << " ms, resident "
                                       << int(rss / 1024) << " MiB\n";
                           });
        caller.clock.start();
        caller.start();
        prober.start();
        while (!prober.isFinished() || !caller.isFinished())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (record)
            record->flush();

        // What the last calls asked.
        const qint64 last = caller.sent - 1;
        QString title;
        int playback = 1;
        if (mix == 0) {
            title = songTitle(int((last + 1) % Songs));
        } else if (mix == 2) {
            // Every call refused: the library's queue plays on, wherever it has got to.
            title = QStringLiteral("the library's queue");
        } else {
            const qint64 play = last - last % 2;
            title = QLatin1String(OutsideTitles[(play / 2) % OutsideFiles]);
            if (last % 2 == 1 && QLatin1String(Transport[(last / 2) % 4]) == "pausePlayback")
                playback = 2;
        }
        const bool holds = waitFor(
            [&] {
                player.call(QStringLiteral("currentMedia"));
                if (mix == 2)
                    return player.playbackState() == 1
                           && player.media().value(0) == QLatin1String("0");
                return player.playbackState() == playback && player.media().value(1) == title;
            },
            30000);
        QTest::qWait(RestMs);
        const double after = residentKiB(pid);
        const QString shots = qEnvironmentVariable("BENCH_SHOTS");
        if (!shots.isEmpty())
            player.screenshot().save(QStringLiteral("%1/after-mix-%2.png").arg(shots).arg(mix));
        state.counters["answer_longest_during_ms"] = prober.longestDuringMs;
        state.counters["answer_after_end_ms"] = prober.answerAfterEndMs;
        state.counters["unanswered"] = prober.unanswered;
        state.counters["calls"] = double(caller.sent);
        state.counters["rss_before_MiB"] = before / 1024;
        state.counters["rss_highest_MiB"] = qMax(highestKiB, after) / 1024;
        state.counters["rss_after_MiB"] = after / 1024;
        state.counters["last_request_holds"] = holds;
        if (record)
            *record << "mix " << mix << ": " << caller.sent << " calls; afterwards "
                    << (holds ? "what the last calls asked holds" : "NOT what the last calls asked")
                    << " (" << title << ", state " << player.playbackState() << "); resident "
                    << int(after / 1024) << " MiB " << RestMs / 1000 << " s later\n";
        player.stop();
        QDBusConnection::disconnectFromBus(QStringLiteral("flooder"));
        QDBusConnection::disconnectFromBus(QStringLiteral("prober"));
    }
}
BENCHMARK(TransportBursts)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return ProgramBenchmarks::run(argc, argv);
}
