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
const char* const SongByFileName
    = R"(SELECT         ?song         tracker:id(?song)     WHERE {         ?song a nmm:MusicPiece .         FILTER( nfo:fileName(?song) = "%1" )     })";
const char* const SongByUrl
    = R"(SELECT           ?song           tracker:id(?song)       WHERE {           ?song a nmm:MusicPiece .           FILTER( nie:url(?song) = "%1" )       })";
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
const char* const SongDetails
    = R"(SELECT        ?song        tracker:id(?song)        nie:url(?song)        nie:title(?song)        nfo:fileName(?song)        nmm:trackNumber(?song)        tracker:coalesce(nie:title(nmm:musicAlbum(?song)), "%2")        tracker:coalesce(nmm:artistName(nmm:performer(?song)), "%3")        nfo:genre(?song)        nie:contentCreated(?song)        nmm:artistName(nmm:lyricist(?song))        nmm:artistName(nmm:composer(?song))        nie:comment(?song)        nmm:MPAARating(?song)        nmm:setNumber(nmm:musicAlbumDisc(?song))        nfo:fileSize(?song)        nfo:duration(?song)        nfo:averageBitrate(?song)        nfo:sampleRate(?song)        nie:usageCounter(?song)        tracker:added(?song)        nie:contentAccessed(?song)        nfo:channels(?song)        nie:copyright(?song)        nco:fullname(nco:publisher(?song))        nfo:isContentEncrypted(?song)              WHERE {        ?song a nmm:MusicPiece .        FILTER(tracker:id(?song) = %1) .      })";
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
const char* const SongUsage
    = R"(SELECT DISTINCT nie:usageCounter(?song) nie:contentAccessed(?song) WHERE { ?song a nmm:MusicPiece . FILTER(tracker:id(?song) = %1) . } )";
// Its columns: how often the song was played, and when last.
const int SongUsagePlayCount = 0;
const int SongUsageLastPlayed = 1;
const char* const NeverPlayedCountAndLength
    = R"(SELECT         COUNT(?song)         SUM(?duration)      WHERE      {         ?song a nmm:MusicPiece .         OPTIONAL { ?song nie:usageCounter ?usage . }         FILTER( (!bound(?usage) || ?usage = 0) ) .         ?song nfo:duration ?duration .      })";
const char* const DownloadedCountAndLength
    = R"(SELECT COUNT(?song) SUM(?duration) WHERE { ?song a nmm:MusicPiece . FILTER( nfo:encodedBy(?song) = "Vaspe Music" ) . ?song nfo:duration ?duration . })";
const char* const UserPlaylistsWithEntries
    = R"(SELECT          tracker:id(?playlist)          nie:title(?playlist)          GROUP_CONCAT(?entryUrl, ')"
      "\t"
      R"(')          WHERE {                  ?playlist a nmm:Playlist .                  ?playlist nfo:hasMediaFileListEntry ?entry .                  ?entry nfo:entryUrl ?entryUrl .                 FILTER( !EXISTS {?playlist nie:url ?url} )          } GROUP BY ?playlist)";
const char* const DeletePlaylist
    = R"(DELETE { ?playlist a rdfs:Resource . }      WHERE { ?playlist a nmm:Playlist FILTER(tracker:id(?playlist) = %1) })";
const char* const AlbumExists
    = R"(SELECT         tracker:id(?album)     WHERE     {         ?album a nmm:MusicAlbum .         ?song nmm:musicAlbum ?album .         FILTER ( tracker:id(?album) = %1 )     } GROUP BY ?album)";
// A song's value is named as a pattern here, not as a function in a FILTER: the store answers
// such a function with a subquery over a copy of the class's table that has no index, once for
// every song, and the time grew with the square of the library (35 s at 50,000 songs).
const char* const ArtistExists
    = R"(SELECT             tracker:id(?performer)          WHERE {              ?song a nmm:MusicPiece .              ?song tracker:available true .              ?song nmm:performer ?performer .              FILTER( tracker:id(?performer) = %1 )          })";
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
