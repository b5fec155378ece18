#ifndef TRACKERASFTRIM_H
#define TRACKERASFTRIM_H

#include "trackertagtrim.h"

// Walks the header of an ASF (WMA) file as TagLib reads it: the objects the header says it holds,
// among them the extended content descriptions and, inside the header extension, the metadata and
// metadata library objects, whose descriptors TagLib makes an attribute of each (some hundred
// bytes, and a text). A header of a million tiny descriptors (each object holds up to 65,535, and
// a header holds any number of objects) or of a million tiny objects costs it gigabytes.
//
// A header of at most MostFields objects (in itself and in its extension) and MostFields
// descriptors, none a text longer than MostTextBytes (every header as taggers write it), is left
// as it is. Of any other, the descriptors are the first MostFields and the first of each the
// reader looks up among the rest, a longer text cut; the objects past the first MostFields are
// left out but the first of each that TagLib reads (file and stream properties, the content
// description, the header extension). Each object made anew stands in its place, with its size
// and count written anew, and so does the header's own size and count. A header whose objects
// do not end where their sizes say (TagLib reads on where an object's own fields end) is not made
// anew: over the bound, it is `unbounded`.
class TrackerAsfTrim
{
public:
    static TrackerTagTrim::Result walk(int fd);
};

#endif // TRACKERASFTRIM_H
