// The whole player as a user meets it: the built program on an X display of a phone's size,
// with a generated library in a private home, a private session bus, taps and keys through the
// window system. Each step checks what shows on the screen (the texts the windows show, found
// again as ink in a screenshot of the display) and what the playback service tells other
// programs; no shown text may be a raw text id. The steps follow one another like a user's
// session, so a step relies on where the one before it left the player.

#include "playerdriver.h"
#include "testenvironment.h"
#include "virtualdisplay.h"

#include <QDBusConnection>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>

namespace {

const int ScreenWidth = 480;
const int ScreenHeight = 854;
const int Timeout = 30000;
const int SongCount = 30;
// A second album of the first artist, so the artist opens on its albums.
const QString SecondAlbumArtist = QStringLiteral("Ada Lumen");
const QString SecondAlbum = QStringLiteral("Paper Maps");
const QStringList SecondAlbumTitles = { QStringLiteral("Lighthouse Letters"),
                                        QStringLiteral("Northbound Train"),
                                        QStringLiteral("Saltwater Lines") };
const QString PlaylistName = QStringLiteral("Tour mix");
const int SongSeconds = 120;

// What the playback service answers.
const int Stopped = 0;
const int Playing = 1;
const int Paused = 2;

// The now-playing page's controls are icons; they stand where a phone's thumb finds them.
const QPoint BackButton(36, 36);
const QPoint FavouriteButton(138, 36);
const QPoint ShuffleButton(240, 36);
const QPoint RepeatButton(342, 36);
const QPoint PreviousButton(92, 722);
const QPoint PlayPauseButton(240, 722);
const QPoint NextButton(388, 722);
const QPoint DetailsButton(447, 607);
const QPoint Cover(240, 300);
const int SeekBarY = 790;
const int SeekBarLeft = 30;
const int SeekBarRight = 450;
// The library pages' lists end where the now-playing bar begins; the bar shows a title too.
const int ListBottom = 782;

const QStringList LibraryButtons = { QStringLiteral("Artists"), QStringLiteral("Albums"),
                                     QStringLiteral("Songs"), QStringLiteral("Playlists") };

int luminance(QRgb pixel)
{
    return (qRed(pixel) * 299 + qGreen(pixel) * 587 + qBlue(pixel) * 114) / 1000;
}

// Pixels of the area that stand out from its darkest colour: text or an icon drawn there.
int inkIn(const QImage& image, const QRect& area)
{
    const QRect rect = area & image.rect();
    int darkest = 255;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            darkest = qMin(darkest, luminance(image.pixel(x, y)));
    }
    int ink = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            ink += luminance(image.pixel(x, y)) - darkest > 48 ? 1 : 0;
    }
    return ink;
}

// Pixels in the theme's orange accent: a toggle that is on.
int accentIn(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            count += qRed(p) > 200 && qGreen(p) > 80 && qGreen(p) < 200 && qBlue(p) < 90 ? 1 : 0;
        }
    }
    return count;
}

// Pixels near white: the favourite star is filled when on.
int brightIn(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += luminance(image.pixel(x, y)) > 200 ? 1 : 0;
    }
    return count;
}

QRect around(const QPoint& centre, int half = 22)
{
    return QRect(centre.x() - half, centre.y() - half, 2 * half, 2 * half);
}

// How far two crops of one size differ, 0 to 255 per channel on average.
int difference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 255;
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q))
                   + qAbs(qBlue(p) - qBlue(q));
        }
    }
    return int(sum / (3 * a.width() * a.height()));
}

} // namespace

// Ends the test function when a helper it called has failed.
#define CHECK(call)                                                                                \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

class TestUserTour : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void mainPageWhileTheLibraryIsIndexed();
    void albumsArtistsAndPlayFromAnAlbum();
    void playFromAllSongs();
    void nowPlayingControls();
    void playQueue();
    void filterAllSongsAndPlay();
    void songDetails();
    void deleteASong();
    void addASongToANewPlaylistAndPlayIt();
    void latestActivityGrid();
    void steerOverTheBus();
    void quitAndRestartKeepEverything();

