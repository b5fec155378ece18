#include "trackertagtrim.h"

#include "tagbytes.h"
#include "trackerfilebytes.h"

#include <QSet>
#include <QVector>

#include <algorithm>
#include <cstring>

namespace {

// The bytes read from the file at a time.
const qint64 PieceBytes = 64 * 1024;
// The longest field name worth reading whole (names the reader looks up are short).
const int MostNameBytes = 64;
// The longest APE item name read: one that has not ended by then ends the walk.
const int MostApeNameBytes = 256;
// The most the walk takes into memory at once (a picture, a Vorbis setup header).
const qint64 MostHeldBytes = TrackerFileBytes::MostHeldBytes;

// The Vorbis comment fields the reader looks up (by TagLib's names for them), and its pictures.
const char* const WantedXiphFields[] = {
    "TITLE",     "ARTIST",      "ALBUM",       "ALBUMARTIST",  "GENRE",
    "DATE",      "YEAR",        "TRACKNUMBER", "TRACKNUM",     "DISCNUMBER",
    "COMMENT",   "DESCRIPTION", "COMPOSER",    "LYRICIST",     "COPYRIGHT",
    "ENCODEDBY", "LABEL",       "COVERART",    "COVERARTMIME", "METADATA_BLOCK_PICTURE"
};
// The APE items the reader looks up through TagLib.
const char* const WantedApeItems[] = { "TITLE",     "ARTIST",   "ALBUM",    "ALBUM ARTIST",
                                       "GENRE",     "COMMENT",  "YEAR",     "TRACK",
                                       "DISC",      "COMPOSER", "LYRICIST", "COPYRIGHT",
                                       "ENCODEDBY", "LABEL" };

// Whether the `size` bytes at `name` are the text `wanted`: names are compared where they lie, as
// a flood of millions of fields is walked with no allocation for each one.
bool isText(const char* name, int size, const char* wanted)
{
    return int(std::strlen(wanted)) == size && std::memcmp(name, wanted, size_t(size)) == 0;
}

template <size_t N>
bool isOneOf(const char* name, int size, const char* const (&names)[N])
{
    for (const char* wanted : names) {
        if (isText(name, size, wanted))
            return true;
    }
    return false;
}

bool isXiphPicture(const char* name, int size)
{
    return isText(name, size, "METADATA_BLOCK_PICTURE") || isText(name, size, "COVERART");
}

quint32 littleEndian(const char* bytes)
{
    const auto* b = reinterpret_cast<const uchar*>(bytes);
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}

QByteArray littleEndianBytes(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xff);
    return bytes;
}

quint32 bigEndian(const char* bytes, int count)
{
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | uchar(bytes[i]);
    return value;
}

using File = TrackerFileBytes;

// Bytes taken in order from a run of stretches of the file (one for a FLAC block or an APE
// tag, the segments of a packet for an Ogg file), read a piece at a time.
class Cursor
{
public:
    explicit Cursor(const File& file)
        : m_file(file)
    {
    }

    // Runs are taken in the order they are added; one that follows the last one on is joined
    // to it.
    void addRun(qint64 offset, qint64 length)
    {
        if (length <= 0)
            return;
        m_left += length;
        if (!m_runs.isEmpty() && m_runs.last().first + m_runs.last().second == offset)
            m_runs.last().second += length;
        else
            m_runs.append({ offset, length });
    }

    qint64 left() const { return m_left + qint64(m_window.size()) - m_at; }

    // Takes `count` bytes into `into`, or passes over them when it is null; false when there are
    // fewer (then none are left).
    bool take(char* into, qint64 count)
    {
        if (count > left()) {
            m_runs.clear();
            m_left = 0;
            m_window.clear();
            m_at = 0;
            return false;
        }
        while (count > 0) {
            if (m_at == m_window.size()) {
                if (!into)
                    return skipRuns(count);
                if (!fill())
                    return false;
            }
            const qint64 chunk = std::min(count, qint64(m_window.size() - m_at));
            if (into) {
                std::memcpy(into, m_window.constData() + m_at, size_t(chunk));
                into += chunk;
            }
            m_at += int(chunk);
            count -= chunk;
        }
        return true;
    }

