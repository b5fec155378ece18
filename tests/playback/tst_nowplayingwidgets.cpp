// The now-playing widgets over the real playback hub playing generated songs through the play
// controller (clocked fake sink): the information panel, the sliding cover, the player
// controls, the player's navigation bar and the now-playing toolbar button. The last test
// stacks them as the player page does and saves a screenshot (into $PARLOVANCE_SCREENSHOT_DIR,
// or "screenshots" in the build tree) for a person to look at.
// Under Xvfb: env DISPLAY=:N QT_QPA_PLATFORM=xcb tst_nowplayingwidgets

#include "radioserver.h"
#include "audiogenerator.h"
#include "albumart/albumartcacheitem.h"
#include "albumart/albumartgenerator.h"
#include "common/constants.h"
#include "hubtestlibrary.h"
#include "inkgaps.h"
#include "mafwtrackermodel.h"
#include "mapplicationpage.h"
#include "mapplicationwindow.h"
#include "mbanner.h"
#include "mbutton.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlocale.h"
#include "mprogressindicator.h"
#include "mscenewindow.h"
#include "mseekbar.h"
#include "mstylablewidget.h"
#include "mpalette.h"
#include "mtheme.h"
#include "pageframework/applicationmenuwidget.h"
#include "pageframework/nowplayingbutton.h"
#include "player/albumartwidget.h"
#include "player/navigationbarwidget.h"
#include "player/nowplayinglabel.h"
#include "player/nowplayingwidget.h"
#include "player/playercontrolswidget.h"
#include "playback/playstate.h"
#include "common/parlovancesettings.h"
#include "testenvironment.h"
#include "phoneplaycontroller.h"
#include "touchdriver.h"
#include "zeltime.h"

#include <QAction>
#include <QDir>
#include <QGestureEvent>
#include <QGraphicsEffect>
#include <QGraphicsLinearLayout>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QSwipeGesture>

