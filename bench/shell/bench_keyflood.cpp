// The program itself (build/src/parlovance) under a flood of media keys from the keyboard: on a
// private X display and a private session bus, with a library of 30 generated songs with covers
// in a private home, the Songs page's first song is tapped (the 30 songs are the queue), and
// then a program types on the display's keyboard through XTest, 10,000 key events a second for
// 30 s in each of four phases, one after the other, each begun with the list playing (resumed
// over the bus when the phase before left it paused or stopped), while another program asks
// for the playback state every 100 ms, each time waiting for the answer:
//   1. the play/pause key alone, pressed and released;
//   2. the next key alone;
//   3. the seven media keys (play, next, previous, stop, pause, fast forward, rewind), each
//      pressed and released within Shift;
//   4. play, fast forward and next, pressed and released in turn.
// Reported for each phase: the longest wait for an answer during it, how long after its end a
// question asked then is answered, and whether what its last keys ask holds: a second after
// the phase and three seconds later the program is in the same state, on the same song when
// the next key came last (phases 2 and 4), and in the state those keys leave: playing or
// paused after the toggles of phase 1 (the window system takes some of them for a held key's
// repeats, so which of the two is not known), playing after phases 2 and 4, paused or stopped
// after phase 3 (the pause key is the last that acts). At the end: whether the program still
// runs, and its resident memory before, at its highest and at the end.
//
// Run under nothing else, e.g.
//   build-bench/bench/shell/bench_keyflood
// BENCH_FLOOD_SECONDS changes each phase's length, BENCH_KEY_RATE the events a second;
// BENCH_PROGRAM another build of the program (an older one, or the sanitizer build);
// BENCH_DISPLAY an X display already running instead of a private Xvfb; BENCH_RECORD a file
// that gets a line for every question and a summary of each phase; BENCH_SHOTS a folder that
// gets a screenshot of the display after each phase.

#include "../../tests/e2e/playerdriver.h"
#include "audiogenerator.h"
#include "fixturelibrary.h"
#include "keyflooder.h"
#include "processmemory.h"
#include "programbenchmarks.h"
#include "stateprober.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <benchmark/benchmark.h>

