#include "audiogenerator.h"
#include "id3tagbytes.h"
#include "mafwcontent.h"
#include "mafwerror.h"
#include "mafwgeneralsourceplaylist.h"
#include "mafwmediainfo.h"
#include "mafwregistry.h"
#include "mafwrenderer.h"
#include "mafwshared.h"
#include "mafwurlrole.h"
#include "radioserver.h"
#include "testenvironment.h"
#include "zelmetadatahandler.h"
#include "zelplaycontrols.h"
#include "zeltime.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardItemModel>

#include <malloc.h>

namespace {

const int Timeout = 20000;

// Reads the row it is given from the controller's playlist, as the song handler of the player
// does, and remembers what the controller told it.
class SongHandler : public ZelMetadataHandler
{
    Q_OBJECT

public:
    QList<int> rows;
    QString title;
    QMap<QString, QList<QVariant>> tags;

public slots:
    void setDataFromIndex(int index, MafwContent) override
    {
        rows.append(index);
        title.clear();
        MafwPlaylist* playlist = ZelPlayControls::instance()->playlist();
        QAbstractItemModel* model = playlist ? playlist->itemModel() : nullptr;
        if (model && index >= 0 && index < model->rowCount())
            title = model->index(index, 0).data().toString();
    }
    void onMetadataChange(QString key, QList<QVariant> values) override { tags[key] = values; }
    void clear() override { title.clear(); }
};

// Announces a new item itself when it gets an address, as the stream handler of the player
// does, and collects the renderer's metadata reports.
class StreamHandler : public ZelMetadataHandler
{
    Q_OBJECT

public:
    QStringList uris;
    int items = 0;
    QMap<QString, QList<QVariant>> tags;

public slots:
    void setDataFromIndex(int, MafwContent content) override
    {
        ++items;
        const QVariant uri = content.metaData(QStringLiteral("uri"));
        if (uri.isValid()) {
            uris.append(uri.toString());
            tags.clear();
            emit mediaChanged(this);
        }
    }
    void onMetadataChange(QString key, QList<QVariant> values) override { tags[key] = values; }
};

// Takes the renderer's answer to a media info request.
class InfoReceiver : public QObject
{
    Q_OBJECT

public:
    QList<MafwMediaInfo> answers;

public slots:
    void updateMediaInfo(MafwMediaInfo info) { answers.append(info); }
};

QString stateText(MafwRenderer::State s)
{
    return QString::number(int(s));
}

QList<int> statesOf(const QSignalSpy& spy)
{
    QList<int> states;
    for (const QList<QVariant>& args : spy)
        states.append(args.at(0).value<MafwRenderer::State>());
    return states;
}

size_t heapInUse()
{
    malloc_trim(0);
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace

class TestZelPlayControls : public QObject
{
    Q_OBJECT

private:
    ZelPlayControls* controls = nullptr;
    SongHandler* songs = nullptr;
    StreamHandler* streams = nullptr;
    QSharedPointer<QStandardItemModel> model;
    MafwGeneralSourcePlaylist* playlist = nullptr;
    QString dir;

    QString write(const QString& name, const QString& title, int ms)
    {
        const QString path = dir + QLatin1Char('/') + name;
        AudioTags tags;
        tags.title = title;
        tags.artist = QStringLiteral("Tester");
        tags.album = QStringLiteral("Fixtures");
        tags.trackNumber = 4;
        if (!AudioGenerator::write(path, tags, ms))
            return QString();
        return path;
    }

    // Rows of "title" and "url" columns, as the play queue shows them.
    void setRows(const QList<QPair<QString, QString>>& rows)
    {
        model->removeRows(0, model->rowCount());
        for (const auto& r : rows) {
            QList<QStandardItem*> items;
            items << new QStandardItem(r.first)
                  << new QStandardItem(QUrl::fromLocalFile(r.second).toString(QUrl::FullyEncoded));
            model->appendRow(items);
        }
    }

    // The titles that play, in their order, until the controller reports the end of the list.
    QStringList titlesUntilCompleted(QSignalSpy& completed)
    {
        QStringList titles;
        QElapsedTimer waited;
        waited.start();
        while (completed.isEmpty() && waited.elapsed() < 3 * Timeout) {
            const QString title = streams->tags.value(QStringLiteral("title")).value(0).toString();
            if (!title.isEmpty() && (titles.isEmpty() || titles.last() != title))
                titles.append(title);
            QTest::qWait(10);
        }
        return titles;
    }

    // A song served over HTTP, its body an Ogg file titled title.
    bool serve(RadioServer& server, const QByteArray& path, const QString& title)
    {
        const QString file = write(QStringLiteral("served-%1.ogg").arg(title), title, 1000);
        QFile source(file);
        if (file.isEmpty() || !source.open(QIODevice::ReadOnly))
            return false;
        RadioServer::Resource song;
        song.contentType = "audio/ogg";
        song.body = source.readAll();
        server.addResource(path, song);
        return true;
    }

    bool waitForState(MafwRenderer::State s, int timeout = Timeout)
    {
        QElapsedTimer timer;
        timer.start();
        while (controls->state() != s && timer.elapsed() < timeout)
            QTest::qWait(10);
        return controls->state() == s;
    }

    void resetControls()
    {
        controls->stop();
        QCOMPARE(controls->state(), MafwRenderer::Stopped);
        playlist->setRepeat(MafwPlaylist::RepeatOff);
        songs->rows.clear();
        songs->tags.clear();
        streams->uris.clear();
        streams->items = 0;
        streams->tags.clear();
    }

private slots:
    void initTestCase()
    {
        dir = TestEnvironment::musicDir();
        controls = ZelPlayControls::instance();
        QCOMPARE(ZelPlayControls::instance(), controls);
        QSignalSpy lost(controls, SIGNAL(rendererLost()));
        controls->init();
        controls->init();

        songs = new SongHandler;
        streams = new StreamHandler;
        controls->setMetadataHandler(songs, ZelPlayControls::SongContent);
        controls->setMetadataHandler(streams, ZelPlayControls::StreamContent);

        model.reset(new QStandardItemModel);
        model->setHorizontalHeaderLabels(QStringList() << "title"
                                                       << "url");
        playlist = new MafwGeneralSourcePlaylist(MafwPlaylist::getNewPlaylistId(), QString(),
                                                 "MafwTrackerSource", this);
        QVERIFY(MafwShared::instance()->publishPlaylist(playlist));
        playlist->setUnderlyingModel(model);

        QCOMPARE(controls->playlist(), static_cast<MafwPlaylist*>(nullptr));
        QSignalSpy changed(controls, SIGNAL(playlistChanged(MafwPlaylist*)));
        controls->setPlaylist(playlist->id(), false);
        QCOMPARE(controls->playlist(), static_cast<MafwPlaylist*>(playlist));
        QCOMPARE(changed.count(), 1);
        controls->setPlaylist(QStringLiteral("no-such-playlist"), false);
        QCOMPARE(controls->playlist(), static_cast<MafwPlaylist*>(playlist));

        QCOMPARE(controls->state(), MafwRenderer::Stopped);
        QCOMPARE(controls->contentType(), ZelPlayControls::NoContent);
        QCOMPARE(controls->mutableItem(), static_cast<ZelMetadataHandler*>(nullptr));
        QVERIFY(!controls->isCallActive());
        QTest::qWait(50);
        QCOMPARE(lost.count(), 0);
    }

    void init() { resetControls(); }

    void timeText()
    {
        QCOMPARE(ZelTime::timeString(0, false), QStringLiteral("00:00"));
        QCOMPARE(ZelTime::timeString(59, false), QStringLiteral("00:59"));
        QCOMPARE(ZelTime::timeString(61, false), QStringLiteral("01:01"));
        QCOMPARE(ZelTime::timeString(3599, false), QStringLiteral("59:59"));
        QCOMPARE(ZelTime::timeString(3600, false), QStringLiteral("1:00:00"));
        QCOMPARE(ZelTime::timeString(36000 + 62, false), QStringLiteral("10:01:02"));
        QCOMPARE(ZelTime::timeString(-5, false), QStringLiteral("00:00"));
        QCOMPARE(ZelTime::timeString(65, true), QStringLiteral("0:01:05"));
    }

    void playlistItems()
    {
        // Through the "url" column.
        setRows({ { "one", "/music/a b.ogg" }, { "two", "/music/ü.mp3" } });
        QCOMPARE(playlist->count(), 2);
        QCOMPARE(playlist->url(0), QUrl::fromLocalFile("/music/a b.ogg"));
        QCOMPARE(playlist->url(1).toLocalFile(), QString::fromUtf8("/music/ü.mp3"));
        QCOMPARE(playlist->url(2), QUrl());
        QCOMPARE(playlist->url(-1), QUrl());
        QCOMPARE(playlist->itemModel(), static_cast<QAbstractItemModel*>(model.data()));

        // Without a "url" column, through the item role of column 0.
        QSharedPointer<QStandardItemModel> queue(new QStandardItemModel(0, 10));
        auto* item = new QStandardItem("song");
        item->setData(QUrl::fromLocalFile("/music/c.flac").toString(), Mafw::UrlRole);
        queue->appendRow(item);
        MafwGeneralSourcePlaylist other(MafwPlaylist::getNewPlaylistId(), "", "src");
        QVERIFY(other.id() != playlist->id());
        QSignalSpy contents(&other, SIGNAL(contentsChanged()));
        other.setUnderlyingModel(queue);
        QCOMPARE(other.underlyingModel(), QSharedPointer<QAbstractItemModel>(queue));
        QCOMPARE(other.url(0), QUrl::fromLocalFile("/music/c.flac"));
        queue->appendRow(new QStandardItem("no location"));
        QCOMPARE(other.count(), 2);
        QCOMPARE(other.url(1), QUrl());
        QVERIFY(contents.count() >= 2);

        // Published by id; gone when unpublished or destroyed.
        QVERIFY(!MafwShared::instance()->publishPlaylist(nullptr));
        QVERIFY(MafwShared::instance()->publishPlaylist(&other));
        QCOMPARE(MafwShared::instance()->playlist(other.id()), static_cast<MafwPlaylist*>(&other));
        MafwShared::instance()->unPublishPlaylist(other.id());
        QCOMPARE(MafwShared::instance()->playlist(other.id()), static_cast<MafwPlaylist*>(nullptr));
        {
            MafwGeneralSourcePlaylist temporary("temporary-playlist", "", "src");
            MafwShared::instance()->publishPlaylist(&temporary);
        }
        QCOMPARE(MafwShared::instance()->playlist("temporary-playlist"),
                 static_cast<MafwPlaylist*>(nullptr));

        MafwError none;
        QCOMPARE(none.code(), 0);
        MafwError lost(304, QString());
        QCOMPARE(lost.code(), 304);
        QVERIFY(lost.message().isEmpty());
    }

    void rendererAnswersLater()
    {
        MafwRenderer* renderer = MafwRegistry::instance()->renderer("mafw_gst_renderer");
        QVERIFY(renderer);
        QCOMPARE(MafwRegistry::instance()->renderer("other"), static_cast<MafwRenderer*>(nullptr));
        MafwMediaInfo info;
        info.setMetaData("title", QList<QVariant>() << "A title");
        info.setMetaData("track", QList<QVariant>() << 7);
        QMap<QString, QList<QVariant>> all = info.metaData();
        QCOMPARE(all.size(), 2);

        InfoReceiver receiver;
        QVERIFY(!renderer->getCurrentMediaInfo(&receiver, SLOT(noSuchSlot(MafwMediaInfo)), ""));
        QVERIFY(renderer->getCurrentMediaInfo(&receiver, SLOT(updateMediaInfo(MafwMediaInfo)),
                                              QString()));
        QVERIFY(
            renderer->getCurrentMediaInfo(&receiver, "updateMediaInfo(MafwMediaInfo)", "track"));
        QVERIFY(receiver.answers.isEmpty()); // never within the call
        QTRY_COMPARE(receiver.answers.size(), 2);

        // A receiver that is gone by the time of the answer is left alone.
        auto* gone = new InfoReceiver;
        QVERIFY(renderer->getCurrentMediaInfo(gone, SLOT(updateMediaInfo(MafwMediaInfo))));
        delete gone;
        // Answers go out in the order asked: once a later one is in, the gone one's turn is over.
        InfoReceiver later;
        QVERIFY(renderer->getCurrentMediaInfo(&later, SLOT(updateMediaInfo(MafwMediaInfo))));
        QTRY_COMPARE(later.answers.size(), 1);
    }

    void playRowThroughAllFormats_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("ogg") << "ogg";
        QTest::newRow("mp3") << "mp3";
        QTest::newRow("flac") << "flac";
    }

    void playRowThroughAllFormats()
    {
        QFETCH(QString, suffix);
        const QString first = write("first." + suffix, "First " + suffix, 4000);
        const QString second = write("second." + suffix, "Second " + suffix, 4000);
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        setRows({ { "row zero", first }, { "row one", second } });

        QSignalSpy states(controls, SIGNAL(stateChanged(MafwRenderer::State)));
        QSignalSpy media(controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)));
        QSignalSpy types(controls, SIGNAL(contentTypeChanged()));
        QSignalSpy starting(controls, SIGNAL(playbackAboutToStart()));
        QSignalSpy errors(controls, SIGNAL(error(MafwError)));

