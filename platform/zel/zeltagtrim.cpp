#include "zeltagtrim.h"

#include "tagbytes.h"
#include "zelcommenttrim.h"

#include <QHash>
#include <QVector>

#include <algorithm>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The bytes read from the file at a time for the walk's small reads.
const qint64 WindowBytes = 64 * 1024;

quint32 littleEndian32(const uchar* b)
{
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}

void putLittleEndian32(char* into, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        into[i] = char((value >> (8 * i)) & 0xff);
}

// The file, read with pread: small reads in order are served from a window read ahead.
class FileBytes
{
public:
    explicit FileBytes(int fd)
        : m_fd(fd)
    {
        struct stat info;
        if (::fstat(fd, &info) == 0)
            m_length = info.st_size;
    }

    qint64 length() const { return m_length; }

    bool read(qint64 at, char* into, qint64 count)
    {
        if (at < 0 || count < 0 || count > m_length - at)
            return false;
        if (count > WindowBytes / 4)
            return readDirect(at, into, count);
        if (at < m_windowAt || at + count > m_windowAt + m_window.size()) {
            m_window.resize(int(std::min(WindowBytes, m_length - at)));
            m_windowAt = at;
            if (!readDirect(at, m_window.data(), m_window.size())) {
                m_window.clear();
                return false;
            }
        }
        std::memcpy(into, m_window.constData() + (at - m_windowAt), size_t(count));
        return true;
    }

    QByteArray bytes(qint64 at, qint64 count)
    {
        QByteArray bytes(int(count), '\0');
        return read(at, bytes.data(), count) ? bytes : QByteArray();
    }

    // Where "OggS" next stands from `from` on, before `to` (-1 for the file's end); -1 when it
    // does not.
    qint64 findPage(qint64 from, qint64 to = -1)
    {
        const qint64 end = to < 0 ? m_length : std::min(to, m_length);
        m_piece.resize(int(WindowBytes));
        for (qint64 at = from; at + 4 <= end; at += WindowBytes - 3) {
            const qint64 count = std::min(WindowBytes, end - at);
            char* piece = m_piece.data();
            if (!readDirect(at, piece, count))
                return -1;
            for (const char* p = piece;
                 (p = static_cast<const char*>(std::memchr(p, 'O', size_t(piece + count - p))));
                 ++p) {
                if (p + 4 <= piece + count && std::memcmp(p, "OggS", 4) == 0)
                    return at + (p - piece);
            }
        }
        return -1;
    }

private:
    bool readDirect(qint64 at, char* into, qint64 count)
    {
        return TagBytes::readAt(m_fd, at, into, count);
    }

    int m_fd;
    qint64 m_length = 0;
    QByteArray m_window;
    qint64 m_windowAt = 0;
    QByteArray m_piece;
};

quint32 oggCrc(const char* bytes, qint64 count)
{
    return TagBytes::oggCrc(bytes, count);
}

struct Page
{
    qint64 offset = 0;
    int segments = 0;
    qint64 bodyBytes = 0;
    uchar flags = 0;
    quint32 serial = 0;
    quint32 sequence = 0;
    qint64 granule = 0;

    qint64 bodyAt() const { return offset + 27 + segments; }
    qint64 end() const { return bodyAt() + bodyBytes; }
    bool continued() const { return flags & 0x01; }
    bool bos() const { return flags & 0x02; }
};

// The page at `at` as libogg takes it: its header, lacing and checksum whole; its lacing in
// `lacing`.
bool readPage(FileBytes& file, qint64 at, Page* page, QByteArray* lacing)
{
    uchar header[27];
    if (!file.read(at, reinterpret_cast<char*>(header), 27) || std::memcmp(header, "OggS", 4) != 0
        || header[4] != 0)
        return false;
    page->offset = at;
    page->segments = header[26];
    page->flags = header[5];
    page->granule = qint64(quint64(littleEndian32(header + 6))
                           | quint64(littleEndian32(header + 10)) << 32);
    page->serial = littleEndian32(header + 14);
    page->sequence = littleEndian32(header + 18);
    *lacing = file.bytes(at + 27, page->segments);
    if (lacing->size() != page->segments)
        return false;
    page->bodyBytes = 0;
    for (const char lace : *lacing)
        page->bodyBytes += uchar(lace);
    QByteArray whole = file.bytes(at, 27 + page->segments + page->bodyBytes);
    if (whole.size() != 27 + page->segments + page->bodyBytes)
        return false;
    const quint32 stored = littleEndian32(reinterpret_cast<const uchar*>(whole.constData()) + 22);
    std::memset(whole.data() + 22, 0, 4);
    return oggCrc(whole.constData(), whole.size()) == stored;
}

