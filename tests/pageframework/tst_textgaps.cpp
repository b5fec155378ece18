// Nothing in a row touches: the list cells and the titled container drawn as a user sees them,
// with the gaps between their parts measured on the drawn pixels. A favourite mark stands
// apart from the song's length and from its title, a long second line from the length at the
// row's end, a list picture from the row's text, and a container's title from what is above
// it and from its first row.

#include "common/constants.h"
#include "inkgaps.h"
#include "mcontainer.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "pageframework/albumcontentitem.h"
#include "pageframework/artistcontentitem.h"
#include "pageframework/songcollectionitem.h"
#include "pageframework/songcollectionlistitem.h"
#include "pageframework/songitem.h"
#include "pageframework/tworowssongitem.h"
#include "player/playqueuecontentitem.h"
#include "testenvironment.h"

#include <QGraphicsScene>
#include <QPixmap>
#include <QtTest/QtTest>

namespace {

// What the eye takes for two things rather than one.
const int SeparateText = 6;
// The gap between a list picture and the text beside it.
const int PictureToText = 12;

// A row of the list's width, laid out in a scene of its own.
template <typename Row>
void placeRow(QGraphicsScene* scene, Row* row)
{
    scene->addItem(row);
    const qreal height = row->effectiveSizeHint(Qt::PreferredSize).height();
    row->setGeometry(QRectF(0, 0, 480, height));
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

QPixmap whiteCover()
{
    QPixmap cover(80, 80);
    cover.fill(Qt::white);
    return cover;
}

} // namespace

class TestTextGaps : public QObject
{
    Q_OBJECT

private slots:
    void aFavouriteMarkStandsApartFromTheLength();
    void aFavouriteMarkStandsApartFromALongTitle();
    void aLongSecondLineStandsApartFromTheLength();
    void listPicturesStandApartFromTheRowText();
    void aContainerTitleStandsApartAboveAndBelow();
};

void TestTextGaps::aFavouriteMarkStandsApartFromTheLength()
{
    // An album page's row: a long title, the favourite mark, the length at the end.
    QGraphicsScene scene;
    auto* row = new SongItem;
    row->setTitle(QStringLiteral("That Kind of Morning Light Again and Again"));
    row->infoLabel()->setStyleName(QStringLiteral("CommonSubTitleInverted"));
    row->setInfo(QStringLiteral("00:38"));
    row->imageWidget()->setImage(Constants::IconToolbarFavoriteMarkWhite, QSize(32, 32));
    placeRow(&scene, row);

    const QImage drawn = drawnOnBlack(row);
    const QRect title = inkIn(drawn, areaOf(row, row->titleLabel()));
    const QRect mark = inkIn(drawn, areaOf(row, row->imageWidget()));
    const QRect length = inkIn(drawn, areaOf(row, row->infoLabel()));
    QVERIFY(!title.isEmpty() && !mark.isEmpty() && !length.isEmpty());
    QVERIFY2(blankBetween(mark, length) >= SeparateText,
             qPrintable(QStringLiteral("mark to length: %1").arg(blankBetween(mark, length))));
    QVERIFY2(blankBetween(title, mark) >= SeparateText,
             qPrintable(QStringLiteral("title to mark: %1").arg(blankBetween(title, mark))));
    // The length keeps the row's end margin.
    QVERIFY(length.right() <= 480 - 16);
}

void TestTextGaps::aFavouriteMarkStandsApartFromALongTitle()
{
    // A row of a various-artists album: the mark ends the title's line.
    QGraphicsScene scene;
    auto* row = new TwoRowsSongItem;
    row->setTitle(QStringLiteral("That Kind of Morning Light Again and Again"));
    row->setSubtitle(QStringLiteral("Kim Lark"));
    row->setInfo(QStringLiteral("00:38"));
    row->imageWidget()->setImage(Constants::IconToolbarFavoriteMarkWhite, QSize(32, 32));
    placeRow(&scene, row);

    const QImage drawn = drawnOnBlack(row);
    const QRect title = inkIn(drawn, areaOf(row, row->titleLabel()));
    const QRect mark = inkIn(drawn, areaOf(row, row->imageWidget()));
    QVERIFY(!title.isEmpty() && !mark.isEmpty());
    QVERIFY2(blankBetween(title, mark) >= SeparateText,
             qPrintable(QStringLiteral("title to mark: %1").arg(blankBetween(title, mark))));
}

void TestTextGaps::aLongSecondLineStandsApartFromTheLength()
{
    // The two-line song rows (all songs, a various-artists album, a playlist's songs) whose
    // artist and album fill the second line, whatever its length: one that just fits is not
    // cut short and runs to the end of its room, one that is longer ends in an ellipsis. Either
    // way it ends before the length begins. The song lists give the length the second line's
    // style.
    const QString text = QStringLiteral("Caro & The Wires | Northern Lights of the Harbour "
                                        "Gardens and the Paper Maps");
    QGraphicsScene scene;
    auto* song = new SongCollectionItem;
    auto* various = new TwoRowsSongItem;
    auto* playlist = new SongCollectionListItem(SongCollectionListItem::TwoRows, nullptr);
    const QList<SongCollectionListItem*> rows { song, various, playlist };
    for (SongCollectionListItem* row : rows) {
        const QString kind = QString::fromLatin1(row->metaObject()->className());
        row->setTitle(QStringLiteral("Morning Light"));
        row->subtitleLabel()->setStyleName(QStringLiteral("CommonSubTitleInverted"));
        row->infoLabel()->setStyleName(QStringLiteral("CommonSubTitleInverted"));
        row->setInfo(QStringLiteral("00:38"));
        scene.addItem(row);
        int narrowest = INT_MAX;
        QString narrowestText;
        for (int length = 20; length <= text.size(); ++length) {
            row->setSubtitle(text.left(length));
            const qreal height = row->effectiveSizeHint(Qt::PreferredSize).height();
            row->setGeometry(QRectF(0, 0, 480, height));
            QCoreApplication::processEvents();
            const QImage drawn = drawnOnBlack(row);
            const QRect second = inkIn(drawn, areaOf(row, row->subtitleLabel()));
            const QRect shownLength = inkIn(drawn, areaOf(row, row->infoLabel()));
            QVERIFY2(!second.isEmpty() && !shownLength.isEmpty(), qPrintable(kind));
            // The length keeps the row's end margin.
            QVERIFY2(shownLength.right() <= 480 - 16, qPrintable(kind));
            if (blankBetween(second, shownLength) < narrowest) {
                narrowest = blankBetween(second, shownLength);
                narrowestText = text.left(length);
            }
        }
        QVERIFY2(narrowest >= SeparateText,
                 qPrintable(QStringLiteral("%1: second line \"%2\" to length %3")
                                .arg(kind, narrowestText)
                                .arg(narrowest)));
        scene.removeItem(row);
    }
    qDeleteAll(rows);
}

void TestTextGaps::listPicturesStandApartFromTheRowText()
{
    // The rows of the Albums and Artists lists and of the play queue: the picture, then the
    // title over the second line.
    QGraphicsScene scene;
    auto* album = new AlbumContentItem;
    album->setTitle(QStringLiteral("Visitors"));
    album->setSubtitle(QStringLiteral("Kim Lark"));
    album->setSideBottomTitle(QStringLiteral("2"));
    auto* artist = new ArtistContentItem;
    artist->setTitle(QStringLiteral("Kim Lark"));
    artist->setSubtitle(QStringLiteral("Visitors"));
    auto* queued = new PlayQueueContentItem;
    queued->setTitle(QStringLiteral("That Kind of Morning Light"));
    queued->setSubtitle(QStringLiteral("Kim Lark"));
    queued->setSideBottomTitle(QStringLiteral("00:38"));
    const QList<MDetailedListItem*> rows { album, artist, queued };
    for (MDetailedListItem* row : rows) {
        row->imageWidget()->setPixmap(whiteCover());
        placeRow(&scene, row);
        scene.removeItem(row);
    }
    for (MDetailedListItem* row : rows) {
        scene.addItem(row);
        QCoreApplication::processEvents();
        const QImage drawn = drawnOnBlack(row);
        const QRect picture = inkIn(drawn, areaOf(row, row->imageWidget()));
        const QRect title = inkIn(drawn, areaOf(row, row->titleLabelWidget()));
        const QRect second = inkIn(drawn, areaOf(row, row->subtitleLabelWidget()));
        QVERIFY2(!picture.isEmpty() && !title.isEmpty() && !second.isEmpty(),
                 qPrintable(row->title()));
        QCOMPARE(picture.size(), QSize(80, 80));
        QVERIFY2(blankBetween(picture, title) >= PictureToText,
                 qPrintable(QStringLiteral("%1: picture to title %2")
                                .arg(row->title())
                                .arg(blankBetween(picture, title))));
        QVERIFY2(blankBetween(picture, second) >= PictureToText,
                 qPrintable(QStringLiteral("%1: picture to second line %2")
                                .arg(row->title())
                                .arg(blankBetween(picture, second))));
        scene.removeItem(row);
    }
    qDeleteAll(rows);
}

void TestTextGaps::aContainerTitleStandsApartAboveAndBelow()
{
    // "My playlists" over the user's first playlist, and "Properties" under a song's cover:
    // the title has room above it and keeps away from the first row.
    QGraphicsScene scene;
    auto* container = new MContainer(QStringLiteral("My playlists"));
    container->setStyleName(QStringLiteral("CommonContainerInverted"));
    auto* first = new MLabel(QStringLiteral("Late night"));
    first->setStyleName(QStringLiteral("CommonTitleInverted"));
    container->setCentralWidget(first, true);
    container->setHeaderVisible(true);
    scene.addItem(container);
    container->setGeometry(
        QRectF(0, 0, 480, container->effectiveSizeHint(Qt::PreferredSize).height()));
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();

    const QImage drawn = drawnOnBlack(container);
    const QRect row = inkIn(drawn, areaOf(container, first));
    QRect title = inkIn(drawn, QRectF(0, 0, 480, areaOf(container, first).top()));
    QVERIFY(!title.isEmpty() && !row.isEmpty());
    QVERIFY2(title.top() >= 12, qPrintable(QStringLiteral("above the title: %1").arg(title.top())));
    QVERIFY2(blankBelow(title, row) >= 12,
             qPrintable(QStringLiteral("title to row: %1").arg(blankBelow(title, row))));
    delete container;
}

PARLOVANCE_TEST_MAIN(TestTextGaps)
#include "tst_textgaps.moc"
