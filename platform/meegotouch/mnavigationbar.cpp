#include "mnavigationbar.h"

#include "mbutton.h"
#include "mpalette.h"
#include "mtheme.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>

namespace {
const qreal BackButtonWidth = 72;
const qreal MenuMarkWidth = 40;
} // namespace

MNavigationBar::MNavigationBar(QGraphicsItem* parent)
    : MWidgetController(parent)
    , backButton(new MButton(this))
{
    setAcceptedMouseButtons(Qt::LeftButton);
    backButton->setViewType(MButton::iconType);
    backButton->setIconID(QStringLiteral("icon-m-toolbar-back-white"));
    backButton->setStyleName(QStringLiteral("MNavigationBarBackButton"));
    backButton->setObjectName(QStringLiteral("MNavigationBarBackButton"));
    backButton->hide();
    connect(backButton, &MButton::clicked, this, &MNavigationBar::backButtonClicked);
}

MNavigationBar::~MNavigationBar() = default;

QString MNavigationBar::title() const
{
    return pageTitle;
}

void MNavigationBar::setTitle(const QString& title)
{
    // Kept for the view menu and the window, not drawn: pages show their title in their own
    // header, and the bar showing it too would show it twice.
    pageTitle = title;
}

bool MNavigationBar::isBackButtonVisible() const
{
    return backWanted && !custom;
}

void MNavigationBar::setBackButtonVisible(bool visible)
{
    backWanted = visible;
    backButton->setVisible(visible && !custom);
    layoutChildren();
}

bool MNavigationBar::isViewMenuAvailable() const
{
    return menuAvailable;
}

void MNavigationBar::setViewMenuAvailable(bool available)
{
    if (available == menuAvailable)
        return;
    menuAvailable = available;
    layoutChildren();
    update();
}

void MNavigationBar::setCustomContent(QGraphicsWidget* content, QGraphicsItem* owner)
{
    if (content == custom)
        return;
    if (custom) {
        custom->hide();
        custom->setParentItem(owner);
    }
    custom = content;
    if (custom) {
        custom->setParentItem(this);
        custom->show();
    }
    backButton->setVisible(backWanted && !custom);
    layoutChildren();
    update();
}

QGraphicsWidget* MNavigationBar::customContent() const
{
    return custom;
}

qreal MNavigationBar::barHeight() const
{
    const qreal h = style()->preferredSize().height();
    return h > 0 ? h : 72;
}

void MNavigationBar::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MWidgetController::resizeEvent(event);
    layoutChildren();
}

void MNavigationBar::layoutChildren()
{
    const QRectF r = rect();
    if (custom) {
        custom->setGeometry(r);
        return;
    }
    // The bar itself may be hidden now; what counts is whether the button is meant to show.
    if (backWanted)
        backButton->setGeometry(QRectF(0, 0, BackButtonWidth, r.height()));
}

void MNavigationBar::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    if (custom || !menuAvailable)
        return;
    // A small downward triangle: the bar opens the view menu.
    const QRectF r = rect();
    const qreal cx = r.width() - style()->margins().right() - MenuMarkWidth / 2;
    const qreal cy = r.height() / 2;
    const QPointF points[3] = { QPointF(cx - 8, cy - 4), QPointF(cx + 8, cy - 4),
                                QPointF(cx, cy + 6) };
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(MTheme::palette().defaultColor());
    painter->drawPolygon(points, 3);
    painter->restore();
}

void MNavigationBar::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (custom || !menuAvailable || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
}

void MNavigationBar::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (rect().contains(event->pos()) && menuAvailable && !custom)
        emit viewMenuRequested();
}