// The next page from `at` on as libogg finds it: at `at`, or at the next capture pattern that
// begins a whole page.
bool nextPage(FileBytes& file, qint64 at, Page* page, QByteArray* lacing)
{
    while (at >= 0 && at < file.length()) {
        if (readPage(file, at, page, lacing))
            return true;
        at = file.findPage(at + 1);
    }
    return false;
}

// How oggdemux reads a stream, by its first packet: which packets hold a Vorbis comment, and
// which are headers.
enum class Mapping { Other, Vorbis, Theora, Daala, Kate, Vp8, Opus, Speex, Flac };

struct MappingMagic
{
    Mapping mapping;
    const char* first;
    int firstLength;
    const char* comment;
    int commentLength;
    const char* name;
};

const MappingMagic Mappings[] = {
    { Mapping::Vorbis, "\x01vorbis", 7, "\x03vorbis", 7, "Ogg Vorbis" },
    { Mapping::Theora, "\x80theora", 7, "\x81theora", 7, "Ogg Theora" },
    { Mapping::Daala, "\x80" "daala", 6, "\x81" "daala", 6, "Ogg Daala" },
    { Mapping::Kate, "\x80kate\0\0\0", 8, "\x81kate\0\0\0\0", 9, "Ogg Kate" },
    { Mapping::Vp8, "OVP80\x01\x01", 7, "OVP80\x02 ", 7, "Ogg VP8" },
    { Mapping::Opus, "OpusHead", 8, "OpusTags", 8, "Ogg Opus" },
    { Mapping::Speex, "Speex", 5, "", 0, "Ogg Speex" },
    { Mapping::Speex, "CELT    ", 8, "", 0, "Ogg CELT" },
    { Mapping::Flac, "\x7f" "FLAC", 5, "", 4, "Ogg FLAC" },
};

const MappingMagic* mappingOf(const QByteArray& head)
{
    for (const MappingMagic& m : Mappings) {
        if (head.size() >= m.firstLength && std::memcmp(head.constData(), m.first, size_t(m.firstLength)) == 0)
            return &m;
    }
    return nullptr;
}

// Bytes of the segments of one packet, as runs of the file.
struct Runs
{
    QVector<QPair<qint64, qint64>> runs;
    qint64 bytes = 0;

    void add(qint64 offset, qint64 length)
    {
        if (length <= 0)
            return;
        if (!runs.isEmpty() && runs.last().first + runs.last().second == offset)
            runs.last().second += length;
        else
            runs.append({ offset, length });
        bytes += length;
    }
};

// A reader over runs, from `skip` bytes on.
class RunReader
{
public:
    RunReader(FileBytes& file, const Runs& runs)
        : m_file(file)
        , m_runs(runs)
    {
    }

    bool operator()(char* into, qint64 count)
    {
        while (count > 0) {
            if (m_run >= m_runs.runs.size())
                return false;
            const auto& run = m_runs.runs.at(m_run);
            const qint64 step = std::min(count, run.second - m_at);
            if (into) {
                if (!m_file.read(run.first + m_at, into, step))
                    return false;
                into += step;
            }
            m_at += step;
            count -= step;
            if (m_at == run.second) {
                ++m_run;
                m_at = 0;
            }
        }
        return true;
    }

private:
    FileBytes& m_file;
    const Runs& m_runs;
    int m_run = 0;
    qint64 m_at = 0;
};

