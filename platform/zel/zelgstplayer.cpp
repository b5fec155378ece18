#include "zelgstplayer.h"

#include "mafwerror.h"
#include "playableurl.h"
#include "safefile.h"
#include "zellogging.h"
#include "zelstreamthreads.h"
#include "zeltagtrim.h"
#include "zeltrimmedsource.h"

#include <QAbstractEventDispatcher>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTimer>
#include <QWaitCondition>

#include <gst/gst.h>
#include <gst/tag/tag.h>

#include <algorithm>
#include <atomic>
#include <string.h>

#include <unistd.h>

namespace {

// playbin's flags: decode audio only. Video and subtitles are never shown, so they are not
// decoded either. Software volume stays off: see makePipeline().
const guint PlayFlagAudio = 1u << 1;

const char* const AudioSinkVariable = "PARLOVANCE_AUDIO_SINK";

// How long the player's end waits for the pipelines still being started or taken down. One
// that comes down does so within milliseconds; one held in work that cannot be interrupted
// would hold the program's end for as long as that work lasts. Those found still opening when
// they were taken down before the end are not waited for at all.
const int ShutdownWaitMs = 300;

// Pipelines in the workers' hands at once: being started, and dropped ones not yet down. Most
// come down within a moment; one dropped while its start works on something that GStreamer
// cannot interrupt (a demuxer indexing a header of hundreds of thousands of entries, a source
// whose open hangs) is held, on a thread of its own, until that work ends, which may take
// minutes. Each such pipeline keeps its memory and a streaming thread, lowered to the least
// priority, so at most this many are held: a load past the bound waits, as the only request
// kept, until one is down. A flood of requests then costs one waiting address, not a pipeline
// (and its threads) each, while a few slow starts given up hold up nothing.
const int MostHeld = 8;

// How long a pipeline that is taken down may take to finish opening first. Taken to NULL while
// it opens, a demuxer reading in pull mode (oggdemux) can start its task again on its own
// streaming thread as that task is being stopped; nothing stops the new task with its element,
// which then loses its last reference on that thread (GStreamer warns "Trying to join task ...
// from its thread") while the task runs on freed memory. Once the pipeline has prerolled, or
// failed, none of its elements is starting any more. A source that never answers is taken down
// after this time all the same, and at the player's end at once.
const int SettleBeforeNullMs = 2000;
const int SettleStepMs = 50;

// How often a pipeline that has not prerolled is looked at for a stall, and how many looks in a
// row must find it stalled. decodebin drops the errors that an element it is plugging posts
// while it is still taking that element to PAUSED, to try another instead; a demuxer reading in
// pull mode starts its task in that state change, and when its task fails on damaged data at
// once (an Ogg file with no chain), its errors can come within that moment and are dropped
// while the element is kept. The pipeline then waits for ever with every task paused and
// nothing on the bus. Two looks a second apart keep a task that pauses as the sink prerolls on
// the end of a short stream from being taken for one.
const int StallLookMs = 1000;
const int StallLooks = 2;

struct TextTag
{
    const char* gstTag;
    const char* key;
};

// What is taken of a stream's text tags. Nothing shows more than the first value of a tag or
// 4,000 characters of it (the library's own limit for a tag text), and every copy of a text
// costs: a tag of a million values, or of one text of megabytes, is taken as its first values,
// each cut.
const guint MostTagValues = 16;
const int MostTextLength = 4000;

const TextTag TextTags[] = {
    { GST_TAG_TITLE, "title" },
    { GST_TAG_ARTIST, "artist" },
    { GST_TAG_ALBUM, "album" },
    { GST_TAG_GENRE, "genre" },
    { GST_TAG_ORGANIZATION, "organization" },
    { GST_TAG_COMPOSER, "composer" },
};

// The sound server sorts streams by role: it asks music to step aside while a stream of the
// "phone" role plays (and to come back after it), and only streams that name their role take
// part in that.
void nameStreamRole(GstElement* element)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory || g_strcmp0(GST_OBJECT_NAME(factory), "pulsesink") != 0)
        return;
    GstStructure* properties = gst_structure_new("props", "media.role", G_TYPE_STRING, "music",
                                                 nullptr);
    g_object_set(element, "stream-properties", properties, nullptr);
    gst_structure_free(properties);
}

// A sink made by the sink's description itself (not added later by an automatic sink).
void nameStreamRoles(GstElement* sink)
{
    nameStreamRole(sink);
    if (!GST_IS_BIN(sink))
        return;
    GstIterator* elements = gst_bin_iterate_recurse(GST_BIN(sink));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(elements, &item) == GST_ITERATOR_OK) {
        nameStreamRole(GST_ELEMENT(g_value_get_object(&item)));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(elements);
}

// An automatic sink picks the server's sink when it starts: it gets its role as it joins.
void elementAdded(GstBin*, GstBin*, GstElement* element, gpointer)
{
    nameStreamRole(element);
}

