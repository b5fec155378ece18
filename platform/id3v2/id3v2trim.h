#ifndef ID3V2TRIM_H
#define ID3V2TRIM_H

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <functional>
#include <limits>

// Walks the frame headers of the ID3v2 tag at the head of a file, before a tag reader parses it.
// A reader builds objects for every frame of a tag (some hundred bytes each), so a tag of a
// million tiny frames costs it gigabytes however few of them it needs; it builds a string for
// every value of a text (a frame of a million one-letter values costs it gigabytes too) and
// four bytes for each of its characters; and it inflates a compressed frame whole, however
// large it unpacks (id3lib 3.8 does not read one at all: it crashes). A tag of at most
// MostFrames frames, none compressed and no text longer than MostTextBytes (every tag as
// taggers write them but the rare compressed one), is left to the reader as it is. Of any
// other, a tag of the same version is made of its first MostFrames frames, then the first frame
// of each kind the readers look up (texts, comment, picture) among the rest, in the order they
// stand; a longer text in them is cut at MostTextBytes, and a compressed frame is stored
// inflated, the frames of the tag together at most MostInflatedBytes once inflated (what is
// more is left out, or cut if it is a text). What the reader sees of the tag is bounded, and
// the texts a file shows are still found: the readers keep 4,000 characters of a text, 16,000
// bytes in any encoding.
//
// The walk reads the frame headers only, and the bytes of the frames it keeps. It keeps what the
// readers need to read the kept frames the same way: a tag unsynchronised as a whole (v2.2,
// v2.3) is walked resynchronised and made without the flag; an extended header, padding and a
// footer are left out, as a checksum they may hold is no longer true of what is kept. A frame
// that is cut or inflated is written plain (no compression, unsynchronisation or data length);
// one that is encrypted or in a group is left out instead, as no reader reads it.
class Id3v2Trim
{
public:
    static const int MostFrames = 1024;
    static const qint64 MostTextBytes = 64 * 1024;
    static const qint64 MostInflatedBytes = 16 * 1024 * 1024;

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
        // True when the tag is not left as it is: `tag` is what stands for it.
        bool trimmed = false;
        // Of the frames kept, those cut, inflated or left out for what they hold.
        int rewritten = 0;
        QByteArray tag;
        // The source failed or stopped: nothing is known.
        bool failed = false;
    };

    // mostBodyBytes: how far into the tag's body the walk goes; frames beyond are not seen.
    static Result walk(const Source& source,
                       qint64 mostBodyBytes = std::numeric_limits<qint64>::max());

    // A tag of the same version made of the first frame of each of `ids` alone, each written
    // plain (cut, inflated and with no flags, as above), for a reader that looks up only those
    // and would be put at risk by anything else a tag may hold (id3lib 3.8 crashes on a
    // compressed frame, and takes junk after the frames for more frames). `trimmed` is true and
    // `tag` holds it whenever the file starts with an ID3v2 tag.
    static Result firstFrames(const Source& source, const QList<QByteArray>& ids,
                              qint64 mostBodyBytes = std::numeric_limits<qint64>::max());

    // A source over bytes in memory (which must outlive it).
    static Source fromBytes(const QByteArray& bytes);
    // A source over an open descriptor, read with pread(); `stop`, when given, is asked before
    // each read.
    static Source fromDescriptor(int fd, const std::function<bool()>& stop = {});
};

#endif // ID3V2TRIM_H
