#ifndef COLLECTIONPAGEBASE_H
#define COLLECTIONPAGEBASE_H

#include "collectionpagedescription.h"
#include "quintaveilpage.h"

#include <QPersistentModelIndex>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QVariant>

class AlbumArtLoader;
class ArtistContentItem;
class CellPainter;
class CollectionViewShuffleWidget;
class CollectionViewTitleWidget;
class MBasicLayoutAnimation;
class MLabel;
class MLayout;
class MLinearLayoutPolicy;
class MSeparator;
class QTimer;

// The base of the pages that list one whole collection of the library: all songs, the
// artists, the albums.
//
// How to write such a page:
// 1. Describe it in a CollectionPageDescription (title, the shared model's query type, the
//    columns the filter matches and the rows are grouped by, the painter of its rows, the
//    object menu, what an item's songs are, the unknown row, the pages to build ahead) and
//    hand the description to this constructor.
// 2. End the page's constructor with finishPageCreation(), the one place where every
//    collection page is put together; a page does not override it.
// 3. Implement handleFilterTextChanged(): usually filterList(text), plus whatever the page
//    keeps of the text.
// 4. Implement handleListItemClick(): what a tap on a row does. Call rememberOpenedRow()
//    with the row first when it opens a page, so the list comes back to it.
// 5. Where the page has an unknown row, connect unknownLabelClicked() and call
//    enableUnknownLabel() while songs without such an item exist.
//
// What the page gets for free: the page body (title header, shuffle row, the list, the
// unknown row, the live-filter field, the no-music and no-results texts) with its five
// arrangements (empty device, list, filter field without text, filter field with text, no
// results); the shared model bound through the live-filter proxy and the grouped list model,
// bound again whenever the model is made anew after a re-index; the painter told the filter
// text and, for songs, the playing song; covers of its own loader redrawn as they arrive;
// the object menu with play and queue of an item's songs (itemParameters) for item lists;
// the shuffle row playing the whole library; the list scrolled back to the row a user
// opened from a filtered list; the next pages built ahead.
class CollectionPageBase : public QuintaveilPage
{
    Q_OBJECT

public:
    enum LayoutState {
        EmptyDeviceState,
        ListState,
        FilterState,
        FilteredListState,
        NoResultsState
    };

    CollectionPageBase(PageWindow* owner, const QVariant& parameter,
                       const CollectionPageDescription& description);
    ~CollectionPageBase() override;

    const CollectionPageDescription& pageDescription() const { return description; }
    LayoutState layoutState() const;
    CollectionViewTitleWidget* titleWidget() const { return titleHeader; }
    CollectionViewShuffleWidget* shuffleWidget() const { return shuffleRow; }
    ArtistContentItem* unknownRow() const { return unknownItem; }
    MLabel* noMusicText() const { return noMusicLabel; }
    MLabel* noResultsText() const { return noResultsLabel; }
    QTimer* filterRemovalTimer() const { return removalTimer; }
    QString currentFilterText() const { return filterText; }
    CellPainter* rowPainter() const;
    AlbumArtLoader* coverLoader() const { return covers; }

public slots:
    void createContent() override;
    // Shows the filter field above the list while the list shows rows.
    void addFilterEdit() override;
    // Puts the page together from its description; runs once.
    void finishPageCreation(ObjectMenuType type = NoObjectMenu) override;
    // A list of the whole width; a SongList when the rows are songs.
    void createList() override;
    // The songs of an item of the list, for the menu's play and queue entries.
    QHash<QString, QVariant> itemParameters(const QModelIndex& index) override;

signals:
    void shuffleClicked();
    void unknownLabelClicked();

protected slots:
    // The live filter's text, 200 ms after the user's last edit.
    virtual void handleFilterTextChanged(QString text) = 0;
    virtual void createCollectionPage();
    // Binds the page to the shared model of the type, now and whenever it is made anew.
    void getModel(MafwTrackerModel::QueryType queryType);
    void switchPolicy();
    void chooseFilteringPolicy(bool haveFilteredResults);
    void enableEmptyDevicePolicy();
    void enableUnknownLabel(bool enabled);
    void unknownAlbumArtReadySlot(QPixmap pixmap, QVariant data);
    void openObjectMenuForUnknown();
    void handlePageAppearing();
    // Plays every song of the library, shuffled.
    void shufflePlay();

private slots:
    void setModel(MafwTrackerModel::QueryType type);
    void removeFilterEdit();
    void liveFilteringClearClicked();
    void handleFilterFocusChanged();
    void removeFilterEditFromLayout();
    void handleFilteredModelLayoutChange();
    void followFilteredRows();
    void scrollToOpenedRow();
    void preLoadNextPages();

protected:
    // Filters the list by the text and marks the matches in its rows; the layout follows the
    // results.
    void filterList(const QString& text);
    // The row of the list a user opens a page from: while filtered, the list comes back to it
    // the next time the page appears.
    void rememberOpenedRow(const QModelIndex& index);
    // Asks the page's model for its rows past the first batch; called as the page appears,
    // once the window has drawn the first rows.
    virtual void fetchRest();
    bool eventFilter(QObject* watched, QEvent* event) override;

    void keyPressEvent(QKeyEvent* event) override;
    void setShuffleWidgetModel();
    bool searchFieldHasFocus() const;

private:
    // Making the rest of a long list (thousands of albums) takes a while: the page's first
    // screen is drawn before it is asked for. The window's paints are watched from the
    // page's appearing on, while its model is incomplete.
    void watchFirstRowsDrawn();
    void fetchRestOnceDrawn();
    void fetchRestNow();
    void createCollectionLayout();
    void connectCollectionSignals();
    void updateNoResultsLabelStyle();
    void activate(MLinearLayoutPolicy* policy);
    void setFilteringPolicy();

    const CollectionPageDescription description;
    QString filterText;
    QPersistentModelIndex openedRow; // in the page's model
    bool scrollWaitsForFilter = false;
    bool created = false;
    QPointer<QWidget> drawingViewport; // watched until the rest is asked for
    bool rowsDrawn = false;
    bool restWanted = false;
    AlbumArtLoader* covers = nullptr;
    QPointer<QObject> painter;

    MLinearLayoutPolicy* emptyDevicePolicy = nullptr;
    MLinearLayoutPolicy* listPolicy = nullptr;
    MLinearLayoutPolicy* filterPolicy = nullptr;
    MLinearLayoutPolicy* filteredListPolicy = nullptr;
    MLinearLayoutPolicy* noResultsPolicy = nullptr;
    MLabel* noMusicLabel = nullptr;
    MLabel* noResultsLabel = nullptr;
    CollectionViewTitleWidget* titleHeader = nullptr;
    CollectionViewShuffleWidget* shuffleRow = nullptr;
    ArtistContentItem* unknownItem = nullptr;
    bool unknownRowShown = false;
    QTimer* removalTimer;
    int removalDelay = 5000;
    MLayout* collectionLayout = nullptr;
    AlbumArtLoader* unknownArtLoader = nullptr;
    MSeparator* filterSeparator = nullptr;
    MBasicLayoutAnimation* layoutAnimation = nullptr;
};

#endif // COLLECTIONPAGEBASE_H
