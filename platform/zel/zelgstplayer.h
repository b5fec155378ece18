#ifndef ZELGSTPLAYER_H
#define ZELGSTPLAYER_H

#include <QList>
#include <QMap>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QUrl>
#include <QVariant>

class QThreadPool;
class QTimer;
typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

// One GStreamer playbin on the desktop's audio sink (or the bin described by the environment
// variable PARLOVANCE_AUDIO_SINK). It loads one URL at a time, prerolls it, applies a pending
// seek, then settles in the state asked for, and reports what the bus says, already mapped to
// the media framework's terms. The bus is watched on the GUI thread's GLib main context, so
// every signal comes from the GUI thread; no call waits for a state change to complete, and the
// state changes that open or close a source run on worker threads. Only what PlayableUrl lets
// through is loaded. Its stream has the sound server's role "music".
class ZelGstPlayer : public QObject
{
    Q_OBJECT

public:
    enum Target { Stopped, Paused, Playing };
    using Tags = QMap<QString, QList<QVariant>>;

    explicit ZelGstPlayer(QObject* parent = nullptr);
    ~ZelGstPlayer() override;

    // True for an address on a server; false for a local file or a bare path.
    static bool isNetworkUrl(const QUrl& url);

    // Builds the pipeline; false (after a log line) when GStreamer or the sink is missing.
    bool create();
    bool isValid() const;

    // Drops the current item and starts loading url; startMs >= 0 is sought before it settles.
    void load(const QUrl& url, Target target, qint64 startMs = -1);
    void setTarget(Target target);
    Target target() const;
    bool isLoaded() const;
    void stop();

    // False when the loaded item is known not to be seekable. Before the item has prerolled
    // the position is remembered and sought once it has.
    bool seek(qint64 ms);

    // Milliseconds; while a seek is on its way, the position sought. -1 when unknown.
    qint64 position() const;
    qint64 duration() const;
    bool isSeekable() const;
    bool isPrerolled() const;

signals:
    // The pipeline reached the state asked for, after loading or seeking.
    void settled(ZelGstPlayer::Target target);
    void endOfStream();
    // code is an MafwError code.
    void failed(int code, const QString& message);
    void tagsFound(const ZelGstPlayer::Tags& tags);
    void bufferingChanged(int percent);
    void durationChanged();
    // The sound server wants the player to step aside for another program's stream (true),
    // or lets it have the sound again (false). The player itself changes nothing.
    void soundClaimed(bool claimed);

private:
    static int busCallback(GstBus* bus, GstMessage* message, void* data);
    void pollBus();
    void handleMessage(GstMessage* message);
    void handleStateChanged(GstMessage* message);
    void handleAsyncDone();
    void handleBuffering(int percent);
    void handleError(GstMessage* message);
    void applyTarget();
    void applyTargetLater();
    // Drops the item being loaded and reports the failure on the next turn of the loop.
    void failLater(int code, const QString& text);
    bool startSeek(qint64 ms);
    // Builds a playbin on the sink; false (after a log line) when it cannot be made.
    bool makePipeline();
    // A pipeline that has loaded nothing yet, made anew when the current one has.
    bool freshPipeline();
    // Takes the loaded pipeline to PAUSED on a worker: the source opens in that state change,
    // and one that cannot open at once (a file on a hung file system) would hold the caller.
    // A local file is opened there too, and handed to the pipeline as its open descriptor.
    void startPipeline(const QUrl& url);
    // refusal: why the local file was not opened, or empty.
    void pipelineStarted(quint64 serial, int result, const QString& refusal);
    // Fails the item whose pipeline, not yet prerolled, has stopped moving with nothing said.
    void lookForStall();
    // Hands the current pipeline to a worker thread, which takes it to NULL and drops it; one
    // still starting is taken down by its starter once the start comes back.
    void retirePipeline();

    // True while the workers have as many pipelines in hand as they may.
    bool congested() const;
    // Loads the request that waited for the workers, once they have room.
    void loadParked();

    struct Start;
    struct Traffic;

    GstElement* m_pipeline;
    GstBus* m_bus;
    unsigned int m_watch;
    QTimer* m_pollTimer;
    QThreadPool* m_workers;
    QSharedPointer<Start> m_start;
    QSharedPointer<Traffic> m_traffic;
    bool m_valid;
    bool m_used;
    QUrl m_url;
    Target m_target;
    bool m_loaded;
    bool m_prerolled;
    bool m_live;
    bool m_buffering;
    qint64 m_pendingSeek;
    qint64 m_seekTarget;
    quint64 m_loadSerial;
    QUrl m_parkedUrl;
    qint64 m_parkedStartMs;
    bool m_parked;
    QTimer* m_stallTimer;
    int m_stallLooks;
};

Q_DECLARE_METATYPE(ZelGstPlayer::Target)

#endif // ZELGSTPLAYER_H