namespace {

const int Timeout = 20000;

QPointF centreOf(QGraphicsWidget* widget)
{
    return widget->mapToScene(widget->rect().center());
}

QPixmap filled(int w, int h, const QColor& colour)
{
    QPixmap p(w, h);
    p.fill(colour);
    return p;
}

// The colours a widget paints, read back from an image of its scene.
QImage renderScene(QGraphicsScene* scene)
{
    QImage image(scene->sceneRect().size().toSize(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    scene->render(&painter, QRectF(), scene->sceneRect());
    return image;
}

} // namespace

class TestNowPlayingWidgets : public QObject
{
    Q_OBJECT

private:
    QSharedPointer<MafwTrackerModel> seven;
    QSharedPointer<MafwTrackerModel> red;
    QSharedPointer<MafwTrackerModel> shortSongs;
    PhonePlayController* controls = nullptr;
    MApplicationWindow* window = nullptr;
    MApplicationPage* page = nullptr;

    QString titleOf(const QSharedPointer<MafwTrackerModel>& model, int row) const
    {
        return HubTestLibrary::cell(model.data(), row, Constants::SongTitle).toString();
    }

    // The model alone in the queue, its row playing, shuffle and repeat off.
    PlayState* play(const QSharedPointer<MafwTrackerModel>& model, int row)
    {
        PlayState* hub = PlayState::instance();
        hub->stop(hub->mode());
        hub->setShuffle(false);
        hub->setRepeat(false);
        hub->appendModel(model, PlayState::ReplaceQueue, -1);
        if (hub->startPlayback(row, PlayState::PlayNow) == row)
            waitForState(PlayState::Playing);
        return hub;
    }

    bool waitForState(PlayState::State state, PlayState::PlayingMode mode = PlayState::MusicMode)
    {
        PlayState* hub = PlayState::instance();
        QElapsedTimer waited;
        waited.start();
        while (hub->state(mode) != state && waited.elapsed() < Timeout)
            QTest::qWait(10);
        return hub->state(mode) == state;
    }

    // A page of the test window that holds the widget, on display.
    void showOnPage(QGraphicsWidget* content)
    {
        auto* central = new QGraphicsWidget;
        auto* layout = new QGraphicsLinearLayout(Qt::Vertical, central);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addItem(content);
        layout->addStretch();
        setPageContent(central);
        QCoreApplication::processEvents();
    }

    // The page hands a replaced widget back to whoever gave it: the test deletes it.
    void setPageContent(QGraphicsWidget* central)
    {
        QPointer<QGraphicsWidget> previous = page->centralWidget();
        page->setCentralWidget(central);
        delete previous.data();
    }

    void save(const QString& name)
    {
        QCoreApplication::processEvents();
        const QImage shot = window->grab().toImage();
        QVERIFY(!shot.isNull());
        const QString path = TestEnvironment::screenshotDir() + QLatin1Char('/') + name;
        QVERIFY(shot.save(path));
        qInfo().noquote() << "screenshot:" << path;
    }

private slots:
    void initTestCase()
    {
        MBanner::setDisplayDurationForTesting(50);
        QVERIFY(HubTestLibrary::build());
        seven = HubTestLibrary::album(QStringLiteral("Seven"));
        red = HubTestLibrary::album(QStringLiteral("Red"));
        shortSongs = HubTestLibrary::album(QStringLiteral("Short"));
        QVERIFY(seven && red && shortSongs);
        controls = new PhonePlayController(this);
        PlayState::createInstance(controls);

        window = new MApplicationWindow;
        window->show();
        page = new MApplicationPage;
        page->appear(window);
        QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);
    }

    void cleanupTestCase()
    {
        PlayState::instance()->stop(PlayState::MusicMode);
        delete window;
        PlayState::destroyInstance();
    }

    void infoPanelFollowsTheSong()
    {
        NowPlayingWidget panel(nullptr, PlayState::MusicMode);
        panel.setup();
        QVERIFY(!panel.isTappable());

        PlayState* hub = play(seven, 2);
        panel.updateContent();
        QCOMPARE(panel.titleText()->text(), titleOf(seven, 2));
        QCOMPARE(panel.artistText()->text(), QStringLiteral("Kim"));
        QCOMPARE(panel.albumText()->text(), QStringLiteral("Seven"));
        QCOMPARE(panel.songNumberText()->text(), QStringLiteral("3/7"));
        QVERIFY(panel.descriptionIcon()->isVisible());
        QVERIFY(panel.isTappable());

        // The counter follows the queue as it grows.
        hub->appendModel(red, PlayState::ModelOptions(), -1);
        QTRY_COMPARE(panel.songNumberText()->text(), QStringLiteral("3/9"));

        // The total comes first where the locale writes in Arabic script.
        const MLocale original;
        MLocale::setDefault(MLocale(QStringLiteral("ar_EG")));
        panel.updateSongCountLabel();
        const MLocale arabic;
        QCOMPARE(panel.songNumberText()->text(),
                 arabic.formatNumber(9) + QLatin1Char('/') + arabic.formatNumber(3));
        MLocale::setDefault(original);
        panel.updateSongCountLabel();
        QCOMPARE(panel.songNumberText()->text(), QStringLiteral("3/9"));

        // An emptied queue empties the counter.
        hub->clearPlayQueue();
        QTRY_COMPARE(panel.songNumberText()->text(), QString());
    }

    void aLongTitleStandsApartFromTheCounter()
    {
        // The title ends in an ellipsis before the queue counter, with room between them.
        QGraphicsScene scene;
        auto* panel = new NowPlayingWidget(nullptr, PlayState::MusicMode);
        panel->setup();
        panel->titleText()->setText(QStringLiteral("That Kind of Morning Light Again and Again"));
        panel->songNumberText()->setText(QStringLiteral("1/2"));
        scene.addItem(panel);
        panel->setGeometry(QRectF(0, 0, 480, panel->effectiveSizeHint(Qt::PreferredSize).height()));
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        const QImage drawn = drawnOnBlack(panel);
        const QRect title = inkIn(drawn, areaOf(panel, panel->titleText()));
        const QRect counter = inkIn(drawn, areaOf(panel, panel->songNumberText()));
        QVERIFY(!title.isEmpty() && !counter.isEmpty());
        QVERIFY2(blankBetween(title, counter) >= 8,
                 qPrintable(
                     QStringLiteral("title to counter: %1").arg(blankBetween(title, counter))));
        // The counter keeps the panel's end margin.
        QVERIFY(counter.right() <= 480 - 16);
    }

    void infoPanelPressAndTap()
    {
        auto* panel = new NowPlayingWidget(nullptr, PlayState::MusicMode);
        panel->setup();
        showOnPage(panel);
        play(seven, 0);
        panel->updateContent();
        QSignalSpy tapped(panel, SIGNAL(tapped()));

        TouchDriver(window).press(centreOf(panel));
        for (MStylableWidget* row : { panel->topRow(), panel->bottomRow() }) {
            auto* effect = qobject_cast<QGraphicsOpacityEffect*>(row->graphicsEffect());
            QVERIFY(effect);
            QCOMPARE(effect->opacity(), 0.5);
        }
        TouchDriver(window).release(centreOf(panel));
        QCOMPARE(tapped.count(), 1);
        QVERIFY(!panel->topRow()->graphicsEffect());
        QVERIFY(!panel->bottomRow()->graphicsEffect());

        // A press cut short by the page leaving leaves no dimmed panel.
        TouchDriver(window).press(centreOf(panel));
        QVERIFY(panel->topRow()->graphicsEffect());
        panel->removeGraphicsEffect();
        QVERIFY(!panel->topRow()->graphicsEffect());
        QVERIFY(!panel->bottomRow()->graphicsEffect());
        TouchDriver(window).release(centreOf(panel));
        setPageContent(new QGraphicsWidget);
    }

    void coverScalesAndSlides()
    {
        AlbumArtWidget art(nullptr);
        art.resize(480, 480);
        QCOMPARE(art.preferredSize(), QSizeF(480, 480));

        // A wide cover is scaled to the width and centred; a small square one fills the widget.
        art.setAlbumArt(filled(600, 300, Qt::red), true);
        QCOMPARE(art.albumArt().size(), QSize(480, 240));
        QCOMPARE(art.artOffset(), QPoint(0, 120));
        art.setAlbumArt(filled(300, 300, Qt::blue), true);
        QCOMPARE(art.albumArt().size(), QSize(480, 480));
        QCOMPARE(art.artOffset(), QPoint(0, 0));
        QVERIFY(!art.isSliding());

        // Without a transition wanted the cover slides in from the right.
        QSignalSpy finished(&art, SIGNAL(transitionFinished()));
        art.prepareTransition(false);
        art.setAlbumArt(filled(480, 480, Qt::green));
        QVERIFY(art.isSliding());
        QCOMPARE(art.slideDirection(), QTimeLine::Forward);
        QCOMPARE(art.albumArt().toImage().pixelColor(0, 0), QColor(Qt::blue));
        // A cover arriving mid-slide becomes the incoming one; the slide is not restarted.
        QTest::qWait(150);
        const int frameBefore = art.slideFrame();
        art.setAlbumArt(filled(480, 480, Qt::yellow), true);
        QVERIFY(art.slideFrame() >= frameBefore);
        QCOMPARE(art.incomingArt().toImage().pixelColor(0, 0), QColor(Qt::yellow));
        QVERIFY(finished.wait(2000));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(art.albumArt().toImage().pixelColor(0, 0), QColor(Qt::yellow));
        QCOMPARE(art.slideFrame(), 0);

        // The previous song's cover comes in from the left.
        art.prepareTransition(true);
        QCOMPARE(art.slideFrame(), 480);
        art.setAlbumArt(filled(480, 480, Qt::cyan));
        QCOMPARE(art.slideDirection(), QTimeLine::Backward);
        QVERIFY(finished.wait(2000));
        QCOMPARE(art.albumArt().toImage().pixelColor(0, 0), QColor(Qt::cyan));

        // In the task switcher nothing animates.
        window->setInSwitcher(true);
        art.prepareTransition(false);
        art.setAlbumArt(filled(480, 480, Qt::magenta));
        QVERIFY(!art.isSliding());
        QCOMPARE(art.albumArt().toImage().pixelColor(0, 0), QColor(Qt::magenta));
        window->setInSwitcher(false);
    }

    void coverPaintsWhereItIs()
    {
        // The cover is drawn in its own coordinates, wherever its parent puts it.
        QGraphicsScene scene(0, 0, 480, 854);
        auto* art = new AlbumArtWidget(nullptr);
        scene.addItem(art);
        art->setGeometry(QRectF(0, 200, 480, 480));
        art->setAlbumArt(filled(480, 480, Qt::red), true);
        QImage image = renderScene(&scene);
        QCOMPARE(image.pixelColor(240, 190), QColor(Qt::white));
        QCOMPARE(image.pixelColor(240, 210), QColor(Qt::red));
        QCOMPARE(image.pixelColor(240, 670), QColor(Qt::red));
        QCOMPARE(image.pixelColor(240, 690), QColor(Qt::white));

        // Moved up out of the way (as the play queue does), it moves once, not twice.
        art->setPos(0, -240);
        image = renderScene(&scene);
        QCOMPARE(image.pixelColor(240, 230), QColor(Qt::red));
        QCOMPARE(image.pixelColor(240, 250), QColor(Qt::white));
    }

    void coverSwipesOnTheScreen()
    {
        auto* art = new AlbumArtWidget(nullptr);
        showOnPage(art);
        art->setAlbumArt(filled(480, 480, Qt::darkGreen), true);
        QSignalSpy swiped(art, SIGNAL(swiped(int)));
        QSignalSpy queue(art, SIGNAL(albumArtTapped()));
        play(seven, 1);

        const QPointF c = centreOf(art);
        auto dragBy = [this, c](const QPointF& d) {
            TouchDriver(window).press(c);
            for (int step = 1; step <= 8; ++step)
                TouchDriver(window).move(c + d * step / 8.0);
            TouchDriver(window).release(c + d);
            QCoreApplication::processEvents();
        };
        // To the left: the next song, the new cover coming from the right.
        dragBy(QPointF(-200, 0));
        QTRY_COMPARE(swiped.count(), 1);
        QCOMPARE(swiped.last().first().toInt(), int(AlbumArtWidget::SwipeNext));
        QCOMPARE(art->slideDirection(), QTimeLine::Forward);
        // To the right: the previous song.
        dragBy(QPointF(200, 0));
        QTRY_COMPARE(swiped.count(), 2);
        QCOMPARE(swiped.last().first().toInt(), int(AlbumArtWidget::SwipePrevious));
        QCOMPARE(art->slideDirection(), QTimeLine::Backward);
        // Down is the next song as well.
        dragBy(QPointF(0, 200));
        QTRY_COMPARE(swiped.count(), 3);
        QCOMPARE(swiped.last().first().toInt(), int(AlbumArtWidget::SwipeNext));

        // A tap asks for the play queue; the release is the widget's own tap as well.
        QSignalSpy tapped(art, SIGNAL(tapped()));
        TouchDriver(window).press(c);
        TouchDriver(window).release(c);
        QTRY_COMPARE(queue.count(), 1);
        QCOMPARE(tapped.count(), 1);

        // On a stream a swipe does nothing; a tap still asks for the queue.
        const QString path = TestEnvironment::home() + QStringLiteral("/Desktop/Swipe.ogg");
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile::remove(path);
        QVERIFY(QFile::copy(AudioGenerator::untaggedTemplate(QStringLiteral("ogg"), 3000), path));
        PlayState* hub = PlayState::instance();
        hub->playStream(QUrl::fromLocalFile(path));
        QVERIFY(waitForState(PlayState::Playing, PlayState::RadioMode));
        // The music queue, which the cover shows, is no library song while a stream is live.
        if (hub->contentType(PlayState::MusicMode) != PlayState::SongContent) {
            dragBy(QPointF(-200, 0));
            QTest::qWait(100);
            QCOMPARE(swiped.count(), 3);
        }
        TouchDriver(window).press(c);
        TouchDriver(window).release(c);
        QTRY_COMPARE(queue.count(), 2);
        hub->stop(PlayState::RadioMode);
        setPageContent(new QGraphicsWidget);
    }

    void controlsBeforeAnyReport()
    {
        PlayState::instance()->clearPlayQueue();
        PlayerControlsWidget widget(nullptr, nullptr, PlayState::MusicMode);
        widget.createLayout();
        QCOMPARE(widget.elapsedText()->text(), QStringLiteral("00:00"));
        QCOMPARE(widget.durationText()->text(), QStringLiteral("00:00"));
        // Nothing plays: no seeking, no skipping, the disabled bar without a total time.
        QCOMPARE(widget.shownBar(), int(PlayerControlsWidget::DisabledSeekBar));
        QVERIFY(!widget.seekControl()->isEnabled());
        QCOMPARE(widget.seekControl()->maximum(), 1);
        QVERIFY(!widget.durationText()->isVisible()
                || !widget.durationText()->isVisibleTo(nullptr));
        QCOMPARE(widget.nextControl()->iconID(), Constants::IconNextDimmedWhite);
        QCOMPARE(widget.previousControl()->iconID(), Constants::IconPreviousDimmedWhite);
    }

    void controlsFollowPlayback()
    {
        auto* widget = new PlayerControlsWidget(nullptr, nullptr, PlayState::MusicMode);
        widget->createLayout();
        showOnPage(widget);
        PlayState* hub = play(seven, 0);

        QTRY_COMPARE_WITH_TIMEOUT(widget->durationText()->text(), QStringLiteral("00:30"), Timeout);
        QCOMPARE(widget->shownBar(), int(PlayerControlsWidget::SeekBar));
        QCOMPARE(widget->playControl()->iconID(), Constants::IconPauseWhite);
        QCOMPARE(widget->nextControl()->iconID(), Constants::IconNextWhite);
        QVERIFY(widget->seekControl()->isEnabled());
        QCOMPARE(widget->seekControl()->maximum(), 30);
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::MusicMode) >= 1, Timeout);
        const uint now = hub->position(PlayState::MusicMode);
        QCOMPARE(widget->elapsedText()->text(), ZelTime::timeString(int(now), false));
        QCOMPARE(widget->seekControl()->value(), int(now));

