#ifndef SONGSELECTIONSHEET_H
#define SONGSELECTIONSHEET_H

#include "msheet.h"

#include <QItemSelection>
#include <QList>
#include <QPersistentModelIndex>
#include <QSharedPointer>

class FilterWidget;
class ListModel;
class MButton;
class MLabel;
class SongList;
class AllSongsCellCreator;
class MPannableViewport;
class MafwTrackerModel;
class TwinTurboSortFilterProxyModel;

// Picks songs from a filterable list grouped by title letter, for one of three ends:
//   mode 0 (Save): the chosen songs go into a new playlist, named on the save sheet;
//   mode 1 (Add): they are added to the playlist model, which hides the songs it holds;
//   mode 2 (Remove): the chosen rows of the playlist (also the songs list, listed by title)
//   are removed.
// A choice is one row of the songs model, kept whatever the filter shows: a song hidden by
// the filter stays chosen, and of a song the playlist holds twice only the chosen entry goes.
// Accept is enabled while something is chosen. Accept and Cancel both end the sheet; its
// results leave through the playlist worker or the save sheet, never back to its opener.
class SongSelectionSheet : public MSheet
{
    Q_OBJECT

public:
    enum Mode { SaveMode = 0, AddMode = 1, RemoveMode = 2 };

    explicit SongSelectionSheet(int mode);
    ~SongSelectionSheet() override;

    // Called once, before the sheet is shown: the songs to offer and, in modes 1 and 2, the
    // playlist acted upon (see the class comment).
    void setModels(QSharedPointer<MafwTrackerModel> songs,
                   QSharedPointer<MafwTrackerModel> playlist);
    void setMode(int mode);

    MButton* acceptButton() const { return accept; }
    MButton* cancelButton() const { return cancel; }
    FilterWidget* filterWidget() const { return filter; }
    SongList* songList() const { return list; }
    // The song ids chosen, in the order chosen.
    QList<int> selectedSongIds() const;

private slots:
    void okClicked();
    void resetSheet();
    void selectionChangedSlot(const QItemSelection& selected, const QItemSelection& deselected);
    void updateSelections();
    void showChoicesAgain();
    void handleFilterTextChange();
    void fetchRest();
    void handlePlaylistRowsInserted(QModelIndex parent, int start, int end);
    void handlePlaylistRowsAboutToBeRemoved(QModelIndex parent, int start, int end);
    void panningStartedSlot();
    void handleFilterFocused(Qt::FocusReason reason);

private:
    // The row of the songs model that a list item shows.
    QPersistentModelIndex songsIndexOf(const QModelIndex& listIndex) const;
    int songIdOf(const QModelIndex& songsIndex) const;
    void applyExcludedIds();
    void updateAcceptButton();

    int mode;
    MButton* accept;
    MButton* cancel;
    MLabel* title;
    FilterWidget* filter;
    SongList* list;
    AllSongsCellCreator* painter = nullptr;
    QString filterText;
    ListModel* listModel;
    QSharedPointer<TwinTurboSortFilterProxyModel> proxy;
    QSharedPointer<MafwTrackerModel> songsModel;
    QSharedPointer<MafwTrackerModel> playlistModel;
    QList<int> excludedIds;
    // The chosen rows of the songs model, in the order chosen, each once.
    QList<QPersistentModelIndex> selectedRows;
    bool rebuildingSelection = false;
    bool focusScrolling = false;
    MPannableViewport* viewport;
};

#endif // SONGSELECTIONSHEET_H
