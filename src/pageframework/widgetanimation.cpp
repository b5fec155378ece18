#include "widgetanimation.h"

#include "mwidget.h"

WidgetAnimation::WidgetAnimation(MWidget* animated, int animationType, int duration,
                                 QObject* parent)
    : QTimeLine(duration, parent)
    , widget(animated)
    , type(animationType)
    // Long animations redraw less often: 60 ms per whole second of duration.
    , interval(60 * (duration / 1000))
{
    if (widget)
        height = widget->effectiveSizeHint(Qt::MaximumSize).height();
    setDuration(duration);
    setUpdateInterval(interval);
}

WidgetAnimation::~WidgetAnimation() = default;

void WidgetAnimation::setWidget(MWidget* animated)
{
    widget = animated;
    height = widget ? widget->effectiveSizeHint(Qt::MaximumSize).height() : 0;
}

void WidgetAnimation::setAnimationType(int animationType)
{
    type = animationType;
}

void WidgetAnimation::fadeIn()
{
    setDirection(Forward);
    startAnimation();
}

void WidgetAnimation::fadeOut()
{
    setDirection(Backward);
    startAnimation();
}

void WidgetAnimation::startAnimation()
{
    stop();
    if (type == Opacity) {
        connect(this, SIGNAL(valueChanged(qreal)), this, SLOT(updateOpacity(qreal)),
                Qt::UniqueConnection);
    } else if (type == Height) {
        connect(this, SIGNAL(valueChanged(qreal)), this, SLOT(updateHeight(qreal)),
                Qt::UniqueConnection);
    }
    start();
}

void WidgetAnimation::updateOpacity(qreal opacity)
{
    if (widget)
        widget->setOpacity(opacity);
    if (opacity <= 0.2 && direction() == Backward) {
        stop();
        disconnect(this, SIGNAL(valueChanged(qreal)), this, SLOT(updateOpacity(qreal)));
        emit opacityFadedOut();
    } else if (opacity == 1.0 && direction() == Forward) {
        stop();
        disconnect(this, SIGNAL(valueChanged(qreal)), this, SLOT(updateOpacity(qreal)));
        emit opacityFadedIn();
    }
}

void WidgetAnimation::updateHeight(qreal value)
{
    const qreal newHeight = value * height;
    if (widget && newHeight != widget->effectiveSizeHint(Qt::MaximumSize).height()) {
        widget->setMaximumHeight(newHeight);
        emit heightChanged(newHeight);
    }
    if (value == 0 && direction() == Backward) {
        stop();
        disconnect(this, SIGNAL(valueChanged(qreal)), this, SLOT(updateHeight(qreal)));
        emit heightFadedOut();
    } else if (value == 1 && direction() == Forward) {
        stop();
        disconnect(this, SIGNAL(valueChanged(qreal)), this, SLOT(updateHeight(qreal)));
        emit heightFadedIn();
    }
}
