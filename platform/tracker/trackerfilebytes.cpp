#include "trackerfilebytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What find() and the window of read() hold at a time.
const qint64 FindPieceBytes = 64 * 1024;
const qint64 WindowBytes = 64 * 1024;

} // namespace

TrackerFileBytes::TrackerFileBytes(int fd)
    : m_fd(fd)
{
    struct stat status;
    m_length = ::fstat(fd, &status) == 0 ? qint64(status.st_size) : 0;
}

QByteArray TrackerFileBytes::bytes(qint64 at, qint64 count) const
{
    count = at < 0 ? 0 : std::max<qint64>(0, std::min({ count, m_length - at, MostHeldBytes }));
    QByteArray data(int(count), '\0');
    qint64 done = 0;
    while (done < count) {
        const ssize_t got = ::pread(m_fd, data.data() + done, size_t(count - done),
                                    off_t(at + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    data.truncate(int(done));
    return data;
}

qint64 TrackerFileBytes::find(const QByteArray& pattern, qint64 from) const
{
    if (pattern.isEmpty() || from < 0)
        return -1;
    // Pieces overlap by the pattern's length less one, so a pattern across two is found.
    for (qint64 at = from; at < m_length; at += FindPieceBytes) {
        const QByteArray piece = bytes(at, FindPieceBytes + pattern.size() - 1);
        if (piece.size() < pattern.size())
            return -1;
        const int found = piece.indexOf(pattern);
        if (found >= 0)
            return at + found;
    }
    return -1;
}

bool TrackerFileBytes::read(qint64 at, char* into, qint64 count) const
{
    if (at < 0 || count < 0 || count > m_length - at)
        return false;
    if (count > WindowBytes) {
        const QByteArray data = bytes(at, count);
        if (data.size() != count)
            return false;
        std::memcpy(into, data.constData(), size_t(count));
        return true;
    }
    if (at < m_windowAt || at + count > m_windowAt + m_window.size()) {
        m_window = bytes(at, WindowBytes);
        m_windowAt = at;
        if (m_window.size() < count)
            return false;
    }
    std::memcpy(into, m_window.constData() + (at - m_windowAt), size_t(count));
    return true;
}
