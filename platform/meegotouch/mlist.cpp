#include "mlist.h"

#include "touchlogging.h"
#include "mabstractitemmodel.h"
#include "mcellcreator.h"
#include "mlabel.h"
#include "mlistheadercreator.h"
#include "mlistitem.h"
#include "mlisttaptracker.h"
#include "mpalette.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDebug>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

const int BubbleLinger = 600;
const qreal CellZ = 0;
const qreal IndicatorZ = 2;
const qreal BubbleZ = 3;
const qreal MaximumExtent = 16777215; // Qt's largest widget size
// Spare cells are made this long after the rows were laid out: never in the first frames.
const int SpareCellDelayMs = 100;
// The key of a cell's item data that says the list has polished it.
const int PolishedKey = 0x4d4c6973;

QObject* objectOf(MCellCreator* creator)
{
    return creator ? dynamic_cast<QObject*>(creator) : nullptr;
}

// Where the top of the view goes so that a row of the given top and height lands as asked.
qreal scrollTarget(MList::ScrollHint hint, qreal rowTop, qreal rowHeight, qreal viewHeight,
                   qreal current)
{
    switch (hint) {
    case MList::PositionAtTopHint:
        return rowTop;
    case MList::PositionAtBottomHint:
        return rowTop + rowHeight - viewHeight;
    case MList::PositionAtCenterHint:
        return rowTop + rowHeight / 2 - viewHeight / 2;
    case MList::EnsureVisibleHint:
        break;
    }
    if (rowTop < current)
        return rowTop;
    if (rowTop + rowHeight > current + viewHeight)
        return rowTop + rowHeight - viewHeight;
    return current;
}

// The stretch of the rows (in row coordinates) that the exposed part of the list shows;
// false when it shows none.
bool rowsInView(const QRectF& exposed, qreal offset, qreal rowsHeight, qreal* top, qreal* bottom)
{
    if (exposed.isEmpty())
        return false;
    *top = qMax<qreal>(0, exposed.top() + offset);
    *bottom = qMin(rowsHeight, exposed.bottom() + offset);
    return *top < *bottom;
}

} // namespace

MList::MList(QGraphicsItem* parent)
    : MPannableWidget(parent)
    , defaultHeader(new MListHeaderCreator)
    , indicator(new MPositionIndicator(this))
    , tracker(new MListTapTracker(this))
{
    setFlag(QGraphicsItem::ItemClipsChildrenToShape);
    setFlag(QGraphicsItem::ItemSendsScenePositionChanges);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    indicator->setZValue(IndicatorZ);
    connect(tracker, &MListTapTracker::longTapped, this, &MList::handleLongTap);
    connect(this, &MPannableWidget::positionChanged, this, &MList::handleOwnPosition);
    connect(this, &MPannableWidget::panningStarted, this, &MList::handlePanningStarted);
    connect(this, &MPannableWidget::panningStopped, this, &MList::handlePanningStopped);
    findViewport();
}

MList::~MList()
{
    disconnectModel();
    releaseCreator(creatorObject, creator, nullptr);
    releaseCreator(headerObject, header, nullptr);
    creator = nullptr;
    header = nullptr;
    recycleAllCells();
    delete defaultHeader;
}

// Model and creators

QAbstractItemModel* MList::itemModel() const
{
    return model;
}

void MList::setItemModel(QAbstractItemModel* itemModel)
{
    if (itemModel == model)
        return;
    disconnectModel();
    recycleAllCells();
    pressedIndex = QPersistentModelIndex();
    tracker->cancel();
    pendingScroll = PendingScroll();
    model = itemModel;
    connectModel();
    ensureSelectionModel();
    refreshNow();
}

void MList::connectModel()
{
    if (!model)
        return;
    QAbstractItemModel* m = model;
    connect(m, &QAbstractItemModel::rowsInserted, this, &MList::handleStructureChanged);
    connect(m, &QAbstractItemModel::rowsRemoved, this, &MList::handleStructureChanged);
    connect(m, &QAbstractItemModel::rowsMoved, this, &MList::handleStructureChanged);
    connect(m, &QAbstractItemModel::layoutChanged, this, &MList::handleStructureChanged);
    connect(m, &QAbstractItemModel::modelAboutToBeReset, this, &MList::handleModelAboutToBeReset);
    connect(m, &QAbstractItemModel::modelReset, this, &MList::handleStructureChanged);
    connect(m, &QAbstractItemModel::dataChanged, this, &MList::handleDataChanged);
    connect(m, &QObject::destroyed, this, &MList::handleModelDestroyed);
}

