#include "mslider.h"

#include "mpalette.h"
#include "mtheme.h"

#include <QFontMetricsF>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QWidget>

namespace {
const qreal HandleRadius = 14;
const qreal GrooveHeight = 6;
} // namespace

MSlider::MSlider(QGraphicsItem* parent)
    : MWidgetController(parent)
{
    setAcceptedMouseButtons(Qt::LeftButton);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

MSlider::~MSlider() = default;

int MSlider::minimum() const
{
    return bounded.minimum();
}

int MSlider::maximum() const
{
    return bounded.maximum();
}

void MSlider::setMinimum(int minimum)
{
    if (bounded.setMinimum(minimum))
        emit valueChanged(bounded.value());
    update();
}

void MSlider::setMaximum(int maximum)
{
    if (bounded.setMaximum(maximum))
        emit valueChanged(bounded.value());
    update();
}

void MSlider::setRange(int minimum, int maximum)
{
    if (bounded.setRange(minimum, maximum))
        emit valueChanged(bounded.value());
    update();
}

int MSlider::value() const
{
    return bounded.value();
}

void MSlider::setValue(int v)
{
    if (!bounded.setValue(v))
        return;
    update();
    emit valueChanged(bounded.value());
}

void MSlider::setHandleLabel(const QString& text)
{
    label = text;
    update();
}

void MSlider::setHandleLabelVisible(bool visible)
{
    if (visible == labelVisible)
        return;
    prepareGeometryChange();
    labelVisible = visible;
    update();
}

QRectF MSlider::bubbleRect(qreal handleX) const
{
    const QFontMetricsF metrics(style()->font());
    const QSizeF size(metrics.horizontalAdvance(label) + 16, metrics.height() + 8);
    QRectF bubble(QPointF(handleX - size.width() / 2, grooveRect().top() - size.height() - 10),
                  size);
    bubble.moveLeft(qBound<qreal>(0, bubble.left(), rect().width() - bubble.width()));
    return bubble;
}

QRectF MSlider::boundingRect() const
{
    QRectF r = MWidgetController::boundingRect();
    if (labelVisible)
        r.setTop(qMin(r.top(), bubbleRect(0).top()));
    return r;
}

QRectF MSlider::grooveRect() const
{
    const QRectF area = styleContentsRect();
    return QRectF(area.left() + HandleRadius, area.center().y() - GrooveHeight / 2,
                  qMax<qreal>(1, area.width() - 2 * HandleRadius), GrooveHeight);
}

qreal MSlider::positionOf(int v) const
{
    const QRectF groove = grooveRect();
    if (bounded.maximum() <= bounded.minimum())
        return groove.left();
    return groove.left()
           + groove.width() * qreal(v - bounded.minimum())
                 / (bounded.maximum() - bounded.minimum());
}

int MSlider::valueAt(qreal x) const
{
    const QRectF groove = grooveRect();
    const qreal fraction = qBound<qreal>(0, (x - groove.left()) / groove.width(), 1);
    return bounded.minimum() + qRound(fraction * (bounded.maximum() - bounded.minimum()));
}

QSizeF MSlider::contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    Q_UNUSED(constraint)
    if (which == Qt::MaximumSize)
        return QSizeF(QWIDGETSIZE_MAX, 48);
    return QSizeF(which == Qt::MinimumSize ? 4 * HandleRadius : 240, 48);
}

void MSlider::drawGroove(QPainter* painter, const QRectF& groove) const
{
    Q_UNUSED(painter)
    Q_UNUSED(groove)
}

void MSlider::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MPalette& palette = MTheme::palette();
    const QRectF groove = grooveRect();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter->setOpacity(0.4);
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette.disabledColor());
    painter->drawRoundedRect(groove, GrooveHeight / 2, GrooveHeight / 2);
    drawGroove(painter, groove);
    const qreal x = positionOf(bounded.value());
    painter->setBrush(palette.firstAccentColor());
    painter->drawRoundedRect(QRectF(groove.left(), groove.top(), x - groove.left(),
                                    groove.height()),
                             GrooveHeight / 2, GrooveHeight / 2);
    painter->setBrush(down ? palette.secondAccentColor() : palette.defaultColor());
    painter->drawEllipse(QPointF(x, groove.center().y()), HandleRadius * 0.7, HandleRadius * 0.7);
    if (labelVisible && down && !label.isEmpty()) {
        const QRectF bubble = bubbleRect(x);
        painter->setBrush(palette.panelColor());
        painter->drawRoundedRect(bubble, 6, 6);
        painter->setFont(style()->font());
        painter->setPen(style()->textColor());
        painter->drawText(bubble, Qt::AlignCenter, label);
    }
    painter->restore();
}

void MSlider::userMovedTo(qreal x)
{
    const int v = valueAt(x);
    if (v == bounded.value())
        return;
    setValue(v);
    emit sliderMoved(bounded.value());
}

void MSlider::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    down = true;
    emit sliderPressed();
    userMovedTo(event->pos().x());
    update();
}

void MSlider::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    if (down)
        userMovedTo(event->pos().x());
}

void MSlider::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (!down || event->button() != Qt::LeftButton)
        return;
    userMovedTo(event->pos().x());
    down = false;
    update();
    emit sliderReleased();
}

void MSlider::ungrabMouseEvent(QEvent* event)
{
    Q_UNUSED(event)
    if (!down)
        return;
    down = false;
    update();
    emit sliderReleased();
}
