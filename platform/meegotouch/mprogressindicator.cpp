#include "mprogressindicator.h"

#include "mpalette.h"
#include "mtheme.h"

#include <QPainter>
#include <QTimer>
#include <QWidget>

const QString MProgressIndicator::barType = QStringLiteral("bar");
const QString MProgressIndicator::spinnerType = QStringLiteral("spinner");

namespace {
const int FrameInterval = 40;
const int PhaseSteps = 50;
} // namespace

MProgressIndicator::MProgressIndicator(QGraphicsItem* parent, const QString& viewType)
    : MWidgetController(parent)
    , animation(new QTimer(this))
{
    setViewType(viewType);
    setSizePolicy(isSpinner() ? QSizePolicy::Fixed : QSizePolicy::Expanding, QSizePolicy::Fixed);
    animation->setInterval(FrameInterval);
    connect(animation, &QTimer::timeout, this, [this] {
        phase = (phase + 1) % PhaseSteps;
        update();
    });
}

MProgressIndicator::~MProgressIndicator() = default;

bool MProgressIndicator::isSpinner() const
{
    return viewType() == spinnerType;
}

int MProgressIndicator::minimum() const
{
    return bounded.minimum();
}

int MProgressIndicator::maximum() const
{
    return bounded.maximum();
}

void MProgressIndicator::setMinimum(int minimum)
{
    if (bounded.setMinimum(minimum))
        emit valueChanged(bounded.value());
    update();
}

void MProgressIndicator::setMaximum(int maximum)
{
    if (bounded.setMaximum(maximum))
        emit valueChanged(bounded.value());
    update();
}

void MProgressIndicator::setRange(int minimum, int maximum)
{
    if (bounded.setRange(minimum, maximum))
        emit valueChanged(bounded.value());
    update();
}

int MProgressIndicator::value() const
{
    return bounded.value();
}

void MProgressIndicator::setValue(int v)
{
    if (!bounded.setValue(v))
        return;
    update();
    emit valueChanged(bounded.value());
}

void MProgressIndicator::reset()
{
    setValue(bounded.minimum());
}

bool MProgressIndicator::unknownDuration() const
{
    return unknown;
}

void MProgressIndicator::setUnknownDuration(bool on)
{
    unknown = on;
    updateAnimation();
    update();
}

void MProgressIndicator::updateAnimation()
{
    if (unknown && isOnDisplay())
        animation->start();
    else
        animation->stop();
}

void MProgressIndicator::enterDisplayEvent()
{
    updateAnimation();
}

void MProgressIndicator::exitDisplayEvent()
{
    updateAnimation();
}

QSizeF MProgressIndicator::contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    Q_UNUSED(constraint)
    if (which == Qt::MaximumSize)
        return isSpinner() ? QSizeF(64, 64) : QSizeF(QWIDGETSIZE_MAX, 12);
    if (isSpinner())
        return QSizeF(48, 48);
    return QSizeF(which == Qt::MinimumSize ? 24 : 200, 12);
}

void MProgressIndicator::drawContents(QPainter* painter,
                                      const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MPalette& palette = MTheme::palette();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF area = styleContentsRect();
    if (isSpinner()) {
        const qreal side = qMin(area.width(), area.height()) - 6;
        const QRectF circle(area.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
        painter->setPen(QPen(palette.disabledColor(), 4));
        painter->drawEllipse(circle);
        painter->setPen(QPen(palette.firstAccentColor(), 4, Qt::SolidLine, Qt::RoundCap));
        const int start = unknown ? -phase * 360 * 16 / PhaseSteps : 90 * 16;
        const qreal fraction = bounded.maximum() > bounded.minimum()
                                   ? qreal(bounded.value() - bounded.minimum())
                                         / (bounded.maximum() - bounded.minimum())
                                   : 0;
        const int span = unknown ? 100 * 16 : -int(360 * 16 * fraction);
        painter->drawArc(circle, start, span);
        painter->restore();
        return;
    }
    const qreal h = qMin<qreal>(area.height(), 8);
    const QRectF track(area.left(), area.center().y() - h / 2, area.width(), h);
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette.disabledColor());
    painter->drawRoundedRect(track, h / 2, h / 2);
    painter->setBrush(palette.firstAccentColor());
    if (unknown) {
        const qreal chunk = track.width() / 4;
        const qreal x = track.left() + (track.width() + chunk) * phase / PhaseSteps - chunk;
        painter->setClipRect(track, Qt::IntersectClip);
        painter->drawRoundedRect(QRectF(x, track.top(), chunk, h), h / 2, h / 2);
    } else if (bounded.maximum() > bounded.minimum() && bounded.value() > bounded.minimum()) {
        const qreal w = track.width() * (bounded.value() - bounded.minimum())
                        / (bounded.maximum() - bounded.minimum());
        painter->drawRoundedRect(QRectF(track.left(), track.top(), w, h), h / 2, h / 2);
    }
    painter->restore();
}