    // The next `count` bytes; none when there are fewer, or more than MostHeldBytes.
    QByteArray take(qint64 count)
    {
        if (count > MostHeldBytes || count > left()) {
            take(nullptr, left() + 1);
            return QByteArray();
        }
        QByteArray bytes(int(count), '\0');
        return take(bytes.data(), count) ? bytes : QByteArray();
    }

    // Where the next byte stands in the file (for a cursor of one run).
    qint64 position() const
    {
        if (m_at < m_window.size())
            return m_windowEnd - (m_window.size() - m_at);
        return m_runs.isEmpty() ? m_windowEnd : m_runs.first().first + m_consumed;
    }

private:
    bool fill()
    {
        while (!m_runs.isEmpty() && m_consumed == m_runs.first().second) {
            m_runs.removeFirst();
            m_consumed = 0;
        }
        if (m_runs.isEmpty())
            return false;
        const auto& run = m_runs.first();
        const qint64 wanted = std::min(PieceBytes, run.second - m_consumed);
        m_window = m_file.bytes(run.first + m_consumed, wanted);
        m_at = 0;
        if (m_window.size() != wanted) {
            m_runs.clear();
            m_left = 0;
            m_window.clear();
            return false;
        }
        m_consumed += wanted;
        m_left -= wanted;
        m_windowEnd = run.first + m_consumed;
        return true;
    }

    // Passes over bytes not yet read without reading them.
    bool skipRuns(qint64 count)
    {
        while (count > 0 && !m_runs.isEmpty()) {
            const qint64 inRun = m_runs.first().second - m_consumed;
            const qint64 step = std::min(count, inRun);
            m_consumed += step;
            m_left -= step;
            count -= step;
            if (m_consumed == m_runs.first().second) {
                m_windowEnd = m_runs.first().first + m_consumed;
                m_runs.removeFirst();
                m_consumed = 0;
            }
        }
        return count == 0;
    }

    const File& m_file;
    QList<QPair<qint64, qint64>> m_runs;
    qint64 m_consumed = 0; // of the first run
    qint64 m_left = 0;     // in the runs, not yet in the window
    QByteArray m_window;
    int m_at = 0;
    qint64 m_windowEnd = 0;
};

// A Vorbis comment's fields as the walk found them: how many there are, whether the comment is
// to be made anew, and the fields kept (each with its length before it). A comment cut short is
// made of the fields before the cut, as TagLib reads it.
struct Comment
{
    QByteArray vendor; // its length and its text
    qint64 fields = 0;
    bool bounded = false;
    QList<QByteArray> kept;
};

// `length` bytes of `from` in `into`, ASCII letters in upper case: the names looked for are
// ASCII, so no other letter can make a name one of them. A flood of millions of fields is walked
// with no allocation for each one.
void upperCase(const char* from, int length, char* into)
{
    for (int i = 0; i < length; ++i)
        into[i] = from[i] >= 'a' && from[i] <= 'z' ? char(from[i] - 'a' + 'A') : from[i];
}

