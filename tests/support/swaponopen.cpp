#include "swaponopen.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The process a thread belongs to; 0 when it cannot be told (the thread has ended).
pid_t processOf(pid_t thread)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(thread));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("Tgid:"))
            return pid_t(line.mid(5).trimmed().toInt());
    }
    return 0;
}

} // namespace

SwapOnOpen::SwapOnOpen(const QString& file, const QString& pipe, pid_t pid)
    : m_file(QFile::encodeName(file))
    , m_pipe(QFile::encodeName(pipe))
    , m_pid(pid)
{
    struct stat fileStatus, pipeStatus;
    if (::stat(m_file.constData(), &fileStatus) != 0 || !S_ISREG(fileStatus.st_mode)
        || ::stat(m_pipe.constData(), &pipeStatus) != 0 || !S_ISFIFO(pipeStatus.st_mode)
        || pipeStatus.st_dev != fileStatus.st_dev)
        return;
    m_fileDevice = fileStatus.st_dev;
    m_fileInode = fileStatus.st_ino;
    const int group = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC | FAN_REPORT_TID,
                                      O_RDONLY | O_NONBLOCK | O_LARGEFILE | O_CLOEXEC);
    if (group < 0) {
        std::fprintf(stderr, "fanotify_init: %s\n", std::strerror(errno));
        return;
    }
    if (::fanotify_mark(group, FAN_MARK_ADD, FAN_OPEN_PERM, AT_FDCWD, m_file.constData()) != 0
        || ::pipe2(m_stop, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "fanotify_mark: %s\n", std::strerror(errno));
        ::close(group);
        return;
    }
    m_group = group;
    m_thread = std::thread([this]() { watch(); });
}

SwapOnOpen::~SwapOnOpen()
{
    if (m_group < 0)
        return;
    const char stop = 1;
    while (::write(m_stop[1], &stop, 1) < 0 && errno == EINTR) { }
    m_thread.join();
    ::close(m_group);
    ::close(m_stop[0]);
    ::close(m_stop[1]);
}

void SwapOnOpen::releaseReaders() const
{
    const int fd = ::open(m_file.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
}

void SwapOnOpen::watch()
{
    alignas(fanotify_event_metadata) char buffer[4096];
    for (;;) {
        pollfd fds[2] = { { m_group, POLLIN, 0 }, { m_stop[0], POLLIN, 0 } };
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        const ssize_t got = ::read(m_group, buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            return;
        }
        auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
        for (ssize_t left = got; FAN_EVENT_OK(event, left); event = FAN_EVENT_NEXT(event, left)) {
            if (event->fd < 0)
                continue;
            struct stat status;
            const bool known = ::fstat(event->fd, &status) == 0 && status.st_dev == m_fileDevice;
            // The mark is on the file itself, whatever name it has by now.
            if (known && status.st_ino == m_fileInode && event->pid != m_pid && !m_swapped.load()
                && processOf(event->pid) == m_pid) {
                const QByteArray aside = m_file + ".aside";
                m_swapped = ::rename(m_file.constData(), aside.constData()) == 0
                            && ::rename(m_pipe.constData(), m_file.constData()) == 0;
            }
            const fanotify_response answer = { event->fd, FAN_ALLOW };
            while (::write(m_group, &answer, sizeof answer) < 0 && errno == EINTR) { }
            ::close(event->fd);
        }
    }
}
