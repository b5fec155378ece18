#include "testenvironment.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir* privateHome = nullptr;

void makeFolders()
{
    const QString home = privateHome->path();
    for (const char* sub : { ".local/share", ".config", ".cache", "Music", "Desktop", "runtime" })
        QDir(home).mkpath(QLatin1String(sub));
    QFile::setPermissions(home + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Keep the desktop's own folders out of the test, whatever the machine has configured.
    QFile dirs(home + "/.config/user-dirs.dirs");
    if (dirs.open(QIODevice::WriteOnly))
        dirs.write("XDG_MUSIC_DIR=\"$HOME/Music\"\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n");
}

void setEnv(const char* name, const QString& value)
{
    qputenv(name, QFile::encodeName(value));
}

QtMessageHandler testLogHandler = nullptr;
QAtomicInt badConnections;

// Sits in front of QTest's own handler, which logs the message first.
void guardConnections(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (testLogHandler)
        testLogHandler(type, context, message);
    if (type != QtWarningMsg || !TestEnvironment::isBadConnection(message))
        return;
    badConnections.ref();
    // QTest's results belong to the main thread; a worker's bad connection fails the run at
    // its end instead.
    // Not qApp, which is a QApplication: a core-only test has none.
    const QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        const bool located = context.file != nullptr;
        QTest::qFail(qPrintable(QStringLiteral("unresolved connection: ") + message),
                     located ? context.file : __FILE__, located ? context.line : __LINE__);
    }
}

} // namespace

void TestEnvironment::prepare()
{
    if (privateHome)
        return;
    privateHome = new QTemporaryDir(QDir::tempPath() + "/parlovance-test-XXXXXX");
    // Without its own home a test would write below "/" and wipe the folder it runs in: every
    // path is made from home(), and an empty one stands for the root or the working folder.
    if (!privateHome->isValid())
        qFatal("cannot make a private home in %s: %s", qPrintable(QDir::tempPath()),
               qPrintable(privateHome->errorString()));
    privateHome->setAutoRemove(!qEnvironmentVariableIsSet("PARLOVANCE_KEEP_HOME"));
    makeFolders();
    const QString h = privateHome->path();
    setEnv("HOME", h);
    setEnv("XDG_DATA_HOME", h + "/.local/share");
    setEnv("XDG_CONFIG_HOME", h + "/.config");
    setEnv("XDG_CACHE_HOME", h + "/.cache");
    setEnv("XDG_RUNTIME_DIR", h + "/runtime");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No sound card on a build machine: GStreamer plays into a clocked fake sink unless told.
    if (!qEnvironmentVariableIsSet("PARLOVANCE_AUDIO_SINK"))
        qputenv("PARLOVANCE_AUDIO_SINK", "fakesink sync=true");
    // Tests remove their temporary home at exit; the atexit keeps that order safe.
    std::atexit([] {
        delete privateHome;
        privateHome = nullptr;
    });
}

QString TestEnvironment::home()
{
    prepare();
    return privateHome->path();
}

QString TestEnvironment::musicDir()
{
    return home() + "/Music";
}
QString TestEnvironment::dataHome()
{
    return home() + "/.local/share";
}
QString TestEnvironment::cacheHome()
{
    return home() + "/.cache";
}
QString TestEnvironment::configHome()
{
    return home() + "/.config";
}
QString TestEnvironment::sourceDir()
{
    return QStringLiteral(PARLOVANCE_SOURCE_DIR);
}
QString TestEnvironment::binaryDir()
{
    return QStringLiteral(PARLOVANCE_BINARY_DIR);
}

void TestEnvironment::wipeHome()
{
    QDir dir(home());
    const auto entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        QFileInfo fi(dir.filePath(e));
        if (fi.isDir() && !fi.isSymLink())
            QDir(fi.filePath()).removeRecursively();
        else
            QFile::remove(fi.filePath());
    }
    makeFolders();
}

bool TestEnvironment::isBadConnection(const QString& message)
{
    return message.startsWith(QLatin1String("QObject::connect:"))
           || message.startsWith(QLatin1String("QObject::disconnect:"))
           || message.contains(QLatin1String("No such signal"))
           || message.contains(QLatin1String("No such slot"))
           || message.contains(QLatin1String("No such method"));
}

int TestEnvironment::exec(QObject* testObject, int argc, char** argv)
{
    // QTest installs its message handler when it starts logging, in qInit; ours goes in front.
    QTest::qInit(testObject, argc, argv);
    testLogHandler = qInstallMessageHandler(guardConnections);
    const int failures = QTest::qRun();
    qInstallMessageHandler(testLogHandler);
    testLogHandler = nullptr;
    QTest::qCleanup();
    if (failures == 0 && badConnections.loadRelaxed() > 0) {
        fprintf(stderr,
                "FAIL: %d unresolved connection(s) on another thread or outside a test function\n",
                badConnections.loadRelaxed());
        return 1;
    }
    return failures;
}

QString TestEnvironment::screenshotDir()
{
    QString dir = qEnvironmentVariable("PARLOVANCE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        dir = binaryDir() + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    return dir;
}

QString TestEnvironment::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return file.fileName();
}