void MList::disconnectModel()
{
    if (model)
        disconnect(model, nullptr, this, nullptr);
}

void MList::ensureSelectionModel()
{
    if (selection && model && selection->model() == model)
        return;
    if (selection) {
        disconnect(selection, nullptr, this, nullptr);
        if (ownSelection)
            delete selection.data();
    }
    selection = nullptr;
    ownSelection = false;
    if (!model)
        return;
    selection = new QItemSelectionModel(model, this);
    ownSelection = true;
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            &MList::handleSelectionChanged);
}

QItemSelectionModel* MList::selectionModel() const
{
    return selection;
}

void MList::handleSelectionModelDestroyed()
{
    selection = nullptr;
    ownSelection = false;
    update();
}

void MList::setSelectionMode(SelectionMode mode)
{
    selecting = mode;
}

QObject* MList::adoptCreator(MCellCreator* c)
{
    QObject* o = objectOf(c);
    if (o) {
        if (!o->parent())
            o->setParent(this);
        connect(o, &QObject::destroyed, this, &MList::handleCreatorDestroyed, Qt::UniqueConnection);
    }
    return o;
}

void MList::releaseCreator(QObject* object, const MCellCreator* c, const MCellCreator* stillUsed)
{
    if (object && c != stillUsed)
        disconnect(object, &QObject::destroyed, this, &MList::handleCreatorDestroyed);
}

void MList::replaceCreator(MCellCreator*& slot, QObject*& slotObject, MCellCreator* replacement,
                           const MCellCreator* other)
{
    if (replacement == slot)
        return;
    releaseCreator(slotObject, slot, other);
    slot = replacement;
    slotObject = adoptCreator(replacement);
    refreshNow();
}

void MList::setCellCreator(MCellCreator* cellCreator)
{
    replaceCreator(creator, creatorObject, cellCreator, header);
}

MCellCreator* MList::cellCreator() const
{
    return creator;
}

void MList::setHeaderCreator(MCellCreator* headerCreator)
{
    replaceCreator(header, headerObject, headerCreator, creator);
}

MCellCreator* MList::headerCreator() const
{
    return header;
}

void MList::handleCreatorDestroyed(QObject* object)
{
    // The creator's own part is gone already: forget it without calling it.
    if (creatorObject == object) {
        creator = nullptr;
        creatorObject = nullptr;
    }
    if (headerObject == object) {
        header = nullptr;
        headerObject = nullptr;
    }
    refreshNow();
}

void MList::setShowGroups(bool show)
{
    if (show == groupsShown)
        return;
    groupsShown = show;
    refreshNow();
}

bool MList::showGroups() const
{
    return groupsShown;
}

void MList::setIndexDisplayMode(DisplayMode mode)
{
    indexMode = mode;
    if (mode == Hide) {
        if (bubble)
            bubble->hide();
        return;
    }
    if (!bubble) {
        bubble = new MLabel(this);
        bubble->setStyleName(QStringLiteral("MListIndexBubble"));
        bubble->setAlignment(Qt::AlignCenter);
        bubble->setTextElide(true);
        bubble->setAcceptedMouseButtons(Qt::NoButton);
        bubble->setZValue(BubbleZ);
        bubble->hide();
        bubbleTimer = new QTimer(this);
        bubbleTimer->setSingleShot(true);
        bubbleTimer->setInterval(BubbleLinger);
        connect(bubbleTimer, &QTimer::timeout, bubble, [this] { bubble->hide(); });
    }
}

MList::DisplayMode MList::indexDisplayMode() const
{
    return indexMode;
}

// Rows

MList::Shape MList::displayShape() const
{
    if (!model)
        return Shape::Flat;
    bool grouped;
    if (auto* grouping = qobject_cast<MAbstractItemModel*>(model.data())) {
        grouped = grouping->isGrouped();
    } else {
        // Another model is taken as grouped when groups are asked for and its first root row
        // has children.
        grouped = groupsShown && model->rowCount() > 0 && model->hasChildren(model->index(0, 0));
    }
    if (!grouped)
        return Shape::Flat;
    return groupsShown ? Shape::Grouped : Shape::GroupedItemsOnly;
}

