#include "pixmapsaver.h"

#include "common/logging.h"
#include "common/threadhandoff.h"
#include "safefile.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThreadPool>

#include <condition_variable>
#include <mutex>

namespace {

// The files being written and, per file, the newest image already written. Files are told apart
// by their whole path (a hash of it could make two files one). A file's entry lives only while
// savers of it exist, so nothing grows with the number of files written.
struct PathState
{
    int savers = 0; // savers created and not yet destroyed, plus writeNow() calls
    bool writing = false;
    quint64 writtenTicket = 0; // the newest image on disk
};

struct Registry
{
    // Standard mutexes, not Qt's: the thread sanitizer sees these.
    std::mutex mutex;
    std::condition_variable writeEnded;
    QHash<QString, PathState> paths;
    quint64 nextTicket = 0;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

// Takes a place in the order of images for the path: a later ticket is a newer image.
quint64 enterPath(const QString& path)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    ++r.paths[path].savers;
    return ++r.nextTicket;
}

void leavePath(const QString& path)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.paths.find(path);
    if (it != r.paths.end() && --it->savers <= 0)
        r.paths.erase(it);
}

// The cache folder is writable by anything the user runs: a link planted at a picture's name
// must be replaced, never written through (QSaveFile would write the link's target). SafeFile
// writes a new file beside the name and renames it over whatever stands there; a failed write
// leaves the old file as it was.
bool writeAtomically(const QImage& image, const QString& path, const char* format)
{
    // The folders belong to the caches that made them; a folder gone is not made again here.
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return false;
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, -1))
        return false;
    buffer.close();
    return SafeFile::write(path, data, false);
}

// Waits until no one writes the path, then writes the image unless a newer one is already on
// disk. True when the file holds this image or a newer one.
bool writeInTurn(const QImage& image, const QString& path, const char* format, quint64 ticket)
{
    Registry& r = registry();
    std::unique_lock<std::mutex> lock(r.mutex);
    r.writeEnded.wait(lock, [&] { return !r.paths[path].writing; });
    if (r.paths[path].writtenTicket > ticket)
        return true;
    r.paths[path].writing = true;
    lock.unlock();

    const bool saved = writeAtomically(image, path, format);

    lock.lock();
    PathState& state = r.paths[path];
    state.writing = false;
    if (saved)
        state.writtenTicket = ticket;
    lock.unlock();
    r.writeEnded.notify_all();
    return saved;
}

} // namespace

PixmapSaver::PixmapSaver(QImage image, QString path)
    : image(std::move(image))
    , path(std::move(path))
    , ticket(enterPath(this->path))
{
}

PixmapSaver::~PixmapSaver()
{
    leavePath(path);
}

void PixmapSaver::startInBackground(PixmapSaver* saver)
{
    handOver(saver);
    QThreadPool::globalInstance()->start(saver, 0);
}

void PixmapSaver::run()
{
    takeOver(this);
    if (image.isNull())
        return;
    if (!writeInTurn(image, path, "PNG", ticket))
        qCDebug(lcAlbumArt) << Q_FUNC_INFO << "- cannot write" << path;
    emit pixmapSaved();
}

int PixmapSaver::saveStatus(const QString& path)
{
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        auto it = r.paths.constFind(path);
        if (it != r.paths.constEnd() && it->writing)
            return 2;
    }
    return QFile::exists(path) ? 0 : 1;
}

bool PixmapSaver::writeNow(const QImage& image, const QString& path, const char* format)
{
    if (image.isNull())
        return false;
    const quint64 ticket = enterPath(path);
    const bool saved = writeInTurn(image, path, format, ticket);
    leavePath(path);
    return saved;
}