bool isUrlSource(GstObject* object)
{
    return object && GST_IS_URI_HANDLER(object)
           && gst_uri_handler_get_uri_type(GST_URI_HANDLER(object)) == GST_URI_SRC;
}

// started: the item had prerolled; fromSource: the element reading the URL reported it.
int errorCode(const GError* error, const QUrl& url, bool started, bool fromSource)
{
    const bool network = ZelGstPlayer::isNetworkUrl(url);
    if (network && fromSource && error->domain == GST_STREAM_ERROR
        && error->code == GST_STREAM_ERROR_FAILED) {
        // souphttpsrc names no reason when the server cannot be reached or the connection
        // breaks; it only stops its stream.
        return started ? MafwError::ConnectionLost : MafwError::CannotConnect;
    }
    if (error->domain == GST_RESOURCE_ERROR) {
        switch (error->code) {
        case GST_RESOURCE_ERROR_NOT_FOUND:
            // souphttpsrc reports an unknown host as "not found" too; for the user that server
            // cannot be reached, while a missing file on a reachable server is not found.
            if (network
                && QString::fromUtf8(error->message)
                       .contains(QLatin1String("resolve"), Qt::CaseInsensitive))
                return MafwError::CannotConnect;
            return MafwError::ResourceNotFound;
        case GST_RESOURCE_ERROR_OPEN_READ:
        case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
            return network ? MafwError::CannotConnect : MafwError::ResourceNotFound;
        case GST_RESOURCE_ERROR_READ:
            return network ? MafwError::ConnectionLost : MafwError::ResourceNotFound;
        case GST_RESOURCE_ERROR_NOT_AUTHORIZED:
            return MafwError::ResourceNotFound;
        case GST_RESOURCE_ERROR_SEEK:
            // A network source seeks by itself only to resume a broken connection.
            return network ? MafwError::ConnectionLost : MafwError::SeekRefused;
        case GST_RESOURCE_ERROR_NO_SPACE_LEFT:
            return MafwError::OutOfMemory;
        default:
            return MafwError::CannotPlay;
        }
    }
    if (error->domain == GST_STREAM_ERROR) {
        switch (error->code) {
        case GST_STREAM_ERROR_CODEC_NOT_FOUND:
            return MafwError::CodecMissing;
        case GST_STREAM_ERROR_TYPE_NOT_FOUND:
        case GST_STREAM_ERROR_WRONG_TYPE:
        case GST_STREAM_ERROR_FORMAT:
        case GST_STREAM_ERROR_DEMUX:
        case GST_STREAM_ERROR_DECODE:
        case GST_STREAM_ERROR_NOT_IMPLEMENTED:
            return MafwError::UnsupportedFormat;
        case GST_STREAM_ERROR_DECRYPT:
        case GST_STREAM_ERROR_DECRYPT_NOKEY:
            return MafwError::DrmProtected;
        default:
            return MafwError::CannotPlay;
        }
    }
    if (error->domain == GST_CORE_ERROR) {
        switch (error->code) {
        case GST_CORE_ERROR_MISSING_PLUGIN:
            return MafwError::CodecMissing;
        case GST_CORE_ERROR_SEEK:
            return MafwError::SeekRefused;
        default:
            return MafwError::CannotPlay;
        }
    }
    return MafwError::CannotPlay;
}

// The descriptor of the local file a pipeline reads, kept with the pipeline (plus one, so that
// descriptor 0 is not a null pointer) and closed when it is dropped.
const char* const SourceDescriptorKey = "parlovance-source-descriptor";

void closeSourceDescriptor(gpointer data)
{
    ::close(GPOINTER_TO_INT(data) - 1);
}

// Hands the pipeline the local file opened here, on the worker: a source made from the file's
// address would open it by name, and a name that stands for a pipe by then (swapped in after
// the address was checked) would hold the worker in open() until something writes to the
// pipe, for ever if nothing does. The file is opened without waiting and checked open, and the
// source is given the descriptor's own entry in /proc: opening that opens the very file that was
// checked, whatever its name stands for by then, and the file source still reads it at random
// (demuxers that pull, exact seeks and durations), which a source reading from a descriptor
// does not. A file whose Vorbis comment GStreamer would read whole over the bound (see
// ZelTagTrim) is read through a source that hands GStreamer the comment bounded; any other file
// is read as it is. Returns why it cannot be played, or an empty text.
QString openLocalSource(GstElement* pipeline, const QByteArray& path)
{
    QString reason;
    const int fd = SafeFile::openRegularDescriptor(path, &reason);
    if (fd < 0)
        return reason;
    g_object_set_data_full(G_OBJECT(pipeline), SourceDescriptorKey, GINT_TO_POINTER(fd + 1),
                           closeSourceDescriptor);
    const ZelTagTrim::Result trim = ZelTagTrim::examine(fd);
    if (!trim.stretches.isEmpty() && ZelTrimmedSource::use(pipeline, fd, trim.stretches)) {
        qCInfo(lcPlayControl).nospace().noquote()
            << "the tags of \"" << QFile::decodeName(path) << "\" are over the bound: "
            << trim.bounded.join(QStringLiteral(", ")) << "; GStreamer is handed them bounded";
        return QString();
    }
    const QByteArray uri = "file:///proc/self/fd/" + QByteArray::number(fd);
    g_object_set(pipeline, "uri", uri.constData(), nullptr);
    return QString();
}

