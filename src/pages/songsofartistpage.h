#ifndef SONGSOFARTISTPAGE_H
#define SONGSOFARTISTPAGE_H

#include "pageframework/songpage.h"

// All the songs of one artist, grouped under the names of their albums, with a shuffle row
// above them. The albums-of-an-artist page opens it with "artist" (the name, which is the
// title and names what is played) and "artistId"; an id below 1 lists the songs without an
// artist. A tap on a song plays the artist's songs from there.
class SongsOfArtistPage : public SongPage
{
    Q_OBJECT

public:
    explicit SongsOfArtistPage(PageWindow* window);
    ~SongsOfArtistPage() override;

    int artistId() const { return shownSongs().trackerId; }
    CollectionViewShuffleWidget* shuffleWidget() const { return shuffleRow; }
};

#endif // SONGSOFARTISTPAGE_H
