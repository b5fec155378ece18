#include "mafwlogging.h"

Q_LOGGING_CATEGORY(lcModels, "parlovance.models")
Q_LOGGING_CATEGORY(lcRenderer, "parlovance.playback.renderer")
