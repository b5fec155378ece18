#include "trackerlogging.h"

Q_LOGGING_CATEGORY(lcStore, "parlovance.store")
Q_LOGGING_CATEGORY(lcIndexer, "parlovance.indexer")
