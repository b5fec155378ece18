// The small widgets of the collection pages: the main-page row, the title header, the shuffle
// row that hides when there is nothing to shuffle, the song list's repaint when the queue
// empties, and the artist rows with their album line, highlighting and placeholder picture.

#include "albumart/albumartloader.h"
#include "testcatalogs.h"
#include "data/listmodel.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlocale.h"
#include "mseparator.h"
#include "mwidgetrecycler.h"
#include "pageframework/artistcontentitem.h"
#include "pageframework/artistslistcellcreator.h"
#include "pageframework/collectionviewshufflewidget.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/mainpagelistitem.h"
#include "pageframework/songlist.h"
#include "playback/playstate.h"
#include "testenvironment.h"

#include <QGraphicsGridLayout>
#include <QSignalSpy>
#include <QStandardItemModel>

namespace {

QSharedPointer<QStandardItemModel> songsWithGenres(const QStringList& genres)
{
    auto model = QSharedPointer<QStandardItemModel>::create(0, 7);
    model->setHorizontalHeaderLabels(
        { "songUri", "songTitle", "artistName", "albumName", "songLength", "favorited", "genre" });
    for (const QString& genre : genres) {
        QList<QStandardItem*> row;
        for (int c = 0; c < 6; ++c)
            row << new QStandardItem(QStringLiteral("x"));
        row << new QStandardItem(genre);
        model->appendRow(row);
    }
    return model;
}

} // namespace

class TestCollectionWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void mainPageRowPlacesItsPartsByLayout();
    void titleHeaderHoldsTwoLinesAndADivider();
    void shuffleRowHidesWithNothingToShuffle();
    void shuffleRowRelaysItsTap();
    void songListRepaintsWhenTheQueueEmpties();
    void artistRowsShowTheirAlbumLine();
};

void TestCollectionWidgets::initTestCase()
{
    installTestCatalogs();
}

void TestCollectionWidgets::mainPageRowPlacesItsPartsByLayout()
{
    MainPageListItem row(MainPageListItem::TitleAndIcon);
    row.setTitle(QStringLiteral("Songs"));
    row.setSubtitle(QStringLiteral("never shown"));
    row.setImage(QStringLiteral("icon-m-common-drilldown-arrow-inverse"));
    QCOMPARE(row.title(), QStringLiteral("Songs"));
    QCOMPARE(row.subtitle(), QStringLiteral("never shown"));
    QCOMPARE(row.imageId(), QStringLiteral("icon-m-common-drilldown-arrow-inverse"));
    auto* grid = static_cast<QGraphicsGridLayout*>(row.layout());
    QCOMPARE(grid->count(), 2);
    QCOMPARE(grid->itemAt(0, 0), static_cast<QGraphicsLayoutItem*>(row.titleLabel()));
    QCOMPARE(grid->itemAt(0, 1), static_cast<QGraphicsLayoutItem*>(row.icon()));
    QVERIFY(!row.subtitleLabel()->isVisible());
    // The title takes the free width; a long one ends in an ellipsis before the icon.
    QCOMPARE(grid->columnStretchFactor(0), 1);
    QVERIFY(row.titleLabel()->textElide());
    QCOMPARE(row.styleName(), QStringLiteral("CommonSmallPanelInverted"));

    MainPageListItem plain(0);
    auto* plainGrid = static_cast<QGraphicsGridLayout*>(plain.layout());
    QCOMPARE(plainGrid->count(), 1);
    QVERIFY(plain.icon()); // made, but not placed

    MainPageListItem both(MainPageListItem::TitleSubtitleAndIcon);
    auto* bothGrid = static_cast<QGraphicsGridLayout*>(both.layout());
    QCOMPARE(bothGrid->count(), 3);
    QCOMPARE(bothGrid->itemAt(1, 0), static_cast<QGraphicsLayoutItem*>(both.subtitleLabel()));
}

void TestCollectionWidgets::titleHeaderHoldsTwoLinesAndADivider()
{
    CollectionViewTitleWidget title(true, nullptr);
    title.setText(QStringLiteral("Songs"));
    QCOMPARE(title.text(), QStringLiteral("Songs"));
    QCOMPARE(title.label()->styleName(), QStringLiteral("CommonHeaderInverted"));
    QCOMPARE(title.label()->preferredLineCount(), 2);
    QVERIFY(title.separator());
    QCOMPARE(title.separator()->styleName(), QStringLiteral("CommonHeaderDividerInverted"));
    QCOMPARE(title.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);

    CollectionViewTitleWidget bare(false, nullptr);
    QVERIFY(!bare.separator());
}

