#include "mlistgroupheader.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {
const QColor DividerColor(0x4a, 0x4a, 0x4a);
const qreal TitleGap = 12;
} // namespace

MListGroupHeader::MListGroupHeader(QGraphicsItem* parent)
    : MWidgetController(parent)
{
    setAcceptedMouseButtons(Qt::NoButton);
}

MListGroupHeader::~MListGroupHeader() = default;

QString MListGroupHeader::title() const
{
    return text;
}

void MListGroupHeader::setTitle(const QString& title)
{
    if (title == text)
        return;
    text = title;
    update();
}

void MListGroupHeader::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MWidgetStyle* s = style();
    const QRectF area = styleContentsRect();
    const QFontMetricsF metrics(s->font());
    const QString shown = metrics.elidedText(text, Qt::ElideRight, area.width());
    const qreal textWidth = metrics.horizontalAdvance(shown);
    painter->save();
    painter->setFont(s->font());
    painter->setPen(s->textColor());
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
    // The line runs from the title to the right edge, on the title's middle.
    const qreal lineY = qRound(area.center().y()) + 0.5;
    const qreal lineStart = area.left() + textWidth + (shown.isEmpty() ? 0 : TitleGap);
    if (lineStart < area.right()) {
        painter->setPen(QPen(DividerColor, 1));
        painter->drawLine(QPointF(lineStart, lineY), QPointF(area.right(), lineY));
    }
    painter->restore();
}
