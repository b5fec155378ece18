#include "mlistindexbubble.h"

#include "mliststyles.h"

#include <QFontMetricsF>
#include <QPainter>

MListIndexBubble::MListIndexBubble(QGraphicsItem* parent)
    : MWidgetController(parent)
{
    MListStyles::ensureRegistered();
    setAcceptedMouseButtons(Qt::NoButton);
}

MListIndexBubble::~MListIndexBubble() = default;

QString MListIndexBubble::text() const
{
    return shown;
}

void MListIndexBubble::setText(const QString& text)
{
    if (text == shown)
        return;
    shown = text;
    update();
}

void MListIndexBubble::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MWidgetStyle* s = style();
    const QRectF area = styleContentsRect().adjusted(6, 6, -6, -6);
    const QString text = QFontMetricsF(s->font()).elidedText(shown, Qt::ElideRight, area.width());
    painter->save();
    painter->setFont(s->font());
    painter->setPen(s->textColor());
    painter->drawText(area, Qt::AlignCenter, text);
    painter->restore();
}
