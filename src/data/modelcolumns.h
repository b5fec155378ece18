#ifndef MODELCOLUMNS_H
#define MODELCOLUMNS_H

#include "mafwstorerowbuilder.h"

// Where each field stands in a row of the tracker models. Every model of one family lays its
// columns out alike (the songs of an album and the play queue as much as all songs), so code
// names a column by its family's map instead of looking a header up or writing a bare number.
// A list model serves column c of a row under the role Qt::UserRole + c.
//
// A map is a plain value whose defaults are the models' layout; a view over some other table
// is given a map of its own.

// Songs: query types 0 to 15 and 17, and the play queue (which serves the columns up to
// albumId only).
struct SongColumns
{
    int uri = 0;
    int title = 1;
    int artist = 2; // performers, TAB-joined
    int album = 3;
    int length = 4; // whole seconds
    int favorited = 5;
    int genre = 6;
    int year = 7; // a QDateTime
    int songId = 8;
    int albumId = 9;
    int artistId = 10;
    int trackNumber = 11;
    int usageCounter = 12;
    int added = 13;
    int url = 14;
    // Playlist song models only: the first column after the song columns, wherever the row
    // builder's list of them ends.
    int playlistId = MafwStoreRowBuilder::SongColumnCount;
};

// Albums: query types 100 to 103.
struct AlbumColumns
{
    int albumId = 0;
    int album = 1;
    int added = 2;
    int artist = 3; // the album's performers, TAB-joined, repeats kept
    int artistCount = 4;
    int year = 5;
    int length = 6;
    int songIds = 7;
    int trackCount = 8;
};

// Artists: query type 200.
struct ArtistColumns
{
    int artistId = 0;
    int artist = 1;
    int albums = 2; // the artist's album titles, TAB-joined
    int albumCount = 3;
    int albumId = 4; // the only album's id when there is one
    int songCount = 5;
};

// Playlists: query types 300 to 302 and the automatic playlists.
struct PlaylistColumns
{
    int playlistId = 0; // negative for the automatic playlists
    int name = 1;
    int added = 2;
    int trackCount = 3;
    int length = 4;
    int url = 5; // empty for the user's own playlists
};

#endif // MODELCOLUMNS_H
