#include "trackerregularfile.h"

#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
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
            *reason = SafeFile::kindOf(status.st_mode);
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
        *reason = SafeFile::kindOf(status.st_mode);
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
    // Plain calls on one descriptor: a cover is a few kilobytes, and the index writes one for
    // each album, so the temporary file's name, permissions and flushing are done here once
    // each instead of through a file object that makes an unnamed file and links it later.
    const QByteArray target = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    const int slash = target.lastIndexOf('/');
    QByteArray temporary = target.left(slash + 1) + '.' + target.mid(slash + 1) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        if (reason)
            *reason = errorText(errno);
        return false;
    }
    int error = 0;
    for (qint64 done = 0; done < data.size() && !error;) {
        const ssize_t wrote = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (wrote > 0)
            done += wrote;
        else if (wrote == 0)
            error = EIO;
        else if (errno != EINTR)
            error = errno;
    }
    // Made by this process with an exclusive create: it is readable as the cache always was.
    if (!error && (::fchmod(fd, S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH) != 0 || ::fsync(fd) != 0))
        error = errno;
    if (::close(fd) != 0 && !error && errno != EINTR)
        error = errno;
    if (!error && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.constData());
        if (reason)
            *reason = errorText(error);
        return false;
    }
    return true;
}