MCellCreator* MList::creatorFor(const MListRowMap::Position& position) const
{
    if (!position.isHeader())
        return creator;
    return header ? header : defaultHeader;
}

QModelIndex MList::indexFor(const MListRowMap::Position& position) const
{
    if (!model || !position.isValid())
        return QModelIndex();
    if (currentShape == Shape::Flat)
        return position.row >= 0 ? model->index(position.row, 0) : QModelIndex();
    const QModelIndex group = model->index(position.group, 0);
    return position.row < 0 ? group : model->index(position.row, 0, group);
}

MListRowMap::Position MList::positionFor(const QModelIndex& index) const
{
    if (!model || !index.isValid() || index.model() != model)
        return MListRowMap::Position();
    const QModelIndex parent = index.parent();
    if (currentShape == Shape::Flat) {
        if (parent.isValid())
            return MListRowMap::Position();
        return { 0, index.row() };
    }
    if (!parent.isValid())
        return { index.row(), -1 };
    if (parent.parent().isValid())
        return MListRowMap::Position();
    return { parent.row(), index.row() };
}

qreal MList::contentOffset() const
{
    return position().y();
}

MListRowMap::Position MList::positionAtListY(qreal y) const
{
    const qreal contentY = y + contentOffset();
    if (contentY < 0 || contentY >= map.totalHeight())
        return MListRowMap::Position();
    return map.positionAt(contentY);
}

QRectF MList::exposedRect() const
{
    // The list's own rectangle less what clipping ancestors (a viewport) cut away. A widget's
    // rectangle is read without a virtual call: an ancestor may be in its destructor.
    QRectF r = rect();
    for (const QGraphicsItem* p = parentItem(); p && !r.isEmpty(); p = p->parentItem()) {
        if (!(p->flags() & QGraphicsItem::ItemClipsChildrenToShape))
            continue;
        const QRectF clip = p->isWidget() ? static_cast<const QGraphicsWidget*>(p)->rect()
                                          : p->boundingRect();
        r &= mapRectFromItem(p, clip);
    }
    return r;
}

void MList::ensureMap() const
{
    if (!mapPending)
        return;
    mapPending = false;
    geometryStale = true;
    currentShape = displayShape();
    QVector<int> counts;
    qreal headerHeight = 0;
    qreal itemHeight = 0;
    if (model) {
        if (currentShape == Shape::Flat) {
            counts.append(model->rowCount());
        } else {
            const int groups = model->rowCount();
            counts.resize(groups);
            for (int g = 0; g < groups; ++g)
                counts[g] = model->rowCount(model->index(g, 0));
            if (currentShape == Shape::Grouped)
                headerHeight = creatorFor({ 0, -1 })->cellSize().height();
        }
        if (creator)
            itemHeight = creator->cellSize().height();
    }
    map.reset(counts, headerHeight, itemHeight);
}

void MList::recycleAllCells()
{
    const QVector<Cell> old = cells;
    cells.clear();
    for (const Cell& cell : old)
        recycler.recycle(cell.widget);
}

void MList::handleModelAboutToBeReset()
{
    pressedIndex = QPersistentModelIndex();
    tracker->cancel();
    handleStructureChanged();
}

void MList::handleStructureChanged()
{
    // Models may announce many changes in a row (a batch of songs, one insertion each): the
    // rows are counted again when they are next needed, the cells made again once, later.
    mapPending = true;
    cellsPending = true;
    if (!refreshPosted) {
        refreshPosted = true;
        QMetaObject::invokeMethod(this, &MList::flushPending, Qt::QueuedConnection);
    }
}

void MList::flushPending()
{
    refreshPosted = false;
    if (mapPending || cellsPending)
        updateVisibleCells();
    retryPendingScroll();
}

void MList::refreshNow()
{
    mapPending = true;
    cellsPending = true;
    updateVisibleCells();
    retryPendingScroll();
}

void MList::handleModelDestroyed()
{
    recycleAllCells(); // the widgets are still ours; only their rows are gone
    model = nullptr;
    pressedIndex = QPersistentModelIndex();
    tracker->cancel();
    ensureSelectionModel();
    refreshNow();
}

