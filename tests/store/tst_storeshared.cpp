// One home's store and two players: a second process that finds the store in use says so and
// ends instead of writing the same songs again, and resources that two writers left for one
// file are made one by the next scan.

#include "fixturelibrary.h"
#include "testenvironment.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"

#include <QProcess>
#include <QtTest>

namespace {

int count(const QString& sparql)
{
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    const TrackerQueryResult result = TrackerQueryRunner::select(connection, sparql, 1);
    TrackerQueryRunner::releaseConnection(connection);
    return result.ok && !result.rows.isEmpty() ? result.rows.first().value(0).toInt() : -1;
}

bool update(const QString& sparql)
{
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    const TrackerQueryResult result = TrackerQueryRunner::update(connection, sparql);
    TrackerQueryRunner::releaseConnection(connection);
    return result.ok;
}

} // namespace

class TestStoreShared : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Kim/Red/one.ogg"),
                                         AudioTags { QStringLiteral("One"), QStringLiteral("Kim"),
                                                     QStringLiteral("Red"), QString(),
                                                     QStringLiteral("Rock"), 1, 0, QImage() })
                     .isEmpty());
        QVERIFY(FixtureLibrary::addPlaylist(QStringLiteral("mix.m3u"),
                                            { QStringLiteral("Kim/Red/one.ogg") })
                    .size());
        QVERIFY(FixtureLibrary::openStore());
        QVERIFY(FixtureLibrary::index());
    }

    void aSecondPlayerIsToldTheStoreIsInUse()
    {
        // This process holds the store; the program started now on the same home must neither
        // open nor write it.
        QVERIFY(TrackerStore::instance()->isOpen());
        const QString song = FixtureLibrary::urlOf(QStringLiteral("Kim/Red/one.ogg"));
        QProcess player;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("PARLOVANCE_AUDIO_SINK"), QStringLiteral("fakesink"));
        player.setProcessEnvironment(environment);
        player.setProcessChannelMode(QProcess::MergedChannels);
        player.start(QStringLiteral(PARLOVANCE_PROGRAM), QStringList());
        QVERIFY(player.waitForStarted(20000));
        const bool ended = player.waitForFinished(60000);
        const QString log = QString::fromLocal8Bit(player.readAll());
        if (!ended) {
            player.kill();
            player.waitForFinished(10000);
        }
        QVERIFY2(ended, "the second player runs on the store in use");
        QVERIFY2(log.contains(QLatin1String("another player is using the library store")),
                 qPrintable(log.right(2000)));
        QCOMPARE(player.exitCode(), 1);
        // The store is as this process left it.
        QCOMPARE(count(QStringLiteral("SELECT COUNT(?r) WHERE { ?r nie:url %1 }")
                           .arg(TrackerSparql::literal(song))),
                 1);
    }

    void aScanKeepsOneResourceOfAFile()
    {
        const QString song = FixtureLibrary::urlOf(QStringLiteral("Kim/Red/one.ogg"));
        const QString playlist = FixtureLibrary::urlOf(QStringLiteral("mix.m3u"));
        // What a second writer left: one more song and one more playlist for the same files.
        QVERIFY(update(
            QStringLiteral("INSERT DATA { <urn:double:song> a nmm:MusicPiece, nfo:FileDataObject ; "
                           "nie:url %1 ; nie:title \"One\" ; tracker:available true . "
                           "<urn:double:entry> a nfo:MediaFileListEntry ; nfo:entryUrl %1 ; "
                           "nfo:listPosition 0 . <urn:double:list> a nmm:Playlist, "
                           "nfo:FileDataObject ; nie:url %2 ; "
                           "nfo:hasMediaFileListEntry <urn:double:entry> }")
                .arg(TrackerSparql::literal(song), TrackerSparql::literal(playlist))));
        const QString resources = QStringLiteral("SELECT COUNT(?r) WHERE { ?r nie:url %1 }");
        QCOMPARE(count(resources.arg(TrackerSparql::literal(song))), 2);
        QCOMPARE(count(resources.arg(TrackerSparql::literal(playlist))), 2);
        QVERIFY(FixtureLibrary::index());
        QCOMPARE(count(resources.arg(TrackerSparql::literal(song))), 1);
        QCOMPARE(count(resources.arg(TrackerSparql::literal(playlist))), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(?s) WHERE { ?s a nmm:MusicPiece }")), 1);
        // The one kept is the first, with its entry; the other's entry went with it.
        QCOMPARE(count(QStringLiteral("SELECT COUNT(?r) WHERE { ?r nie:url ?u . "
                                      "FILTER (STRSTARTS(STR(?r), \"urn:double:\")) }")),
                 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(?e) WHERE { ?e a nfo:MediaFileListEntry }")),
                 1);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestStoreShared)
#include "tst_storeshared.moc"
