#ifndef TAGBYTES_H
#define TAGBYTES_H

#include <QByteArray>
#include <QtGlobal>

// The byte work that the walks over a file's tags share, those that bound what the indexer hands
// TagLib (TrackerTagTrim) and those that bound what the player hands GStreamer (ZelTagTrim).
class TagBytes
{
public:
    // `count` bytes of the file open at fd from `at` on, read with pread (the descriptor's
    // position is left alone); false when fewer could be read.
    static bool readAt(int fd, qint64 at, char* into, qint64 count);

    // UTF-8 text cut at `most` bytes, or fewer where a character would be cut in two (a reader
    // takes no text at all of bytes that are not UTF-8 to their end).
    static QByteArray cutUtf8(const QByteArray& text, qint64 most);

    // The Ogg page checksum of the bytes (a page whose checksum field holds zeros): CRC-32 of
    // polynomial 0x04c11db7, not reflected, starting at 0.
    static quint32 oggCrc(const char* bytes, qint64 count);
};

#endif // TAGBYTES_H
