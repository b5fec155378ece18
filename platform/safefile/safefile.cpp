#include "safefile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSafeFile, "parlovance.files")

namespace {

enum class Kind { Missing, Regular, Link, Folder, Special };

Kind kindOf(const QByteArray& native, struct stat* st)
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
    return kindOf(QFile::encodeName(path), &st) == Kind::Regular;
}

bool SafeFile::openRegular(const QString& path, QFile* file)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st;
    file->setFileName(path);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)
        || !file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

bool SafeFile::claim(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    switch (kindOf(native, &st)) {
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
