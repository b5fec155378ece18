#include "thumbnailerthread.h"

#include "albumart/albumartgenerator.h"
#include "albumart/pixmapsaver.h"
#include "common/logging.h"
#include "safefile.h"
#include "safeimage.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QMetaMethod>
#include <QTimer>

namespace {

enum State {
    Take = 0,
    LocateAndRead = 1,
    Decode = 2,
    Scale = 3,
    Generate = 4,
    Save = 5,
    Deliver = 6
};

// Bytes read per step, so that each step is short and the worker's queue is served between
// steps.
const qint64 ReadStep = 10240;
const int IdleQuitMs = 5000;

// The steps log under the name of the function that runs them.
const char StepFunction[] = "void ThumbnailerThread::processRequestStack()";

} // namespace

ThumbnailerThread::ThumbnailerThread()
    : userCount(0)
    , stepTimer(nullptr)
    , idleTimer(nullptr)
    , generator(nullptr)
    , currentListener(nullptr)
    , state(Take)
    , imageIsGenerated(false)
    , workerActive(false)
    , destroying(false)
{
    moveToThread(this);
    qRegisterMetaType<AlbumArtCacheItem>("AlbumArtCacheItem");
    for (const char* flavor : { "common", "music-grid", "nowPlayingLabel", "half-screen" }) {
        const QString name = QLatin1String(flavor);
        flavorSizes.insert(name, AlbumArtCacheItem::flavorSize(name));
    }
}

ThumbnailerThread::~ThumbnailerThread()
{
    {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        destroying = true;
        requestStack.clear();
    }
    emit destroy();
    quit();
    // Every step of the worker is short, so this wait is short too; a thread object must not be
    // destroyed while its thread runs.
    wait();
    // The worker's last act is under the mutex: taking it here orders everything the worker did
    // before the members go.
    std::lock_guard<std::recursive_mutex> lock(mutex);
    delete stepTimer;
    delete idleTimer;
    delete generator;
}

void ThumbnailerThread::registerListener(QObject* listener, const char* readySlot,
                                         const char* notFoundSlot)
{
    if (!listener)
        return;
    auto slotIndex = [listener](const char* text) {
        if (!text || !*text)
            return -1;
        return listener->metaObject()->indexOfSlot(QMetaObject::normalizedSignature(text + 1));
    };
    const ListenerSlots entry = { slotIndex(readySlot), slotIndex(notFoundSlot) };
    std::lock_guard<std::recursive_mutex> lock(mutex);
    listeners.insert(listener, entry);
}

void ThumbnailerThread::unregisterListener(QObject* listener)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    listeners.remove(listener);
}

bool ThumbnailerThread::isValidListener(QObject* listener)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (listeners.contains(listener))
        return true;
    qCCritical(lcAlbumArt) << Q_FUNC_INFO << "- Object not found from listeners!";
    return false;
}

bool ThumbnailerThread::addRequest(const AlbumArtCacheItem& item, QObject* listener)
{
    if (!isValidListener(listener))
        return true;
    const ThumbnailRequest request = { item, listener };
    bool mustStart = false;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        if (destroying)
            return true;
        const int waiting = requestStack.indexOf(request);
        if (waiting >= 0) {
            // Asked again: what was asked last is what is on screen now, so it goes next.
            if (waiting < requestStack.size() - 1)
                requestStack.append(requestStack.takeAt(waiting));
            return false;
        }
        requestStack.append(request);
        mustStart = !workerActive;
        workerActive = true;
    }
    if (mustStart) {
        // The thread may still be on its way out after finding the stack empty; it is started
        // again once it has ended, so this request is not left waiting for a later one.
        wait();
        start(QThread::InheritPriority);
    } else {
        emit restart();
    }
    return true;
}

