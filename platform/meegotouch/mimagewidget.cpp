#include "mimagewidget.h"

#include "mtheme.h"

#include <QWidget>
#include <QPainter>

MImageWidget::MImageWidget(QGraphicsItem* parent)
    : MWidgetController(parent)
{
}

MImageWidget::MImageWidget(const QString& imageId, QGraphicsItem* parent)
    : MWidgetController(parent)
    , id(imageId)
{
}

MImageWidget::MImageWidget(const QPixmap* pixmap, QGraphicsItem* parent)
    : MWidgetController(parent)
{
    if (pixmap)
        ownPixmap = *pixmap;
}

MImageWidget::~MImageWidget() = default;

void MImageWidget::setImage(const QString& imageId)
{
    setImage(imageId, QSize());
}

void MImageWidget::setImage(const QString& imageId, const QSize& size)
{
    id = imageId;
    requestedSize = size;
    ownPixmap = QPixmap();
    themeCache = QPixmap();
    updateGeometry();
    update();
}

void MImageWidget::setImage(const QImage& image)
{
    setPixmap(QPixmap::fromImage(image));
}

QString MImageWidget::imageId() const
{
    return id;
}

QString MImageWidget::image() const
{
    return id;
}

void MImageWidget::setPixmap(const QPixmap& pixmap)
{
    ownPixmap = pixmap;
    id.clear();
    requestedSize = QSize();
    themeCache = QPixmap();
    updateGeometry();
    update();
}

QPixmap MImageWidget::themePixmap(const QSize& size) const
{
    if (id.isEmpty())
        return QPixmap();
    const QSize wanted = requestedSize.isValid() ? requestedSize : size;
    if (themeCache.isNull() || (wanted.isValid() && themeCache.size() != wanted))
        themeCache = MTheme::pixmap(id, wanted);
    return themeCache;
}

const QPixmap* MImageWidget::pixmap() const
{
    if (!ownPixmap.isNull())
        return &ownPixmap;
    if (id.isEmpty())
        return nullptr;
    themePixmap(themeCache.isNull() ? QSize() : themeCache.size());
    return themeCache.isNull() ? nullptr : &themeCache;
}

QSize MImageWidget::imageSize() const
{
    if (!ownPixmap.isNull())
        return ownPixmap.size();
    if (requestedSize.isValid())
        return requestedSize;
    const QPixmap* p = pixmap();
    return p ? p->size() : QSize();
}

void MImageWidget::setAspectRatioMode(Qt::AspectRatioMode mode)
{
    ratioMode = mode;
    update();
}

QSizeF MImageWidget::contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    Q_UNUSED(constraint)
    switch (which) {
    case Qt::MinimumSize:
        return QSizeF(0, 0);
    case Qt::PreferredSize: {
        const QMarginsF m = style()->margins();
        const QSizeF s = imageSize();
        return QSizeF(qMax<qreal>(0, s.width()) + m.left() + m.right(),
                      qMax<qreal>(0, s.height()) + m.top() + m.bottom());
    }
    default:
        return QSizeF(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

void MImageWidget::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const QRectF area = styleContentsRect();
    if (area.isEmpty())
        return;
    QPixmap shown = ownPixmap;
    if (shown.isNull()) {
        QSize size = area.size().toSize();
        const int side = qMin(size.width(), size.height());
        if (ratioMode != Qt::IgnoreAspectRatio)
            size = QSize(side, side);
        shown = themePixmap(size);
    }
    if (shown.isNull())
        return;
    QSizeF drawn = shown.size();
    drawn.scale(area.size(), ratioMode);
    QRectF source(shown.rect());
    QRectF target(area.center() - QPointF(drawn.width() / 2, drawn.height() / 2), drawn);
    if (ratioMode == Qt::KeepAspectRatioByExpanding) {
        // Fill the widget and crop what sticks out.
        target = area;
        const qreal sx = drawn.width() / area.width();
        const qreal sy = drawn.height() / area.height();
        const QSizeF visible(source.width() / sx, source.height() / sy);
        source = QRectF(source.center() - QPointF(visible.width() / 2, visible.height() / 2),
                        visible);
    }
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    if (!isEnabled())
        painter->setOpacity(0.4);
    painter->drawPixmap(target, shown, source);
    painter->restore();
}