// Walks a Vorbis comment (vendor, count, fields); collects the fields to keep when `collect`.
void walkComment(Cursor& cursor, bool collect, Comment* comment)
{
    char four[4];
    if (!cursor.take(four, 4))
        return;
    const quint32 vendorLength = littleEndian(four);
    comment->vendor = QByteArray(four, 4) + cursor.take(vendorLength);
    if (comment->vendor.size() != 4 + qint64(vendorLength) || !cursor.take(four, 4))
        return;
    const quint32 declared = littleEndian(four);
    // More fields than the bytes could hold: TagLib reads none of them, at no cost.
    if (declared > cursor.left() / 4)
        return;
    QSet<QByteArray> names;
    for (quint32 i = 0; i < declared; ++i) {
        if (!cursor.take(four, 4))
            return;
        const quint32 length = littleEndian(four);
        if (length > cursor.left())
            return;
        ++comment->fields;
        // The head of the field ("KEY=value") and its name in upper case, held here: both are
        // copied only for the fields kept.
        char head[MostNameBytes];
        char upper[MostNameBytes];
        const bool needName = collect || length > TrackerTagTrim::MostTextBytes;
        const int headLength = needName ? int(std::min<qint64>(length, MostNameBytes)) : 0;
        if (!cursor.take(head, headLength))
            return;
        const auto* equals = static_cast<const char*>(std::memchr(head, '=', size_t(headLength)));
        const int nameLength = equals ? int(equals - head) : headLength;
        upperCase(head, nameLength, upper);
        const bool picture = isXiphPicture(upper, nameLength);
        const bool cut = length > TrackerTagTrim::MostTextBytes && !picture;
        comment->bounded = comment->bounded || cut || comment->fields > TrackerTagTrim::MostFields;
        const bool looked = collect && isOneOf(upper, nameLength, WantedXiphFields);
        const QByteArray name = looked ? QByteArray(upper, nameLength) : QByteArray();
        const bool keep = collect
                          && (comment->fields <= TrackerTagTrim::MostFields
                              || (looked && !names.contains(name)));
        if (looked)
            names.insert(name);
        const qint64 rest = length - headLength;
        if (!keep) {
            if (!cursor.take(nullptr, rest))
                return;
            continue;
        }
        // A text is cut where a character ends, within MostTextBytes.
        const QByteArray taken(head, headLength);
        const qint64 wanted = cut ? std::max<qint64>(0, TrackerTagTrim::MostTextBytes + 1
                                                            - taken.size())
                                  : rest;
        const QByteArray more = cursor.take(wanted);
        if (more.size() != wanted || !cursor.take(nullptr, rest - wanted))
            return;
        const QByteArray field = cut ? TagBytes::cutUtf8(taken + more, TrackerTagTrim::MostTextBytes)
                                     : taken + more;
        comment->kept.append(littleEndianBytes(quint32(field.size())) + field);
    }
}

// The comment made of the fields kept.
QByteArray madeComment(const Comment& comment)
{
    QByteArray bytes = comment.vendor + littleEndianBytes(quint32(comment.kept.size()));
    for (const QByteArray& field : comment.kept)
        bytes += field;
    return bytes;
}

