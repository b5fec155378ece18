#include "mbanner.h"

#include "touchlogging.h"
#include "mpalette.h"
#include "mtheme.h"

#include <QDebug>
#include <QFontMetricsF>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTextOption>
#include <QTimer>

namespace {
const qreal Inset = 12;
const qreal IconSide = 48;
int durationMs = 3000;

QStringList& titleLog()
{
    static QStringList titles;
    return titles;
}
} // namespace

MBanner::MBanner()
    : MSceneWindow(Banner, nullptr)
    , timeout(new QTimer(this))
{
    setAcceptedMouseButtons(Qt::LeftButton);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, this, [this] { disappear(); });
    connect(this, &MSceneWindow::appearing, this, &MBanner::startTimeout);
}

MBanner::~MBanner() = default;

QString MBanner::title() const
{
    return bannerTitle;
}

void MBanner::setTitle(const QString& title)
{
    bannerTitle = title;
    update();
}

QString MBanner::subtitle() const
{
    return bannerSubtitle;
}

void MBanner::setSubtitle(const QString& subtitle)
{
    bannerSubtitle = subtitle;
    update();
}

QString MBanner::iconID() const
{
    return icon;
}

void MBanner::setIconID(const QString& id)
{
    icon = id;
    update();
}

QStringList MBanner::shownTitles()
{
    return titleLog();
}

void MBanner::clearShownTitles()
{
    titleLog().clear();
}

void MBanner::setDisplayDurationForTesting(int ms)
{
    durationMs = qMax(0, ms);
}

QString MBanner::text() const
{
    if (bannerSubtitle.isEmpty())
        return bannerTitle;
    if (bannerTitle.isEmpty())
        return bannerSubtitle;
    return bannerTitle + QLatin1Char('\n') + bannerSubtitle;
}

void MBanner::startTimeout()
{
    titleLog().append(bannerTitle);
    timeout->start(durationMs);
}

void MBanner::appearWithoutWindow(DeletionPolicy policy)
{
    qCDebug(lcTouch) << Q_FUNC_INFO << "- no window for the banner:" << text();
    titleLog().append(bannerTitle);
    QPointer<MBanner> guard(this);
    QTimer::singleShot(0, this, [guard, policy] {
        if (!guard)
            return;
        emit guard->disappeared();
        if (policy != KeepWhenDone)
            guard->deleteLater();
    });
}

QRectF MBanner::placement(const QRectF& sceneRect) const
{
    const MWidgetStyle* s = style();
    const QMarginsF m = s->margins();
    const qreal width = sceneRect.width() - 2 * Inset;
    const qreal textWidth = width - m.left() - m.right() - (icon.isEmpty() ? 0 : IconSide + 12);
    const QFontMetricsF metrics(s->font());
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, qMax<qreal>(1, textWidth), 10000),
                                               Qt::TextWordWrap | Qt::AlignLeft, text());
    const qreal height = qMax(bounds.height(), icon.isEmpty() ? 0.0 : IconSide) + m.top()
                         + m.bottom();
    return QRectF(sceneRect.left() + Inset, sceneRect.top() + Inset, width, height);
}

void MBanner::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MWidgetStyle* s = style();
    QRectF area = styleContentsRect();
    painter->save();
    // An accent stripe along the left edge sets the notice apart from the page.
    painter->fillRect(QRectF(0, 0, 4, rect().height()), MTheme::palette().firstAccentColor());
    if (!icon.isEmpty()) {
        const QPixmap pixmap = MTheme::pixmap(icon, QSize(IconSide, IconSide));
        if (!pixmap.isNull())
            painter->drawPixmap(QRectF(area.left(), area.center().y() - IconSide / 2, IconSide,
                                       IconSide),
                                pixmap, QRectF(pixmap.rect()));
        area.setLeft(area.left() + IconSide + 12);
    }
    painter->setFont(s->font());
    painter->setPen(s->textColor());
    painter->drawText(area, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, text());
    painter->restore();
}

void MBanner::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
}

void MBanner::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (!rect().contains(event->pos()))
        return;
    // Out of the way at once, not on the next turn of the loop with the rest of its leaving:
    // a tap that follows at once (a busy window takes both at one turn) reaches what the banner
    // covered, the Back button of the page below say.
    hide();
    disappear();
}