QString artFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
           + QStringLiteral("/parlovance/renderer-art");
}

// The most stream covers kept: every distinct picture a station sends gets a file, and a
// station that sends a new one with every song would otherwise fill the disk over the months.
const int MaxStreamCovers = 64;

// Removes the least recently written covers beyond MaxStreamCovers, keeping the one just
// written. Only names are removed: a link is unlinked, never followed.
void trimArtFolder(const QString& folder, const QString& kept)
{
    QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::System | QDir::Hidden,
                                                    QDir::Time);
    int count = 0;
    for (const QFileInfo& entry : entries) {
        if (entry.absoluteFilePath() == kept || ++count < MaxStreamCovers)
            continue;
        ::unlink(QFile::encodeName(entry.absoluteFilePath()).constData());
    }
}

// The file suffix of a picture by its first bytes: only JPEG and PNG are kept, whatever the
// stream says the picture is.
QString pictureSuffix(const QByteArray& data)
{
    if (data.startsWith("\xff\xd8\xff"))
        return QStringLiteral("jpeg");
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return QStringLiteral("png");
    return QString();
}

// Writes an embedded picture into the cache once (named by its content) and returns the path.
// The names are predictable, so whatever stands at one that is not a regular file of its own
// (a planted link) is replaced by the picture, never written through.
QString storeImage(GstSample* sample)
{
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (!buffer)
        return QString();
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return QString();
    const QByteArray data(reinterpret_cast<const char*>(map.data), int(map.size));
    gst_buffer_unmap(buffer, &map);
    const QString suffix = pictureSuffix(data);
    if (suffix.isEmpty())
        return QString();

    const QString folder = artFolder();
    const QString path = folder + QLatin1Char('/')
                         + QString::fromLatin1(
                             QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex())
                         + QLatin1Char('.') + suffix;
    if (SafeFile::isRegular(path))
        return path;
    if (!QDir().mkpath(folder)) {
        qWarning() << Q_FUNC_INFO << "- cannot make the folder" << folder;
        return QString();
    }
    if (!SafeFile::write(path, data, false)) {
        qWarning() << Q_FUNC_INFO << "- cannot write" << path;
        return QString();
    }
    trimArtFolder(folder, path);
    return path;
}

// The front cover when the stream marks one, else its first picture.
QString coverPath(const GstTagList* list)
{
    const char* const imageTags[] = { GST_TAG_IMAGE, GST_TAG_PREVIEW_IMAGE };
    for (const char* tag : imageTags) {
        const guint count = gst_tag_list_get_tag_size(list, tag);
        int chosen = -1;
        for (guint i = 0; i < count && chosen < 0; ++i) {
            GstSample* sample = nullptr;
            if (!gst_tag_list_get_sample_index(list, tag, i, &sample))
                continue;
            const GstStructure* info = gst_sample_get_info(sample);
            gint type = GST_TAG_IMAGE_TYPE_NONE;
            if (info && gst_structure_get_enum(info, "image-type", GST_TYPE_TAG_IMAGE_TYPE, &type)
                && type == GST_TAG_IMAGE_TYPE_FRONT_COVER)
                chosen = int(i);
            gst_sample_unref(sample);
        }
        if (chosen < 0 && count > 0)
            chosen = 0;
        if (chosen < 0)
            continue;
        GstSample* sample = nullptr;
        if (gst_tag_list_get_sample_index(list, tag, guint(chosen), &sample)) {
            const QString path = storeImage(sample);
            gst_sample_unref(sample);
            if (!path.isEmpty())
                return path;
        }
    }
    return QString();
}

ZelGstPlayer::Tags convertTags(const GstTagList* list)
{
    ZelGstPlayer::Tags tags;
    for (const TextTag& t : TextTags) {
        const guint count = std::min(gst_tag_list_get_tag_size(list, t.gstTag), MostTagValues);
        QList<QVariant> values;
        for (guint i = 0; i < count; ++i) {
            const gchar* text = nullptr;
            if (gst_tag_list_peek_string_index(list, t.gstTag, i, &text) && text) {
                // Cut by bytes first (four at most a character), then where a character ends.
                const int bytes = int(::strnlen(text, size_t(MostTextLength) * 4 + 4));
                QString value = QString::fromUtf8(text, bytes).trimmed();
                if (value.size() > MostTextLength)
                    value.truncate(value.at(MostTextLength - 1).isHighSurrogate()
                                       ? MostTextLength - 1
                                       : MostTextLength);
                if (!value.isEmpty())
                    values.append(value);
            }
        }
        if (!values.isEmpty())
            tags.insert(QLatin1String(t.key), values);
    }
    guint track = 0;
    if (gst_tag_list_get_uint(list, GST_TAG_TRACK_NUMBER, &track) && track > 0)
        tags.insert(QStringLiteral("track"), QList<QVariant>() << int(track));
    const QString cover = coverPath(list);
    if (!cover.isEmpty())
        tags.insert(QStringLiteral("renderer-art-uri"), QList<QVariant>() << cover);
    return tags;
}

} // namespace

