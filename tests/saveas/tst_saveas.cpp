// The save-as dialog's copy where it cannot be made: a copy that runs out of room says the disk
// is full, and leaves nothing half-written behind. The small disk is a file system of its own,
// made inside the test's home, which needs root; without it the case is skipped. And the
// dialog's keyboard on a real window: what is typed goes to its name field, also after a Save
// the dialog refused, never to the page below it.

#include "mapplicationpage.h"
#include "mapplicationwindow.h"
#include "mbanner.h"
#include "mbutton.h"
#include "msaveasdialog.h"
#include "mtextedit.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>

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

// A page that takes the keys as the library pages do (their live filter starts on typing), and
// keeps what reached it.
class TypedPage : public MApplicationPage
{
public:
    TypedPage() { setFocusPolicy(Qt::StrongFocus); }
    QString typed;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        typed += event->text();
        event->accept();
    }
};

} // namespace

class TestSaveAs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void aFullDiskIsSaidToBeFull();
    void theNameFieldKeepsTheKeysAfterARefusedSave();

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

void TestSaveAs::theNameFieldKeepsTheKeysAfterARefusedSave()
{
    MApplicationWindow window;
    window.resize(480, 854);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* page = new TypedPage;
    page->appear(&window);
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);
    QCOMPARE(window.scene()->focusItem(), page);
    TouchDriver finger(&window);
    const auto tap = [&finger](QGraphicsWidget* widget) {
        finger.tap(widget->mapToScene(widget->boundingRect().center()));
    };

    // The dialog that names a new playlist: a name only, no folder.
    QPointer<MSaveAsDialog> dialog = new MSaveAsDialog(true);
    dialog->setAutoCopyMode(MSaveAsDialog::NameOnly);
    QSignalSpy saved(dialog.data(), &MSaveAsDialog::saveFileAs);
    dialog->appear(&window, MSceneWindow::DestroyWhenDismissed);
    QTRY_COMPARE(dialog->sceneWindowState(), MSceneWindow::Appeared);
    QTest::keyClicks(&window, QStringLiteral("q"));
    QCOMPARE(dialog->nameEdit()->text(), QStringLiteral("q"));

    // Save with the name emptied again keeps the dialog, and the keyboard with it; so does a
    // tap on the dialog's title or beside its buttons.
    QTest::keyClick(&window, Qt::Key_Backspace);
    tap(dialog->button(M::SaveButton));
    QCoreApplication::processEvents();
    QCOMPARE(dialog->sceneWindowState(), MSceneWindow::Appeared);
    QCOMPARE(window.scene()->focusItem(), dialog->nameEdit());
    QTest::keyClicks(&window, QStringLiteral("q"));
    QCOMPARE(dialog->nameEdit()->text(), QStringLiteral("q"));
    finger.tap(dialog->mapToScene(dialog->panelRect().topLeft() + QPointF(20, 10)));
    QTest::keyClicks(&window, QStringLiteral("w"));
    QCOMPARE(dialog->nameEdit()->text(), QStringLiteral("qw"));

    QCOMPARE(window.scene()->focusItem(), dialog->nameEdit());

    // Focus moved below the dialog (by Tab, by the page itself, by a page shown behind the
    // dialog at a request over the bus) still leaves the pages below without keys.
    QTest::keyClick(&window, Qt::Key_Tab);
    page->setFocus();
    QTest::keyClicks(&window, QStringLiteral("e"));
    auto* later = new TypedPage;
    later->appear(&window);
    QTest::keyClicks(&window, QStringLiteral("r"));
    QTRY_COMPARE(later->sceneWindowState(), MSceneWindow::Appeared);
    QTest::keyClicks(&window, QStringLiteral("t"));
    QCOMPARE(page->typed, QString());
    QCOMPARE(later->typed, QString());
    QCOMPARE(dialog->nameEdit()->text(), QStringLiteral("qwert"));
    QVERIFY(saved.isEmpty());

    // Once the dialog has gone, the page in front has the keys again.
    tap(dialog->button(M::SaveButton));
    QTRY_VERIFY(dialog.isNull());
    QCOMPARE(saved.value(0).value(0).toString(), QStringLiteral("qwert"));
    QTest::keyClicks(&window, QStringLiteral("y"));
    QCOMPARE(later->typed, QStringLiteral("y"));
    QCOMPARE(page->typed, QString());
}

PARLOVANCE_TEST_MAIN(TestSaveAs)
#include "tst_saveas.moc"
