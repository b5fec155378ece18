#include "mseparator.h"

#include <QPainter>
#include <QWidget>

namespace {
const qreal Thickness = 2;
const QColor LineColour(0x4a, 0x4a, 0x4a);
} // namespace

MSeparator::MSeparator(QGraphicsItem* parent, Qt::Orientation orientation)
    : MWidgetController(parent)
    , direction(orientation)
{
    setOrientation(orientation);
}

MSeparator::~MSeparator() = default;

Qt::Orientation MSeparator::orientation() const
{
    return direction;
}

void MSeparator::setOrientation(Qt::Orientation orientation)
{
    direction = orientation;
    if (orientation == Qt::Horizontal)
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    else
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    updateGeometry();
}

QSizeF MSeparator::contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    Q_UNUSED(constraint)
    const qreal along = which == Qt::MaximumSize ? QWIDGETSIZE_MAX : 0;
    return direction == Qt::Horizontal ? QSizeF(along, Thickness) : QSizeF(Thickness, along);
}

void MSeparator::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    if (style()->backgroundColor().isValid())
        return; // the style's background is the line
    painter->fillRect(rect(), LineColour);
}