        controls->play(1u);
        // Asked at once, the renderer answers with the item's own metadata once it is loaded.
        InfoReceiver receiver;
        MafwRenderer* renderer = MafwRegistry::instance()->renderer("mafw_gst_renderer");
        QVERIFY(renderer->getCurrentMediaInfo(&receiver, SLOT(updateMediaInfo(MafwMediaInfo))));
        // The handler knows the row at once; the renderer reports transitioning, then playing.
        QCOMPARE(songs->rows, QList<int>() << 1);
        QCOMPARE(songs->title, QStringLiteral("row one"));
        QCOMPARE(media.count(), 1);
        QCOMPARE(media.at(0).at(0).value<const ZelMetadataHandler*>(),
                 static_cast<const ZelMetadataHandler*>(songs));
        QCOMPARE(controls->contentType(), ZelPlayControls::SongContent);
        QCOMPARE(controls->mutableItem(), static_cast<ZelMetadataHandler*>(songs));
        QCOMPARE(playlist->currentIndex(), 1);
        QVERIFY(starting.count() >= 1);
        QVERIFY(waitForState(MafwRenderer::Playing));
        QCOMPARE(statesOf(states), QList<int>() << 3 << 1);
        QCOMPARE(errors.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.answers.size(), 1, Timeout);
        QCOMPARE(receiver.answers.first().metaData("track").value(0).toInt(), 4);
        QCOMPARE(receiver.answers.first().metaData("title").value(0).toString(),
                 QString("Second " + suffix));