void ThumbnailerThread::run()
{
    // The lowest ordinary priority, not the idle class: an idle-class thread gets no time at
    // all while other work keeps every core busy (a first indexing of a large library), and
    // every cover would wait until it ends.
    setPriority(QThread::LowestPriority);
    state = Take;
    const auto queued = Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection);
    connect(this, &QThread::finished, this, &ThumbnailerThread::finishedSlot, queued);
    connect(this, &ThumbnailerThread::destroy, this, &ThumbnailerThread::destroySlot, queued);
    connect(this, &ThumbnailerThread::restart, this, &ThumbnailerThread::doQuit, queued);
    if (!stepTimer) {
        stepTimer = new QTimer(this);
        stepTimer->setInterval(0);
        connect(stepTimer, &QTimer::timeout, this, &ThumbnailerThread::processRequestStack,
                Qt::UniqueConnection);
    }
    if (!idleTimer) {
        idleTimer = new QTimer(this);
        idleTimer->setInterval(IdleQuitMs);
        connect(idleTimer, &QTimer::timeout, this, &ThumbnailerThread::doQuit,
                Qt::UniqueConnection);
    }
    if (!generator)
        generator = new AlbumArtGenerator(this);

    int result = 0;
    for (;;) {
        if (stepTimer)
            stepTimer->start();
        result = exec();
        // A request may have come while the loop was ending; its wake-up went to a loop that
        // was already gone, so it is served here.
        std::lock_guard<std::recursive_mutex> lock(mutex);
        if (destroying || requestStack.isEmpty()) {
            workerActive = false;
            if (stepTimer)
                stepTimer->stop();
            if (idleTimer)
                idleTimer->stop();
            return;
        }
        state = Take;
    }
    Q_UNUSED(result)
}

void ThumbnailerThread::doQuit()
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    // The wake-up of a request that came while the worker was busy can be handled after the
    // worker has already taken that request off the stack: the stack is empty then, but the
    // request is still being read or drawn, and ending the loop would drop it unanswered.
    if (requestStack.isEmpty() && state == Take) {
        if (stepTimer)
            stepTimer->stop();
        if (idleTimer)
            idleTimer->stop();
        quit();
        return;
    }
    if (idleTimer)
        idleTimer->stop();
    if (stepTimer && !stepTimer->isActive()) {
        state = Take;
        stepTimer->start();
    }
}

void ThumbnailerThread::destroySlot()
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    requestStack.clear();
    delete stepTimer;
    stepTimer = nullptr;
    delete idleTimer;
    idleTimer = nullptr;
    delete generator;
    generator = nullptr;
    quit();
}

void ThumbnailerThread::finishedSlot()
{
}

void ThumbnailerThread::processRequestStack()
{
    switch (state) {
    case Take:
        takeRequest();
        break;
    case LocateAndRead:
        locateAndRead();
        break;
    case Decode:
        decode();
        break;
    case Scale:
        scale();
        break;
    case Generate:
        generate();
        break;
    case Save:
        save();
        break;
    case Deliver:
        deliver();
        break;
    default:
        state = Take;
        break;
    }
}

void ThumbnailerThread::giveUp()
{
    state = currentItem.generate ? Generate : Deliver;
}

void ThumbnailerThread::takeRequest()
{
    if (file.isOpen())
        file.close();
    file.setFileName(QString());
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (requestStack.isEmpty()) {
        if (idleTimer && !idleTimer->isActive())
            idleTimer->start();
        if (stepTimer)
            stepTimer->stop();
        return;
    }
    if (idleTimer)
        idleTimer->stop();
    const ThumbnailRequest request = requestStack.takeLast();
    currentItem = request.item;
    currentListener = request.listener;
    // Each request starts clean: a flag or picture left by the previous one would be delivered
    // as this one's.
    image = QImage();
    buffer.clear();
    imageIsGenerated = false;
    state = LocateAndRead;
}

