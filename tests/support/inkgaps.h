#ifndef INKGAPS_H
#define INKGAPS_H

// What a user sees of a widget's parts: the widget drawn on black at its size, and the box of
// the pixels that something was drawn on inside a part's area. Two parts "touch" when the ink
// of one ends less than a few pixels before the ink of the other begins. Header only.

#include <QColor>
#include <QGraphicsScene>
#include <QGraphicsWidget>
#include <QImage>
#include <QPainter>
#include <QRect>

// The scene around the widget drawn as a picture of the widget's own size, on black.
inline QImage drawnOnBlack(QGraphicsWidget* widget)
{
    const QRectF shown = widget->sceneBoundingRect();
    QImage picture(shown.size().toSize(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    if (QGraphicsScene* scene = widget->scene())
        scene->render(&painter, QRectF(QPointF(0, 0), shown.size()), shown);
    return picture;
}

// The box of the drawn pixels inside area (in the picture's coordinates); empty when nothing
// is drawn there. A pixel is drawn when one of its channels is clearly above black.
inline QRect inkIn(const QImage& picture, const QRectF& area)
{
    const QRect bounds = area.toAlignedRect().intersected(picture.rect());
    QRect ink;
    for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
        for (int x = bounds.left(); x <= bounds.right(); ++x) {
            const QRgb p = picture.pixel(x, y);
            if (qMax(qRed(p), qMax(qGreen(p), qBlue(p))) > 60)
                ink = ink.united(QRect(x, y, 1, 1));
        }
    }
    return ink;
}

// The area of a part of the widget, in the widget's own coordinates.
inline QRectF areaOf(QGraphicsWidget* widget, QGraphicsItem* part)
{
    return part->mapRectToItem(widget, part->boundingRect());
}

// Blank pixels between the ink of the left part and the ink of the right part (negative when
// they overlap).
inline int blankBetween(const QRect& left, const QRect& right)
{
    return right.left() - left.right() - 1;
}

// Blank pixels between the ink of the upper part and the ink of the lower part.
inline int blankBelow(const QRect& upper, const QRect& lower)
{
    return lower.top() - upper.bottom() - 1;
}

#endif // INKGAPS_H
