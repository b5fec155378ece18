#include "mbutton.h"

#include "mfeedback.h"
#include "mpalette.h"
#include "mtheme.h"

#include <QWidget>
#include <QFontMetricsF>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

const QString MButton::defaultType = QStringLiteral("default");
const QString MButton::iconType = QStringLiteral("icon");
const QString MButton::toggleType = QStringLiteral("toggle");
const QString MButton::checkboxType = QStringLiteral("checkbox");
const QString MButton::switchType = QStringLiteral("switch");

MButton::MButton(QGraphicsItem* parent)
    : MButton(QString(), QString(), parent)
{
}

MButton::MButton(const QString& text, QGraphicsItem* parent)
    : MButton(QString(), text, parent)
{
}

MButton::MButton(const QString& iconID, const QString& text, QGraphicsItem* parent)
    : MWidgetController(parent)
    , buttonText(text)
    , icon(iconID)
{
    setAcceptedMouseButtons(Qt::LeftButton);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

MButton::~MButton() = default;

QString MButton::text() const
{
    return buttonText;
}

void MButton::setText(const QString& text)
{
    if (text == buttonText)
        return;
    buttonText = text;
    updateGeometry();
    update();
}

QString MButton::iconID() const
{
    return icon;
}

void MButton::setIconID(const QString& id)
{
    if (id == icon)
        return;
    icon = id;
    updateGeometry();
    update();
}

bool MButton::isCheckable() const
{
    return checkable;
}

void MButton::setCheckable(bool on)
{
    checkable = on;
    if (!on)
        setChecked(false);
}

bool MButton::isChecked() const
{
    return checked;
}

void MButton::setChecked(bool on)
{
    if (!checkable || on == checked)
        return;
    checked = on;
    update();
    emit toggled(checked);
}

void MButton::toggle()
{
    setChecked(!checked);
}

void MButton::click()
{
    if (!isEnabled())
        return;
    emit pressed();
    emit released();
    if (checkable)
        toggle();
    emit clicked(checked);
}

bool MButton::isDown() const
{
    return down;
}

void MButton::setDown(bool on)
{
    if (on == down)
        return;
    down = on;
    update();
}

bool MButton::isIconView() const
{
    return viewType() == iconType;
}

bool MButton::isCheckView() const
{
    return viewType() == checkboxType || viewType() == switchType;
}

QSizeF MButton::iconSize() const
{
    const QSizeF s = style()->iconSize();
    return s.isValid() && !s.isEmpty() ? s : QSizeF(48, 48);
}

QSizeF MButton::contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    Q_UNUSED(constraint)
    if (which == Qt::MaximumSize)
        return QSizeF(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QMarginsF m = style()->margins();
    const QFontMetricsF metrics(style()->font());
    qreal width = 0;
    qreal height = metrics.height();
    if (isCheckView()) {
        width = height = 40;
    } else {
        const bool showIcon = !icon.isEmpty();
        const bool showText = !buttonText.isEmpty();
        if (showIcon) {
            width += iconSize().width();
            height = qMax(height, iconSize().height());
        }
        if (showText) {
            if (showIcon)
                width += 12;
            width += which == Qt::MinimumSize ? metrics.horizontalAdvance(QLatin1String("..."))
                                              : metrics.horizontalAdvance(buttonText);
        }
    }
    return QSizeF(width + m.left() + m.right(), height + m.top() + m.bottom());
}

void MButton::drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    const MPalette& palette = MTheme::palette();
    if (isIconView() || isCheckView()) {
        if (down) {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            painter->setBrush(palette.pressedColor());
            const qreal d = qMin(rect().width(), rect().height());
            painter->drawEllipse(QRectF(rect().center() - QPointF(d / 2, d / 2), QSizeF(d, d)));
            painter->restore();
        }
        return;
    }
    MWidgetController::drawBackground(painter, option);
    if (down || (checked && viewType() == toggleType)) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        QColor overlay = down ? palette.pressedColor() : palette.firstAccentColor();
        overlay.setAlpha(down ? 160 : 200);
        painter->setBrush(overlay);
        const qreal r = style()->cornerRadius();
        painter->drawRoundedRect(rect(), r, r);
        painter->restore();
    }
}

void MButton::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MPalette& palette = MTheme::palette();
    painter->save();
    if (!isEnabled())
        painter->setOpacity(0.4);
    const QRectF area = styleContentsRect();

    if (isCheckView()) {
        const qreal d = qMin<qreal>(32, qMin(area.width(), area.height()));
        const QRectF box(area.center() - QPointF(d / 2, d / 2), QSizeF(d, d));
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(checked ? palette.firstAccentColor() : palette.secondaryColor(), 2));
        painter->setBrush(checked ? palette.firstAccentColor() : QColor(Qt::transparent));
        painter->drawRoundedRect(box, 4, 4);
        if (checked) {
            painter->setPen(QPen(palette.backgroundColor(), 3, Qt::SolidLine, Qt::RoundCap));
            painter->drawLine(box.left() + d * 0.22, box.top() + d * 0.52, box.left() + d * 0.42,
                              box.top() + d * 0.72);
            painter->drawLine(box.left() + d * 0.42, box.top() + d * 0.72, box.left() + d * 0.78,
                              box.top() + d * 0.3);
        }
        painter->restore();
        return;
    }

    const QString& shownIcon = icon;
    const bool showIcon = !shownIcon.isEmpty();
    const bool showText = !buttonText.isEmpty();
    QSizeF iconArea = iconSize();
    iconArea = iconArea.boundedTo(area.size());
    const QFontMetricsF metrics(style()->font());
    const qreal textWidth = showText ? metrics.horizontalAdvance(buttonText) : 0;
    const qreal contentWidth = (showIcon ? iconArea.width() : 0) + (showIcon && showText ? 12 : 0)
                               + textWidth;
    qreal x = area.left() + qMax<qreal>(0, (area.width() - contentWidth) / 2);
    if (showIcon) {
        const QSize pixelSize = iconArea.toSize();
        const QPixmap pixmap = MTheme::pixmap(shownIcon, pixelSize);
        if (!pixmap.isNull()) {
            const QRectF target(x, area.center().y() - iconArea.height() / 2, iconArea.width(),
                                iconArea.height());
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            painter->drawPixmap(target, pixmap, QRectF(pixmap.rect()));
        }
        x += iconArea.width() + (showText ? 12 : 0);
    }
    if (showText) {
        painter->setFont(style()->font());
        painter->setPen(style()->textColor());
        const QRectF textRect(x, area.top(), area.right() - x, area.height());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          metrics.elidedText(buttonText, Qt::ElideRight, textRect.width()));
    }
    painter->restore();
}

void MButton::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    setDown(true);
    MFeedback::play(MFeedback::Press);
    emit pressed();
}

void MButton::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    setDown(rect().contains(event->pos()));
}

void MButton::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool inside = rect().contains(event->pos()) && down;
    setDown(false);
    emit released();
    if (!inside || !isEnabled())
        return;
    MFeedback::play(MFeedback::Release);
    if (checkable)
        toggle();
    emit clicked(checked);
}

void MButton::ungrabMouseEvent(QEvent* event)
{
    Q_UNUSED(event)
    setDown(false);
}