void ThumbnailerThread::locateAndRead()
{
    if (file.isOpen()) {
        const int before = buffer.size();
        buffer.append(file.read(ReadStep));
        if (buffer.size() == file.size()) {
            file.close();
            file.setFileName(QString());
            state = Decode;
        } else if (buffer.size() <= before) {
            qCDebug(lcAlbumArt).noquote() << StepFunction << "- Failed to read more data!";
            buffer = QByteArray();
            giveUp();
        }
        return;
    }

    const QFileInfo thumbnail(currentItem.thumbnailPath());
    const QFileInfo mediaArt(currentItem.mediaArtPath());
    if (thumbnail.exists() && mediaArt.exists()) {
        if (thumbnail.lastModified() < mediaArt.lastModified())
            openMediaArt(mediaArt.filePath());
        else
            useThumbnail(thumbnail);
        return;
    }
    if (mediaArt.exists()) {
        openMediaArt(mediaArt.filePath());
        return;
    }
    // The picture is gone: so is its thumbnail.
    if (thumbnail.exists() && !QFile::remove(thumbnail.filePath()))
        qCDebug(lcAlbumArt).noquote() << StepFunction << "- Failed to remove old thumbnail!";
    giveUp();
}

void ThumbnailerThread::openMediaArt(const QString& path)
{
    // A file larger than any picture that is decoded is not read into memory either.
    if (SafeFile::openRegular(path, &file) && file.size() <= SafeImage::MaxFileSize)
        return;
    qCDebug(lcAlbumArt).noquote() << StepFunction << "- Failed to load original image, removing!";
    file.close();
    file.setFileName(QString());
    QFile::remove(path);
    giveUp();
}

void ThumbnailerThread::useThumbnail(const QFileInfo& thumbnail)
{
    image = SafeImage::read(thumbnail.filePath(), flavorSizes.value(currentItem.flavor));
    if (!image.isNull()) {
        imageIsGenerated = false;
        state = Deliver;
        return;
    }
    qCDebug(lcAlbumArt).noquote() << StepFunction << "- Failed to load thumbnail!";
    giveUp();
}

void ThumbnailerThread::decode()
{
    image = SafeImage::fromData(buffer, flavorSizes.value(currentItem.flavor));
    buffer = QByteArray();
    if (!image.isNull()) {
        state = Scale;
        return;
    }
    qCDebug(lcAlbumArt).noquote() << StepFunction << "- Failed to load image data!";
    giveUp();
    // A picture that does not decode is not tried again.
    QFile::remove(currentItem.mediaArtPath());
}

void ThumbnailerThread::scale()
{
    image = image.scaled(flavorSizes.value(currentItem.flavor), Qt::KeepAspectRatio,
                         Qt::SmoothTransformation);
    if (!image.isNull()) {
        state = Save;
        return;
    }
    qCDebug(lcAlbumArt).noquote() << StepFunction << "- Failed to scale image!";
    giveUp();
}

void ThumbnailerThread::generate()
{
    if (currentItem.generate && generator) {
        image = generator->generateAndSave(currentItem);
        if (image.isNull())
            qCDebug(lcAlbumArt).noquote() << StepFunction << "- Failed to generate image!";
        else
            imageIsGenerated = true;
    }
    state = Deliver;
}

void ThumbnailerThread::save()
{
    const QString path = currentItem.thumbnailPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (PixmapSaver::writeNow(image, path, "JPEG")) {
        imageIsGenerated = false;
        state = Deliver;
        return;
    }
    qCDebug(lcAlbumArt).noquote() << StepFunction << "- Failed to save thumbnail!";
    giveUp();
}

void ThumbnailerThread::deliver()
{
    {
        // The listener is checked and called under one lock: a listener unregisters under the
        // same lock before it is deleted, so it cannot go away in between, and a call already
        // posted to a deleted listener is dropped by Qt.
        std::lock_guard<std::recursive_mutex> lock(mutex);
        if (isValidListener(currentListener)) {
            const ListenerSlots entry = listeners.value(currentListener);
            const bool found = !imageIsGenerated && !image.isNull();
            const QMetaMethod method = currentListener->metaObject()->method(
                found ? entry.readySlot : entry.notFoundSlot);
            method.invoke(currentListener, Qt::QueuedConnection,
                          Q_ARG(AlbumArtCacheItem, currentItem), Q_ARG(QImage, image));
        }
    }
    image = QImage();
    state = Take;
}
