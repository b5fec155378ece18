#ifndef STOREQUERIES_H
#define STOREQUERIES_H

// The SPARQL texts the player sends on the tracker connection, kept here once so that the code
// that sends them and the tests that run them against a real store read the same characters.
// Runs of blanks are part of the texts. %1, %2, %3 are filled in with QString::arg(); a text
// value goes in through TrackerSparql::escapeString() and a number as it is.
namespace StoreQueries {

const char* const MusicExists
    = R"( SELECT               tracker:id(?song)           WHERE           {               ?song a nmm:MusicPiece .           } LIMIT 1)";
const char* const SongByUrn
    = R"(SELECT             tracker:id(?song)          WHERE {             ?song a nmm:MusicPiece .             FILTER( ?song = <%1> )          })";
// The name and the URL as patterns, which the store looks up in their indexes: as a function in
// a FILTER they were read for every song (35 ms for one song at 50,000 songs).
const char* const SongByFileName
    = R"(SELECT         ?song         tracker:id(?song)     WHERE {         ?song a nmm:MusicPiece .         ?song nfo:fileName "%1" .     })";
const char* const SongByUrl
    = R"(SELECT           ?song           tracker:id(?song)       WHERE {           ?song a nmm:MusicPiece .           ?song nie:url "%1" .       })";
const char* const PositionRead
    = R"(SELECT         nfo:lastPlayedPosition(?song)      WHERE {         ?song a nmm:MusicPiece .         FILTER( tracker:id(?song) = %1)     })";
const char* const PositionDelete
    = R"(DELETE {           ?song nfo:lastPlayedPosition %1      } WHERE {         ?song a nmm:MusicPiece .         FILTER( tracker:id(?song) = %2)     })";
const char* const PositionInsert
    = R"(INSERT {          ?song nfo:lastPlayedPosition %1       } WHERE {         ?song a nmm:MusicPiece .         FILTER( tracker:id(?song) = %2)     })";
const char* const FileOfSong
    = R"(SELECT         nie:url(?song)     WHERE {         ?song a nmm:MusicPiece .         FILTER( tracker:id(?song) = %1)     })";
const char* const AlbumsOfSongsWithoutArtist
    = R"(SELECT             tracker:coalesce(nie:title(?album), "%1")          WHERE {              ?song a nmm:MusicPiece .              OPTIONAL{ ?song nmm:performer ?performer . }              OPTIONAL{ ?song nmm:musicAlbum ?album . }              FILTER( !bound(?performer) )          } GROUP BY ?album)";
// A row per album of the songs without an artist: the album's title (%1 for no album).
const int AlbumsOfSongsWithoutArtistTitle = 0;
const char* const PerformersOfSongsWithoutAlbum
    = R"(SELECT             GROUP_CONCAT(tracker:coalesce(nmm:artistName(?perf), "%1"), ')"
      "\t"
      R"(')          WHERE {              ?song a nmm:MusicPiece .              OPTIONAL{ ?song nmm:performer ?perf . }              OPTIONAL{ ?song nmm:musicAlbum ?album . }              FILTER( !bound(?album) )          } GROUP BY ?album)";
// Its one row: the performers of the songs without an album, one per song, TAB-joined.
const int PerformersOfSongsWithoutAlbumNames = 0;
// A song's own values are read from its triples and its linked resources' names through one
// pattern each, instead of a function per column: the store answers each function with a
// subquery over a copy of the class's table without an index, and a name of a linked resource
// (album, artist, disc) with such a subquery once for every row of another copy, so that the
// details of one song took from 0.2 to 13 s at 20,000 songs and 20 s at 50,000, the songs
// written last the longest. Now 1 to 25 ms: what is left is the one copy of the songs' table
// that the linked names still cost. A song has at most one value of each property, so the
// maximum of a column is that value, or unbound where the song has none.
const char* const SongDetails
    = R"(SELECT        ?song        tracker:id(?song)        MAX(IF(?p = nie:url, ?o, ?none))        MAX(IF(?p = nie:title, ?o, ?none))        MAX(IF(?p = nfo:fileName, ?o, ?none))        MAX(IF(?p = nmm:trackNumber, ?o, ?none))        tracker:coalesce(SAMPLE(?albumTitle), "%2")        tracker:coalesce(SAMPLE(?artistName), "%3")        MAX(IF(?p = nfo:genre, ?o, ?none))        MAX(IF(?p = nie:contentCreated, ?o, ?none))        SAMPLE(?lyricistName)        SAMPLE(?composerName)        MAX(IF(?p = nie:comment, ?o, ?none))        MAX(IF(?p = nmm:MPAARating, ?o, ?none))        SAMPLE(?discNumber)        MAX(IF(?p = nfo:fileSize, ?o, ?none))        MAX(IF(?p = nfo:duration, ?o, ?none))        MAX(IF(?p = nfo:averageBitrate, ?o, ?none))        MAX(IF(?p = nfo:sampleRate, ?o, ?none))        MAX(IF(?p = nie:usageCounter, ?o, ?none))        MAX(IF(?p = tracker:added, ?o, ?none))        MAX(IF(?p = nie:contentAccessed, ?o, ?none))        MAX(IF(?p = nfo:channels, ?o, ?none))        MAX(IF(?p = nie:copyright, ?o, ?none))        SAMPLE(?publisherName)        MAX(IF(?p = nfo:isContentEncrypted, ?o, ?none))              WHERE {        ?song a nmm:MusicPiece .        ?song ?p ?o .        FILTER(tracker:id(?song) = %1) .        OPTIONAL { ?song nmm:musicAlbum ?album . ?album nie:title ?albumTitle . }        OPTIONAL { ?song nmm:performer ?artist . ?artist nmm:artistName ?artistName . }        OPTIONAL { ?song nmm:lyricist ?lyricist . ?lyricist nmm:artistName ?lyricistName . }        OPTIONAL { ?song nmm:composer ?composer . ?composer nmm:artistName ?composerName . }        OPTIONAL { ?song nmm:musicAlbumDisc ?disc . ?disc nmm:setNumber ?discNumber . }        OPTIONAL { ?song nco:publisher ?publisher . ?publisher nco:fullname ?publisherName . }      } GROUP BY ?song)";
// The field each column of the song details answers, in column order.
const int SongDetailsColumns = 26;
const char* const SongDetailsFields[SongDetailsColumns] = {
    "urn",        "songId",   "uri",       "title",     "filename",   "tracknumber", "album",
    "artist",     "genre",    "year",      "writer",    "composer",   "comment",     "rating",
    "discnumber", "size",     "length",    "bitrate",   "samplerate", "playcount",   "created",
    "lastplayed", "channels", "copyright", "publisher", "drm",
};
const char* const DiscCount
    = R"(SELECT COUNT (?disc) WHERE { ?disc a nmm:MusicAlbumDisc . ?disc nmm:albumDiscAlbum ?title . ?title nie:title "%1" . } )";
// Its one column: the number of discs.
const int DiscCountDiscs = 0;
// Read from the song's triples, as in SongDetails: two functions had the store copy a table of
// every song's values first (30 ms at 50,000 songs).
const char* const SongUsage
    = R"(SELECT MAX(IF(?p = nie:usageCounter, ?o, ?none)) MAX(IF(?p = nie:contentAccessed, ?o, ?none)) WHERE { ?song a nmm:MusicPiece . ?song ?p ?o . FILTER(tracker:id(?song) = %1) . } GROUP BY ?song)";
// Its columns: how often the song was played, and when last.
const int SongUsagePlayCount = 0;
const int SongUsageLastPlayed = 1;
// The counts of the never played and the downloaded songs count what their lists show: the
// songs whose files are there (those of a folder that is away are kept, unavailable), with or
// without a known length. The encoder is a pattern, as in DownloadedExists.
const char* const NeverPlayedCountAndLength
    = R"(SELECT         COUNT(?song)         SUM(?duration)      WHERE      {         ?song a nmm:MusicPiece .         ?song tracker:available true .         OPTIONAL { ?song nie:usageCounter ?usage . }         FILTER( (!bound(?usage) || ?usage = 0) ) .         OPTIONAL { ?song nfo:duration ?duration . }      })";
const char* const DownloadedCountAndLength
    = R"(SELECT COUNT(?song) SUM(?duration) WHERE { ?song a nmm:MusicPiece . ?song tracker:available true . ?song nfo:encodedBy "Vaspe Music" . OPTIONAL { ?song nfo:duration ?duration . } })";
const char* const UserPlaylistsWithEntries
    = R"(SELECT          tracker:id(?playlist)          nie:title(?playlist)          GROUP_CONCAT(?entryUrl, ')"
      "\t"
      R"(')          WHERE {                  ?playlist a nmm:Playlist .                  ?playlist nfo:hasMediaFileListEntry ?entry .                  ?entry nfo:entryUrl ?entryUrl .                 FILTER( !EXISTS {?playlist nie:url ?url} )          } GROUP BY ?playlist)";
// The playlists among the given ones (%1: tracker ids, comma-separated) that list a song the
// store keeps, available or not: a playlist whose songs are only away is no stale namesake.
const char* const PlaylistsKeepingSongs
    = R"(SELECT tracker:id(?playlist) WHERE { ?playlist a nmm:Playlist . ?playlist nfo:hasMediaFileListEntry ?entry . ?entry nfo:entryUrl ?entryUrl . ?song nie:url ?entryUrl . ?song a nmm:MusicPiece . FILTER( tracker:id(?playlist) IN (%1) ) } GROUP BY ?playlist)";
const char* const DeletePlaylist
    = R"(DELETE { ?playlist a rdfs:Resource . }      WHERE { ?playlist a nmm:Playlist FILTER(tracker:id(?playlist) = %1) })";
const char* const AlbumExists
    = R"(SELECT         tracker:id(?album)     WHERE     {         ?album a nmm:MusicAlbum .         ?song nmm:musicAlbum ?album .         FILTER ( tracker:id(?album) = %1 )     } GROUP BY ?album)";
// A song's value is named as a pattern here, not as a function in a FILTER: the store answers
// such a function with a subquery over a copy of the class's table that has no index, once for
// every song, and the time grew with the square of the library (35 s at 50,000 songs).
const char* const ArtistExists
    = R"(SELECT             tracker:id(?performer)          WHERE {              ?song a nmm:MusicPiece .              ?song tracker:available true .              ?song nmm:performer ?performer .              FILTER( tracker:id(?performer) = %1 )          })";
// The pattern by which the existence checks below take only the songs whose files are there.
// The store keeps the songs of a folder that is not there (an unmounted disk) as unavailable,
// with everything the user gave them; an entry of the latest activities whose songs are only
// unavailable has not vanished, so the activity checks ask without it.
const char* const SongIsAvailable = "?song tracker:available true .";
const char* const AnySongExists
    = R"( SELECT               tracker:id(?song)           WHERE           {               ?song a nmm:MusicPiece .               ?song tracker:available true .           } LIMIT 1)";
const char* const PlaylistHasSongs
    = R"( SELECT               tracker:id(?playlist)           WHERE           {               ?playlist a nmm:Playlist .               ?playlist nfo:hasMediaFileListEntry ?entry .               ?entry nfo:entryUrl ?entryUrl .               ?song nie:url ?entryUrl .               ?song a nmm:MusicPiece .               ?song tracker:available true .               FILTER( tracker:id(?playlist) = %1 )            } GROUP BY ?playlist)";
const char* const RecentlyAddedExists
    = R"( SELECT               tracker:id(?song)           WHERE           {               ?song a nmm:MusicPiece .               ?song tracker:available true .               ?song tracker:added ?time .           } LIMIT 1)";
const char* const RecentlyPlayedExists
    = R"( SELECT               tracker:id(?song)           WHERE           {               ?song a nmm:MusicPiece .               ?song tracker:available true .               ?song nie:contentAccessed ?time .           } LIMIT 1)";
const char* const MostPlayedExists
    = R"( SELECT               tracker:id(?song)           WHERE           {               ?song a nmm:MusicPiece .               ?song tracker:available true .               ?song nie:usageCounter ?count .               FILTER( ?count > 0 )           } LIMIT 1)";
const char* const FavouriteExists
    = R"( SELECT               tracker:id(?song)           WHERE           {               ?song a nmm:MusicPiece .               ?song tracker:available true .               ?song nao:hasTag nao:predefined-tag-favorite .           } LIMIT 1)";
const char* const NeverPlayedExists
    = R"( SELECT               tracker:id(?song)           WHERE           {               ?song a nmm:MusicPiece .               ?song tracker:available true .               OPTIONAL { ?song nie:usageCounter ?usage . }               FILTER( (!bound(?usage) || ?usage = 0) ) .           } LIMIT 1)";
// The value as a pattern, as in ArtistExists (90 s at 50,000 songs as a FILTER).
const char* const DownloadedExists
    = R"( SELECT               tracker:id(?song)           WHERE           {               ?song a nmm:MusicPiece .               ?song tracker:available true .               ?song nfo:encodedBy "Vaspe Music" .           } LIMIT 1)";
// The time added as a pattern, as in ArtistExists (47 s at 50,000 songs as a FILTER).
const char* const SongsWithoutAlbumAddedSince
    = R"(SELECT              COUNT(?song)          WHERE {              ?song a nmm:MusicPiece .              ?song tracker:available true .              OPTIONAL { ?song nmm:musicAlbum ?album . }              ?song tracker:added ?added .              FILTER( !bound(?album) && ?added >= "%1" )          })";
const char* const SongWithoutAlbumExists
    = R"(SELECT tracker:id(?song) WHERE { ?song a nmm:MusicPiece . ?song tracker:available true . OPTIONAL{ ?song nmm:musicAlbum ?album } . FILTER( !bound( ?album ) ) } LIMIT 1)";
const char* const SongWithoutArtistExists
    = R"(SELECT              tracker:id(?song)         WHERE {              ?song a nmm:MusicPiece .              ?song tracker:available true .              OPTIONAL{ ?song nmm:performer ?performer . }              FILTER( !bound(?performer) )          } LIMIT 1)";

} // namespace StoreQueries

#endif // STOREQUERIES_H
