#ifndef ID3FRAMEENCODINGS_H
#define ID3FRAMEENCODINGS_H

#include <QString>

// The text encodings of the title (TIT2), lead artist (TPE1) and album (TALB) frames of a
// file's ID3v2 tag, as id3lib reads them: -2 when the frame (or its text) is missing, -1 when
// it names no encoding, else 0 ISO-8859-1, 1 UTF-16, 2 UTF-16BE, 3 UTF-8. A file that is not a
// regular file, or has no ID3v2 tag, has every frame missing. Reading opens the file: call it
// away from the GUI thread.
struct Id3FrameEncodings
{
    static constexpr int Missing = -2;

    int title = Missing;
    int artist = Missing;
    int album = Missing;

    static Id3FrameEncodings read(const QString& path);
};

#endif // ID3FRAMEENCODINGS_H
