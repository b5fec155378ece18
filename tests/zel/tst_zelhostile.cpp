// The play controller against what is not music and sources that do not open: pipes, folders
// and devices named as songs, a song swapped for a pipe as its source opens, schemes that would open a socket or a camera, playlist files that
// carry them, a source held in its start, a song dropped while it opens, what each played
// pipeline leaves behind, and starts that take minutes given up for the next.

#include "audiocontainers.h"
#include "audiogenerator.h"
#include "mafwerror.h"
#include "playableurl.h"
#include "testenvironment.h"
#include "zelgstplayer.h"
#include "zelmetadatahandler.h"
#include "zelplaycontrols.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QTcpServer>
#include <QUdpSocket>
#include <QWaitCondition>
#include <QtTest>

#include <gst/base/gstbasesrc.h>
#include <gst/gst.h>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const int Timeout = 20000;
// Items in the list of a slow M4A file: its demuxer is busy for some 15 to 25 s, its pipeline
// with it.
const int SlowItems = 60000;
// How soon an item asked for after slow ones plays; they hold it up for as long as they work.
const int GoodStartMs = 5000;
// A call that should return at once and has not within this time hangs on old code.
const int RescueMs = 15000;

// Unless it is gone by then, runs a rescue on a thread of its own after RescueMs, and again
// every 100 ms until it is gone: what a controller that blocks in a call needs to come back, so
// that a fault fails the test instead of hanging it.
class Rescue
{
public:
    explicit Rescue(std::function<void()> rescue)
        : m_thread([this, rescue]() {
            if (m_done.tryAcquire(1, RescueMs))
                return;
            do
                rescue();
            while (!m_done.tryAcquire(1, 100));
        })
    {
    }
    ~Rescue()
    {
        m_done.release();
        m_thread.join();
    }

private:
    QSemaphore m_done;
    std::thread m_thread;
};

// A source of http addresses whose start, where a file source opens its file, does not come
// back until the test lets it go, as it would not on a hung file system.
struct HeldSource
{
    GstBaseSrc parent;
};
struct HeldSourceClass
{
    GstBaseSrcClass parentClass;
};

QSemaphore heldStarts;
QAtomicInt heldEntered;
QAtomicInt heldAlive;

void heldSourceUriInit(gpointer iface, gpointer);

G_DEFINE_TYPE_WITH_CODE(HeldSource, held_source, GST_TYPE_BASE_SRC,
                        G_IMPLEMENT_INTERFACE(GST_TYPE_URI_HANDLER, heldSourceUriInit))

// The first start is held; GStreamer may try again once it has failed, and that one fails at once.
gboolean heldStart(GstBaseSrc*)
{
    if (heldEntered.fetchAndAddOrdered(1) == 0)
        heldStarts.acquire();
    return FALSE;
}

void heldFinalize(GObject* object)
{
    heldAlive.deref();
    G_OBJECT_CLASS(held_source_parent_class)->finalize(object);
}

void held_source_class_init(HeldSourceClass* klass)
{
    static GstStaticPadTemplate src = GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS,
                                                              GST_STATIC_CAPS_ANY);
    gst_element_class_add_static_pad_template(GST_ELEMENT_CLASS(klass), &src);
    gst_element_class_set_static_metadata(GST_ELEMENT_CLASS(klass), "Held source", "Source",
                                          "Holds its start", "tests");
    GST_BASE_SRC_CLASS(klass)->start = heldStart;
    G_OBJECT_CLASS(klass)->finalize = heldFinalize;
}

void held_source_init(HeldSource*)
{
    heldAlive.ref();
}

void heldSourceUriInit(gpointer iface, gpointer)
{
    auto* handler = static_cast<GstURIHandlerInterface*>(iface);
    handler->get_type = [](GType) { return GST_URI_SRC; };
    handler->get_protocols = [](GType) -> const gchar* const* {
        static const gchar* const protocols[] = { "http", nullptr };
        return protocols;
    };
    handler->get_uri = [](GstURIHandler*) -> gchar* { return g_strdup("http://held"); };
    handler->set_uri = [](GstURIHandler*, const gchar*, GError**) -> gboolean { return TRUE; };
}

// A demuxer of files that begin with StallMagic which, reading in pull mode, pauses its task at
// once and says nothing: what a pipeline is left with when decodebin drops the errors of a
// demuxer it is still starting (an Ogg file with no chain, now and then).
struct StallingDemuxer
{
    GstElement parent;
};
struct StallingDemuxerClass
{
    GstElementClass parentClass;
};