// A page of a stream as the walk keeps it, to page again what stands on it.
struct KeptPage
{
    Page page;
    QByteArray lacing;
};

// A packet made anew: where it stands on the stream's pages (the page and segment it begins and
// ends at, in the pages of its span) and its bytes.
struct Replacement
{
    int firstPage;
    int firstSegment;
    int lastPage;
    int lastSegment;
    QByteArray bytes;
    // What was bounded, for the log.
    QString what;
};

// Pages of one stream in a row, with the packets on them made anew.
struct Span
{
    QVector<KeptPage> pages;
    QList<Replacement> replacements;
};

struct Stream
{
    const MappingMagic* mapping = nullptr;
    qint64 packets = 0;
    bool done = false;
    qint64 expected = -1; // the next page's sequence number
    // The packet being put together: its runs, the pages from the one it begins on, and where.
    Runs packet;
    QVector<KeptPage> pages;
    int firstSegment = 0;
    bool partial = false;
    QList<Span> spans;
};

// The packet's first bytes.
QByteArray headOf(FileBytes& file, const Runs& runs, int count)
{
    QByteArray head(int(std::min<qint64>(count, runs.bytes)), '\0');
    RunReader read(file, runs);
    return read(head.data(), head.size()) ? head : QByteArray();
}

bool isHeader(const MappingMagic* m, qint64 index, const QByteArray& head)
{
    if (!m || head.isEmpty())
        return false;
    switch (m->mapping) {
    case Mapping::Vorbis:
        return uchar(head.at(0)) & 0x01;
    case Mapping::Theora:
    case Mapping::Daala:
    case Mapping::Kate:
        return uchar(head.at(0)) & 0x80;
    case Mapping::Vp8:
        return head.startsWith("OVP80");
    case Mapping::Opus:
    case Mapping::Speex:
        return index < 2;
    case Mapping::Flac:
        return uchar(head.at(0)) != 0xff;
    case Mapping::Other:
        break;
    }
    return false;
}

// The bytes of the comment's magic when the packet holds a comment oggdemux reads, else -1.
int commentMagic(const MappingMagic* m, qint64 index, const QByteArray& head)
{
    if (!m || index == 0)
        return -1;
    if (m->mapping == Mapping::Speex)
        return index == 1 ? 0 : -1;
    if (m->mapping == Mapping::Flac)
        return head.size() > 4 && (uchar(head.at(0)) & 0x7f) == 4 ? 4 : -1;
    if (head.size() >= m->commentLength
        && std::memcmp(head.constData(), m->comment, size_t(m->commentLength)) == 0)
        return m->commentLength;
    return -1;
}

class OggWalk
{
public:
    explicit OggWalk(FileBytes& file)
        : m_file(file)
    {
    }

    // Walks the links from the file's start: the first alone when its last page belongs to one
    // of its streams, else every one.
    void walk()
    {
        const qint64 last = lastSerial();
        const bool all = last < 0 || !firstSerials().contains(quint32(last));
        for (qint64 at = 0; at >= 0 && at < m_file.length();) {
            at = walkLink(at, all);
            if (!all)
                break;
        }
    }

private:
    // The streams of the first link: the serial numbers of its first pages.
    QList<quint32> firstSerials()
    {
        QList<quint32> serials;
        Page page;
        QByteArray lacing;
        for (qint64 at = 0; nextPage(m_file, at, &page, &lacing) && page.bos(); at = page.end())
            serials.append(page.serial);
        return serials;
    }

    // The serial number of the file's last page, searched for backwards a piece at a time, as
    // oggdemux looks for it; none when the file holds no page.
    qint64 lastSerial()
    {
        for (qint64 end = m_file.length(); end > 0;) {
            const qint64 from = std::max<qint64>(0, end - WindowBytes);
            qint64 found = -1;
            for (qint64 at = from; (at = m_file.findPage(at, end)) >= 0; ++at) {
                Page page;
                QByteArray lacing;
                if (readPage(m_file, at, &page, &lacing))
                    found = page.serial;
            }
            if (found >= 0)
                return found;
            end = from + 3;
            if (from == 0)
                break;
        }
        return -1;
    }

