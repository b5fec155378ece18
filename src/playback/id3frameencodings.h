#ifndef ID3FRAMEENCODINGS_H
#define ID3FRAMEENCODINGS_H

#include <QString>

#include <functional>

// The text encodings of the title (TIT2), lead artist (TPE1) and album (TALB) frames of a
// file's ID3v2 tag, as id3lib reads them: -2 when the frame (or its text) is missing, -1 when
// it names no encoding, else 0 ISO-8859-1, 1 UTF-16, 2 UTF-16BE, 3 UTF-8. A file that is not a
// regular file, or has no ID3v2 tag, has every frame missing. Reading opens the file: call it
// away from the GUI thread.
struct Id3FrameEncodings
{
    static constexpr int Missing = -2;
    // The most of a tag that is read: a tag may declare up to 256 MiB, but taggers write the
    // text frames before the pictures that make a tag large, and id3lib takes the whole frames
    // of a tag that is cut short.
    static constexpr qint64 MostTagBytes = 16 * 1024 * 1024;

    int title = Missing;
    int artist = Missing;
    int album = Missing;

    // Only an ID3v2 tag at the head of the file is read: its 10-byte header, then the headers of
    // its frames up to the three asked about (within the first MostTagBytes of the tag), and
    // those three frames' data, a text cut at Id3v2Trim::MostTextBytes. A file of any other kind
    // costs one read of ten bytes, whatever its size: id3lib, handed the file itself, reads a
    // file without MPEG audio frames to its end one byte at a time. id3lib is handed a tag of
    // those three frames alone, written plain (Id3v2Trim::firstFrames), so what it builds stays
    // small and it meets nothing it cannot read, whatever the tag holds. The file is opened
    // once, without waiting, and read only when the open file is a regular one. `abandoned`,
    // when given, is asked between the reads; once it answers true the reading stops and every
    // frame is missing.
    static Id3FrameEncodings read(const QString& path, const std::function<bool()>& abandoned = {});
};

#endif // ID3FRAMEENCODINGS_H
