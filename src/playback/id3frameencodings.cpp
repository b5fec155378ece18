#include "id3frameencodings.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <id3/readers.h>
#include <id3/tag.h>

#include <algorithm>

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
    if (stop() || !QFileInfo(path).isFile())
        return encodings;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return encodings;
    QByteArray tagBytes = file.read(HeaderBytes);
    const qint64 body = tagBodyBytes(tagBytes);
    if (body < 0)
        return encodings;
    const qint64 wanted = std::min(body, MostTagBytes);
    while (tagBytes.size() - HeaderBytes < wanted) {
        if (stop())
            return encodings;
        const QByteArray piece = file.read(
            std::min(PieceBytes, wanted - (tagBytes.size() - HeaderBytes)));
        if (piece.isEmpty())
            break;
        tagBytes += piece;
    }
    if (stop())
        return encodings;
    ID3_Tag tag;
    ID3_MemoryReader reader(tagBytes.constData(), size_t(tagBytes.size()));
    tag.Link(reader, ID3TT_ID3V2);
    encodings.title = textEncoding(tag, ID3FID_TITLE);
    encodings.artist = textEncoding(tag, ID3FID_LEADARTIST);
    encodings.album = textEncoding(tag, ID3FID_ALBUM);
    return encodings;
}
