#include "testenvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

// The library generator as a person types it: help, options it does not know, arguments that
// are no numbers, and a folder whose name begins with "-".
class TestMakeLibrary : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    // Runs the tool in a folder of its own, so that whatever it writes shows there.
    static Run run(const QString& folder, const QStringList& arguments)
    {
        QProcess tool;
        tool.setWorkingDirectory(folder);
        tool.start(QStringLiteral(MAKE_LIBRARY_TOOL), arguments);
        Run result;
        if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit)
            return result;
        result.exitCode = tool.exitCode();
        result.out = QString::fromLocal8Bit(tool.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(tool.readAllStandardError());
        return result;
    }

    static QStringList written(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private slots:
    void helpAndUnknownOptionsWriteNothing()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        for (const char* option : { "--help", "-h", "--help-all" }) {
            const Run help = run(folder.path(), { QLatin1String(option) });
            QCOMPARE(help.exitCode, 0);
            QVERIFY2(help.out.startsWith(QLatin1String("Usage: ")), qPrintable(help.out));
            QVERIFY(help.out.contains(QLatin1String("DIR [SONGS] [SECONDS]")));
        }
        const QList<QStringList> refused = {
            {},
            { QStringLiteral("--bogus") },
            { QStringLiteral("-x"), QStringLiteral("out") },
            { QStringLiteral("out"), QStringLiteral("--songs=3") },
            { QStringLiteral("out"), QStringLiteral("many") },
            { QStringLiteral("out"), QStringLiteral("3"), QStringLiteral("-1") },
            { QStringLiteral("out"), QStringLiteral("3"), QStringLiteral("1"),
              QStringLiteral("1") },
            { QString() },
            { QStringLiteral("--song"), QStringLiteral("one.ogg"), QStringLiteral("Title") },
        };
        for (const QStringList& arguments : refused) {
            const Run wrong = run(folder.path(), arguments);
            QVERIFY2(wrong.exitCode == 2, qPrintable(arguments.join(' ')));
            QVERIFY(wrong.err.contains(QLatin1String("Usage: ")));
            QVERIFY(wrong.out.isEmpty());
        }
        QCOMPARE(written(folder.path()), QStringList());
    }

    void aFolderNamedLikeAnOptionFollowsTheSeparator()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const Run made = run(folder.path(), { QStringLiteral("--"), QStringLiteral("--help"),
                                              QStringLiteral("1"), QStringLiteral("1") });
        QCOMPARE(made.exitCode, 0);
        QCOMPARE(written(folder.path()), QStringList { QStringLiteral("--help") });
        QDir library(folder.filePath(QStringLiteral("--help")));
        QCOMPARE(library.entryList({ QStringLiteral("*.m3u"), QStringLiteral("*.pls") }).size(), 2);

        // One song, whose file name begins with "-" too.
        const Run one = run(folder.path(),
                            { QStringLiteral("--song"), QStringLiteral("--"),
                              QStringLiteral("-one.ogg"), QStringLiteral("One"),
                              QStringLiteral("Ada"), QStringLiteral("First"), QStringLiteral("Pop"),
                              QStringLiteral("1"), QStringLiteral("1") });
        QCOMPARE(one.exitCode, 0);
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("-one.ogg"))).size() > 0);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestMakeLibrary)
#include "tst_makelibrary.moc"
