#include "testenvironment.h"

#include "mgconfitem.h"
#include "safefile.h"
#include "common/parlovancesettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The program's own files (the settings file, the key file of MGConfItem, whatever SafeFile
// writes) never write through a link planted at their name and never hang on a special file
// found there. Every link target and pipe lives inside the test's private home.
class TestSafeFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void writeReplacesLinkAndKeepsTarget();
    void claimKeepsWhatALinkedFileHeld();
    void claimRemovesLinksToSpecialFiles();
    void claimMovesAPipeAside();
    void settingsNeverWriteThroughALink();
    void keyFileNeverWritesThroughALink();

private:
    static QByteArray read(const QString& path);
    static void writeFile(const QString& path, const QByteArray& data);
    static bool isLink(const QString& path);
    QString dir;
};

namespace {

// A reader stuck on a pipe is set free after a while, so a regression fails instead of hanging.
class PipeRescuer : public QThread
{
public:
    explicit PipeRescuer(const QString& path)
        : path(QFile::encodeName(path))
    {
    }
    ~PipeRescuer() override
    {
        requestInterruption();
        wait();
    }

    bool rescued = false;

protected:
    void run() override
    {
        for (int i = 0; i < 100 && !isInterruptionRequested(); ++i)
            msleep(50);
        if (isInterruptionRequested())
            return;
        const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            rescued = true;
            ::close(fd);
        }
    }

private:
    QByteArray path;
};

} // namespace

QByteArray TestSafeFile::read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestSafeFile::writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

bool TestSafeFile::isLink(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

void TestSafeFile::init()
{
    TestEnvironment::wipeHome();
    dir = TestEnvironment::home() + QStringLiteral("/files");
    QVERIFY(QDir().mkpath(dir));
}

void TestSafeFile::writeReplacesLinkAndKeepsTarget()
{
    const QString target = dir + QStringLiteral("/precious.txt");
    const QString path = dir + QStringLiteral("/own.conf");
    writeFile(target, "precious");
    QVERIFY(QFile::link(target, path));

    QVERIFY(SafeFile::write(path, "new content"));
    QCOMPARE(read(target), QByteArray("precious"));
    QVERIFY(SafeFile::isRegular(path));
    QCOMPARE(read(path), QByteArray("new content"));

    // Written whole again, with no temporary file left beside it.
    QVERIFY(SafeFile::write(path, "second"));
    QCOMPARE(read(path), QByteArray("second"));
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::System).size(), 2);

    // A folder that cannot be made gives a failure, not a crash.
    writeFile(dir + QStringLiteral("/plain"), "x");
    QVERIFY(!SafeFile::write(dir + QStringLiteral("/plain/inside.conf"), "y"));
}

void TestSafeFile::claimKeepsWhatALinkedFileHeld()
{
    const QString target = dir + QStringLiteral("/dotfiles/settings.conf");
    const QString path = dir + QStringLiteral("/settings.conf");
    writeFile(target, "[General]\nkey=value\n");
    QVERIFY(QFile::link(target, path));

    QVERIFY(SafeFile::claim(path));
    QVERIFY(!isLink(path));
    QVERIFY(SafeFile::isRegular(path));
    QCOMPARE(read(path), QByteArray("[General]\nkey=value\n"));
    QCOMPARE(read(target), QByteArray("[General]\nkey=value\n"));

    // A regular file and a missing one are left alone.
    QVERIFY(SafeFile::claim(path));
    QVERIFY(SafeFile::claim(dir + QStringLiteral("/missing.conf")));
    QVERIFY(!QFileInfo::exists(dir + QStringLiteral("/missing.conf")));
    // A folder in the way is reported.
    QVERIFY(QDir().mkpath(dir + QStringLiteral("/folder.conf")));
    QVERIFY(!SafeFile::claim(dir + QStringLiteral("/folder.conf")));
}

void TestSafeFile::claimRemovesLinksToSpecialFiles()
{
    const QString fifo = dir + QStringLiteral("/pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    PipeRescuer rescuer(fifo);
    rescuer.start();

    const QString toPipe = dir + QStringLiteral("/to-pipe.conf");
    const QString dangling = dir + QStringLiteral("/dangling.conf");
    const QString toFolder = dir + QStringLiteral("/to-folder.conf");
    QVERIFY(QFile::link(fifo, toPipe));
    QVERIFY(QFile::link(dir + QStringLiteral("/nothing"), dangling));
    QVERIFY(QFile::link(dir, toFolder));

    for (const QString& path : { toPipe, dangling, toFolder }) {
        QVERIFY2(SafeFile::claim(path), qPrintable(path));
        QVERIFY2(!QFileInfo::exists(path) && !isLink(path), qPrintable(path));
    }
    QVERIFY(!rescuer.rescued);
    QVERIFY(QFileInfo(fifo).exists());
    QVERIFY(QFileInfo(dir).isDir());
}

void TestSafeFile::claimMovesAPipeAside()
{
    const QString path = dir + QStringLiteral("/piped.conf");
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QVERIFY(SafeFile::claim(path));
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(QFileInfo::exists(path + QStringLiteral(".unusable")));
}

void TestSafeFile::settingsNeverWriteThroughALink()
{
    const QString path = TestEnvironment::configHome() + QStringLiteral("/Vaspe/Music.conf");
    const QString target = dir + QStringLiteral("/elsewhere.conf");
    writeFile(target, "[General]\nkept=1\n");
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QVERIFY(QFile::link(target, path));
    {
        ParlovanceSettings settings;
        QCOMPARE(settings.fileName(), path);
        QCOMPARE(settings.value(QStringLiteral("kept")).toInt(), 1);
        settings.setValue(QStringLiteral("added"), 2);
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);
    }
    QCOMPARE(read(target), QByteArray("[General]\nkept=1\n"));
    QVERIFY(SafeFile::isRegular(path));
    ParlovanceSettings again;
    QCOMPARE(again.value(QStringLiteral("kept")).toInt(), 1);
    QCOMPARE(again.value(QStringLiteral("added")).toInt(), 2);

    // A settings name that leads to a pipe is read as empty settings, without waiting on it.
    const QString fifo = dir + QStringLiteral("/settings-pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    PipeRescuer rescuer(fifo);
    rescuer.start();
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::link(fifo, path));
    ParlovanceSettings piped;
    QVERIFY(!piped.contains(QStringLiteral("kept")));
    piped.setValue(QStringLiteral("fresh"), 3);
    piped.sync();
    QVERIFY(!rescuer.rescued);
    QVERIFY(SafeFile::isRegular(path));
}

void TestSafeFile::keyFileNeverWritesThroughALink()
{
    const QString path = MGConfItem::storePath();
    const QString target = dir + QStringLiteral("/keys-elsewhere.ini");
    writeFile(target, "untouched");
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile::remove(path);
    QVERIFY(QFile::link(target, path));

    MGConfItem item(QStringLiteral("/apps/parlovance/safefile-test"));
    item.set(QStringLiteral("value"));
    QCOMPARE(read(target), QByteArray("untouched"));
    QVERIFY(SafeFile::isRegular(path));
    QVERIFY(read(path).contains("value"));
}

PARLOVANCE_TEST_MAIN_CORE(TestSafeFile)
#include "tst_safefile.moc"