void MList::handleDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    if (cellsPending)
        return; // every cell is filled afresh anyway
    ensureMap();
    MListRowMap::Position first = positionFor(topLeft);
    MListRowMap::Position last = positionFor(bottomRight);
    if (!first.isValid() && !last.isValid())
        return;
    if (!first.isValid())
        first = last;
    if (!last.isValid())
        last = first;
    if (last < first)
        std::swap(first, last);
    if (updating) {
        refreshAfterUpdate = true;
        return;
    }
    // The ends may lie in different groups (a header and an item of a later group): every
    // row shown between them is filled again.
    fillCellsAgain(first, last);
    update();
}

void MList::fillCellsAgain(const MListRowMap::Position& first, const MListRowMap::Position& last)
{
    const QVector<Cell> shown = cells; // a creator may make the list change its cells
    for (const Cell& cell : shown) {
        if (cell.position < first || last < cell.position)
            continue;
        MCellCreator* c = creatorFor(cell.position);
        const QModelIndex index = indexFor(cell.position);
        if (c && index.isValid()) {
            c->updateCell(index, cell.widget);
            layOutCell(cell.widget);
        }
    }
}

// Cells

MPannableViewport* MList::viewport() const
{
    return qobject_cast<MPannableViewport*>(viewportGuard.data());
}

void MList::findViewport()
{
    MPannableViewport* found = nullptr;
    // Parents are looked at through QObject: one may be part-way through its destructor, and
    // its most derived type is then no longer what isWidget() says.
    for (QGraphicsItem* p = parentItem(); p && !found; p = p->parentItem())
        found = qobject_cast<MPannableViewport*>(p->toGraphicsObject());
    if (found == static_cast<QObject*>(viewportGuard.data()))
        return;
    if (viewportGuard)
        disconnect(viewportGuard.data(), nullptr, this, nullptr);
    viewportGuard = found;
    if (MPannableViewport* v = viewport()) {
        connect(v, &MPannableWidget::panningStarted, this, &MPannableWidget::panningStarted);
        connect(v, &MPannableWidget::panningStopped, this, &MPannableWidget::panningStopped);
        connect(v, &MPannableWidget::rangeChanged, this, &MList::handleViewportChanged);
        connect(v, &QGraphicsWidget::geometryChanged, this, &MList::handleViewportChanged);
        // The viewport pans the rows; the list pans only what the viewport cannot show.
        setVerticalPanningPolicy(PanningAsNeeded);
        MPannableWidget::setPosition(QPointF(0, 0));
    } else {
        setVerticalPanningPolicy(PanningAlwaysOn);
    }
    indicator->setVisible(!viewport());
    updateRange();
}

bool MList::viewportPans() const
{
    const MPannableViewport* v = viewport();
    return v && v->verticalPanningPolicy() != PanningAlwaysOff;
}

void MList::updateRange()
{
    // In a viewport that pans, rows the list cannot show yet are rows its layout has still to
    // make room for: a list that panned them into view meanwhile would stand scrolled, and a
    // row scrolled to would be lost, once that room came.
    const qreal spare = viewportPans() ? 0 : qMax<qreal>(0, map.totalHeight() - size().height());
    // Rows gone from below the view: the view moves up with them at once.
    if (!isPanning() && position().y() > spare)
        MPannableWidget::setPosition(QPointF(0, spare));
    setRange(QRectF(0, 0, 0, spare));
    indicator->placeAlongRightEdge(size());
    indicator->setPanningState(size(), range(), position());
}

void MList::updateVisibleCells()
{
    if (updating) {
        updateAgain = true;
        return;
    }
    updating = true;
    do {
        updateAgain = false;
        refreshVisibleCells();
    } while (updateAgain);
    updating = false;
    if (refreshAfterUpdate && !cells.isEmpty()) {
        refreshAfterUpdate = false;
        fillCellsAgain(cells.first().position, cells.last().position);
    }
    refreshAfterUpdate = false;
    updateIndexBubble();
}

