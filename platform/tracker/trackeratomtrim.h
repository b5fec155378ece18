#ifndef TRACKERATOMTRIM_H
#define TRACKERATOMTRIM_H

#include "trackertagtrim.h"

// Walks the atoms of an MP4 file as TagLib reads them: every atom from the file's start, into
// the atoms of the kinds it holds others in (moov, udta, meta, ilst, trak...), each made an object
// of some hundred bytes; of them the items of moov.udta.meta.ilst, each read whole and made a
// value for every data atom it holds. An ilst of a million tiny items or an item of a million
// values costs TagLib gigabytes, and atoms held in one another a million deep end the program
// (TagLib reads them by calling itself for each).
//
// An ilst of at most MostFields items and MostFields values together and no text longer than
// MostTextBytes (every ilst as taggers write it) is left as it is. Of any other, the items are its
// first ones up to MostFields items and values, then the first of each the reader looks up among
// the rest made of its first value (a text cut); the ilst stands in its place, and the sizes of
// the atoms that hold it are written anew. A file of more than MostAtoms atoms besides the items
// (some 20 MB for TagLib; a long file cut in fragments for streaming holds some 6 atoms for
// every 2 seconds, 60,000 in 5 hours), or of atoms held more than MostDepth deep, is `unbounded`.
class TrackerAtomTrim
{
public:
    static constexpr int MostAtoms = 100000;
    static constexpr int MostDepth = 32;

    static TrackerTagTrim::Result walk(int fd);
};

#endif // TRACKERATOMTRIM_H