// A FLAC file's metadata blocks, from the first "fLaC" at `start` or after it on: each a header of
// four bytes (the last block's flag, its kind, its length) and its data.
void walkFlac(const File& file, qint64 start, TrackerTagTrim::Result* result)
{
    // TagLib takes the first "fLaC" after an ID3v2 tag for the stream's start (most often
    // right there).
    start = file.bytes(start, 4) == "fLaC" ? start : file.find("fLaC", start);
    if (start < 0)
        return;
    const qint64 first = start + 4;
    Cursor headers(file);
    headers.addRun(first, file.length() - first);

    // Looked over first: a file of few blocks and a comment of few fields is left as it is.
    qint64 blocks = 0;
    bool commentSeen = false;
    bool commentBounded = false;
    qint64 commentFields = 0;
    for (;;) {
        char header[4];
        const qint64 at = headers.position();
        if (!headers.take(header, 4))
            break;
        const qint64 length = bigEndian(header + 1, 3);
        if (length > headers.left())
            break;
        ++blocks;
        if ((uchar(header[0]) & 0x7f) == 4 && !commentSeen) {
            commentSeen = true;
            Cursor body(file);
            body.addRun(at + 4, length);
            Comment comment;
            walkComment(body, false, &comment);
            commentBounded = comment.bounded;
            commentFields = comment.fields;
        }
        if (!headers.take(nullptr, length) || (uchar(header[0]) & 0x80))
            break;
    }
    if (blocks <= TrackerTagTrim::MostFields && !commentBounded)
        return;

    Cursor walk(file);
    walk.addRun(first, file.length() - first);
    QByteArray kept;
    qint64 lastHeader = -1;
    bool whole = false;
    bool streamInfo = false, comment = false, picture = false, frontCover = false;
    blocks = 0;
    qint64 end = first;
    for (;;) {
        char header[4];
        if (!walk.take(header, 4))
            break;
        const int type = uchar(header[0]) & 0x7f;
        const bool last = uchar(header[0]) & 0x80;
        const qint64 length = bigEndian(header + 1, 3);
        if (length > walk.left())
            break;
        const qint64 at = walk.position();
        // A picture block begins with the picture's kind, 3 for a front cover.
        const QByteArray kind = type == 6 ? file.bytes(at, 4) : QByteArray();
        const bool front = kind.size() == 4 && bigEndian(kind.constData(), 4) == 3;
        const bool keep = blocks < TrackerTagTrim::MostFields || (type == 0 && !streamInfo)
                          || (type == 4 && !comment)
                          || (type == 6 && (!picture || (front && !frontCover)));
        ++blocks;
        if (keep) {
            QByteArray body;
            if (type == 4 && !comment) {
                Cursor fields(file);
                fields.addRun(at, length);
                Comment made;
                walkComment(fields, true, &made);
                body = made.bounded ? madeComment(made) : file.bytes(at, length);
            } else {
                body = file.bytes(at, length);
            }
            lastHeader = kept.size();
            kept += char(type);
            kept += char((body.size() >> 16) & 0xff);
            kept += char((body.size() >> 8) & 0xff);
            kept += char(body.size() & 0xff);
            kept += body;
            streamInfo = streamInfo || type == 0;
            comment = comment || type == 4;
            picture = picture || type == 6;
            frontCover = frontCover || (type == 6 && front);
        }
        if (!walk.take(nullptr, length))
            break;
        end = walk.position();
        if (last) {
            whole = true;
            break;
        }
    }
    // The last block kept says it is the last, when the file's last block was reached; a
    // damaged run of blocks goes on into the damage as before.
    if (whole && lastHeader >= 0)
        kept[int(lastHeader)] = char(kept.at(int(lastHeader)) | 0x80);
    result->stretches.append({ first, end - first, kept });
    if (blocks > TrackerTagTrim::MostFields)
        result->bounded.append(QStringLiteral("FLAC metadata of %1 blocks").arg(blocks));
    if (commentBounded)
        result->bounded.append(QStringLiteral("a Vorbis comment of %1 fields").arg(commentFields));
}

struct OggPage
{
    qint64 offset = 0;
    qint64 headerBytes = 0;
    qint64 bodyBytes = 0;
    uchar flags = 0;
    QByteArray serial;
    quint32 sequence = 0;
    QByteArray lacing;
};

bool readOggPage(const File& file, qint64 at, OggPage* page)
{
    const QByteArray header = file.bytes(at, 27);
    if (header.size() != 27 || !header.startsWith("OggS") || header.at(4) != 0)
        return false;
    const int segments = uchar(header.at(26));
    page->lacing = file.bytes(at + 27, segments);
    if (page->lacing.size() != segments)
        return false;
    page->offset = at;
    page->flags = uchar(header.at(5));
    page->serial = header.mid(14, 4);
    page->sequence = littleEndian(header.constData() + 18);
    page->headerBytes = 27 + segments;
    page->bodyBytes = 0;
    for (const char lace : page->lacing)
        page->bodyBytes += uchar(lace);
    return at + page->headerBytes + page->bodyBytes <= file.length();
}

// The packets of an Ogg stream's first pages, as runs of the file.
class OggPackets
{
public:
    OggPackets(const File& file, const QByteArray& serial)
        : m_file(file)
        , m_serial(serial)
    {
    }