G_DEFINE_TYPE(StallingDemuxer, stalling_demuxer, GST_TYPE_ELEMENT)

const char StallMagic[] = "STALLED!";
const char* const StallCaps = "application/x-parlovance-stalled";
QAtomicInt stalledTasks;

void stallingLoop(gpointer pad)
{
    stalledTasks.ref();
    gst_pad_pause_task(GST_PAD(pad));
}

gboolean stallingActivate(GstPad* pad, GstObject*)
{
    return gst_pad_activate_mode(pad, GST_PAD_MODE_PULL, TRUE);
}

gboolean stallingActivateMode(GstPad* pad, GstObject*, GstPadMode mode, gboolean active)
{
    if (mode != GST_PAD_MODE_PULL)
        return FALSE;
    return active ? gst_pad_start_task(pad, stallingLoop, pad, nullptr) : gst_pad_stop_task(pad);
}

void stalling_demuxer_class_init(StallingDemuxerClass* klass)
{
    static GstStaticPadTemplate sink = GST_STATIC_PAD_TEMPLATE(
        "sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("application/x-parlovance-stalled"));
    static GstStaticPadTemplate src = GST_STATIC_PAD_TEMPLATE("src_%u", GST_PAD_SRC,
                                                              GST_PAD_SOMETIMES,
                                                              GST_STATIC_CAPS("audio/x-raw"));
    gst_element_class_add_static_pad_template(GST_ELEMENT_CLASS(klass), &sink);
    gst_element_class_add_static_pad_template(GST_ELEMENT_CLASS(klass), &src);
    gst_element_class_set_static_metadata(GST_ELEMENT_CLASS(klass), "Stalling demuxer",
                                          "Codec/Demuxer", "Pauses at once", "tests");
}

void stalling_demuxer_init(StallingDemuxer* demuxer)
{
    GstPad* pad = gst_pad_new_from_template(
        gst_element_class_get_pad_template(GST_ELEMENT_GET_CLASS(demuxer), "sink"), "sink");
    gst_pad_set_activate_function(pad, stallingActivate);
    gst_pad_set_activatemode_function(pad, stallingActivateMode);
    gst_element_add_pad(GST_ELEMENT(demuxer), pad);
}

void stalledTypeFind(GstTypeFind* find, gpointer)
{
    const guint8* data = gst_type_find_peek(find, 0, sizeof StallMagic - 1);
    if (data && memcmp(data, StallMagic, sizeof StallMagic - 1) == 0)
        gst_type_find_suggest_empty_simple(find, GST_TYPE_FIND_MAXIMUM, StallCaps);
}

// Holds an Ogg demuxer, once armed, where it has read its file's streams and is about to start
// its task again to play them (its "no-more-pads"), until its task has been stopped from
// outside, as a pipeline taken down at that moment stops it, or a second has passed. A demuxer
// stopped there used to start its task anew on its own thread and lose its last reference on
// that thread.
struct OpeningHold
{
    QMutex mutex;
    QWaitCondition changed;
    bool armed = false;
    bool reached = false;
    bool released = false;

    static void noMorePads(GstElement* demuxer, OpeningHold* hold)
    {
        QMutexLocker lock(&hold->mutex);
        if (!hold->armed || hold->reached)
            return;
        hold->reached = true;
        hold->changed.wakeAll();
        GstPad* sink = gst_element_get_static_pad(demuxer, "sink");
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 1000) {
            GST_OBJECT_LOCK(sink);
            const bool stopped = GST_PAD_TASK(sink) == nullptr;
            GST_OBJECT_UNLOCK(sink);
            if (stopped)
                break;
            hold->changed.wait(&hold->mutex, 5);
        }
        gst_object_unref(sink);
        hold->armed = false;
        hold->released = true;
        hold->changed.wakeAll();
    }
};

OpeningHold openingHold;

// Once armed, the file a file source is about to open is swapped for a pipe as the source is
// made: after the player looked at the name, before the source opens it. Nothing ever opens
// the pipe's other end (unless the test's rescue does).
struct SourceSwap
{
    QMutex mutex;
    QByteArray song;
    QByteArray pipe;
    bool armed = false;
    bool done = false;