// A pipeline's way from NULL to PAUSED on a worker thread, and what the worker and the GUI
// thread settle under the lock: where the answer goes (nowhere once the player has let go), and
// who takes the pipeline down when it is dropped before that state change came back.
struct ZelGstPlayer::Start
{
    QMutex mutex;
    ZelGstPlayer* player = nullptr;
    bool returned = false;
    bool dropped = false;
    // A local file: its native path, opened by the worker (see openLocalSource()).
    QByteArray localFile;
};

// What the workers have in hand, counted under a lock they share with the player; a worker
// that is done tells the player (while there is one) so that a waiting load can go, and wakes
// the player's end.
struct ZelGstPlayer::Traffic
{
    QMutex mutex;
    QWaitCondition down;
    ZelGstPlayer* player = nullptr;
    int held = 0;
    // Of those, the ones whose take-down found them still opening long after they were dropped:
    // each waits for work that may go on for minutes.
    int lingering = 0;
    std::atomic<bool> closing { false };

    // Takes a dropped pipeline to NULL and lets it go, on a worker thread that is none of its
    // own streaming threads.
    void takeDown(GstElement* pipeline)
    {
        QElapsedTimer waited;
        waited.start();
        while (!closing && waited.elapsed() < SettleBeforeNullMs) {
            if (gst_element_get_state(pipeline, nullptr, nullptr, SettleStepMs * GST_MSECOND)
                != GST_STATE_CHANGE_ASYNC)
                break;
        }
        // Still opening: what it works on may go on for a long time yet, with nobody waiting
        // for it.
        const bool opening = gst_element_get_state(pipeline, nullptr, nullptr, 0)
                             == GST_STATE_CHANGE_ASYNC;
        const bool lingers = opening && !closing;
        if (opening)
            ZelStreamThreads::giveUp(pipeline);
        if (lingers)
            linger(1);
        gst_element_set_state(pipeline, GST_STATE_NULL);
        if (lingers)
            linger(-1);
        // The source reads no more: the file it was handed is closed now, not with the last
        // reference, which an element may keep a while.
        g_object_set_data(G_OBJECT(pipeline), SourceDescriptorKey, nullptr);
        gst_object_unref(pipeline);
    }

    void hold()
    {
        QMutexLocker lock(&mutex);
        ++held;
    }

    void linger(int change)
    {
        QMutexLocker lock(&mutex);
        lingering += change;
        down.wakeAll();
    }

    void done()
    {
        QMutexLocker lock(&mutex);
        --held;
        down.wakeAll();
        if (ZelGstPlayer* p = player)
            QMetaObject::invokeMethod(
                p, [p]() { p->loadParked(); }, Qt::QueuedConnection);
    }

    // Waits for the pipelines held to come down, for ms at the most and not for those that
    // linger; false when any is still held.
    bool waitForAll(int ms)
    {
        QDeadlineTimer deadline(ms);
        QMutexLocker lock(&mutex);
        while (held > lingering) {
            if (!down.wait(&mutex, deadline))
                break;
        }
        return held == 0;
    }
};

ZelGstPlayer::ZelGstPlayer(QObject* parent)
    : QObject(parent)
    , m_pipeline(nullptr)
    , m_bus(nullptr)
    , m_watch(0)
    , m_pollTimer(nullptr)
    , m_workers(new QThreadPool(this))
    , m_traffic(QSharedPointer<Traffic>::create())
    , m_valid(false)
    , m_used(false)
    , m_target(Stopped)
    , m_loaded(false)
    , m_prerolled(false)
    , m_live(false)
    , m_buffering(false)
    , m_pendingSeek(-1)
    , m_seekTarget(-1)
    , m_loadSerial(0)
    , m_parkedStartMs(-1)
    , m_parked(false)
    , m_stallTimer(new QTimer(this))
    , m_stallLooks(0)
{
    m_stallTimer->setInterval(StallLookMs);
    connect(m_stallTimer, &QTimer::timeout, this, &ZelGstPlayer::lookForStall);
    m_traffic->player = this;
    qRegisterMetaType<ZelGstPlayer::Target>("ZelGstPlayer::Target");
    qRegisterMetaType<ZelGstPlayer::Tags>("ZelGstPlayer::Tags");
    // A thread for every pipeline held (and one to spare), so that no start or take-down ever
    // waits behind one that does not come back.
    m_workers->setMaxThreadCount(MostHeld + 1);
}

