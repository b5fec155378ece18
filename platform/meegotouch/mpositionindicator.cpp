#include "mpositionindicator.h"

#include <QPainter>
#include <QTimer>

namespace {
const int VisibleAfterMove = 800;
const qreal Width = 4;
const qreal EdgeInset = 3;
} // namespace

MPositionIndicator::MPositionIndicator(QGraphicsItem* parent)
    : MWidgetController(parent)
    , fadeTimer(new QTimer(this))
{
    setAcceptedMouseButtons(Qt::NoButton);
    fadeTimer->setSingleShot(true);
    fadeTimer->setInterval(VisibleAfterMove);
    connect(fadeTimer, &QTimer::timeout, this, [this] {
        active = false;
        update();
    });
}

MPositionIndicator::~MPositionIndicator() = default;

void MPositionIndicator::placeAlongRightEdge(const QSizeF& viewportSize)
{
    setGeometry(QRectF(viewportSize.width() - Width - EdgeInset, 0, Width, viewportSize.height()));
}

void MPositionIndicator::setPanningState(const QSizeF& viewportSize, const QRectF& range,
                                         const QPointF& pos)
{
    const bool moved = pos != position;
    viewport = viewportSize;
    pannedRange = range;
    position = pos;
    if (moved && range.height() > 0) {
        active = true;
        fadeTimer->start();
    }
    update();
}

void MPositionIndicator::drawBackground(QPainter* painter,
                                        const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(painter)
    Q_UNUSED(option)
}

void MPositionIndicator::drawContents(QPainter* painter,
                                      const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    if (!active || pannedRange.height() <= 0 || viewport.height() <= 0)
        return;
    const qreal contentHeight = viewport.height() + pannedRange.height();
    const qreal barHeight = qMax<qreal>(24, rect().height() * viewport.height() / contentHeight);
    const qreal travel = rect().height() - barHeight;
    const qreal fraction = qBound<qreal>(0,
                                         (position.y() - pannedRange.top()) / pannedRange.height(),
                                         1);
    QColor color = style()->backgroundColor();
    if (!color.isValid())
        color = QColor(0x80, 0x80, 0x80);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(color);
    painter->drawRoundedRect(QRectF(0, travel * fraction, rect().width(), barHeight), 2, 2);
    painter->restore();
}
