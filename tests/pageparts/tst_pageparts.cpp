// Small parts of the page framework on real widgets: the playlist rows over the real store's
// playlist models, the fade and height/opacity animations on real time lines, the save-as
// dialog typed into through a real window, and the page background of the task switcher.

#include "fixturelibrary.h"
#include "testcatalogs.h"
#include "testenvironment.h"

#include "common/shownplaylistname.h"
#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "mafwtrackermodelfactory.h"
#include "mapplicationpage.h"
#include "mapplicationwindow.h"
#include "mbutton.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlocale.h"
#include "mtextedit.h"
#include "mwidget.h"
#include "pageframework/fadeanimation.h"
#include "pageframework/pagebackground.h"
#include "pageframework/playlistscollectioncellcreator.h"
#include "pageframework/saveasdialog.h"
#include "pageframework/songcollectionitem.h"
#include "pageframework/widgetanimation.h"
#include "pages/songdetailview.h"
#include "shell/mainwindow.h"
#include "trackerplaylistreader.h"

#include <QGraphicsRectItem>
#include <QPainter>
#include <QSet>
#include <QSignalSpy>
#include <QStyleOptionGraphicsItem>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;

// What a 16-bit image holds for a colour written into it.
QRgb asRgb16(int r, int g, int b)
{
    QImage pixel(1, 1, QImage::Format_RGB16);
    pixel.setPixel(0, 0, qRgb(r, g, b));
    return pixel.pixel(0, 0);
}

} // namespace

class TestPageParts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void playlistFileNamesLoseOnlyTheirExtension_data();
    void playlistFileNamesLoseOnlyTheirExtension();
    void onlyTheIndexersPlaylistExtensionsGo();
    void playlistRowsShowNameCountAndLength();

    void fadeFollowsTheAnimationTime();
    void widgetAnimationRunsItsValuesToTheEnd();

    void saveAsDialogReturnsTheTypedText();

    void ditherMatrixAndRounding();
    void pagesPaintTheSharedBackgroundOnlyInTheSwitcher();

private:
    std::unique_ptr<MainWindow> window;
};

void TestPageParts::initTestCase()
{
    qApp->setQuitOnLastWindowClosed(false);
    installTestCatalogs(QStringLiteral("en_GB"));

    window = std::make_unique<MainWindow>(PageMain, false);
    window->resize(480, 854);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // Page requests wait until the window's start has finished.
    QTRY_VERIFY_WITH_TIMEOUT(window->isPreloadingDone(), Timeout);
}

void TestPageParts::cleanupTestCase()
{
    window.reset();
}

void TestPageParts::playlistFileNamesLoseOnlyTheirExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    // clang-format off
    QTest::newRow("file") << "Road trip.m3u" << "Road trip";
    QTest::newRow("dots kept") << "Vol. 2.m3u" << "Vol. 2";
    QTest::newRow("user's dots") << "Vol. 2" << "Vol. 2";
    QTest::newRow("title") << "Mr. Blue" << "Mr. Blue";
    QTest::newRow("upper case") << "MIX.PLS" << "MIX";
    QTest::newRow("two extensions") << "best.m3u.pls" << "best.m3u";
    QTest::newRow("only a dot first") << ".m3u" << ".m3u";
    QTest::newRow("no dot") << "Favourites" << "Favourites";
    QTest::newRow("trailing dot") << "Etc." << "Etc.";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("hidden") << ".hidden" << ".hidden";
    QTest::newRow("version") << "Best of 2024.1" << "Best of 2024.1";
    QTest::newRow("no playlist file") << "Notes.txt" << "Notes.txt";
    QTest::newRow("extension inside") << "a.m3u b" << "a.m3u b";
    // clang-format on
}

void TestPageParts::playlistFileNamesLoseOnlyTheirExtension()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    PlaylistsCollectionCellCreator::removeExtension(name);
    QCOMPARE(name, shown);
}

void TestPageParts::onlyTheIndexersPlaylistExtensionsGo()
{
    // A name loses exactly the extensions the indexer takes playlist files by: no more, or a
    // user's own name would lose its end, and no fewer, or a file would show its extension.
    for (const char* extension : { "m3u", "pls", "M3U", "m3u8", "xspf", "wpl", "asx", "ogg" }) {
        const QString file = QStringLiteral("Mix.") + QLatin1String(extension);
        QCOMPARE(shownPlaylistName(file) == QStringLiteral("Mix"),
                 TrackerPlaylistReader::isPlaylistFile(file));
    }
}