ZelGstPlayer::~ZelGstPlayer()
{
    {
        QMutexLocker lock(&m_traffic->mutex);
        m_traffic->player = nullptr;
    }
    m_traffic->closing = true;
    m_parked = false;
    retirePipeline();
    if (!m_traffic->waitForAll(ShutdownWaitMs)) {
        // A pipeline held in work that cannot be interrupted is left behind with the thread
        // that waits for it, and so is the pool, whose destructor would wait for that thread.
        // It only reads its source: the process may end under it with nothing lost.
        qWarning() << Q_FUNC_INFO << "- a pipeline does not come down; it is left behind";
        m_workers->setParent(nullptr);
    }
}

bool ZelGstPlayer::create()
{
    if (m_valid)
        return true;
    if (!gst_is_initialized()) {
        GError* error = nullptr;
        if (!gst_init_check(nullptr, nullptr, &error)) {
            qWarning() << Q_FUNC_INFO << "- GStreamer cannot start:"
                       << (error ? error->message : "unknown reason");
            g_clear_error(&error);
            return false;
        }
    }
    m_valid = makePipeline();
    return m_valid;
}

bool ZelGstPlayer::makePipeline()
{
    GstElement* pipeline = gst_element_factory_make("playbin", "zel-player");
    if (!pipeline) {
        qWarning() << Q_FUNC_INFO << "- GStreamer has no playbin";
        return false;
    }
    gst_object_ref_sink(pipeline);
    ZelStreamThreads::attach(pipeline);

    // The sink comes with a volume element of its own in front. playbin then makes none: the
    // one it makes for software volume is never released by GStreamer (one element and its two
    // pads lost with every song), and without any it warns, for every song, about a sink that
    // has no volume.
    QByteArray description = qgetenv(AudioSinkVariable).trimmed();
    if (description.isEmpty())
        description = "autoaudiosink";
    GError* error = nullptr;
    GstElement* sink = gst_parse_bin_from_description(("volume ! " + description).constData(), TRUE,
                                                      &error);
    if (!sink) {
        qWarning() << Q_FUNC_INFO << "- the audio sink" << description
                   << "cannot be made:" << (error ? error->message : "unknown reason");
    }
    g_clear_error(&error);
    if (!sink) {
        gst_object_unref(pipeline);
        return false;
    }
    nameStreamRoles(sink);
    g_signal_connect(pipeline, "deep-element-added", G_CALLBACK(elementAdded), nullptr);
    g_object_set(pipeline, "audio-sink", sink, "flags", PlayFlagAudio, nullptr);

    m_pipeline = pipeline;
    m_used = false;
    m_bus = gst_element_get_bus(m_pipeline);
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher && dispatcher->inherits("QEventDispatcherGlib")) {
        m_watch = gst_bus_add_watch(m_bus, reinterpret_cast<GstBusFunc>(&ZelGstPlayer::busCallback),
                                    this);
    } else if (!m_pollTimer) {
        // Qt runs without GLib here: nobody would dispatch a bus watch, so drain the bus
        // from a timer instead.
        m_pollTimer = new QTimer(this);
        m_pollTimer->setInterval(20);
        connect(m_pollTimer, &QTimer::timeout, this, &ZelGstPlayer::pollBus);
        m_pollTimer->start();
    }
    return true;
}

bool ZelGstPlayer::freshPipeline()
{
    if (m_pipeline && !m_used)
        return true;
    retirePipeline();
    return makePipeline();
}

void ZelGstPlayer::retirePipeline()
{
    if (!m_pipeline)
        return;
    // Nothing more of this pipeline reaches the player: its bus is no longer watched.
    if (m_watch)
        g_source_remove(m_watch);
    m_watch = 0;
    gst_object_unref(m_bus);
    m_bus = nullptr;
    GstElement* pipeline = m_pipeline;
    m_pipeline = nullptr;
    QSharedPointer<Start> start;
    start.swap(m_start);
    if (start) {
        QMutexLocker lock(&start->mutex);
        start->player = nullptr;
        if (!start->returned) {
            // Still opening its source: the worker takes it down once that comes back.
            start->dropped = true;
            lock.unlock();
            gst_object_unref(pipeline);
            return;
        }
    }
    // Going to NULL waits for the streaming threads (a network source may take seconds to
    // give up), so it is done off the GUI thread; the last reference goes with it.
    if (!m_used) {
        // Never started: in NULL already, with no thread of its own.
        gst_object_unref(pipeline);
        return;
    }
    QSharedPointer<Traffic> traffic = m_traffic;
    traffic->hold();
    m_workers->start([pipeline, traffic]() {
        traffic->takeDown(pipeline);
        traffic->done();
    });
}

bool ZelGstPlayer::congested() const
{
    QMutexLocker lock(&m_traffic->mutex);
    return m_traffic->held >= MostHeld;
}

void ZelGstPlayer::loadParked()
{
    if (!m_parked || congested())
        return;
    m_parked = false;
    load(m_parkedUrl, m_target, m_parkedStartMs);
}

bool ZelGstPlayer::isNetworkUrl(const QUrl& url)
{
    return !url.isLocalFile() && !url.scheme().isEmpty();
}

