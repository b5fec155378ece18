#ifndef QUINTAVEILPAGE_H
#define QUINTAVEILPAGE_H

#include "activity/activity.h"
#include "itemmenu.h"
#include "itemmenuhost.h"
#include "mafwtrackermodel.h"
#include "mapplicationpage.h"
#include "objectmenutype.h"
#include "pagewindow.h"
#include "common/parlovance.h"
#include "playoptions.h"

#include <QHash>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QSharedPointer>
#include <QVariant>

class FilterWidget;
class ListModel;
class LiveFilter;
class MAction;
class MList;
class MObjectMenu;
class NowPlayingButton;
class PagePlayer;
class QAbstractItemModel;
class TwinTurboSortFilterProxyModel;

// The base of every page. A page keeps the window that built it and asks it what PageWindow
// names: it shows pages and steps back through it, builds pages it leads to ahead, asks which
// page is in front (for the gestures it takes and the background it paints) and whether the
// window just went back, and follows the window's indexing notices. The page's own goToPage
// signal is how its parts and subclasses ask for a page; the base passes it on to the window.
// The window hands the navigation parameter on every show. The base wires the page's list
// (clicks, long taps), shows the now-playing toolbar button, decides which gestures the page
// consumes, and steps back when the page's list has emptied. Three parts do the rest, each
// behind the page's slots: PagePlayer starts playback and queues songs, ItemMenu is the
// long-tap menu with its actions (it asks the page only what ItemMenuHost names), LiveFilter is
// the keyboard side of the live filter.
class QuintaveilPage : public MApplicationPage, public ItemMenuHost
{
    Q_OBJECT

public:
    QuintaveilPage(PageWindow* owner, const QVariant& parameter);
    ~QuintaveilPage() override;

    PageWindow* ownerWindow() const { return owner; }
    bool isDeviceEmpty() const { return deviceEmpty; }
    void setDeviceEmpty(bool empty) { deviceEmpty = empty; }

    MList* pageList() const { return list; }
    ListModel* listAdapter() const { return listModel; }
    TwinTurboSortFilterProxyModel* liveFilterProxy() const { return filterProxy.data(); }
    FilterWidget* filterField() const;
    QSharedPointer<MafwTrackerModel> currentPageModel() const override { return pageModel; }
    NowPlayingButton* nowPlayingButton() const;
    // The page's object menu; null for a page without one.
    MObjectMenu* pageObjectMenu() const;

    // The page model's row of a list index: through the list adapter, then through the filter
    // proxy while a filter is set. -1 for an invalid index.
    int sourceRow(const QModelIndex& index) const override;
    QModelIndex listIndexOfSourceRow(int row) const override;
    // The first column whose header is the key; -1 when there is none or no model.
    static int columnForKey(const QAbstractItemModel* model, const QString& key);

    // Makes the live-filter field (once), a child of the central widget. Collection pages
    // call it while they finish their construction.
    void createFilterEdit();

    static void showSongsAddedBanner(int count);
    // A notice on whichever window is active; the banner deletes itself once it has gone.
    static void showInformationBanner(const QString& title);

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
    QHash<QString, QVariant> itemParameters(const QModelIndex& index) override;
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
    // of the page model: the subclass marks the special row right after the call.
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
    // latest activity is recorded then. A model without songs leaves the queue as it is.
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
    // Steps back when the page's list is empty, unless the page keeps itself (keepWhenEmpty)
    // or is not the one in front.
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
    // Ends every page's construction: the list, its clicks and long taps, the object menu of
    // the type, navigation through the window, the gestures the page takes.
    void setupPageConnections(ObjectMenuType type);
    // The now-playing button, and beside it the page's own toolbar action (a placeholder when
    // null).
    void addNowPlayingAction(MAction* action);

    // The row the object menu was just opened for is no item of the page's model.
    void markSpecialRow(ItemMenu::SpecialRow row, int id = -1, const QString& name = QString());
    // A page that gives a permission offers the delete entry only while it is permitted.
    void setDeletePermission(bool permitted);
    // The artist row of the object menu stands for the artist the page shows.
    void setArtistRowIsPageSubject(bool subject);
    // The long-tapped item as it stands in the list now: the stored row while it still holds
    // the item, else the row that holds the item's id now; invalid when the item is gone.
    QModelIndex longTappedItem() const;
    bool isPanning() const;

    void keyPressEvent(QKeyEvent* event) override;
    void tapAndHoldGestureEvent(QGestureEvent* event, QTapAndHoldGesture* gesture) override;
    void panGestureEvent(QGestureEvent* event, QPanGesture* gesture) override;
    void tapGestureEvent(QGestureEvent* event, QTapGesture* gesture) override;
    void swipeGestureEvent(QGestureEvent* event, QSwipeGesture* gesture) override;

    PageWindow* owner;
    MList* list = nullptr;
    ListModel* listModel = nullptr;
    QSharedPointer<TwinTurboSortFilterProxyModel> filterProxy;
    QSharedPointer<MafwTrackerModel> pageModel;
    bool deviceEmpty = false;
    // Set while the page shows an unknown-artist or unknown-album row: it never steps back.
    bool keepWhenEmpty = false;

private slots:
    void displayPageInWindow(Parlovance::ParlovancePages page, QVariant parameter = QVariant());
    void loadPageInWindow(Parlovance::ParlovancePages page);
    void goToPlayerView();
    void showHideNowPlayingButton();
    void hideObjectMenu();
    void handlePageListVisible();
    void judgeEmptyList();

private:
    // What the object menu asks of the page.
    void playSongs(QSharedPointer<MafwTrackerModel> songs, const QString& name,
                   Activity::ActivityType type, PlayOptions options, int trackerId) override;
    void queueSongs(QSharedPointer<MafwTrackerModel> songs, bool copy, int row) override;
    void openPage(Parlovance::ParlovancePages page, const QVariant& parameter) override;
    void leaveIfInFront() override;

    bool gestureAccepted(const QList<int>& pages) const;
    bool isInFront() const;

    PagePlayer* player;
    ItemMenu* itemMenu;
    LiveFilter* liveFilter;
    QPointer<NowPlayingButton> nowPlaying;
    bool emptyListJudgement = false; // a judgement of the list is due on the next turn
};

#endif // QUINTAVEILPAGE_H
