#include "mscalableimage.h"

#include <QPainter>
#include <qdrawutil.h>

MScalableImage::MScalableImage() = default;

MScalableImage::MScalableImage(const QPixmap* pixmap, int left, int right, int top, int bottom,
                               const QString& imageId)
    : leftBorder(left)
    , rightBorder(right)
    , topBorder(top)
    , bottomBorder(bottom)
    , id(imageId)
{
    if (pixmap)
        image = *pixmap;
}

MScalableImage::~MScalableImage() = default;

const QPixmap* MScalableImage::pixmap() const
{
    return image.isNull() ? nullptr : &image;
}

void MScalableImage::setPixmap(const QPixmap* pixmap)
{
    image = pixmap ? *pixmap : QPixmap();
}

void MScalableImage::borders(int* left, int* right, int* top, int* bottom) const
{
    if (left)
        *left = leftBorder;
    if (right)
        *right = rightBorder;
    if (top)
        *top = topBorder;
    if (bottom)
        *bottom = bottomBorder;
}

QString MScalableImage::imageId() const
{
    return id;
}

void MScalableImage::draw(const QRectF& rect, QPainter* painter) const
{
    if (image.isNull() || !painter)
        return;
    if (leftBorder + rightBorder + topBorder + bottomBorder == 0) {
        painter->drawPixmap(rect, image, QRectF(image.rect()));
        return;
    }
    const QMargins borders(leftBorder, topBorder, rightBorder, bottomBorder);
    qDrawBorderPixmap(painter, rect.toRect(), borders, image);
}
