#ifndef TRACKERCHUNKTRIM_H
#define TRACKERCHUNKTRIM_H

#include "trackertagtrim.h"

// Walks the chunks of a RIFF (WAV) or AIFF file as TagLib reads them: every chunk from the
// twelfth byte on, until one with a name of other than printable ASCII or longer than the file;
// of them TagLib parses the first "ID3 " (or "id3 ") chunk as an ID3v2 tag, and in a WAV file the
// first LIST chunk of INFO fields. TagLib keeps a record of every chunk, builds an object of some
// hundred bytes for every frame of the ID3v2 tag and a text for every INFO field, so a file of a
// million tiny chunks, frames or fields costs it hundreds of megabytes to gigabytes.
//
// A file of at most MostFields chunks, an ID3v2 tag that Id3v2Trim leaves as it is and INFO
// fields of at most MostFields fields and MostTextBytes a text (every file as taggers write them)
// is left as it is. Of any other, the chunks past the first MostFields are left out but the first
// of each that TagLib reads (the format and the audio's chunks, the tag's), the ID3v2 tag is the
// one Id3v2Trim makes, and the INFO fields are their first MostFields and the first of each the
// reader looks up among the rest, a longer text cut. Each stands in the chunk's place, its size
// written anew; the size of the whole file, which TagLib does not read, is left as it is.
class TrackerChunkTrim
{
public:
    enum Form { Wav, Aiff };

    static TrackerTagTrim::Result walk(int fd, Form form);
};

#endif // TRACKERCHUNKTRIM_H