void TestCollectionWidgets::shuffleRowHidesWithNothingToShuffle()
{
    CollectionViewShuffleWidget row(false, nullptr);
    QVERIFY(!row.isShown());
    QCOMPARE(row.styleName(), QStringLiteral("CommonXLargeSpacer"));
    // A style given while hidden waits until the row shows.
    row.setVisibleStyleName(QStringLiteral("CommonBasicSmallPanelInverted"));
    QCOMPARE(row.styleName(), QStringLiteral("CommonXLargeSpacer"));

    // No rows: hidden even with a minimum of one.
    auto model = songsWithGenres({});
    row.setModel(model, 1);
    QVERIFY(!row.isShown());

    // Two needed: one song hides, a second one shows it.
    model = songsWithGenres({ "Pop" });
    row.setModel(model, 2);
    QVERIFY(!row.isShown());
    model->appendRow({ new QStandardItem("u"), new QStandardItem("t"), new QStandardItem("a"),
                       new QStandardItem("b"), new QStandardItem("1"), new QStandardItem("0"),
                       new QStandardItem("Rock") });
    QVERIFY(row.isShown());
    QCOMPARE(row.styleName(), QStringLiteral("CommonBasicSmallPanelInverted"));
    model->removeRow(0);
    QVERIFY(!row.isShown());

    // Spoken word only, in any letter case, is never shuffled; one song among it is enough.
    model = songsWithGenres({ "PodCast", "audiobook", "AUDIOBOOK" });
    row.setModel(model, 2);
    QVERIFY(!row.isShown());
    model->setData(model->index(1, 6), QStringLiteral("Jazz"));
    model->appendRow({ new QStandardItem("u"), new QStandardItem("t"), new QStandardItem("a"),
                       new QStandardItem("b"), new QStandardItem("1"), new QStandardItem("0"),
                       new QStandardItem("podcast") });
    QVERIFY(row.isShown());

    // A model without a genre column only needs its rows.
    auto plain = QSharedPointer<QStandardItemModel>::create(2, 2);
    row.setModel(plain, 2);
    QVERIFY(row.isShown());
    row.setModel(plain, 3);
    QVERIFY(!row.isShown());
}

void TestCollectionWidgets::shuffleRowRelaysItsTap()
{
    for (bool mainPageStyle : { false, true }) {
        CollectionViewShuffleWidget row(mainPageStyle, nullptr);
        QSignalSpy clicked(&row, SIGNAL(shuffleClicked()));
        QVERIFY(row.rowItem());
        emit row.rowItem()->clicked();
        QCOMPARE(clicked.count(), 1);
        if (mainPageStyle) {
            auto* item = qobject_cast<MainPageListItem*>(row.rowItem());
            QVERIFY(item);
            QCOMPARE(item->title(), QStringLiteral("Shuffle"));
            QCOMPARE(item->imageId(), QStringLiteral("icon-m-music-video-shuffle-on"));
        }
    }
}

void TestCollectionWidgets::songListRepaintsWhenTheQueueEmpties()
{
    SongList list(nullptr);
    QCOMPARE(list.currentSongId(), PlayState::instance()->songId(PlayState::MusicMode));
    auto model = songsWithGenres({ "Pop", "Rock", "Jazz" });
    ListModel adapter(false, nullptr);
    adapter.setSourceModel(model);
    list.setItemModel(&adapter);
    list.resize(480, 400);
    QSignalSpy changed(&adapter, SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)));

    emit PlayState::instance()->songCountChanged(5);
    QCOMPARE(changed.count(), 0);
    emit PlayState::instance()->songCountChanged(0);
    QCOMPARE(list.currentSongId(), -1);
    QCOMPARE(list.previousSongId(), -1);

    // A list over any other model never repaints on song changes.
    SongList other(nullptr);
    other.setItemModel(model.data());
    QSignalSpy otherChanged(model.data(),
                            SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)));
    other.updateVisibleItems();
    QCOMPARE(otherChanged.count(), 0);
}

void TestCollectionWidgets::artistRowsShowTheirAlbumLine()
{
    auto model = QSharedPointer<QStandardItemModel>::create(0, 4);
    model->setHorizontalHeaderLabels({ "artistId", "artistName", "albumName", "numberOfAlbums" });
    auto add = [&model](const QString& artist, const QString& albums, int count) {
        model->appendRow({ new QStandardItem(QStringLiteral("1")), new QStandardItem(artist),
                           new QStandardItem(albums), new QStandardItem(QString::number(count)) });
    };
    add("Kim", "Blue\tBlue", 1);
    add("Lee", "Green\tGreen", 2);
    add("Ann", "One\tTwo\tThree", 3);
    add("Nia", "", 1);
    ListModel adapter(false, nullptr);
    adapter.setSourceModel(model);

    AlbumArtLoader loader(AlbumArtType::ArtistArt, QStringLiteral("common"), nullptr);
    ArtistsListCellCreator creator(&loader, ArtistColumns(), nullptr);
    QVERIFY(creator.cellSize().height() > 0);
    MWidgetRecycler recycler;
    auto cellFor = [&](int row) {
        return qobject_cast<ArtistContentItem*>(
            creator.createCell(adapter.index(row, 0), recycler));
    };

    ArtistContentItem* kim = cellFor(0);
    QVERIFY(kim);
    QCOMPARE(kim->title(), QStringLiteral("Kim"));
    QCOMPARE(kim->subtitle(), QStringLiteral("Blue")); // one distinct album
    QVERIFY(kim->imageWidget()->pixmap());             // the placeholder while the picture loads

    creator.setFilterText(QStringLiteral("e"));
    ArtistContentItem* lee = cellFor(1);
    QVERIFY(lee->title().contains(QLatin1String("<u>")));
    QCOMPARE(lee->subtitle(), QStringLiteral("Green")); // two albums counted: not highlighted
    ArtistContentItem* ann = cellFor(2);
    QCOMPARE(ann->subtitle(), QStringLiteral("3 albums"));
    creator.setFilterText(QString());
    ArtistContentItem* nia = cellFor(3);
    QCOMPARE(nia->subtitle(), QString()); // an empty album field gives an empty line

    // A recycled cell is filled anew.
    recycler.recycle(kim);
    ArtistContentItem* again = cellFor(2);
    QCOMPARE(again->title(), QStringLiteral("Ann"));
    QCOMPARE(again, kim);
    for (ArtistContentItem* cell : { again, lee, ann, nia })
        delete cell;
}

PARLOVANCE_TEST_MAIN(TestCollectionWidgets)
#include "tst_collectionwidgets.moc"
