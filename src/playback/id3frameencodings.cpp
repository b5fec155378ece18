#include "id3frameencodings.h"

#include "id3v2trim.h"
#include "safefile.h"

#include <QByteArray>
#include <QFile>

#include <id3/readers.h>
#include <id3/tag.h>

#include <unistd.h>

namespace {

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
    // id3lib is handed the three frames it is asked about alone, each written plain: it builds
    // some hundred bytes for every frame it reads (a tag of a million tiny frames cost it
    // gigabytes) and a string for every value of a text, it crashes on a compressed frame, and
    // it reads junk after the frames as more frames.
    const Id3v2Trim::Result trim = Id3v2Trim::firstFrames(
        Id3v2Trim::fromDescriptor(fd, stop), { "TIT2", "TPE1", "TALB", "TT2", "TP1", "TAL" },
        MostTagBytes);
    ::close(fd);
    if (trim.failed || !trim.trimmed || stop())
        return encodings;
    const QByteArray& tagBytes = trim.tag;
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
