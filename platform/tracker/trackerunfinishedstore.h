#ifndef TRACKERUNFINISHEDSTORE_H
#define TRACKERUNFINISHEDSTORE_H

#include <QString>

// The library store as a first start cut short leaves it. The store library makes its database,
// tables and version in one transaction; a start ended before that transaction was written
// leaves files that every later open refuses, and that never held a song or a playlist.
//
// What the files hold is told from the files themselves: their kinds and sizes, and the log's
// own checksums, never from what SQLite or one header field makes of them. A few damaged bytes
// of a store with songs, favourites and playlists (a first page whose list of tables reads
// empty, a log whose commit cannot be read) so never make it look empty, and whatever is not
// provably empty is taken for a store that holds what the user made.
class TrackerUnfinishedStore
{
public:
    // Whether the store in directory holds nothing: the database no more than its first page,
    // its log no frame of a finished transaction, no rollback journal with a page in it, and
    // nothing else in the folder but what the store library makes beside them. Any file that
    // cannot be read, is not a regular file, or is not known is not empty.
    static bool holdsNothing(const QString& directory);

    // Removes the files of a store that holds nothing, so that the next open makes it again.
    // Cut off part-way, it leaves a store that still holds nothing.
    static bool clear(const QString& directory);
};

#endif // TRACKERUNFINISHEDSTORE_H
