#include "id3v2trim.h"

#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

const int HeaderBytes = 10;
// The bytes read from the source at a time.
const qint64 PieceBytes = 64 * 1024;

// The frames the readers look up: the texts a file shows and stores, its comment and its
// picture, by their ID3v2.3/v2.4 and ID3v2.2 names.
const char* const WantedFrames[] = { "TIT2", "TPE1", "TALB", "TPE2", "TCON", "COMM", "TRCK",
                                     "TPOS", "TYER", "TDRC", "TCOM", "TEXT", "TCOP", "TENC",
                                     "TPUB", "APIC", "TT2",  "TP1",  "TAL",  "TP2",  "TCO",
                                     "COM",  "TRK",  "TPA",  "TYE",  "TCM",  "TXT",  "TCR",
                                     "TEN",  "TPB",  "PIC" };

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
};

// The next frame's header; false at the padding, at the end, or at what is no frame.
bool nextFrame(Body& body, int major, Frame* frame)
{
    const int idBytes = major == 2 ? 3 : 4;
    const int headerBytes = major == 2 ? 6 : 10;
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

} // namespace

Id3v2Trim::Result Id3v2Trim::walk(const Source& source, qint64 mostBodyBytes)
{
    Result result;
    uchar header[HeaderBytes];
    const qint64 got = source(0, reinterpret_cast<char*>(header), HeaderBytes);
    if (got < 0) {
        result.failed = true;
        return result;
    }
    if (got < HeaderBytes || std::memcmp(header, "ID3", 3) != 0 || header[3] < 2
        || header[3] > 4 || header[4] == 0xff)
        return result;
    const qint64 size = syncSafe(header + 6);
    if (size < 0)
        return result;
    const int major = header[3];
    const uchar flags = header[5];
    const bool footer = major == 4 && (flags & 0x10);
    result.tagBytes = HeaderBytes + size + (footer ? HeaderBytes : 0);
    // A compressed v2.2 tag has no frames a reader takes.
    if (major == 2 && (flags & 0x40))
        return result;
    const bool unsync = major < 4 && (flags & 0x80);
    const qint64 end = HeaderBytes + std::min(size, mostBodyBytes);

    // First only counted: a tag of few frames is left as it is.
    {
        Body body(source, HeaderBytes, end, unsync);
        Frame frame;
        qint64 frames = 0;
        if (skipExtendedHeader(body, major, flags)) {
            while (frames <= MostFrames && nextFrame(body, major, &frame)
                   && body.take(nullptr, frame.size))
                ++frames;
        }
        if (body.failed()) {
            result.failed = true;
            return result;
        }
        result.frames = frames;
        if (frames <= MostFrames)
            return result;
    }

    Body body(source, HeaderBytes, end, unsync);
    if (!skipExtendedHeader(body, major, flags))
        return result;
    QByteArray kept;
    QSet<QByteArray> kinds;
    Frame frame;
    qint64 frames = 0;
    while (nextFrame(body, major, &frame)) {
        const bool keep = frames < MostFrames || (isWanted(frame.id) && !kinds.contains(frame.id));
        if (!keep) {
            if (!body.take(nullptr, frame.size))
                break;
            ++frames;
            continue;
        }
        const int at = kept.size();
        kept += frame.header;
        kept.resize(at + frame.header.size() + int(frame.size));
        if (!body.take(kept.data() + at + frame.header.size(), frame.size)) {
            kept.truncate(at);
            break;
        }
        kinds.insert(frame.id);
        ++frames;
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
    result.tag = QByteArray("ID3") + char(major) + char(header[4]) + tagFlags
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
