#include "albumartwidget.h"

#include "albumart/albumartcacheitem.h"
#include "mapplication.h"
#include "mapplicationwindow.h"
#include "playback/playstate.h"
#include "styles/playerstyles.h"

#include <QGestureEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSceneResizeEvent>
#include <QPainter>
#include <QSwipeGesture>
#include <QTapGesture>

namespace {

const int SlideMs = 400;
const int SlideFrameMs = 10;

} // namespace

AlbumArtWidget::AlbumArtWidget(QGraphicsItem* parent)
    : MImageWidget(parent)
    , timeLine(SlideMs)
{
    PlayerStyles::ensureRegistered();
    setStyleName(QStringLiteral("AlbumArtWidget"));
    grabGestureWithCancelPolicy(Qt::SwipeGesture, Qt::GestureFlags(), MouseEventNoCancel);
    grabGestureWithCancelPolicy(Qt::TapGesture, Qt::GestureFlags(), MouseEventNoCancel);
    timeLine.setUpdateInterval(SlideFrameMs);
    timeLine.easingCurve = QEasingCurve(QEasingCurve::OutQuint);
    connect(&timeLine, SIGNAL(frameChanged(int)), this, SLOT(frameChangedSlot(int)));
    connect(&timeLine, SIGNAL(finished()), this, SLOT(finishedSlot()));
}

AlbumArtWidget::~AlbumArtWidget() = default;

bool AlbumArtWidget::isSliding() const
{
    return timeLine.state() == QTimeLine::Running;
}

void AlbumArtWidget::prepareTransition(bool previous)
{
    const bool idle = timeLine.state() == QTimeLine::NotRunning;
    if (idle)
        frame = previous ? int(geometry().width()) : 0;
    else
        qSwap(currentPixmap, nextPixmap);
    // The offsets travel with their covers.
    if (!idle)
        qSwap(currentOffset, nextOffset);
    timeLine.easingCurve = QEasingCurve(previous ? QEasingCurve::InQuint : QEasingCurve::OutQuint);
    timeLine.setDirection(previous ? QTimeLine::Backward : QTimeLine::Forward);
}

void AlbumArtWidget::setAlbumArt(QPixmap pixmap)
{
    setAlbumArt(pixmap, false);
}

void AlbumArtWidget::setAlbumArt(QPixmap pixmap, bool ignoreTransition)
{
    const QSize target = AlbumArtCacheItem::flavorSize(QStringLiteral("half-screen"));
    const int edge = target.width();
    if (!pixmap.isNull() && pixmap.size() != target) {
        pixmap = pixmap.width() > pixmap.height()
                     ? pixmap.scaledToWidth(edge, Qt::SmoothTransformation)
                     : pixmap.scaledToHeight(edge, Qt::SmoothTransformation);
    }
    QPoint offset;
    if (pixmap.width() != pixmap.height()) {
        const QSizeF preferred = preferredSize();
        offset = QPoint(int((preferred.width() - pixmap.width()) * 0.5),
                        int((preferred.height() - pixmap.height()) * 0.5));
    }

    const bool sliding = timeLine.state() == QTimeLine::Running;
    MApplicationWindow* window = MApplication::activeApplicationWindow();
    const bool windowShown = window && !window->isInSwitcher();
    if ((!ignoreTransition || sliding) && windowShown) {
        nextPixmap = pixmap;
        nextOffset = offset;
        // A running slide just takes the new incoming cover.
        if (!sliding)
            timeLine.start();
        return;
    }
    currentPixmap = pixmap;
    currentOffset = offset;
    update();
}

QPixmap AlbumArtWidget::albumArt()
{
    return currentPixmap;
}

void AlbumArtWidget::frameChangedSlot(int newFrame)
{
    frame = newFrame;
    update();
}

void AlbumArtWidget::finishedSlot()
{
    currentPixmap = nextPixmap;
    frame = 0;
    currentOffset = nextOffset;
    update();
    emit transitionFinished();
}

void AlbumArtWidget::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MImageWidget::resizeEvent(event);
    timeLine.setFrameRange(0, int(event->newSize().width()));
}

void AlbumArtWidget::paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
                           QWidget* widget)
{
    Q_UNUSED(option)
    Q_UNUSED(widget)
    // Local coordinates: the widget may sit anywhere in its parent (the play queue moves it).
    const QRectF r = rect();
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::black);
    painter->drawRect(r);
    painter->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    if (timeLine.state() != QTimeLine::Running) {
        painter->drawPixmap(QPoint(int(r.x()) + currentOffset.x(), int(r.y()) + currentOffset.y()),
                            currentPixmap);
    } else {
        const bool forward = timeLine.direction() == QTimeLine::Forward;
        const int width = int(r.width());
        const int shift = forward ? -frame : width - frame;
        const int top = int(r.y());
        painter->drawPixmap(QPoint(int(r.x()) + currentOffset.x() + shift, top + currentOffset.y()),
                            currentPixmap);
        const int nextX = forward ? nextOffset.x() + shift + width : nextOffset.x() + shift - width;
        painter->drawPixmap(QPoint(int(r.x()) + nextX, top + nextOffset.y()), nextPixmap);
    }
    painter->restore();
}

void AlbumArtWidget::swipeGestureEvent(QGestureEvent* event, QSwipeGesture* gesture)
{
    event->accept(gesture);
    if (PlayState::instance()->contentType(PlayState::MusicMode) != PlayState::SongContent)
        return;
    if (gesture->horizontalDirection() == QSwipeGesture::NoDirection
        && gesture->verticalDirection() == QSwipeGesture::NoDirection)
        return;
    if (gesture->state() != Qt::GestureFinished)
        return;
    // The gesture directions are those of the landscape-native touch screen, where the cover's
    // axis runs down; on this portrait screen it runs across, so a swipe to the left (the new
    // cover coming in from the right) is the next song as well.
    if (gesture->verticalDirection() == QSwipeGesture::Down
        || gesture->horizontalDirection() == QSwipeGesture::Left) {
        prepareTransition(false);
        emit swiped(SwipeNext);
    } else if (gesture->verticalDirection() == QSwipeGesture::Up
               || gesture->horizontalDirection() == QSwipeGesture::Right) {
        prepareTransition(true);
        emit swiped(SwipePrevious);
    }
}

void AlbumArtWidget::tapGestureEvent(QGestureEvent* event, QTapGesture* gesture)
{
    event->accept(gesture);
    if (gesture->state() == Qt::GestureFinished)
        emit albumArtTapped();
}

void AlbumArtWidget::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
}

void AlbumArtWidget::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
    emit tapped();
}