private:
    // Takes a screenshot for people to look at and checks that no shown text is a raw id.
    void look(const QString& step);
    // Waits until the text shows and is drawn on the display; its place on the screen goes
    // into *where.
    void expectShown(const QString& text, QRect* where = nullptr);
    void expectGone(const QString& text);
    void tapText(const QString& text);
    // Drags the list up until the text shows above the now-playing bar.
    void scrollTo(const QString& text);
    // What the screen shows, with places, but for the times that move on while a song plays.
    QStringList stillTexts() const;
    // Waits until what shows stops moving: a page coming in, a list scrolling.
    void waitUntilStill();
    bool onMainPage() const;
    // The texts of the main page's grid of latest activities, in reading order.
    QStringList gridTitles() const;
    // The names of the latest activities in the settings file, newest first.
    QStringList storedActivities() const;
    // Back, a page at a time, as far as the main page.
    void backToMainPage();
    // The "current/total" counter of the now-playing page, once it shows.
    QString counter() const;
    // The position time at the left end under the seek bar, in seconds; -1 when none shows.
    int shownPosition() const;
    // The titles of the library shown above the given line, from the top down.
    QStringList shownTitles(int bottom = ScreenHeight) const;
    // Every shown text, for a failure's message.
    QString screenTexts() const;
    QImage crop(const QPoint& centre) const;
    QString fileOf(const QString& title) const;

    PlayerDriver player { QStringLiteral(PARLOVANCE_PROGRAM) };
    int steps = 0;
    bool stepFailed = false;
    QStringList titles; // every song's title, in the order the all-songs list shows them
    QString favourite;
    QString deleted;
    int favouriteStarBright = 0;
    QString playlistSong;
};

