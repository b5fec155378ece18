#include "touchlogging.h"

Q_LOGGING_CATEGORY(lcTouch, "parlovance.touch")
