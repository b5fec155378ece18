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

void TrackerTagStream::replaceHead(qint64 headBytes, const QByteArray& head)
{
    m_replaced = std::min(headBytes, m_fileLength);
    m_head = head;
}

TagLib::FileName TrackerTagStream::name() const
{
    return m_name.constData();
}

qint64 TrackerTagStream::readAt(qint64 offset, char* into, qint64 count) const
{
    qint64 done = 0;
    if (offset < m_head.size()) {
        done = std::min(count, qint64(m_head.size()) - offset);
        std::memcpy(into, m_head.constData() + offset, size_t(done));
    }
    while (done < count) {
        const qint64 fileOffset = offset + done - m_head.size() + m_replaced;
        const ssize_t got = ::pread(m_fd, into + done, size_t(count - done), off_t(fileOffset));
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
    return long(m_fileLength - m_replaced + m_head.size());
}

void TrackerTagStream::truncate(long)
{
}