void TestUserTour::initTestCase()
{
    QVERIFY2(QProcess::execute(QStringLiteral("xdotool"), { QStringLiteral("version") }) == 0,
             "xdotool is missing: scripts/install-deps installs it");
    QCOMPARE(QProcess::execute(QStringLiteral(PARLOVANCE_MAKE_LIBRARY),
                               { TestEnvironment::musicDir(), QString::number(SongCount),
                                 QString::number(SongSeconds) }),
             0);
    for (int track = 1; track <= SecondAlbumTitles.size(); ++track) {
        const QString title = SecondAlbumTitles.at(track - 1);
        const QString file = QStringLiteral("%1/%2/%3/%4 %5.ogg")
                                 .arg(TestEnvironment::musicDir(), SecondAlbumArtist, SecondAlbum)
                                 .arg(track, 2, 10, QLatin1Char('0'))
                                 .arg(title);
        QCOMPARE(QProcess::execute(QStringLiteral(PARLOVANCE_MAKE_LIBRARY),
                                   { QStringLiteral("--song"), file, title, SecondAlbumArtist,
                                     SecondAlbum, QStringLiteral("Folk"), QString::number(track),
                                     QString::number(SongSeconds) }),
                 0);
    }
    QDirIterator files(TestEnvironment::musicDir(),
                       { QStringLiteral("*.ogg"), QStringLiteral("*.mp3"),
                         QStringLiteral("*.flac") },
                       QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        titles << QFileInfo(files.next()).completeBaseName().section(QLatin1Char(' '), 1);
    std::sort(titles.begin(), titles.end());
    QCOMPARE(titles.size(), SongCount + SecondAlbumTitles.size());
    QVERIFY2(std::adjacent_find(titles.cbegin(), titles.cend()) == titles.cend(),
             "the tour tells songs apart by their titles");
}

void TestUserTour::init()
{
    // Each step starts where the one before left the player.
    if (stepFailed)
        QSKIP("an earlier step of the tour failed");
}

void TestUserTour::cleanup()
{
    if (QTest::currentTestFailed()) {
        stepFailed = true;
        qInfo().noquote() << "the program's log:\n" + player.log().right(4000);
        player.screenshot().save(TestEnvironment::screenshotDir()
                                 + QStringLiteral("/tour-failed.png"));
    }
}

void TestUserTour::cleanupTestCase()
{
    if (player.isRunning())
        QVERIFY(player.stop());
}

void TestUserTour::look(const QString& step)
{
    const QImage shot = player.screenshot();
    QVERIFY(!shot.isNull());
    shot.save(TestEnvironment::screenshotDir()
              + QStringLiteral("/tour-%1-%2.png").arg(++steps, 2, 10, QLatin1Char('0')).arg(step));
    static const QRegularExpression rawId(QStringLiteral("\\bqtn_[a-z]+_"));
    for (const PlayerDriver::ShownText& shown : player.shownTexts())
        QVERIFY2(!rawId.match(shown.text).hasMatch(),
                 qPrintable(step + QStringLiteral(": a raw text id shows: ") + shown.text));
}

void TestUserTour::expectShown(const QString& text, QRect* where)
{
    QRect rect;
    QTRY_VERIFY2_WITH_TIMEOUT(!(rect = player.find(text)).isEmpty(),
                              qPrintable(QStringLiteral("not shown: ") + text + screenTexts()),
                              Timeout);
    // The program says it shows the text: the display has it too.
    QTRY_VERIFY2_WITH_TIMEOUT(inkIn(player.screenshot(), rect) > 4,
                              qPrintable(QStringLiteral("not on the display: ") + text), Timeout);
    if (where)
        *where = rect;
}

void TestUserTour::expectGone(const QString& text)
{
    QTRY_VERIFY2_WITH_TIMEOUT(!player.shows(text),
                              qPrintable(QStringLiteral("still shown: ") + text), Timeout);
}

void TestUserTour::tapText(const QString& text)
{
    QRect rect;
    CHECK(expectShown(text, &rect));
    player.tap(rect.center());
}

void TestUserTour::scrollTo(const QString& text)
{
    // A text the list cuts off shows as a thin strip ending where the list ends; one clear of
    // the list's end shows whole.
    auto clear = [](const QRect& rect) {
        return !rect.isEmpty() && rect.bottom() < ListBottom - 24;
    };
    for (int drags = 0; drags < 10 && !clear(player.find(text)); ++drags) {
        player.drag(QPoint(ScreenWidth / 2, ListBottom - 150), QPoint(ScreenWidth / 2, 300));
        CHECK(waitUntilStill());
    }
    QRect rect;
    CHECK(expectShown(text, &rect));
    QVERIFY2(clear(rect), qPrintable(QStringLiteral("not scrolled to: ") + text + screenTexts()));
}

QStringList TestUserTour::stillTexts() const
{
    static const QRegularExpression moving(QStringLiteral("^[\\d:/]+$"));
    QStringList texts;
    for (const PlayerDriver::ShownText& shown : player.shownTexts()) {
        if (!moving.match(shown.text).hasMatch())
            texts << QStringLiteral("%1@%2,%3")
                         .arg(shown.text)
                         .arg(shown.rect.x())
                         .arg(shown.rect.y());
    }
    return texts;
}

void TestUserTour::waitUntilStill()
{
    QStringList last;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QTest::qWait(250);
            const QStringList now = stillTexts();
            const bool still = now == last;
            last = now;
            return still;
        }(),
        Timeout);
}

bool TestUserTour::onMainPage() const
{
    const QList<PlayerDriver::ShownText> texts = player.shownTexts();
    for (const QString& button : LibraryButtons) {
        if (std::none_of(texts.cbegin(), texts.cend(),
                         [&](const PlayerDriver::ShownText& text) { return text.text == button; }))
            return false;
    }
    return true;
}

QStringList TestUserTour::gridTitles() const
{
    const QRect buttons = player.find(LibraryButtons.first());
    QList<PlayerDriver::ShownText> tiles;
    for (const PlayerDriver::ShownText& text : player.shownTexts()) {
        if (!buttons.isEmpty() && text.rect.bottom() < buttons.top())
            tiles << text;
    }
    std::sort(tiles.begin(), tiles.end(),
              [](const PlayerDriver::ShownText& a, const PlayerDriver::ShownText& b) {
                  return qMakePair(a.rect.top() / 8, a.rect.left())
                         < qMakePair(b.rect.top() / 8, b.rect.left());
              });
    QStringList names;
    for (const PlayerDriver::ShownText& tile : tiles)
        names << tile.text;
    return names;
}

