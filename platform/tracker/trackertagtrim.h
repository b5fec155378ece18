#ifndef TRACKERTAGTRIM_H
#define TRACKERTAGTRIM_H

#include <QByteArray>
#include <QList>
#include <QString>

// Walks the tags of a file that TagLib reads besides ID3v2 (for which see Id3v2Trim): the
// header packets of an Ogg file (the Vorbis comment of a Vorbis, Opus or Speex stream, the
// metadata blocks of an Ogg FLAC stream), the Vorbis comment and metadata blocks of a FLAC file,
// and an APEv2 tag at the end of a file. TagLib builds an object of some hundred bytes
// for every field, item or block and a string for every text, so a comment of a million tiny
// fields, a FLAC file of a million tiny blocks or an APE tag of a million items costs it
// hundreds of megabytes to gigabytes, however few of them it needs.
//
// A tag of at most MostFields fields (items, blocks) and no text longer than MostTextBytes (every
// tag as taggers write them) is left as it is. Of any other, a tag of the same kind is
// made of its first MostFields fields, then the first of each field the reader looks up (the
// texts, the track and disc numbers, the date, the pictures) among the rest, in the order they
// stand, a longer text among them cut at MostTextBytes (a picture is kept whole); for a FLAC
// file, of its first MostFields blocks, then the first stream information, comment, picture
// and front cover among the rest. The walk reads the fields' headers (lengths and names) and
// the bytes of those it keeps; the file's audio is never read.
//
// What stands for a tag is a stretch of the file to be read as other bytes (TrackerTagStream):
// the header packets after the first of an Ogg file, paged anew (the pages of the audio after
// them keep their numbers, which TagLib does not check; of an Ogg FLAC stream's blocks only the
// ones TagLib reads are kept, the stream information and the last comment); the metadata blocks
// of a FLAC file; the whole APE tag. Ogg headers over the bound that cannot be paged anew in
// their place (a header packet sharing its page with the audio) are said to be `unbounded`.
class TrackerTagTrim
{
public:
    static constexpr int MostFields = 1024;
    static constexpr qint64 MostTextBytes = 64 * 1024;

    struct Stretch
    {
        qint64 offset;
        qint64 length;
        QByteArray bytes;
    };

    struct Result
    {
        // In the order they stand in the file; empty when every tag is left as it is.
        QList<Stretch> stretches;
        // What was bounded, for the log: "a Vorbis comment of 1390002 fields", ...
        QStringList bounded;
        // A tag over the bound that was not made anew: it is not to be read at all.
        bool unbounded = false;
    };

    // fd: the file open for reading (pread, the position is left alone); dataStart: where the
    // file's own data begins (after an ID3v2 tag at its head, 0 without one).
    static Result ogg(int fd);
    static Result flac(int fd, qint64 dataStart);
    static Result ape(int fd, qint64 dataStart);
};

#endif // TRACKERTAGTRIM_H
