// A page of 200 songs under group headers, its object menu and a selection sheet, laid out as
// the player shows them. The test checks that the rows line up and saves screenshots (into
// $PARLOVANCE_SCREENSHOT_DIR, or "screenshots" in the build tree) for a person to look at.
// Under Xvfb: xvfb-run -a -s "-screen 0 1024x1024x24" env QT_QPA_PLATFORM=xcb tst_mlistdemo

#include "mabstractcellcreator.h"
#include "mabstractitemmodel.h"
#include "maction.h"
#include "mapplicationpage.h"
#include "mapplicationwindow.h"
#include "mbasiclistitem.h"
#include "mbutton.h"
#include "mdetailedlistitem.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlist.h"
#include "mlistgroupheader.h"
#include "mobjectmenu.h"
#include "mpannableviewport.h"
#include "mscenemanager.h"
#include "msheet.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QDir>
#include <QGraphicsLinearLayout>
#include <QItemSelectionModel>
#include <QSignalSpy>

namespace {

const QStringList Letters { "A", "B", "C", "D", "E", "G", "H", "J", "K",
                            "L", "M", "N", "P", "R", "S", "T", "W" };

// 200 songs whose titles start with their group's letter.
class SongModel : public MAbstractItemModel
{
    Q_OBJECT

public:
    SongModel()
    {
        const QStringList words { "Afternoon", "Blue",    "Coast",   "Dancing", "Echoes",  "Garden",
                                  "Harbour",   "Journey", "Kingdom", "Lights",  "Morning", "Night",
                                  "Paper",     "River",   "Summer",  "Tides",   "Winter" };
        for (int g = 0; g < Letters.size(); ++g) {
            QStringList titles;
            for (int r = 0; r < 200 / Letters.size() + (g < 200 % Letters.size() ? 1 : 0); ++r)
                titles << QStringLiteral("%1 %2").arg(words[g]).arg(r + 1);
            songs << titles;
        }
        setGrouped(true);
    }
    int groupCount() const override { return songs.size(); }
    int rowCountInGroup(int group) const override
    {
        if (group >= 0)
            return songs.value(group).size();
        int n = 0;
        for (const QStringList& s : songs)
            n += s.size();
        return n;
    }
    QString groupTitle(int group) const override { return Letters.value(group); }
    QVariant itemData(int row, int group, int role) const override
    {
        const QString title = songs.value(group).value(row);
        switch (role) {
        case Qt::DisplayRole:
            return title;
        case Qt::UserRole:
            return QStringLiteral("The %1 Band").arg(title.section(' ', 0, 0));
        case Qt::UserRole + 1:
            return QStringLiteral("%1:%2").arg(2 + row % 5).arg((row * 17) % 60, 2, 10, QChar('0'));
        default:
            return QVariant();
        }
    }

private:
    QList<QStringList> songs;
};

class SongItem : public MDetailedListItem
{
    Q_OBJECT

public:
    SongItem()
        : MDetailedListItem(IconTitleSubtitleAndSideLabel)
    {
        setIconStyle(Thumbnail);
    }
};

class SongCreator : public QObject, public MAbstractCellCreator<SongItem>
{
    Q_OBJECT

public:
    SongCreator() { setCellObjectName(QStringLiteral("CommonPanelInverted")); }
    void updateCell(const QModelIndex& index, MWidget* cell) const override
    {
        auto* item = qobject_cast<SongItem*>(cell);
        if (!item)
            return;
        item->setTitle(index.data(Qt::DisplayRole).toString());
        item->setSubtitle(index.data(Qt::UserRole).toString());
        item->setSideBottomTitle(index.data(Qt::UserRole + 1).toString());
        item->imageWidget()->setImage(QStringLiteral("icon-m-music-albumart"));
    }
};

} // namespace

class TestMListDemo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void listPageLinesUp();
    void objectMenuOverTheList();
    void selectionSheet();

private:
    void save(const QString& name);
    MList* makeList(QGraphicsItem* parent, QAbstractItemModel* model);

    MApplicationWindow* window = nullptr;
    MApplicationPage* page = nullptr;
    MList* list = nullptr;
    SongModel model;
};

void TestMListDemo::save(const QString& name)
{
    QCoreApplication::processEvents();
    const QImage shot = window->grab().toImage();
    QVERIFY(!shot.isNull());
    const QString path = TestEnvironment::screenshotDir() + QLatin1Char('/') + name;
    QVERIFY(shot.save(path));
    qInfo().noquote() << "screenshot:" << path;
}

MList* TestMListDemo::makeList(QGraphicsItem* parent, QAbstractItemModel* itemModel)
{
    auto* songs = new MList(parent);
    songs->setStyleName(QStringLiteral("CommonListInverted"));
    songs->setCellCreator(new SongCreator);
    songs->setShowGroups(true);
    songs->setIndexDisplayMode(MList::Floating);
    songs->setItemModel(itemModel);
    return songs;
}

void TestMListDemo::initTestCase()
{
    window = new MApplicationWindow;
    window->resize(480, 854);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    page = new MApplicationPage;
    page->setTitle(QStringLiteral("Songs"));
    auto* central = new QGraphicsWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* shuffle = new MBasicListItem(MBasicListItem::IconWithTitle);
    shuffle->setStyleName(QStringLiteral("CommonBasicListItemInverted"));
    shuffle->setTitle(QStringLiteral("Shuffle all"));
    shuffle->imageWidget()->setImage(QStringLiteral("icon-m-music-video-shuffle-on"));
    layout->addItem(shuffle);
    list = makeList(central, &model);
    layout->addItem(list);
    page->setCentralWidget(central);
    page->appear(window);
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);
    QTRY_VERIFY(list->visibleCells().size() > 5);
}

