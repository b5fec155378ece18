#ifndef THUMBNAILERTHREAD_H
#define THUMBNAILERTHREAD_H

#include "albumartcacheitem.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QSize>
#include <QThread>
#include <QVector>

#include <mutex>

class AlbumArtGenerator;
class QFileInfo;
class QTimer;

// The album-art worker. Loaders push cover requests from the GUI thread; the worker serves the
// newest first: an up-to-date thumbnail is loaded, else the media-art picture is read in small
// steps, decoded, scaled to the flavor's square and kept as a JPEG thumbnail, else a text cover
// is drawn. The answer goes back to the listener's ready or not-found slot by a queued call with
// (AlbumArtCacheItem, QImage).
//
// A listener unregisters itself before it is deleted; it then gets nothing more, also for
// requests already on their way.
class ThumbnailerThread : public QThread
{
    Q_OBJECT

public:
    ThumbnailerThread();
    ~ThumbnailerThread() override;

    // The slots in the form SLOT() gives them, e.g.
    // "1thumbnailReadySlot(AlbumArtCacheItem,QImage)".
    void registerListener(QObject* listener, const char* readySlot, const char* notFoundSlot);
    void unregisterListener(QObject* listener);
    bool isValidListener(QObject* listener);
    // False when an equal request of the same listener is already waiting (it is then served
    // next); true otherwise, also for a listener that is not registered (which gets nothing).
    bool addRequest(const AlbumArtCacheItem& item, QObject* listener);

    // The number of loaders using the worker; kept by the loaders.
    int userCount;

signals:
    void restart();
    void destroy();

protected:
    void run() override;

private slots:
    void processRequestStack();
    void doQuit();
    void destroySlot();
    void finishedSlot();

private:
    struct ListenerSlots
    {
        int readySlot;
        int notFoundSlot;
    };
    struct ThumbnailRequest
    {
        AlbumArtCacheItem item;
        QObject* listener;
        bool operator==(const ThumbnailRequest& other) const
        {
            return listener == other.listener && item == other.item;
        }
    };

    // Ends the current request without a picture: a text cover when allowed, else not found.
    void giveUp();
    void takeRequest();
    void locateAndRead();
    void openMediaArt(const QString& path);
    void useThumbnail(const QFileInfo& thumbnail);
    void decode();
    void scale();
    void generate();
    void save();
    void deliver();

    QHash<QObject*, ListenerSlots> listeners;
    QVector<ThumbnailRequest> requestStack;
    QTimer* stepTimer;
    QTimer* idleTimer;
    // Guards listeners, requestStack, workerActive and destroying. A standard mutex, not Qt's,
    // so that the thread sanitizer sees the locking.
    std::recursive_mutex mutex;
    AlbumArtGenerator* generator;
    QHash<QString, QSize> flavorSizes;
    AlbumArtCacheItem currentItem;
    QObject* currentListener;
    int state;
    QFile file;
    QByteArray buffer;
    QImage image;
    bool imageIsGenerated;
    // The thread has been started and has not yet decided to end with an empty stack.
    bool workerActive;
    bool destroying;
};

#endif // THUMBNAILERTHREAD_H
