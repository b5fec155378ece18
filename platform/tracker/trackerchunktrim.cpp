#include "trackerchunktrim.h"

#include "id3v2trim.h"
#include "trackerfilebytes.h"

#include <QSet>

#include <algorithm>
#include <cstring>

namespace {

// The INFO fields the reader looks up through TagLib's property names.
const char* const WantedInfoFields[] = { "INAM", "IART", "IPRD", "ICMT", "IGNR", "ICRD",
                                         "IPRT", "ITRK", "IMUS", "IWRI", "ICOP", "ISFT",
                                         "IENC", "IPUB", "IALB", "IBSU" };

bool isChunkName(const char* name)
{
    for (int i = 0; i < 4; ++i) {
        const uchar c = uchar(name[i]);
        if (c < 32 || c > 127)
            return false;
    }
    return true;
}

quint32 sizeOf(const char* bytes, bool bigEndian)
{
    const auto* b = reinterpret_cast<const uchar*>(bytes);
    return bigEndian ? quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3]
                     : quint32(b[3]) << 24 | quint32(b[2]) << 16 | quint32(b[1]) << 8 | b[0];
}

QByteArray sizeBytes(quint32 size, bool bigEndian)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[bigEndian ? 3 - i : i] = char((size >> (8 * i)) & 0xff);
    return bytes;
}

// A chunk of the given name and data, with the padding byte an odd size takes.
QByteArray chunk(const char* name, const QByteArray& data, bool bigEndian)
{
    QByteArray bytes = QByteArray(name, 4) + sizeBytes(quint32(data.size()), bigEndian) + data;
    if (data.size() & 1)
        bytes += '\0';
    return bytes;
}

// UTF-8 or Latin-1 text cut at `most` bytes, where a UTF-8 character ends.
QByteArray cutText(const QByteArray& text, qint64 most)
{
    int end = int(std::min<qint64>(most, text.size()));
    while (end > 0 && end < text.size() && (uchar(text.at(end)) & 0xc0) == 0x80)
        --end;
    return text.left(end);
}

// The INFO fields of a LIST chunk's data (from `at`, `size` bytes, "INFO" first), as TagLib's
// Info tag reads them: fields of 8 bytes of header and their text, each padded to an even size,
// until one says it is longer than what is left; a field of a name that is not printable ASCII
// is passed over. Made anew when there are more than MostFields of them or a longer text.
bool walkInfo(const TrackerFileBytes& file, qint64 at, qint64 size, QByteArray* made,
              qint64* fields)
{
    bool bounded = false;
    QSet<QByteArray> names;
    QByteArray kept = "INFO";
    for (qint64 p = 4; p < size;) {
        char header[8];
        if (size - p < 8 || !file.read(at + p, header, 8))
            break;
        const quint32 length = sizeOf(header + 4, false);
        if (length > size - p - 8)
            break;
        if (isChunkName(header)) {
            ++*fields;
            const QByteArray name(header, 4);
            const bool looked = std::any_of(std::begin(WantedInfoFields),
                                            std::end(WantedInfoFields), [&](const char* wanted) {
                                                return std::memcmp(header, wanted, 4) == 0;
                                            });
            const bool cut = length > TrackerTagTrim::MostTextBytes;
            bounded = bounded || cut || *fields > TrackerTagTrim::MostFields;
            const bool keep = *fields <= TrackerTagTrim::MostFields
                              || (looked && !names.contains(name));
            if (looked)
                names.insert(name);
            if (made && keep) {
                QByteArray text = file.bytes(at + p + 8,
                                             std::min<qint64>(length,
                                                              TrackerTagTrim::MostTextBytes));
                if (cut)
                    text = cutText(text, TrackerTagTrim::MostTextBytes);
                kept += chunk(header, text, false);
            }
        }
        p += ((qint64(length) + 1) & ~qint64(1)) + 8;
    }
    if (made)
        *made = kept;
    return bounded;
}

} // namespace

TrackerTagTrim::Result TrackerChunkTrim::walk(int fd, Form form)
{
    TrackerTagTrim::Result result;
    const TrackerFileBytes file(fd);
    const bool bigEndian = form == Aiff;
    qint64 chunks = 0;
    bool id3Seen = false, infoSeen = false;
    QSet<QByteArray> readNames;
    // TagLib looks for a padding byte where a chunk ends at an odd offset: a stretch that
    // changes the length by an odd count would change where the chunks after it are read.
    auto replace = [&](qint64 at, qint64 length, const QByteArray& bytes) {
        if ((length - bytes.size()) & 1)
            result.unbounded = true;
        result.stretches.append({ at, length, bytes });
    };
    // The run of chunks left out that the next one kept ends.
    qint64 leftOutFrom = -1;
    auto endLeftOut = [&](qint64 at) {
        if (leftOutFrom >= 0)
            replace(leftOutFrom, at - leftOutFrom, QByteArray());
        leftOutFrom = -1;
    };
    qint64 offset = 12;
    while (offset + 8 <= file.length()) {
        char header[8];
        if (!file.read(offset, header, 8) || !isChunkName(header))
            break;
        const quint32 size = sizeOf(header + 4, bigEndian);
        if (offset + 8 + qint64(size) > file.length())
            break;
        const qint64 start = offset;
        const qint64 dataAt = offset + 8;
        offset = dataAt + size;
        // A padding byte counts when it is zero or a chunk's name follows it.
        if (offset & 1) {
            char pad[5];
            const qint64 got = file.read(offset, pad, 5) ? 5 : file.read(offset, pad, 1) ? 1 : 0;
            if (got > 0 && (pad[0] == 0 || (got == 5 && isChunkName(pad + 1))))
                ++offset;
        }
        ++chunks;
        const QByteArray name(header, 4);
        const bool id3 = !id3Seen && (name == "ID3 " || name == "id3 ");
        const bool info = form == Wav && !infoSeen && name == "LIST"
                          && file.bytes(dataAt, 4) == "INFO";
        // The chunks the audio's properties are read from.
        const bool read = !readNames.contains(name)
                          && (form == Wav ? name == "fmt " || name == "data" || name == "fact"
                                          : name == "COMM" || name == "SSND");
        if (read)
            readNames.insert(name);
        if (chunks > TrackerTagTrim::MostFields && !id3 && !info && !read) {
            if (leftOutFrom < 0)
                leftOutFrom = start;
            continue;
        }
        endLeftOut(start);
        if (id3) {
            id3Seen = true;
            const Id3v2Trim::Source whole = Id3v2Trim::fromDescriptor(fd);
            const Id3v2Trim::Result tag = Id3v2Trim::walk(
                [whole, dataAt](qint64 at, char* into, qint64 bytes) {
                    return whole(dataAt + at, into, bytes);
                });
            if (tag.trimmed) {
                replace(start, offset - start, chunk(header, tag.tag, bigEndian));
                result.bounded.append(
                    QStringLiteral("an ID3v2 tag of %1 frames in its chunk").arg(tag.frames));
            }
        } else if (info) {
            infoSeen = true;
            qint64 fields = 0;
            if (walkInfo(file, dataAt, size, nullptr, &fields)) {
                QByteArray made;
                fields = 0;
                walkInfo(file, dataAt, size, &made, &fields);
                replace(start, offset - start, chunk(header, made, bigEndian));
                result.bounded.append(QStringLiteral("INFO of %1 fields").arg(fields));
            }
        }
    }
    endLeftOut(offset);
    if (chunks > TrackerTagTrim::MostFields)
        result.bounded.append(QStringLiteral("%1 chunks").arg(chunks));
    if (result.unbounded)
        result.stretches.clear();
    return result;
}
