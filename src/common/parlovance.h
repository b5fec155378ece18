#ifndef PARLOVANCE_H
#define PARLOVANCE_H

#include <QMetaType>

namespace Parlovance {

// Page identifiers. The numbers travel in signals and are compared as ints, so they are fixed.
enum ParlovancePages : int {
    PageMain = 0,
    PageArtists = 1,
    PageAlbums = 2,
    PageAllSongs = 3,
    PageSongsOfAlbum = 4,
    PageAlbumsOfArtist = 5,
    PagePlaylists = 6,
    PageSongsOfPlaylist = 7,
    PageNowPlaying = 8,
    PageSongsOfArtist = 9,
    PageExtension = 10,
    PageSongDetails = 11,
    PageMusicStore = 12, // the store button's id; the factory builds the main page for it
    PageUsbNotice = 13
};

} // namespace Parlovance

Q_DECLARE_METATYPE(Parlovance::ParlovancePages)

#endif // PARLOVANCE_H