    // Adds the runs of the next packet to the cursor; false when the pages end first or turn to
    // another stream. The page holding its last byte is then lastPage().
    bool next(Cursor* cursor)
    {
        for (;;) {
            // A page of no segments holds nothing, and the next one follows it.
            while (m_segment >= m_page.lacing.size()) {
                const qint64 at = m_started ? m_page.offset + m_page.headerBytes + m_page.bodyBytes
                                            : m_firstPage;
                m_started = true;
                if (!readOggPage(m_file, at, &m_page) || m_page.serial != m_serial)
                    return false;
                ++m_pages;
                m_segment = 0;
                m_bodyAt = m_page.offset + m_page.headerBytes;
            }
            const int lace = uchar(m_page.lacing.at(m_segment++));
            cursor->addRun(m_bodyAt, lace);
            m_bodyAt += lace;
            if (lace < 255)
                return true;
        }
    }

    void startAt(qint64 offset) { m_firstPage = offset; }
    const OggPage& lastPage() const { return m_page; }
    // Whether the packet last taken ended its page.
    bool endsPage() const { return m_segment == m_page.lacing.size(); }
    // The pages read so far.
    qint64 pages() const { return m_pages; }

private:
    const File& m_file;
    QByteArray m_serial;
    qint64 m_firstPage = 0;
    bool m_started = false;
    OggPage m_page;
    int m_segment = 0;
    qint64 m_bodyAt = 0;
    qint64 m_pages = 0;
};

quint32 oggCrc(const QByteArray& page)
{
    return TagBytes::oggCrc(page.constData(), page.size());
}

// Pages holding the packets, from the given sequence number on: each packet's last page has
// granule position 0 (header packets), a page no packet ends on -1.
QByteArray paged(const QList<QByteArray>& packets, const QByteArray& serial, quint32 sequence)
{
    QList<QPair<int, int>> segments; // packet, lace
    for (int p = 0; p < packets.size(); ++p) {
        // 255 bytes a segment, and one of fewer (none, maybe) to end the packet.
        for (qint64 left = packets.at(p).size();; left -= 255) {
            segments.append({ p, int(std::min<qint64>(255, left)) });
            if (left < 255)
                break;
        }
    }
    QByteArray pages;
    int segment = 0;
    QVector<qint64> offsets(packets.size(), 0);
    bool continued = false;
    while (segment < segments.size()) {
        const int count = std::min(255, int(segments.size()) - segment);
        QByteArray lacing;
        QByteArray body;
        bool ends = false;
        for (int i = segment; i < segment + count; ++i) {
            const int p = segments.at(i).first;
            const int lace = segments.at(i).second;
            lacing += char(lace);
            body += packets.at(p).mid(int(offsets[p]), lace);
            offsets[p] += lace;
            ends = ends || lace < 255;
        }
        segment += count;
        QByteArray page("OggS", 4);
        page += char(0);
        page += char(continued ? 0x01 : 0x00);
        page += ends ? QByteArray(8, '\0') : QByteArray(8, '\xff');
        page += serial;
        page += littleEndianBytes(sequence++);
        page += QByteArray(4, '\0');
        page += char(count);
        page += lacing;
        page += body;
        const QByteArray crc = littleEndianBytes(oggCrc(page));
        page.replace(22, 4, crc);
        pages += page;
        continued = uchar(lacing.at(lacing.size() - 1)) == 255;
    }
    return pages;
}

// The header packets of an Ogg file that TagLib reads after the first: the comment of a Vorbis,
// Opus or Speex stream and the setup header that may share its pages (Vorbis); the metadata
// blocks of an Ogg FLAC stream, each a packet, of which TagLib takes the stream information and
// the last comment. Walked once to look (`made` null) and once to make them anew.
struct OggHeaders
{
    enum Mapping { Vorbis, Opus, Speex, Flac, OldFlac };
    Mapping mapping = Vorbis;
    qint64 pages = 0;
    qint64 blocks = 0;
    qint64 lastComment = -1; // the block of the comment TagLib reads (Ogg FLAC)
    Comment comment;
    bool endsPage = false;
    qint64 end = 0; // of the page the last header packet ends on
};

