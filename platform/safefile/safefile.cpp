#include "safefile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryFile>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSafeFile, "parlovance.files")

namespace {

enum class Kind { Missing, Regular, Link, Folder, Special };

Kind kindAt(const QByteArray& native, struct stat* st)
{
    if (::lstat(native.constData(), st) != 0)
        return Kind::Missing;
    if (S_ISLNK(st->st_mode))
        return Kind::Link;
    if (S_ISREG(st->st_mode))
        return Kind::Regular;
    if (S_ISDIR(st->st_mode))
        return Kind::Folder;
    return Kind::Special;
}

// Reads a link's target only when it is a regular file: opened without blocking (a pipe opened
// for reading would wait for a writer) and checked again on the open descriptor, so a target
// swapped in between is not read either.
bool readRegularTarget(const QByteArray& native, QByteArray& data)
{
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= SafeFile::MaxCopiedSize;
    if (ok) {
        data.resize(int(st.st_size));
        qint64 done = 0;
        while (ok && done < st.st_size) {
            const ssize_t n = ::read(fd, data.data() + done, size_t(st.st_size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += n;
        }
        data.truncate(int(done));
    }
    ::close(fd);
    return ok;
}

} // namespace

bool SafeFile::isRegular(const QString& path)
{
    struct stat st;
    return kindAt(QFile::encodeName(path), &st) == Kind::Regular;
}

bool SafeFile::openRegular(const QString& path, QFile* file)
{
    const int fd = openRegularDescriptor(QFile::encodeName(path));
    if (fd < 0)
        return false;
    file->setFileName(path);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

QString SafeFile::kindOf(unsigned int mode)
{
    if (S_ISREG(mode))
        return QStringLiteral("a regular file");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

int SafeFile::openRegularDescriptor(const QByteArray& nativePath, QString* reason)
{
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    struct stat st;
    const bool known = ::fstat(fd, &st) == 0;
    if (!known || !S_ISREG(st.st_mode)) {
        if (reason)
            *reason = known ? kindOf(st.st_mode) : QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return -1;
    }
    // A regular file never makes a read wait; readers that are handed the descriptor (a
    // GStreamer source) expect a blocking one.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

bool SafeFile::readDescriptor(int fd, qint64 maxBytes, QByteArray* data)
{
    data->clear();
    const qint64 piece = 64 * 1024;
    while (data->size() < maxBytes) {
        const qint64 at = data->size();
        const qint64 wanted = std::min(piece, maxBytes - at);
        data->resize(int(at + wanted));
        const ssize_t got = ::pread(fd, data->data() + at, size_t(wanted), off_t(at));
        if (got < 0 && errno == EINTR) {
            data->resize(int(at));
            continue;
        }
        if (got <= 0) {
            data->resize(int(at));
            return got == 0;
        }
        data->resize(int(at + got));
    }
    return true;
}

bool SafeFile::claim(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    switch (kindAt(native, &st)) {
    case Kind::Missing:
    case Kind::Regular:
        return true;
    case Kind::Folder:
        qCWarning(lcSafeFile) << "a folder stands where the file" << path << "belongs";
        return false;
    case Kind::Special: {
        const QString aside = path + QStringLiteral(".unusable");
        qCWarning(lcSafeFile) << path << "is not a regular file; moved aside to" << aside;
        return ::rename(native.constData(), QFile::encodeName(aside).constData()) == 0;
    }
    case Kind::Link:
        break;
    }
    QByteArray content;
    if (readRegularTarget(native, content)) {
        qCWarning(lcSafeFile) << path << "is a link; it becomes a file of its own with a copy of"
                              << "what it pointed at, which is not written again";
        return write(path, content);
    }
    qCWarning(lcSafeFile) << path << "is a link to something that is not a regular file;"
                          << "the link is removed";
    return ::unlink(native.constData()) == 0;
}

bool SafeFile::write(const QString& path, const QByteArray& data, bool durable)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    // QTemporaryFile makes a new file with an unpredictable name (O_EXCL), so nothing planted
    // beside path can receive the data either.
    QTemporaryFile temporary(info.absolutePath() + QLatin1Char('/') + info.fileName()
                             + QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        return false;
    if (temporary.write(data) != data.size() || !temporary.flush()) {
        qCWarning(lcSafeFile) << "cannot write" << temporary.fileName();
        return false;
    }
    if (durable)
        ::fsync(temporary.handle());
    temporary.close();
    // rename() replaces a link at path with the new file; it never writes through it.
    if (::rename(QFile::encodeName(temporary.fileName()).constData(),
                 QFile::encodeName(path).constData())
        != 0) {
        qCWarning(lcSafeFile) << "cannot move" << temporary.fileName() << "to" << path;
        return false;
    }
    temporary.setAutoRemove(false);
    return true;
}

bool SafeFile::readRegular(const QByteArray& nativePath, qint64 maxBytes, QByteArray* data,
                           QString* reason)
{
    data->clear();
    const int fd = openRegularDescriptor(nativePath, reason);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && st.st_size > maxBytes) {
        ok = false;
        if (reason)
            *reason = QStringLiteral("larger than %1 bytes").arg(maxBytes);
    }
    if (ok && !readDescriptor(fd, maxBytes, data)) {
        ok = false;
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(errno));
    }
    ::close(fd);
    if (!ok)
        data->clear();
    return ok;
}

namespace {

// The path of the original's place in root's mirror, its folders made; empty when they cannot be.
QByteArray mirrorPlace(const QString& root, const QByteArray& originalPath)
{
    if (!originalPath.startsWith('/'))
        return QByteArray();
    const QByteArray copy = QFile::encodeName(QDir::cleanPath(root)) + originalPath;
    // The folders one by one, by their bytes: a name need not be UTF-8.
    for (int slash = copy.indexOf('/', 1); slash > 0; slash = copy.indexOf('/', slash + 1)) {
        const QByteArray folder = copy.left(slash);
        if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
            return QByteArray();
    }
    return copy;
}

} // namespace

QByteArray SafeFile::linkMirror(const QString& root, const QByteArray& originalPath, int fd)
{
    const QByteArray link = mirrorPlace(root, originalPath);
    if (link.isEmpty())
        return QByteArray();
    const QByteArray target = "/proc/self/fd/" + QByteArray::number(fd);
    return ::symlink(target.constData(), link.constData()) == 0 ? link : QByteArray();
}

QByteArray SafeFile::writeMirror(const QString& root, const QByteArray& originalPath,
                                 const QByteArray& data)
{
    const QByteArray copy = mirrorPlace(root, originalPath);
    if (copy.isEmpty())
        return QByteArray();
    const int fd = ::open(copy.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                          0600);
    if (fd < 0)
        return QByteArray();
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t wrote = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            break;
        done += wrote;
    }
    ::close(fd);
    return done == data.size() ? copy : QByteArray();
}

QByteArray SafeFile::originalUrl(const QString& root, const QByteArray& encodedUrl)
{
    const QByteArray prefix = QUrl::fromLocalFile(QDir::cleanPath(root)).toEncoded() + '/';
    if (!encodedUrl.startsWith(prefix))
        return QByteArray();
    return "file:///" + encodedUrl.mid(prefix.size());
}
