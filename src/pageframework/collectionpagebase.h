#ifndef COLLECTIONPAGEBASE_H
#define COLLECTIONPAGEBASE_H

#include "quintaveilpage.h"
#include "albumart/albumarttype.h"

#include <QPixmap>
#include <QString>
#include <QVariant>

class AlbumArtLoader;
class ArtistContentItem;
class CollectionViewShuffleWidget;
class CollectionViewTitleWidget;
class MBasicLayoutAnimation;
class MLabel;
class MLayout;
class MLinearLayoutPolicy;
class MSeparator;
class QTimer;

// The body of the pages that show one whole collection in a list (all songs, artists,
// albums): a title header, a shuffle row, the list, an optional row for the songs without an
// artist or album, the live-filter field and two empty-state texts. One of five arrangements
// shows at a time: the empty device, the list, the filter field without text, the filter
// field with text, and no results.
//
// Subclasses provide a slot handleFilterTextChanged(QString), which is connected by name, feed
// their model's changes to switchPolicy() and their filter results to chooseFilteringPolicy().
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

    CollectionPageBase(MainWindow* owner, const QVariant& parameter);
    ~CollectionPageBase() override;

    LayoutState layoutState() const;
    CollectionViewTitleWidget* titleWidget() const { return titleHeader; }
    CollectionViewShuffleWidget* shuffleWidget() const { return shuffleRow; }
    ArtistContentItem* unknownRow() const { return unknownItem; }
    MLabel* noMusicText() const { return noMusicLabel; }
    MLabel* noResultsText() const { return noResultsLabel; }
    QTimer* filterRemovalTimer() const { return removalTimer; }

public slots:
    void createContent() override;
    // Shows the filter field above the list while the list shows rows.
    void addFilterEdit() override;

signals:
    void shuffleClicked();
    void unknownLabelClicked();

protected slots:
    virtual void createCollectionPage();
    void switchPolicy();
    void chooseFilteringPolicy(bool haveFilteredResults);
    void enableEmptyDevicePolicy();
    void enableUnknownLabel(bool enabled);
    void unknownAlbumArtReadySlot(QPixmap pixmap, QVariant data);
    void openObjectMenuForUnknown();

private slots:
    void removeFilterEdit();
    void liveFilteringClearClicked();
    void handleFilterFocusChanged();
    void removeFilterEditFromLayout();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void setShuffleWidgetModel();
    bool searchFieldHasFocus() const;

    QString unknownRowTitle;
    AlbumArtType::ArtType artType = AlbumArtType::AlbumArt;
    QString unknownAlbumText;
    QString unknownArtistText;

private:
    void createCollectionLayout();
    void connectCollectionSignals();
    void updateNoResultsLabelStyle();
    void activate(MLinearLayoutPolicy* policy);

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
