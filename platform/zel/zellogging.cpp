#include "zellogging.h"

Q_LOGGING_CATEGORY(lcPlayControl, "parlovance.playback.controller")