    // One link from `at`: its pages of first packets (the streams), then its pages up to the
    // first packet of each stream that is no header, or on to the next link's first page when
    // `toEnd`. Returns where the next link begins (-1 at the file's end).
    qint64 walkLink(qint64 at, bool toEnd)
    {
        QHash<quint32, Stream> streams;
        bool begun = false;
        Page page;
        QByteArray lacing;
        qint64 next = -1;
        while (nextPage(m_file, at, &page, &lacing)) {
            at = page.end();
            if (page.bos()) {
                if (begun) {
                    next = page.offset;
                    break;
                }
                if (streams.contains(page.serial))
                    continue;
                streams.insert(page.serial, Stream());
            } else {
                begun = true;
            }
            auto found = streams.find(page.serial);
            if (found == streams.end() || found->done)
                continue;
            takePage(*found, page, lacing);
            if (!toEnd && std::all_of(streams.begin(), streams.end(),
                                      [](const Stream& s) { return s.done; }))
                break;
        }
        for (auto s = streams.begin(); s != streams.end(); ++s) {
            for (const Span& span : s->spans)
                repage(span);
        }
        return next;
    }

    // The page's segments into the stream's packets, as libogg joins them.
    void takePage(Stream& s, const Page& page, const QByteArray& lacing)
    {
        int segment = 0;
        if (s.expected >= 0 && page.sequence != quint32(s.expected)) {
            // A page missing: the packet it broke is lost.
            dropPacket(s);
        }
        s.expected = qint64(page.sequence) + 1;
        if (page.continued() && !s.partial) {
            // The rest of a packet whose start was lost.
            while (segment < page.segments && uchar(lacing.at(segment)) == 255)
                ++segment;
            ++segment;
        }
        s.pages.append({ page, lacing });
        qint64 bodyAt = page.bodyAt();
        for (int i = 0; i < segment && i < page.segments; ++i)
            bodyAt += uchar(lacing.at(i));
        for (; segment < page.segments && !s.done; ++segment) {
            const int lace = uchar(lacing.at(segment));
            if (!s.partial) {
                s.firstSegment = segment;
                s.partial = true;
                // The pages before the one this packet begins on hold nothing of it.
                s.pages.erase(s.pages.begin(), s.pages.end() - 1);
            }
            s.packet.add(bodyAt, lace);
            bodyAt += lace;
            if (lace < 255)
                packetDone(s, segment);
        }
        if (!s.partial && !s.pages.isEmpty())
            s.pages.erase(s.pages.begin(), s.pages.end() - 1);
    }

    void dropPacket(Stream& s)
    {
        s.packet = Runs();
        s.partial = false;
        s.pages.clear();
    }

    void packetDone(Stream& s, int lastSegment)
    {
        const qint64 index = s.packets++;
        const QByteArray head = headOf(m_file, s.packet, 16);
        if (index == 0) {
            s.mapping = mappingOf(head);
            s.done = !s.mapping;
        } else if (!isHeader(s.mapping, index, head)) {
            s.done = true;
        } else {
            const int magic = commentMagic(s.mapping, index, head);
            if (magic >= 0)
                comment(s, magic, head, lastSegment);
        }
        s.packet = Runs();
        s.partial = false;
    }

