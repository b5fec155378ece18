#include "zeloverlaylabel.h"

#include "mimagewidget.h"
#include "mlabel.h"
#include "mlisttaptracker.h"
#include "mstylablewidget.h"

#include <QGraphicsSceneMouseEvent>

namespace {

const qreal GroundHeight = 56;
const qreal SmallEdge = 48;
const qreal Inset = 8;

} // namespace

ZelOverlayLabel::ZelOverlayLabel(const QString& styleName, QGraphicsItem* parent)
    : MWidgetController(parent)
    , picture(new MImageWidget(this))
    , ground(new MStylableWidget(this))
    , text(new MLabel(ground))
    , smallPicture(new MImageWidget(this))
    , tapTracker(new MListTapTracker(this))
{
    setStyleName(styleName);
    setAcceptedMouseButtons(Qt::LeftButton);
    picture->setAspectRatioMode(Qt::KeepAspectRatioByExpanding);
    picture->setFlag(QGraphicsItem::ItemClipsToShape);
    text->setTextElide(true);
    ground->hide();
    connect(tapTracker, &MListTapTracker::longTapped, this, &ZelOverlayLabel::longTapped);
    placeParts();
}

ZelOverlayLabel::~ZelOverlayLabel() = default;

void ZelOverlayLabel::setTitle(const QString& title)
{
    text->setText(title);
    // Without a title the picture shows whole.
    ground->setVisible(!title.isEmpty());
}

QString ZelOverlayLabel::title() const
{
    return text->text();
}

void ZelOverlayLabel::setImage(const QPixmap& pixmap)
{
    picture->setPixmap(pixmap);
}

QPixmap ZelOverlayLabel::image() const
{
    const QPixmap* shown = picture->pixmap();
    return shown ? *shown : QPixmap();
}

void ZelOverlayLabel::setSmallImage(const QString& iconId)
{
    smallPicture->setImage(iconId);
}

QString ZelOverlayLabel::smallImage() const
{
    return smallPicture->imageId();
}

void ZelOverlayLabel::setOverlayTextLabelStyleName(const QString& name)
{
    text->setStyleName(name);
}

void ZelOverlayLabel::setOverlayBackgroundStyleName(const QString& name)
{
    ground->setStyleName(name);
}

void ZelOverlayLabel::setSmallImageStyleName(const QString& name)
{
    smallPicture->setStyleName(name);
}

void ZelOverlayLabel::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MWidgetController::resizeEvent(event);
    placeParts();
}

void ZelOverlayLabel::placeParts()
{
    const QRectF r = rect();
    picture->setGeometry(r);
    ground->setGeometry(QRectF(0, r.height() - GroundHeight, r.width(), GroundHeight));
    text->setGeometry(QRectF(Inset, 0, qMax<qreal>(0, r.width() - 2 * Inset), GroundHeight));
    smallPicture->setGeometry(QRectF(r.width() - SmallEdge - Inset, Inset, SmallEdge, SmallEdge));
}

void ZelOverlayLabel::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
    tapTracker->cancel();
    tapTracker->press(event->scenePos());
}

void ZelOverlayLabel::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    tapTracker->move(event->scenePos());
}

void ZelOverlayLabel::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
    if (tapTracker->release() && rect().contains(event->pos()))
        emit clicked();
}

void ZelOverlayLabel::ungrabMouseEvent(QEvent* event)
{
    Q_UNUSED(event)
    tapTracker->cancel();
}