QStringList TestUserTour::storedActivities() const
{
    QSettings settings(TestEnvironment::configHome() + QStringLiteral("/Vaspe/Music.conf"),
                       QSettings::IniFormat);
    QStringList names;
    const int count = settings.beginReadArray(QStringLiteral("Activities"));
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        names << settings.value(QStringLiteral("Name")).toString();
    }
    settings.endArray();
    return names;
}

void TestUserTour::backToMainPage()
{
    for (int pages = 0; pages < 6 && !onMainPage(); ++pages) {
        CHECK(waitUntilStill());
        const QStringList before = stillTexts();
        player.tap(BackButton);
        QTRY_VERIFY2_WITH_TIMEOUT(stillTexts() != before,
                                  qPrintable(QStringLiteral("Back left the page as it was")
                                             + screenTexts()),
                                  Timeout);
    }
    QTRY_VERIFY2_WITH_TIMEOUT(onMainPage(), qPrintable(screenTexts()), Timeout);
}

QString TestUserTour::counter() const
{
    static const QRegularExpression pattern(QStringLiteral("^\\d+/\\d+$"));
    for (const PlayerDriver::ShownText& shown : player.shownTexts()) {
        if (pattern.match(shown.text).hasMatch())
            return shown.text;
    }
    return QString();
}

int TestUserTour::shownPosition() const
{
    static const QRegularExpression time(QStringLiteral("^(\\d\\d):(\\d\\d)$"));
    for (const PlayerDriver::ShownText& shown : player.shownTexts()) {
        const QRegularExpressionMatch match = time.match(shown.text);
        if (match.hasMatch() && shown.rect.left() < ScreenWidth / 2 && shown.rect.top() > SeekBarY)
            return match.captured(1).toInt() * 60 + match.captured(2).toInt();
    }
    return -1;
}

QStringList TestUserTour::shownTitles(int bottom) const
{
    QList<PlayerDriver::ShownText> rows;
    for (const PlayerDriver::ShownText& text : player.shownTexts()) {
        if (titles.contains(text.text) && text.rect.top() < bottom)
            rows << text;
    }
    std::sort(rows.begin(), rows.end(),
              [](const PlayerDriver::ShownText& a, const PlayerDriver::ShownText& b) {
                  return a.rect.top() < b.rect.top();
              });
    QStringList shown;
    for (const PlayerDriver::ShownText& row : rows)
        shown << row.text;
    return shown;
}

QString TestUserTour::screenTexts() const
{
    QStringList texts;
    for (const PlayerDriver::ShownText& text : player.shownTexts())
        texts << QLatin1Char('"') + text.text + QLatin1Char('"');
    return QStringLiteral("; the screen shows ") + texts.join(QStringLiteral(", "));
}

QImage TestUserTour::crop(const QPoint& centre) const
{
    return player.screenshot().copy(around(centre));
}