    void comment(Stream& s, int magic, const QByteArray& head, int lastSegment)
    {
        RunReader read(m_file, s.packet);
        if (!read(nullptr, magic))
            return;
        const ZelCommentTrim::Result trim = ZelCommentTrim::trim(read, s.packet.bytes - magic);
        if (!trim.over)
            return;
        QByteArray bytes = head.left(magic);
        if (s.mapping->mapping == Mapping::Flac) {
            if (trim.comment.size() > 0xffffff)
                return;
            bytes[1] = char((trim.comment.size() >> 16) & 0xff);
            bytes[2] = char((trim.comment.size() >> 8) & 0xff);
            bytes[3] = char(trim.comment.size() & 0xff);
        }
        bytes += trim.comment;
        // A Vorbis comment ends with its framing bit.
        if (s.mapping->mapping == Mapping::Vorbis)
            bytes += '\x01';
        if (bytes.size() > s.packet.bytes)
            return;
        const QString what = QStringLiteral("an %1 comment of %2 fields")
                                 .arg(QLatin1String(s.mapping->name))
                                 .arg(trim.fields);
        // A span that ends on the page this packet begins on takes it in.
        if (!s.spans.isEmpty()
            && s.spans.last().pages.last().page.offset == s.pages.first().page.offset) {
            Span& span = s.spans.last();
            const int first = span.pages.size() - 1;
            span.pages += s.pages.mid(1);
            span.replacements.append({ first, s.firstSegment, first + int(s.pages.size()) - 1,
                                       lastSegment, bytes, what });
            return;
        }
        Span span;
        span.pages = s.pages;
        span.replacements.append(
            { 0, s.firstSegment, int(s.pages.size()) - 1, lastSegment, bytes, what });
        s.spans.append(span);
    }

    // The span paged again on as many pages, with their sequence numbers.
    void repage(const Span& span)
    {
        struct Segment
        {
            int lace;
            qint64 fileAt; // its bytes in the file, or
            const QByteArray* made; // in a packet made anew, from `madeAt` on
            int madeAt;
            qint64 granule; // of the packet that ends on it
        };
        QVector<Segment> segments;
        int replacement = 0;
        for (int p = 0, i = 0; p < span.pages.size();) {
            const KeptPage& kept = span.pages.at(p);
            if (i >= kept.page.segments) {
                ++p;
                i = 0;
                continue;
            }
            const Replacement* r = replacement < span.replacements.size()
                                       ? &span.replacements.at(replacement)
                                       : nullptr;
            if (r && r->firstPage == p && r->firstSegment == i) {
                // A packet takes the granule position of its page when it is the last one to end
                // there.
                const qint64 granule = r->lastSegment == lastEnd(span.pages.at(r->lastPage))
                                           ? span.pages.at(r->lastPage).page.granule
                                           : -1;
                for (int made = 0;; made += 255) {
                    const int lace = int(std::min<qint64>(255, r->bytes.size() - made));
                    segments.append({ lace, -1, &r->bytes, made, lace < 255 ? granule : -1 });
                    if (lace < 255)
                        break;
                }
                p = r->lastPage;
                i = r->lastSegment + 1;
                ++replacement;
                continue;
            }
            qint64 at = kept.page.bodyAt();
            for (int k = 0; k < i; ++k)
                at += uchar(kept.lacing.at(k));
            segments.append({ uchar(kept.lacing.at(i)), at, nullptr, 0,
                              i == lastEnd(kept) ? kept.page.granule : -1 });
            ++i;
        }
        // 255 segments a page at most, then pages of none.
        QList<ZelTagTrim::Stretch> stretches;
        int segment = 0;
        bool continued = span.pages.first().page.continued();
        for (const KeptPage& original : span.pages) {
            const int count = std::min(255, int(segments.size()) - segment);
            QByteArray bytes(27 + count, '\0');
            std::memcpy(bytes.data(), "OggS", 4);
            bytes[5] = char((original.page.flags & ~0x01) | (continued ? 0x01 : 0));
            qint64 granule = -1;
            for (int i = 0; i < count; ++i) {
                const Segment& s = segments.at(segment + i);
                bytes[27 + i] = char(s.lace);
                if (s.lace < 255)
                    granule = s.granule;
                if (s.made) {
                    bytes += s.made->mid(s.madeAt, s.lace);
                } else {
                    const QByteArray body = m_file.bytes(s.fileAt, s.lace);
                    if (body.size() != s.lace)
                        return;
                    bytes += body;
                }
            }
            for (int i = 0; i < 8; ++i)
                bytes[6 + i] = char((quint64(granule) >> (8 * i)) & 0xff);
            putLittleEndian32(bytes.data() + 14, original.page.serial);
            putLittleEndian32(bytes.data() + 18, original.page.sequence);
            bytes[26] = char(count);
            putLittleEndian32(bytes.data() + 22, oggCrc(bytes.constData(), bytes.size()));
            if (count > 0)
                continued = segments.at(segment + count - 1).lace == 255;
            segment += count;
            stretches.append({ original.page.offset, original.page.end() - original.page.offset,
                               bytes });
        }
        // More segments than the pages hold (a comment made longer, which the bounds never make):
        // the span stays as it is.
        if (segment != segments.size())
            return;
        for (const ZelTagTrim::Stretch& stretch : stretches) {
            // Pages in a row are one stretch (a comment over a million pages of a segment each
            // is a million pages).
            if (!m_stretches.isEmpty()
                && m_stretches.last().offset + m_stretches.last().length == stretch.offset) {
                m_stretches.last().length += stretch.length;
                m_stretches.last().bytes += stretch.bytes;
            } else {
                m_stretches.append(stretch);
            }
        }
        for (const Replacement& r : span.replacements)
            m_bounded.append(r.what);
    }

