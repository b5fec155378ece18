// The last played positions and the song look-ups of the content manager's model, on the real
// store: every store ends in one completion, stores for one song never meet, and values from
// outside never change a query.

#include "audiogenerator.h"
#include "common/constants.h"
#include "data/contentmanagermodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "hubtestlibrary.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodelfactory.h"
#include "mafwtrackermodel.h"
#include "testenvironment.h"

#include <QSignalSpy>

namespace {
const int Timeout = 20000;
}

class TestContentManagerModel : public QObject
{
    Q_OBJECT

private:
    ContentManagerModel* model = nullptr;
    int songId = 0;
    int otherSongId = 0;

private slots:
    void requestsBeforeTheStoreIsReady()
    {
        QVERIFY(HubTestLibrary::writeAndIndex());
        // Made before the factory has opened the store: look-ups wait, stores still end.
        model = new ContentManagerModel(this);
        QSignalSpy added(model, SIGNAL(songAdded(QString, int)));
        QSignalSpy completed(model, SIGNAL(setLastPlayedPositionCompleted()));
        model->querySongByUrl(FixtureLibrary::urlOf(QStringLiteral("Kim/Seven/1.ogg")));
        model->setLastPlayedPosition(30, 1);
        QTRY_COMPARE_WITH_TIMEOUT(added.count(), 1, Timeout);
        QVERIFY(added.first().at(0).toString().startsWith(QLatin1String("urn:")));
        songId = added.first().at(1).toInt();
        QVERIFY(songId > 0);
        QCOMPARE(completed.count(), 1);
        QVERIFY(HubTestLibrary::waitForFactory());

        const QSharedPointer<MafwTrackerModel> seven = HubTestLibrary::album(
            QStringLiteral("Seven"));
        QVERIFY(seven);
        QCOMPARE(HubTestLibrary::cell(seven.data(), 0, Constants::SongId).toInt(), songId);
        otherSongId = HubTestLibrary::cell(seven.data(), 1, Constants::SongId).toInt();
    }

    void storeReplaceAndRead()
    {
        QSignalSpy completed(model, SIGNAL(setLastPlayedPositionCompleted()));
        QSignalSpy positions(model, SIGNAL(lastPosition(int, int)));
        QVERIFY(HubTestLibrary::storedPosition(songId).isNull());

        model->setLastPlayedPosition(120, songId);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, Timeout);
        QCOMPARE(HubTestLibrary::storedPosition(songId), QStringLiteral("120"));

        model->setLastPlayedPosition(60, songId);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 2, Timeout);
        QCOMPARE(HubTestLibrary::storedPosition(songId), QStringLiteral("60"));

        model->requestLastPlayedPosition(songId);
        QTRY_COMPARE_WITH_TIMEOUT(positions.count(), 1, Timeout);
        QCOMPARE(positions.first().at(0).toInt(), 60);
        QCOMPARE(positions.first().at(1).toInt(), songId);

        // A song without a value reads 0; an id that is no song gives no answer.
        model->requestLastPlayedPosition(otherSongId);
        QTRY_COMPARE_WITH_TIMEOUT(positions.count(), 2, Timeout);
        QCOMPARE(positions.last().at(0).toInt(), 0);
        model->requestLastPlayedPosition(987654);
        FixtureLibrary::settleStore();
        QCOMPARE(positions.count(), 2);
        QCOMPARE(completed.count(), 2);
    }

    void storesForOneSongFollowEachOther()
    {
        QSignalSpy completed(model, SIGNAL(setLastPlayedPositionCompleted()));
        QSignalSpy positions(model, SIGNAL(lastPosition(int, int)));
        // Sent at once, as the renderer's stop and a skip store the song being left: each
        // reads what the one before it wrote, so none meets a value it did not expect.
        model->setLastPlayedPosition(70, songId);
        model->setLastPlayedPosition(80, songId);
        model->requestLastPlayedPosition(songId);
        model->setLastPlayedPosition(90, songId);
        model->setLastPlayedPosition(90, otherSongId);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 4, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(positions.count(), 1, Timeout);
        QCOMPARE(positions.first().at(0).toInt(), 80);
        QCOMPARE(HubTestLibrary::storedPosition(songId), QStringLiteral("90"));
        QCOMPARE(HubTestLibrary::storedPosition(otherSongId), QStringLiteral("90"));
        FixtureLibrary::settleStore();
        QCOMPARE(completed.count(), 4);
    }

    void clearingEndsWithOneCompletion()
    {
        QSignalSpy completed(model, SIGNAL(setLastPlayedPositionCompleted()));
        QSignalSpy positions(model, SIGNAL(lastPosition(int, int)));
        model->setLastPlayedPosition(0, songId);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, Timeout);
        QVERIFY(HubTestLibrary::storedPosition(songId).isNull());
        QCOMPARE(positions.count(), 0);

        // Nothing to clear: the stored 0 is reported, and the store still ends.
        model->setLastPlayedPosition(0, songId);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 2, Timeout);
        QCOMPARE(positions.count(), 1);
        QCOMPARE(positions.first().at(0).toInt(), 0);

        // A store for an id that is no song ends too.
        model->setLastPlayedPosition(45, 987654);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 3, Timeout);
        model->setLastPlayedPosition(0, otherSongId);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 4, Timeout);
    }

    void lookupsTakeValuesAsText()
    {
        QSignalSpy added(model, SIGNAL(songAdded(QString, int)));
        // Text that would close the filter and match every song matches none.
        model->querySongByUrl(QStringLiteral("x\" || true ) } #"));
        model->querySongByUrl(QStringLiteral("file:///nowhere/a\\\"b.ogg"));
        model->querySongByFileName(QStringLiteral("1.ogg\" || true ) } #"));
        FixtureLibrary::settleStore();
        QCOMPARE(added.count(), 0);

        // A file name with quotes is found once the indexer has it, by the armed watch.
        const QString name = QStringLiteral("it's \"odd\".ogg");
        model->connectSongAddedSignal(name);
        AudioTags tags;
        tags.title = QStringLiteral("Odd");
        tags.artist = QStringLiteral("Kim");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Kim/Odd/") + name, tags, 1000).isEmpty());
        QVERIFY(FixtureLibrary::index());
        QTRY_COMPARE_WITH_TIMEOUT(added.count(), 1, Timeout);
        const int oddId = added.first().at(1).toInt();
        QVERIFY(oddId > 0 && oddId != songId);

        // And by its URL.
        model->querySongByUrl(FixtureLibrary::urlOf(QStringLiteral("Kim/Odd/") + name));
        QTRY_COMPARE_WITH_TIMEOUT(added.count(), 2, Timeout);
        QCOMPARE(added.last().at(1).toInt(), oddId);

        // Disarmed, later additions look nothing up.
        model->disconnectSongAddedSignal();
        QSignalSpy indexed(
            MafwTrackerModelFactoryInstance::instance()->factory()->trackerConnection(),
            SIGNAL(musicAdded(QSet<int>)));
        QVERIFY(
            !FixtureLibrary::addSong(QStringLiteral("Kim/Odd/later.ogg"), tags, 1000).isEmpty());
        QVERIFY(FixtureLibrary::index());
        QTRY_VERIFY_WITH_TIMEOUT(!indexed.isEmpty(), Timeout);
        FixtureLibrary::settleStore();
        QCOMPARE(added.count(), 2);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestContentManagerModel)

#include "tst_contentmanagermodel.moc"
