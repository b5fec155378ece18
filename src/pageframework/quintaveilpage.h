#ifndef QUINTAVEILPAGE_H
#define QUINTAVEILPAGE_H

#include "activity/activity.h"
#include "mafwtrackermodel.h"
#include "mapplicationpage.h"
#include "objectmenutype.h"
#include "common/parlovance.h"
#include "playoptions.h"

#include <QHash>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QSharedPointer>
#include <QVariant>

class DeleteObjectDialog;
class FilterWidget;
class ListModel;
class MAction;
class MainWindow;
class MList;
class MObjectMenu;
class MPannableViewport;
class NowPlayingButton;
class PlayState;
class QAbstractItemModel;
class TwinTurboSortFilterProxyModel;

// The base of every page. A page talks to its window only through its navigation signals and
// gets the navigation parameter on every show. The base wires the page's list (clicks, long
// taps), starts playback and queues songs through the playback hub, runs the keyboard live
// filter, shows the now-playing toolbar button, decides which gestures the page consumes, and
// steps back when the page's list has emptied.
class QuintaveilPage : public MApplicationPage
{
    Q_OBJECT

public:
    QuintaveilPage(MainWindow* owner, const QVariant& parameter);
    ~QuintaveilPage() override;

    MainWindow* ownerWindow() const;
    bool isDeviceEmpty() const;
    void setDeviceEmpty(bool empty);

    MList* pageList() const { return list; }
    ListModel* listAdapter() const { return listModel; }
    FilterWidget* filterField() const;
    QSharedPointer<MafwTrackerModel> currentPageModel() const { return pageModel; }
    NowPlayingButton* nowPlayingButton() const;
    // The page's object menu; null for a page without one.
    MObjectMenu* pageObjectMenu() const;

    // The page model's row of a list index: through the list adapter, then through the filter
    // proxy while a filter is set. -1 for an invalid index.
    int sourceRow(const QModelIndex& index) const;
    // The first column whose header is the key; -1 when there is none or no model.
    static int columnForKey(const QAbstractItemModel* model, const QString& key);
    // Every column of the model by its header text, as the cell creators read them.
    static QHash<QString, int> columnTable(const QAbstractItemModel* model);

    // Makes the live-filter field (once), a child of the central widget. Collection pages
    // call it while they finish their construction.
    void createFilterEdit();

    void showSongsAddedBanner(int count);

    // While the window is a thumbnail in the task switcher every page but the player paints
    // the shared, pre-scaled background instead of letting the theme draw its own.
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
               QWidget* widget = nullptr) override;

public slots:
    // Called by the window on every show of the page; the base does nothing.
    virtual void passParameterToPage(QVariant parameter);
    // Called once by the window's page factory: adds the now-playing toolbar button.
    virtual void createToolbarActions();
    // Called by the window on every cached page after the library was indexed anew.
    virtual void libraryUpdated();
    // Makes the page's list and keeps it in the list member; the base makes none.
    virtual void createList();
    // The model-query parameters of a collection item ("model", "trackerId", "name", "type");
    // the base has none.
    virtual QHash<QString, QVariant> itemParameters(const QModelIndex& index);
    virtual void handleAddToQueue();
    // Offers the long-tapped item (or the marked special row) to a playlist of the user's.
    virtual void handleAddToPlaylist();
    // Marks the long-tapped song as a favourite, or unmarks it.
    virtual void handleMarkAsFavourite();
    // Opens the song details of the long-tapped song.
    virtual void handleViewDetails();
    virtual void handlePlay();
    virtual void handleAlbumArtReady(QPixmap pixmap, QVariant data);
    virtual void updateListAlbumArts();
    // Makes the song of the index (the long-tapped one when invalid) the ringing tone.
    virtual void setAsRingtone(const QModelIndex& index = QModelIndex());
    virtual void handleListItemClick(const QModelIndex& index);
    // Opens the object menu for a list row. An invalid index stands for a row that is no item
    // of the page model: the subclass sets one special-item marker right after the call.
    virtual void handleListItemLongTap(const QModelIndex& index, const QPointF& position);
    virtual void finishPageCreation(ObjectMenuType type) = 0;
    // Plays an item of the page's own list; only the songs-of-album page has one.
    virtual void play(const QModelIndex& index, bool shuffle = false);
    virtual void startSongPlayback();
    virtual void onPanningStarted();
    virtual void onPanningStopped();
    // Shows the live-filter field; the collection pages place it.
    virtual void addFilterEdit();
    virtual void handlePageAppeared();

    // Replaces the play queue with the model and starts it at the index's row (a row of the
    // list adapter; without one at the start position, else at the top). Playback begins once
    // the page has left for the now-playing page, or at once with PlayWithoutPlayerView; the
    // latest activity is recorded then.
    void play(const QModelIndex& index, QSharedPointer<QAbstractItemModel> model,
              QString playlistName, Activity::ActivityType activityType,
              PlayOptions options = PlayOptions(), int activityTrackerId = 0,
              int startPosition = -1);
    // Adds the model (or a copy of one row of it, -1 all rows) to the end of the play queue.
    void appendToQueue(QSharedPointer<MafwTrackerModel> model, bool createCopy = false,
                       int row = -1);

    void displayPreviousPageInWindow();
    void showPage(int targetPage);
    void showIndexingBanner();
    void setPositionIndicatorStyle();
    void connectEmptyViewHandling();
    void handleEmptyView();

    // Asks whether to delete the item (type 400: nothing) and deletes it on Yes.
    void deleteFromLibrary(MafwTrackerModel::QueryType type, int trackerId, QString name);

    void enableKeyboardFiltering(bool enable = true);
    void enableFilteringOnDisplayEnter();
    void disableFilteringOnDisplayExit();

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant optionalParameter = QVariant());
    void preLoadPage(Parlovance::ParlovancePages page);
    void goBack();
    void filterTextChanged(QString text);
    void filteringStarted();
    void filteringStopped();
    void goingBack();

