#include "tagbytes.h"

#include <cerrno>

#include <unistd.h>

namespace {

struct OggCrcTable
{
    quint32 entries[256];

    OggCrcTable()
    {
        for (quint32 i = 0; i < 256; ++i) {
            quint32 r = i << 24;
            for (int k = 0; k < 8; ++k)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04c11db7u : r << 1;
            entries[i] = r;
        }
    }
};

} // namespace

bool TagBytes::readAt(int fd, qint64 at, char* into, qint64 count)
{
    while (count > 0) {
        const ssize_t n = ::pread(fd, into, size_t(count), off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        into += n;
        at += n;
        count -= n;
    }
    return true;
}

QByteArray TagBytes::cutUtf8(const QByteArray& text, qint64 most)
{
    if (text.size() <= most)
        return text;
    int end = int(most);
    int start = end;
    while (start > 0 && (uchar(text.at(start)) & 0xc0) == 0x80)
        --start;
    // The character that begins at `start` ends at `end` or before it, or is left out.
    const uchar lead = uchar(text.at(start));
    const int length = lead < 0x80 ? 1 : lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;
    if (start + length > end)
        end = start;
    return text.left(end);
}

quint32 TagBytes::oggCrc(const char* bytes, qint64 count)
{
    static const OggCrcTable table;
    quint32 crc = 0;
    for (qint64 i = 0; i < count; ++i)
        crc = (crc << 8) ^ table.entries[((crc >> 24) ^ uchar(bytes[i])) & 0xff];
    return crc;
}