bool ZelGstPlayer::isValid() const
{
    return m_valid;
}

int ZelGstPlayer::busCallback(GstBus*, GstMessage* message, void* data)
{
    static_cast<ZelGstPlayer*>(data)->handleMessage(message);
    return TRUE;
}

void ZelGstPlayer::pollBus()
{
    while (m_bus) {
        GstMessage* message = gst_bus_pop(m_bus);
        if (!message)
            break;
        handleMessage(message);
        gst_message_unref(message);
    }
}

void ZelGstPlayer::load(const QUrl& url, Target target, qint64 startMs)
{
    if (!m_valid)
        return;
    ++m_loadSerial;
    m_stallTimer->stop();
    if (!PlayableUrl::check(url, Q_FUNC_INFO)) {
        stop();
        failLater(url.isLocalFile() ? MafwError::ResourceNotFound : MafwError::UnsupportedMediaType,
                  QStringLiteral("The address is not played"));
        return;
    }
    m_url = url;
    m_target = target == Stopped ? Paused : target;
    m_loaded = true;
    m_prerolled = false;
    m_live = false;
    m_buffering = false;
    m_pendingSeek = startMs > 0 ? startMs : -1;
    m_seekTarget = m_pendingSeek;
    m_parked = false;
    if (m_used)
        retirePipeline();
    if (congested()) {
        // Only the newest request waits; the item counts as loading meanwhile.
        m_parked = true;
        m_parkedUrl = url;
        m_parkedStartMs = startMs;
        return;
    }
    if (!freshPipeline()) {
        m_loaded = false;
        failLater(MafwError::CannotPlay, QStringLiteral("No pipeline can be made"));
        return;
    }
    m_used = true;

    startPipeline(url);
}

void ZelGstPlayer::failLater(int code, const QString& text)
{
    m_loaded = false;
    m_target = Stopped;
    const quint64 serial = m_loadSerial;
    QTimer::singleShot(0, this, [this, serial, code, text]() {
        // Only when nothing else was loaded or stopped meanwhile.
        if (serial == m_loadSerial)
            emit failed(code, text);
    });
}

void ZelGstPlayer::startPipeline(const QUrl& url)
{
    auto start = QSharedPointer<Start>::create();
    start->player = this;
    if (url.isLocalFile()) {
        gchar* path = g_filename_from_uri(url.toEncoded().constData(), nullptr, nullptr);
        start->localFile = path;
        g_free(path);
    } else {
        g_object_set(m_pipeline, "uri", url.toEncoded().constData(), nullptr);
    }
    m_start = start;
    auto* pipeline = static_cast<GstElement*>(gst_object_ref(m_pipeline));
    const quint64 serial = m_loadSerial;
    QSharedPointer<Traffic> traffic = m_traffic;
    traffic->hold();
    m_workers->start([start, pipeline, serial, traffic]() {
        const QString refusal = start->localFile.isEmpty()
                                    ? QString()
                                    : openLocalSource(pipeline, start->localFile);
        const GstStateChangeReturn result = refusal.isEmpty()
                                                ? gst_element_set_state(pipeline, GST_STATE_PAUSED)
                                                : GST_STATE_CHANGE_FAILURE;
        bool dropped = false;
        {
            QMutexLocker lock(&start->mutex);
            start->returned = true;
            dropped = start->dropped;
            if (ZelGstPlayer* player = start->player) {
                QMetaObject::invokeMethod(
                    player,
                    [player, serial, result, refusal]() {
                        player->pipelineStarted(serial, result, refusal);
                    },
                    Qt::QueuedConnection);
            }
        }
        if (dropped)
            traffic->takeDown(pipeline);
        else
            gst_object_unref(pipeline);
        traffic->done();
    });
}

void ZelGstPlayer::pipelineStarted(quint64 serial, int result, const QString& refusal)
{
    if (serial != m_loadSerial || !m_loaded)
        return;
    if (!refusal.isEmpty()) {
        qWarning().noquote() << Q_FUNC_INFO << "- refused" << m_url.toString() + ":" << refusal;
        retirePipeline();
        m_loaded = false;
        m_target = Stopped;
        emit failed(MafwError::ResourceNotFound,
                     QStringLiteral("The file cannot be played: %1").arg(refusal));
        return;
    }
    if (result == GST_STATE_CHANGE_FAILURE) {
        // The reason is normally waiting on the bus already; without one, still fail.
        GstMessage* message = gst_bus_pop_filtered(m_bus, GST_MESSAGE_ERROR);
        int code = MafwError::CannotPlay;
        QString text = QStringLiteral("The item cannot be started");
        if (message) {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            if (error) {
                code = errorCode(error, m_url, false, isUrlSource(GST_MESSAGE_SRC(message)));
                text = QString::fromUtf8(error->message);
            }
            g_clear_error(&error);
            gst_message_unref(message);
        }
        retirePipeline();
        m_loaded = false;
        m_target = Stopped;
        emit failed(code, text);
        return;
    }
    if (result == GST_STATE_CHANGE_NO_PREROLL) {
        // A live source never prerolls and cannot seek: go straight to the target.
        m_live = true;
        m_prerolled = true;
        m_pendingSeek = -1;
        m_seekTarget = -1;
        applyTarget();
        return;
    }
    if (!m_prerolled) {
        m_stallLooks = 0;
        m_stallTimer->start();
    }
}

