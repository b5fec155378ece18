#ifndef ITEMMENUHOST_H
#define ITEMMENUHOST_H

#include "activity/activity.h"
#include "common/parlovance.h"
#include "mafwtrackermodel.h"
#include "playoptions.h"

#include <QHash>
#include <QModelIndex>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

// What the long-tap menu may ask of the page it serves: the model behind the page's list and
// how the list's rows map onto it, what plays for an item, and playing, queueing and going to
// another page. What kind of page it is, the page tells the menu through its options.
class ItemMenuHost
{
public:
    virtual ~ItemMenuHost() = default;

    // The model whose items the list shows; null before the page has one.
    virtual QSharedPointer<MafwTrackerModel> currentPageModel() const = 0;
    // The model's row of a list index, through the list adapter and the live filter; -1 for an
    // invalid index.
    virtual int sourceRow(const QModelIndex& index) const = 0;
    // The other way: the list index that shows a row of the model; invalid when there is none.
    virtual QModelIndex listIndexOfSourceRow(int row) const = 0;
    // The songs of a collection item: "model", "trackerId", "name" and "type"; empty for a list
    // of songs.
    virtual QHash<QString, QVariant> itemParameters(const QModelIndex& index) = 0;

    // Replaces the play queue with the songs, recorded as the latest activity under the name.
    virtual void playSongs(QSharedPointer<MafwTrackerModel> songs, const QString& name,
                           Activity::ActivityType type, PlayOptions options, int trackerId)
        = 0;
    // Adds the songs (copied, or only one row of them) to the end of the play queue.
    virtual void queueSongs(QSharedPointer<MafwTrackerModel> songs, bool copy, int row) = 0;
    virtual void openPage(Parlovance::ParlovancePages page, const QVariant& parameter) = 0;
    // What the page shows was deleted: it steps back if it is the page in front.
    virtual void leaveIfInFront() = 0;
};

#endif // ITEMMENUHOST_H
