#include "programbenchmarks.h"

#include "../../tests/e2e/playerdriver.h"
#include "../../tests/e2e/virtualdisplay.h"
#include "benchmarkbus.h"
#include "testenvironment.h"

#include <QGuiApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

const int ScreenWidth = 480;
const int ScreenHeight = 854;

} // namespace

int ProgramBenchmarks::run(int argc, char** argv)
{
    TestEnvironment::prepare();
    BenchmarkBus bus;
    if (!bus.start())
        return 1;
    std::fprintf(stderr, "the benchmark's bus: %s\n", bus.address().constData());
    VirtualDisplay display;
    const QByteArray given = qgetenv("BENCH_DISPLAY");
    if (!given.isEmpty())
        qputenv("DISPLAY", given);
    else if (!display.start(ScreenWidth, ScreenHeight))
        return 1;
    qputenv("QT_QPA_PLATFORM", "xcb");
    // The debug lines of every song and cover would pile up in the driver's copy of the
    // program's output.
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    {
        QGuiApplication app(argc, argv);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    return 0;
}

int ProgramBenchmarks::setting(const char* name, int fallback, int least)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value >= least ? value : fallback;
}

QString ProgramBenchmarks::programPath()
{
    const QString other = qEnvironmentVariable("BENCH_PROGRAM");
    return other.isEmpty() ? TestEnvironment::binaryDir() + QStringLiteral("/src/parlovance")
                           : other;
}

bool ProgramBenchmarks::tapText(const PlayerDriver& player, const QString& text, int timeoutMs)
{
    QRect at;
    if (!QTest::qWaitFor([&] { return !(at = player.find(text)).isEmpty(); }, timeoutMs))
        return false;
    player.tap(at.center());
    return true;
}

bool ProgramBenchmarks::waitForIndexing(const PlayerDriver& player, int timeoutMs, bool* seen)
{
    bool updating = false;
    const bool over = QTest::qWaitFor(
        [&] {
            const bool shown = player.shows(QStringLiteral("Updating library…"));
            updating = updating || shown;
            return updating && !shown;
        },
        timeoutMs);
    if (seen)
        *seen = updating;
    return over || !updating;
}
