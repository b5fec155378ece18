// The six automatic playlists over a fixture library in the real store: their rows, order,
// song counts and lengths, and how they follow the store when songs are played and marked as
// favourites.

#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "playlists/automaticplaylistsmodel.h"
#include "testenvironment.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest/QtTest>

#include <limits>

#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

namespace {

const int Timeout = 60000;

// 53 songs of two seconds: more never-played songs than the playlist's first batch of 50.
const int SongCount = 53;
const int SongSeconds = 2;

QString titleOf(int n)
{
    return QStringLiteral("Song %1").arg(n, 2, 10, QLatin1Char('0'));
}

// Songs the music store sold carry its name as their encoder.
bool markAsBought(const QString& path)
{
    TagLib::FileRef file(QFile::encodeName(path).constData());
    if (file.isNull())
        return false;
    TagLib::PropertyMap properties = file.file()->properties();
    properties.replace("ENCODEDBY", TagLib::StringList(TagLib::String("Vaspe Music")));
    file.file()->setProperties(properties);
    return file.save();
}

QStringList rowNames(const AutomaticPlaylistsModel* model)
{
    QStringList names;
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 1).data().toString();
    return names;
}

int figure(const AutomaticPlaylistsModel* model, int type, int column)
{
    const int row = model->rowForType(type);
    return row < 0 ? -1 : model->index(row, column).data().toInt();
}

} // namespace

class TestAutomaticPlaylists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void nothingIsRequestedBeforeRequestModels();
    void sixPlaylistsInCollationOrderWithCountsAndLengths();
    void neverPlayedCountsTheWholeStoreUntilItsModelCompletes();
    void playlistsFollowPlaysAndFavourites();
    void reloadRequestsEverythingAgain();

private:
    int songId(const QString& title) const;
    MafwTrackerModelFactory* factory = nullptr;
    QSharedPointer<MafwTrackerModel> allSongs;
};