void MList::refreshVisibleCells()
{
    findViewport();
    if (cellsPending) {
        cellsPending = false;
        recycleAllCells();
        if (selection && selection->hasSelection())
            update();
    }
    ensureMap();
    if (geometryStale) {
        geometryStale = false;
        if (map.totalHeight() != laidOutHeight) {
            laidOutHeight = map.totalHeight();
            updateGeometry();
        }
        updateRange();
    }
    QVector<MListRowMap::Position> wanted;
    // A hidden list has nothing in view, and is not to look at its ancestors: it may be hidden
    // while they are destroyed.
    const QRectF exposed = isVisible() ? exposedRect() : QRectF();
    if (model && !exposed.isEmpty() && map.totalHeight() > 0) {
        const qreal offset = contentOffset();
        const qreal top = exposed.top() + offset;
        const qreal bottom = exposed.bottom() + offset;
        if (bottom > 0 && top < map.totalHeight()) {
            for (MListRowMap::Position p = map.positionAt(top); p.isValid() && map.top(p) < bottom;
                 p = map.next(p))
                wanted.append(p);
        }
    }

    // Both lists run in display order. Cells still wanted stay; the others go to the recycler
    // first, so that the rows coming into view take them back.
    const QVector<Cell> old = cells;
    cells.clear();
    QVector<MWidget*> kept(wanted.size(), nullptr);
    int w = 0;
    for (const Cell& cell : old) {
        while (w < wanted.size() && wanted[w] < cell.position)
            ++w;
        if (w < wanted.size() && wanted[w] == cell.position)
            kept[w] = cell.widget;
        else
            recycler.recycle(cell.widget);
    }
    cells.reserve(wanted.size());
    for (int i = 0; i < wanted.size(); ++i) {
        Cell cell { wanted[i], kept[i] };
        const bool fresh = !cell.widget;
        if (fresh) {
            MCellCreator* c = creatorFor(cell.position);
            const QModelIndex index = indexFor(cell.position);
            if (!c || !index.isValid())
                continue;
            cell.widget = c->createCell(index, recycler);
            if (!cell.widget)
                continue;
            if (cell.widget->parentItem() != this)
                cell.widget->setParentItem(this);
            cell.widget->setZValue(CellZ);
            cell.widget->show();
        }
        cells.append(cell);
        placeCell(cell);
        if (fresh)
            layOutCell(cell.widget);
    }
    scheduleSpareCells();
}

void MList::scheduleSpareCells()
{
    if (cells.isEmpty())
        return;
    // The first spares wait until the first screen is drawn; a list that grows later (a
    // search field closing above it) takes its further spares at once, before it scrolls.
    if (spareHeight > 0 && exposedRect().height() > spareHeight) {
        makeSpareCells();
        return;
    }
    if (sparesPosted || spareHeight > 0)
        return;
    sparesPosted = true;
    QTimer::singleShot(SpareCellDelayMs, this, &MList::makeSpareCells);
}

void MList::makeSpareCells()
{
    sparesPosted = false;
    if (!model || !creator || mapPending || cellsPending || map.totalHeight() <= 0)
        return;
    const QRectF exposed = exposedRect();
    const qreal view = exposed.height() > 0 ? exposed.height() : size().height();
    const qreal item = map.itemHeight();
    if (view <= 0 || item <= 0)
        return;
    spareHeight = qMax(spareHeight, view);
    // At most this many rows of a height cut into a window: one more than fit whole. A group
    // header is followed by an item at least, so headers lie an item and a header apart.
    const MListRowMap::Position first = map.first();
    for (MListRowMap::Position p = first; p.isValid(); p = map.next(p)) {
        if (!p.isHeader()) {
            topUpCells(p, int(std::ceil(view / item)) + 1);
            break;
        }
    }
    const qreal header = map.headerHeight();
    if (header > 0 && map.groupCount() > 0)
        topUpCells({ 0, -1 }, qMin(map.groupCount(), int(std::ceil(view / (header + item))) + 1));
}

