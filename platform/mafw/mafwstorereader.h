#ifndef MAFWSTOREREADER_H
#define MAFWSTOREREADER_H

#include "mafwstorecatalogue.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVector>

typedef struct _TrackerSparqlConnection TrackerSparqlConnection;

// Reads songs and playlists from the store for the catalogue, on a read thread. Songs and
// playlist files the store keeps as unavailable (tracker:available false: their folder is not
// there) are left out. Each property
// is read by a query of its own: the store joins one property at a time in time proportional
// to the songs asked for, where a query joining them all costs as much as the whole library.
class MafwStoreReader
{
public:
    struct Result
    {
        bool ok = true;
        // Songs in the store's title order (title, then tracker:id); those of resources() in
        // no particular order.
        QVector<MafwStoreSong> songs;
        // The names of the artists and albums the songs refer to, by tracker:id.
        QHash<int, QString> artistNames;
        QHash<int, QString> albumTitles;
        // Playlists read, complete with their entries.
        bool playlistsRead = false;
        QHash<int, MafwStorePlaylist> playlists;
        // Playlist files read that the store keeps while their folder is away: not among
        // playlists, and not gone either.
        QSet<int> unavailablePlaylists;
    };

    // The first songs in title order.
    static Result firstSongs(TrackerSparqlConnection* connection, int count);
    // Every song and playlist.
    static Result everything(TrackerSparqlConnection* connection);
    // The songs and playlists among the given resources (tracker:id to IRI); resources of
    // other kinds and those that no longer exist are left out.
    static Result resources(TrackerSparqlConnection* connection, const QHash<int, QString>& iris);
};

#endif // MAFWSTOREREADER_H