void TestPageParts::playlistRowsShowNameCountAndLength()
{
    const QString a = FixtureLibrary::addSong(QStringLiteral("P/a.ogg"),
                                              { "A", "Kim", "Blue", "", "Pop", 1, 2001, QImage() },
                                              61000);
    const QString b = FixtureLibrary::addSong(QStringLiteral("P/b.ogg"),
                                              { "B", "Kim", "Blue", "", "Pop", 2, 2001, QImage() },
                                              2000);
    QVERIFY(!a.isEmpty() && !b.isEmpty());
    QVERIFY(!FixtureLibrary::addPlaylist(QStringLiteral("Vol. 2.m3u"), { a, b }).isEmpty());
    QVERIFY(FixtureLibrary::index());

    MafwTrackerModelFactoryInstance* holder = MafwTrackerModelFactoryInstance::instance();
    QTRY_VERIFY_WITH_TIMEOUT(holder->isReady(), Timeout);
    MafwTrackerModelFactory* factory = holder->factory();

    // The user's own playlist, named with a dot.
    QSharedPointer<QAbstractItemModel> songs(factory->getModel(MafwTrackerModel::AllSongs, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(songs->rowCount(), 2, Timeout);
    QList<int> ids;
    for (int row = 0; row < songs->rowCount(); ++row)
        ids << songs->index(row, 8).data().toInt();
    factory->createPlaylist(QStringLiteral("Mr. Blue"), MafwTrackerModelFactory::SongItems, ids);

    PlaylistsCollectionCellCreator creator;
    QCOMPARE(creator.cellObjectName(), QStringLiteral("CommonPanelInverted"));
    const struct
    {
        MafwTrackerModel::QueryType type;
        const char* title;
    } lists[] = { { MafwTrackerModel::PlaylistFiles, "Vol. 2" },
                  { MafwTrackerModel::UserPlaylists, "Mr. Blue" } };
    for (const auto& list : lists) {
        QSharedPointer<QAbstractItemModel> model(factory->getModel(list.type, 0, 0));
        QVERIFY(model);
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 1, Timeout);
        ListModel rows(false, nullptr);
        rows.setSourceModel(model);
        const QModelIndex index = rows.index(0, 0);
        QVERIFY(index.isValid());
        // The row's song count comes in when the store has counted the entries.
        QTRY_COMPARE_WITH_TIMEOUT(index.data(Qt::UserRole + 3).toInt(), 2, Timeout);

        SongCollectionItem cell;
        creator.updateCell(index, &cell);
        QCOMPARE(cell.titleLabel()->text(), QLatin1String(list.title));
        QCOMPARE(cell.subtitleLabel()->text(), QStringLiteral("2 songs"));
        QCOMPARE(cell.infoLabel()->text(), QStringLiteral("01:03"));
        QCOMPARE(cell.titleLabel()->styleName(), QStringLiteral("CommonTitleInverted"));
        QCOMPARE(cell.subtitleLabel()->styleName(), QStringLiteral("CommonSubTitleInverted"));
        QCOMPARE(cell.infoLabel()->styleName(), QStringLiteral("CommonItemInfoInverted"));
        QVERIFY(!cell.imageWidget()->pixmap() || cell.imageWidget()->pixmap()->isNull());
    }

    // A cell of another kind, or an index of no model, is left alone.
    MWidget other;
    creator.updateCell(QModelIndex(), &other);
    SongCollectionItem untouched;
    creator.updateCell(QModelIndex(), &untouched);
    QCOMPARE(untouched.titleLabel()->text(), QString());
}

void TestPageParts::fadeFollowsTheAnimationTime()
{
    QGraphicsRectItem item;
    FadeAnimation fade(&item, 350);
    QCOMPARE(fade.duration(), 350);
    fade.setCurrentTime(0);
    QCOMPARE(item.opacity(), 0.0);
    fade.setCurrentTime(175);
    QCOMPARE(item.opacity(), 0.5);
    QSignalSpy finished(&fade, SIGNAL(finished()));
    fade.start();
    QVERIFY(finished.wait(Timeout));
    QCOMPARE(item.opacity(), 1.0);

    // Without an item it runs and touches nothing.
    fade.setItem(nullptr);
    fade.start();
    QVERIFY(finished.wait(Timeout));
    QCOMPARE(item.opacity(), 1.0);
}

void TestPageParts::widgetAnimationRunsItsValuesToTheEnd()
{
    MWidget widget;
    widget.setMaximumHeight(200);

    // Long animations redraw less often.
    QCOMPARE(WidgetAnimation(&widget, WidgetAnimation::Opacity, 999).updateInterval(), 0);
    QCOMPARE(WidgetAnimation(&widget, WidgetAnimation::Opacity, 1500).updateInterval(), 60);
    QCOMPARE(WidgetAnimation(&widget, WidgetAnimation::Opacity, 2500).updateInterval(), 120);

    WidgetAnimation opacity(&widget, WidgetAnimation::Opacity, 300);
    QSignalSpy fadedIn(&opacity, SIGNAL(opacityFadedIn()));
    QSignalSpy fadedOut(&opacity, SIGNAL(opacityFadedOut()));
    widget.setOpacity(0);
    opacity.fadeIn();
    QVERIFY(fadedIn.wait(Timeout));
    QCOMPARE(widget.opacity(), 1.0);
    QCOMPARE(opacity.state(), QTimeLine::NotRunning);
    // A fade-out stops at the first value at or below 0.2, and stays there.
    opacity.fadeOut();
    QVERIFY(fadedOut.wait(Timeout));
    QVERIFY(widget.opacity() <= 0.2);
    QVERIFY(widget.opacity() > 0.0 || opacity.currentValue() == 0.0);
    QCOMPARE(opacity.state(), QTimeLine::NotRunning);
    const qreal kept = widget.opacity();
    QCoreApplication::processEvents();
    QCOMPARE(widget.opacity(), kept);
    QCOMPARE(fadedIn.count(), 1);
    QCOMPARE(fadedOut.count(), 1);

    WidgetAnimation height(&widget, WidgetAnimation::Height, 300);
    QCOMPARE(height.fullHeight(), 200.0);
    QSignalSpy heightIn(&height, SIGNAL(heightFadedIn()));
    QSignalSpy heightOut(&height, SIGNAL(heightFadedOut()));
    QSignalSpy changed(&height, SIGNAL(heightChanged(qreal)));
    height.setCurrentTime(300);
    height.fadeOut();
    QVERIFY(heightOut.wait(Timeout));
    QCOMPARE(widget.maximumHeight(), 0.0);
    QVERIFY(changed.count() >= 1);
    QCOMPARE(changed.last().at(0).toReal(), 0.0);
    height.fadeIn();
    QVERIFY(heightIn.wait(Timeout));
    QCOMPARE(widget.maximumHeight(), 200.0);
    QCOMPARE(changed.last().at(0).toReal(), 200.0);
    QCOMPARE(heightIn.count(), 1);
    QCOMPARE(heightOut.count(), 1);

    // Another kind animates nothing.
    height.setAnimationType(7);
    widget.setMaximumHeight(100);
    height.setCurrentTime(0);
    height.fadeIn();
    QTRY_COMPARE_WITH_TIMEOUT(height.state(), QTimeLine::NotRunning, Timeout);
    QCOMPARE(widget.maximumHeight(), 100.0);
    QCOMPARE(heightIn.count(), 1);
}

void TestPageParts::saveAsDialogReturnsTheTypedText()
{
    QObject owner;
    QPointer<SaveAsDialog> dialog = new SaveAsDialog(QStringLiteral("Save playlist"), &owner);
    QCOMPARE(dialog->parent(), &owner);
    QCOMPARE(dialog->title(), QStringLiteral("Save playlist"));
    QVERIFY(dialog->button(M::SaveButton));
    QVERIFY(dialog->button(M::CancelButton));
    QCOMPARE(dialog->text(), QString());
    QCOMPARE(dialog->textEdit()->lineMode(), MTextEditModel::SingleLine);

    QSignalSpy accepted(dialog.data(), SIGNAL(accepted()));
    dialog->appear(window.get(), MSceneWindow::KeepWhenDone);
    dialog->textEdit()->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(dialog->textEdit()->hasFocus());
    QTest::keyClicks(window.get(), QStringLiteral("Road trip"));
    QCOMPARE(dialog->text(), QStringLiteral("Road trip"));
    dialog->button(M::SaveButton)->click();
    QTRY_COMPARE(accepted.count(), 1);
    QCOMPARE(dialog->text(), QStringLiteral("Road trip"));

    delete dialog.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dialog);
}