void MList::topUpCells(const MListRowMap::Position& sample, int wanted)
{
    MCellCreator* c = creatorFor(sample);
    const QModelIndex index = indexFor(sample);
    if (!c || !index.isValid())
        return;
    // The cells of this kind: their class is learnt from one taken back from the recycler, or
    // made.
    MWidget* probe = c->createCell(index, recycler);
    if (!probe)
        return;
    if (probe->parentItem() != this)
        probe->setParentItem(this);
    const QByteArray kind = probe->metaObject()->className();
    recycler.recycle(probe);
    int have = recycler.recycledCount(QString::fromLatin1(kind));
    for (const Cell& cell : qAsConst(cells)) {
        if (qstrcmp(cell.widget->metaObject()->className(), kind) == 0)
            ++have;
    }
    MWidgetRecycler none;
    for (; have < wanted; ++have) {
        MWidget* spare = c->createCell(index, none);
        if (!spare)
            return;
        spare->setParentItem(this);
        spare->setZValue(CellZ);
        recycler.recycle(spare);
    }
}

void MList::layOutCell(MWidget* cell)
{
    // The scene polishes a new cell (where a list item makes its layout) and runs the cell's
    // layout only in later turns of the event loop, after the first paint that shows it: that
    // paint would show its texts piled up in its corner.
    if (!cell->data(PolishedKey).toBool()) {
        cell->setData(PolishedKey, true);
        QEvent polish(QEvent::Polish);
        QCoreApplication::sendEvent(cell, &polish);
    }
    if (QGraphicsLayout* layout = cell->layout())
        layout->activate();
}

void MList::placeCell(const Cell& cell) const
{
    const QRectF geometry(0, map.top(cell.position) - contentOffset(), size().width(),
                          map.height(cell.position));
    // A row is laid out at the size it is drawn at, whatever its layout asks for meanwhile: a
    // cell's own layout, re-run while the cell is hidden in the recycler or half shown, would
    // otherwise shrink it to what its visible children wanted then.
    if (cell.widget->minimumSize() != geometry.size()
        || cell.widget->maximumSize() != geometry.size()) {
        cell.widget->setMinimumSize(geometry.size());
        cell.widget->setMaximumSize(geometry.size());
    }
    if (cell.widget->geometry() != geometry)
        cell.widget->setGeometry(geometry);
}

MWidget* MList::visibleCell(const QModelIndex& index)
{
    if (mapPending || cellsPending)
        updateVisibleCells();
    const MListRowMap::Position position = positionFor(index);
    if (!position.isValid())
        return nullptr;
    for (const Cell& cell : cells) {
        if (cell.position == position)
            return cell.widget;
    }
    return nullptr;
}

QList<MWidget*> MList::visibleCells()
{
    if (mapPending || cellsPending)
        updateVisibleCells();
    QList<MWidget*> result;
    for (const Cell& cell : cells)
        result.append(cell.widget);
    return result;
}

QModelIndex MList::firstVisibleItem() const
{
    ensureMap();
    qreal top, bottom;
    if (!rowsInView(exposedRect(), contentOffset(), map.totalHeight(), &top, &bottom))
        return QModelIndex();
    return indexFor(map.positionAt(top));
}

QModelIndex MList::lastVisibleItem() const
{
    ensureMap();
    qreal top, bottom;
    if (!rowsInView(exposedRect(), contentOffset(), map.totalHeight(), &top, &bottom))
        return QModelIndex();
    // A row that starts exactly at the bottom edge has nothing in view.
    return indexFor(map.positionAt(qMax(top, bottom - 0.01)));
}

// Scrolling

void MList::scrollTo(const QModelIndex& index, ScrollHint hint, AnimationMode mode)
{
    Q_UNUSED(mode)
    pendingScroll = PendingScroll();
    PendingScroll request { QPersistentModelIndex(index), hint };
    if (!applyScroll(request))
        pendingScroll = request;
}

