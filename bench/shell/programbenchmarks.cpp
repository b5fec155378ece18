#include "programbenchmarks.h"

#include "../../tests/e2e/virtualdisplay.h"
#include "testenvironment.h"

#include <QGuiApplication>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

const int ScreenWidth = 480;
const int ScreenHeight = 854;

} // namespace

int ProgramBenchmarks::run(int argc, char** argv)
{
    TestEnvironment::prepare();
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
              { QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1") });
    if (!bus.waitForStarted() || !bus.waitForReadyRead(10000))
        return 1;
    const QByteArray address = bus.readLine().trimmed();
    std::fprintf(stderr, "the benchmark's bus: %s\n", address.constData());
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
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
    bus.terminate();
    bus.waitForFinished();
    return 0;
}
