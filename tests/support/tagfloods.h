#ifndef TAGFLOODS_H
#define TAGFLOODS_H

// Tags other than ID3v2 written byte by byte (for those see id3tagbytes.h), in the shapes a
// hostile or broken file gives them: a Vorbis comment for an Ogg Vorbis or FLAC file, FLAC
// metadata blocks, an APEv2 tag. Header only.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QVector>

inline QByteArray littleEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xff);
    return bytes;
}

// The appends below build floods of millions of fields in place, with no allocation for each:
// a sanitizer build takes a stack trace for every allocation, and would take minutes.
inline void appendLittleEndian32(QByteArray& bytes, quint32 value)
{
    const char four[4] = { char(value & 0xff), char((value >> 8) & 0xff),
                           char((value >> 16) & 0xff), char((value >> 24) & 0xff) };
    bytes.append(four, 4);
}

// A Vorbis comment's field ("KEY=value"), its length before it.
inline void appendVorbisField(QByteArray& fields, const char* field, int size)
{
    appendLittleEndian32(fields, quint32(size));
    fields.append(field, size);
}

// A Vorbis comment of `count` fields as appendVorbisField made them.
inline QByteArray vorbisCommentOf(const QByteArray& fields, quint32 count)
{
    QByteArray bytes = littleEndian32(4) + "test";
    appendLittleEndian32(bytes, count);
    return bytes + fields;
}

// A Vorbis comment of the given fields ("KEY=value"), its count as given unless `declared` is.
inline QByteArray vorbisComment(const QList<QByteArray>& fields, qint64 declared = -1)
{
    QByteArray bytes;
    for (const QByteArray& field : fields)
        appendVorbisField(bytes, field.constData(), field.size());
    return vorbisCommentOf(bytes, quint32(declared < 0 ? fields.size() : declared));
}

// A field name of its own for each number: KA, KB, ... KZ, KAA, ...; written to `into` (of 16
// bytes at least), its length returned.
inline int fieldNameInto(char* into, int i)
{
    char backwards[15];
    int length = 0;
    for (++i; i > 0; i = (i - 1) / 26)
        backwards[length++] = char('A' + (i - 1) % 26);
    into[0] = 'K';
    for (int k = 0; k < length; ++k)
        into[1 + k] = backwards[length - 1 - k];
    return length + 1;
}

inline QByteArray fieldName(int i)
{
    char name[16];
    return QByteArray(name, fieldNameInto(name, i));
}

