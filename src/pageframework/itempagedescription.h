#ifndef ITEMPAGEDESCRIPTION_H
#define ITEMPAGEDESCRIPTION_H

#include "activity/activity.h"
#include "mafwtrackermodel.h"
#include "objectmenutype.h"

#include <QHash>
#include <QList>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

#include <functional>

class CellPainter;
class MCellCreator;
class QGraphicsItem;
class QObject;
class SongPageInfoWidget;

// What a page that shows the songs or albums of one item (an album, an artist, a playlist) is
// made of: the data that SongPage builds the page from. Columns are those of the model's family
// (modelcolumns.h).
struct ItemPageDescription
{
    // The songs the navigation parameter names: the query, asked with one or two ids, and what
    // the page shows and records for them.
    struct Songs
    {
        MafwTrackerModel::QueryType type = MafwTrackerModel::NoList;
        // The first batch asked of the factory (0: every row at once).
        int limit = 0;
        int id = 0;
        int secondId = 0;
        // The item's id in the latest activities.
        int trackerId = 0;
        // Whatever else makes the page load its songs again although the query is the same
        // (null: nothing).
        QVariant detail;
        // The title header; a new one shows even when the songs stay.
        QString title;

        // The same songs: the page keeps them as they are.
        bool sameSongs(const Songs& other) const
        {
            return type == other.type && limit == other.limit && id == other.id
                   && secondId == other.secondId && trackerId == other.trackerId
                   && detail == other.detail;
        }
    };

    enum ShuffleRow {
        NoShuffleRow,
        // Under the panel, between a spacer and a divider.
        ShuffleRowWithDivider,
        // Under the panel, alone.
        ShuffleRowAlone
    };

    // The title header has a divider under it.
    bool titleSeparator = true;
    QString panelStyle = QStringLiteral("SongPageInfoPanel");
    // Makes the panel's picture and facts under the title when the first songs show; a tap on
    // its picture plays the songs from the start. Null: the panel has none.
    std::function<SongPageInfoWidget*(QSharedPointer<MafwTrackerModel> songs,
                                      QGraphicsItem* parent)>
        info;
    // The shuffle row plays the songs shuffled; it shows while there are two songs or more.
    ShuffleRow shuffleRow = NoShuffleRow;
    QString shuffleRowStyle = QStringLiteral("CommonSmallPanelInverted");
    // The list's style name; empty: the list keeps its own.
    QString listStyle;
    // The rows gather under the exact values of these columns, drawn by the header painter;
    // empty: one flat list.
    QList<int> groupColumns;
    std::function<MCellCreator*(QObject* parent)> groupHeader;
    // Makes the row painter once with the page; null where the page chooses its painter itself.
    std::function<CellPainter*(QObject* parent)> painter;
    // A spacer closes the page under everything else.
    bool bottomSpacer = false;
    ObjectMenuType menuType = SongObjectMenu;
    // The songs that a navigation parameter names (type NoList: none, the page stays as it is);
    // null where the page reads its parameter itself.
    std::function<Songs(const QHash<QString, QVariant>& parameter)> songs;
    // What a tap or the shuffle row records as played.
    Activity::ActivityType activityType = Activity::NoActivity;
};

#endif // ITEMPAGEDESCRIPTION_H
