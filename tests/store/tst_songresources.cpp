// A new song written as resources (the indexer's way) against the same song written as update
// text (the way every fixture, tool and the indexer's retry write it): the store must hold the
// very same resources, properties, values and types either way, for plain and hostile tags.

// GLib headers come before Qt's: GIO names a member "signals", which Qt defines as a macro.
#include <libtracker-sparql/tracker-sparql.h>

#include "audiogenerator.h"
#include "fixturelibrary.h"
#include "testenvironment.h"
#include "trackerindexworker.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"
#include "trackertagreader.h"

#include <QSet>
#include <QtTest>

namespace {

struct Song
{
    QString iri;
    QString url;
    QString fileName;
    qint64 size = 0;
    TrackerTrackInfo info;
};

QList<Song> songs()
{
    QList<Song> out;
    auto add = [&out](const QString& fileName, qint64 size, const TrackerTrackInfo& info) {
        Song song;
        song.iri = TrackerSparql::newIri();
        song.url = QStringLiteral("file:///resources/") + QString::number(out.size()) + '/'
                   + QString::fromLatin1(QUrl::toPercentEncoding(fileName));
        song.fileName = fileName;
        song.size = size;
        song.info = info;
        out.append(song);
    };
    TrackerTrackInfo plain;
    plain.title = QStringLiteral("Plain");
    plain.artist = QStringLiteral("Kim");
    plain.album = QStringLiteral("First");
    plain.albumArtist = QStringLiteral("Kim");
    plain.genre = QStringLiteral("Pop");
    plain.trackNumber = 1;
    plain.year = 1999;
    plain.durationSeconds = 181;
    plain.bitrate = 128000;
    plain.sampleRate = 44100;
    plain.channels = 2;
    add(QStringLiteral("plain.ogg"), 123456, plain);
    // The same album and artist again: the shared resources go in once.
    TrackerTrackInfo second = plain;
    second.title = QStringLiteral("Second");
    second.trackNumber = 2;
    add(QStringLiteral("second.ogg"), 5000000000LL, second);
    // Every text a tag can hold that the update text has to escape, and some it does not.
    TrackerTrackInfo hostile;
    hostile.title = QStringLiteral("Say \"hi\" it's a \\ back\nslash\r\t\b\f %1 <b>");
    hostile.title.append(QChar(0));
    hostile.title.append(QStringLiteral("after NUL \u0001 end"));
    hostile.artist = QStringLiteral("Björk \u591c\u660e\u3051 \U0001F3B5");
    hostile.album = QStringLiteral("Album") + QChar(0x1f) + QStringLiteral("with separator")
                    + QChar(0x1b);
    hostile.albumArtist = QStringLiteral("Various } . ; <x>");
    hostile.composer = QStringLiteral("Björk \u591c\u660e\u3051 \U0001F3B5");
    hostile.lyricist = QStringLiteral("Lyr'ics\"");
    hostile.publisher = QStringLiteral("Label \\u0041");
    hostile.comment = QString(4000, QChar(0x263A));
    hostile.copyright = QStringLiteral("(c) 2001 ''' \"\"\"");
    hostile.encodedBy = QStringLiteral("enc # not a comment");
    hostile.genre = QStringLiteral("Rock\u00a0& Roll");
    hostile.discNumber = 3;
    hostile.trackNumber = 99999;
    hostile.year = 9999;
    hostile.durationSeconds = 0;
    add(QStringLiteral("we\"ird 'name' \\ %1.ogg"), 0, hostile);
    // No tags at all: titled by the file name; no album, artist, year or audio figures.
    TrackerTrackInfo bare;
    bare.year = 10000;
    add(QStringLiteral("no tags.mp3"), 1, bare);
    // An album without album artist, a year of one digit, a disc number of zero.
    TrackerTrackInfo partial;
    partial.title = QStringLiteral("Partial");
    partial.album = QStringLiteral("Lonely");
    partial.year = 7;
    partial.discNumber = 0;
    partial.publisher = QStringLiteral("Label \\u0041");
    add(QStringLiteral("partial.flac"), 42, partial);
    return out;
}

// Every property of the songs and of the resources they share, with each
// value's type, sorted; the store's own bookkeeping of when a resource changed left out.
QStringList dump(TrackerSparqlConnection* connection, const QList<Song>& written)
{
    QString subjects;
    for (const Song& song : written)
        subjects += QStringLiteral("<%1> ").arg(song.iri);
    const TrackerQueryResult result = TrackerQueryRunner::select(
        connection,
        QStringLiteral("SELECT ?s ?p ?o (DATATYPE(?o)) WHERE { "
                       "{ VALUES ?s { %1 } ?s ?p ?o } UNION "
                       "{ VALUES ?song { %1 } ?song ?l ?s . ?s ?p ?o . FILTER (?l IN (%2)) } "
                       "UNION { VALUES ?song { %1 } ?song nmm:musicAlbum ?a . "
                       "?a nmm:albumArtist ?s . ?s ?p ?o } "
                       "FILTER (?p NOT IN (nrl:added, nrl:modified)) }")
            .arg(subjects, QStringLiteral("nmm:performer, nmm:musicAlbum, nmm:musicAlbumDisc, "
                                          "nmm:composer, nmm:lyricist, nco:publisher")),
        4);
    QStringList rows;
    if (!result.ok) {
        rows << QStringLiteral("query failed: ") + result.errorMessage;
        return rows;
    }
    for (const QStringList& row : result.rows)
        rows << row.join(QLatin1Char('|'));
    rows.removeDuplicates();
    rows.sort();
    return rows;
}

bool removeAll(TrackerSparqlConnection* connection, const QStringList& rows)
{
    QSet<QString> subjects;
    for (const QString& row : rows)
        subjects.insert(row.section(QLatin1Char('|'), 0, 0));
    QString names;
    for (const QString& subject : qAsConst(subjects))
        names += QStringLiteral("<%1> ").arg(subject);
    return TrackerQueryRunner::update(
               connection,
               QStringLiteral("DELETE { ?r a rdfs:Resource } WHERE { VALUES ?r { %1 } }")
                   .arg(names))
        .ok;
}

} // namespace

