#ifndef ITEMPAGEDESCRIPTION_H
#define ITEMPAGEDESCRIPTION_H

#include "activity/activity.h"
#include "albumart/albumarttype.h"
#include "common/parlovance.h"
#include "mafwtrackermodel.h"
#include "objectmenutype.h"
#include "playoptions.h"

#include <QHash>
#include <QList>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

#include <functional>

class AlbumArtLoader;
class CellPainter;
class MCellCreator;
class QGraphicsItem;
class QModelIndex;
class QObject;
class SongPageInfoWidget;

// What a page that shows the songs or albums of one item (an album, an artist, a playlist) is
// made of: the data that SongPage builds the page from. Columns are those of the model's family
// (modelcolumns.h).
struct ItemPageDescription
{
    // The songs the navigation parameter names: the query, asked with one or two ids, and what
    // the page shows and records for them. The same value names the songs that the shuffle row
    // or the object menu plays when they are other than those listed.
    struct Songs
    {
        MafwTrackerModel::QueryType type = MafwTrackerModel::NoList;
        // The first batch asked of the factory (0: every row at once).
        int limit = 0;
        int id = 0;
        int secondId = 0;
        // A model that the parameter brings along, shown instead of asking the factory (an
        // automatic playlist's own, which the playlists page keeps current).
        QSharedPointer<MafwTrackerModel> model;
        // The item's id in the latest activities.
        int trackerId = 0;
        // Whatever else makes the page load its songs again although the query is the same
        // (null: nothing).
        QVariant detail;
        // The title header; a new one shows even when the songs stay.
        QString title;
        // The name that plays record and the queue goes by; empty: the title.
        QString playName;
        // How they are played, and what a play records (NoActivity: the description's).
        PlayOptions options;
        Activity::ActivityType activityType = Activity::NoActivity;
        // The parameter names songs that are no longer there (a playlist that went): the page
        // steps back instead of showing something that is none.
        bool gone = false;

        // The same songs: the page keeps them as they are.
        bool sameSongs(const Songs& other) const
        {
            return type == other.type && limit == other.limit && id == other.id
                   && secondId == other.secondId && model == other.model
                   && trackerId == other.trackerId && detail == other.detail;
        }
    };

    enum ShuffleRow {
        NoShuffleRow,
        // Under the panel, between a spacer and a divider.
        ShuffleRowWithDivider,
        // Under the panel, alone.
        ShuffleRowAlone,
        // Under the panel, the icon-and-title row of the collection pages over a divider.
        IconShuffleRowWithDivider
    };

    // The title header has a divider under it.
    bool titleSeparator = true;
    QString panelStyle = QStringLiteral("SongPageInfoPanel");
    // Makes the panel's picture and facts under the title when the first songs show; a tap on
    // its picture plays the songs from the start. Null: the panel has none.
    std::function<SongPageInfoWidget*(QSharedPointer<MafwTrackerModel> songs,
                                      QGraphicsItem* parent)>
        info;
    // Tells the panel's widget which songs it stands for, each time other songs have been
    // loaded (null: the widget needs nothing but the model).
    std::function<void(SongPageInfoWidget* panel, const Songs& shown)> infoShows;
    // The shuffle row plays the songs shuffled; it shows while there are two songs or more.
    ShuffleRow shuffleRow = NoShuffleRow;
    QString shuffleRowStyle = QStringLiteral("CommonSmallPanelInverted");
    // The songs the shuffle row plays instead of those listed (their type NoList: none); the
    // row then shows whatever the list holds. Null: the songs listed.
    std::function<Songs(const Songs& shown)> shuffleSongs;
    // The rows are songs: the list marks the one that plays. Else a plain list.
    bool songRows = true;
    // The list's style name; empty: the list keeps its own.
    QString listStyle;
    // The rows gather under the exact values of these columns, drawn by the header painter;
    // empty: one flat list.
    QList<int> groupColumns;
    std::function<MCellCreator*(QObject* parent)> groupHeader;
    // The page has covers of this kind, read in the "common" flavor by a loader of its own
    // that the painter is handed.
    bool covers = false;
    AlbumArtType::ArtType artType = AlbumArtType::AlbumArt;
    // Makes the row painter once with the page (covers: the page's loader, or null); null where
    // the page chooses its painter itself.
    std::function<CellPainter*(AlbumArtLoader* covers, QObject* parent)> painter;
    // A spacer closes the page under everything else.
    bool bottomSpacer = false;
    ObjectMenuType menuType = SongObjectMenu;
    // The menu's artist row stands for the artist the page shows.
    bool artistRowIsPageSubject = false;
    // The songs of a row that the object menu plays or queues, and the row's name and id in
    // them; null where the rows are songs themselves.
    std::function<Songs(const QModelIndex& row, const Songs& shown)> itemSongs;
    // The songs that a navigation parameter names (type NoList: none, the page stays as it is);
    // null where the page reads its parameter itself.
    std::function<Songs(const QHash<QString, QVariant>& parameter)> songs;
    // Songs the factory cannot give make the page step back; else it keeps what it showed.
    bool stepBackWithoutSongs = false;
    // What a tap or the shuffle row records as played.
    Activity::ActivityType activityType = Activity::NoActivity;
    // Built by the window at the page's first show, ahead of the first tap.
    QList<Parlovance::ParlovancePages> nextPages;
};

#endif // ITEMPAGEDESCRIPTION_H
