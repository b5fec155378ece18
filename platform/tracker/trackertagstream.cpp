#include "trackertagstream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

TrackerTagStream::TrackerTagStream(int fd, const QByteArray& name)
    : m_fd(fd)
    , m_name(name)
{
    struct stat status;
    m_fileLength = ::fstat(fd, &status) == 0 ? qint64(status.st_size) : 0;
}

void TrackerTagStream::replace(qint64 offset, qint64 length, const QByteArray& bytes)
{
    const qint64 from = m_stretches.isEmpty()
                            ? 0
                            : m_stretches.last().offset + m_stretches.last().length;
    offset = std::max(from, std::min(offset, m_fileLength));
    length = std::max<qint64>(0, std::min(length, m_fileLength - offset));
    m_stretches.append({ offset, length, bytes });
}

TagLib::FileName TrackerTagStream::name() const
{
    return m_name.constData();
}

qint64 TrackerTagStream::readAt(qint64 offset, char* into, qint64 count) const
{
    qint64 done = 0;
    // Where the stream stands against the file: `shift` is what the stretches before added.
    qint64 shift = 0;
    for (const Stretch& stretch : m_stretches) {
        if (done == count)
            return done;
        const qint64 at = offset + done;
        const qint64 start = stretch.offset + shift;
        if (at < start) {
            const qint64 got = readFile(at - shift, into + done,
                                        std::min(count - done, start - at));
            done += got;
            if (offset + done < start)
                return done;
        }
        const qint64 inside = offset + done - start;
        if (inside < stretch.bytes.size()) {
            const qint64 taken = std::min(count - done, qint64(stretch.bytes.size()) - inside);
            std::memcpy(into + done, stretch.bytes.constData() + inside, size_t(taken));
            done += taken;
        }
        shift += stretch.bytes.size() - stretch.length;
    }
    if (done < count)
        done += readFile(offset + done - shift, into + done, count - done);
    return done;
}

qint64 TrackerTagStream::readFile(qint64 offset, char* into, qint64 count) const
{
    qint64 done = 0;
    while (done < count) {
        const ssize_t got = ::pread(m_fd, into + done, size_t(count - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

TagLib::ByteVector TrackerTagStream::readBlock(unsigned long length)
{
    const qint64 left = std::max<qint64>(0, const_cast<TrackerTagStream*>(this)->length()
                                                - m_position);
    const qint64 wanted = std::min(qint64(length), left);
    if (wanted <= 0)
        return TagLib::ByteVector();
    TagLib::ByteVector block(static_cast<unsigned int>(wanted));
    const qint64 got = readAt(m_position, block.data(), wanted);
    block.resize(static_cast<unsigned int>(std::max<qint64>(0, got)));
    m_position += block.size();
    return block;
}

// Read only: TagLib writes nothing while it only reads, and the indexer never saves a tag.
void TrackerTagStream::writeBlock(const TagLib::ByteVector&)
{
}

void TrackerTagStream::insert(const TagLib::ByteVector&, unsigned long, unsigned long)
{
}

void TrackerTagStream::removeBlock(unsigned long, unsigned long)
{
}

bool TrackerTagStream::readOnly() const
{
    return true;
}

bool TrackerTagStream::isOpen() const
{
    return m_fd >= 0;
}

void TrackerTagStream::seek(long offset, Position p)
{
    qint64 base = 0;
    if (p == Current)
        base = m_position;
    else if (p == End)
        base = length();
    m_position = std::max<qint64>(0, base + offset);
}

void TrackerTagStream::clear()
{
}

long TrackerTagStream::tell() const
{
    return long(m_position);
}

long TrackerTagStream::length()
{
    qint64 length = m_fileLength;
    for (const Stretch& stretch : m_stretches)
        length += stretch.bytes.size() - stretch.length;
    return long(length);
}

void TrackerTagStream::truncate(long)
{
}
