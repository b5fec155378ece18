// The settings file as a user leaves it: whatever it holds, the program opens it; a line the
// settings reader would run past costs that line only; and nothing is dropped unseen.

#include "common/parlovancesettings.h"
#include "common/settingsfilecheck.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest/QtTest>

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void valueTheReaderCannotHoldSetsTheFileAside();
    void spoiledLinesCostThemselvesOnly();
    void quotesAndCommentsThatCloseAreLeftAlone();
    void fileFarLargerThanSettingsIsSetAside();

private:
    static QString path();
    static void writeFile(const QByteArray& content);
    static QByteArray read(const QString& file);
    // The files kept beside the settings file whose names start with the file's and kind.
    static QStringList kept(const QString& kind);
};

QString TestSettingsFile::path()
{
    return TestEnvironment::configHome() + QStringLiteral("/Vaspe/Music.conf");
}

void TestSettingsFile::writeFile(const QByteArray& content)
{
    QVERIFY(QDir().mkpath(QFileInfo(path()).absolutePath()));
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray TestSettingsFile::read(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList TestSettingsFile::kept(const QString& kind)
{
    const QFileInfo info(path());
    QStringList files;
    for (const QString& name :
         QDir(info.absolutePath()).entryList({ info.fileName() + '.' + kind + "-*" }, QDir::Files))
        files << info.absolutePath() + '/' + name;
    return files;
}

void TestSettingsFile::init()
{
    TestEnvironment::wipeHome();
}

void TestSettingsFile::valueTheReaderCannotHoldSetsTheFileAside()
{
    // A string list claiming 2^31 - 1 entries: the reader throws std::bad_alloc.
    const QByteArray content = "[General]\nSettingsVersion=2\nRepeatOn=true\n"
                               "AnyKey=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)\n";
    writeFile(content);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("reading the settings failed"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot be read; it is kept as .*"
                                                          "starts from default settings"));
    {
        ParlovanceSettings settings;
        QCOMPARE(settings.allKeys(), QStringList());
        settings.setValue(QStringLiteral("RepeatOn"), false);
    }
    const QStringList aside = kept(QStringLiteral("unreadable"));
    QCOMPARE(aside.size(), 1);
    QCOMPARE(read(aside.first()), content);
    // The settings last again from here on.
    ParlovanceSettings again;
    QCOMPARE(again.allKeys(), QStringList { QStringLiteral("RepeatOn") });
    QCOMPARE(again.value(QStringLiteral("RepeatOn")).toBool(), false);
}

void TestSettingsFile::spoiledLinesCostThemselvesOnly()
{
    // A quote left open, in a value and in a group name, and a backslash that would join the
    // next line: before the check each took the lines after it along.
    const QByteArray content = "[General]\n"
                               "Note=\"unterminated\n"
                               "SettingsVersion=2\n"
                               "ShuffleOn=1\n"
                               "Folder=C:\\\n"
                               "RepeatOn=true\n"
                               "[Gr\"oup]\n"
                               "[Activities]\n"
                               "1\\Type=2\n"
                               "1\\Name=\"Blue \\\"Live\\\"\"\n"
                               "size=1\n";
    writeFile(content);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("lines that cannot be read \\(2, 5, 7\\)"));
    {
        ParlovanceSettings settings;
        QCOMPARE(settings.allKeys(),
                 (QStringList { "Activities/1/Name", "Activities/1/Type", "Activities/size",
                                "RepeatOn", "SettingsVersion", "ShuffleOn" }));
        QCOMPARE(settings.value("Activities/1/Name").toString(), QStringLiteral("Blue \"Live\""));
        settings.setValue(QStringLiteral("Position"), 12);
    }
    // The file as it was is kept; what is written back holds every readable line.
    const QStringList backups = kept(QStringLiteral("backup"));
    QCOMPARE(backups.size(), 1);
    QCOMPARE(read(backups.first()), content);
    ParlovanceSettings again;
    QCOMPARE(again.value(QStringLiteral("SettingsVersion")).toInt(), 2);
    QCOMPARE(again.value(QStringLiteral("RepeatOn")).toBool(), true);
    QCOMPARE(again.value(QStringLiteral("Position")).toInt(), 12);
    QCOMPARE(again.value(QStringLiteral("Activities/1/Type")).toInt(), 2);
    QCOMPARE(kept(QStringLiteral("backup")).size(), 1);
}

void TestSettingsFile::quotesAndCommentsThatCloseAreLeftAlone()
{
    const QByteArray content = "[General]\r\n"
                               "; a \"comment\r\n"
                               "Title=\"a;b\"\r\n"
                               "Plain=1 ;\"the rest is a comment\r\n"
                               "Say=\"say \\\"hi\\\"\"\r\n"
                               "Escaped=end\\\\\r\n"
                               "Last=2";
    writeFile(content);
    {
        ParlovanceSettings settings;
        QCOMPARE(settings.allKeys(), (QStringList { "Escaped", "Last", "Plain", "Say", "Title" }));
        QCOMPARE(settings.value("Title").toString(), QStringLiteral("a;b"));
        QCOMPARE(settings.value("Escaped").toString(), QStringLiteral("end\\"));
    }
    QCOMPARE(read(path()), content);
    QVERIFY(kept(QStringLiteral("backup")).isEmpty());
}

void TestSettingsFile::fileFarLargerThanSettingsIsSetAside()
{
    writeFile("[General]\nRepeatOn=true\nFill=" + QByteArray(SettingsFileCheck::MaxFileSize, 'x'));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("larger than settings ever are"));
    ParlovanceSettings settings;
    QVERIFY(settings.allKeys().isEmpty());
    QCOMPARE(kept(QStringLiteral("unreadable")).size(), 1);
}

PARLOVANCE_TEST_MAIN_CORE(TestSettingsFile)
#include "tst_settingsfile.moc"
