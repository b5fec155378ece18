#ifndef ZELTAGTRIM_H
#define ZELTAGTRIM_H

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QtGlobal>

// Looks at a local file before GStreamer reads it, for the Vorbis comments that GStreamer parses
// whole before the player sees any tag: those of every stream of an Ogg file (Vorbis, Opus,
// Speex, FLAC, Theora and the other mappings whose comment oggdemux reads), read by the demuxer
// and again by the decoder; and those of a FLAC file's metadata blocks, read by flacparse. A
// comment over ZelCommentTrim's bound is made anew in its place; a file without one is not to be
// touched at all, and the player hands it to GStreamer as before.
//
// What stands for a comment is a stretch of the file to be read as other bytes (see
// ZelTrimmedSource). In an Ogg file, each page of the stream from the one where the comment
// begins to the one where it ends is a stretch: the same packets in the same order, the comment
// made anew, paged again on as many pages with the same sequence numbers (pages left over hold
// no segment), so that the demuxer finds the stream whole, with no page missing; pages of other
// streams between them are left as they are. In a FLAC file, the comment's block is one stretch.
//
// The walk reads what GStreamer would: the Ogg pages from the file's start as libogg takes them
// (a page whose checksum fails is skipped, a page out of sequence drops the packet it breaks),
// up to the first packet of each stream that is no header; the headers of every link of a chained
// file when its last page belongs to none of the first link's streams, as oggdemux looks for
// links then; the FLAC metadata blocks up to the one marked last. It reads the page headers and
// the bytes of the comments, never the audio.
class ZelTagTrim
{
public:
    struct Stretch
    {
        qint64 offset;
        qint64 length;
        QByteArray bytes;
    };

    struct Result
    {
        // In the order they stand in the file, none overlapping; empty for a file to be read as
        // it is.
        QList<Stretch> stretches;
        // What was bounded, for the log: "an Ogg Vorbis comment of 1390002 fields", ...
        QStringList bounded;
    };

    // fd: the file open for reading (read with pread, its position left alone).
    static Result examine(int fd);
};

#endif // ZELTAGTRIM_H
