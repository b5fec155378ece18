#include "id3v2trim.h"

#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <zlib.h>

namespace {

const int HeaderBytes = 10;
// The bytes read from the source at a time.
const qint64 PieceBytes = 64 * 1024;

// The frames the readers look up: the texts a file shows and stores, its comment and its
// picture, by their ID3v2.3/v2.4 and ID3v2.2 names.
const char* const WantedFrames[] = { "TIT2", "TPE1", "TALB", "TPE2", "TCON", "COMM", "TRCK", "TPOS",
                                     "TYER", "TDRC", "TCOM", "TEXT", "TCOP", "TENC", "TPUB", "APIC",
                                     "TT2",  "TP1",  "TAL",  "TP2",  "TCO",  "COM",  "TRK",  "TPA",
                                     "TYE",  "TCM",  "TXT",  "TCR",  "TEN",  "TPB",  "PIC" };

bool isWanted(const QByteArray& id)
{
    for (const char* wanted : WantedFrames) {
        if (id == wanted)
            return true;
    }
    return false;
}

quint32 bigEndian(const uchar* bytes, int count)
{
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

// Four bytes of seven bits each; -1 when a byte has its top bit set.
qint64 syncSafe(const uchar* bytes)
{
    qint64 value = 0;
    for (int i = 0; i < 4; ++i) {
        if (bytes[i] & 0x80)
            return -1;
        value = (value << 7) | bytes[i];
    }
    return value;
}

QByteArray syncSafeBytes(qint64 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        bytes[i] = char(value & 0x7f);
        value >>= 7;
    }
    return bytes;
}

// The tag's body as the frames see it: read in pieces from the source, resynchronised when
// the whole tag was unsynchronised (every 0x00 after a 0xFF is a stuffed byte).
class Body
{
public:
    Body(const Id3v2Trim::Source& source, qint64 from, qint64 to, bool unsync)
        : m_source(source)
        , m_raw(from)
        , m_end(to)
        , m_unsync(unsync)
    {
    }

    bool failed() const { return m_failed; }
    // At most the bytes still to come (fewer when stuffed bytes are taken out).
    qint64 left() const { return m_end - m_raw + (m_window.size() - m_at); }

    // Takes the next `count` bytes into `into`, or passes over them when it is null; false when
    // the body ends first.
    bool take(char* into, qint64 count)
    {
        while (count > 0) {
            if (m_at >= m_window.size()) {
                if (!m_unsync && !into) {
                    // Passed over without reading.
                    if (count > m_end - m_raw) {
                        m_raw = m_end;
                        return false;
                    }
                    m_raw += count;
                    return true;
                }
                if (!fill())
                    return false;
            }
            if (!m_unsync) {
                const qint64 chunk = std::min(count, qint64(m_window.size() - m_at));
                if (into) {
                    std::memcpy(into, m_window.constData() + m_at, size_t(chunk));
                    into += chunk;
                }
                m_at += int(chunk);
                count -= chunk;
                continue;
            }
            const char c = m_window.at(m_at++);
            if (m_afterFF && c == 0) {
                m_afterFF = false;
                continue;
            }
            m_afterFF = uchar(c) == 0xff;
            if (into)
                *into++ = c;
            --count;
        }
        return true;
    }

private:
    bool fill()
    {
        if (m_raw >= m_end)
            return false;
        const qint64 wanted = std::min(PieceBytes, m_end - m_raw);
        m_window.resize(int(wanted));
        const qint64 got = m_source(m_raw, m_window.data(), wanted);
        if (got < 0)
            m_failed = true;
        if (got <= 0) {
            m_window.clear();
            m_at = 0;
            m_raw = m_end;
            return false;
        }
        m_window.resize(int(got));
        m_at = 0;
        m_raw += got;
        return true;
    }

    const Id3v2Trim::Source& m_source;
    qint64 m_raw;
    qint64 m_end;
    bool m_unsync;
    QByteArray m_window;
    int m_at = 0;
    bool m_afterFF = false;
    bool m_failed = false;
};

struct Frame
{
    QByteArray id;
    QByteArray header;
    qint64 size = 0;
    int major = 0;

