#include "zelstreamthreads.h"

#include <QMutex>
#include <QMutexLocker>
#include <QVector>

#include <gst/gst.h>

#include <sys/resource.h>
#include <unistd.h>

namespace {

const char* const PoolKey = "parlovance-stream-threads";

// The threads running the tasks of one pipeline, known by their kernel ids while they run, and
// every task the pipeline has made, each held weakly: the task goes with its pad.
struct Threads
{
    QMutex mutex;
    QVector<pid_t> running;
    QVector<GWeakRef*> tasks;
    bool givenUp = false;

    ~Threads()
    {
        for (GWeakRef* task : qAsConst(tasks)) {
            g_weak_ref_clear(task);
            delete task;
        }
    }
};

struct OwnThreadPool
{
    GstTaskPool parent;
    Threads* threads;
};
struct OwnThreadPoolClass
{
    GstTaskPoolClass parentClass;
};

G_DEFINE_TYPE(OwnThreadPool, own_thread_pool, GST_TYPE_TASK_POOL)

// The least priority: such a thread takes a small share of a processor that something else
// wants, and still gets on where a processor is free.
const int LeastPriority = 19;

void lower(pid_t thread)
{
    ::setpriority(PRIO_PROCESS, id_t(thread), LeastPriority);
}

struct Job
{
    GstTaskPoolFunction function;
    gpointer data;
    OwnThreadPool* pool;
};

gpointer runJob(gpointer data)
{
    Job* job = static_cast<Job*>(data);
    Threads* threads = job->pool->threads;
    const pid_t self = ::gettid();
    {
        QMutexLocker lock(&threads->mutex);
        threads->running.append(self);
        if (threads->givenUp)
            lower(self);
    }
    job->function(job->data);
    {
        // Out of the list before the thread ends: an id is never lowered once the kernel may
        // have handed it to another thread.
        QMutexLocker lock(&threads->mutex);
        threads->running.removeOne(self);
    }
    gst_object_unref(job->pool);
    delete job;
    return nullptr;
}

// The thread is never joined: the task's own join already waits for its function to end, and
// a task that GStreamer does not join would otherwise keep an ended thread's stack.
gpointer pushJob(GstTaskPool* pool, GstTaskPoolFunction function, gpointer data, GError** error)
{
    auto* job = new Job { function, data,
                          reinterpret_cast<OwnThreadPool*>(gst_object_ref(pool)) };
    GThread* thread = g_thread_try_new("zel-stream", runJob, job, error);
    if (!thread) {
        gst_object_unref(pool);
        delete job;
        return nullptr;
    }
    g_thread_unref(thread);
    return nullptr;
}

void prepareNothing(GstTaskPool*, GError**)
{
}

void cleanupNothing(GstTaskPool*)
{
}

void joinNothing(GstTaskPool*, gpointer)
{
}

void finalizePool(GObject* object)
{
    delete reinterpret_cast<OwnThreadPool*>(object)->threads;
    G_OBJECT_CLASS(own_thread_pool_parent_class)->finalize(object);
}

void own_thread_pool_class_init(OwnThreadPoolClass* klass)
{
    GstTaskPoolClass* pool = GST_TASK_POOL_CLASS(klass);
    pool->prepare = prepareNothing;
    pool->cleanup = cleanupNothing;
    pool->push = pushJob;
    pool->join = joinNothing;
    G_OBJECT_CLASS(klass)->finalize = finalizePool;
}

void own_thread_pool_init(OwnThreadPool* pool)
{
    pool->threads = new Threads;
}

// A task about to be made is announced on the pipeline's bus, on the thread that makes it,
// before it starts: that is where its pool is chosen.
GstBusSyncReply taskAnnounced(GstBus*, GstMessage* message, gpointer pool)
{
    if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_STREAM_STATUS)
        return GST_BUS_PASS;
    GstStreamStatusType type = GST_STREAM_STATUS_TYPE_CREATE;
    GstElement* owner = nullptr;
    gst_message_parse_stream_status(message, &type, &owner);
    const GValue* value = gst_message_get_stream_status_object(message);
    if (type == GST_STREAM_STATUS_TYPE_CREATE && value && G_VALUE_HOLDS(value, GST_TYPE_TASK)) {
        GstTask* task = GST_TASK(g_value_get_object(value));
        gst_task_set_pool(task, GST_TASK_POOL(pool));
        Threads* threads = static_cast<OwnThreadPool*>(pool)->threads;
        auto* weak = new GWeakRef;
        g_weak_ref_init(weak, task);
        QMutexLocker lock(&threads->mutex);
        threads->tasks.append(weak);
    }
    return GST_BUS_PASS;
}

} // namespace

void ZelStreamThreads::attach(GstElement* pipeline)
{
    auto* pool = static_cast<GstTaskPool*>(g_object_new(own_thread_pool_get_type(), nullptr));
    gst_object_ref_sink(pool);
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, taskAnnounced, gst_object_ref(pool), gst_object_unref);
    gst_object_unref(bus);
    g_object_set_data_full(G_OBJECT(pipeline), PoolKey, pool, gst_object_unref);
}

void ZelStreamThreads::giveUp(GstElement* pipeline)
{
    auto* pool = static_cast<OwnThreadPool*>(g_object_get_data(G_OBJECT(pipeline), PoolKey));
    if (!pool)
        return;
    QMutexLocker lock(&pool->threads->mutex);
    pool->threads->givenUp = true;
    for (const pid_t thread : pool->threads->running)
        lower(thread);
}

bool ZelStreamThreads::stalled(GstElement* pipeline)
{
    auto* pool = static_cast<OwnThreadPool*>(g_object_get_data(G_OBJECT(pipeline), PoolKey));
    if (!pool)
        return false;
    QMutexLocker lock(&pool->threads->mutex);
    if (pool->threads->tasks.isEmpty())
        return false;
    for (GWeakRef* weak : qAsConst(pool->threads->tasks)) {
        auto* task = static_cast<GstTask*>(g_weak_ref_get(weak));
        if (!task)
            continue;
        const bool running = gst_task_get_state(task) == GST_TASK_STARTED;
        gst_object_unref(task);
        if (running)
            return false;
    }
    return true;
}