bool MList::applyScroll(const PendingScroll& request)
{
    findViewport();
    if (mapPending || cellsPending)
        updateVisibleCells();
    const MListRowMap::Position p = positionFor(request.index);
    if (!map.contains(p))
        return true;
    const qreal rowTop = map.top(p);
    const qreal rowHeight = map.height(p);
    if (viewport() && range().height() <= 0) {
        QGraphicsWidget* content = viewport()->widget();
        if (!content)
            return true;
        const qreal top = mapToItem(content, QPointF(0, rowTop)).y();
        const qreal view = viewport()->size().height();
        const qreal current = viewport()->position().y();
        const QRectF r = viewport()->range();
        const qreal target = scrollTarget(request.hint, top, rowHeight, view, current);
        const qreal clamped = qBound(r.top(), target, qMax(r.top(), r.bottom()));
        if (clamped != current)
            viewport()->setPosition(QPointF(0, clamped));
        // Until the list and the viewport's range have caught up with the rows, try again.
        const bool settled = size().height() + 0.5 >= map.totalHeight()
                             && r.bottom() + 0.5 >= content->size().height() - view;
        return view > 0 && (settled || clamped == target);
    }
    // The list pans itself (no viewport, or one that does not pan): the part of the list in
    // view moves.
    const QRectF exposed = exposedRect();
    const qreal view = exposed.height();
    if (view <= 0)
        return false; // nothing of the list in view yet
    const qreal current = position().y() + exposed.top();
    const QRectF r = range();
    const qreal target = scrollTarget(request.hint, rowTop, rowHeight, view, current)
                         - exposed.top();
    const qreal clamped = qBound(r.top(), target, qMax(r.top(), r.bottom()));
    if (clamped != position().y())
        setPosition(QPointF(0, clamped));
    return true;
}

void MList::retryPendingScroll()
{
    if (!pendingScroll.index.isValid())
        return;
    const PendingScroll request = pendingScroll;
    pendingScroll = PendingScroll();
    if (!applyScroll(request))
        pendingScroll = request;
}

void MList::setPosition(const QPointF& position)
{
    // The range must know of the rows announced since the last refresh.
    if (mapPending || cellsPending)
        updateVisibleCells();
    MPannableWidget::setPosition(position);
}

void MList::handleOwnPosition()
{
    indicator->setPanningState(size(), range(), position());
    updateVisibleCells();
}

void MList::handleViewportChanged()
{
    updateRange(); // the viewport may have begun or stopped panning
    updateVisibleCells();
    retryPendingScroll();
}

// Geometry

QSizeF MList::contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    Q_UNUSED(constraint)
    switch (which) {
    case Qt::MinimumSize:
        return QSizeF(0, 0);
    case Qt::PreferredSize: {
        ensureMap();
        const qreal width = creator ? qMax<qreal>(0, creator->cellSize().width()) : 0;
        return QSizeF(width, map.totalHeight());
    }
    case Qt::MaximumSize:
        return QSizeF(MaximumExtent, MaximumExtent);
    default:
        return QSizeF(-1, -1);
    }
}

void MList::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MPannableWidget::resizeEvent(event);
    updateRange();
    updateVisibleCells();
    retryPendingScroll();
}

QVariant MList::itemChange(GraphicsItemChange change, const QVariant& value)
{
    const QVariant result = MPannableWidget::itemChange(change, value);
    switch (change) {
    case ItemScenePositionHasChanged:
    case ItemVisibleHasChanged:
    case ItemParentHasChanged:
    case ItemSceneHasChanged:
        // A hidden list shows no cells; it fills them when it is shown again.
        if (isVisible())
            updateVisibleCells();
        break;
    default:
        break;
    }
    return result;
}

// Taps

void MList::handlePress(const QPointF& scenePos)
{
    ensureMap();
    const QPointF local = mapFromScene(scenePos);
    const MListRowMap::Position p = exposedRect().contains(local) ? positionAtListY(local.y())
                                                                  : MListRowMap::Position();
    if (!p.isValid() || p.isHeader() || !creator) {
        // A header, or no row: neither a tap nor a long tap.
        tracker->cancel();
        pressedIndex = QPersistentModelIndex();
        return;
    }
    const QModelIndex index = indexFor(p);
    if (tracker->isActive() && pressedIndex == index)
        return; // the same press, seen again by a parent of the pressed item
    tracker->cancel();
    pressedIndex = QPersistentModelIndex(index);
    tracker->press(scenePos);
}

bool MList::isRowPart(const QGraphicsItem* item) const
{
    // The list, a cell, or a row inside a cell; anything else that takes presses (a button in
    // a row) is a control of its own.
    if (item == this || item->parentItem() == this)
        return true;
    return qobject_cast<const MListItem*>(item->toGraphicsObject());
}

bool MList::handleRelease(bool tapAllowed)
{
    if (!tracker->isActive())
        return false;
    const bool tap = tracker->release();
    const QPersistentModelIndex index = pressedIndex;
    pressedIndex = QPersistentModelIndex();
    if (!tap || !tapAllowed || !index.isValid())
        return false;
    QPointer<MList> guard(this);
    select(index);
    if (!guard)
        return true;
    if (index.isValid())
        emit itemClicked(index);
    return !guard;
}

