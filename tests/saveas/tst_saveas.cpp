// The save-as dialog's copy where it cannot be made: a copy that runs out of room says the disk
// is full, and leaves nothing half-written behind. The small disk is a file system of its own,
// made inside the test's home, which needs root; without it the case is skipped.

#include "mbanner.h"
#include "msaveasdialog.h"
#include "mtextedit.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

// Messages of the save-as category while it exists.
class SaveAsLog
{
public:
    SaveAsLog()
    {
        current = this;
        previous = qInstallMessageHandler(&SaveAsLog::handle);
    }
    ~SaveAsLog()
    {
        qInstallMessageHandler(previous);
        current = nullptr;
    }
    QStringList lines;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (current && qstrcmp(context.category, "parlovance.saveas") == 0)
            current->lines.append(text);
        if (current && current->previous)
            current->previous(type, context, text);
    }
    static SaveAsLog* current;
    QtMessageHandler previous = nullptr;
};
SaveAsLog* SaveAsLog::current = nullptr;

} // namespace

class TestSaveAs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void aFullDiskIsSaidToBeFull();

private:
    QString disk;
    bool mounted = false;
};

void TestSaveAs::initTestCase()
{
    disk = TestEnvironment::home() + QStringLiteral("/small-disk");
    QVERIFY(QDir().mkpath(disk));
    mounted = QProcess::execute(QStringLiteral("mount"),
                                { QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                  QStringLiteral("-o"), QStringLiteral("size=200k"),
                                  QStringLiteral("tmpfs"), disk })
              == 0;
}

void TestSaveAs::cleanupTestCase()
{
    if (mounted)
        QProcess::execute(QStringLiteral("umount"), { disk });
}

void TestSaveAs::aFullDiskIsSaidToBeFull()
{
    if (!mounted)
        QSKIP("a small file system cannot be mounted here (it needs root)");
    const QString source = TestEnvironment::home() + QStringLiteral("/song.mp3");
    {
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(QByteArray(1024 * 1024, 'x')) == 1024 * 1024);
    }
    MBanner::clearShownTitles();
    SaveAsLog log;
    auto* dialog = new MSaveAsDialog(true);
    QSignalSpy saved(dialog, &MSaveAsDialog::saveFileAs);
    dialog->setAutoCopyMode(MSaveAsDialog::AutoCopy);
    dialog->setSourcePath(source);
    dialog->setDefaultExtension(QStringLiteral("mp3"));
    dialog->setDestinationPath(disk);
    dialog->nameEdit()->setText(QStringLiteral("Kept"));
    dialog->done(M::SaveButton);
    QTRY_VERIFY_WITH_TIMEOUT(!MBanner::shownTitles().isEmpty(), 20000);
    QCOMPARE(MBanner::shownTitles(), QStringList { QStringLiteral("Could not save the file") });
    QVERIFY(saved.isEmpty());
    const QString said = log.lines.join(QLatin1Char('\n'));
    QVERIFY2(said.contains(QStringLiteral("the disk is full")), qPrintable(said));
    QVERIFY2(!said.contains(QStringLiteral("Unknown error")), qPrintable(said));
    // Nothing is left on the disk: no copy, no part of one.
    QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
    delete dialog;
}

PARLOVANCE_TEST_MAIN(TestSaveAs)
#include "tst_saveas.moc"
