#ifndef ID3V2TRIM_H
#define ID3V2TRIM_H

#include <QByteArray>
#include <QtGlobal>

#include <functional>
#include <limits>

// Walks the frame headers of the ID3v2 tag at the head of a file, before a tag reader parses it.
// A reader builds objects for every frame of a tag (some hundred bytes each), so a tag of a
// million tiny frames costs it gigabytes however few of them it needs. A tag of at most
// MostFrames frames is left to the reader as it is. Of a tag with more, a tag of the same
// version is made of its first MostFrames frames, then the first frame of each kind the
// readers look up (texts, comment, picture) among the rest, in the order they stand: what
// the reader sees of the tag is bounded, and the texts a file shows are still found.
//
// The walk reads the frame headers only, and the bytes of the frames it keeps. It keeps what the
// readers need to read the kept frames the same way: a tag unsynchronised as a whole (v2.2,
// v2.3) is walked resynchronised and made without the flag; an extended header, padding and a
// footer are left out, as a checksum they may hold is no longer true of what is kept.
class Id3v2Trim
{
public:
    static const int MostFrames = 1024;

    // Reads bytes at an offset of the file; returns how many were read (fewer only at the end),
    // or -1 when reading fails or is to stop.
    using Source = std::function<qint64(qint64 offset, char* into, qint64 bytes)>;

    struct Result
    {
        // The bytes of the tag at the head of the file (header, body, footer); 0 when the file
        // does not start with an ID3v2 tag.
        qint64 tagBytes = 0;
        // The frames the walk went over (within mostBodyBytes).
        qint64 frames = 0;
        // True when the tag has more than MostFrames frames: `tag` is what stands for it.
        bool trimmed = false;
        QByteArray tag;
        // The source failed or stopped: nothing is known.
        bool failed = false;
    };

    // mostBodyBytes: how far into the tag's body the walk goes; frames beyond are not seen.
    static Result walk(const Source& source,
                       qint64 mostBodyBytes = std::numeric_limits<qint64>::max());

    // A source over bytes in memory (which must outlive it).
    static Source fromBytes(const QByteArray& bytes);
    // A source over an open descriptor, read with pread(); `stop`, when given, is asked before
    // each read.
    static Source fromDescriptor(int fd, const std::function<bool()>& stop = {});
};

#endif // ID3V2TRIM_H
