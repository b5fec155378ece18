#ifndef SHOWNPLAYLISTNAME_H
#define SHOWNPLAYLISTNAME_H

#include <QString>

// The name a playlist is shown, played and remembered by, the same on every page and tile: a
// playlist file's name without its extension, anything else whole. Only the formats the
// library indexes as playlist files count as an extension (in any case), so a user's own name
// such as "Vol. 2", "Mr. Blue" or ".hidden" keeps every dot, and a name that is nothing but a
// dot and an extension (".m3u") stays as it is rather than becoming empty.
QString shownPlaylistName(const QString& name);

#endif // SHOWNPLAYLISTNAME_H
