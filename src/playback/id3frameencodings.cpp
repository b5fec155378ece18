#include "id3frameencodings.h"

#include <QFile>
#include <QFileInfo>

#include <id3/tag.h>

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

Id3FrameEncodings Id3FrameEncodings::read(const QString& path)
{
    Id3FrameEncodings encodings;
    if (!QFileInfo(path).isFile())
        return encodings;
    // The file's own name in the system's encoding; id3lib takes any bytes there, so no link
    // with a plain name is needed.
    ID3_Tag tag;
    tag.Link(QFile::encodeName(path).constData(), ID3TT_ID3V2);
    encodings.title = textEncoding(tag, ID3FID_TITLE);
    encodings.artist = textEncoding(tag, ID3FID_LEADARTIST);
    encodings.album = textEncoding(tag, ID3FID_ALBUM);
    return encodings;
}
