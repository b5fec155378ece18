#include "pagetable.h"

#include "mainwindow.h"
#include "pages/albumsofartistpage.h"
#include "pages/allsongspage.h"
#include "pages/extensionpage.h"
#include "pages/myalbumspage.h"
#include "pages/myartistspage.h"
#include "pages/parlovancemainpage.h"
#include "pages/songdetailview.h"
#include "pages/songsofalbumpage.h"
#include "pages/songsofartistpage.h"
#include "player/nowplayingpage.h"
#include "playlists/playlistcollectionpage.h"
#include "playlists/songsofplaylistpage.h"
#include "usbstatenoticepage.h"

using namespace Parlovance;

namespace {

// The library lists show their empty state at once when the library is known to be empty.
template <class Page>
MApplicationPage* makeList(MainWindow* window, bool deviceEmpty)
{
    return new Page(window, QVariant(deviceEmpty));
}

template <class Page>
MApplicationPage* make(MainWindow* window, bool)
{
    return new Page(window);
}

MApplicationPage* makeExtension(MainWindow* window, bool)
{
    return new ExtensionPage(window, QVariant());
}

// clang-format off
const PageTable::Row Rows[] = {
    // page                 make                               style name                        toolbar, shows at once
    { PageMain,             make<ParlovanceMainPage>,          "ParlovanceMainPage",             false, true  },
    { PageArtists,          makeList<MyArtistsPage>,           "ArtistsCollectionView",          true,  false },
    { PageAlbums,           makeList<MyAlbumsPage>,            "AlbumsCollectionView",           true,  false },
    { PageAllSongs,         makeList<AllSongsPage>,            "SongsCollectionView",            true,  false },
    { PageSongsOfAlbum,     make<SongsOfAlbumPage>,            "SongsOfAlbumCollectionView",     true,  false },
    { PageAlbumsOfArtist,   make<AlbumsOfArtistPage>,          "AlbumsOfArtistCollectionView",   true,  false },
    { PagePlaylists,        makeList<PlaylistCollectionPage>,  "PlaylistCollectionPage",         true,  false },
    { PageSongsOfPlaylist,  make<SongsOfPlaylistPage>,         "SongsOfPlaylistCollectionView",  true,  false },
    { PageNowPlaying,       make<NowPlayingPage>,              "AudioPlayerView",                false, true  },
    { PageSongsOfArtist,    make<SongsOfArtistPage>,           "SongsOfArtistCollectionView",    true,  false },
    { PageExtension,        makeExtension,                     "ExtensionSubView",               true,  false },
    { PageSongDetails,      make<SongDetailView>,              "SongDetailView",                 false, true  },
    { PageMusicStore,       make<ParlovanceMainPage>,          "ParlovanceMainPage",             false, false },
    { PageUsbNotice,        make<UsbStateNoticePage>,          nullptr,                          false, true  },
};
// clang-format on

// A number that names no page gets the main page too, but like any page but the main page it
// waits for the preloading.
const PageTable::Row Unknown = { PageMain, make<ParlovanceMainPage>, "ParlovanceMainPage", false,
                                 false };

} // namespace

const PageTable::Row& PageTable::row(ParlovancePages page)
{
    for (const Row& candidate : Rows) {
        if (candidate.page == page)
            return candidate;
    }
    return Unknown;
}