void TestMListDemo::cleanupTestCase()
{
    delete window;
}

void TestMListDemo::listPageLinesUp()
{
    MPannableViewport* viewport = page->pannableViewport();
    viewport->setPosition(QPointF(0, 88 + 40 + 11 * 88 - 200));
    QTRY_VERIFY(list->firstVisibleItem().parent().isValid());
    // Every row spans the list; every row's texts and picture start where the others' do.
    QTRY_VERIFY(!list->visibleCells().isEmpty());
    QSet<qreal> imageLefts;
    QSet<qreal> titleLefts;
    QSet<qreal> sideRights;
    QCoreApplication::processEvents();
    for (MWidget* cell : list->visibleCells()) {
        QCOMPARE(cell->x(), 0.0);
        QCOMPARE(cell->size().width(), list->size().width());
        if (auto* song = qobject_cast<SongItem*>(cell)) {
            QCOMPARE(song->size().height(), 88.0);
            QTRY_VERIFY(song->titleLabelWidget()->size().width() > 100);
            imageLefts << song->imageWidget()->geometry().left();
            titleLefts << song->titleLabelWidget()->geometry().left();
            sideRights << song->sideBottomLabelWidget()->geometry().right();
            QVERIFY(song->imageWidget()->geometry().top() >= 0);
            QVERIFY(song->imageWidget()->geometry().bottom() <= 88);
        } else {
            QVERIFY(qobject_cast<MListGroupHeader*>(cell));
        }
    }
    QCOMPARE(imageLefts.size(), 1);
    QCOMPARE(titleLefts.size(), 1);
    QCOMPARE(sideRights.size(), 1);
    QCOMPARE(*imageLefts.begin(), 16.0);
    QCOMPARE(*sideRights.begin(), list->size().width() - 16);
    save(QStringLiteral("mlist-page.png"));

    // While the list is dragged the floating index shows the group at the top.
    const QPointF from = viewport->mapToScene(QPointF(240, 600));
    TouchDriver finger(window);
    finger.dragAndHold(from, from - QPointF(0, 300));
    save(QStringLiteral("mlist-panning.png"));
    finger.release(from - QPointF(0, 300));
}

void TestMListDemo::objectMenuOverTheList()
{
    auto* menu = new MObjectMenu;
    menu->setStyleName(QStringLiteral("Inverted"));
    for (const char* text : { "Play", "Add to play queue", "Add to playlist", "Delete" })
        menu->addAction(new MAction(QString::fromLatin1(text), menu));
    QModelIndex tapped;
    QObject watcher;
    connect(list, &MList::itemLongTapped, &watcher, [&](const QModelIndex& index, const QPointF&) {
        tapped = index;
        window->sceneManager()->appearSceneWindow(menu, MSceneWindow::KeepWhenDone);
    });
    const QModelIndex row = model.index(2, 0, model.index(1, 0));
    list->scrollTo(row, MList::PositionAtCenterHint);
    MWidget* cell = list->visibleCell(row);
    QVERIFY(cell);
    const QPointF at = cell->mapToScene(cell->rect().center());
    TouchDriver(window).press(at);
    QTRY_COMPARE_WITH_TIMEOUT(tapped, row, 5000);
    TouchDriver(window).release(at);
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
    save(QStringLiteral("mlist-objectmenu.png"));
    menu->disappear();
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Disappeared);
}

void TestMListDemo::selectionSheet()
{
    auto* sheet = new MSheet;
    sheet->setStyleName(QStringLiteral("Inverted"));
    auto* header = new QGraphicsLinearLayout(Qt::Horizontal, sheet->headerWidget());
    auto* cancel = new MButton(QStringLiteral("Cancel"));
    cancel->setStyleName(QStringLiteral("CommonSheetHeaderButtonInverted"));
    auto* done = new MButton(QStringLiteral("Done"));
    done->setStyleName(QStringLiteral("CommonSheetHeaderButtonAccentInverted"));
    header->addItem(cancel);
    header->addStretch();
    header->addItem(done);

    auto* body = new QGraphicsLinearLayout(Qt::Vertical, sheet->centralWidget());
    body->setContentsMargins(0, 0, 0, 0);
    auto* viewport = new MPannableViewport;
    body->addItem(viewport);
    auto* songs = makeList(nullptr, &model);
    viewport->setWidget(songs);
    songs->setSelectionMode(MList::MultiSelection);
    sheet->appear(window, MSceneWindow::DestroyWhenDismissed);
    QTRY_COMPARE(sheet->sceneWindowState(), MSceneWindow::Appeared);
    QTRY_VERIFY(songs->visibleCells().size() > 4);

    // Two taps select two songs; the rows show it.
    for (int r : { 1, 3 }) {
        MWidget* cell = songs->visibleCell(model.index(r, 0, model.index(0, 0)));
        QVERIFY(cell);
        const QPointF at = cell->mapToScene(cell->rect().center());
        TouchDriver(window).tap(at);
    }
    QCOMPARE(songs->selectionModel()->selectedIndexes().size(), 2);
    save(QStringLiteral("mlist-sheet.png"));
    sheet->dismiss();
}

PARLOVANCE_TEST_MAIN(TestMListDemo)

#include "tst_mlistdemo.moc"
