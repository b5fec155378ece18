#include "logging.h"

Q_LOGGING_CATEGORY(lcShell, "parlovance.shell")
Q_LOGGING_CATEGORY(lcData, "parlovance.data")
Q_LOGGING_CATEGORY(lcPlayback, "parlovance.playback")
Q_LOGGING_CATEGORY(lcPages, "parlovance.pages")
Q_LOGGING_CATEGORY(lcPlaylists, "parlovance.playlists")
Q_LOGGING_CATEGORY(lcAlbumArt, "parlovance.albumart")
Q_LOGGING_CATEGORY(lcActivity, "parlovance.activity")
