#ifndef SONGPAGE_H
#define SONGPAGE_H

#include "itempagedescription.h"
#include "quintaveilpage.h"

class AlbumArtLoader;
class CellPainter;
class CollectionViewShuffleWidget;
class CollectionViewTitleWidget;
class MLayout;
class MLinearLayoutPolicy;
class MStylableWidget;
class MWidget;
class QGraphicsLinearLayout;
class SongPageInfoWidget;

// The base of the pages that show the songs or albums of one item (an album, an artist, a
// playlist): an info panel with the title header on top and, below it, a header layout that
// holds the page's list. A page is described by an ItemPageDescription (the songs its parameter
// names, the panel, the shuffle row, the list and its painter, the menu, the activity); the base
// builds and runs what the description says.
//
// How to write such a page:
// 1. Its description, and a constructor that is SongPage(description, owner), then
//    finishPageCreation(); that builds the list and wires it to the page.
// 2. Only what no description says: createContent() calls SongPage::createContent() first,
//    then adds the page's own widgets (anything below the list goes into headerLayout);
//    songsShown() follows the songs the parameter loaded; handleListItemClick() is overridden
//    where a tap opens a page instead of playing.
//
// What the page gets for free: the info panel with its title header and the page's layout;
// the songs the parameter names loaded when they are other than shown (or after
// libraryUpdated()), shown through a list model, all of them asked for; the playing song marked
// in song rows; the row painter with the page's covers; the shuffle row shown only while there
// is something to shuffle; a tap playing the songs from its row and the shuffle row playing
// them (or the description's shuffle songs) shuffled, recorded as the description's activity;
// the object menu of the description's type, with the songs of a row it plays; the page
// stepping back when its list has emptied; the pages it leads to built ahead.
class SongPage : public QuintaveilPage
{
    Q_OBJECT

public:
    SongPage(const ItemPageDescription& description, PageWindow* owner);
    ~SongPage() override;

    // Puts the widget at the top of the header layout.
    void addHeaderWidget(MWidget* widget);
    // Puts the widget second in the header layout.
    void insertHeaderWidget(MWidget* widget);

    CollectionViewTitleWidget* titleWidget() const { return titleHeader; }
    QGraphicsLinearLayout* headerLayoutOf() const { return headerLayout; }

    const ItemPageDescription& pageDescription() const { return description; }
    // The painter the description made; null where the page chooses its own.
    CellPainter* rowPainter() const { return painter; }

public slots:
    void createList() override;
    void finishPageCreation(ObjectMenuType type) override;
    // Ends the construction with the description's object menu.
    void finishPageCreation();
    // The library was indexed anew: the next parameter loads again, whatever it names.
    void libraryUpdated() override;
    // Loads the songs that the parameter names, as the description reads them.
    void passParameterToPage(QVariant parameter) override;
    // Plays the songs from the row tapped.
    void handleListItemClick(const QModelIndex& index) override;
    // The songs of the row that the description names for the object menu.
    QHash<QString, QVariant> itemParameters(const QModelIndex& index) override;

protected slots:
    void createContent() override;
    // Flips the favourite flag of the song at the index the wrapper carries.
    void toggleFavorite(QObject* wrappedIndex);
    // The shuffle row was tapped: plays the songs shuffled.
    virtual void shufflePlay();

private slots:
    void preLoadNextPages();

protected:
    // The songs loaded last through the description.
    const ItemPageDescription::Songs& shownSongs() const { return shown; }
    // Called after songs that the parameter named have been loaded and shown; the base does
    // nothing.
    virtual void songsShown();
    // The page's cover loader; null unless the description has covers.
    AlbumArtLoader* coverLoader() const { return covers; }
    void ensureHeaderLayout();
    // Lists the model's songs from now on (the previous model is let go), asks for all of
    // them, and lets the panel's widget, the shuffle row and the empty-list policy follow it.
    void showSongs(QSharedPointer<MafwTrackerModel> model);
    // Draws the rows with the painter from now on (a song list tells it the playing song).
    void setRowPainter(CellPainter* rows);

    QGraphicsLinearLayout* headerLayout = nullptr;
    QGraphicsLinearLayout* infoLayout = nullptr;
    CollectionViewTitleWidget* titleHeader = nullptr;
    CollectionViewShuffleWidget* shuffleRow = nullptr;
    MStylableWidget* infoPanel = nullptr;
    // The panel's widget that the description makes; null until the first songs.
    SongPageInfoWidget* infoWidget = nullptr;
    MLinearLayoutPolicy* pagePolicy = nullptr;

private:
    // The name a play of the shown songs records.
    QString playName() const;
    // What a play of the songs records: their own activity, else the description's.
    Activity::ActivityType activityOf(const ItemPageDescription::Songs& songs) const;
    // The description's shuffle row under the panel (kept in shuffleRow), with the spacer and
    // the divider of its kind.
    void addShuffleRow();
    const ItemPageDescription description;
    ItemPageDescription::Songs shown;
    AlbumArtLoader* covers = nullptr;
    CellPainter* painter = nullptr;
    // Set until the first load and again by libraryUpdated().
    bool reloadNeeded = true;
};

#endif // SONGPAGE_H