        // Play/pause toggles the hub and the icon.
        TouchDriver(window).press(centreOf(widget->playControl()));
        TouchDriver(window).release(centreOf(widget->playControl()));
        QVERIFY(waitForState(PlayState::Paused));
        QCOMPARE(widget->playControl()->iconID(), Constants::IconPlayWhite);
        widget->togglePlay();
        QVERIFY(waitForState(PlayState::Playing));
        QCOMPARE(widget->playControl()->iconID(), Constants::IconPauseWhite);

        // A short press on next or previous is handed to the owner.
        QSignalSpy nextPressed(widget, SIGNAL(nextPressed()));
        QSignalSpy previousPressed(widget, SIGNAL(previousPressed()));
        TouchDriver(window).press(centreOf(widget->nextControl()));
        QTest::qWait(100);
        TouchDriver(window).release(centreOf(widget->nextControl()));
        QCOMPARE(nextPressed.count(), 1);
        TouchDriver(window).press(centreOf(widget->previousControl()));
        TouchDriver(window).release(centreOf(widget->previousControl()));
        QCOMPARE(previousPressed.count(), 1);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 0);

        // Held for a second, next seeks fast: the shown position runs ahead of playback,
        // and the release plays on from there.
        QVERIFY(hub->position(PlayState::MusicMode) < 8);
        TouchDriver(window).press(centreOf(widget->nextControl()));
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::MusicMode) >= 12, Timeout);
        QVERIFY(widget->elapsedText()->text() >= QStringLiteral("00:12"));
        TouchDriver(window).release(centreOf(widget->nextControl()));
        QCOMPARE(nextPressed.count(), 1);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 0);
        QVERIFY(waitForState(PlayState::Playing));
        QTRY_VERIFY_WITH_TIMEOUT(controls->position() >= 12, Timeout);

        // Held on previous, it rewinds to the start and the hub steps back by itself: the
        // release then changes nothing more.
        hub->setPosition(2, PlayState::MusicMode);
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::MusicMode) <= 3, Timeout);
        TouchDriver(window).press(centreOf(widget->previousControl()));
        QTRY_VERIFY_WITH_TIMEOUT(hub->seekBoundReached(), Timeout);
        TouchDriver(window).release(centreOf(widget->previousControl()));
        QVERIFY(!hub->seekBoundReached());
        QCOMPARE(previousPressed.count(), 1);
        setPageContent(new QGraphicsWidget);
    }

    void controlsSeekOnceOnRelease()
    {
        auto* widget = new PlayerControlsWidget(nullptr, nullptr, PlayState::MusicMode);
        widget->createLayout();
        showOnPage(widget);
        PlayState* hub = play(seven, 3);
        QTRY_COMPARE_WITH_TIMEOUT(widget->seekControl()->maximum(), 30, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(widget->seekControl()->value() >= 1, Timeout);

        // Dragging moves the time text only; playback keeps its place until the release.
        MSeekBar* bar = widget->seekControl();
        const QRectF r = bar->mapRectToScene(bar->rect());
        const QPointF from(r.left() + r.width() * 0.05, r.center().y());
        const QPointF to(r.left() + r.width() * 0.66, r.center().y());
        QSignalSpy positions(hub, SIGNAL(positionChanged(uint)));
        TouchDriver(window).press(
            bar->mapToScene(QPointF(bar->rect().width() * bar->value() / 30.0, r.height() / 2)));
        for (int step = 1; step <= 10; ++step)
            TouchDriver(window).move(from + (to - from) * step / 10.0);
        const int dragged = bar->value();
        QVERIFY2(dragged >= 15, qPrintable(QString::number(dragged)));
        QCOMPARE(widget->elapsedText()->text(), ZelTime::timeString(dragged, false));
        QTest::qWait(1200);
        QVERIFY(controls->position() < 10);
        QCOMPARE(widget->elapsedText()->text(), ZelTime::timeString(dragged, false));
        TouchDriver(window).release(to);
        QTRY_VERIFY_WITH_TIMEOUT(controls->position() >= uint(dragged), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::MusicMode) >= uint(dragged), Timeout);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 3);
        setPageContent(new QGraphicsWidget);
    }

    void controlsShowNoOldPositionAfterAnAutomaticChange()
    {
        auto* widget = new PlayerControlsWidget(nullptr, nullptr, PlayState::MusicMode);
        widget->createLayout();
        showOnPage(widget);
        // The first song plays a while and ends by itself: from the change on, the second
        // song's position shows. Watched from the start, as the short song may end before a
        // loaded machine's poll would see it under way.
        bool playedAWhile = false;
        QStringList shown;
        QObject watcher;
        PlayState* hub = nullptr;
        auto watch = [&] {
            const int index = hub->currentIndex(PlayState::MusicMode);
            if (index == 0 && hub->position(PlayState::MusicMode) >= 2)
                playedAWhile = true;
            else if (index == 1 && playedAWhile)
                shown << widget->elapsedText()->text();
        };
        hub = play(shortSongs, 0);
        connect(hub, &PlayState::positionChanged, &watcher, watch);
        QTRY_VERIFY_WITH_TIMEOUT(playedAWhile, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(hub->currentIndex(PlayState::MusicMode), 1, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(shown.size() >= 2, Timeout);
        QVERIFY2(shown.first() == QStringLiteral("00:00"), qPrintable(shown.join(' ')));
        hub->stop(PlayState::MusicMode);
        setPageContent(new QGraphicsWidget);
    }

    void controlsDuringACallOrAResourceLoss()
    {
        PlayerControlsWidget widget(nullptr, nullptr, PlayState::MusicMode);
        widget.createLayout();
        PlayState* hub = play(seven, 1);
        QTRY_COMPARE_WITH_TIMEOUT(widget.nextControl()->iconID(), Constants::IconNextWhite,
                                  Timeout);

        // A call disables everything; its end enables the controls at once.
        controls->setCallActive(true);
        QVERIFY(!widget.playControl()->isEnabled());
        QCOMPARE(widget.playControl()->iconID(), Constants::IconPlayDimmedWhite);
        QVERIFY(!widget.nextControl()->isEnabled());
        widget.togglePlay();
        QCOMPARE(hub->state(PlayState::MusicMode), hub->state(PlayState::MusicMode));
        controls->setCallActive(false);
        controls->setAudioResourcesAvailable(true);
        QVERIFY(widget.playControl()->isEnabled());
        QVERIFY(widget.nextControl()->isEnabled());

        // Resources lost without a call: the controls come back by themselves.
        controls->setAudioResourcesAvailable(false);
        QVERIFY(!widget.playControl()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(widget.playControl()->isEnabled(), 8000);
        QVERIFY(hub->isAudioAvailable());
        hub->stop(PlayState::MusicMode);
    }

    void controlsOfAStream()
    {
        const QString audio = AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 20000);
        QFile source(audio);
        QVERIFY(source.open(QIODevice::ReadOnly));
        RadioServer server;
        QVERIFY(server.start());
        RadioServer::Resource stream;
        stream.contentType = "audio/mpeg";
        stream.body = source.readAll();
        server.addResource("/song.mp3", stream);

        // The stream plays in the radio mode, which the player sheet's controls show.
        PlayerControlsWidget widget(nullptr, nullptr, PlayState::RadioMode);
        widget.createLayout();
        PlayState* hub = PlayState::instance();
        QSignalSpy bars(hub, SIGNAL(bufferingStateChanged(bool)));
        hub->playStream(server.url("/song.mp3"));
        QVERIFY(waitForState(PlayState::Playing, PlayState::RadioMode));
        QCOMPARE(hub->contentType(PlayState::RadioMode), PlayState::UrlContent);
        if (!hub->isSeekable(PlayState::RadioMode)) {
            QTRY_COMPARE(widget.playControl()->iconID(), Constants::IconStopWhite);
            QVERIFY(!widget.seekControl()->isEnabled());
            QCOMPARE(widget.shownBar(), int(PlayerControlsWidget::DisabledSeekBar));
        }
        QVERIFY(!widget.nextControl()->isEnabled() || hub->isSeekable(PlayState::RadioMode));
        hub->stop(PlayState::RadioMode);
    }

    void navigationBarIcons()
    {
        NavigationBarWidget bar;
        // Everything but the leading button starts disabled and dimmed.
        QCOMPARE(bar.shuffleControl()->iconID(), Constants::IconShuffleDimmedWhite);
        QCOMPARE(bar.repeatControl()->iconID(), Constants::IconRepeatDimmedWhite);
        QCOMPARE(bar.favoriteControl()->iconID(), Constants::IconFavoriteUnmarkDimmedWhite);
        QCOMPARE(bar.menuControl()->iconID(), Constants::IconViewMenuDimmedWhite);
        QVERIFY(!bar.menuControl()->isEnabled());
        QCOMPARE(bar.backControl()->iconID(), Constants::IconBackWhite);
        QVERIFY(bar.isBackButtonLayout());

        // A disabled button keeps the dimmed icon whatever its flag; enabled, the flag shows.
        bar.setShuffle(true);
        QCOMPARE(bar.shuffleControl()->iconID(), Constants::IconShuffleDimmedWhite);
        bar.setShuffleButtonEnabled(true);
        QCOMPARE(bar.shuffleControl()->iconID(), Constants::IconShuffleWhiteSelected);
        bar.setShuffle(false);
        QCOMPARE(bar.shuffleControl()->iconID(), Constants::IconShuffleWhite);
        bar.setRepeatButtonEnabled(true);
        bar.setRepeat(true);
        QCOMPARE(bar.repeatControl()->iconID(), Constants::IconRepeatWhiteSelected);
        bar.setFavoriteButtonEnabled(true);
        QCOMPARE(bar.favoriteControl()->iconID(), Constants::IconFavoriteUnmarkWhite);
        bar.setFavorite(true);
        QCOMPARE(bar.favoriteControl()->iconID(), Constants::IconFavoriteMarkWhite);
        bar.setBackButtonEnabled(false);
        QCOMPARE(bar.backControl()->iconID(), Constants::IconBackDimmedWhite);

        // A click asks for the other state and leaves the icon to the page.
        QSignalSpy shuffle(&bar, SIGNAL(shuffleButtonClicked(bool)));
        QSignalSpy repeat(&bar, SIGNAL(repeatButtonClicked(bool)));
        bar.shuffleControl()->click();
        QCOMPARE(shuffle.last().first().toBool(), true);
        bar.setShuffle(true);
        bar.shuffleControl()->click();
        QCOMPARE(shuffle.last().first().toBool(), false);
        QCOMPARE(bar.shuffleControl()->iconID(), Constants::IconShuffleWhiteSelected);
        bar.repeatControl()->click();
        QCOMPARE(repeat.last().first().toBool(), false);

        // The two leading buttons swap with the layouts.
        bar.useMusicButtonLayout();
        QVERIFY(!bar.isBackButtonLayout());
        QCOMPARE(bar.musicControl()->iconID(), Constants::IconLargeMusic);
        bar.useBackButtonLayout();
        QVERIFY(bar.isBackButtonLayout());
    }

    void navigationBarMenu()
    {
        auto* bar = new NavigationBarWidget;
        showOnPage(bar);
        QSignalSpy counts(bar->applicationMenu(), SIGNAL(menuActionsChanged(int)));
        QAction first(QStringLiteral("First"), nullptr);
        QAction second(QStringLiteral("Second"), nullptr);
        QAction third(QStringLiteral("Third"), nullptr);
        bar->addMenuAction(&first);
        bar->addMenuAction(&second);
        bar->addMenuAction(&third);
        bar->removeMenuAction(&second);
        QList<int> told;
        for (const QList<QVariant>& call : qAsConst(counts))
            told << call.first().toInt();
        QCOMPARE(told, (QList<int> { 1, 2, 3, 2 }));
        QVERIFY(bar->menuControl()->isEnabled());
        QCOMPARE(bar->menuControl()->iconID(), Constants::IconViewMenuWhite);

        // The menu button opens and closes the menu; the task switcher closes it.
        TouchDriver(window).press(centreOf(bar->menuControl()));
        TouchDriver(window).release(centreOf(bar->menuControl()));
        QTRY_COMPARE(bar->applicationMenu()->sceneWindowState(), MSceneWindow::Appeared);
        save(QStringLiteral("navigationbar-menu.png"));
        bar->toggleApplicationMenu();
        QTRY_COMPARE(bar->applicationMenu()->sceneWindowState(), MSceneWindow::Disappeared);
        bar->toggleApplicationMenu();
        QTRY_COMPARE(bar->applicationMenu()->sceneWindowState(), MSceneWindow::Appeared);
        window->setInSwitcher(true);
        QTRY_COMPARE(bar->applicationMenu()->sceneWindowState(), MSceneWindow::Disappeared);
        window->setInSwitcher(false);

        // Removing the last action disables the button and closes an open menu.
        bar->toggleApplicationMenu();
        QTRY_COMPARE(bar->applicationMenu()->sceneWindowState(), MSceneWindow::Appeared);
        bar->removeMenuAction(&first);
        bar->removeMenuAction(&third);
        QVERIFY(!bar->menuControl()->isEnabled());
        QCOMPARE(bar->menuControl()->iconID(), Constants::IconViewMenuDimmedWhite);
        QTRY_COMPARE(bar->applicationMenu()->sceneWindowState(), MSceneWindow::Disappeared);

        // Back and music close the menu and say so.
        QSignalSpy back(bar, SIGNAL(backButtonClicked()));
        QSignalSpy music(bar, SIGNAL(musicButtonClicked()));
        TouchDriver(window).press(centreOf(bar->backControl()));
        TouchDriver(window).release(centreOf(bar->backControl()));
        QCOMPARE(back.count(), 1);
        bar->useMusicButtonLayout();
        QCoreApplication::processEvents();
        TouchDriver(window).press(centreOf(bar->musicControl()));
        TouchDriver(window).release(centreOf(bar->musicControl()));
        QCOMPARE(music.count(), 1);
        setPageContent(new QGraphicsWidget);
    }

    void navigationBarSteersTheHub()
    {
        // Wired as the player page wires it: the page answers a click by changing the hub
        // and setting the bar's flag.
        NavigationBarWidget bar;
        PlayState* hub = play(seven, 4);
        bar.setShuffleButtonEnabled(true);
        bar.setRepeatButtonEnabled(true);
        bar.setFavoriteButtonEnabled(true);
        connect(&bar, &NavigationBarWidget::shuffleButtonClicked, &bar, [&](bool on) {
            hub->setShuffle(on);
            bar.setShuffle(on);
        });
        connect(&bar, &NavigationBarWidget::repeatButtonClicked, &bar, [&](bool on) {
            hub->setRepeat(on, true);
            bar.setRepeat(on);
        });
        connect(&bar, &NavigationBarWidget::favoriteButtonClicked, hub,
                &PlayState::toggleFavoriteState);
        connect(hub, &PlayState::favoriteState, &bar,
                [&](const QString&, bool on) { bar.setFavorite(on); });

        bar.shuffleControl()->click();
        QVERIFY(hub->isShuffle());
        QCOMPARE(bar.shuffleControl()->iconID(), Constants::IconShuffleWhiteSelected);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 4));
        bar.shuffleControl()->click();
        QVERIFY(!hub->isShuffle());
        QCOMPARE(bar.shuffleControl()->iconID(), Constants::IconShuffleWhite);

        bar.repeatControl()->click();
        QVERIFY(hub->isRepeat());
        QCOMPARE(bar.repeatControl()->iconID(), Constants::IconRepeatWhiteSelected);
        QCOMPARE(ParlovanceSettings().value(Constants::RepeatOn).toBool(), true);
        bar.repeatControl()->click();
        QVERIFY(!hub->isRepeat());

        // The favourite mark reaches the store.
        const int songId = hub->songId(PlayState::MusicMode);
        const QString query = QStringLiteral("SELECT tracker:id(?s) WHERE { ?s a nmm:MusicPiece ; "
                                             "nao:hasTag nao:predefined-tag-favorite . "
                                             "FILTER(tracker:id(?s) = %1) }")
                                  .arg(songId);
        QVERIFY(HubTestLibrary::firstCell(query).isNull());
        bar.favoriteControl()->click();
        QCOMPARE(bar.favoriteControl()->iconID(), Constants::IconFavoriteMarkWhite);
        QTRY_VERIFY_WITH_TIMEOUT(!HubTestLibrary::firstCell(query).isNull(), Timeout);
        bar.favoriteControl()->click();
        QCOMPARE(bar.favoriteControl()->iconID(), Constants::IconFavoriteUnmarkWhite);
        QTRY_VERIFY_WITH_TIMEOUT(HubTestLibrary::firstCell(query).isNull(), Timeout);
        hub->stop(PlayState::MusicMode);
    }

    void toolbarButtonFollowsTheQueue()
    {
        PlayState* hub = PlayState::instance();
        hub->clearPlayQueue();
        NowPlayingButton button(nullptr);
        QSignalSpy visibility(&button, SIGNAL(visibilityChanged()));
        QVERIFY(!button.isButtonVisible());

        play(seven, 5);
        QVERIFY(button.isButtonVisible());
        QCOMPARE(button.playerButton()->text(), titleOf(seven, 5));
        QCOMPARE(button.playerButton()->iconID(), QStringLiteral("icon-s-music-video-play-accent"));
        hub->pause();
        QVERIFY(waitForState(PlayState::Paused));
        QCOMPARE(button.playerButton()->iconID(),
                 QStringLiteral("icon-s-music-video-pause-accent"));

        // The icon is drawn: an accented glyph on a clear ground, not a filled square.
        const QImage icon = MTheme::pixmap(button.playerButton()->iconID()).toImage();
        QVERIFY(!icon.isNull());
        int clear = 0;
        int accent = 0;
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                const QColor c = icon.pixelColor(x, y);
                if (c.alpha() == 0)
                    ++clear;
                else if (c.rgb() == MTheme::palette().firstAccentColor().rgb())
                    ++accent;
            }
        }
        QVERIFY2(clear > icon.width() * icon.height() / 4, qPrintable(QString::number(clear)));
        QVERIFY(accent > 0);

        // An emptied queue hides the button at once.
        const int before = visibility.count();
        hub->clearPlayQueue();
        QVERIFY(!button.isButtonVisible());
        QVERIFY(visibility.count() > before);
    }

    void labelFollowsTheSong()
    {
        auto* label = new NowPlayingLabel(QStringLiteral("NowPlayingLabel"), nullptr);
        label->setOverlayTextLabelStyleName(QStringLiteral("NowPlayingLabelText"));
        label->setOverlayBackgroundStyleName(QStringLiteral("NowPlayingLabelBackground"));
        label->setSmallImageStyleName(QStringLiteral("NowPlayingLabelIcon"));
        label->setPreferredSize(318, 318);
        label->setMinimumSize(318, 318);
        showOnPage(label);
        QSignalSpy clicked(label, SIGNAL(clicked()));

        // Shown at once: title, cover and the playing image.
        PlayState* hub = play(seven, 0);
        label->updateNowPlayingLabel(true);
        QCOMPARE(label->title(), titleOf(seven, 0));
        QCOMPARE(label->smallImage(),
                 QStringLiteral("icon-m-toolbar-mediacontrol-play-white-selected"));
        QTRY_VERIFY_WITH_TIMEOUT(!label->image().isNull(), Timeout);
        QCOMPARE(label->opacity(), 1.0);
        const qint64 sevenCover = label->image().cacheKey();

        // The next song of the same album changes the title only.
        hub->next(-1);
        label->updateNowPlayingLabel();
        QCOMPARE(label->title(), titleOf(seven, 1));
        QTest::qWait(50);
        QCOMPARE(label->opacity(), 1.0);
        QCOMPARE(label->image().cacheKey(), sevenCover);

        // Another album: the old cover fades out, the new one fades in.
        play(red, 0);
        label->updateNowPlayingLabel();
        QTRY_VERIFY_WITH_TIMEOUT(label->opacity() < 1.0, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(label->image().cacheKey() != sevenCover, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(label->opacity(), 1.0, Timeout);
        save(QStringLiteral("nowplaying-label.png"));

        // While the grid fades out, the cover waits for it.
        const qint64 redCover = label->image().cacheKey();
        label->handleLatestActivityWidgetStartsHiding();
        play(seven, 3);
        label->updateNowPlayingLabel();
        QTRY_VERIFY_WITH_TIMEOUT(!label->waitingArt().isNull(), Timeout);
        QCOMPARE(label->image().cacheKey(), redCover);
        label->setPreloadedArtAndTitle();
        QVERIFY(label->image().cacheKey() != redCover);
        QCOMPARE(label->title(), titleOf(seven, 3));
        QCOMPARE(label->opacity(), 1.0);

        // A paused song shows the pause image; a tap says so.
        hub->pause();
        QVERIFY(waitForState(PlayState::Paused));
        label->updatePlaybackStateIcon();
        QCOMPARE(label->smallImage(),
                 QStringLiteral("icon-m-toolbar-mediacontrol-pause-white-selected"));
        TouchDriver(window).tap(centreOf(label));
        QCOMPARE(clicked.count(), 1);
        hub->stop(PlayState::MusicMode);
        setPageContent(new QGraphicsWidget);
    }

    void labelsIconLeavesTheWordsOfADrawnCover()
    {
        // A cover drawn from a long name: its words start at the top left and run to the
        // right edge. The playback image lies over none of them.
        auto* label = new NowPlayingLabel(QStringLiteral("NowPlayingLabel"), nullptr);
        label->setOverlayTextLabelStyleName(QStringLiteral("NowPlayingLabelText"));
        label->setOverlayBackgroundStyleName(QStringLiteral("NowPlayingLabelBackground"));
        label->setSmallImageStyleName(QStringLiteral("NowPlayingLabelIcon"));
        label->setMinimumSize(318, 318);
        label->setPreferredSize(318, 318);
        label->setMaximumSize(318, 318);
        showOnPage(label);
        PlayState::instance()->stop(PlayState::MusicMode);
        QVERIFY(waitForState(PlayState::Stopped));
        label->updatePlaybackStateIcon();
        QCOMPARE(label->smallImage(),
                 QStringLiteral("icon-m-toolbar-mediacontrol-stop-white-selected"));
        label->setTitle(QStringLiteral("Beacon"));
        AlbumArtGenerator generator(nullptr);
        const QPixmap cover = generator.generateAlbumArt(
            AlbumArtCacheItem(QStringLiteral("The Lighthouse Keepers"), QString(),
                              QStringLiteral("nowPlayingLabel"), AlbumArtType::AlbumArt),
            false);
        QCOMPARE(cover.size(), QSize(318, 318));
        label->setImage(cover);
        QCoreApplication::processEvents();
        QCOMPARE(label->size(), QSizeF(318, 318));

        MImageWidget* icon = nullptr;
        for (QGraphicsItem* part : label->childItems()) {
            auto* image = qobject_cast<MImageWidget*>(part->toGraphicsObject());
            if (image && image->imageId() == label->smallImage())
                icon = image;
        }
        QVERIFY(icon && icon->isVisible());
        const QRect iconArea = icon->mapRectToItem(label, icon->rect()).toAlignedRect();
        // The words are drawn in their colour, the pattern behind them faded.
        const QColor ink = generator.colorForText(QStringLiteral("THE LIGHTHOUSE KEEPERS"));
        const QImage words = cover.toImage();
        int covered = 0;
        const QRect area = iconArea & words.rect();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = words.pixelColor(x, y);
                if (qAbs(c.red() - ink.red()) < 40 && qAbs(c.green() - ink.green()) < 40
                    && qAbs(c.blue() - ink.blue()) < 40)
                    ++covered;
            }
        }
        QVERIFY2(covered == 0, qPrintable(QStringLiteral("the image at %1,%2 covers %3 pixels "
                                                         "of the cover's words")
                                              .arg(iconArea.x())
                                              .arg(iconArea.y())
                                              .arg(covered)));
        // It is drawn, in the lower half of the label and beside the title, not over it.
        QVERIFY(!inkIn(drawnOnBlack(label), iconArea).isEmpty());
        QVERIFY(iconArea.bottom() < 318 && iconArea.top() > 318 / 2);
        MLabel* title = nullptr;
        QList<QGraphicsItem*> parts = label->childItems();
        while (!parts.isEmpty() && !title) {
            QGraphicsItem* part = parts.takeFirst();
            title = qobject_cast<MLabel*>(part->toGraphicsObject());
            parts << part->childItems();
        }
        QVERIFY(title);
        QVERIFY(!title->mapRectToItem(label, title->rect()).intersects(QRectF(iconArea)));
        save(QStringLiteral("nowplaying-label-drawn-cover.png"));
        setPageContent(new QGraphicsWidget);
    }

    void stackedAsOnThePlayerPage()
    {
        // The widgets in the order the player page stacks them, playing the third of seven.
        auto* central = new QGraphicsWidget;
        auto* layout = new QGraphicsLinearLayout(Qt::Vertical, central);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto* bar = new NavigationBarWidget;
        auto* art = new AlbumArtWidget(nullptr);
        auto* panel = new NowPlayingWidget(nullptr, PlayState::MusicMode);
        panel->setup();
        panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
        auto* controlsWidget = new PlayerControlsWidget(nullptr, nullptr, PlayState::MusicMode);
        controlsWidget->createLayout();
        controlsWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
        auto* spare = new QGraphicsWidget;
        spare->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
        auto* bottom = new MStylableWidget;
        bottom->setStyleName(QStringLiteral("PlayerViewBottomSpacer"));
        bottom->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        for (QGraphicsLayoutItem* item : std::initializer_list<QGraphicsLayoutItem*> {
                 art, panel, spare, controlsWidget, bottom })
            layout->addItem(item);
        setPageContent(central);
        page->setCustomNavigationBarContent(bar);

        PlayState* hub = play(seven, 2);
        panel->updateContent();
        bar->setShuffleButtonEnabled(true);
        bar->setRepeatButtonEnabled(true);
        bar->setRepeat(true);
        bar->setFavoriteButtonEnabled(true);
        QAction extra(QStringLiteral("Play album"), nullptr);
        bar->addMenuAction(&extra);
        QImage cover(600, 600, QImage::Format_RGB32);
        {
            QPainter painter(&cover);
            QLinearGradient gradient(0, 0, 600, 600);
            gradient.setColorAt(0, QColor(0x30, 0x60, 0xa0));
            gradient.setColorAt(1, QColor(0xa0, 0x30, 0x60));
            painter.fillRect(cover.rect(), gradient);
            painter.setPen(Qt::white);
            QFont font;
            font.setPixelSize(120);
            painter.setFont(font);
            painter.drawText(cover.rect(), Qt::AlignCenter, QStringLiteral("SEVEN"));
        }
        art->setAlbumArt(QPixmap::fromImage(cover), true);
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::MusicMode) >= 2, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(controlsWidget->durationText()->text(), QStringLiteral("00:30"),
                                  Timeout);

        // Top to bottom, nothing overlaps and everything fits the screen.
        const QList<QGraphicsWidget*> order { bar, art, panel, controlsWidget };
        for (int i = 1; i < order.size(); ++i) {
            const QRectF above = order.at(i - 1)->mapRectToScene(order.at(i - 1)->rect());
            const QRectF below = order.at(i)->mapRectToScene(order.at(i)->rect());
            QVERIFY2(below.top() >= above.bottom() - 0.5,
                     qPrintable(QStringLiteral("%1 overlaps the widget above").arg(i)));
        }
        save(QStringLiteral("nowplaying-widgets.png"));
        QCOMPARE(art->size(), QSizeF(480, 480));
        QVERIFY2(controlsWidget->mapRectToScene(controlsWidget->rect()).bottom() <= 854,
                 qPrintable(QString::number(
                     controlsWidget->mapRectToScene(controlsWidget->rect()).bottom())));

        // The library pages' toolbar button: the song's title beside its playback icon.
        auto* library = new MApplicationPage;
        auto* button = new NowPlayingButton(library);
        library->addAction(button);
        library->setCentralWidget(new QGraphicsWidget);
        library->appear(window);
        QTRY_COMPARE(library->sceneWindowState(), MSceneWindow::Appeared);
        QVERIFY(button->isButtonVisible());
        save(QStringLiteral("nowplaying-toolbar-button.png"));
        page->appear(window);
        QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);
        delete library;
        setPageContent(new QGraphicsWidget);
        page->setCustomNavigationBarContent(nullptr);
        hub->stop(PlayState::MusicMode);
    }
};

PARLOVANCE_TEST_MAIN(TestNowPlayingWidgets)

#include "tst_nowplayingwidgets.moc"