void TestPageParts::ditherMatrixAndRounding()
{
    QSet<int> seen;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            seen.insert(PageBackground::threshold(x, y));
    }
    QCOMPARE(seen.size(), 256);
    QCOMPARE(*std::min_element(seen.begin(), seen.end()), 0);
    QCOMPARE(*std::max_element(seen.begin(), seen.end()), 255);
    const int row0[] = { 0, 128, 32, 160 };
    const int column0[] = { 0, 192, 48, 240 };
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(PageBackground::threshold(i, 0), row0[i]);
        QCOMPARE(PageBackground::threshold(0, i), column0[i]);
        QCOMPARE(PageBackground::threshold(i + 16, 32), row0[i]); // the pattern repeats
    }

    QImage source(2, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(1, 1, 1));
    source.setPixel(1, 0, qRgb(1, 1, 1));
    QImage dithered = PageBackground::ditherToRgb16(source);
    QCOMPARE(dithered.format(), QImage::Format_RGB16);
    QCOMPARE(dithered.size(), source.size());
    QCOMPARE(dithered.pixel(0, 0), asRgb16(9, 5, 9)); // threshold 0: one step up
    QCOMPARE(dithered.pixel(1, 0), asRgb16(1, 1, 1)); // threshold 128: as it was

    // The top of each channel never overflows.
    QImage bright(16, 16, QImage::Format_ARGB32);
    bright.fill(qRgb(250, 253, 255));
    dithered = PageBackground::ditherToRgb16(bright);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            QCOMPARE(dithered.pixel(x, y), asRgb16(250, 253, 255));
    }

    // Only 32-bit images are dithered.
    QImage gray(4, 4, QImage::Format_Grayscale8);
    gray.fill(200);
    dithered = PageBackground::ditherToRgb16(gray);
    QCOMPARE(dithered.format(), QImage::Format_RGB16);
    QCOMPARE(dithered.size(), gray.size());
    QVERIFY(PageBackground::ditherToRgb16(QImage()).isNull());
}