    void swapNow()
    {
        QMutexLocker lock(&mutex);
        if (!armed || done)
            return;
        done = ::rename(song.constData(), (song + ".aside").constData()) == 0
               && ::rename(pipe.constData(), song.constData()) == 0;
    }
};

SourceSwap sourceSwap;

void elementMade(GObject*, GstClockTime, GstElement* element)
{
    if (g_strcmp0(G_OBJECT_TYPE_NAME(element), "GstFileSrc") == 0)
        sourceSwap.swapNow();
    if (g_strcmp0(G_OBJECT_TYPE_NAME(element), "GstOggDemux") == 0)
        g_signal_connect(element, "no-more-pads", G_CALLBACK(&OpeningHold::noMorePads),
                         &openingHold);
}

// Tasks started on a pad that is no longer active, as its element is being taken down: nothing
// stops such a task with its element, which may then go with its last reference on the task's
// own thread.
QAtomicInt strayTasks;

void messagePosted(GObject*, GstClockTime, GstElement*, GstMessage* message)
{
    if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_STREAM_STATUS
        || !GST_IS_PAD(GST_MESSAGE_SRC(message)))
        return;
    GstStreamStatusType type;
    GstElement* owner = nullptr;
    gst_message_parse_stream_status(message, &type, &owner);
    GstPad* pad = GST_PAD(GST_MESSAGE_SRC(message));
    GST_OBJECT_LOCK(pad);
    const bool inactive = GST_PAD_MODE(pad) == GST_PAD_MODE_NONE;
    GST_OBJECT_UNLOCK(pad);
    if (type == GST_STREAM_STATUS_TYPE_CREATE && inactive)
        strayTasks.ref();
}

// GStreamer's own warnings, counted on whatever thread they come from.
QAtomicInt gstreamerWarnings;

void countWarning(const gchar*, GLogLevelFlags, const gchar* message, gpointer)
{
    gstreamerWarnings.ref();
    qWarning("GStreamer: %s", message);
}

// Counts GStreamer's pads and pipelines as they are made and finalised, on whatever thread.
struct ObjectCounter
{
    GstTracer parent;
};
struct ObjectCounterClass
{
    GstTracerClass parentClass;
};

G_DEFINE_TYPE(ObjectCounter, object_counter, GST_TYPE_TRACER)

QAtomicInt livePads;
QAtomicInt livePipelines;

void countObject(GstObject* object, int change)
{
    if (GST_IS_PAD(object))
        livePads.fetchAndAddOrdered(change);
    else if (GST_IS_PIPELINE(object))
        livePipelines.fetchAndAddOrdered(change);
}

void objectCreated(GObject*, GstClockTime, GstObject* object)
{
    countObject(object, 1);
}

void objectDestroyed(GObject*, GstClockTime, GstObject* object)
{
    countObject(object, -1);
}

void object_counter_class_init(ObjectCounterClass*)
{
}

void object_counter_init(ObjectCounter* counter)
{
    gst_tracing_register_hook(GST_TRACER(counter), "object-created", G_CALLBACK(objectCreated));
    gst_tracing_register_hook(GST_TRACER(counter), "object-destroyed", G_CALLBACK(objectDestroyed));
    gst_tracing_register_hook(GST_TRACER(counter), "element-new", G_CALLBACK(elementMade));
    gst_tracing_register_hook(GST_TRACER(counter), "element-post-message-pre",
                              G_CALLBACK(messagePosted));
}

// The nice values of this process's threads whose names begin with the prefix (GStreamer
// names a streaming thread after its element's pad).
QList<int> threadNiceValues(const QByteArray& prefix)
{
    QList<int> values;
    const QString tasks = QStringLiteral("/proc/self/task");
    for (const QString& thread : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile name(tasks + QLatin1Char('/') + thread + QStringLiteral("/comm"));
        QFile status(tasks + QLatin1Char('/') + thread + QStringLiteral("/stat"));
        if (!name.open(QIODevice::ReadOnly) || !name.readAll().startsWith(prefix)
            || !status.open(QIODevice::ReadOnly))
            continue;
        // The fields after the name, from the state (the third field) on; the nice value is
        // the nineteenth.
        const QByteArray line = status.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 16)
            values.append(fields.at(16).toInt());
    }
    return values;
}

// Tells the controller's stream items apart, as the player's stream handler does.
class StreamHandler : public ZelMetadataHandler
{
    Q_OBJECT

public:
    QMap<QString, QList<QVariant>> tags;

public slots:
    void setDataFromIndex(int, MafwContent) override { tags.clear(); }
    void onMetadataChange(QString key, QList<QVariant> values) override { tags[key] = values; }
};

} // namespace

