#ifndef ALBUMARTTYPE_H
#define ALBUMARTTYPE_H

// What a cover request is for: the cover of an album, or a picture of an artist made from the
// covers of the artist's albums. The numbers are passed by callers, so they are fixed.
namespace AlbumArtType {

enum ArtType {
    DefaultArt = -1, // whatever the loader asked was made for
    AlbumArt = 0,
    ArtistArt = 1
};

} // namespace AlbumArtType

#endif // ALBUMARTTYPE_H