bool walkOggHeaders(const File& file, qint64 commentPage, const QByteArray& serial,
                    OggHeaders* headers, QList<QByteArray>* made)
{
    OggPackets walk(file, serial);
    walk.startAt(commentPage);
    const bool flac = headers->mapping == OggHeaders::Flac
                      || headers->mapping == OggHeaders::OldFlac;
    if (!flac) {
        static const QByteArray magics[] = { QByteArray("\x03vorbis"), QByteArray("OpusTags"),
                                             QByteArray() };
        const QByteArray& magic = magics[headers->mapping];
        Cursor fields(file);
        if (!walk.next(&fields) || fields.take(magic.size()) != magic)
            return false;
        Comment comment;
        walkComment(fields, made != nullptr, &comment);
        if (made) {
            // A Vorbis comment ends with its framing bit; what follows another is for no
            // reader.
            made->append(
                magic + madeComment(comment)
                + (headers->mapping == OggHeaders::Vorbis ? QByteArray(1, '\x01') : QByteArray()));
        } else {
            headers->comment = comment;
        }
        if (headers->mapping == OggHeaders::Vorbis) {
            // The setup header, which the audio follows on a page of its own.
            Cursor setup(file);
            if (!walk.next(&setup))
                return false;
            if (made) {
                const QByteArray bytes = setup.take(setup.left());
                if (bytes.isEmpty())
                    return false;
                made->append(bytes);
            }
        }
    } else {
        // The blocks up to the one that says it is the last; an old stream's stream
        // information is its first block here, a newer one's stands in the first packet.
        // TagLib takes nothing of the others, so none of them is kept.
        for (qint64 block = 0;; ++block) {
            Cursor packet(file);
            if (!walk.next(&packet))
                return false;
            char header[4];
            if (!packet.take(header, 4))
                return false;
            const int type = uchar(header[0]) & 0x7f;
            const bool last = uchar(header[0]) & 0x80;
            if (!made) {
                headers->blocks = block + 1;
                if (type == 4) {
                    headers->lastComment = block;
                    Comment comment;
                    walkComment(packet, false, &comment);
                    headers->comment = comment;
                }
            } else if ((block == 0 && headers->mapping == OggHeaders::OldFlac)
                       || block == headers->lastComment) {
                QByteArray body;
                if (type == 4) {
                    Comment comment;
                    walkComment(packet, true, &comment);
                    body = madeComment(comment);
                } else {
                    body = packet.take(packet.left());
                }
                if (body.size() > 0xffffff)
                    return false;
                QByteArray bytes = QByteArray(1, char(type)) + char((body.size() >> 16) & 0xff)
                                   + char((body.size() >> 8) & 0xff) + char(body.size() & 0xff)
                                   + body;
                made->append(bytes);
            }
            if (last)
                break;
        }
        if (made) {
            // A stream of no comment is given an empty one, to say it is the last block.
            if (made->isEmpty())
                made->append(QByteArray("\x04\0\0\x08", 4) + QByteArray(8, '\0'));
            made->last()[0] = char(made->last().at(0) | 0x80);
        }
    }
    headers->pages = walk.pages();
    headers->endsPage = walk.endsPage();
    const OggPage& last = walk.lastPage();
    headers->end = last.offset + last.headerBytes + last.bodyBytes;
    return true;
}

