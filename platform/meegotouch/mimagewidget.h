#ifndef MIMAGEWIDGET_H
#define MIMAGEWIDGET_H

#include "mwidgetcontroller.h"

#include <QPixmap>

// An image: a theme icon id or a pixmap, drawn fitted into the widget (keeping its aspect ratio
// by default) and centred.
class MImageWidget : public MWidgetController
{
    Q_OBJECT

public:
    explicit MImageWidget(QGraphicsItem* parent = nullptr);
    explicit MImageWidget(const QString& id, QGraphicsItem* parent = nullptr);
    explicit MImageWidget(const QPixmap* pixmap, QGraphicsItem* parent = nullptr);
    ~MImageWidget() override;

    void setImage(const QString& id);
    void setImage(const QString& id, const QSize& size);
    void setImage(const QImage& image);
    QString imageId() const;
    QString image() const;

    // An empty pixmap clears the image.
    void setPixmap(const QPixmap& pixmap);
    // The pixmap set with setPixmap(), or the theme's pixmap of the id; null when none.
    const QPixmap* pixmap() const;

    QSize imageSize() const;

    void setAspectRatioMode(Qt::AspectRatioMode mode);

protected:
    QSizeF contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const override;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;

private:
    QPixmap themePixmap(const QSize& size) const;

    QString id;
    QSize requestedSize;
    QPixmap ownPixmap;
    mutable QPixmap themeCache;
    Qt::AspectRatioMode ratioMode = Qt::KeepAspectRatio;
};

#endif // MIMAGEWIDGET_H
