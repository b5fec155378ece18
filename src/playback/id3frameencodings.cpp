#include "id3frameencodings.h"

#include "id3v2trim.h"
#include "safefile.h"

#include <QByteArray>
#include <QFile>

#include <id3/readers.h>
#include <id3/tag.h>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

const int HeaderBytes = 10;
// Read in pieces so that an abandoned read stops soon after it is abandoned.
const qint64 PieceBytes = 256 * 1024;

int textEncoding(const ID3_Tag& tag, ID3_FrameID id)
{
    const ID3_Frame* frame = tag.Find(id);
    if (!frame)
        return Id3FrameEncodings::Missing;
    const ID3_Field* text = frame->GetField(ID3FN_TEXT);
    if (!text)
        return Id3FrameEncodings::Missing;
    return int(text->GetEncoding());
}

// The bytes an ID3v2 header says follow it (footer included), or -1 when the ten bytes are no
// such header: "ID3", a major version of 2 to 4, a revision byte, flags, and a size of four
// bytes of seven bits each.
qint64 tagBodyBytes(const QByteArray& header)
{
    if (header.size() < HeaderBytes || !header.startsWith("ID3"))
        return -1;
    const uchar major = uchar(header.at(3));
    if (major < 2 || major > 4 || uchar(header.at(4)) == 0xff)
        return -1;
    qint64 size = 0;
    for (int i = 6; i < HeaderBytes; ++i) {
        const uchar byte = uchar(header.at(i));
        if (byte & 0x80)
            return -1;
        size = (size << 7) | byte;
    }
    const bool footer = major == 4 && (uchar(header.at(5)) & 0x10);
    return size + (footer ? HeaderBytes : 0);
}

} // namespace

Id3FrameEncodings Id3FrameEncodings::read(const QString& path,
                                          const std::function<bool()>& abandoned)
{
    Id3FrameEncodings encodings;
    auto stop = [&abandoned]() { return abandoned && abandoned(); };
    if (stop())
        return encodings;
    // Opened once, without waiting, and checked on the descriptor: a name that stands for a
    // pipe by now (swapped in after any earlier look at it) is neither waited on nor read.
    const int fd = SafeFile::openRegularDescriptor(QFile::encodeName(path));
    if (fd < 0)
        return encodings;
    QByteArray tagBytes(HeaderBytes, '\0');
    const qint64 got = ::pread(fd, tagBytes.data(), HeaderBytes, 0);
    const qint64 body = got == HeaderBytes ? tagBodyBytes(tagBytes) : -1;
    if (body < 0) {
        ::close(fd);
        return encodings;
    }
    // id3lib builds some hundred bytes for every frame it reads: a tag of a million tiny frames
    // would cost it gigabytes. Only a tag of few frames is handed over as it stands.
    const Id3v2Trim::Result trim
        = Id3v2Trim::walk(Id3v2Trim::fromDescriptor(fd, stop), MostTagBytes);
    if (trim.failed || stop()) {
        ::close(fd);
        return encodings;
    }
    if (trim.trimmed) {
        tagBytes = trim.tag;
    } else {
        const qint64 wanted = std::min(body, MostTagBytes);
        while (tagBytes.size() - HeaderBytes < wanted) {
            if (stop()) {
                ::close(fd);
                return encodings;
            }
            const qint64 at = tagBytes.size();
            const qint64 piece = std::min(PieceBytes, wanted - (at - HeaderBytes));
            tagBytes.resize(int(at + piece));
            const ssize_t read = ::pread(fd, tagBytes.data() + at, size_t(piece), off_t(at));
            if (read <= 0) {
                tagBytes.resize(int(at));
                if (read < 0 && errno == EINTR)
                    continue;
                break;
            }
            tagBytes.resize(int(at + read));
        }
    }
    ::close(fd);
    if (stop())
        return encodings;
    {
        ID3_Tag tag;
        ID3_MemoryReader reader(tagBytes.constData(), size_t(tagBytes.size()));
        tag.Link(reader, ID3TT_ID3V2);
        encodings.title = textEncoding(tag, ID3FID_TITLE);
        encodings.artist = textEncoding(tag, ID3FID_LEADARTIST);
        encodings.album = textEncoding(tag, ID3FID_ALBUM);
    }
    return encodings;
}
