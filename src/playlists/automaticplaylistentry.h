#ifndef AUTOMATICPLAYLISTENTRY_H
#define AUTOMATICPLAYLISTENTRY_H

#include <QSharedPointer>

#include "mafwtrackermodel.h"

// One automatic playlist: its tracker model (shared with whoever plays or shows it) and the
// query type it stands for. Equal when both are.
struct AutomaticPlaylistEntry
{
    QSharedPointer<MafwTrackerModel> model;
    int queryType = 0;

    bool operator==(const AutomaticPlaylistEntry& other) const
    {
        return model == other.model && queryType == other.queryType;
    }
};

#endif // AUTOMATICPLAYLISTENTRY_H