void ZelGstPlayer::lookForStall()
{
    if (!m_loaded || m_prerolled || !m_pipeline) {
        m_stallTimer->stop();
        return;
    }
    // A message still waiting on the bus (the sink's preroll, an error) is heard first.
    if (gst_bus_have_pending(m_bus) || !ZelStreamThreads::stalled(m_pipeline)) {
        m_stallLooks = 0;
        return;
    }
    if (++m_stallLooks < StallLooks)
        return;
    m_stallTimer->stop();
    const QString text = QStringLiteral("The stream stopped before any of it could be played");
    qWarning() << Q_FUNC_INFO << "-" << m_url << text;
    emit failed(MafwError::UnsupportedFormat, text);
}

void ZelGstPlayer::setTarget(Target target)
{
    if (!m_loaded)
        return;
    if (target == Stopped) {
        stop();
        return;
    }
    m_target = target;
    if (!m_prerolled || m_seekTarget >= 0 || m_pendingSeek >= 0)
        return; // settles once the item has prerolled or the seek is done
    // The pipeline moves at once (a seek that follows must find it paused already); whether
    // it got there is told on the next turn of the loop, never within the caller's call.
    if (target == Paused)
        gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    else if (!m_buffering || m_live)
        gst_element_set_state(m_pipeline, GST_STATE_PLAYING);
    applyTargetLater();
}

void ZelGstPlayer::applyTargetLater()
{
    const quint64 serial = m_loadSerial;
    QTimer::singleShot(0, this, [this, serial]() {
        if (serial == m_loadSerial && m_loaded && m_prerolled && m_seekTarget < 0
            && m_pendingSeek < 0)
            applyTarget();
    });
}

ZelGstPlayer::Target ZelGstPlayer::target() const
{
    return m_target;
}

bool ZelGstPlayer::isLoaded() const
{
    return m_loaded;
}

void ZelGstPlayer::stop()
{
    ++m_loadSerial;
    m_stallTimer->stop();
    m_parked = false;
    if (m_used)
        retirePipeline();
    m_target = Stopped;
    m_loaded = false;
    m_prerolled = false;
    m_live = false;
    m_buffering = false;
    m_pendingSeek = -1;
    m_seekTarget = -1;
}

bool ZelGstPlayer::seek(qint64 ms)
{
    if (!m_loaded || ms < 0)
        return false;
    if (!m_prerolled) {
        m_pendingSeek = ms;
        m_seekTarget = ms;
        // A load that waits for the pipelines before it starts there.
        if (m_parked)
            m_parkedStartMs = ms;
        return true;
    }
    if (m_live || !isSeekable())
        return false;
    return startSeek(ms);
}

bool ZelGstPlayer::startSeek(qint64 ms)
{
    const gboolean done = gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME,
                                                  GstSeekFlags(GST_SEEK_FLAG_FLUSH
                                                               | GST_SEEK_FLAG_ACCURATE),
                                                  gint64(ms) * GST_MSECOND);
    m_seekTarget = done ? ms : -1;
    return done;
}

qint64 ZelGstPlayer::position() const
{
    if (!m_loaded)
        return -1;
    if (m_seekTarget >= 0)
        return m_seekTarget;
    if (!m_pipeline)
        return -1;
    gint64 position = 0;
    if (!gst_element_query_position(m_pipeline, GST_FORMAT_TIME, &position) || position < 0)
        return -1;
    return position / GST_MSECOND;
}

qint64 ZelGstPlayer::duration() const
{
    if (!m_loaded || !m_pipeline)
        return -1;
    gint64 duration = 0;
    if (!gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &duration) || duration <= 0)
        return -1;
    return duration / GST_MSECOND;
}

bool ZelGstPlayer::isSeekable() const
{
    if (!m_loaded)
        return false;
    if (!m_prerolled)
        return true;
    if (m_live)
        return false;
    GstQuery* query = gst_query_new_seeking(GST_FORMAT_TIME);
    gboolean seekable = FALSE;
    if (gst_element_query(m_pipeline, query))
        gst_query_parse_seeking(query, nullptr, &seekable, nullptr, nullptr);
    gst_query_unref(query);
    return seekable;
}

bool ZelGstPlayer::isPrerolled() const
{
    return m_prerolled;
}

