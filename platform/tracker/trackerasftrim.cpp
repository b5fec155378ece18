#include "trackerasftrim.h"

#include "trackerfilebytes.h"

#include <QSet>

#include <algorithm>
#include <cstring>

namespace {

const QByteArray HeaderGuid("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
const QByteArray
    FilePropertiesGuid("\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
const QByteArray
    StreamPropertiesGuid("\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65", 16);
const QByteArray
    ContentDescriptionGuid("\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
const QByteArray ExtendedContentDescriptionGuid(
    "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);
const QByteArray
    HeaderExtensionGuid("\xB5\x03\xBF\x5F\x2E\xA9\xCF\x11\x8E\xE3\x00\xC0\x0C\x20\x53\x65", 16);
const QByteArray MetadataGuid("\xEA\xCB\xF8\xC5\xAF\x5B\x77\x48\x84\x67\xAA\x8C\x44\xFA\x4C\xCA",
                              16);
const QByteArray
    MetadataLibraryGuid("\x94\x1C\x23\x44\x98\x94\xD1\x49\xA1\x41\x1D\x13\x4E\x45\x70\x54", 16);

// The attributes the reader looks up through TagLib (its title, artist, copyright and comment
// stand in the content description).
const char* const WantedAttributes[] = { "WM/AlbumTitle",  "WM/Genre",     "WM/Year",
                                         "WM/TrackNumber", "WM/Track",     "WM/AlbumArtist",
                                         "WM/Composer",    "WM/Writer",    "WM/EncodedBy",
                                         "WM/Publisher",   "WM/PartOfSet", "WM/Picture" };
// The longest attribute name compared with those.
const int MostNameBytes = 64;

enum Type { Unicode = 0, Bytes = 1, Bool = 2, DWord = 3, QWord = 4, Word = 5, Guid = 6 };

quint64 little(const char* bytes, int count)
{
    quint64 value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | uchar(bytes[i]);
    return value;
}

QByteArray littleBytes(quint64 value, int count)
{
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xff);
    return bytes;
}

// Reads as TagLib's ASF reader does: a field past the end of the file reads as zero, and
// reading goes on.
class Reader
{
public:
    Reader(const TrackerFileBytes& file, qint64 at)
        : m_file(file)
        , m_at(at)
    {
    }

    quint64 number(int count)
    {
        char bytes[8] = {};
        const bool read = m_file.read(m_at, bytes, count);
        m_at = read ? m_at + count : m_file.length();
        return read ? little(bytes, count) : 0;
    }
    void skip(qint64 count) { m_at = std::min(m_at + count, std::max(m_at, m_file.length())); }
    qint64 at() const { return m_at; }

private:
    const TrackerFileBytes& m_file;
    qint64 m_at;
};

struct Walk
{
    explicit Walk(const TrackerFileBytes& bytes)
        : file(bytes)
    {
    }
    const TrackerFileBytes& file;
    bool make = false;
    qint64 attributes = 0;
    qint64 objects = 0;
    bool bounded = false;
    // An object did not end where its size says.
    bool misplaced = false;
    QSet<QByteArray> names;
};

// One descriptor (kind 0: extended content description; 1 metadata; 2 metadata library), as
// TagLib reads it; appends it to `kept` as it stands (or with its text cut) when it is kept.
void walkAttribute(Walk& walk, Reader& reader, int kind, QByteArray* kept, quint16* count)
{
    const qint64 start = reader.at();
    quint64 nameLength, type, size;
    qint64 nameAt;
    if (kind == 0) {
        nameLength = reader.number(2);
        nameAt = reader.at();
        reader.skip(qint64(nameLength));
        type = reader.number(2);
        size = reader.number(2);
    } else {
        reader.number(2);
        reader.number(2);
        nameLength = reader.number(2);
        type = reader.number(2);
        size = reader.number(4);
        nameAt = reader.at();
        reader.skip(qint64(nameLength));
    }
    const qint64 valueAt = reader.at();
    qint64 valueBytes = 0;
    switch (type) {
    case Word:
        valueBytes = 2;
        break;
    case Bool:
        valueBytes = kind == 0 ? 4 : 2;
        break;
    case DWord:
        valueBytes = 4;
        break;
    case QWord:
        valueBytes = 8;
        break;
    case Unicode:
    case Bytes:
    case Guid:
        valueBytes = qint64(size);
        break;
    default:
        break;
    }
    reader.skip(valueBytes);
    ++walk.attributes;
    // The name, in UTF-16: the names looked for are ASCII. Read in place, as a million
    // descriptors are walked twice.
    char name[MostNameBytes];
    int nameBytes = 0;
    char rawBytes[2 * MostNameBytes];
    QByteArray raw;
    if (nameLength <= quint64(2 * MostNameBytes)) {
        raw = walk.file.read(nameAt, rawBytes, qint64(nameLength))
                  ? QByteArray::fromRawData(rawBytes, int(nameLength))
                  : walk.file.bytes(nameAt, qint64(nameLength));
    }
    for (int i = 0; i + 1 < raw.size() && raw.at(i + 1) == 0 && raw.at(i) != 0; i += 2)
        name[nameBytes++] = raw.at(i);
    const bool looked = std::any_of(std::begin(WantedAttributes), std::end(WantedAttributes),
                                    [&](const char* wanted) {
                                        return int(std::strlen(wanted)) == nameBytes
                                               && std::memcmp(name, wanted, size_t(nameBytes)) == 0;
                                    });
    const bool cut = type == Unicode && valueBytes > TrackerTagTrim::MostTextBytes;
    walk.bounded = walk.bounded || cut || walk.attributes > TrackerTagTrim::MostFields;
    bool keep = walk.attributes <= TrackerTagTrim::MostFields;
    if (looked) {
        const QByteArray key(name, nameBytes);
        keep = keep || !walk.names.contains(key);
        walk.names.insert(key);
    }
    if (!walk.make || !keep)
        return;
    ++*count;
    if (!cut) {
        *kept += walk.file.bytes(start, reader.at() - start);
        return;
    }
    // A text cut where a UTF-16 character ends, and ended by a zero as taggers write it.
    qint64 length = TrackerTagTrim::MostTextBytes - 2;
    const QByteArray last = walk.file.bytes(valueAt + length - 2, 2);
    if (last.size() == 2 && (uchar(last.at(1)) & 0xfc) == 0xd8)
        length -= 2;
    const QByteArray text = walk.file.bytes(valueAt, length) + QByteArray(2, '\0');
    if (kind == 0) {
        *kept += walk.file.bytes(start, valueAt - start - 2) + littleBytes(quint64(text.size()), 2);
    } else {
        *kept += walk.file.bytes(start, 8) + littleBytes(quint64(text.size()), 4)
                 + walk.file.bytes(nameAt, valueAt - nameAt);
    }
    *kept += text;
}

// An object of descriptors: its count, then each. Returns the object made anew.
QByteArray walkDescriptors(Walk& walk, Reader& reader, const QByteArray& guid, int kind)
{
    quint64 count = reader.number(2);
    QByteArray kept;
    quint16 keptCount = 0;
    while (count--)
        walkAttribute(walk, reader, kind, &kept, &keptCount);
    const QByteArray body = littleBytes(keptCount, 2) + kept;
    return guid + littleBytes(quint64(body.size() + 24), 8) + body;
}

// An object at the reader: walks it as TagLib does; returns what stands for it when it is kept
// (the bytes as they are, or made anew), and says whether it is one TagLib needs.
QByteArray walkObject(Walk& walk, Reader& reader, bool inExtension, bool* needed,
                      QSet<QByteArray>* seen);

QByteArray walkExtension(Walk& walk, Reader& reader, const QByteArray& guid, qint64 start,
                         qint64 size)
{
    reader.skip(18);
    const qint64 dataSize = qint64(reader.number(4));
    QByteArray made;
    QSet<QByteArray> seen;
    for (qint64 dataPos = 0; dataPos < dataSize;) {
        const qint64 at = reader.at();
        char head[24];
        if (!walk.file.read(at, head, 16))
            break;
        const qint64 objectSize = qint64(walk.file.read(at + 16, head + 16, 8)
                                             ? little(head + 16, 8)
                                             : 0);
        if (objectSize < 0 || objectSize > dataSize - dataPos)
            break;
        bool needed = false;
        const QByteArray object = walkObject(walk, reader, true, &needed, &seen);
        if (reader.at() != at + objectSize)
            walk.misplaced = true;
        if (walk.objects <= TrackerTagTrim::MostFields || needed)
            made += object;
        dataPos += objectSize;
    }
    if (reader.at() != start + size)
        walk.misplaced = true;
    const QByteArray body = walk.file.bytes(start + 24, 18) + littleBytes(quint64(made.size()), 4)
                            + made;
    return guid + littleBytes(quint64(body.size() + 24), 8) + body;
}

QByteArray walkObject(Walk& walk, Reader& reader, bool inExtension, bool* needed,
                      QSet<QByteArray>* seen)
{
    const qint64 start = reader.at();
    // A header of a million objects is walked twice: each is looked at in place, with no copy
    // of its bytes unless it is kept.
    char raw[16];
    const QByteArray guid = walk.file.read(start, raw, 16) ? QByteArray::fromRawData(raw, 16)
                                                           : walk.file.bytes(start, 16);
    reader.skip(16);
    const qint64 size = qint64(reader.number(8));
    ++walk.objects;
    walk.bounded = walk.bounded || walk.objects > TrackerTagTrim::MostFields;
    // TagLib reads the extended content description in the header, the metadata objects in its
    // extension; any other object as bytes.
    const bool descriptors = inExtension ? guid == MetadataGuid || guid == MetadataLibraryGuid
                                         : guid == ExtendedContentDescriptionGuid;
    const bool first = !seen->contains(guid);
    *needed = descriptors
              || (first
                  && (guid == FilePropertiesGuid || guid == StreamPropertiesGuid
                      || guid == ContentDescriptionGuid || guid == HeaderExtensionGuid));
    if (first)
        seen->insert(QByteArray(guid.constData(), guid.size()));
    if (descriptors) {
        const int kind = guid == ExtendedContentDescriptionGuid ? 0 : guid == MetadataGuid ? 1 : 2;
        return walkDescriptors(walk, reader, guid, kind);
    }
    if (!inExtension && guid == HeaderExtensionGuid)
        return walkExtension(walk, reader, guid, start, size);
    if (!inExtension && guid == ContentDescriptionGuid) {
        qint64 lengths = 0;
        for (int i = 0; i < 5; ++i)
            lengths += qint64(reader.number(2));
        reader.skip(lengths);
    } else if (size > 24 && size <= walk.file.length()) {
        reader.skip(size - 24);
    }
    // The callers keep the first objects and those TagLib needs.
    const bool kept = walk.objects <= TrackerTagTrim::MostFields || *needed;
    return walk.make && kept ? walk.file.bytes(start, reader.at() - start) : QByteArray();
}

} // namespace

TrackerTagTrim::Result TrackerAsfTrim::walk(int fd)
{
    TrackerTagTrim::Result result;
    const TrackerFileBytes file(fd);
    if (file.bytes(0, 16) != HeaderGuid)
        return result;
    const QByteArray counts = file.bytes(16, 14);
    if (counts.size() != 14)
        return result;
    // TagLib reads the count as a signed number: one past 2^31 reads no object.
    const qint32 declared = qint32(little(counts.constData() + 8, 4));
    auto objects = [&](Walk& walk, QByteArray* made, quint32* count) {
        Reader reader(file, 30);
        QSet<QByteArray> seen;
        for (qint32 i = 0; i < declared; ++i) {
            const qint64 at = reader.at();
            char head[24];
            if (!file.read(at, head, 24))
                break;
            const qint64 size = qint64(little(head + 16, 8));
            bool needed = false;
            const QByteArray object = walkObject(walk, reader, false, &needed, &seen);
            if (reader.at() != at + size)
                walk.misplaced = true;
            if (walk.make && (walk.objects <= TrackerTagTrim::MostFields || needed)) {
                *made += object;
                ++*count;
            }
            if (walk.misplaced && !walk.make)
                break;
        }
        return reader.at();
    };
    Walk looked(file);
    objects(looked, nullptr, nullptr);
    if (!looked.bounded)
        return result;
    const QString what = QStringLiteral("an ASF header of %1 objects and %2 descriptors")
                             .arg(looked.objects)
                             .arg(looked.attributes);
    result.bounded.append(what);
    if (looked.misplaced) {
        result.unbounded = true;
        return result;
    }
    Walk making(file);
    making.make = true;
    QByteArray made;
    quint32 count = 0;
    const qint64 end = objects(making, &made, &count);
    // The header's own size and count, then its objects.
    const QByteArray header = HeaderGuid + littleBytes(quint64(made.size() + 30), 8)
                              + littleBytes(count, 4) + counts.mid(12, 2);
    result.stretches.append({ 0, end, header + made });
    return result;
}