        // The stream's own tags reach the handler and the renderer's media info.
        QTRY_COMPARE_WITH_TIMEOUT(songs->tags.value("title").value(0).toString(),
                                  QString("Second " + suffix), Timeout);
        QTRY_VERIFY(songs->tags.contains("duration"));
        QCOMPARE(songs->tags.value("duration").value(0).toUInt(), 4u);
        QCOMPARE(songs->tags.value("is-seekable").value(0).toBool(), true);
        const MafwMediaInfo info = renderer->currentMediaInfo();
        QCOMPARE(info.metaData("artist").value(0).toString(), QStringLiteral("Tester"));
        QCOMPARE(info.metaData("track").value(0).toInt(), 4);
        QCOMPARE(info.metaData("album").value(0).toString(), QStringLiteral("Fixtures"));
        Q_UNUSED(types)
    }

    void endOfStreamAdvances()
    {
        const QString a = write("adv-a.ogg", "A", 1000);
        const QString b = write("adv-b.mp3", "B", 1000);
        const QString c = write("adv-c.flac", "C", 1000);
        setRows({ { "a", a }, { "b", b }, { "c", c } });
        QSignalSpy completed(controls, SIGNAL(playbackCompleted()));
        QSignalSpy media(controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)));

        controls->play(0u);
        QTRY_COMPARE_WITH_TIMEOUT(songs->rows, (QList<int>() << 0 << 1 << 2), Timeout);
        QCOMPARE(playlist->currentIndex(), 2);
        QCOMPARE(media.count(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, Timeout);
        QVERIFY(waitForState(MafwRenderer::Stopped));
    }

    void lastRowRepeatsOrCompletes()
    {
        const QString a = write("rep-a.ogg", "A", 1000);
        const QString b = write("rep-b.ogg", "B", 1000);
        setRows({ { "a", a }, { "b", b } });

        // With repeat the last row wraps to the first.
        playlist->setRepeat(MafwPlaylist::RepeatAll);
        QSignalSpy completed(controls, SIGNAL(playbackCompleted()));
        controls->play(1u);
        QTRY_COMPARE_WITH_TIMEOUT(songs->rows, (QList<int>() << 1 << 0), Timeout);
        QVERIFY(waitForState(MafwRenderer::Playing));
        QCOMPARE(completed.count(), 0);

        // Without it, the end of the last row completes playback, and then the state is 0.
        playlist->setRepeat(MafwPlaylist::RepeatOff);
        QStringList order;
        auto c1 = connect(controls, &ZelPlayControls::playbackCompleted, this,
                          [&order]() { order << "completed"; });
        auto c2 = connect(controls, &ZelPlayControls::stateChanged, this,
                          [&order](MafwRenderer::State s) { order << stateText(s); });
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, Timeout);
        disconnect(c1);
        disconnect(c2);
        QCOMPARE(songs->rows, (QList<int>() << 1 << 0 << 1));
        QCOMPARE(order.mid(order.indexOf("completed")), QStringList() << "completed"
                                                                      << "0");
        QCOMPARE(controls->state(), MafwRenderer::Stopped);
        QCOMPARE(controls->contentType(), ZelPlayControls::SongContent);
    }

    void completionMayStartSomethingNew()
    {
        const QString a = write("again.ogg", "Again", 1000);
        setRows({ { "a", a } });
        int restarts = 0;
        auto c = connect(controls, &ZelPlayControls::playbackCompleted, this, [&]() {
            if (restarts++ == 0)
                controls->play(0u);
        });
        controls->play(0u);
        QTRY_COMPARE_WITH_TIMEOUT(restarts, 1, Timeout);
        // The row started from the completion keeps playing; it is not stopped behind it.
        QVERIFY(controls->state() != MafwRenderer::Stopped);
        QVERIFY(waitForState(MafwRenderer::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(restarts, 2, Timeout);
        disconnect(c);
        QVERIFY(waitForState(MafwRenderer::Stopped));
    }

    void pauseAtEndsPaused()
    {
        const QString longSong = write("long.ogg", "Long", 30000);
        setRows({ { "long", longSong } });
        controls->setPlaylistIndex(0);
        QCOMPARE(controls->state(), MafwRenderer::Stopped);

        // From stopped: the row is loaded and left paused at the position.
        QSignalSpy states(controls, SIGNAL(stateChanged(MafwRenderer::State)));
        QSignalSpy positions(controls, SIGNAL(positionChanged(uint, int)));
        controls->pauseAt(12);
        QVERIFY(waitForState(MafwRenderer::Paused));
        QCOMPARE(statesOf(states).last(), 2);
        QCOMPARE(controls->position(), 12u);

        // Resumed, it plays on from there.
        controls->resume();
        QVERIFY(waitForState(MafwRenderer::Playing));
        QVERIFY(positions.wait(Timeout));
        QVERIFY(positions.last().at(0).toUInt() >= 12u);
        QCOMPARE(positions.last().at(1).toInt(), 30);

        // From playing, and again while paused: stateChanged(Paused) each time.
        states.clear();
        controls->pauseAt(5);
        QVERIFY(waitForState(MafwRenderer::Paused));
        QCOMPARE(controls->position(), 5u);
        states.clear();
        controls->pauseAt(20);
        QTRY_COMPARE_WITH_TIMEOUT(statesOf(states), QList<int>() << 2, Timeout);
        QCOMPARE(controls->position(), 20u);

        // No position reports while paused.
        positions.clear();
        controls->testReportPosition();
        QCOMPARE(positions.count(), 0);
    }

    void setPositionMovesWithinOneReport()
    {
        const QString longSong = write("long.ogg", "Long", 30000);
        setRows({ { "long", longSong } });
        controls->setPositionUpdateInterval(1);
        QSignalSpy positions(controls, SIGNAL(positionChanged(uint, int)));
        controls->play(0u);
        QVERIFY(waitForState(MafwRenderer::Playing));
        QVERIFY(positions.wait(Timeout));
        QVERIFY(positions.last().at(0).toUInt() <= 2u);

        controls->setPosition(20);
        positions.clear();
        QVERIFY(positions.wait(Timeout));
        const uint reported = positions.first().at(0).toUInt();
        QVERIFY2(reported >= 20u && reported <= 22u, qPrintable(QString::number(reported)));
        QVERIFY(controls->position() >= 20u);

        // Paused, a move stays paused at the new place.
        controls->pause();
        QVERIFY(waitForState(MafwRenderer::Paused));
        controls->setPosition(3);
        QTRY_COMPARE_WITH_TIMEOUT(controls->position(), 3u, Timeout);
        QCOMPARE(controls->state(), MafwRenderer::Paused);
    }

    void selectingRows()
    {
        const QString a = write("sel-a.ogg", "A", 30000);
        const QString b = write("sel-b.ogg", "B", 30000);
        const QString c = write("sel-c.ogg", "C", 30000);
        setRows({ { "a", a }, { "b", b }, { "c", c } });
        QSignalSpy states(controls, SIGNAL(stateChanged(MafwRenderer::State)));
        QSignalSpy media(controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)));

        // Stopped: selected, announced, not started.
        controls->setPlaylistIndex(1);
        QCOMPARE(songs->rows, QList<int>() << 1);
        QCOMPARE(media.count(), 1);
        QCOMPARE(playlist->currentIndex(), 1);
        QTest::qWait(300);
        QCOMPARE(states.count(), 0);
        QCOMPARE(controls->state(), MafwRenderer::Stopped);

        // Playing: the selected row plays at once.
        controls->play(0u);
        QVERIFY(waitForState(MafwRenderer::Playing));
        controls->setPlaylistIndex(2);
        QCOMPARE(songs->title, QStringLiteral("c"));
        QVERIFY(waitForState(MafwRenderer::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(songs->tags.value("title").value(0).toString(),
                                  QStringLiteral("C"), Timeout);

        // Paused: stays paused on the new row, which plays from its start when resumed.
        controls->pause();
        QVERIFY(waitForState(MafwRenderer::Paused));
        states.clear();
        controls->setPlaylistIndex(0);
        QCOMPARE(songs->title, QStringLiteral("a"));
        QTest::qWait(300);
        QCOMPARE(controls->state(), MafwRenderer::Paused);
        QCOMPARE(controls->position(), 0u);
        controls->resume();
        QVERIFY(waitForState(MafwRenderer::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(songs->tags.value("title").value(0).toString(),
                                  QStringLiteral("A"), Timeout);

        // Rows that do not exist are refused without a change.
        controls->setPlaylistIndex(3);
        controls->setPlaylistIndex(-1);
        controls->play(7u);
        QCOMPARE(playlist->currentIndex(), 0);
        QCOMPARE(controls->state(), MafwRenderer::Playing);
    }

    void errorsStopWithTheirCodes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::newRow("missing file") << "missing" << 303;
        QTest::newRow("garbage bytes") << "garbage" << 308;
        QTest::newRow("text file") << "text" << 308;
        QTest::newRow("no location") << "nourl" << 303;
    }

    void errorsStopWithTheirCodes()
    {
        QFETCH(QString, kind);
        QFETCH(int, code);
        const QString good = write("after-error.ogg", "Good", 1000);
        QString path = dir + "/missing.mp3";
        if (kind == "garbage" || kind == "text") {
            path = dir + "/" + kind + ".mp3";
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray bytes;
            quint32 seed = 12345;
            for (int i = 0; i < 200000; ++i) {
                seed = seed * 1103515245u + 12345u;
                bytes.append(kind == "text" ? char('a' + (seed >> 16) % 26) : char(seed >> 16));
            }
            file.write(bytes);
        }
        setRows({ { "bad", path }, { "good", good } });
        if (kind == "nourl")
            model->item(0, 1)->setText(QString());

        QSignalSpy errors(controls, SIGNAL(error(MafwError)));
        controls->play(0u);
        QVERIFY(errors.wait(Timeout));
        QCOMPARE(errors.count(), 1);
        const MafwError e = errors.first().at(0).value<MafwError>();
        QCOMPARE(e.code(), code);
        QCOMPARE(controls->state(), MafwRenderer::Stopped);
        QTest::qWait(200);
        QCOMPARE(errors.count(), 1);

        // The controller is not stuck: the next row plays.
        controls->setPlaylistIndex(1);
        controls->play(1u);
        QVERIFY(waitForState(MafwRenderer::Playing));
    }

    void aLaterCommandReplacesAFailureOnItsWay()
    {
        const QString good = write("after-error.ogg", "Good", 1000);
        setRows({ { "no location", QString() }, { "good", good } });
        QSignalSpy errors(controls, SIGNAL(error(MafwError)));
        controls->play(0u);
        QCOMPARE(controls->state(), MafwRenderer::Transitioning);
        QCOMPARE(errors.count(), 0); // never within the call
        controls->setPlaylistIndex(1);
        QCOMPARE(controls->state(), MafwRenderer::Stopped);
        QTest::qWait(300);
        QCOMPARE(errors.count(), 0);
        QCOMPARE(controls->state(), MafwRenderer::Stopped);
    }

    void singleLocalUrl()
    {
        const QString path = write("single.mp3", "Single", 1000);
        QSignalSpy types(controls, SIGNAL(contentTypeChanged()));
        QSignalSpy completed(controls, SIGNAL(playbackCompleted()));
        QSignalSpy states(controls, SIGNAL(stateChanged(MafwRenderer::State)));
        controls->play(QUrl::fromLocalFile(path));
        QCOMPARE(controls->contentType(), ZelPlayControls::StreamContent);
        QCOMPARE(types.count(), 1);
        QCOMPARE(controls->mutableItem(), static_cast<ZelMetadataHandler*>(streams));
        // A local file is given no address: its tags describe it.
        QCOMPARE(streams->items, 1);
        QVERIFY(streams->uris.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value("title").value(0).toString(),
                                  QStringLiteral("Single"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, Timeout);
        QVERIFY(waitForState(MafwRenderer::Stopped));
        QCOMPARE(statesOf(states), QList<int>() << 3 << 1 << 0);

        // While a URL plays, selecting a queue row only moves the queue underneath.
        const QString longSong = write("long.ogg", "Long", 30000);
        setRows({ { "a", longSong } });
        controls->play(QUrl::fromLocalFile(longSong));
        QVERIFY(waitForState(MafwRenderer::Playing));
        songs->rows.clear();
        controls->setPlaylistIndex(0);
        QCOMPARE(playlist->currentIndex(), 0);
        QVERIFY(songs->rows.isEmpty());
        QCOMPARE(controls->contentType(), ZelPlayControls::StreamContent);
        QCOMPARE(controls->state(), MafwRenderer::Playing);
    }

    void streamTagsAreTakenBounded()
    {
        // A title of a million letters and an artist of a hundred values: what reaches the
        // handler is the first 4,000 letters and the first 16 values, as nothing shows more.
        QFile audio(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 1000));
        QVERIFY(audio.open(QIODevice::ReadOnly));
        QByteArray artists;
        for (int i = 0; i < 100; ++i)
            artists += (i ? QByteArray(1, '\0') : QByteArray()) + "Artist " + QByteArray::number(i);
        const QByteArray tag = id3v2(4, { { "TIT2", 0, "Long " + QByteArray(1024 * 1024, 'a') },
                                          { "TPE1", 0, artists } });
        QFile file(dir + QStringLiteral("/long tags.mp3"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(tag + withoutId3v2(audio.readAll())) > tag.size());
        file.close();

        controls->play(QUrl::fromLocalFile(file.fileName()));
        QTRY_VERIFY_WITH_TIMEOUT(streams->tags.contains("title")
                                     && streams->tags.contains("artist"),
                                 Timeout);
        const QString title = streams->tags.value("title").value(0).toString();
        QCOMPARE(title.size(), 4000);
        QVERIFY(title.startsWith(QLatin1String("Long aaa")));
        const QList<QVariant> values = streams->tags.value("artist");
        QCOMPARE(values.size(), 16);
        QCOMPARE(values.first().toString(), QStringLiteral("Artist 0"));
        QCOMPARE(values.last().toString(), QStringLiteral("Artist 15"));
        controls->stop();
    }

    void localPlaylistFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("pls") << "list.pls"
                             << QByteArray("[playlist]\nNumberOfEntries=2\nFile1=entry-1.ogg\n"
                                           "Title1=One\nFile2=entry-2.ogg\nTitle2=Two\n"
                                           "Version=2\n");
        QTest::newRow("m3u") << "list.m3u"
                             << QByteArray("#EXTM3U\n#EXTINF:1,One\nentry-1.ogg\n"
                                           "#EXTINF:1,Two\nentry-2.ogg\n");
    }

    void localPlaylistFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        QVERIFY(!write("entry-1.ogg", "Entry one", 1000).isEmpty());
        QVERIFY(!write("entry-2.ogg", "Entry two", 1000).isEmpty());
        QFile file(dir + "/" + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();

        QSignalSpy radio(controls, SIGNAL(aboutToPlayRadioStream()));
        QSignalSpy states(controls, SIGNAL(stateChanged(MafwRenderer::State)));
        QSignalSpy completed(controls, SIGNAL(playbackCompleted()));
        controls->playPlaylist(QUrl::fromLocalFile(file.fileName()), "audio/x-scpls");
        QCOMPARE(radio.count(), 1);
        QCOMPARE(controls->state(), MafwRenderer::Transitioning);
        QCOMPARE(controls->contentType(), ZelPlayControls::StreamContent);
        QVERIFY(waitForState(MafwRenderer::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value("title").value(0).toString(),
                                  QStringLiteral("Entry one"), Timeout);
        // Then the second entry, then the end.
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value("title").value(0).toString(),
                                  QStringLiteral("Entry two"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, Timeout);
        QVERIFY(waitForState(MafwRenderer::Stopped));
    }

    void aPlaylistFileStartsAtAnEntryAndAPlace()
    {
        QVERIFY(!write("from-1.ogg", "From one", 10000).isEmpty());
        QVERIFY(!write("from-2.ogg", "From two", 10000).isEmpty());
        QFile file(dir + "/from.m3u");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("gone.ogg\nfrom-1.ogg\nfrom-2.ogg\n");
        file.close();
        const QUrl list = QUrl::fromLocalFile(file.fileName());

        // The second entry 4 s in, paused: it is that entry from the start, while the file is
        // read, and waits there until resumed.
        controls->playPlaylistFrom(list, 1, 4, true);
        QCOMPARE(controls->playlistEntry(), 1);
        QVERIFY(waitForState(MafwRenderer::Paused));
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value("title").value(0).toString(),
                                  QStringLiteral("From one"), Timeout);
        QCOMPARE(controls->playlistEntry(), 1);
        QCOMPARE(controls->position(), 4u);
        controls->resume();
        QVERIFY(waitForState(MafwRenderer::Playing));
        QVERIFY(controls->position() >= 4);
        QVERIFY(controls->playEntry(1));
        QCOMPARE(controls->playlistEntry(), 2);

        // An entry the file does not hold is its first; one that fails to load paused hands on
        // to the next, which waits paused too.
        streams->tags.clear();
        controls->playPlaylistFrom(list, 7, 0, true);
        QVERIFY(waitForState(MafwRenderer::Paused));
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value("title").value(0).toString(),
                                  QStringLiteral("From one"), Timeout);
        QCOMPARE(controls->playlistEntry(), 1);
        QTest::qWait(300);
        QCOMPARE(controls->state(), MafwRenderer::Paused);
        controls->stop();
        QCOMPARE(controls->playlistEntry(), 1);
        controls->play(QUrl::fromLocalFile(dir + "/from-1.ogg"));
        QCOMPARE(controls->playlistEntry(), -1);
    }

    void localPlaylistsNameFilesByPath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        // %1: a folder elsewhere; the playlist lies in a folder of its own beside "far".
        QTest::newRow("pls") << "road trip.pls"
                             << "[playlist]\nNumberOfEntries=3\nFile1=%1/Outside Song.ogg\n"
                                "File2=../far/legacy two.ogg\nFile3=near three.ogg\nVersion=2\n";
        QTest::newRow("m3u") << "Road Trip.m3u"
                             << "#EXTM3U\n#EXTINF:1,One\n%1/Outside Song.ogg\n"
                                "../far/legacy two.ogg\nnear three.ogg\n";
        // Absolute paths one a line, as a playlist without its header holds them, in a note.
        QTest::newRow("txt") << "road trip.txt"
                             << "# road trip\n%1/Outside Song.ogg\n\n%1/../far/legacy two.ogg\n"
                                "%1/../lists/near three.ogg\n";
    }

    void localPlaylistsNameFilesByPath()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        const QString elsewhere = dir + QStringLiteral("/elsewhere ") + QTest::currentDataTag();
        QVERIFY(QDir().mkpath(elsewhere) && QDir().mkpath(dir + QStringLiteral("/far"))
                && QDir().mkpath(dir + QStringLiteral("/lists")));
        QVERIFY(!write(QStringLiteral("elsewhere %1/Outside Song.ogg").arg(QTest::currentDataTag()),
                       QStringLiteral("Outside one"), 1000)
                     .isEmpty());
        QVERIFY(!write(QStringLiteral("far/legacy two.ogg"), QStringLiteral("Legacy two"), 1000)
                     .isEmpty());
        QVERIFY(!write(QStringLiteral("lists/near three.ogg"), QStringLiteral("Near three"), 1000)
                     .isEmpty());
        QFile file(dir + QStringLiteral("/lists/") + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.arg(elsewhere).toUtf8());
        file.close();

        QSignalSpy completed(controls, SIGNAL(playbackCompleted()));
        QSignalSpy errors(controls, SIGNAL(error(MafwError)));
        controls->playPlaylist(QUrl::fromLocalFile(file.fileName()), "audio/x-scpls");
        QCOMPARE(titlesUntilCompleted(completed),
                 QStringList({ QStringLiteral("Outside one"), QStringLiteral("Legacy two"),
                               QStringLiteral("Near three") }));
        QVERIFY(errors.isEmpty());
        QVERIFY(waitForState(MafwRenderer::Stopped));
    }

    void networkPlaylistsReadRelativeEntriesAgainstTheirAddress_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("m3u") << QByteArray("/lists/road.m3u")
                             << QByteArray("#EXTM3U\nsongs/first.ogg\n../second.ogg\n"
                                           "/third.ogg\n");
        QTest::newRow("pls") << QByteArray("/lists/road.pls")
                             << QByteArray("[playlist]\nNumberOfEntries=3\nFile1=songs/first.ogg\n"
                                           "File2=../second.ogg\nFile3=/third.ogg\nVersion=2\n");
    }

    void networkPlaylistsReadRelativeEntriesAgainstTheirAddress()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, text);
        RadioServer server;
        QVERIFY(server.start());
        QVERIFY(serve(server, "/lists/songs/first.ogg", QStringLiteral("First")));
        QVERIFY(serve(server, "/second.ogg", QStringLiteral("Second")));
        QVERIFY(serve(server, "/third.ogg", QStringLiteral("Third")));
        RadioServer::Resource list;
        list.contentType = path.endsWith(".pls") ? "audio/x-scpls" : "audio/x-mpegurl";
        list.body = text;
        server.addResource(path, list);

        QSignalSpy completed(controls, SIGNAL(playbackCompleted()));
        controls->playPlaylist(server.url(path), QString::fromLatin1(list.contentType));
        QCOMPARE(titlesUntilCompleted(completed),
                 QStringList({ QStringLiteral("First"), QStringLiteral("Second"),
                               QStringLiteral("Third") }));
        QVERIFY(server.requests("/lists/songs/first.ogg") >= 1);
        QVERIFY(server.requests("/second.ogg") >= 1);
        QVERIFY(server.requests("/third.ogg") >= 1);
        QVERIFY(waitForState(MafwRenderer::Stopped));
    }

    void aNetworkPlaylistNeverReachesLocalFiles()
    {
        const QString secret = write(QStringLiteral("local secret.ogg"), QStringLiteral("Secret"),
                                     1000);
        QVERIFY(!secret.isEmpty());
        RadioServer server;
        QVERIFY(server.start());
        // A path without a scheme names a file on the playlist's server, never a local one.
        const QByteArray served = QUrl::fromLocalFile(secret).path(QUrl::FullyEncoded).toUtf8();
        QVERIFY(serve(server, served, QStringLiteral("Served")));
        QByteArray climb;
        for (int i = 0; i < 40; ++i)
            climb += "../";
        RadioServer::Resource list;
        list.contentType = "audio/x-mpegurl";
        list.body = "#EXTM3U\n" + QUrl::fromLocalFile(secret).toEncoded() + "\n" + climb
                    + served.mid(1) + "\n" + secret.toUtf8() + "\n";
        server.addResource("/deep/down/list.m3u", list);

        QSignalSpy completed(controls, SIGNAL(playbackCompleted()));
        controls->playPlaylist(server.url("/deep/down/list.m3u"), "audio/x-mpegurl");
        QCOMPARE(titlesUntilCompleted(completed), QStringList({ QStringLiteral("Served") }));
        QVERIFY(server.requests(served) >= 1);
        QVERIFY(waitForState(MafwRenderer::Stopped));
    }

    void badPlaylistFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("empty") << QByteArray("[playlist]\nNumberOfEntries=0\nVersion=2\n") << 320;
        QTest::newRow("missing file") << QByteArray() << 303;
        QTest::newRow("unplayable entries")
            << QByteArray("[playlist]\nFile1=nothing-1.ogg\nFile2=nothing-2.ogg\n") << 303;
    }

    void badPlaylistFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, code);
        const QString path = dir + "/bad.pls";
        QFile::remove(path);
        if (!text.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        }
        QSignalSpy errors(controls, SIGNAL(error(MafwError)));
        controls->playPlaylist(QUrl::fromLocalFile(path), "audio/x-scpls");
        QVERIFY(errors.wait(Timeout));
        QCOMPARE(errors.first().at(0).value<MafwError>().code(), code);
        QCOMPARE(controls->state(), MafwRenderer::Stopped);
    }

    void aStoppedPlaylistFileReportsNothing()
    {
        const QUrl missing = QUrl::fromLocalFile(dir + "/never-written.pls");
        QSignalSpy errors(controls, SIGNAL(error(MafwError)));
        controls->playPlaylist(missing, "audio/x-scpls");
        controls->stop();
        QTest::qWait(300);
        QCOMPARE(errors.count(), 0);
        QCOMPARE(controls->state(), MafwRenderer::Stopped);

        // Started again at once, the file fails once, not once for each start.
        controls->playPlaylist(missing, "audio/x-scpls");
        controls->stop();
        controls->playPlaylist(missing, "audio/x-scpls");
        QVERIFY(errors.wait(Timeout));
        QTest::qWait(300);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().at(0).value<MafwError>().code(), int(MafwError::ResourceNotFound));
    }

    void radioOverHttp()
    {
        // An MP3 radio with ICY headers and in-stream titles, announced by a .pls file.
        const QString audio = AudioGenerator::untaggedTemplate("mp3", 20000);
        QFile source(audio);
        QVERIFY(source.open(QIODevice::ReadOnly));
        RadioServer server;
        QVERIFY(server.start());
        RadioServer::Resource stream;
        stream.contentType = "audio/mpeg";
        stream.body = source.readAll();
        stream.headers << qMakePair(QByteArray("icy-name"), QByteArray("Test Radio"))
                       << qMakePair(QByteArray("icy-genre"), QByteArray("Jazz"));
        stream.icyMetaInterval = 4096;
        stream.icyTitle = "Some Artist - Some Song";
        server.addResource("/stream", stream);
        RadioServer::Resource pls;
        pls.contentType = "audio/x-scpls";
        pls.body = "[playlist]\nNumberOfEntries=1\nFile1=" + server.url("/stream").toEncoded()
                   + "\nTitle1=Test Radio\nLength1=-1\nVersion=2\n";
        server.addResource("/radio.pls", pls);

        QSignalSpy media(controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)));
        QSignalSpy buffering(controls, SIGNAL(bufferingChanged(float)));
        controls->playPlaylist(server.url("/radio.pls"), "audio/x-scpls");
        QVERIFY(waitForState(MafwRenderer::Playing));
        QCOMPARE(server.requests("/radio.pls"), 1);
        QVERIFY(server.requests("/stream") >= 1);
        // The handler is given the stream's address and announces the item itself; the
        // controller passes that on once.
        QCOMPARE(streams->uris, QStringList() << server.url("/stream").toString());
        QCOMPARE(media.count(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value("organization").value(0).toString(),
                                  QStringLiteral("Test Radio"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value("title").value(0).toString(),
                                  QStringLiteral("Some Artist - Some Song"), Timeout);
        QCOMPARE(streams->tags.value("genre").value(0).toString(), QStringLiteral("Jazz"));
        QVERIFY(buffering.count() >= 1);
        QCOMPARE(buffering.last().at(0).toFloat(), 100.0f);
        QSignalSpy positions(controls, SIGNAL(positionChanged(uint, int)));
        QVERIFY(positions.wait(Timeout));
        QCOMPARE(positions.last().at(1).toInt(), -1);

        // The same stream played as a single URL.
        streams->tags.clear();
        controls->play(server.url("/stream"));
        QVERIFY(waitForState(MafwRenderer::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value("title").value(0).toString(),
                                  QStringLiteral("Some Artist - Some Song"), Timeout);
        controls->stop();
    }

    void networkFailures_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("asPlaylist");
        QTest::addColumn<int>("code");
        QTest::newRow("unreachable server") << QByteArray("closed") << false << 301;
        QTest::newRow("unreachable playlist") << QByteArray("closed") << true << 301;
        QTest::newRow("missing stream") << QByteArray("/none.mp3") << false << 303;
        QTest::newRow("stream breaks off") << QByteArray("/broken") << false << 302;
    }

    void networkFailures()
    {
        QFETCH(QByteArray, path);
        QFETCH(bool, asPlaylist);
        QFETCH(int, code);
        RadioServer server;
        QVERIFY(server.start());
        QFile source(AudioGenerator::untaggedTemplate("mp3", 20000));
        QVERIFY(source.open(QIODevice::ReadOnly));
        RadioServer::Resource broken;
        broken.contentType = "audio/mpeg";
        broken.body = source.readAll();
        broken.breakOff = true;
        server.addResource("/broken", broken);

        QUrl url = server.url(path);
        if (path == "closed") {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
            url = QUrl(QStringLiteral("http://127.0.0.1:%1/radio").arg(closed.serverPort()));
            closed.close();
        }
        QSignalSpy errors(controls, SIGNAL(error(MafwError)));
        if (asPlaylist)
            controls->playPlaylist(url, "audio/x-scpls");
        else
            controls->play(url);
        QVERIFY(errors.wait(60000));
        QCOMPARE(errors.first().at(0).value<MafwError>().code(), code);
        QVERIFY(waitForState(MafwRenderer::Stopped));
    }

    void platformEvents()
    {
        const QString longSong = write("long.ogg", "Long", 30000);
        setRows({ { "long", longSong } });
        controls->play(0u);
        QVERIFY(waitForState(MafwRenderer::Playing));

        QSignalSpy calls(controls, SIGNAL(callActivated(bool)));
        controls->testSetCallActive(true);
        QCOMPARE(calls.count(), 1);
        QCOMPARE(calls.last().at(0).toBool(), true);
        QVERIFY(controls->isCallActive());
        QVERIFY(waitForState(MafwRenderer::Paused));
        controls->testSetCallActive(false);
        QCOMPARE(calls.last().at(0).toBool(), false);
        QVERIFY(!controls->isCallActive());
        QCOMPARE(controls->state(), MafwRenderer::Paused);

        controls->resume();
        QVERIFY(waitForState(MafwRenderer::Playing));
        QSignalSpy resources(controls, SIGNAL(audioResourcesAvailable(bool)));
        controls->testSetAudioResourcesAvailable(false);
        QCOMPARE(resources.count(), 1);
        QCOMPARE(resources.last().at(0).toBool(), false);
        QVERIFY(waitForState(MafwRenderer::Paused));
        controls->testSetAudioResourcesAvailable(true);
        QCOMPARE(resources.last().at(0).toBool(), true);

        QSignalSpy errors(controls, SIGNAL(error(MafwError)));
        controls->testRaiseError(317, "no decoder");
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.last().at(0).value<MafwError>().code(), 317);
        QCOMPARE(errors.last().at(0).value<MafwError>().message(), QStringLiteral("no decoder"));
        QCOMPARE(controls->state(), MafwRenderer::Stopped);

        controls->play(0u);
        QVERIFY(waitForState(MafwRenderer::Playing));
        QSignalSpy lost(controls, SIGNAL(rendererLost()));
        controls->testLoseRenderer();
        QCOMPARE(lost.count(), 1);
        QCOMPARE(controls->state(), MafwRenderer::Invalid);
        controls->play(0u);
        QVERIFY(waitForState(MafwRenderer::Playing));
    }

    void stoppingLeavesAStuckStreamBehind()
    {
        // A streaming thread held up for seconds (a sink that sleeps before each buffer, as a
        // stalled network source would hold it) must not hold up the caller of stop(): the
        // pipeline is taken down elsewhere, and the next item plays on a pipeline of its own.
        const QString path = write("stuck.ogg", "Stuck", 30000);
        const QByteArray sinkVariable("PARLOVANCE_AUDIO_SINK");
        const bool hadSink = qEnvironmentVariableIsSet(sinkVariable.constData());
        const QByteArray sink = qgetenv(sinkVariable.constData());
        // Each item gets a pipeline of its own, made with the sink of the moment.
        controls->play(QUrl::fromLocalFile(path));
        qputenv(sinkVariable.constData(), "identity sleep-time=3000000 ! fakesink sync=true");
        controls->play(QUrl::fromLocalFile(path));
        if (hadSink)
            qputenv(sinkVariable.constData(), sink);
        else
            qunsetenv(sinkVariable.constData());
        QVERIFY(waitForState(MafwRenderer::Playing));
        QElapsedTimer took;
        took.start();
        controls->stop();
        QVERIFY2(took.elapsed() < 1500, qPrintable(QString::number(took.elapsed())));
        QCOMPARE(controls->state(), MafwRenderer::Stopped);

        controls->play(QUrl::fromLocalFile(path));
        QVERIFY(waitForState(MafwRenderer::Playing));
        QTRY_VERIFY_WITH_TIMEOUT(controls->position() >= 1, Timeout);
        controls->stop();
    }

    void positionReportsHoldNoMemory()
    {
        const QString longSong = write("long.ogg", "Long", 30000);
        setRows({ { "long", longSong } });
        controls->play(0u);
        QVERIFY(waitForState(MafwRenderer::Playing));
        int reports = 0;
        uint last = 0;
        auto c = connect(controls, &ZelPlayControls::positionChanged, this,
                         [&](uint position, int) {
                             ++reports;
                             last = position;
                         });
        controls->pause();
        QVERIFY(waitForState(MafwRenderer::Paused));
        controls->resume();
        QVERIFY(waitForState(MafwRenderer::Playing));
        // The heap is the whole process's: the playing pipeline's own threads allocate and free
        // buffers meanwhile, which a loaded machine can catch mid-way. Memory that the reports
        // hold grows in every round, so one quiet round of three is enough to clear them.
        qint64 growth = 0;
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < 100; ++i)
                controls->testReportPosition();
            QCoreApplication::processEvents();
            const size_t after100 = heapInUse();
            for (int i = 0; i < 9900; ++i) {
                controls->testReportPosition();
                if (i % 1000 == 0)
                    QCoreApplication::processEvents();
            }
            QCoreApplication::processEvents();
            growth = qint64(heapInUse()) - qint64(after100);
            if (growth < 64 * 1024)
                break;
        }
        disconnect(c);
        QVERIFY(reports >= 10000);
        QVERIFY(last < 30);
        QVERIFY2(growth < 64 * 1024,
                 qPrintable(QStringLiteral("heap grew by %1 bytes").arg(growth)));
    }

    void streamCoversAreFilesOfTheirOwnInABoundedFolder()
    {
        // The cover cache's names are predictable: links planted at a cover's name and at the
        // name a writer would use beside it point at a file of the user's. And the folder
        // already holds many covers of earlier stations.
        QImage picture(40, 40, QImage::Format_RGB32);
        picture.fill(Qt::magenta);
        QByteArray jpeg;
        {
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(picture.save(&buffer, "JPEG"));
        }
        const QString folder = TestEnvironment::cacheHome() + "/parlovance/renderer-art";
        QVERIFY(QDir().mkpath(folder));
        const QString name = folder + '/'
                             + QString::fromLatin1(
                                 QCryptographicHash::hash(jpeg, QCryptographicHash::Sha1).toHex())
                             + ".jpeg";
        const QString precious = TestEnvironment::home() + "/precious.txt";
        {
            QFile file(precious);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        QVERIFY(QFile::link(precious, name + ".part"));
        const QDateTime old = QDateTime::currentDateTime().addDays(-30);
        for (int i = 0; i < 100; ++i) {
            QFile file(folder + QStringLiteral("/old%1.jpeg").arg(i));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(jpeg);
            // Written out first: a flush at closing would make the time now.
            QVERIFY(file.flush());
            QVERIFY(file.setFileTime(old.addSecs(i), QFileDevice::FileModificationTime));
        }

        const QString path = write("covered.ogg", "Covered", 1000);
        QVERIFY(AudioGenerator::embedPicture(path, jpeg, "image/jpeg"));
        controls->play(QUrl::fromLocalFile(path));
        QTRY_VERIFY_WITH_TIMEOUT(streams->tags.contains("renderer-art-uri"), Timeout);
        const QString cover = streams->tags.value("renderer-art-uri").value(0).toString();
        QCOMPARE(QUrl(cover).isLocalFile() ? QUrl(cover).toLocalFile() : cover, name);
        QVERIFY(QFileInfo(name).isFile() && !QFileInfo(name).isSymLink());
        QCOMPARE(QImage(name).size(), QSize(40, 40));
        QFile kept(precious);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep me"));
        // The oldest covers went; the newest stayed.
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden);
        QVERIFY2(left.size() <= 64, qPrintable(QString::number(left.size())));
        QVERIFY(left.contains(QStringLiteral("old99.jpeg")));
        QVERIFY(!left.contains(QStringLiteral("old0.jpeg")));
        controls->stop();
    }

    void cleanupTestCase()
    {
        controls->stop();
        MafwShared::instance()->unPublishPlaylist(playlist->id());
        delete songs;
        delete streams;
    }
};

PARLOVANCE_TEST_MAIN(TestZelPlayControls)
#include "tst_zelplaycontrols.moc"