void MList::select(const QModelIndex& index)
{
    if (!selection || !index.isValid())
        return;
    switch (selecting) {
    case NoSelection:
        break;
    case SingleSelection:
        selection->select(index, QItemSelectionModel::ClearAndSelect);
        break;
    case MultiSelection:
        selection->select(index, QItemSelectionModel::Toggle);
        break;
    }
}

void MList::handleLongTap(const QPointF& scenePos)
{
    const QPersistentModelIndex index = pressedIndex;
    pressedIndex = QPersistentModelIndex();
    if (!index.isValid())
        return;
    // A control inside a row (a button) that holds the press keeps it to itself.
    if (QGraphicsScene* s = scene()) {
        QGraphicsItem* grabber = s->mouseGrabberItem();
        if (grabber && !isRowPart(grabber))
            return;
    }
    emit itemLongTapped(index, scenePos);
}

bool MList::sceneEventFilter(QGraphicsItem* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::GraphicsSceneMousePress: {
        auto* e = static_cast<QGraphicsSceneMouseEvent*>(event);
        if (e->button() == Qt::LeftButton)
            handlePress(e->scenePos());
        break;
    }
    case QEvent::GraphicsSceneMouseMove:
        tracker->move(static_cast<QGraphicsSceneMouseEvent*>(event)->scenePos());
        break;
    case QEvent::GraphicsSceneMouseRelease: {
        auto* e = static_cast<QGraphicsSceneMouseEvent*>(event);
        // Only a row itself makes a tap; a control inside a row handles its own release.
        if (e->button() == Qt::LeftButton && handleRelease(isRowPart(watched)))
            return true;
        break;
    }
    case QEvent::UngrabMouse:
        // A pannable parent took the press over.
        tracker->cancel();
        break;
    default:
        break;
    }
    return MPannableWidget::sceneEventFilter(watched, event);
}

void MList::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    MPannableWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        handlePress(event->scenePos());
}

void MList::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    MPannableWidget::mouseMoveEvent(event);
    tracker->move(event->scenePos());
}

void MList::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    QPointer<MList> guard(this);
    MPannableWidget::mouseReleaseEvent(event);
    if (guard && event->button() == Qt::LeftButton)
        handleRelease(true);
}

void MList::ungrabMouseEvent(QEvent* event)
{
    MPannableWidget::ungrabMouseEvent(event);
    tracker->cancel();
}

void MList::handlePanningStarted()
{
    tracker->cancel();
    pressedIndex = QPersistentModelIndex();
    pendingScroll = PendingScroll();
    if (bubble && indexMode != Hide && currentShape == Shape::Grouped) {
        bubbleTimer->stop();
        bubble->show();
        updateIndexBubble();
    }
}

void MList::handlePanningStopped()
{
    if (bubble && bubble->isVisible())
        bubbleTimer->start();
}

void MList::handleSelectionChanged()
{
    update();
}

void MList::updateIndexBubble()
{
    if (!bubble || !bubble->isVisible())
        return;
    const QModelIndex first = firstVisibleItem();
    const QModelIndex group = first.parent().isValid() ? first.parent() : first;
    bubble->setText(group.data(Qt::DisplayRole).toString());
    // In the middle of what shows of the list: the rows' ends hold their lengths and counts,
    // their starts the titles a user looks for.
    const QRectF exposed = exposedRect();
    const QSizeF size = bubble->effectiveSizeHint(Qt::PreferredSize);
    bubble->setGeometry(QRectF(exposed.center() - QPointF(size.width(), size.height()) / 2, size));
}

// Painting

void MList::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    if (!selection || !selection->hasSelection())
        return;
    QColor highlight = MPalette().firstAccentColor();
    highlight.setAlpha(80);
    for (const Cell& cell : cells) {
        if (cell.position.isHeader() || !selection->isSelected(indexFor(cell.position)))
            continue;
        painter->fillRect(QRectF(0, map.top(cell.position) - contentOffset(), size().width(),
                                 map.height(cell.position)),
                          highlight);
    }
}
