#ifndef MLIST_H
#define MLIST_H

#include "mlistrowmap.h"
#include "mpannablewidget.h"
#include "mwidgetrecycler.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QVector>

class MCellCreator;
class MLabel;
class MListHeaderCreator;
class MListTapTracker;
class MPannableViewport;
class MPositionIndicator;
class QAbstractItemModel;
class QItemSelection;
class QItemSelectionModel;
class QTimer;

// A list of rows drawn by a cell creator. Only the rows in view have a widget ("cell"); cells
// that scroll out go to the list's recycler and come back for other rows. Every item row takes
// the height of the cell creator's cellSize(), every group header that of the header
// creator's, so the list never lays out a row to measure it.
//
// Models: the root rows are the items. A grouped model (an MAbstractItemModel that says so,
// or any other model while groups are shown) has its groups at the root and the items as
// their children; with groups shown each group gets a header row, made by the header creator
// (or a plain title row when none was given); with groups not shown its items follow each
// other without headers.
//
// Inside a pannable viewport that pans, the list is as tall as its rows (once its layout has
// made room for new ones) and makes cells for the part the viewport shows; it relays the
// viewport's panningStarted()/panningStopped(). Anywhere else (also in a viewport that does
// not pan) it pans itself: a drag moves the rows, dragging down at the top overshoots
// (position() goes below 0 and positionChanged() reports it) and springs back when released.
//
// A tap on an item row gives itemClicked(); a press held still for about 0.8 s gives
// itemLongTapped() with the press's scene position and no itemClicked(). Header rows give
// neither. Taps also select, by the selection mode; selected rows are drawn highlighted.
class MList : public MPannableWidget
{
    Q_OBJECT

public:
    // Callers pass the numbers, so they are fixed.
    enum SelectionMode { NoSelection = 0, SingleSelection = 1, MultiSelection = 2 };
    enum ScrollHint {
        EnsureVisibleHint = 0,
        PositionAtTopHint = 1,
        PositionAtBottomHint = 2,
        PositionAtCenterHint = 3
    };
    // Both scroll at once; the difference is kept for callers that name it.
    enum AnimationMode { Animated = 0, NonAnimated = 1 };
    // How the floating group index shows while the list is panned.
    enum DisplayMode { Hide = 0, Show = 1, Auto = 2, Floating = 3 };

    explicit MList(QGraphicsItem* parent = nullptr);
    ~MList() override;

    void setItemModel(QAbstractItemModel* model);
    QAbstractItemModel* itemModel() const;

    // See MCellCreator for who owns the creator. Null shows no item rows.
    void setCellCreator(MCellCreator* creator);
    MCellCreator* cellCreator() const;
    // Null goes back to the plain title rows.
    void setHeaderCreator(MCellCreator* creator);
    MCellCreator* headerCreator() const;

    void setShowGroups(bool show);
    bool showGroups() const;

    void setIndexDisplayMode(DisplayMode mode);
    DisplayMode indexDisplayMode() const;

    void setSelectionMode(SelectionMode mode);
    // Made for each model the list is given; null without a model.
    QItemSelectionModel* selectionModel() const;

    // The first and last row with any part in view (a group header is a row too); invalid
    // when no row is in view.
    QModelIndex firstVisibleItem() const;
    QModelIndex lastVisibleItem() const;

    // Moves the row into view: at the top (1), at the bottom (2), in the middle (3) or just
    // into view (0). A row that cannot yet be placed there (the rows below it are not laid out
    // yet) is placed again when the list or its viewport is next laid out.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisibleHint,
                  AnimationMode mode = Animated);

    // The list's own panning position (0 inside a viewport that shows all its rows).
    void setPosition(const QPointF& position) override;

    // The cell that shows the row now, null when the row is not in view.
    MWidget* visibleCell(const QModelIndex& index);
    QList<MWidget*> visibleCells();

signals:
    void itemClicked(const QModelIndex& index);
    void itemLongTapped(const QModelIndex& index, const QPointF& position);

