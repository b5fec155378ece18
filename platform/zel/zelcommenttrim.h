#ifndef ZELCOMMENTTRIM_H
#define ZELCOMMENTTRIM_H

#include <QByteArray>
#include <QtGlobal>

#include <functional>

// A Vorbis comment (a vendor text, a count, then "NAME=value" fields, each behind its length) as
// the player hands it to GStreamer. GStreamer builds a tag list of every field of a comment (and
// copies it on its way through the pipeline), so a comment of a million tiny fields costs it
// hundreds of megabytes, however few of them the player takes. A comment of at most MostFields
// fields and no text longer than MostTextBytes (every comment as taggers write them) is left as
// it is. Of any other, a comment is made of the vendor text and the first MostFields fields,
// then the first of each field the player shows among the rest (ShownFields), in the order they
// stand; a longer text is cut at MostTextBytes where a character ends (a picture is kept whole,
// as a part of one is no picture). The bounds are the indexer's own (TrackerTagTrim), so the
// player's sheet shows what the library holds of such a file.
//
// A comment cut short, or whose lengths say more than its bytes hold, is made of the fields
// before the damage.
class ZelCommentTrim
{
public:
    static constexpr int MostFields = 1024;
    static constexpr qint64 MostTextBytes = 64 * 1024;

    // Takes the next `count` bytes into `into`, or passes over them when it is null; false when
    // fewer are left (or reading fails).
    using Reader = std::function<bool(char* into, qint64 count)>;

    struct Result
    {
        // Over the bound: `comment` is what stands for it.
        bool over = false;
        // The fields walked.
        qint64 fields = 0;
        QByteArray comment;
    };

    // left: the bytes the comment may take at most (the rest of its packet or block).
    static Result trim(const Reader& read, qint64 left);
    static Result trim(const QByteArray& bytes);
};

#endif // ZELCOMMENTTRIM_H
