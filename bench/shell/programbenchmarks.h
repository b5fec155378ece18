#pragma once

#include <QString>

class PlayerDriver;

// What the benchmarks that run the program itself share. run() is their main: a session bus of
// the benchmark's own (its address printed on standard error first, for a monitor to follow the
// calls), a private X display of the phone's size unless BENCH_DISPLAY names one already
// running, the program's debug lines off (its warnings stay), then the benchmarks the command
// line selects.
class ProgramBenchmarks
{
public:
    static int run(int argc, char** argv);

    // A whole number set in the environment, or the fallback when it is not set or below least.
    static int setting(const char* name, int fallback, int least = 0);
    // The program: this build's, or another build named by BENCH_PROGRAM (for a before and
    // after).
    static QString programPath();
    // Taps the text once it shows; false when it did not show within the time.
    static bool tapText(const PlayerDriver& player, const QString& text, int timeoutMs);
    // Waits while the main page tells that the library is being indexed, as a first start does
    // (a later one finds it indexed): false when the notice showed and stayed past the time.
    // seen, when given, tells whether the notice showed at all.
    static bool waitForIndexing(const PlayerDriver& player, int timeoutMs, bool* seen = nullptr);
};
