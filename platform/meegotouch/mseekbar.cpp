#include "mseekbar.h"

#include "mpalette.h"
#include "mtheme.h"

#include <QPainter>

MSeekBar::MSeekBar(QGraphicsItem* parent)
    : MSlider(parent)
{
    connect(this, &MSlider::sliderMoved, this, &MSeekBar::checkLoadedRange);
}

MSeekBar::~MSeekBar() = default;

int MSeekBar::loadedContentMaximum() const
{
    return loadedHigh;
}

void MSeekBar::setLoadedContentRange(int minimum, int maximum)
{
    loadedLow = minimum;
    loadedHigh = qMax(minimum, maximum);
    loadedSet = true;
    update();
}

void MSeekBar::checkLoadedRange(int v)
{
    if (loadedSet && (v < loadedLow || v > loadedHigh))
        emit outOfLoadedContentRange();
}

void MSeekBar::drawGroove(QPainter* painter, const QRectF& groove) const
{
    if (!loadedSet || loadedHigh <= loadedLow)
        return;
    const qreal from = positionOf(qMax(loadedLow, minimum()));
    const qreal to = positionOf(qMin(loadedHigh, maximum()));
    painter->setBrush(MTheme::palette().secondaryColor());
    painter->drawRoundedRect(QRectF(from, groove.top(), to - from, groove.height()),
                             groove.height() / 2, groove.height() / 2);
}