    uchar formatFlags() const { return major == 2 ? 0 : uchar(header.at(9)); }
    bool compressed() const { return formatFlags() & (major == 3 ? 0x80 : 0x08); }
    bool encrypted() const { return formatFlags() & (major == 3 ? 0x40 : 0x04); }
    bool grouped() const { return formatFlags() & (major == 3 ? 0x20 : 0x40); }
    // ID3v2.4 only: the frame's own unsynchronisation, and the data length before its data.
    bool unsynchronised() const { return major == 4 && (formatFlags() & 0x02); }
    bool dataLength() const { return major == 4 && (formatFlags() & 0x01); }
    // Texts (and comments, lyrics and addresses), whose readers build a string a value and four
    // bytes a character.
    bool isText() const
    {
        return id.startsWith('T') || id.startsWith('W') || id == "COMM" || id == "COM"
               || id == "USLT" || id == "ULT";
    }
    // A frame the readers would unpack or decode at a cost out of proportion to what they use.
    bool needsRewrite() const
    {
        return compressed() || (isText() && size > Id3v2Trim::MostTextBytes);
    }
};

// The next frame's header; false at the padding, at the end, or at what is no frame.
bool nextFrame(Body& body, int major, Frame* frame)
{
    const int idBytes = major == 2 ? 3 : 4;
    const int headerBytes = major == 2 ? 6 : 10;
    frame->major = major;
    frame->header.resize(headerBytes);
    if (!body.take(frame->header.data(), headerBytes))
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(frame->header.constData());
    for (int i = 0; i < idBytes; ++i) {
        const uchar c = bytes[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    frame->id = frame->header.left(idBytes);
    if (major == 2)
        frame->size = bigEndian(bytes + 3, 3);
    else if (major == 3)
        frame->size = bigEndian(bytes + 4, 4);
    else
        frame->size = syncSafe(bytes + 4);
    return frame->size >= 0;
}

struct TagHeader
{
    int major = 0;
    uchar revision = 0;
    uchar flags = 0;
    qint64 size = 0;
};

// Passes over the extended header; false when it cannot be read.
bool skipExtendedHeader(Body& body, int major, uchar flags)
{
    if (major == 2 || !(flags & 0x40))
        return true;
    uchar size[4];
    if (!body.take(reinterpret_cast<char*>(size), 4))
        return false;
    if (major == 3)
        return body.take(nullptr, bigEndian(size, 4));
    const qint64 bytes = syncSafe(size);
    return bytes >= 4 && body.take(nullptr, bytes - 4);
}

// Every 0x00 after a 0xFF is a stuffed byte.
QByteArray resynchronised(const QByteArray& bytes)
{
    QByteArray plain;
    plain.reserve(bytes.size());
    bool afterFF = false;
    for (const char c : bytes) {
        if (afterFF && c == 0) {
            afterFF = false;
            continue;
        }
        afterFF = uchar(c) == 0xff;
        plain += c;
    }
    return plain;
}

// Inflates a zlib stream into at most `most` bytes; false when the stream is damaged, or holds
// more than that (*over then says so, and `out` holds the first `most` bytes).
bool inflateAtMost(const QByteArray& in, qint64 most, QByteArray* out, bool* over)
{
    *over = false;
    out->clear();
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    stream.avail_in = uInt(in.size());
    int status = Z_OK;
    while (status == Z_OK) {
        const int at = out->size();
        const qint64 room = std::min(PieceBytes, most + 1 - at);
        if (room <= 0) {
            *over = true;
            break;
        }
        out->resize(at + int(room));
        stream.next_out = reinterpret_cast<Bytef*>(out->data() + at);
        stream.avail_out = uInt(room);
        status = inflate(&stream, Z_NO_FLUSH);
        out->resize(at + int(room - stream.avail_out));
        if (status == Z_BUF_ERROR && stream.avail_out > 0)
            break;
        if (status == Z_BUF_ERROR)
            status = Z_OK;
    }
    inflateEnd(&stream);
    if (out->size() > most) {
        *over = true;
        out->truncate(int(most));
    }
    return status == Z_STREAM_END || *over;
}

// A text frame's data cut at `most` bytes, or fewer where a character would be cut in two, by
// the frame's encoding (its first byte): whole 16-bit units of UTF-16, and no unit that begins
// a pair at the end; whole characters of UTF-8. The readers read no text at all of bytes that
// are not of the encoding to their end.
QByteArray cutText(const Frame& frame, const QByteArray& data, qint64 most)
{
    if (data.size() <= most)
        return data;
    QByteArray cut = data.left(int(most));
    // The frames that begin with an encoding byte, the addresses but a user's being Latin-1.
    const bool encoded = !frame.id.startsWith('W') || frame.id == "WXXX" || frame.id == "WXX";
    const char encoding = encoded && !cut.isEmpty() ? cut.at(0) : 0;
    if (encoding == 1 || encoding == 2) {
        if ((cut.size() - 1) % 2)
            cut.chop(1);
        // A high surrogate, read either way round (a value's byte order mark may stand far
        // before).
        if (cut.size() >= 3
            && ((uchar(cut.at(cut.size() - 2)) & 0xfc) == 0xd8
                || (uchar(cut.at(cut.size() - 1)) & 0xfc) == 0xd8))
            cut.chop(2);
    } else if (encoding == 3) {
        int start = cut.size();
        while (start > 1 && (uchar(data.at(start)) & 0xc0) == 0x80)
            --start;
        const uchar lead = uchar(data.at(start));
        const int length = lead < 0x80    ? 1
                           : lead >= 0xf0 ? 4
                           : lead >= 0xe0 ? 3
                           : lead >= 0xc0 ? 2
                                          : 1;
        if (start + length > cut.size())
            cut.truncate(start);
    }
    return cut;
}

// The data of a frame that needsRewrite(), as a plain frame holds it: cut or inflated, at most
// MostTextBytes of a text, and what is inflated at most `inflatable` bytes (less by what it
// takes). *readable is false when the frame is left out: encrypted or in a group (nothing reads
// those), damaged, or a picture or other data that is more whole. A text that the body ends in
// is cut all the same, when what is taken of it is there. False when the body ended.
bool rewrittenData(Body& body, const Frame& frame, qint64* inflatable, QByteArray* data,
                   bool* readable)
{
    *readable = false;
    if (frame.encrypted() || frame.grouped())
        return body.take(nullptr, frame.size);
    // Of a text, a few bytes more than is kept, to see where the last character kept ends.
    const qint64 spare = frame.isText() ? 4 : 0;
    qint64 most = frame.isText() ? Id3v2Trim::MostTextBytes : *inflatable;
    if (frame.compressed())
        most = std::min(most, *inflatable);
    // What is read of the stored bytes: all of a compressed frame, which is inflated; of a text,
    // enough for what is kept once stuffed bytes are taken out.
    const qint64 prefix = frame.dataLength() || (frame.major == 3 && frame.compressed()) ? 4 : 0;
    const qint64 wanted = frame.compressed()
                              ? frame.size
                              : std::min(frame.size,
                                         prefix
                                             + (frame.unsynchronised() ? 2 : 1) * (most + spare));
    if (wanted > body.left())
        return body.take(nullptr, frame.size);
    QByteArray stored(int(wanted), '\0');
    if (!body.take(stored.data(), wanted))
        return false;
    const bool goesOn = body.take(nullptr, frame.size - wanted);
    stored.remove(0, int(std::min<qint64>(prefix, stored.size())));
    if (frame.unsynchronised())
        stored = resynchronised(stored);
    if (!frame.compressed()) {
        *data = cutText(frame, stored.left(int(most + spare)), most);
        *readable = true;
        return goesOn;
    }
    bool over = false;
    *readable = inflateAtMost(stored, most + spare, data, &over) && (!over || frame.isText());
    if (frame.isText())
        *data = cutText(frame, *data, most);
    *inflatable -= data->size();
    return goesOn;
}

// The frame's header for data of a new size, its flags those of a plain frame (with no flags at
// all when bare).
QByteArray plainHeader(const Frame& frame, qint64 size, bool bare = false)
{
    QByteArray header = frame.id;
    if (frame.major == 2) {
        for (int shift = 16; shift >= 0; shift -= 8)
            header += char((size >> shift) & 0xff);
        return header;
    }
    if (frame.major == 3) {
        for (int shift = 24; shift >= 0; shift -= 8)
            header += char((size >> shift) & 0xff);
    } else {
        header += syncSafeBytes(size);
    }
    const uchar cleared = frame.major == 3 ? 0x80 : (0x08 | 0x02 | 0x01);
    header += bare ? char(0) : frame.header.at(8);
    header += bare ? char(0) : char(frame.formatFlags() & ~cleared);
    return header;
}

// What the tag's header says; false when the file does not start with an ID3v2 tag whose frames
// a reader takes (result->failed tells whether reading failed).
bool readHeader(const Id3v2Trim::Source& source, Id3v2Trim::Result* result, TagHeader* tag)
{
    uchar header[HeaderBytes];
    const qint64 got = source(0, reinterpret_cast<char*>(header), HeaderBytes);
    if (got < 0) {
        result->failed = true;
        return false;
    }
    if (got < HeaderBytes || std::memcmp(header, "ID3", 3) != 0 || header[3] < 2 || header[3] > 4
        || header[4] == 0xff)
        return false;
    const qint64 size = syncSafe(header + 6);
    if (size < 0)
        return false;
    tag->major = header[3];
    tag->revision = header[4];
    tag->flags = header[5];
    tag->size = size;
    const bool footer = tag->major == 4 && (tag->flags & 0x10);
    result->tagBytes = HeaderBytes + size + (footer ? HeaderBytes : 0);
    // A compressed v2.2 tag has no frames a reader takes.
    return !(tag->major == 2 && (tag->flags & 0x40));
}

} // namespace

Id3v2Trim::Result Id3v2Trim::walk(const Source& source, qint64 mostBodyBytes)
{
    Result result;
    TagHeader tag;
    if (!readHeader(source, &result, &tag))
        return result;
    const int major = tag.major;
    const uchar flags = tag.flags;
    const bool unsync = major < 4 && (flags & 0x80);
    const qint64 end = HeaderBytes + std::min(tag.size, mostBodyBytes);

    // First only looked over: a tag of few frames, none of them to rewrite, is left as it is.
    {
        Body body(source, HeaderBytes, end, unsync);
        Frame frame;
        qint64 frames = 0;
        bool rewrite = false;
        if (skipExtendedHeader(body, major, flags)) {
            while (frames <= MostFrames && nextFrame(body, major, &frame)
                   && body.take(nullptr, frame.size)) {
                ++frames;
                rewrite = rewrite || frame.needsRewrite();
            }
        }
        if (body.failed()) {
            result.failed = true;
            return result;
        }
        result.frames = frames;
        if (frames <= MostFrames && !rewrite)
            return result;
    }

    Body body(source, HeaderBytes, end, unsync);
    if (!skipExtendedHeader(body, major, flags))
        return result;
    QByteArray kept;
    QSet<QByteArray> kinds;
    Frame frame;
    qint64 frames = 0;
    qint64 inflatable = MostInflatedBytes;
    while (nextFrame(body, major, &frame)) {
        const bool keep = frames < MostFrames || (isWanted(frame.id) && !kinds.contains(frame.id));
        ++frames;
        if (!keep) {
            if (!body.take(nullptr, frame.size))
                break;
            continue;
        }
        if (frame.needsRewrite()) {
            QByteArray data;
            bool readable = false;
            const bool goesOn = rewrittenData(body, frame, &inflatable, &data, &readable);
            ++result.rewritten;
            if (readable) {
                kept += plainHeader(frame, data.size()) + data;
                kinds.insert(frame.id);
            }
            if (!goesOn)
                break;
            continue;
        }
        if (frame.size > body.left())
            break;
        const int at = kept.size();
        kept += frame.header;
        kept.resize(at + frame.header.size() + int(frame.size));
        if (!body.take(kept.data() + at + frame.header.size(), frame.size)) {
            kept.truncate(at);
            break;
        }
        kinds.insert(frame.id);
    }
    if (body.failed()) {
        result.failed = true;
        return result;
    }
    result.frames = frames;
    result.trimmed = true;
    // The frames keep their own flags; of the tag's, only a v2.4 tag's unsynchronisation still
    // says how its frames are stored.
    const char tagFlags = major == 4 ? char(flags & 0x80) : char(0);
    result.tag = QByteArray("ID3") + char(major) + char(tag.revision) + tagFlags
                 + syncSafeBytes(kept.size()) + kept;
    return result;
}

Id3v2Trim::Result Id3v2Trim::firstFrames(const Source& source, const QList<QByteArray>& ids,
                                         qint64 mostBodyBytes)
{
    Result result;
    TagHeader tag;
    if (!readHeader(source, &result, &tag))
        return result;
    const bool unsync = tag.major < 4 && (tag.flags & 0x80);
    Body body(source, HeaderBytes, HeaderBytes + std::min(tag.size, mostBodyBytes), unsync);
    if (!skipExtendedHeader(body, tag.major, tag.flags))
        return result;
    QByteArray kept;
    QSet<QByteArray> found;
    Frame frame;
    qint64 inflatable = MostInflatedBytes;
    while (found.size() < ids.size() && nextFrame(body, tag.major, &frame)) {
        ++result.frames;
        if (!ids.contains(frame.id) || found.contains(frame.id)) {
            if (!body.take(nullptr, frame.size))
                break;
            continue;
        }
        QByteArray data;
        bool readable = false;
        const bool goesOn = rewrittenData(body, frame, &inflatable, &data, &readable);
        found.insert(frame.id);
        if (readable)
            kept += plainHeader(frame, data.size(), true) + data;
        if (!goesOn)
            break;
    }
    if (body.failed()) {
        result.failed = true;
        return result;
    }
    result.trimmed = true;
    result.tag = QByteArray("ID3") + char(tag.major) + char(tag.revision) + char(0)
                 + syncSafeBytes(kept.size()) + kept;
    return result;
}

Id3v2Trim::Source Id3v2Trim::fromBytes(const QByteArray& bytes)
{
    return [&bytes](qint64 offset, char* into, qint64 count) -> qint64 {
        if (offset >= bytes.size())
            return 0;
        const qint64 taken = std::min(count, qint64(bytes.size()) - offset);
        std::memcpy(into, bytes.constData() + offset, size_t(taken));
        return taken;
    };
}

Id3v2Trim::Source Id3v2Trim::fromDescriptor(int fd, const std::function<bool()>& stop)
{
    return [fd, stop](qint64 offset, char* into, qint64 count) -> qint64 {
        qint64 done = 0;
        while (done < count) {
            if (stop && stop())
                return -1;
            const ssize_t n = ::pread(fd, into + done, size_t(count - done), off_t(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return -1;
            if (n == 0)
                break;
            done += n;
        }
        return done;
    };
}