protected:
    // Ends every page's construction: the list, its clicks and long taps, navigation through
    // the window, the gestures the page takes.
    void setupPageConnections(ObjectMenuType type);
    // The now-playing button, and beside it the page's own toolbar action (a placeholder when
    // null).
    void addNowPlayingAction(MAction* action);

    // The object menu of the type, kept for the life of the page; none for type 0.
    void createObjectMenu(ObjectMenuType type);
    // Adapts the menu to the long-tapped row: the favourite text, the delete entry on the
    // playlists page.
    void updateObjectMenuActions(const QModelIndex& index);
    // The long-tapped item as it stands in the list now: the stored row while it still holds
    // the item, else the row that holds the item's id now; invalid when the item is gone.
    QModelIndex longTappedItem() const;

    void keyPressEvent(QKeyEvent* event) override;
    void tapAndHoldGestureEvent(QGestureEvent* event, QTapAndHoldGesture* gesture) override;
    void panGestureEvent(QGestureEvent* event, QPanGesture* gesture) override;
    void tapGestureEvent(QGestureEvent* event, QTapGesture* gesture) override;
    void swipeGestureEvent(QGestureEvent* event, QSwipeGesture* gesture) override;

    MainWindow* owner;
    QPointer<FilterWidget> filterEdit;
    QPointer<MObjectMenu> objectMenu;
    MList* list = nullptr;
    ListModel* listModel = nullptr;
    QSharedPointer<TwinTurboSortFilterProxyModel> filterProxy;
    QSharedPointer<MafwTrackerModel> pageModel;
    PlayState* playState;

    // The item of the open object menu, and the rows that are no item of the page model.
    QPersistentModelIndex longTappedIndex;
    bool unknownArtistItem = false;
    bool unknownAlbumItem = false;
    bool unknownAlbumOfArtistItem = false;
    bool artistItem = false;
    int specialItemId = -1;
    QString specialItemName;
    // On the playlists page the delete entry is offered only while set.
    bool deletePermission = true;
    QPointer<MAction> deleteAction;

    bool deviceEmpty = false;
    // Set while the page shows an unknown-artist or unknown-album row: it never steps back.
    bool keepWhenEmpty = false;
    bool panning = false;

    QString setAsRingtoneText;
    QString addToQueueText;
    QString favoriteText;
    QString unmarkFavoriteText;
    QString detailsText;
    QString playText;
    QString deleteText;
    QString notAllIndexedText;

private slots:
    void displayPageInWindow(Parlovance::ParlovancePages page, QVariant parameter = QVariant());
    void goToPlayerView();
    void showHideNowPlayingButton();
    void hideObjectMenu();
    void setupPlayback();
    void handleFilterTextChange();
    void sendChangedFilterText();
    void handlePageListVisible();
    void showLiveFilterBox(const QPointF& position);
    void showAddToQueueBannerAfterModelIsCompleted();
    void handleSongsAddedToPlaylist(int count);
    void handleQueueSongCount(int count);
    void handleDeleteObject(const QModelIndex& index = QModelIndex());
    void processDeleteDialogResult(int resultCode);

private:
    bool gestureAccepted(const QList<int>& pages) const;
    // The songs of the marked special row, with the name and activity it is played under.
    QSharedPointer<MafwTrackerModel> specialItemModel(QString* name,
                                                      Activity::ActivityType* type) const;
    bool isSpecialItem() const;
    void waitForQueueRows();
    void stopWaitingForQueueRows();
    QString activityName() const;
    void showObjectMenu();
    // The id column of the page model's items ("songId", "albumId", ...); empty for none.
    QString itemIdKey() const;
    int itemIdAt(const QModelIndex& index) const;
    // The list index of a row of the page model; invalid when the list does not show it.
    QModelIndex listIndexOfSourceRow(int row) const;
    // The id of the long-tapped song; 0 when there is none.
    int longTappedSongId() const;
    // A cell of a list row, read from the index's own model.
    QVariant itemCell(const QModelIndex& index, int column) const;

    // The long-tapped item's id, read when it was tapped.
    int longTappedId = 0;

    // The pending delete request and the dialog that asks for it.
    int deleteTrackerId = 0;
    MafwTrackerModel::QueryType deleteQueryType = MafwTrackerModel::NoList;
    QPointer<DeleteObjectDialog> deleteDialog;

    // The pending play request.
    QPersistentModelIndex playIndex;
    bool playIndexGiven = false;
    QWeakPointer<QAbstractItemModel> playModel;
    bool playModelCopied = false;
    int playRow = 0;
    bool stayOnPage = false;
    bool shuffleOption = false;
    Activity::ActivityType activityType = Activity::NoActivity;
    int activityTrackerId = -1;
    QString playlistName;
    int startPosition = -1;

    QPointer<QObject> viewport; // the viewport being followed; held as a QObject, it may be mid-destruction
    QPointF lastViewportPosition;
    bool keyboardFiltering = false;
    bool filterSendPending = false;
    QPointer<NowPlayingButton> nowPlaying;
};

#endif // QUINTAVEILPAGE_H
