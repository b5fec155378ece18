#ifndef TRACKERLOGGING_H
#define TRACKERLOGGING_H

#include <QLoggingCategory>

// "parlovance.store": the SPARQL store, its connection and its queries.
Q_DECLARE_LOGGING_CATEGORY(lcStore)
// "parlovance.indexer": the file indexer (scans, tags, playlist files, embedded covers).
Q_DECLARE_LOGGING_CATEGORY(lcIndexer)

#endif // TRACKERLOGGING_H
