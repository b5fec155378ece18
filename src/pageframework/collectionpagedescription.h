#ifndef COLLECTIONPAGEDESCRIPTION_H
#define COLLECTIONPAGEDESCRIPTION_H

#include "activity/activity.h"
#include "albumart/albumarttype.h"
#include "common/parlovance.h"
#include "mafwtrackermodel.h"
#include "objectmenutype.h"

#include <QList>
#include <QString>

#include <functional>

class AlbumArtLoader;
class CellPainter;
class QObject;

// What a page that lists one whole collection of the library is made of: the data that
// CollectionPageBase builds the page from. Columns are those of the model's family
// (modelcolumns.h).
struct CollectionPageDescription
{
    // Shown in the title header and the window's bar.
    QString title;
    // The shared model the page lists (ModelInstance), followed when it is made anew.
    MafwTrackerModel::QueryType queryType = MafwTrackerModel::NoList;
    // The model is asked for when the page first shows instead of when it is built: a page
    // that no one else needs loads nothing while the window builds it ahead.
    bool modelOnFirstShow = false;
    // The columns the live filter matches, and the column whose index letters group the rows.
    QList<int> searchColumns;
    int groupColumn = 1;
    // The rows are songs: the list marks the one that plays.
    bool songRows = false;
    // The page has covers of this kind, read in the "common" flavor by a loader of its own.
    bool covers = false;
    AlbumArtType::ArtType artType = AlbumArtType::AlbumArt;
    // Makes the page's row painter; covers is the page's loader, or null.
    std::function<CellPainter*(AlbumArtLoader* covers, QObject* parent)> painter;
    ObjectMenuType menuType = NoObjectMenu;
    // An item's songs (the query its id selects), played or queued from the menu and recorded
    // as this activity; NoList for a list of songs.
    MafwTrackerModel::QueryType itemSongs = MafwTrackerModel::NoList;
    Activity::ActivityType activityType = Activity::NoActivity;
    // Where an item's id and name stand in its row.
    int idColumn = 0;
    int nameColumn = 1;
    // The title of the row of the songs that have no such item (no album, no artist); empty
    // for a page without that row.
    QString unknownRowTitle;
    // Built by the window at the page's first show, ahead of the first tap.
    QList<Parlovance::ParlovancePages> nextPages;
};

#endif // COLLECTIONPAGEDESCRIPTION_H