class TestZelHostile : public QObject
{
    Q_OBJECT

private:
    ZelPlayControls* controls = nullptr;
    StreamHandler* streams = nullptr;
    QString dir;

    QString write(const QString& name, const QString& title, int ms = 30000)
    {
        AudioTags tags;
        tags.title = title;
        const QString path = dir + QLatin1Char('/') + name;
        return AudioGenerator::write(path, tags, ms) ? path : QString();
    }

    // Plays the files one after the other, each until it plays, and stops.
    void playEach(const QStringList& paths)
    {
        for (const QString& path : paths) {
            controls->play(QUrl::fromLocalFile(path));
            QTRY_COMPARE_WITH_TIMEOUT(controls->state(), MafwRenderer::Playing, Timeout);
        }
        controls->stop();
    }

private slots:
    void initTestCase()
    {
        dir = TestEnvironment::musicDir();
        QDir().mkpath(dir);
        // Counts every object GStreamer makes in this run.
        gst_init(nullptr, nullptr);
        g_object_new(object_counter_get_type(), nullptr);
        g_log_set_handler("GStreamer", GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
                          countWarning, nullptr);
        controls = ZelPlayControls::instance();
        controls->init();
        streams = new StreamHandler;
        controls->setMetadataHandler(streams, ZelPlayControls::StreamContent);
    }

    void init()
    {
        controls->stop();
        QCOMPARE(controls->state(), MafwRenderer::Stopped);
    }