QString TestUserTour::fileOf(const QString& title) const
{
    QDirIterator files(TestEnvironment::musicDir(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (QFileInfo(path).completeBaseName().section(QLatin1Char(' '), 1) == title)
            return path;
    }
    return QString();
}

void TestUserTour::mainPageWhileTheLibraryIsIndexed()
{
    QVERIFY(player.start());
    // The first start indexes the whole library; the main page tells so until it is done.
    bool updating = false;
    QTRY_VERIFY_WITH_TIMEOUT((updating = updating
                                         || player.shows(QStringLiteral("Updating library…")),
                              player.shows(QStringLiteral("Songs"))
                                  && !player.shows(QStringLiteral("Updating library…"))),
                             Timeout);
    for (const QString& button : LibraryButtons)
        CHECK(expectShown(button));
    CHECK(look(QStringLiteral("main")));
    qInfo() << "indexing notice seen:" << updating;
}

void TestUserTour::albumsArtistsAndPlayFromAnAlbum()
{
    CHECK(tapText(QStringLiteral("Albums")));
    CHECK(expectShown(QStringLiteral("Shuffle")));
    for (const QString& album :
         { QStringLiteral("Copper Signals"), QStringLiteral("Glass Rivers") })
        CHECK(expectShown(album));
    CHECK(look(QStringLiteral("albums")));
    CHECK(backToMainPage());

    CHECK(tapText(QStringLiteral("Artists")));
    for (const QString& artist : { SecondAlbumArtist, QStringLiteral("Bruno Vale") })
        CHECK(expectShown(artist));
    CHECK(look(QStringLiteral("artists")));
    // An artist of two albums opens on them, with a row of all the artist's songs.
    CHECK(tapText(SecondAlbumArtist));
    CHECK(expectShown(QStringLiteral("Northern Lights")));
    CHECK(expectShown(SecondAlbum));
    CHECK(expectShown(QStringLiteral("3 songs")));
    CHECK(look(QStringLiteral("albums-of-an-artist")));
    CHECK(tapText(QStringLiteral("All songs")));
    for (const QString& title : SecondAlbumTitles)
        CHECK(expectShown(title));
    CHECK(expectShown(QStringLiteral("Echo Morning")));
    CHECK(look(QStringLiteral("songs-of-an-artist")));
    player.tap(BackButton);
    // The songs' page names the album too, above its songs: the album's row is looked for
    // once that page has gone.
    CHECK(expectGone(SecondAlbumTitles.first()));

    // The album lists its songs in track order; a tap plays the album from that song.
    CHECK(tapText(SecondAlbum));
    QTRY_COMPARE_WITH_TIMEOUT(shownTitles(ListBottom), SecondAlbumTitles, Timeout);
    CHECK(look(QStringLiteral("album")));
    CHECK(tapText(SecondAlbumTitles.at(1)));
    QTRY_COMPARE_WITH_TIMEOUT(player.media().value(1), SecondAlbumTitles.at(1), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(counter(), QStringLiteral("2/3"), Timeout);
    CHECK(expectShown(SecondAlbum));
    CHECK(backToMainPage());
}

void TestUserTour::playFromAllSongs()
{
    CHECK(tapText(QStringLiteral("Songs")));
    CHECK(expectShown(QStringLiteral("Shuffle")));
    // The list begins with the first titles in their order.
    CHECK(expectShown(titles.at(0)));
    CHECK(expectShown(titles.at(1)));
    const QRect first = player.find(titles.at(0));
    QVERIFY(first.top() < player.find(titles.at(1)).top());
    CHECK(look(QStringLiteral("all-songs")));

    player.tap(first.center());
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    // The list shows the title too: it is looked for once the player, with its counter, has
    // come.
    QTRY_COMPARE_WITH_TIMEOUT(counter(), QStringLiteral("1/%1").arg(titles.size()), Timeout);
    CHECK(expectShown(titles.at(0)));
    QTRY_COMPARE_WITH_TIMEOUT(player.media().value(1), titles.at(0), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(shownPosition() >= 1, Timeout);
    CHECK(look(QStringLiteral("now-playing")));
}

void TestUserTour::nowPlayingControls()
{
    for (const QPoint& control : { BackButton, FavouriteButton, ShuffleButton, RepeatButton,
                                   PreviousButton, PlayPauseButton, NextButton, DetailsButton })
        QTRY_VERIFY2_WITH_TIMEOUT(
            inkIn(player.screenshot(), around(control)) > 20,
            qPrintable(QStringLiteral("no control at %1,%2").arg(control.x()).arg(control.y())),
            Timeout);

    player.tap(NextButton);
    CHECK(expectShown(titles.at(1)));
    QTRY_COMPARE_WITH_TIMEOUT(counter(), QStringLiteral("2/%1").arg(titles.size()), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(player.media().value(1), titles.at(1), Timeout);

    const QImage playing = crop(PlayPauseButton);
    player.tap(PlayPauseButton);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Paused, Timeout);
    QTRY_VERIFY2_WITH_TIMEOUT(difference(crop(PlayPauseButton), playing) > 8,
                              "the pause button did not turn into a play button", Timeout);

    // Seeking to the middle of the song, paused: the time under the bar follows the finger.
    player.drag(QPoint(SeekBarLeft + 4, SeekBarY),
                QPoint((SeekBarLeft + SeekBarRight) / 2, SeekBarY));
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(shownPosition() - SongSeconds / 2) <= SongSeconds / 6, Timeout);
    CHECK(look(QStringLiteral("seeked")));

    // Previous goes back to the start of a song heard for a while, then to the song before.
    player.tap(PreviousButton);
    QTRY_COMPARE_WITH_TIMEOUT(shownPosition(), 0, Timeout);
    QVERIFY(player.shows(titles.at(1)));
    player.tap(PreviousButton);
    CHECK(expectShown(titles.at(0)));
    QTRY_COMPARE_WITH_TIMEOUT(counter(), QStringLiteral("1/%1").arg(titles.size()), Timeout);
    player.tap(PlayPauseButton);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);

    // Shuffle and repeat light up in the accent colour when tapped; the favourite star fills.
    for (const QPoint& toggle : { ShuffleButton, RepeatButton }) {
        QVERIFY(accentIn(crop(toggle)) < 10);
        player.tap(toggle);
        QTRY_VERIFY_WITH_TIMEOUT(accentIn(crop(toggle)) > 40, Timeout);
    }
    const int starOff = brightIn(crop(FavouriteButton));
    player.tap(FavouriteButton);
    QTRY_VERIFY_WITH_TIMEOUT(brightIn(crop(FavouriteButton)) > 2 * starOff + 20, Timeout);
    favouriteStarBright = brightIn(crop(FavouriteButton));
    favourite = titles.at(0);
    CHECK(look(QStringLiteral("toggled")));
}

void TestUserTour::playQueue()
{
    player.tap(Cover);
    QRect header;
    CHECK(expectShown(QStringLiteral("Play queue"), &header));
    // The queue lists the songs; shuffled, it begins with the one playing and goes on in
    // another order than the list's.
    QTRY_VERIFY_WITH_TIMEOUT(shownTitles().size() >= 4, Timeout);
    const QStringList queue = shownTitles();
    QCOMPARE(queue.first(), favourite);
    QVERIFY2(queue != titles.mid(0, queue.size()), qPrintable(queue.join(QStringLiteral(", "))));
    CHECK(look(QStringLiteral("queue")));
    // The arrow at the right end of its header closes it.
    player.tap(QPoint(ScreenWidth - 48, header.center().y()));
    CHECK(expectGone(QStringLiteral("Play queue")));
    QTRY_COMPARE_WITH_TIMEOUT(shownTitles(), QStringList { favourite }, Timeout);
}

void TestUserTour::filterAllSongsAndPlay()
{
    player.tap(BackButton);
    CHECK(expectShown(QStringLiteral("Shuffle")));
    const QString filter = QStringLiteral("wild");
    QStringList matches;
    for (const QString& title : titles) {
        if (title.contains(filter, Qt::CaseInsensitive))
            matches << title;
    }
    QVERIFY(matches.size() >= 3);
    player.type(filter);
    CHECK(expectShown(filter));
    // Only the matches are left, in their order.
    QTRY_VERIFY2_WITH_TIMEOUT(shownTitles(ListBottom).size() >= 3
                                  && shownTitles(ListBottom)
                                         == matches.mid(0, shownTitles(ListBottom).size()),
                              qPrintable(screenTexts()), Timeout);
    CHECK(look(QStringLiteral("filtered")));

    // A filtered list plays its matches.
    const QString chosen = matches.at(1);
    CHECK(tapText(chosen));
    QTRY_COMPARE_WITH_TIMEOUT(player.media().value(1), chosen, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(counter().endsWith(QStringLiteral("/%1").arg(matches.size())),
                             Timeout);
    CHECK(expectShown(chosen));
}

void TestUserTour::songDetails()
{
    const QString playing = player.media().value(1);
    const QString artist = player.media().value(2);
    QVERIFY(!artist.isEmpty());
    player.tap(DetailsButton);
    CHECK(expectShown(QStringLiteral("Artist: ") + artist));
    CHECK(expectShown(playing));
    CHECK(expectShown(QStringLiteral("Properties")));
    CHECK(look(QStringLiteral("details")));
    player.tap(BackButton);
    QTRY_VERIFY_WITH_TIMEOUT(!counter().isEmpty(), Timeout);
}

void TestUserTour::deleteASong()
{
    // The filter goes when the page is left: the whole list is back. The player may show the
    // title looked for as well: it is looked for once the player, with its counter, has gone.
    player.tap(BackButton);
    QTRY_VERIFY_WITH_TIMEOUT(counter().isEmpty(), Timeout);
    CHECK(expectShown(titles.at(1)));
    QVERIFY(!player.shows(QStringLiteral("wild")));
    deleted = titles.at(1);
    const QString file = fileOf(deleted);
    QVERIFY(QFileInfo::exists(file));

    QRect row;
    CHECK(expectShown(deleted, &row));
    player.hold(row.center());
    CHECK(tapText(QStringLiteral("Delete")));
    CHECK(expectShown(QStringLiteral("Delete song?")));
    CHECK(look(QStringLiteral("delete-dialog")));
    CHECK(tapText(QStringLiteral("Yes")));
    CHECK(expectGone(deleted));
    CHECK(expectShown(titles.at(0)));
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(file), Timeout);
    titles.removeOne(deleted);
    CHECK(look(QStringLiteral("deleted")));
}

void TestUserTour::addASongToANewPlaylistAndPlayIt()
{
    playlistSong = titles.at(2);
    QRect row;
    CHECK(expectShown(playlistSong, &row));
    player.hold(row.center());
    CHECK(tapText(QStringLiteral("Add to playlist")));
    CHECK(tapText(QStringLiteral("New playlist")));
    CHECK(expectShown(QStringLiteral("Save as")));
    player.type(PlaylistName);
    CHECK(expectShown(PlaylistName));
    CHECK(look(QStringLiteral("new-playlist")));
    CHECK(tapText(QStringLiteral("Save")));
    CHECK(expectGone(QStringLiteral("Save as")));

    CHECK(backToMainPage());
    CHECK(tapText(QStringLiteral("Playlists")));
    // The library's playlist files come first, the user's own last, under their own title.
    CHECK(expectShown(QStringLiteral("Road trip")));
    CHECK(scrollTo(PlaylistName));
    CHECK(expectShown(QStringLiteral("My playlists")));
    CHECK(look(QStringLiteral("playlists")));
    CHECK(tapText(PlaylistName));
    // The playlist's row says "1 song" too: the count is looked for once its page has come.
    CHECK(expectGone(QStringLiteral("My playlists")));
    CHECK(expectShown(QStringLiteral("1 song")));
    CHECK(look(QStringLiteral("playlist")));
    CHECK(tapText(playlistSong));
    QTRY_COMPARE_WITH_TIMEOUT(player.media().value(1), playlistSong, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(counter(), QStringLiteral("1/1"), Timeout);
}

void TestUserTour::latestActivityGrid()
{
    CHECK(backToMainPage());
    // What plays leads the grid on a large tile of its own, named after the song, above the
    // library buttons; beside it what was played before it (the playlist is what plays).
    QRect label;
    CHECK(expectShown(playlistSong, &label));
    CHECK(expectShown(QStringLiteral("All songs")));
    QVERIFY(label.bottom() < player.find(LibraryButtons.first()).top());
    QVERIFY2(!gridTitles().contains(PlaylistName),
             qPrintable(gridTitles().join(QStringLiteral(", "))));
    CHECK(look(QStringLiteral("latest-activity")));
    // What was played is recorded, the latest first.
    QTRY_VERIFY2_WITH_TIMEOUT(storedActivities().value(0) == PlaylistName
                                  && storedActivities().contains(SecondAlbum),
                              qPrintable(storedActivities().join(QStringLiteral(", "))), Timeout);

    // A tap on what plays, paused, plays on and opens the now-playing page.
    QCOMPARE(player.call(QStringLiteral("pausePlayback")).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Paused, Timeout);
    player.tap(label.center());
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(counter(), QStringLiteral("1/1"), Timeout);
    CHECK(expectShown(playlistSong));
}

void TestUserTour::steerOverTheBus()
{
    const QString title = titles.last();
    QCOMPARE(player.call(QStringLiteral("play"), { QStringList { fileOf(title) } }).type(),
             QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(player.media().value(1), title, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    // The program shows what plays.
    CHECK(expectShown(title));
    QTRY_VERIFY_WITH_TIMEOUT(!counter().isEmpty(), Timeout);

    QCOMPARE(player.call(QStringLiteral("pausePlayback")).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Paused, Timeout);
    CHECK(look(QStringLiteral("paused-over-the-bus")));
}

void TestUserTour::quitAndRestartKeepEverything()
{
    QVERIFY(player.stop());
    for (const QString& line : player.log().split(QLatin1Char('\n')))
        QVERIFY2(!TestEnvironment::isBadConnection(line), qPrintable(line));
    QVERIFY(!QFileInfo::exists(fileOf(deleted)));
    {
        QSettings settings(TestEnvironment::configHome() + QStringLiteral("/Vaspe/Music.conf"),
                           QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("ShuffleOn")).toInt(), 1);
        QCOMPARE(settings.value(QStringLiteral("RepeatOn")).toBool(), true);
    }
    // The latest activities are written when the program ends.
    QCOMPARE(storedActivities().value(0), PlaylistName);

    QVERIFY(player.start());
    QTRY_VERIFY_WITH_TIMEOUT(player.shows(QStringLiteral("Songs"))
                                 && !player.shows(QStringLiteral("Updating library…")),
                             Timeout);
    CHECK(look(QStringLiteral("restarted")));
    QCOMPARE(player.playbackState(), Stopped);
    // The latest activities as they were, the whole grid of them now that nothing plays;
    // a tap on one plays it again.
    QTRY_VERIFY2_WITH_TIMEOUT(gridTitles().mid(0, 2)
                                  == QStringList({ PlaylistName, QStringLiteral("All songs") }),
                              qPrintable(gridTitles().join(QStringLiteral(", "))), Timeout);
    CHECK(look(QStringLiteral("latest-activity-kept")));
    CHECK(tapText(PlaylistName));
    QTRY_COMPARE_WITH_TIMEOUT(player.media().value(1), playlistSong, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(counter(), QStringLiteral("1/1"), Timeout);
    QCOMPARE(player.call(QStringLiteral("pausePlayback")).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Paused, Timeout);
    CHECK(backToMainPage());

    // The user's playlist with its song.
    CHECK(tapText(QStringLiteral("Playlists")));
    CHECK(scrollTo(PlaylistName));
    CHECK(tapText(PlaylistName));
    // The playlist's row says "1 song" too: the count is looked for once its page has come.
    CHECK(expectGone(QStringLiteral("My playlists")));
    CHECK(expectShown(QStringLiteral("1 song")));
    CHECK(expectShown(playlistSong));
    CHECK(backToMainPage());

    // The library as it was left: the deleted song stays gone, the favourite stays one.
    QRect row;
    CHECK(tapText(QStringLiteral("Songs")));
    CHECK(expectShown(titles.at(0)));
    QVERIFY(!player.shows(deleted));
    CHECK(expectShown(favourite, &row));
    player.hold(row.center());
    CHECK(expectShown(QStringLiteral("Remove from favourites")));
    CHECK(look(QStringLiteral("favourite-kept")));
    // A tap beside the menu closes it.
    player.tap(QPoint(ScreenWidth / 2, 110));
    CHECK(expectGone(QStringLiteral("Remove from favourites")));

    // Shuffle and repeat stay on for the next song played.
    CHECK(tapText(favourite));
    QTRY_COMPARE_WITH_TIMEOUT(player.playbackState(), Playing, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(accentIn(crop(ShuffleButton)) > 40, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(accentIn(crop(RepeatButton)) > 40, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(brightIn(crop(FavouriteButton)) >= favouriteStarBright * 4 / 5,
                             Timeout);
    CHECK(look(QStringLiteral("settings-kept")));
}

int main(int argc, char** argv)
{
    TestEnvironment::prepare();
    VirtualDisplay display;
    if (!display.start(ScreenWidth, ScreenHeight))
        return 1;
    // The test's own application only takes screenshots of the display.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    TestUserTour tour;
    QTEST_SET_MAIN_SOURCE_PATH
    return TestEnvironment::exec(&tour, argc, argv);
}

#include "tst_usertour.moc"
