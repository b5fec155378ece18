#include "mapplicationmenu.h"

#include "maction.h"
#include "mpalette.h"
#include "mtheme.h"
#include "mwidgetaction.h"

#include <QFontMetricsF>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {
const qreal EntryHeight = 76;
const qreal TitleHeight = 64;
} // namespace

MApplicationMenu::MApplicationMenu(const QString& title)
    : MSceneWindow(ApplicationMenu, nullptr)
    , menuTitle(title)
{
    setAcceptedMouseButtons(Qt::LeftButton);
    connect(this, &MSceneWindow::appearing, this, &MApplicationMenu::rebuild);
}

MApplicationMenu::~MApplicationMenu() = default;

QString MApplicationMenu::title() const
{
    return menuTitle;
}

void MApplicationMenu::setTitle(const QString& title)
{
    menuTitle = title;
    rebuild();
}

QRectF MApplicationMenu::panelRect() const
{
    return panel;
}

QRectF MApplicationMenu::entryRect(QAction* action) const
{
    for (const Entry& e : entries) {
        if (e.action == action)
            return e.rect;
    }
    return QRectF();
}

bool MApplicationMenu::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionChanged:
    case QEvent::ActionRemoved:
        // Follow changes while shown; subclasses may take the events for themselves.
        if (!rebuildPending && sceneWindowState() != Disappeared) {
            rebuildPending = true;
            QTimer::singleShot(0, this, &MApplicationMenu::rebuild);
        }
        break;
    default:
        break;
    }
    return MSceneWindow::event(e);
}

void MApplicationMenu::rebuild()
{
    rebuildPending = false;
    // Widgets of entries that left the menu go back to their actions, hidden.
    for (const Entry& e : qAsConst(entries)) {
        if (e.widget && e.widget->parentItem() == this)
            e.widget->hide();
    }
    entries.clear();
    const QMarginsF m = style()->margins();
    qreal y = 0;
    titleRect = QRectF();
    if (!menuTitle.isEmpty()) {
        titleRect = QRectF(m.left(), 0, rect().width() - m.left() - m.right(), TitleHeight);
        y = TitleHeight;
    }
    const auto all = actions();
    for (QAction* action : all) {
        if (!action->isVisible() || action->isSeparator())
            continue;
        Entry entry;
        entry.action = action;
        entry.rect = QRectF(0, y, rect().width(), EntryHeight);
        if (auto* widgetAction = qobject_cast<MWidgetAction*>(action)) {
            if (QGraphicsWidget* w = widgetAction->widget()) {
                entry.widget = w;
                w->setParentItem(this);
                w->setGeometry(entry.rect.adjusted(m.left(), 0, -m.right(), 0));
                w->show();
            }
        }
        entries.append(entry);
        y += EntryHeight;
    }
    panel = QRectF(0, 0, rect().width(), y + 8);
    update();
}

void MApplicationMenu::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MSceneWindow::resizeEvent(event);
    if (sceneWindowState() != Disappeared)
        rebuild();
}

void MApplicationMenu::drawBackground(QPainter* painter,
                                      const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    painter->fillRect(rect(), QColor(0, 0, 0, 150));
    QColor background = style()->backgroundColor();
    if (!background.isValid())
        background = MTheme::palette().panelColor();
    painter->fillRect(panel, background);
    painter->fillRect(QRectF(panel.left(), panel.bottom() - 2, panel.width(), 2),
                      MTheme::palette().firstAccentColor());
}

void MApplicationMenu::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MWidgetStyle* s = style();
    const QMarginsF m = s->margins();
    painter->save();
    QFont font = s->font();
    const QFontMetricsF metrics(font);
    if (!titleRect.isEmpty()) {
        QFont titleFont = font;
        titleFont.setBold(true);
        painter->setFont(titleFont);
        painter->setPen(MTheme::palette().secondaryColor());
        painter->drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, menuTitle);
    }
    painter->setFont(font);
    for (const Entry& e : entries) {
        if (e.widget || !e.action)
            continue;
        painter->setPen(e.action->isEnabled() ? s->textColor()
                                              : MTheme::palette().disabledColor());
        const QRectF textRect = e.rect.adjusted(m.left(), 0, -m.right(), 0);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(e.action->text(), Qt::ElideRight, textRect.width()));
    }
    painter->restore();
}

QAction* MApplicationMenu::actionAt(const QPointF& pos) const
{
    for (const Entry& e : entries) {
        if (!e.widget && e.action && e.rect.contains(pos))
            return e.action;
    }
    return nullptr;
}

void MApplicationMenu::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
}

void MApplicationMenu::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (!panel.contains(event->pos())) {
        disappear();
        return;
    }
    QPointer<QAction> action = actionAt(event->pos());
    if (!action || !action->isEnabled())
        return;
    disappear();
    if (action)
        action->trigger();
}
