#ifndef SONGPAGE_H
#define SONGPAGE_H

#include "quintaveilpage.h"

class CellPainter;
class CollectionViewShuffleWidget;
class CollectionViewTitleWidget;
class MLayout;
class MLinearLayoutPolicy;
class MStylableWidget;
class MWidget;
class QGraphicsLinearLayout;

// The base of the pages that show the songs or albums of one item (an album, an artist, a
// playlist): an info panel with the title header on top and, below it, a header layout into
// which the page puts its header widgets and its list, a list of songs that marks the playing
// one.
//
// How to write such a page:
// 1. Its constructor: SongPage(true, owner), then finishPageCreation() with its object menu
//    type; that builds the list and wires it to the page (finishPageCreation is not
//    overridden).
// 2. createContent(): SongPage::createContent() first, then the page's own widgets: its
//    info widget and shuffle row in infoLayout, the list with addHeaderWidget(list),
//    anything below the list with insertHeaderWidget().
// 3. passParameterToPage(): work out the item from the parameter; when it is another one
//    than shown (or libraryUpdated() has come meanwhile), get its model from the factory and
//    showSongs(model); a painter of the model's family goes in with setRowPainter().
// 4. handleListItemClick(): usually play(index, pageModel, name, activity).
//
// What the page gets for free: the info panel with its title header and the page's layout;
// the songs shown through a flat list model, all of them asked for; the playing song marked
// in the rows; the shuffle row shown only while there is something to shuffle; the page
// stepping back when its list has emptied; the songs menu of the page base (queue, playlist,
// favourite, details, ring tone, delete) and its play requests.
class SongPage : public QuintaveilPage
{
    Q_OBJECT

public:
    SongPage(bool titleSeparator, MainWindow* owner);
    ~SongPage() override;

    // Puts the widget at the top of the header layout.
    void addHeaderWidget(MWidget* widget);
    // Puts the widget second in the header layout.
    virtual void insertHeaderWidget(MWidget* widget);

    CollectionViewTitleWidget* titleWidget() const { return titleHeader; }
    QGraphicsLinearLayout* headerLayoutOf() const { return headerLayout; }

public slots:
    void createList() override;
    void finishPageCreation(ObjectMenuType type) override;
    // The library was indexed anew: the next parameter loads again, whatever it names.
    void libraryUpdated() override;

protected slots:
    void createContent() override;
    // Flips the favourite flag of the song at the index the wrapper carries.
    void toggleFavorite(QObject* wrappedIndex);

protected:
    void ensureHeaderLayout();
    // Lists the model's songs from now on (the previous model is let go), asks for all of
    // them, and lets the shuffle row and the empty-list policy follow it.
    void showSongs(QSharedPointer<MafwTrackerModel> model);
    // Draws the rows with the painter from now on (it is told the playing song).
    void setRowPainter(CellPainter* painter);
    // Below the info widget: a spacer, the shuffle row (made here, kept in shuffleRow) and a
    // divider; call after createContent() has added the page's info widget.
    void addShuffleRowWithDivider();

    QGraphicsLinearLayout* headerLayout = nullptr;
    QGraphicsLinearLayout* infoLayout = nullptr;
    CollectionViewTitleWidget* titleHeader = nullptr;
    CollectionViewShuffleWidget* shuffleRow = nullptr;
    MStylableWidget* infoPanel = nullptr;
    MLinearLayoutPolicy* pagePolicy = nullptr;
    bool titleSeparator;
    // Set until the first load and again by libraryUpdated().
    bool reloadNeeded = true;
};

#endif // SONGPAGE_H