namespace {

const int Songs = 30;
const int SongMs = 20000;
const int ProbeIntervalMs = 100;
// A question unanswered this long counts as never answered.
const int ProbeTimeoutMs = 300000;
const int TimeoutMs = 120000;

using Bench = ProgramBenchmarks;
using Keys = QVector<KeyFlooder::KeyEvent>;

QString songTitle(int i)
{
    return QStringLiteral("Song %1").arg(i, 3, 10, QLatin1Char('0'));
}

// Ten songs an album, each album with a cover of its own.
bool writeLibrary()
{
    for (int i = 0; i < Songs; ++i) {
        const int album = i / 10;
        AudioTags tags;
        tags.title = songTitle(i);
        tags.artist = QStringLiteral("Artist %1").arg(album);
        tags.albumArtist = tags.artist;
        tags.album = QStringLiteral("Album %1").arg(album);
        tags.trackNumber = i % 10 + 1;
        tags.cover = AudioGenerator::coverImage(QColor::fromHsv(album * 80 % 360, 200, 220), 300);
        static const char* const suffixes[] = { "ogg", "mp3", "flac" };
        const QString path = QStringLiteral("%1/%2/%3.%4")
                                 .arg(tags.artist, tags.album, tags.title,
                                      QLatin1String(suffixes[i % 3]));
        if (FixtureLibrary::addSong(path, tags, SongMs).isEmpty())
            return false;
    }
    return true;
}

Keys tapped(std::initializer_list<const char*> keysyms, const char* within = nullptr)
{
    Keys keys;
    for (const char* keysym : keysyms) {
        if (within)
            keys.append({ within, true });
        keys.append({ keysym, true });
        keys.append({ keysym, false });
        if (within)
            keys.append({ within, false });
    }
    return keys;
}

struct Phase
{
    const char* name;
    Keys keys;
    QList<int> states; // what the last keys leave: 0 stopped, 1 playing, 2 paused
    bool sameSong;     // the song landed on holds
};

QList<Phase> phases()
{
    return {
        { "play/pause", tapped({ "XF86AudioPlay" }), { 1, 2 }, false },
        { "next", tapped({ "XF86AudioNext" }), { 1 }, true },
        { "seven keys in Shift",
          tapped({ "XF86AudioPlay", "XF86AudioNext", "XF86AudioPrev", "XF86AudioStop",
                   "XF86AudioPause", "XF86AudioForward", "XF86AudioRewind" },
                 "Shift_L"),
          { 0, 2 },
          false },
        { "play, forward, next",
          tapped({ "XF86AudioPlay", "XF86AudioForward", "XF86AudioNext" }),
          { 1 },
          true },
    };
}

bool waitFor(const std::function<bool()>& done, int timeoutMs = TimeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

// Started, the library indexed, and its first song playing with the whole library queued.
bool startPlaying(PlayerDriver& player)
{
    return player.start() && Bench::waitForIndexing(player, TimeoutMs)
           && Bench::tapText(player, QStringLiteral("Songs"), TimeoutMs)
           && Bench::tapText(player, songTitle(0), TimeoutMs) && waitFor([&] {
                  return player.playbackState() == 1 && player.media().value(1) == songTitle(0);
              });
}

void KeyFlood(benchmark::State& state)
{
    const int seconds = Bench::setting("BENCH_FLOOD_SECONDS", 30, 1);
    const int rate = Bench::setting("BENCH_KEY_RATE", 10000, 1);
    static const bool written = writeLibrary();
    if (!written) {
        state.SkipWithError("the library could not be written");
        return;
    }
    QFile recordFile(qEnvironmentVariable("BENCH_RECORD"));
    QTextStream recordStream(&recordFile);
    QTextStream* record = nullptr;
    if (!recordFile.fileName().isEmpty() && recordFile.open(QIODevice::Append | QIODevice::Text))
        record = &recordStream;
    const QString shots = qEnvironmentVariable("BENCH_SHOTS");
    for (auto _ : state) {
        PlayerDriver player(Bench::programPath());
        if (!startPlaying(player)) {
            state.SkipWithError("the library's songs do not play");
            return;
        }
        const qint64 pid = player.processId();
        const double before = residentKiB(pid);
        double highestKiB = before;
        double longestMs = 0;
        double afterEndMs = 0;
        int unanswered = 0;
        int held = 0;
        if (record)
            *record << "key flood (" << Bench::programPath() << "), " << rate
                    << " events a second for " << seconds << " s a phase, resident before "
                    << int(before / 1024) << " MiB\n";
        const QList<Phase> all = phases();
        for (int p = 0; p < all.size() && player.isRunning(); ++p) {
            const Phase& phase = all.at(p);
            if (player.playbackState() != 1)
                player.call(QStringLiteral("resumePlayback"));
            if (!waitFor([&] { return player.playbackState() == 1; })) {
                state.SkipWithError("the list does not play again after a phase");
                return;
            }
            KeyFlooder keys(phase.keys, rate, seconds);
            StateProber prober(keys, ProbeIntervalMs, ProbeTimeoutMs,
                               [&](const StateProber::Answer& a) {
                                   const double rss = residentKiB(pid);
                                   highestKiB = qMax(highestKiB, rss);
                                   if (!record)
                                       return;
                                   *record
                                       << "phase " << p + 1 << ", question at " << a.askedAtMs
                                       << " ms (events sent " << a.callsSent
                                       << (a.afterTheFlood ? ", after the phase" : "") << "): "
                                       << (a.answered ? QStringLiteral("answered %1").arg(a.state)
                                                      : QStringLiteral("unanswered"))
                                       << " after " << a.waitedMs << " ms, resident "
                                       << int(rss / 1024) << " MiB\n";
                               });
            keys.clock.start();
            keys.start();
            prober.start();
            while (!prober.isFinished() || !keys.isFinished())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (!keys.refusal().isEmpty()) {
                state.SkipWithError(keys.refusal().constData());
                return;
            }
            // What the last keys asked, a second after the phase and three seconds later.
            QTest::qWait(1000);
            const int first = player.playbackState();
            const QString firstSong = player.media().value(1);
            QTest::qWait(3000);
            const int second = player.playbackState();
            const QString secondSong = player.media().value(1);
            const bool holds = player.isRunning() && phase.states.contains(first) && second == first
                               && (!phase.sameSong || secondSong == firstSong);
            held += holds;
            longestMs = qMax(longestMs, prober.longestDuringMs);
            afterEndMs = qMax(afterEndMs, prober.answerAfterEndMs);
            unanswered += prober.unanswered;
            state.counters[QStringLiteral("phase%1_longest_ms").arg(p + 1).toStdString()]
                = prober.longestDuringMs;
            if (!shots.isEmpty())
                player.screenshot().save(
                    QStringLiteral("%1/after-phase-%2.png").arg(shots).arg(p + 1));
            if (record) {
                *record << "phase " << p + 1 << " (" << phase.name << "): " << keys.sent
                        << " key events; longest wait " << prober.longestDuringMs
                        << " ms, answer after the phase " << prober.answerAfterEndMs << " ms, "
                        << prober.unanswered << " unanswered; then state " << first << " ("
                        << firstSong << "), 3 s later " << second << " (" << secondSong << "): "
                        << (holds ? "what the last keys asked holds"
                                  : "NOT what the last keys asked")
                        << "\n";
                record->flush();
            }
            QDBusConnection::disconnectFromBus(QStringLiteral("prober"));
        }
        const bool running = player.isRunning();
        const double after = running ? residentKiB(pid) : 0;
        state.counters["answer_longest_during_ms"] = longestMs;
        state.counters["answer_after_end_ms"] = afterEndMs;
        state.counters["unanswered"] = unanswered;
        state.counters["phases_holding"] = held;
        state.counters["still_running"] = running;
        state.counters["rss_before_MiB"] = before / 1024;
        state.counters["rss_highest_MiB"] = qMax(highestKiB, after) / 1024;
        state.counters["rss_after_MiB"] = after / 1024;
        if (record) {
            *record << "after the four phases: "
                    << (running ? QStringLiteral("running, resident %1 MiB").arg(int(after / 1024))
                                : QStringLiteral("NOT running (exit status %1, code %2)")
                                      .arg(int(player.exitStatus()))
                                      .arg(player.exitCode()))
                    << "\n";
            record->flush();
        }
        if (running && !player.stop() && record)
            *record << "the program did not end cleanly on SIGTERM\n";
        if (record) {
            *record << "--- the program's log, its lines of GStreamer and the sanitizers:\n";
            const QStringList lines = player.log().split(QLatin1Char('\n'));
            for (const QString& line : lines) {
                if (line.contains(QLatin1String("GStreamer"))
                    || line.contains(QLatin1String("Trying to join task"))
                    || line.contains(QLatin1String("==ERROR"))
                    || line.contains(QLatin1String("runtime error"))
                    || line.contains(QLatin1String("SUMMARY")))
                    *record << line << "\n";
            }
            record->flush();
        }
    }
}
BENCHMARK(KeyFlood)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return ProgramBenchmarks::run(argc, argv);
}
