#pragma once

// The main of a benchmark that runs the program itself: a session bus of the benchmark's own
// (its address printed on standard error first, for a monitor to follow the calls), a private
// X display of the phone's size unless BENCH_DISPLAY names one already running, the program's
// debug lines off (its warnings stay), then the benchmarks the command line selects.
class ProgramBenchmarks
{
public:
    static int run(int argc, char** argv);
};