    void onlyMusicAddressesPass()
    {
        const QByteArray folder = QFile::encodeName(dir);
        const QString song = write(QStringLiteral("plain.ogg"), QStringLiteral("Plain"), 1000);
        QVERIFY(!song.isEmpty());
        // A name that is not UTF-8 is named by its bytes, percent-encoded.
        QCOMPARE(::link(QFile::encodeName(song).constData(), (folder + "/caf\xe9.ogg").constData()),
                 0);
        QVERIFY(QFile::link(song, dir + QStringLiteral("/link.ogg")));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir + QStringLiteral("/zero.ogg")));
        const QString encodedFolder = QUrl::fromLocalFile(dir).toString(QUrl::FullyEncoded);
        const QStringList played = {
            QUrl::fromLocalFile(song).toString(),
            encodedFolder + QStringLiteral("/caf%E9.ogg"),
            QUrl::fromLocalFile(dir + QStringLiteral("/link.ogg")).toString(),
            QStringLiteral("file://localhost") + QUrl::fromLocalFile(song).path(QUrl::FullyEncoded),
            QStringLiteral("http://radio.example/stream"),
            QStringLiteral("HTTPS://radio.example:8443/a.pls?x=1"),
        };
        for (const QString& url : played)
            QVERIFY2(PlayableUrl::refusal(QUrl(url)).isEmpty(), qPrintable(url));
        const QStringList refused = {
            QString(),
            QStringLiteral("plain.ogg"),
            encodedFolder + QStringLiteral("/caf%EA.ogg"),
            encodedFolder + QStringLiteral("/zero.ogg"),
            encodedFolder,
            QStringLiteral("file://elsewhere") + QUrl::fromLocalFile(song).path(QUrl::FullyEncoded),
            QStringLiteral("http:///stream"),
            QStringLiteral("mms://radio.example/stream"),
            QStringLiteral("souphttp://radio.example/stream"),
        };
        for (const QString& url : refused)
            QVERIFY2(!PlayableUrl::refusal(QUrl(url)).isEmpty(), qPrintable(url));
    }

    void addressesThatAreNotMusicAreRefused()
    {
        const QString pipe = dir + QStringLiteral("/pipe.ogg");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        // Opening the pipe for writing lets a reader stuck in open() go.
        Rescue rescue([pipe]() {
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        });
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/folder.ogg")));
        QUdpSocket probe;
        QVERIFY(probe.bind(QHostAddress(QHostAddress::LocalHost), 0));
        const quint16 port = probe.localPort();
        probe.close();
        const QString udp = QStringLiteral("udp://127.0.0.1:%1").arg(port);

        const QList<QPair<QUrl, int>> refused = {
            { QUrl::fromLocalFile(pipe), MafwError::ResourceNotFound },
            { QUrl::fromLocalFile(dir + QStringLiteral("/folder.ogg")),
              MafwError::ResourceNotFound },
            { QUrl(QStringLiteral("file:///dev/zero")), MafwError::ResourceNotFound },
            { QUrl(udp), MafwError::UnsupportedMediaType },
            { QUrl(QStringLiteral("rtsp://127.0.0.1:1/a")), MafwError::UnsupportedMediaType },
            { QUrl(QStringLiteral("multifile:///etc/host%d")), MafwError::UnsupportedMediaType },
            { QUrl(QStringLiteral("pushfile:///etc/hostname")), MafwError::UnsupportedMediaType },
            { QUrl(QStringLiteral("v4l2:///dev/video0")), MafwError::UnsupportedMediaType },
            { QUrl(QStringLiteral("cdda://1")), MafwError::UnsupportedMediaType },
            { QUrl(QStringLiteral("appsrc://")), MafwError::UnsupportedMediaType },
            { QUrl(QStringLiteral("fd://0")), MafwError::UnsupportedMediaType },
        };
        for (const auto& item : refused) {
            QSignalSpy errors(controls, SIGNAL(error(MafwError)));
            QElapsedTimer took;
            took.start();
            controls->play(item.first);
            QVERIFY2(took.elapsed() < 2000, qPrintable(item.first.toString()));
            QVERIFY2(errors.wait(Timeout), qPrintable(item.first.toString()));
            QCOMPARE(errors.first().at(0).value<MafwError>().code(), item.second);
            QCOMPARE(controls->state(), MafwRenderer::Stopped);
        }
        // Nothing listens on the port that was named.
        QVERIFY(
            probe.bind(QHostAddress(QHostAddress::LocalHost), port, QUdpSocket::DontShareAddress));
        probe.close();

        // A playlist file keeps only what is played: the entry that follows plays, and a list
        // of nothing else is empty.
        QVERIFY(!write(QStringLiteral("good.ogg"), QStringLiteral("Good")).isEmpty());
        QFile mixed(dir + QStringLiteral("/mixed.pls"));
        QVERIFY(mixed.open(QIODevice::WriteOnly));
        mixed.write("[playlist]\nFile1=" + udp.toLatin1()
                    + "\nFile2=v4l2:///dev/video0\nFile3=good.ogg\n");
        mixed.close();
        controls->playPlaylist(QUrl::fromLocalFile(mixed.fileName()),
                               QStringLiteral("audio/x-scpls"));
        QTRY_COMPARE_WITH_TIMEOUT(controls->state(), MafwRenderer::Playing, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value(QStringLiteral("title")).value(0).toString(),
                                  QStringLiteral("Good"), Timeout);
        controls->stop();

        QFile none(dir + QStringLiteral("/none.pls"));
        QVERIFY(none.open(QIODevice::WriteOnly));
        none.write("[playlist]\nFile1=" + udp.toLatin1() + "\nFile2=cdda://1\n");
        none.close();
        QSignalSpy errors(controls, SIGNAL(error(MafwError)));
        controls->playPlaylist(QUrl::fromLocalFile(none.fileName()),
                               QStringLiteral("audio/x-scpls"));
        QVERIFY(errors.wait(Timeout));
        QCOMPARE(errors.first().at(0).value<MafwError>().code(), int(MafwError::EmptyPlaylist));
        QVERIFY(
            probe.bind(QHostAddress(QHostAddress::LocalHost), port, QUdpSocket::DontShareAddress));
    }

    void aFileSwappedForAPipeAsItOpensHoldsNothing()
    {
        const QString song = write(QStringLiteral("swapped.mp3"), QStringLiteral("Swapped"));
        const QString good = write(QStringLiteral("good-after-swap.ogg"), QStringLiteral("Good"));
        QVERIFY(!song.isEmpty() && !good.isEmpty());
        const QString pipe = dir + QStringLiteral("/swap.fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        // Opening the pipe for writing lets a reader stuck in open() go.
        Rescue rescue([song]() {
            const int fd = ::open(QFile::encodeName(song).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        });
        {
            QMutexLocker lock(&sourceSwap.mutex);
            sourceSwap.song = QFile::encodeName(song);
            sourceSwap.pipe = QFile::encodeName(pipe);
            sourceSwap.armed = true;
        }
        struct Disarm
        {
            ~Disarm()
            {
                QMutexLocker lock(&sourceSwap.mutex);
                sourceSwap.armed = false;
            }
        } disarm;

        // The file checked is the file read: what plays is the song, whatever the name stands
        // for by the time the source opens it.
        QElapsedTimer took;
        took.start();
        controls->play(QUrl::fromLocalFile(song));
        QVERIFY2(took.elapsed() < 2000, qPrintable(QString::number(took.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(sourceSwap.done, Timeout);
        QVERIFY2(QTest::qWaitFor([this]() { return controls->state() == MafwRenderer::Playing; },
                                 10000),
                 "the swapped song does not play");
        QCOMPARE(QFileInfo(song).isFile(), false);
        took.restart();
        controls->stop();
        QVERIFY2(took.elapsed() < 2000, qPrintable(QString::number(took.elapsed())));

        // The pipe that the name stands for now is refused, and a good file plays after it.
        QSignalSpy errors(controls, SIGNAL(error(MafwError)));
        controls->play(QUrl::fromLocalFile(song));
        QVERIFY(errors.wait(Timeout));
        QCOMPARE(errors.first().at(0).value<MafwError>().code(), int(MafwError::ResourceNotFound));
        controls->play(QUrl::fromLocalFile(good));
        QTRY_COMPARE_WITH_TIMEOUT(controls->state(), MafwRenderer::Playing, Timeout);
        controls->stop();
        // Nothing is left waiting on the pipe: the pipelines all come down.
        QTRY_COMPARE_WITH_TIMEOUT(livePipelines.loadAcquire(), 0, Timeout);
    }

    void aSourceThatDoesNotOpenHoldsNothing()
    {
        // The held source takes http addresses ahead of the real one until the test ends.
        QVERIFY(gst_element_register(nullptr, "heldsrc", GST_RANK_PRIMARY + 100,
                                     held_source_get_type()));
        struct Lowered
        {
            ~Lowered()
            {
                GstElementFactory* factory = gst_element_factory_find("heldsrc");
                gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(factory), GST_RANK_NONE);
                gst_object_unref(factory);
            }
        } lowered;
        Rescue rescue([]() { heldStarts.release(); });
        const QString song = write(QStringLiteral("after-held.ogg"), QStringLiteral("After"));
        QVERIFY(!song.isEmpty());

        QElapsedTimer took;
        took.start();
        controls->play(QUrl(QStringLiteral("http://127.0.0.1:9/held")));
        QVERIFY2(took.elapsed() < 2000, qPrintable(QString::number(took.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(heldEntered.loadAcquire() > 0, Timeout);
        QCOMPARE(controls->state(), MafwRenderer::Transitioning);
        took.restart();
        controls->stop();
        QVERIFY2(took.elapsed() < 2000, qPrintable(QString::number(took.elapsed())));
        QCOMPARE(controls->state(), MafwRenderer::Stopped);

        // The next item plays on a pipeline of its own while the held one waits; that one goes
        // once its start comes back.
        controls->play(QUrl::fromLocalFile(song));
        QTRY_COMPARE_WITH_TIMEOUT(controls->state(), MafwRenderer::Playing, Timeout);
        QCOMPARE(heldAlive.loadAcquire(), 1);
        heldStarts.release();
        QTRY_COMPARE_WITH_TIMEOUT(heldAlive.loadAcquire(), 0, Timeout);
        QCOMPARE(controls->state(), MafwRenderer::Playing);
        controls->stop();
    }

    void playedPipelinesLeaveNothingBehind()
    {
        const QString first = write(QStringLiteral("first.ogg"), QStringLiteral("First"));
        const QString second = write(QStringLiteral("second.mp3"), QStringLiteral("Second"));
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        playEach({ first, second });
        QTRY_COMPARE_WITH_TIMEOUT(livePipelines.loadAcquire(), 0, Timeout);
        const int pads = livePads.loadAcquire();

        QStringList songs;
        for (int i = 0; i < 10; ++i)
            songs << first << second;
        playEach(songs);
        QTRY_COMPARE_WITH_TIMEOUT(livePipelines.loadAcquire(), 0, Timeout);
        QCOMPARE(livePads.loadAcquire(), pads);
    }

    void aFloodOfRequestsKeepsFewPipelines()
    {
        const QString one = write(QStringLiteral("flood-one.ogg"), QStringLiteral("One"));
        const QString two = write(QStringLiteral("flood-two.mp3"), QStringLiteral("Two"));
        const QString last = write(QStringLiteral("flood-last.ogg"), QStringLiteral("Last"));
        QVERIFY(!one.isEmpty() && !two.isEmpty() && !last.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(livePipelines.loadAcquire(), 0, Timeout);
        // Requests as fast as a program can send them, each replacing the one before: local
        // songs, and an address whose server is not there.
        const QList<QUrl> urls = { QUrl::fromLocalFile(one), QUrl::fromLocalFile(two),
                                   QUrl(QStringLiteral("http://127.0.0.1:9/flood")) };
        int most = 0;
        QElapsedTimer took;
        took.start();
        for (int i = 0; i < 600; ++i) {
            controls->play(urls.at(i % urls.size()));
            QCoreApplication::processEvents();
            most = qMax(most, livePipelines.loadAcquire());
        }
        qInfo("600 requests in %lld ms, at most %d pipelines alive", took.elapsed(), most);
        // The one being started, those dropped on their way and those being taken down, each
        // bounded; not one per request.
        QVERIFY2(most <= 12, qPrintable(QString::number(most)));
        // Only the newest request counts, and it plays.
        controls->play(QUrl::fromLocalFile(last));
        QTRY_COMPARE_WITH_TIMEOUT(controls->state(), MafwRenderer::Playing, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value(QStringLiteral("title")).value(0).toString(),
                                  QStringLiteral("Last"), Timeout);
        controls->stop();
        QTRY_COMPARE_WITH_TIMEOUT(livePipelines.loadAcquire(), 0, Timeout);
    }

    void aSongDroppedWhileItOpensComesDownWhole()
    {
        const QString opening = write(QStringLiteral("opening.ogg"), QStringLiteral("Opening"));
        const QString next = write(QStringLiteral("next.ogg"), QStringLiteral("Next"));
        QVERIFY(!opening.isEmpty() && !next.isEmpty());
        // Nothing but the pipeline kept for the next item, which is none yet or one unused.
        QTRY_VERIFY_WITH_TIMEOUT(livePipelines.loadAcquire() <= 1, Timeout);
        const int warnings = gstreamerWarnings.loadAcquire();
        const int stray = strayTasks.loadAcquire();
        {
            QMutexLocker lock(&openingHold.mutex);
            openingHold.armed = true;
        }
        controls->play(QUrl::fromLocalFile(opening));
        const auto held = [](bool OpeningHold::*flag) {
            QMutexLocker lock(&openingHold.mutex);
            return openingHold.*flag;
        };
        QTRY_VERIFY_WITH_TIMEOUT(held(&OpeningHold::reached), Timeout);
        // The song is dropped for the next one while its demuxer starts playing it.
        controls->play(QUrl::fromLocalFile(next));
        QTRY_VERIFY_WITH_TIMEOUT(held(&OpeningHold::released), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(controls->state(), MafwRenderer::Playing, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value(QStringLiteral("title")).value(0).toString(),
                                  QStringLiteral("Next"), Timeout);
        // The dropped pipeline is taken down only once it has opened, and goes whole.
        QTRY_COMPARE_WITH_TIMEOUT(livePipelines.loadAcquire(), 1, Timeout);
        QCOMPARE(strayTasks.loadAcquire(), stray);
        QCOMPARE(gstreamerWarnings.loadAcquire(), warnings);
        controls->stop();
        QTRY_COMPARE_WITH_TIMEOUT(livePipelines.loadAcquire(), 0, Timeout);
    }

    void aPipelineThatStallsBeforePlayingFails()
    {
        QVERIFY(gst_type_find_register(nullptr, "parlovance-stalled", GST_RANK_PRIMARY + 100,
                                       stalledTypeFind, nullptr,
                                       gst_caps_from_string(StallCaps), nullptr, nullptr));
        QVERIFY(gst_element_register(nullptr, "stallingdemux", GST_RANK_PRIMARY + 100,
                                     stalling_demuxer_get_type()));
        QFile stalled(dir + QStringLiteral("/stalled.ogg"));
        QVERIFY(stalled.open(QIODevice::WriteOnly));
        stalled.write(StallMagic + QByteArray(64 << 10, '\0'));
        stalled.close();
        const QString after = write(QStringLiteral("after-stalled.ogg"),
                                    QStringLiteral("After stalled"));
        QVERIFY(!after.isEmpty());

        // The item fails, as one whose demuxer's error is heard does; it does not wait for ever.
        QSignalSpy errors(controls, SIGNAL(error(MafwError)));
        const int tasks = stalledTasks.loadAcquire();
        controls->play(QUrl::fromLocalFile(stalled.fileName()));
        QTRY_VERIFY_WITH_TIMEOUT(stalledTasks.loadAcquire() > tasks, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, Timeout);
        QCOMPARE(errors.first().first().value<MafwError>().code(), int(MafwError::UnsupportedFormat));
        QTRY_COMPARE_WITH_TIMEOUT(controls->state(), MafwRenderer::Stopped, Timeout);

        // The next song plays.
        controls->play(QUrl::fromLocalFile(after));
        QTRY_COMPARE_WITH_TIMEOUT(controls->state(), MafwRenderer::Playing, Timeout);
        QCOMPARE(errors.size(), 1);
        controls->stop();
    }

    // Last: the pipelines it gives up work on until the test ends.
    void slowStartsGivenUpHoldUpNothing()
    {
        // Starts that take minutes, each given up for the next once it works: a server that
        // takes the connection and never answers, and M4A files whose item lists keep their
        // demuxers busy.
        const QByteArray slow = mp4FileOfTitles(SlowItems);
        QStringList slows;
        for (int i = 0; i < 5; ++i) {
            QFile file(dir + QStringLiteral("/slow-%1.m4a").arg(i));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(slow) == slow.size());
            slows << file.fileName();
        }
        const QString good = write(QStringLiteral("good-after-slow.ogg"),
                                   QStringLiteral("Good after slow"));
        QVERIFY(!good.isEmpty());
        QTcpServer hung;
        QVERIFY(hung.listen(QHostAddress::LocalHost));
        controls->play(QUrl(QStringLiteral("http://127.0.0.1:%1/hung.ogg").arg(hung.serverPort())));
        QTRY_VERIFY_WITH_TIMEOUT(hung.hasPendingConnections(), Timeout);
        const auto demuxers = []() { return threadNiceValues("qtdemux").size(); };
        QCOMPARE(demuxers(), 0);
        for (int i = 0; i < 4; ++i) {
            controls->play(QUrl::fromLocalFile(slows.at(i)));
            QTRY_COMPARE_WITH_TIMEOUT(demuxers(), i + 1, Timeout);
        }

        // What the user moved away from does not keep what they asked for last from playing.
        QElapsedTimer asked;
        asked.start();
        controls->play(QUrl::fromLocalFile(good));
        QTRY_COMPARE_WITH_TIMEOUT(controls->state(), MafwRenderer::Playing, GoodStartMs);
        qInfo("the song played %lld ms after it was asked for", asked.elapsed());
        QTRY_COMPARE_WITH_TIMEOUT(streams->tags.value(QStringLiteral("title")).value(0).toString(),
                                  QStringLiteral("Good after slow"), Timeout);
        // What was given up works on at the least priority.
        QTRY_COMPARE_WITH_TIMEOUT(threadNiceValues("qtdemux"), QList<int>({ 19, 19, 19, 19 }),
                                  Timeout);
        QCOMPARE(controls->state(), MafwRenderer::Playing);

        // A player's end does not wait for a start that cannot be interrupted.
        auto* player = new ZelGstPlayer;
        QVERIFY(player->create());
        player->load(QUrl::fromLocalFile(slows.at(4)), ZelGstPlayer::Playing);
        QTRY_COMPARE_WITH_TIMEOUT(demuxers(), 5, Timeout);
        QElapsedTimer took;
        took.start();
        delete player;
        qInfo("the player ended in %lld ms", took.elapsed());
        QVERIFY2(took.elapsed() < 1000, qPrintable(QString::number(took.elapsed())));

        // Nor do the pipelines given up pile up: a flood of slow starts holds a few.
        int most = 0;
        for (int i = 0; i < 40; ++i) {
            controls->play(QUrl::fromLocalFile(slows.at(i % 4)));
            QCoreApplication::processEvents();
            most = qMax(most, livePipelines.loadAcquire());
        }
        QVERIFY2(most <= 12, qPrintable(QString::number(most)));
        controls->stop();
        QCOMPARE(controls->state(), MafwRenderer::Stopped);
    }

    void cleanupTestCase()
    {
        controls->stop();
        delete streams;
    }
};

PARLOVANCE_TEST_MAIN(TestZelHostile)
#include "tst_zelhostile.moc"
