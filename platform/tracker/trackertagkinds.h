#ifndef TRACKERTAGKINDS_H
#define TRACKERTAGKINDS_H

#include "trackertagstream.h"

#include <QByteArray>
#include <QStringList>

#include <taglib/tfile.h>

#include <memory>

namespace TagLib {
namespace ID3v2 {
class FrameFactory;
}
} // namespace TagLib

// The kinds of audio file the indexer hands TagLib, each with the bound of what TagLib parses of
// its tags. TagLib builds an object for every field of a tag and a text for every value, so a tag
// of a million tiny fields costs it gigabytes whatever the file's kind; no kind is read without
// its bound. A file's kind is found as TagLib's FileRef finds it (by its name's suffix, then by
// its content in TagLib's order), and the file is read only as a kind of this list: a kind TagLib
// may learn later is not read until it is given a bound here.
//
// Each kind's tags are walked before TagLib reads them, and what is over the bound is made anew
// in its place (Id3v2Trim, TrackerTagTrim, TrackerChunkTrim, TrackerAtomTrim, TrackerAsfTrim): the
// ID3v2 tag wherever TagLib looks for it (at the head, after junk before an MPEG file's first
// frame, in a RIFF or AIFF chunk), the Vorbis comment of every Ogg mapping and of FLAC, FLAC
// metadata blocks, APE tags, MP4 items, ASF descriptors, RIFF chunks and INFO fields. A tag over
// the bound that cannot be made anew where it stands is not handed to TagLib at all: the file is
// `unbounded`, known by its name alone.
class TrackerTagKinds
{
public:
    // TagLib's names of the kinds, in the order it looks at a file's content.
    static QStringList names();

    struct Opened
    {
        // Declared before the file, which reads through it and goes first.
        std::unique_ptr<TrackerTagStream> stream;
        std::unique_ptr<TagLib::File> file; // null when no kind reads the file
        QString kind;
        // What was bounded, for the log.
        QStringList bounded;
        bool unbounded = false;
    };

    // Opens the file open at fd as TagLib would, its tags bounded; `name` gives the suffix. An
    // MPEG file (named .mp3, .mp2 or .aac) is read with `mpegFrames`.
    static Opened open(int fd, const QByteArray& name, TagLib::ID3v2::FrameFactory* mpegFrames);
    // The same, as the kind of the given name alone (for tests of each kind's bound).
    static Opened openAs(const QString& kind, int fd, const QByteArray& name);
};

#endif // TRACKERTAGKINDS_H