void TestPageParts::pagesPaintTheSharedBackgroundOnlyInTheSwitcher()
{
    window->goToPage(PageSongDetails, QVariant());
    auto* page = qobject_cast<QuintaveilPage*>(window->cachedPage(PageSongDetails));
    QVERIFY(page);
    const QImage& shared = PageBackground::image();
    QCOMPARE(shared.size(), QSize(480, 854));
    QCOMPARE(shared.format(), QImage::Format_RGB16);

    auto paintPage = [page] {
        QImage target(page->boundingRect().size().toSize(), QImage::Format_ARGB32);
        target.fill(Qt::magenta);
        QPainter painter(&target);
        QStyleOptionGraphicsItem option;
        option.rect = page->boundingRect().toRect();
        page->paint(&painter, &option, nullptr);
        return target;
    };
    const QPoint probe(10, 10);
    const QRgb sharedAtProbe = shared.pixel(probe.x() * shared.width()
                                                / int(page->boundingRect().width()),
                                            probe.y() * shared.height()
                                                / int(page->boundingRect().height()));

    window->setInSwitcher(false);
    QVERIFY(paintPage().pixel(probe) != sharedAtProbe);

    window->setInSwitcher(true);
    QCOMPARE(paintPage().pixel(probe), sharedAtProbe);

    // The player never paints it.
    window->goToPage(PageNowPlaying);
    auto* player = qobject_cast<QuintaveilPage*>(window->cachedPage(PageNowPlaying));
    QCOMPARE(window->currentPage(), int(PageNowPlaying));
    QVERIFY(paintPage().pixel(probe) != sharedAtProbe);
    Q_UNUSED(player)
    window->setInSwitcher(false);
    window->goToPage(PageMain);
}

PARLOVANCE_TEST_MAIN(TestPageParts)
#include "tst_pageparts.moc"