protected:
    QSizeF contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const override;
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;
    bool sceneEventFilter(QGraphicsItem* watched, QEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void ungrabMouseEvent(QEvent* event) override;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;

private slots:
    void handleModelAboutToBeReset();
    void handleStructureChanged();
    void handleDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void handleModelDestroyed();
    void handleCreatorDestroyed(QObject* creator);
    void handleSelectionChanged();
    void handleSelectionModelDestroyed();
    void handleLongTap(const QPointF& scenePos);
    void handlePanningStarted();
    void handlePanningStopped();
    void handleOwnPosition();
    void handleViewportChanged();
    void updateVisibleCells();
    void flushPending();
    void makeSpareCells();

private:
    enum class Shape { Flat, Grouped, GroupedItemsOnly };
    struct Cell
    {
        MListRowMap::Position position;
        MWidget* widget = nullptr;
    };
    struct PendingScroll
    {
        QPersistentModelIndex index;
        ScrollHint hint = EnsureVisibleHint;
    };

    Shape displayShape() const;
    MCellCreator* creatorFor(const MListRowMap::Position& position) const;
    QModelIndex indexFor(const MListRowMap::Position& position) const;
    MListRowMap::Position positionFor(const QModelIndex& index) const;
    MListRowMap::Position positionAtListY(qreal y) const;

    void connectModel();
    void disconnectModel();
    // Returns the creator as a QObject, null when it is none.
    QObject* adoptCreator(MCellCreator* creator);
    void releaseCreator(QObject* object, const MCellCreator* creator,
                        const MCellCreator* stillUsed);
    void replaceCreator(MCellCreator*& slot, QObject*& slotObject, MCellCreator* replacement,
                        const MCellCreator* other);
    void ensureSelectionModel();

    // Counts the rows again when the model has changed since.
    void ensureMap() const;
    // Everything made anew from the model, now.
    void refreshNow();
    void recycleAllCells();
    void refreshVisibleCells();
    void placeCell(const Cell& cell) const;
    // Polishes a cell the list has not shown before and runs its layout, both at once.
    void layOutCell(MWidget* cell);
    // Keeps enough cells of each kind in the recycler for any screen of rows, so that
    // scrolling takes cells back instead of making new ones; made once the list is idle.
    void scheduleSpareCells();
    void topUpCells(const MListRowMap::Position& sample, int wanted);
    // Has the creators fill the cells shown from first to last (display order) again.
    void fillCellsAgain(const MListRowMap::Position& first, const MListRowMap::Position& last);
    void updateRange();
    // Whether the list sits in a viewport that pans it: the list is then as tall as its rows
    // (while its layout catches up with new rows, shorter) and never pans itself.
    bool viewportPans() const;
    void findViewport();

    QRectF exposedRect() const;
    qreal contentOffset() const;
    bool applyScroll(const PendingScroll& request);
    void retryPendingScroll();

    bool isRowPart(const QGraphicsItem* item) const;
    void handlePress(const QPointF& scenePos);
    // True when the list was destroyed by a receiver.
    bool handleRelease(bool tapAllowed);
    void select(const QModelIndex& index);
    void updateIndexBubble();

    QPointer<QAbstractItemModel> model;
    MCellCreator* creator = nullptr;
    MCellCreator* header = nullptr;
    // The creators as QObjects, kept to be recognised when they are destroyed.
    QObject* creatorObject = nullptr;
    QObject* headerObject = nullptr;
    MListHeaderCreator* defaultHeader;
    MWidgetRecycler recycler;
    mutable MListRowMap map;
    QVector<Cell> cells;
    QPointer<QItemSelectionModel> selection;
    bool ownSelection = false;
    SelectionMode selecting = NoSelection;
    DisplayMode indexMode = Hide;
    bool groupsShown = false;

    // The viewport the list sits in. Held as a QObject: while Qt tears a tree down the viewport
    // can be half destroyed, and a typed guard would cast it. Being destroyed, it lets go of
    // its place before the guard is cleared, which lays the list out again: asked then, the
    // object is a viewport no more, and the list has none.
    QPointer<QObject> viewportGuard;
    MPannableViewport* viewport() const;
    MPositionIndicator* indicator;
    MLabel* bubble = nullptr; // the floating index
    QTimer* bubbleTimer = nullptr;

    MListTapTracker* tracker;
    QPersistentModelIndex pressedIndex;
    PendingScroll pendingScroll;

    mutable Shape currentShape = Shape::Flat;
    mutable bool mapPending = true;
    mutable bool geometryStale = false;
    bool cellsPending = false;
    bool refreshPosted = false;
    bool sparesPosted = false;
    qreal spareHeight = 0; // the height in view the spare cells were made for
    qreal laidOutHeight = 0;
    bool updating = false;
    bool updateAgain = false;
    bool refreshAfterUpdate = false;
};

#endif // MLIST_H