void TestAutomaticPlaylists::initTestCase()
{
    for (int n = 0; n < SongCount; ++n) {
        AudioTags tags;
        tags.title = titleOf(n);
        tags.artist = QStringLiteral("Artist %1").arg(n % 3);
        tags.album = QStringLiteral("Album %1").arg(n % 5);
        const QString path = FixtureLibrary::addSong(QStringLiteral("lib/%1.ogg").arg(n), tags,
                                                     SongSeconds * 1000);
        QVERIFY(!path.isEmpty());
        if (n == 3)
            QVERIFY(markAsBought(path));
    }
    QVERIFY(FixtureLibrary::index());
    MafwTrackerModelFactoryInstance* instance = MafwTrackerModelFactoryInstance::instance();
    QTRY_VERIFY_WITH_TIMEOUT(instance->isReady(), Timeout);
    factory = instance->factory();
    allSongs.reset(factory->getModel(MafwTrackerModel::AllSongs, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(allSongs->rowCount(), SongCount, Timeout);

    // Song 00 played twice, Song 01 once, Song 02 a favourite, Song 03 bought.
    MafwTrackerConnection* connection = factory->trackerConnection();
    connection->songPlayed(songId(titleOf(0)));
    connection->songPlayed(songId(titleOf(0)));
    connection->songPlayed(songId(titleOf(1)));
    QVERIFY(factory->setFavourite(songId(titleOf(2)), true));
    QSharedPointer<MafwTrackerModel> favourites(
        factory->getModel(MafwTrackerModel::FavouriteSongs, 0, 0));
    QSharedPointer<MafwTrackerModel> played(
        factory->getModel(MafwTrackerModel::MostPlayedSongs, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(favourites->rowCount(), 1, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(played->rowCount() == 2 && played->index(0, 12).data().toInt() == 2,
                             Timeout);
}

int TestAutomaticPlaylists::songId(const QString& title) const
{
    for (int row = 0; row < allSongs->rowCount(); ++row) {
        if (allSongs->index(row, 1).data().toString() == title)
            return allSongs->index(row, 8).data().toInt();
    }
    return -1;
}

void TestAutomaticPlaylists::nothingIsRequestedBeforeRequestModels()
{
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    QCOMPARE(AutomaticPlaylistsModel::instance(), model);
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(model->columnCount(), 0);
    QVERIFY(!model->allModelsRequested());
    QSharedPointer<MafwTrackerModel> none;
    QVERIFY(!model->playlistModel(-6, none, true));

    QSignalSpy completed(model, &AutomaticPlaylistsModel::completed);
    model->requestModels();
    QCOMPARE(completed.count(), 1);
    QVERIFY(model->allModelsRequested());
    // Requested, not yet answered: the rows come on later turns of the event loop.
    QCOMPARE(model->rowCount(), 0);
    QVERIFY(model->playlistModel(-6, none, true));
    QVERIFY(!model->playlistModel(-6, none, false));
    // Ids that name no automatic playlist find none, the lowest int included (the sanitizer
    // build fails on negating it).
    for (int id : { std::numeric_limits<int>::min(), 0, 6, std::numeric_limits<int>::max() })
        QVERIFY2(!model->playlistModel(id, none, true), qPrintable(QString::number(id)));
    model->requestModels();
    QCOMPARE(completed.count(), 1);
}

void TestAutomaticPlaylists::sixPlaylistsInCollationOrderWithCountsAndLengths()
{
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 6, Timeout);
    QCOMPARE(rowNames(model),
             QStringList({ "qtn_musi_playlist_favorites", "qtn_musi_playlist_mostplayed",
                           "qtn_musi_playlist_neverplayed", "qtn_musi_playlist_recentlyadded",
                           "qtn_musi_playlist_recentlydownloaded",
                           "qtn_musi_playlist_recentlyplayed" }));
    const QList<int> ids = { -6, -5, -7, -3, -8, -4 };
    for (int row = 0; row < ids.size(); ++row) {
        QCOMPARE(model->index(row, 0).data().toInt(), ids.at(row));
        QVERIFY(!model->index(row, 2).data().isValid());
    }
    QVERIFY(!model->index(0, 5).data().isValid());
    QVERIFY(!model->index(0, 0).data(Qt::EditRole).isValid());
    QCOMPARE(model->columnCount(), allSongs->columnCount());

    // Count and length per playlist; recently added shows its first batch of 50 until its
    // model is complete.
    const struct
    {
        int type;
        int count;
    } expected[] = { { 6, 1 }, { 5, 2 }, { 8, 1 }, { 4, 2 }, { 3, 50 } };
    for (const auto& e : expected) {
        QTRY_COMPARE_WITH_TIMEOUT(figure(model, e.type, 3), e.count, Timeout);
        QCOMPARE(figure(model, e.type, 4), e.count * SongSeconds);
    }

    QSharedPointer<MafwTrackerModel> mostPlayed;
    QVERIFY(model->playlistModel(-5, mostPlayed, false));
    QCOMPARE(mostPlayed->index(0, 1).data().toString(), titleOf(0));
}

void TestAutomaticPlaylists::neverPlayedCountsTheWholeStoreUntilItsModelCompletes()
{
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    QSharedPointer<MafwTrackerModel> neverPlayed;
    QTRY_VERIFY_WITH_TIMEOUT(model->playlistModel(-7, neverPlayed, false), Timeout);
    QVERIFY(!neverPlayed->isComplete());
    QCOMPARE(neverPlayed->rowCount(), 50);
    // The store's figures, not the 50 rows held.
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, 7, 3), SongCount - 2, Timeout);
    QCOMPARE(figure(model, 7, 4), (SongCount - 2) * SongSeconds);

    QSignalSpy updated(model, &AutomaticPlaylistsModel::modelUpdated);
    neverPlayed->fetchRemainingRows();
    QTRY_VERIFY_WITH_TIMEOUT(neverPlayed->isComplete() && !updated.isEmpty(), Timeout);
    QCOMPARE(neverPlayed->rowCount(), SongCount - 2);
    QCOMPARE(figure(model, 7, 3), SongCount - 2);
    QCOMPARE(figure(model, 7, 4), (SongCount - 2) * SongSeconds);
}

void TestAutomaticPlaylists::playlistsFollowPlaysAndFavourites()
{
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 6, Timeout);

    // A third song played: most and recently played grow, never played shrinks.
    factory->trackerConnection()->songPlayed(songId(titleOf(5)));
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, 5, 3), 3, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, 4, 3), 3, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, 7, 3), SongCount - 3, Timeout);

    // The last favourite goes: its row leaves; its model is still there for whoever asks
    // with the empty ones included.
    QSignalSpy removed(model, &QAbstractItemModel::rowsAboutToBeRemoved);
    QVERIFY(factory->setFavourite(songId(titleOf(2)), false));
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 5, Timeout);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().at(1).toInt(), 0);
    QCOMPARE(model->rowForType(6), -1);
    QSharedPointer<MafwTrackerModel> favourites;
    QVERIFY(!model->playlistModel(-6, favourites, false));
    QVERIFY(model->playlistModel(-6, favourites, true));
    QCOMPARE(favourites->rowCount(), 0);

    // Two favourites come: the row is back at its sorted place, first.
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QVERIFY(factory->setFavourite(songId(titleOf(7)), true));
    QVERIFY(factory->setFavourite(songId(titleOf(8)), true));
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, 6, 3), 2, Timeout);
    QCOMPARE(model->rowForType(6), 0);
    QCOMPARE(inserted.first().at(1).toInt(), 0);
    QCOMPARE(figure(model, 6, 4), 2 * SongSeconds);
    QCOMPARE(rowNames(model).first(), QStringLiteral("qtn_musi_playlist_favorites"));
}

void TestAutomaticPlaylists::reloadRequestsEverythingAgain()
{
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    QSharedPointer<MafwTrackerModel> before;
    QVERIFY(model->playlistModel(-3, before, false));
    QSignalSpy reset(model, &QAbstractItemModel::modelReset);
    QSignalSpy completed(model, &AutomaticPlaylistsModel::completed);
    model->reload();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(completed.count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 6, Timeout);
    QSharedPointer<MafwTrackerModel> after;
    QVERIFY(model->playlistModel(-3, after, false));
    QVERIFY(after != before);
    // The old model, still held here, no longer drives the table.
    QSignalSpy updated(model, &AutomaticPlaylistsModel::modelUpdated);
    before->fetchRemainingRows();
    QTRY_VERIFY_WITH_TIMEOUT(before->isComplete(), Timeout);
    QTest::qWait(0);
    QVERIFY(updated.isEmpty());

    // Deleting the singleton makes the next call build a new, unrequested one.
    delete model;
    AutomaticPlaylistsModel* fresh = AutomaticPlaylistsModel::instance();
    QVERIFY(!fresh->allModelsRequested());
    QCOMPARE(fresh->rowCount(), 0);
}

PARLOVANCE_TEST_MAIN(TestAutomaticPlaylists)
#include "tst_automaticplaylists.moc"
