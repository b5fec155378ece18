#ifndef TESTENVIRONMENT_H
#define TESTENVIRONMENT_H

#include <QString>
#include <QtTest/QtTest>

// Gives the test process a private home with its own XDG folders and the offscreen platform.
// Call prepare() before any Qt application object exists; PARLOVANCE_TEST_MAIN does that.
class TestEnvironment
{
public:
    static void prepare();

    static QString home();
    static QString musicDir();   // ~/Music, created empty
    static QString dataHome();   // XDG_DATA_HOME
    static QString cacheHome();  // XDG_CACHE_HOME
    static QString configHome(); // XDG_CONFIG_HOME
    static QString sourceDir();  // the project's source tree
    static QString binaryDir();  // the project's build tree
    // Where tests leave screenshots for a person to look at: $PARLOVANCE_SCREENSHOT_DIR, or
    // build/screenshots; made when missing.
    static QString screenshotDir();

    // Writes the bytes as the file at path; its path, or empty when there are no bytes or they
    // were not all written.
    static QString writeFile(const QString& path, const QByteArray& bytes);

    // Removes everything below the private home and makes the XDG folders again.
    static void wipeHome();

    // Runs the test object like QTest::qExec, and fails the running test on every string-based
    // connection that Qt cannot resolve ("QObject::connect: No such signal ..."), which Qt
    // itself only logs. Non-zero when a test failed or such a connection was seen.
    static int exec(QObject* testObject, int argc, char** argv);
    // Whether a log message reports a connection that Qt could not make.
    static bool isBadConnection(const QString& message);
};

#define PARLOVANCE_TEST_MAIN(TestObject)                                                           \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TestEnvironment::prepare();                                                                \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return TestEnvironment::exec(&tc, argc, argv);                                             \
    }

#define PARLOVANCE_TEST_MAIN_CORE(TestObject)                                                      \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TestEnvironment::prepare();                                                                \
        QCoreApplication app(argc, argv);                                                          \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return TestEnvironment::exec(&tc, argc, argv);                                             \
    }

#endif // TESTENVIRONMENT_H
