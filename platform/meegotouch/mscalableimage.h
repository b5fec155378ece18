#ifndef MSCALABLEIMAGE_H
#define MSCALABLEIMAGE_H

#include <QMetaType>
#include <QPixmap>

class QPainter;
class QRectF;

// A pixmap drawn at any size, its borders kept and its middle stretched.
class MScalableImage
{
public:
    MScalableImage();
    MScalableImage(const QPixmap* pixmap, int left, int right, int top, int bottom,
                   const QString& id = QString());
    virtual ~MScalableImage();

    const QPixmap* pixmap() const;
    void setPixmap(const QPixmap* pixmap);
    void borders(int* left, int* right, int* top, int* bottom) const;
    QString imageId() const;

    void draw(const QRectF& rect, QPainter* painter) const;

private:
    QPixmap image;
    int leftBorder = 0;
    int rightBorder = 0;
    int topBorder = 0;
    int bottomBorder = 0;
    QString id;
};

Q_DECLARE_METATYPE(const MScalableImage*)

#endif // MSCALABLEIMAGE_H
