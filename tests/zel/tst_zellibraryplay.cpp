#include "fixturelibrary.h"
#include "testenvironment.h"

#include "mafwgeneralsourceplaylist.h"
#include "mafwrenderer.h"
#include "mafwshared.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mafwurlrole.h"
#include "zelplaycontrols.h"

#include <QIdentityProxyModel>

// Shows only the first ten columns, as the play queue does; the playable location still comes
// through the url role.
class TenColumns : public QIdentityProxyModel
{
public:
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return qMin(10, QIdentityProxyModel::columnCount(parent));
    }
};

class TestZelLibraryPlay : public QObject
{
    Q_OBJECT

    MafwTrackerModelFactory* factory = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY(FixtureLibrary::openStore());
        AudioTags tags;
        tags.title = QStringLiteral("Counted");
        tags.artist = QStringLiteral("Someone");
        tags.album = QStringLiteral("Somewhere");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("count me.ogg"), tags, 600).isEmpty());
        QVERIFY(FixtureLibrary::index());
        factory = new MafwTrackerModelFactory(QStringLiteral("?album"), QStringLiteral("?artist"),
                                              2000, this);
        QSignalSpy init(factory, SIGNAL(initCompleted(bool)));
        factory->init();
        QVERIFY(init.wait(60000));
        QVERIFY(init.first().first().toBool());
        ZelPlayControls::instance()->init();
    }

    void libraryRowPlaysAndCountsOnce()
    {
        QSharedPointer<MafwTrackerModel> songs(factory->getModel(MafwTrackerModel::AllSongs, 0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(songs->isComplete(), 30000);
        QCOMPARE(songs->rowCount(), 1);
        const int usageColumn = songs->columnOfKey(QStringLiteral("usageCounter"));
        QVERIFY(usageColumn >= 0);
        QCOMPARE(songs->index(0, usageColumn).data().toInt(), 0);

        auto* proxy = new TenColumns;
        proxy->setSourceModel(songs.data());
        QSharedPointer<QAbstractItemModel> queue(proxy);
        auto* playlist = new MafwGeneralSourcePlaylist(MafwPlaylist::getNewPlaylistId(), QString(),
                                                       QStringLiteral("MafwTrackerSource"), this);
        playlist->setUnderlyingModel(queue);
        QVERIFY(MafwShared::instance()->publishPlaylist(playlist));

        ZelPlayControls* controls = ZelPlayControls::instance();
        controls->setPlaylist(playlist->id(), false);
        QSignalSpy accessed(factory->trackerConnection(), SIGNAL(musicAccessed(QSet<int>)));
        QSignalSpy completed(controls, SIGNAL(playbackCompleted()));
        controls->play(0);
        QTRY_COMPARE_WITH_TIMEOUT(int(controls->state()), int(MafwRenderer::Playing), 10000);
        QVERIFY(completed.wait(10000));

        // One start, one count, visible in every live model of the song.
        QTRY_COMPARE_WITH_TIMEOUT(songs->index(0, usageColumn).data().toInt(), 1, 10000);
        QVERIFY(accessed.count() >= 1);
        FixtureLibrary::settleStore();
        QCOMPARE(songs->index(0, usageColumn).data().toInt(), 1);

        // Playing it again is another play.
        controls->play(0);
        QTRY_COMPARE_WITH_TIMEOUT(songs->index(0, usageColumn).data().toInt(), 2, 10000);
        controls->stop();
        MafwShared::instance()->unPublishPlaylist(playlist->id());
    }

    void singleUrlIsNotCounted()
    {
        QSharedPointer<MafwTrackerModel> songs(factory->getModel(MafwTrackerModel::AllSongs, 0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(songs->isComplete(), 30000);
        const int usageColumn = songs->columnOfKey(QStringLiteral("usageCounter"));
        const int before = songs->index(0, usageColumn).data().toInt();
        ZelPlayControls* controls = ZelPlayControls::instance();
        QSignalSpy completed(controls, SIGNAL(playbackCompleted()));
        controls->play(QUrl(FixtureLibrary::urlOf(QStringLiteral("count me.ogg"))));
        QVERIFY(completed.wait(10000));
        FixtureLibrary::settleStore();
        QCOMPARE(songs->index(0, usageColumn).data().toInt(), before);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestZelLibraryPlay)
#include "tst_zellibraryplay.moc"
