#ifndef ALBUMARTWIDGET_H
#define ALBUMARTWIDGET_H

#include "arttimeline.h"
#include "mimagewidget.h"

#include <QPixmap>
#include <QPoint>

class QGestureEvent;
class QSwipeGesture;
class QTapGesture;

// The player's big cover. A new cover slides in over 400 ms: from the right for the next song,
// from the left for the previous one (prepareTransition() sets the side before the cover comes).
// Swipes on a library song ask for the next song (down, or to the left) or the previous one (up,
// or to the right); a tap asks for the play queue.
class AlbumArtWidget : public MImageWidget
{
    Q_OBJECT

public:
    enum SwipeAction { SwipeNext = 0, SwipePrevious = 1 };

    explicit AlbumArtWidget(QGraphicsItem* parent);
    ~AlbumArtWidget() override;

    void prepareTransition(bool previous);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
               QWidget* widget = nullptr) override;

    // For tests and the player: the slide's state.
    bool isSliding() const;
    QTimeLine::Direction slideDirection() const { return timeLine.direction(); }
    int slideFrame() const { return frame; }
    QPixmap incomingArt() const { return nextPixmap; }
    QPoint artOffset() const { return currentOffset; }

signals:
    void tapped();
    void swiped(int swipeAction);
    void transitionFinished();
    void albumArtTapped();

public slots:
    void setAlbumArt(QPixmap pixmap, bool ignoreTransition);
    void setAlbumArt(QPixmap pixmap);
    QPixmap albumArt();
    void frameChangedSlot(int frame);
    void finishedSlot();
    void swipeGestureEvent(QGestureEvent* event, QSwipeGesture* gesture) override;
    void tapGestureEvent(QGestureEvent* event, QTapGesture* gesture) override;
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private:
    QPixmap currentPixmap;
    QPixmap nextPixmap;
    QPoint currentOffset;
    QPoint nextOffset;
    ArtTimeLine timeLine;
    int frame = 0;
};

#endif // ALBUMARTWIDGET_H
