// The process-wide owners of the library data: the factory instance and the shared models.

#include "data/deleteapimock.h"
#include "fixturelibrary.h"
#include "mafwtrackermodelfactory.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "testenvironment.h"

#include <QSignalSpy>

class TestLibraryInstances : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<MafwTrackerModel::QueryType>("MafwTrackerModel::QueryType");
        AudioTags tags;
        tags.title = QStringLiteral("Loose");
        tags.artist = QStringLiteral("Kim");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("loose.ogg"), tags).isEmpty());
        QVERIFY(FixtureLibrary::index());
    }

    void aFailedStartLeavesEverythingWaiting()
    {
        MafwTrackerModelFactory::setFailInitForTesting(true);
        MafwTrackerModelFactoryInstance* instance = MafwTrackerModelFactoryInstance::instance();
        QSignalSpy completed(instance, SIGNAL(completed(bool)));
        QVERIFY(instance->factory());
        QVERIFY(!instance->isReady());
        QVERIFY(ModelInstance::instance()->getModel(MafwTrackerModel::AllAlbums).isNull());
        QVERIFY(completed.wait(10000));
        QCOMPARE(completed.first().first().toBool(), false);
        QVERIFY(!instance->isReady());
        QVERIFY(ModelInstance::instance()->getModel(MafwTrackerModel::AllAlbums).isNull());
        ModelInstance::destroy();
        MafwTrackerModelFactoryInstance::destroy();
        MafwTrackerModelFactory::setFailInitForTesting(false);
    }

    void oneFactoryStartedOnce()
    {
        MafwTrackerModelFactoryInstance* first = MafwTrackerModelFactoryInstance::instance();
        QSignalSpy completed(first, SIGNAL(completed(bool)));
        QCOMPARE(MafwTrackerModelFactoryInstance::instance(), first);
        QCOMPARE(first->factory(), MafwTrackerModelFactoryInstance::instance()->factory());
        QVERIFY(completed.wait(60000));
        QCOMPARE(completed.count(), 1);
        QVERIFY(first->isReady());
        QTest::qWait(100);
        QCOMPARE(completed.count(), 1); // a late waiter reads isReady(); no second signal
    }

    void unknownTextsAreTheTranslationsAtFirstUse()
    {
        QScopedPointer<MafwTrackerModel> model(
            MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
                MafwTrackerModel::SongsOfUnknownAlbum, 0, 0));
        QTRY_COMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 3).data().toString(), qtTrId("qtn_musi_unknown_album"));
    }

    void sharedModelsAreMadeOnceAndRemadeTogether()
    {
        ModelInstance::destroy();
        ModelInstance* cache = ModelInstance::instance();
        QSignalSpy created(cache, SIGNAL(modelCreated(MafwTrackerModel::QueryType)));
        const QSharedPointer<MafwTrackerModel> songs = cache->getModel(MafwTrackerModel::AllSongs);
        QVERIFY(songs);
        QCOMPARE(created.count(), 1); // before getModel returned
        QCOMPARE(cache->getModel(MafwTrackerModel::AllSongs), songs);
        QCOMPARE(created.count(), 1);

        const QSharedPointer<MafwTrackerModel> albums = cache->getModel(
            MafwTrackerModel::AllAlbums);
        const QSharedPointer<MafwTrackerModel> artists = cache->getModel(
            MafwTrackerModel::AllArtists);
        created.clear();
        cache->recreateModels();
        QCOMPARE(created.count(), 3);
        QVERIFY(cache->getModel(MafwTrackerModel::AllSongs) != songs);
        QVERIFY(cache->getModel(MafwTrackerModel::AllAlbums) != albums);
        QVERIFY(cache->getModel(MafwTrackerModel::AllArtists) != artists);
        QTRY_COMPARE(songs->rowCount(), 1); // a holder keeps its old model alive

        ModelInstance::destroy();
        QSignalSpy fresh(ModelInstance::instance(),
                         SIGNAL(modelCreated(MafwTrackerModel::QueryType)));
        QVERIFY(ModelInstance::instance()->getModel(MafwTrackerModel::AllAlbums));
        QCOMPARE(fresh.count(), 1);
    }

    void modelsAskedForEarlyComeWhenTheFactoryIsReady()
    {
        ModelInstance::destroy();
        MafwTrackerModelFactoryInstance::destroy();
        MafwTrackerModelFactoryInstance* instance = MafwTrackerModelFactoryInstance::instance();
        ModelInstance* cache = ModelInstance::instance();
        QSignalSpy created(cache, SIGNAL(modelCreated(MafwTrackerModel::QueryType)));
        QVERIFY(cache->getModel(MafwTrackerModel::AllAlbums).isNull());
        QVERIFY(cache->getModel(MafwTrackerModel::UserPlaylists).isNull());
        QSignalSpy completed(instance, SIGNAL(completed(bool)));
        QVERIFY(completed.wait(60000));
        QCOMPARE(created.count(), 2);
        QVERIFY(cache->getModel(MafwTrackerModel::AllAlbums));
        QVERIFY(cache->getModel(MafwTrackerModel::UserPlaylists));
        QCOMPARE(created.count(), 2);
    }

    void playAllSongsIsRelayed()
    {
        QSignalSpy play(ModelInstance::instance(), SIGNAL(playAllSongs(bool)));
        ModelInstance::instance()->emitPlayAllSongs(true);
        QCOMPARE(play.count(), 1);
        QCOMPARE(play.first().first().toBool(), true);
    }

    void deletionStandInAnswersAtOnce()
    {
        qRegisterMetaType<QList<int>>();
        DeleteApiMock mock(this);
        QSignalSpy done(&mock, SIGNAL(deletionFinished(QList<int>, MafwTrackerModel::QueryType)));
        QSignalSpy failed(&mock, SIGNAL(error(QList<int>, MafwTrackerModel::QueryType)));
        mock.deleteItems({ 1, 2 }, MafwTrackerModel::AllAlbums);
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.first().first().value<QList<int>>(), QList<int>({ 1, 2 }));
        mock.setFailing(true);
        mock.deleteItems({ 3 }, MafwTrackerModel::UserPlaylists);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(done.count(), 1);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestLibraryInstances)
#include "tst_libraryinstances.moc"
