#ifndef LOGGING_H
#define LOGGING_H

#include <QLoggingCategory>

// One logging category per area of the player, so one area's debug output can be turned on
// alone, e.g. QT_LOGGING_RULES="parlovance.playback.debug=true". The platform libraries
// declare their own categories beside their code.
Q_DECLARE_LOGGING_CATEGORY(lcShell)     // "parlovance.shell": start, window, services, settings
Q_DECLARE_LOGGING_CATEGORY(lcData)      // "parlovance.data": the library list models
Q_DECLARE_LOGGING_CATEGORY(lcPlayback)  // "parlovance.playback": the playback hub and queue
Q_DECLARE_LOGGING_CATEGORY(lcPages)     // "parlovance.pages": page framework and library pages
Q_DECLARE_LOGGING_CATEGORY(lcPlaylists) // "parlovance.playlists": the playlist pages
Q_DECLARE_LOGGING_CATEGORY(lcAlbumArt)  // "parlovance.albumart": covers and their loading
Q_DECLARE_LOGGING_CATEGORY(lcActivity)  // "parlovance.activity": latest activity

#endif // LOGGING_H
