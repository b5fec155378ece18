// The settings file as a user leaves it: whatever it holds, the program opens it; a line the
// settings reader would run past costs that line only; and nothing is dropped unseen.

#include "common/parlovancesettings.h"
#include "common/settingsfilecheck.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QDataStream>
#include <QSettings>
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
    void valuesOfKindsThePlayerNeverWritesSetTheFileAside();
    void valuesThatOnlyLookLikeThoseAreKept();

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
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot be read.*; it is kept as .*"
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

void TestSettingsFile::valuesOfKindsThePlayerNeverWritesSetTheFileAside()
{
    // A picture as a settings value: a file of a few kilobytes that the reader would decode to
    // 16 MB here (a gigabyte for 8000 x 8000) at every start. Alone, in a list, quoted, and
    // spelled with escapes only.
    QImage picture(2000, 2000, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    QByteArray bytes;
    {
        // As the settings reader reads a value: its kind (a picture, 70), then the picture.
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(QDataStream::Qt_4_0);
        stream << quint32(QMetaType::QImage) << picture;
    }
    QByteArray stored = "@Variant(";
    for (const char byte : qAsConst(bytes))
        stored += "\\x" + QByteArray::number(uchar(byte), 16);
    stored += ")";
    QVERIFY(stored.size() < SettingsFileCheck::MaxFileSize);
    const QByteArray escaped = "\\x40Variant" + stored.mid(8);
    for (const QByteArray& value :
         { stored, "1, 2, " + stored, "\"" + stored + "\"", escaped,
           // A list of strings: the reader makes a list of two million of them.
           QByteArray("@Variant(\\0\\0\\0\\v\\0\\x1e\\x84\\x80)") }) {
        TestEnvironment::wipeHome();
        const QByteArray content = "[General]\nSettingsVersion=2\nRepeatOn=true\nKey=" + value
                                   + "\n";
        writeFile(content);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("cannot be read: it holds a value of a kind the "
                                                "player never writes.*; it is kept as .*"));
        ParlovanceSettings settings;
        QCOMPARE(settings.allKeys(), QStringList());
        const QStringList aside = kept(QStringLiteral("unreadable"));
        QCOMPARE(aside.size(), 1);
        QCOMPARE(read(aside.first()), content);
    }
}

void TestSettingsFile::valuesThatOnlyLookLikeThoseAreKept()
{
    // The player's own times, and names that start with or hold the marker as text.
    {
        ParlovanceSettings settings;
        settings.setValue(QStringLiteral("When"), QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)));
        settings.setValue(QStringLiteral("Name"), QStringLiteral("@Variant(\\0\\0\\0F"));
        settings.setValue(QStringLiteral("Other"), QStringLiteral("x, @Variant(\\0\\0\\0F)"));
        settings.setValue(QStringLiteral("Quoted"), QStringLiteral(" @Variant(abc"));
        settings.setValue(QStringLiteral("Times"),
                          QVariantList({ QDateTime(QDate(2021, 1, 1), QTime(0, 0)),
                                         QDateTime(QDate(2022, 1, 1), QTime(0, 0)) }));
    }
    const QByteArray written = read(path());
    QVERIFY(written.contains("@Variant("));
    writeFile(written + "Manual=a;@Variant(\\0\\0\\0F)\n");
    ParlovanceSettings settings;
    QCOMPARE(settings.value(QStringLiteral("When")).toDateTime(),
             QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)));
    QCOMPARE(settings.value(QStringLiteral("Name")).toString(),
             QStringLiteral("@Variant(\\0\\0\\0F"));
    QCOMPARE(settings.value(QStringLiteral("Quoted")).toString(), QStringLiteral(" @Variant(abc"));
    QCOMPARE(settings.value(QStringLiteral("Times")).toList().size(), 2);
    QCOMPARE(settings.value(QStringLiteral("Manual")).toString(), QStringLiteral("a"));
    QVERIFY(kept(QStringLiteral("unreadable")).isEmpty());
}

PARLOVANCE_TEST_MAIN_CORE(TestSettingsFile)
#include "tst_settingsfile.moc"