// Ogg pages: 27 bytes of header, the segment table, the body. Checksum of polynomial 0x04c11db7.
inline quint32 oggChecksum(const QByteArray& page)
{
    quint32 crc = 0;
    for (const char c : page) {
        crc ^= quint32(uchar(c)) << 24;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

// The pages of an Ogg file, each as its bytes.
inline QList<QByteArray> oggPages(const QByteArray& file)
{
    QList<QByteArray> pages;
    for (int at = 0; at + 27 <= file.size() && file.mid(at, 4) == "OggS";) {
        const int segments = uchar(file.at(at + 26));
        int body = 0;
        for (int i = 0; i < segments; ++i)
            body += uchar(file.at(at + 27 + i));
        pages.append(file.mid(at, 27 + segments + body));
        at += 27 + segments + body;
    }
    return pages;
}

// The first page of an Ogg file (which holds its first packet alone), the header packets after
// it (up to `count` of them, or up to the Ogg FLAC block that says it is the last when `count` is
// -1), and the index of the page after the one the last of them ends on.
inline QList<QByteArray> oggHeaderPackets(const QList<QByteArray>& pages, int count, int* after)
{
    QList<QByteArray> packets { QByteArray() };
    int page = 1;
    auto done = [&]() {
        const int whole = packets.size() - 1;
        if (count >= 0)
            return whole >= count;
        return whole > 0 && (uchar(packets.at(whole - 1).at(0)) & 0x80);
    };
    for (; page < pages.size() && !done(); ++page) {
        const QByteArray& p = pages.at(page);
        const int segments = uchar(p.at(26));
        int at = 27 + segments;
        for (int i = 0; i < segments; ++i) {
            const int lace = uchar(p.at(27 + i));
            packets.last() += p.mid(at, lace);
            at += lace;
            if (lace < 255)
                packets.append(QByteArray());
        }
    }
    packets.removeLast();
    *after = page;
    return packets;
}

// Packets paged as a muxer pages headers: up to `mostSegments` segments a page (255 at most),
// numbered from `sequence` on.
inline QByteArray oggPaged(const QList<QByteArray>& packets, const QByteArray& serial,
                           quint32* sequence, int mostSegments = 255)
{
    QList<QPair<int, int>> laces; // packet, length
    for (int p = 0; p < packets.size(); ++p) {
        for (int left = packets.at(p).size();; left -= 255) {
            laces.append({ p, qMin(255, left) });
            if (left < 255)
                break;
        }
    }
    QByteArray out;
    QVector<int> taken(packets.size(), 0);
    for (int first = 0; first < laces.size(); first += mostSegments) {
        QByteArray table, body;
        bool ends = false;
        for (int i = first; i < qMin(first + mostSegments, int(laces.size())); ++i) {
            table += char(laces.at(i).second);
            body += packets.at(laces.at(i).first).mid(taken[laces.at(i).first], laces.at(i).second);
            taken[laces.at(i).first] += laces.at(i).second;
            ends = ends || laces.at(i).second < 255;
        }
        const bool continued = first > 0 && laces.at(first - 1).second == 255;
        QByteArray bytes = QByteArray("OggS", 4) + char(0) + char(continued ? 1 : 0)
                           + QByteArray(8, ends ? '\0' : '\xff') + serial
                           + littleEndian32((*sequence)++) + QByteArray(4, '\0')
                           + char(table.size()) + table + body;
        bytes.replace(22, 4, littleEndian32(oggChecksum(bytes)));
        out += bytes;
    }
    return out;
}

// An Ogg file with the header packets after its first page (`count` of them, or its Ogg FLAC
// blocks for -1) replaced by `headers`, paged as given; the audio's pages are numbered on.
inline QByteArray oggWithHeaders(const QByteArray& ogg, int count, const QList<QByteArray>& headers,
                                 int mostSegments = 255)
{
    const QList<QByteArray> pages = oggPages(ogg);
    int page = 0;
    if (pages.size() < 2 || oggHeaderPackets(pages, count, &page).isEmpty())
        return QByteArray();
    const QByteArray serial = pages.first().mid(14, 4);
    quint32 sequence = 1;
    QByteArray out = pages.first() + oggPaged(headers, serial, &sequence, mostSegments);
    for (; page < pages.size(); ++page) {
        QByteArray bytes = pages.at(page);
        bytes.replace(18, 4, littleEndian32(sequence++));
        bytes.replace(22, 4, QByteArray(4, '\0'));
        bytes.replace(22, 4, littleEndian32(oggChecksum(bytes)));
        out += bytes;
    }
    return out;
}

// An Ogg Vorbis file (as GStreamer writes one: the identification header alone on the first
// page, the comment and setup headers on the pages after it, the audio on pages of its own)
// with its comment header's comment replaced.
inline QByteArray oggVorbisWithComment(const QByteArray& ogg, const QByteArray& comment)
{
    int after = 0;
    QList<QByteArray> packets = oggHeaderPackets(oggPages(ogg), 2, &after);
    if (packets.size() != 2 || !packets.first().startsWith("\x03vorbis"))
        return QByteArray();
    packets.first() = QByteArray("\x03vorbis") + comment + '\x01';
    return oggWithHeaders(ogg, 2, packets);
}

// A FLAC file's metadata block: its kind (0 stream information, 2 application, 4 comment,
// 6 picture), whether it is the last, its data.
inline QByteArray flacBlock(int kind, const QByteArray& data, bool last = false)
{
    QByteArray bytes(1, char(kind | (last ? 0x80 : 0)));
    bytes += char((data.size() >> 16) & 0xff);
    bytes += char((data.size() >> 8) & 0xff);
    bytes += char(data.size() & 0xff);
    return bytes + data;
}

// A FLAC file (as GStreamer writes one) with its blocks after the stream information replaced by
// the given ones, which end in the last block.
inline QByteArray flacWithBlocks(const QByteArray& flac, const QByteArray& blocks)
{
    if (!flac.startsWith("fLaC"))
        return QByteArray();
    int at = 4;
    for (bool last = false; !last && at + 4 <= flac.size();) {
        last = uchar(flac.at(at)) & 0x80;
        at += 4
              + ((uchar(flac.at(at + 1)) << 16) | (uchar(flac.at(at + 2)) << 8)
                 | uchar(flac.at(at + 3)));
    }
    const int streamInfo = 4
                           + ((uchar(flac.at(5)) << 16) | (uchar(flac.at(6)) << 8)
                              | uchar(flac.at(7)));
    return "fLaC" + flacBlock(0, flac.mid(8, streamInfo - 4)) + blocks + flac.mid(at);
}

// An APEv2 text item: its value's length, its flags, its name ended by a zero, its value.
inline void appendApeItem(QByteArray& items, const char* name, int nameSize, const char* value,
                          int valueSize)
{
    appendLittleEndian32(items, quint32(valueSize));
    appendLittleEndian32(items, 0);
    items.append(name, nameSize);
    items.append('\0');
    items.append(value, valueSize);
}

// An APEv2 tag with a header and a footer, of `count` items as appendApeItem made them.
inline QByteArray apeTagOf(const QByteArray& items, quint32 count)
{
    auto frame = [&](quint32 flags) {
        return QByteArray("APETAGEX") + littleEndian32(2000)
               + littleEndian32(quint32(items.size() + 32)) + littleEndian32(count)
               + littleEndian32(flags) + QByteArray(8, '\0');
    };
    return frame(0xa0000000u) + items + frame(0x80000000u);
}

// An APEv2 tag with a header and a footer, of text items (name, value).
inline QByteArray apeTag(const QList<QPair<QByteArray, QByteArray>>& items)
{
    QByteArray body;
    for (const auto& item : items)
        appendApeItem(body, item.first.constData(), item.first.size(), item.second.constData(),
                      item.second.size());
    return apeTagOf(body, quint32(items.size()));
}

#endif // TAGFLOODS_H
