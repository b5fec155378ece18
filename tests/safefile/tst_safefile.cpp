#include "testenvironment.h"

#include "mgconfitem.h"
#include "audiogenerator.h"
#include "safefile.h"
#include "safeimage.h"
#include "common/parlovancesettings.h"

#include <QBuffer>
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
    void picturesAreSizedBeforeTheyAreDecoded();
    void onlyRasterPicturesAreDecoded();

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

void TestSafeFile::picturesAreSizedBeforeTheyAreDecoded()
{
    // A picture claiming more pixels than are decoded is not: 1.6 GB for this one as 32-bit
    // pixels, from a few kilobytes of file.
    const QByteArray huge = AudioGenerator::blackPng(20000, 20000);
    QVERIFY(huge.size() < 1024 * 1024);
    QSize claimed;
    QVERIFY(SafeImage::fromData(huge, QSize(), &claimed).isNull());
    QCOMPARE(claimed, QSize(20000, 20000));
    const QString hugePath = dir + QStringLiteral("/huge.png");
    writeFile(hugePath, huge);
    QVERIFY(SafeImage::read(hugePath, QSize(80, 80), &claimed).isNull());
    QCOMPARE(claimed, QSize(20000, 20000));
    QVERIFY(SafeImage::allowed(QSize(4096, 4096)));
    QVERIFY(!SafeImage::allowed(QSize(4097, 4096)));
    QCOMPARE(SafeImage::fromData(AudioGenerator::blackPng(4096, 4096)).size(), QSize(4096, 4096));

    // A larger picture is read at the size wanted, in its own proportions; a smaller one as
    // it is. JPEG and PNG alike, whatever the file's name says.
    QImage wide(1000, 500, QImage::Format_RGB32);
    wide.fill(Qt::red);
    const QString jpeg = dir + QStringLiteral("/wide.png");
    QVERIFY(wide.save(jpeg, "JPEG"));
    QCOMPARE(SafeImage::read(jpeg, QSize(318, 318)).size(), QSize(318, 159));
    QCOMPARE(SafeImage::fromData(AudioGenerator::pngOf(wide), QSize(80, 80)).size(), QSize(80, 40));
    QCOMPARE(SafeImage::read(jpeg).size(), QSize(1000, 500));
    QCOMPARE(SafeImage::read(jpeg, QSize(2000, 2000)).size(), QSize(1000, 500));

    // What is no picture, or no regular file, reads as nothing, and a pipe is never waited on.
    QVERIFY(SafeImage::fromData("not a picture").isNull());
    QVERIFY(SafeImage::read(dir + QStringLiteral("/missing.png")).isNull());
    const QString fifo = dir + QStringLiteral("/picture-pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    PipeRescuer rescuer(fifo);
    rescuer.start();
    QVERIFY(SafeImage::read(fifo).isNull());
    QVERIFY(!rescuer.rescued);
    // Nor is a file larger than any picture read; its size alone says so.
    const QString big = dir + QStringLiteral("/big.png");
    writeFile(big, AudioGenerator::pngOf(wide));
    QVERIFY(QFile::resize(big, SafeImage::MaxFileSize + 1));
    QVERIFY(SafeImage::read(big).isNull());
}

void TestSafeFile::onlyRasterPicturesAreDecoded()
{
    // An SVG picture names files its renderer would open: a pipe (which would hold the reading
    // thread for good; a rescuer sets it free so that a regression fails instead of hanging)
    // and a picture of the user's, which would be drawn.
    const QString pipe = dir + QStringLiteral("/pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString red = dir + QStringLiteral("/red.png");
    writeFile(red, AudioGenerator::pngOf(AudioGenerator::coverImage(Qt::red, 16)));
    for (const QString& target : { red, pipe }) {
        const QByteArray svg
            = QStringLiteral("<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" "
                             "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"16\" "
                             "height=\"16\"><image width=\"16\" height=\"16\" "
                             "xlink:href=\"%1\"/></svg>")
                  .arg(target)
                  .toUtf8();
        PipeRescuer rescuer(pipe);
        rescuer.start();
        QVERIFY(SafeImage::fromData(svg).isNull());
        const QString file = dir + QStringLiteral("/cover.svg");
        writeFile(file, svg);
        QVERIFY(SafeImage::read(file).isNull());
        QVERIFY(!rescuer.rescued);
    }

    // Raster pictures are told apart by their bytes, whatever their name says.
    const QImage blue = AudioGenerator::coverImage(Qt::blue, 16);
    for (const char* format : { "PNG", "JPEG", "BMP" }) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(blue.save(&buffer, format));
        QCOMPARE(SafeImage::fromData(bytes).size(), QSize(16, 16));
        const QString named = dir + QStringLiteral("/picture.svg");
        writeFile(named, bytes);
        QCOMPARE(SafeImage::read(named).size(), QSize(16, 16));
    }
    QVERIFY(SafeImage::fromData("not a picture at all").isNull());
}

PARLOVANCE_TEST_MAIN_CORE(TestSafeFile)
#include "tst_safefile.moc"
