#include "trackerregularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString TrackerRegularFile::kindOf(unsigned int mode)
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

bool TrackerRegularFile::isRegular(const QByteArray& path, QString* reason)
{
    struct stat status;
    if (::stat(path.constData(), &status) != 0) {
        if (reason)
            *reason = errorText(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        if (reason)
            *reason = kindOf(status.st_mode);
        return false;
    }
    return true;
}

bool TrackerRegularFile::read(const QByteArray& path, qint64 maxBytes, QByteArray* data,
                              QString* reason)
{
    data->clear();
    // Looked at before it is opened: opening a device can have effects of its own.
    if (!isRegular(path, reason))
        return false;
    // Non-blocking, and checked again once open, in case the name was replaced in between.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (reason)
            *reason = errorText(errno);
        return false;
    }
    struct stat status;
    bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (!ok && reason)
        *reason = TrackerRegularFile::kindOf(status.st_mode);
    if (ok && status.st_size > maxBytes) {
        ok = false;
        if (reason)
            *reason = QStringLiteral("larger than %1 bytes").arg(maxBytes);
    }
    if (ok) {
        data->resize(int(status.st_size));
        qint64 done = 0;
        while (done < status.st_size) {
            const ssize_t got = ::read(fd, data->data() + done, size_t(status.st_size - done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += got;
        }
        // A file that shrank while it was read is taken as far as it went.
        data->resize(int(done));
    }
    ::close(fd);
    if (!ok)
        data->clear();
    return ok;
}

bool TrackerRegularFile::replace(const QString& path, const QByteArray& data, QString* reason)
{
    const QFileInfo target(path);
    QTemporaryFile file(target.absolutePath() + QLatin1Char('/') + QLatin1Char('.')
                        + target.fileName() + QStringLiteral(".XXXXXX"));
    if (!file.open()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    if (file.write(data) != data.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    // Made by this process with an exclusive create: it is readable as the cache always was.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);
    if (::rename(QFile::encodeName(file.fileName()).constData(),
                 QFile::encodeName(target.absoluteFilePath()).constData())
        != 0) {
        if (reason)
            *reason = errorText(errno);
        return false;
    }
    file.setAutoRemove(false);
    return true;
}