    // The last segment that ends a packet on the page; -1 for none.
    static int lastEnd(const KeptPage& kept)
    {
        for (int i = kept.page.segments - 1; i >= 0; --i) {
            if (uchar(kept.lacing.at(i)) < 255)
                return i;
        }
        return -1;
    }

    FileBytes& m_file;

public:
    QList<ZelTagTrim::Stretch> m_stretches;
    QStringList m_bounded;
};

// A FLAC file's metadata blocks from "fLaC" at `start`: each comment over the bound is made anew
// in its block.
void walkFlac(FileBytes& file, qint64 start, ZelTagTrim::Result* result)
{
    if (file.bytes(start, 4) != "fLaC")
        return;
    for (qint64 at = start + 4;;) {
        const QByteArray header = file.bytes(at, 4);
        if (header.size() != 4)
            return;
        const int type = uchar(header.at(0)) & 0x7f;
        const bool last = uchar(header.at(0)) & 0x80;
        const qint64 length = (qint64(uchar(header.at(1))) << 16) | (uchar(header.at(2)) << 8)
                              | uchar(header.at(3));
        if (length > file.length() - at - 4)
            return;
        if (type == 4) {
            qint64 read = at + 4;
            const ZelCommentTrim::Result trim = ZelCommentTrim::trim(
                [&](char* into, qint64 count) {
                    if (into && !file.read(read, into, count))
                        return false;
                    read += count;
                    return true;
                },
                length);
            if (trim.over && trim.comment.size() <= length) {
                QByteArray bytes = header;
                bytes[1] = char((trim.comment.size() >> 16) & 0xff);
                bytes[2] = char((trim.comment.size() >> 8) & 0xff);
                bytes[3] = char(trim.comment.size() & 0xff);
                result->stretches.append({ at, 4 + length, bytes + trim.comment });
                result->bounded.append(
                    QStringLiteral("a FLAC comment of %1 fields").arg(trim.fields));
            }
        }
        if (last)
            return;
        at += 4 + length;
    }
}

// Where a file's own data begins after an ID3v2 tag at its head, which GStreamer takes off
// before it looks at the rest.
qint64 afterId3v2(FileBytes& file)
{
    const QByteArray header = file.bytes(0, 10);
    if (header.size() != 10 || !header.startsWith("ID3"))
        return 0;
    qint64 size = 0;
    for (int i = 6; i < 10; ++i)
        size = (size << 7) | (uchar(header.at(i)) & 0x7f);
    return 10 + size + ((uchar(header.at(5)) & 0x10) ? 10 : 0);
}

} // namespace

ZelTagTrim::Result ZelTagTrim::examine(int fd)
{
    Result result;
    FileBytes file(fd);
    const QByteArray head = file.bytes(0, 4);
    if (head == "OggS") {
        OggWalk walk(file);
        walk.walk();
        std::sort(walk.m_stretches.begin(), walk.m_stretches.end(),
                  [](const Stretch& a, const Stretch& b) { return a.offset < b.offset; });
        result.stretches = walk.m_stretches;
        result.bounded = walk.m_bounded;
    } else {
        walkFlac(file, afterId3v2(file), &result);
    }
    return result;
}
