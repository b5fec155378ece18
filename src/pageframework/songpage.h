#ifndef SONGPAGE_H
#define SONGPAGE_H

#include "quintaveilpage.h"

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

protected slots:
    void createContent() override;
    // Flips the favourite flag of the song at the index the wrapper carries.
    void toggleFavorite(QObject* wrappedIndex);

protected:
    void ensureHeaderLayout();

    QGraphicsLinearLayout* headerLayout = nullptr;
    QGraphicsLinearLayout* infoLayout = nullptr;
    CollectionViewTitleWidget* titleHeader = nullptr;
    CollectionViewShuffleWidget* shuffleRow = nullptr;
    MStylableWidget* infoPanel = nullptr;
    MLinearLayoutPolicy* pagePolicy = nullptr;
    bool titleSeparator;
};

#endif // SONGPAGE_H
