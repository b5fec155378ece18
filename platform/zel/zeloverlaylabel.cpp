#include "zeloverlaylabel.h"

#include "mimagewidget.h"
#include "mlabel.h"
#include "mlisttaptracker.h"
#include "mstylablewidget.h"

#include <QGraphicsSceneMouseEvent>

#include <cmath>

namespace {

const qreal SmallEdge = 48;
const qreal Inset = 8;
// Above and below the tallest part of the ground (its line of text or the small image).
const qreal GroundPadding = 4;

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
    placeParts();
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
    placeParts();
}

QString ZelOverlayLabel::smallImage() const
{
    return smallPicture->imageId();
}

void ZelOverlayLabel::setOverlayTextLabelStyleName(const QString& name)
{
    text->setStyleName(name);
    // The ground is as tall as a line of the text's font.
    placeParts();
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
    // The ground covers no more of the picture than its parts need: one line of the title,
    // and the small image at its right end. Anywhere else on the picture the small image would
    // lie over what the picture shows (the words of a drawn cover start at its top left and
    // run to its right edge), and a taller ground over the lower half of a collage's covers.
    const QRectF r = rect();
    const bool titled = !text->text().isEmpty();
    const bool marked = !smallPicture->imageId().isEmpty();
    qreal partHeight = titled ? text->effectiveSizeHint(Qt::MinimumSize).height() : 0;
    if (marked)
        partHeight = qMax(partHeight, SmallEdge);
    const qreal groundHeight = std::ceil(partHeight + 2 * GroundPadding);
    const qreal groundTop = r.height() - groundHeight;
    picture->setGeometry(r);
    // Without a title or a small image the picture shows whole.
    ground->setVisible(titled || marked);
    ground->setGeometry(QRectF(0, groundTop, r.width(), groundHeight));
    const qreal textRight = marked ? r.width() - SmallEdge - 2 * Inset : r.width() - Inset;
    text->setGeometry(QRectF(Inset, 0, qMax<qreal>(0, textRight - Inset), groundHeight));
    smallPicture->setGeometry(QRectF(r.width() - SmallEdge - Inset,
                                     groundTop + (groundHeight - SmallEdge) / 2, SmallEdge,
                                     SmallEdge));
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
