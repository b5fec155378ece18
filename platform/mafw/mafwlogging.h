#ifndef MAFWLOGGING_H
#define MAFWLOGGING_H

#include <QLoggingCategory>

// "parlovance.models": the tracker models, their factory and the store catalogue.
Q_DECLARE_LOGGING_CATEGORY(lcModels)
// "parlovance.playback.renderer": the renderer and the shared playlists.
Q_DECLARE_LOGGING_CATEGORY(lcRenderer)

#endif // MAFWLOGGING_H