// The header packets of an Ogg stream after its first page (TagLib reads the packets of the pages
// from the first "OggS" on): a comment of more than MostFields fields or a longer text, an Ogg
// FLAC stream of more than MostFields blocks, or headers spread over more than MostFields pages,
// are paged anew in their place. Headers that are not made anew (a packet that does not end its
// page, a first page that holds more than the first packet) are over the bound.
void walkOgg(const File& file, TrackerTagTrim::Result* result)
{
    // TagLib reads the pages from the first "OggS" on (most often the file's first bytes).
    const qint64 start = file.bytes(0, 4) == "OggS" ? 0 : file.find("OggS");
    OggPage first;
    if (start < 0 || !readOggPage(file, start, &first))
        return;
    OggPackets packets(file, first.serial);
    packets.startAt(start);
    Cursor ident(file);
    if (!packets.next(&ident))
        return;
    const bool identEndsPage = packets.endsPage();
    const QByteArray magic = ident.take(std::min<qint64>(8, ident.left()));
    // A newer Ogg FLAC stream's first packet holds its stream information block: when that is
    // the last block, no header packet follows.
    char streamInfo[6] = {};
    if (magic.startsWith("\x7f"
                         "FLAC")
        && (!ident.take(streamInfo, 6) || (streamInfo[5] & 0x80)))
        return;
    OggHeaders headers;
    if (magic.startsWith("\x01vorbis"))
        headers.mapping = OggHeaders::Vorbis;
    else if (magic == "OpusHead")
        headers.mapping = OggHeaders::Opus;
    else if (magic == "Speex   ")
        headers.mapping = OggHeaders::Speex;
    else if (magic.startsWith("\x7f"
                              "FLAC"))
        headers.mapping = OggHeaders::Flac;
    else if (magic == "fLaC")
        headers.mapping = OggHeaders::OldFlac;
    else
        return;
    const qint64 commentPage = first.offset + first.headerBytes + first.bodyBytes;

    // Looked over first: headers of few fields, blocks and pages are left as they are.
    if (!walkOggHeaders(file, commentPage, first.serial, &headers, nullptr))
        return;
    const bool tooMany = headers.comment.bounded || headers.blocks > TrackerTagTrim::MostFields
                         || headers.pages > TrackerTagTrim::MostFields;
    if (!tooMany)
        return;
    static const char* const names[] = { "an Ogg Vorbis", "an Ogg Opus", "an Ogg Speex",
                                         "an Ogg FLAC", "an Ogg FLAC" };
    const QString what = QStringLiteral(
                             "the headers of %1 stream (a comment of %2 fields, %3 blocks"
                             ", %4 pages)")
                             .arg(QLatin1String(names[headers.mapping]))
                             .arg(headers.comment.fields)
                             .arg(headers.blocks)
                             .arg(headers.pages);
    QList<QByteArray> made;
    OggPage commentFirst;
    if (!identEndsPage || !headers.endsPage || !readOggPage(file, commentPage, &commentFirst)
        || (commentFirst.flags & 0x01)
        || !walkOggHeaders(file, commentPage, first.serial, &headers, &made)) {
        result->unbounded = true;
        result->bounded.append(what);
        return;
    }
    result->stretches.append({ commentPage, headers.end - commentPage,
                               paged(made, first.serial, commentFirst.sequence) });
    result->bounded.append(what);
}

