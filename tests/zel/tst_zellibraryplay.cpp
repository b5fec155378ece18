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

    static int rowOf(const MafwTrackerModel* songs, const QString& title)
    {
        const int titleColumn = songs->columnOfKey(QStringLiteral("songTitle"));
        for (int r = 0; r < songs->rowCount(); ++r) {
            if (songs->index(r, titleColumn).data().toString() == title)
                return r;
        }
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FixtureLibrary::openStore());
        AudioTags tags;
        tags.title = QStringLiteral("Counted");
        tags.artist = QStringLiteral("Someone");
        tags.album = QStringLiteral("Somewhere");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("count me.ogg"), tags, 600).isEmpty());
        tags.title = QStringLiteral("Skimmed");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("skim me.ogg"), tags, 20000).isEmpty());
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
        QCOMPARE(songs->rowCount(), 2);
        const int row = rowOf(songs.data(), QStringLiteral("Counted"));
        const int usageColumn = songs->columnOfKey(QStringLiteral("usageCounter"));
        QVERIFY(usageColumn >= 0);
        QCOMPARE(songs->index(row, usageColumn).data().toInt(), 0);

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
        controls->play(uint(row));
        QTRY_COMPARE_WITH_TIMEOUT(int(controls->state()), int(MafwRenderer::Playing), 10000);

        // One start heard long enough, one count, visible in every live model of the song.
        QTRY_COMPARE_WITH_TIMEOUT(songs->index(row, usageColumn).data().toInt(), 1, 10000);
        controls->stop();
        QVERIFY(accessed.count() >= 1);
        FixtureLibrary::settleStore();
        QCOMPARE(songs->index(row, usageColumn).data().toInt(), 1);

        // Playing it again is another play.
        controls->play(uint(row));
        QTRY_COMPARE_WITH_TIMEOUT(songs->index(row, usageColumn).data().toInt(), 2, 10000);
        controls->stop();
        MafwShared::instance()->unPublishPlaylist(playlist->id());
    }

    void aRowNotHeardLongEnoughIsNotCounted()
    {
        QSharedPointer<MafwTrackerModel> songs(factory->getModel(MafwTrackerModel::AllSongs, 0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(songs->isComplete(), 30000);
        const int row = rowOf(songs.data(), QStringLiteral("Skimmed"));
        const int usageColumn = songs->columnOfKey(QStringLiteral("usageCounter"));
        QSharedPointer<QAbstractItemModel> queue(songs.data(), [](QAbstractItemModel*) {});
        auto* playlist = new MafwGeneralSourcePlaylist(MafwPlaylist::getNewPlaylistId(), QString(),
                                                       QStringLiteral("MafwTrackerSource"), this);
        playlist->setUnderlyingModel(queue);
        QVERIFY(MafwShared::instance()->publishPlaylist(playlist));
        ZelPlayControls* controls = ZelPlayControls::instance();
        controls->setPlaylist(playlist->id(), false);
        const auto played = [&]() { return songs->index(row, usageColumn).data().toInt(); };

        // Started and left at once, however many times.
        for (int i = 0; i < 3; ++i) {
            controls->play(uint(row));
            QTRY_COMPARE_WITH_TIMEOUT(int(controls->state()), int(MafwRenderer::Playing), 10000);
            controls->stop();
        }
        // Sought near its end and heard to it: a few seconds of a song of twenty.
        QSignalSpy completed(controls, SIGNAL(playbackCompleted()));
        controls->play(uint(row));
        QTRY_COMPARE_WITH_TIMEOUT(int(controls->state()), int(MafwRenderer::Playing), 10000);
        controls->setPosition(17);
        QVERIFY(completed.wait(20000));
        FixtureLibrary::settleStore();
        QCOMPARE(played(), 0);

        // Heard in two halves, paused between them: the time heard adds up to a play.
        controls->play(uint(row));
        QTRY_COMPARE_WITH_TIMEOUT(int(controls->state()), int(MafwRenderer::Playing), 10000);
        QTest::qWait(5500);
        controls->pause();
        QTRY_COMPARE_WITH_TIMEOUT(int(controls->state()), int(MafwRenderer::Paused), 10000);
        FixtureLibrary::settleStore();
        QCOMPARE(played(), 0);
        controls->resume();
        QTRY_COMPARE_WITH_TIMEOUT(played(), 1, 20000);
        controls->stop();
        MafwShared::instance()->unPublishPlaylist(playlist->id());
    }

    void singleUrlIsNotCounted()
    {
        QSharedPointer<MafwTrackerModel> songs(factory->getModel(MafwTrackerModel::AllSongs, 0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(songs->isComplete(), 30000);
        const int usageColumn = songs->columnOfKey(QStringLiteral("usageCounter"));
        const int row = rowOf(songs.data(), QStringLiteral("Counted"));
        const int before = songs->index(row, usageColumn).data().toInt();
        ZelPlayControls* controls = ZelPlayControls::instance();
        QSignalSpy completed(controls, SIGNAL(playbackCompleted()));
        controls->play(QUrl(FixtureLibrary::urlOf(QStringLiteral("count me.ogg"))));
        QVERIFY(completed.wait(10000));
        FixtureLibrary::settleStore();
        QCOMPARE(songs->index(row, usageColumn).data().toInt(), before);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestZelLibraryPlay)
#include "tst_zellibraryplay.moc"