void ZelGstPlayer::handleMessage(GstMessage* message)
{
    if (!m_loaded)
        return;
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_STATE_CHANGED:
        if (GST_MESSAGE_SRC(message) == GST_OBJECT(m_pipeline))
            handleStateChanged(message);
        break;
    case GST_MESSAGE_ASYNC_DONE:
        handleAsyncDone();
        break;
    case GST_MESSAGE_EOS:
        emit endOfStream();
        break;
    case GST_MESSAGE_ERROR:
        handleError(message);
        break;
    case GST_MESSAGE_WARNING: {
        GError* error = nullptr;
        gst_message_parse_warning(message, &error, nullptr);
        qWarning() << Q_FUNC_INFO << "-" << (error ? error->message : "warning") << m_url;
        g_clear_error(&error);
        break;
    }
    case GST_MESSAGE_TAG: {
        GstTagList* list = nullptr;
        gst_message_parse_tag(message, &list);
        if (list) {
            const Tags tags = convertTags(list);
            gst_tag_list_unref(list);
            if (!tags.isEmpty())
                emit tagsFound(tags);
        }
        break;
    }
    case GST_MESSAGE_BUFFERING: {
        gint percent = 0;
        gst_message_parse_buffering(message, &percent);
        handleBuffering(percent);
        break;
    }
    case GST_MESSAGE_DURATION_CHANGED:
        emit durationChanged();
        break;
    case GST_MESSAGE_REQUEST_STATE: {
        // The sound server's word, through the sink: another stream needs the sound now
        // (paused), or no longer (playing).
        GstState requested = GST_STATE_VOID_PENDING;
        gst_message_parse_request_state(message, &requested);
        if (requested == GST_STATE_PAUSED)
            emit soundClaimed(true);
        else if (requested == GST_STATE_PLAYING)
            emit soundClaimed(false);
        break;
    }
    case GST_MESSAGE_CLOCK_LOST:
        // The usual cure: select a new clock by pausing and playing again.
        if (m_target == Playing && !m_buffering) {
            gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
            gst_element_set_state(m_pipeline, GST_STATE_PLAYING);
        }
        break;
    default:
        break;
    }
}

void ZelGstPlayer::handleStateChanged(GstMessage* message)
{
    GstState oldState, newState, pending;
    gst_message_parse_state_changed(message, &oldState, &newState, &pending);
    if (m_seekTarget >= 0 || m_pendingSeek >= 0)
        return;
    if (newState == GST_STATE_PLAYING && m_target == Playing)
        emit settled(Playing);
    else if (newState == GST_STATE_PAUSED && pending == GST_STATE_VOID_PENDING && m_target == Paused
             && m_prerolled)
        emit settled(Paused);
}

void ZelGstPlayer::handleAsyncDone()
{
    if (!m_prerolled) {
        m_prerolled = true;
        emit durationChanged();
        if (m_pendingSeek >= 0) {
            const qint64 start = m_pendingSeek;
            m_pendingSeek = -1;
            m_seekTarget = -1;
            if (start > 0) {
                if (isSeekable() && startSeek(start))
                    return; // settles at the seek's own completion
                emit failed(MafwError::SeekRefused,
                            QStringLiteral("The item cannot be moved to %1 ms").arg(start));
                if (!m_loaded)
                    return;
            }
        }
        applyTarget();
        return;
    }
    m_seekTarget = -1;
    applyTarget();
}

void ZelGstPlayer::handleBuffering(int percent)
{
    emit bufferingChanged(percent);
    if (!m_loaded || m_live)
        return;
    if (percent < 100) {
        if (!m_buffering) {
            m_buffering = true;
            if (m_target == Playing && m_prerolled)
                gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
        }
    } else if (m_buffering) {
        m_buffering = false;
        if (m_prerolled && m_seekTarget < 0 && m_pendingSeek < 0)
            applyTarget();
    }
}

void ZelGstPlayer::handleError(GstMessage* message)
{
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    const int code = error ? errorCode(error, m_url, m_prerolled,
                                       isUrlSource(GST_MESSAGE_SRC(message)))
                           : int(MafwError::CannotPlay);
    const QString text = error ? QString::fromUtf8(error->message) : QString();
    qWarning() << Q_FUNC_INFO << "-" << m_url << code << text << (debug ? debug : "");
    g_clear_error(&error);
    g_free(debug);
    emit failed(code, text);
}

void ZelGstPlayer::applyTarget()
{
    if (!m_loaded || !m_pipeline)
        return;
    GstState current = GST_STATE_VOID_PENDING;
    GstState pending = GST_STATE_VOID_PENDING;
    gst_element_get_state(m_pipeline, &current, &pending, 0);

    if (m_target == Playing) {
        if (m_buffering && !m_live)
            return; // goes on when the buffer is full again
        if (current == GST_STATE_PLAYING && pending == GST_STATE_VOID_PENDING) {
            emit settled(Playing);
            return;
        }
        gst_element_set_state(m_pipeline, GST_STATE_PLAYING);
        return;
    }
    if (m_target == Paused) {
        if (current == GST_STATE_PAUSED && pending == GST_STATE_VOID_PENDING) {
            emit settled(Paused);
            return;
        }
        const GstStateChangeReturn result = gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
        if (result == GST_STATE_CHANGE_SUCCESS || result == GST_STATE_CHANGE_NO_PREROLL)
            emit settled(Paused);
    }
}