class TestSongResources : public QObject
{
    Q_OBJECT

private:
    TrackerSparqlConnection* connection = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY(FixtureLibrary::openStore());
        connection = TrackerStore::instance()->acquireConnection();
        QVERIFY(connection);
    }

    void cleanupTestCase() { TrackerQueryRunner::releaseConnection(connection); }

    void resourcesHoldWhatTheUpdateTextHolds_data()
    {
        QTest::addColumn<bool>("oneBatch");
        // One update for all (the indexer's batches), and one for each song (its retries).
        QTest::newRow("one batch") << true;
        QTest::newRow("a batch each") << false;
    }

    void resourcesHoldWhatTheUpdateTextHolds()
    {
        QFETCH(bool, oneBatch);
        const QList<Song> written = songs();
        const QString modified = QStringLiteral("2026-11-30T10:20:30Z");
        const QString added = TrackerSparql::timeText(QDateTime::currentDateTimeUtc());

        QStringList texts;
        QSet<QString> textWritten;
        for (const Song& song : written) {
            texts << TrackerIndexWorker::songUpdate(song.iri, false, song.url, song.fileName,
                                                    song.size, modified, added, song.info,
                                                    oneBatch ? &textWritten : nullptr);
        }
        if (oneBatch) {
            const TrackerQueryResult result = TrackerQueryRunner::update(
                connection, texts.join(QStringLiteral(" ;\n")));
            QVERIFY2(result.ok, qPrintable(result.errorMessage));
        } else {
            for (const QString& text : qAsConst(texts)) {
                const TrackerQueryResult result = TrackerQueryRunner::update(connection, text);
                QVERIFY2(result.ok, qPrintable(result.errorMessage));
            }
        }
        const QStringList fromText = dump(connection, written);
        QVERIFY(fromText.size() > 100);
        // The hostile title reached the store whole, less its NUL.
        QVERIFY2(fromText.filter(QStringLiteral("after NUL")).size() == 1,
                 qPrintable(fromText.join('\n')));
        QVERIFY(removeAll(connection, fromText));
        QCOMPARE(dump(connection, written), QStringList());

        QSet<QString> resourceWritten;
        TrackerBatch* batch = nullptr;
        for (const Song& song : written) {
            if (!batch)
                batch = tracker_sparql_connection_create_batch(connection);
            TrackerIndexWorker::addNewSong(batch, song.iri, song.url, song.fileName, song.size,
                                           modified, added, song.info,
                                           oneBatch ? &resourceWritten : nullptr);
            if (!oneBatch) {
                const TrackerQueryResult result = TrackerQueryRunner::update(batch);
                g_object_unref(batch);
                batch = nullptr;
                QVERIFY2(result.ok, qPrintable(result.errorMessage));
            }
        }
        if (batch) {
            const TrackerQueryResult result = TrackerQueryRunner::update(batch);
            g_object_unref(batch);
            QVERIFY2(result.ok, qPrintable(result.errorMessage));
        }
        const QStringList fromResources = dump(connection, written);
        for (int i = 0; i < qMax(fromText.size(), fromResources.size()); ++i)
            QCOMPARE(fromResources.value(i), fromText.value(i));
        QVERIFY(removeAll(connection, fromResources));
    }

    void aResourceThatDiffersFromTheStoreIsRefusedWhole()
    {
        // An album already in the store under another title: the text refuses the update, and
        // so must the batch, writing none of its songs.
        QList<Song> written = songs().mid(0, 1);
        const QString modified = QStringLiteral("2026-11-30T10:20:30Z");
        QVERIFY(TrackerQueryRunner::update(
                    connection,
                    TrackerIndexWorker::songUpdate(written.first().iri, false, written.first().url,
                                                   written.first().fileName, 1, modified, modified,
                                                   written.first().info))
                    .ok);
        const QStringList before = dump(connection, written);
        QVERIFY(!before.isEmpty());
        QVERIFY(
            TrackerQueryRunner::update(connection,
                                       QStringLiteral("DELETE { <%1> ?p ?o } WHERE { <%1> ?p ?o }")
                                           .arg(written.first().iri))
                .ok);
        TrackerBatch* batch = tracker_sparql_connection_create_batch(connection);
        TrackerTrackInfo renamed = written.first().info;
        const QString newIri = TrackerSparql::newIri();
        TrackerIndexWorker::addNewSong(batch, newIri, QStringLiteral("file:///resources/new.ogg"),
                                       QStringLiteral("new.ogg"), 1, modified, modified, renamed);
        // The album's resource is named by its title and artist; give it another title.
        QVERIFY(TrackerQueryRunner::update(
                    connection,
                    QStringLiteral("DELETE { ?a nie:title ?t } INSERT { ?a nie:title \"Other\" } "
                                   "WHERE { ?a a nmm:MusicAlbum ; nie:title ?t . "
                                   "FILTER (?t = \"First\") }"))
                    .ok);
        const TrackerQueryResult result = TrackerQueryRunner::update(batch);
        g_object_unref(batch);
        QVERIFY(!result.ok);
        QVERIFY(!result.errorMessage.isEmpty());
        const TrackerQueryResult none = TrackerQueryRunner::select(
            connection, QStringLiteral("SELECT ?p WHERE { <%1> ?p ?o }").arg(newIri), 1);
        QVERIFY(none.ok);
        QCOMPARE(none.rows.size(), 0);
    }

    void aRefusedBatchCostsNoSongItsPlace()
    {
        // An artist the store holds under another name: every batch with one of their songs is
        // refused and written again song by song, while the batches after it are being made.
        AudioTags tags;
        tags.artist = QStringLiteral("Kim");
        tags.album = QStringLiteral("Blue");
        tags.title = QStringLiteral("First");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Kim/Blue/first.ogg"), tags).isEmpty());
        QVERIFY(FixtureLibrary::index());
        auto rows = [this](const QString& sparql) {
            const TrackerQueryResult result = TrackerQueryRunner::select(connection, sparql, 1);
            return result.ok ? result.rows : QList<QStringList>();
        };
        const QList<QStringList> kim = rows(
            QStringLiteral("SELECT ?a WHERE { ?a a nmm:Artist ; nmm:artistName \"Kim\" }"));
        QCOMPARE(kim.size(), 1);
        QVERIFY(
            TrackerQueryRunner::update(
                connection, QStringLiteral("INSERT OR REPLACE { <%1> nmm:artistName \"Kimberly\" }")
                                .arg(kim.first().first()))
                .ok);
        const int songs = 450;
        for (int i = 0; i < songs; ++i) {
            tags.artist = i % 100 == 7 ? QStringLiteral("Kim")
                                       : QStringLiteral("Band %1").arg(i / 30);
            tags.album = QStringLiteral("Album %1").arg(i / 15);
            tags.title = QStringLiteral("Song %1").arg(i);
            QVERIFY(!FixtureLibrary::addSong(QStringLiteral("many/%1.ogg").arg(i), tags).isEmpty());
        }
        QVERIFY(FixtureLibrary::index());
        const QList<QStringList> titles = rows(
            QStringLiteral("SELECT ?t WHERE { ?s a nmm:MusicPiece ; nie:url ?u ; nie:title ?t . "
                           "FILTER (STRSTARTS(?u, %1)) }")
                .arg(TrackerSparql::literal(FixtureLibrary::urlOf(QStringLiteral("many/")))));
        QSet<QString> found;
        for (const QStringList& row : titles)
            found.insert(row.first());
        QCOMPARE(titles.size(), songs);
        for (int i = 0; i < songs; ++i)
            QVERIFY2(found.contains(QStringLiteral("Song %1").arg(i)),
                     qPrintable(QString::number(i)));
        QCOMPARE(rows(QStringLiteral("SELECT ?n WHERE { <%1> nmm:artistName ?n }")
                          .arg(kim.first().first())),
                 QList<QStringList> { QStringList { QStringLiteral("Kim") } });
        QCOMPARE(rows(QStringLiteral("SELECT ?s WHERE { ?s nmm:performer <%1> }")
                          .arg(kim.first().first()))
                     .size(),
                 1 + (songs + 92) / 100);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestSongResources)
#include "tst_songresources.moc"
