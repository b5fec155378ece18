#include "mpannableviewport.h"

#include "mpositionindicator.h"

#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSceneResizeEvent>
#include <QTimer>

MPannableViewport::MPannableViewport(QGraphicsItem* parent)
    : MPannableWidget(parent)
    , clip(new QGraphicsWidget(this))
    , indicator(new MPositionIndicator(this))
{
    clip->setFlag(QGraphicsItem::ItemClipsChildrenToShape);
    indicator->setZValue(1);
    connect(this, &MPannableWidget::positionChanged, this, &MPannableViewport::moveContent);
}

MPannableViewport::~MPannableViewport() = default;

void MPannableViewport::setWidget(QGraphicsWidget* widget)
{
    if (widget == content)
        return;
    if (content) {
        content->removeEventFilter(this);
        content->hide();
        content->setParentItem(nullptr);
        if (content->scene())
            content->scene()->removeItem(content);
    }
    content = widget;
    if (content) {
        content->setParentItem(clip);
        content->installEventFilter(this);
        content->show();
    }
    layoutContent();
}

QGraphicsWidget* MPannableViewport::widget() const
{
    return content;
}

MPositionIndicator* MPannableViewport::positionIndicator() const
{
    return indicator;
}

void MPannableViewport::setPosition(const QPointF& position)
{
    MPannableWidget::setPosition(QPointF(0, position.y()));
}

void MPannableViewport::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MPannableWidget::resizeEvent(event);
    layoutContent();
}

bool MPannableViewport::eventFilter(QObject* watched, QEvent* event)
{
    // The content's layout changed: its preferred height may have too.
    if (watched == content && event->type() == QEvent::LayoutRequest)
        scheduleLayout();
    return MPannableWidget::eventFilter(watched, event);
}

void MPannableViewport::scheduleLayout()
{
    if (layoutPending)
        return;
    layoutPending = true;
    QTimer::singleShot(0, this, &MPannableViewport::layoutContent);
}

void MPannableViewport::layoutContent()
{
    layoutPending = false;
    const QSizeF viewportSize = size();
    clip->setGeometry(QRectF(QPointF(0, 0), viewportSize));
    indicator->placeAlongRightEdge(viewportSize);
    qreal contentHeight = viewportSize.height();
    if (content) {
        const QSizeF constraint(viewportSize.width(), -1);
        if (canPanVertically() || verticalPanningPolicy() == PanningAsNeeded) {
            const qreal wanted = content->effectiveSizeHint(Qt::PreferredSize, constraint).height();
            const qreal least = content->effectiveSizeHint(Qt::MinimumSize, constraint).height();
            contentHeight = qMax(viewportSize.height(), qMax(wanted, least));
        }
        content->resize(viewportSize.width(), contentHeight);
    }
    setRange(QRectF(0, 0, 0, qMax<qreal>(0, contentHeight - viewportSize.height())));
    const QRectF r = range();
    if (!isPanning() && (position().y() > r.bottom()))
        MPannableWidget::setPosition(QPointF(0, r.bottom()));
    moveContent(position());
}

void MPannableViewport::moveContent(const QPointF& position)
{
    if (content) {
        // Moving a widget whose layout waits to be redone makes Qt redo it from inside the
        // move, where the widget's size is not applied: the content is laid out at its least
        // size for that one pass, and a list in it drops every row and builds them again, so
        // that the page shows blank for a frame (a list scrolled to a row as its page comes
        // back). Laid out first, the move only moves.
        if (QGraphicsLayout* layout = content->layout(); layout && !layout->isActivated())
            layout->activate();
        content->setPos(0, -position.y());
    }
    indicator->setPanningState(size(), range(), position);
}