// An APEv2 tag at the end of the file, or before an ID3v1 tag there, as TagLib looks for one
// (in an MPEG file): items between an optional header and the footer, which says how long they
// are and how many.
void walkApe(const File& file, qint64 dataStart, TrackerTagTrim::Result* result)
{
    qint64 footerAt = file.length() - 32;
    if (file.length() >= 128 + 32 && file.bytes(file.length() - 128, 3) == "TAG")
        footerAt = file.length() - 128 - 32;
    const QByteArray footer = file.bytes(footerAt, 32);
    if (footerAt < 0 || footer.size() != 32 || !footer.startsWith("APETAGEX"))
        return;
    const quint32 version = littleEndian(footer.constData() + 8);
    const qint64 size = littleEndian(footer.constData() + 12);
    const quint32 declared = littleEndian(footer.constData() + 16);
    const quint32 flags = littleEndian(footer.constData() + 20);
    const qint64 itemsAt = footerAt + 32 - size;
    if (size < 32 || itemsAt < 0)
        return;
    const bool header = flags & 0x80000000u;
    const qint64 start = header ? itemsAt - 32 : itemsAt;
    // A tag that says it reaches into the head of the file is no tag to make anew; nor one of
    // more items than its bytes could hold, of which TagLib reads none.
    if (start < dataStart || declared > (footerAt - itemsAt) / 11)
        return;

    // Each item: its value's length, its flags, its name ending in a zero byte, its value.
    // Returns the items kept (when collecting into `kept`).
    auto walkItems = [&](QByteArray* kept, qint64* items, bool* bounded) {
        Cursor cursor(file);
        cursor.addRun(itemsAt, footerAt - itemsAt);
        QSet<QByteArray> names;
        quint32 count = 0;
        for (quint32 i = 0; i < declared; ++i) {
            char head[8];
            if (!cursor.take(head, 8))
                break;
            const qint64 length = littleEndian(head);
            const bool text = ((littleEndian(head + 4) >> 1) & 0x03) == 0;
            // The name and its upper case are held here, copied only for the items kept.
            char nameBytes[MostApeNameBytes];
            char upperBytes[MostApeNameBytes];
            int nameLength = 0;
            char c = 0;
            while (nameLength < MostApeNameBytes && cursor.take(&c, 1) && c != 0)
                nameBytes[nameLength++] = c;
            if (c != 0 || length > cursor.left())
                break;
            ++*items;
            const bool cut = text && length > TrackerTagTrim::MostTextBytes;
            *bounded = *bounded || cut || *items > TrackerTagTrim::MostFields;
            if (kept)
                upperCase(nameBytes, nameLength, upperBytes);
            const bool looked = kept && isOneOf(upperBytes, nameLength, WantedApeItems);
            const QByteArray upper = looked ? QByteArray(upperBytes, nameLength) : QByteArray();
            const bool keep = kept
                              && (*items <= TrackerTagTrim::MostFields
                                  || (looked && !names.contains(upper)));
            if (looked)
                names.insert(upper);
            if (!keep) {
                if (!cursor.take(nullptr, length))
                    break;
                continue;
            }
            const qint64 wanted = cut ? TrackerTagTrim::MostTextBytes + 1 : length;
            QByteArray value = cursor.take(wanted);
            if (value.size() != wanted || !cursor.take(nullptr, length - wanted))
                break;
            if (cut)
                value = TagBytes::cutUtf8(value, TrackerTagTrim::MostTextBytes);
            *kept += littleEndianBytes(quint32(value.size())) + QByteArray(head + 4, 4)
                     + QByteArray(nameBytes, nameLength) + '\0' + value;
            ++count;
        }
        return count;
    };
    qint64 items = 0;
    bool bounded = false;
    walkItems(nullptr, &items, &bounded);
    if (!bounded)
        return;
    QByteArray kept;
    qint64 walked = 0;
    const quint32 made = walkItems(&kept, &walked, &bounded);
    auto frame = [&](quint32 which) {
        return QByteArray("APETAGEX") + littleEndianBytes(version)
               + littleEndianBytes(quint32(kept.size() + 32)) + littleEndianBytes(made)
               + littleEndianBytes(which) + QByteArray(8, '\0');
    };
    const QByteArray tag = (header ? frame(flags | 0xa0000000u) : QByteArray()) + kept
                           + frame((flags | (header ? 0x80000000u : 0)) & ~0x20000000u);
    result->stretches.append({ start, footerAt + 32 - start, tag });
    result->bounded.append(QStringLiteral("an APE tag of %1 items").arg(items));
}

} // namespace

TrackerTagTrim::Result TrackerTagTrim::ogg(int fd)
{
    Result result;
    walkOgg(File(fd), &result);
    return result;
}

TrackerTagTrim::Result TrackerTagTrim::flac(int fd, qint64 dataStart)
{
    Result result;
    walkFlac(File(fd), dataStart, &result);
    return result;
}

TrackerTagTrim::Result TrackerTagTrim::ape(int fd, qint64 dataStart)
{
    Result result;
    walkApe(File(fd), dataStart, &result);
    return result;
}
