#include "mactionlistwindow.h"

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
const qreal PanelPadding = 8;
} // namespace

MActionListWindow::MActionListWindow(WindowType type, const QString& title)
    : MSceneWindow(type, nullptr)
    , listTitle(title)
{
    setAcceptedMouseButtons(Qt::LeftButton);
    connect(this, &MSceneWindow::appearing, this, &MActionListWindow::rebuild);
}

MActionListWindow::~MActionListWindow() = default;

QString MActionListWindow::title() const
{
    return listTitle;
}

void MActionListWindow::setTitle(const QString& title)
{
    listTitle = title;
    if (sceneWindowState() != Disappeared)
        rebuild();
}

QRectF MActionListWindow::panelRect() const
{
    return panel;
}

QRectF MActionListWindow::entryRect(QAction* action) const
{
    for (const Entry& e : entries) {
        if (e.action == action)
            return e.rect;
    }
    return QRectF();
}

bool MActionListWindow::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionChanged:
    case QEvent::ActionRemoved:
        // Follow changes while shown; subclasses may take the events for themselves.
        if (!rebuildPending && sceneWindowState() != Disappeared) {
            rebuildPending = true;
            QTimer::singleShot(0, this, &MActionListWindow::rebuild);
        }
        break;
    default:
        break;
    }
    return MSceneWindow::event(e);
}

void MActionListWindow::rebuild()
{
    rebuildPending = false;
    for (const Entry& e : qAsConst(entries)) {
        if (e.widget && e.widget->parentItem() == this)
            e.widget->hide();
    }
    entries.clear();
    QList<QAction*> shown;
    const auto all = actions();
    for (QAction* action : all) {
        if (action->isVisible() && !action->isSeparator())
            shown.append(action);
    }
    const qreal titleHeight = listTitle.isEmpty() ? 0 : TitleHeight;
    panel = panelPlacement(titleHeight + shown.size() * EntryHeight + PanelPadding);
    const QMarginsF m = style()->margins();
    titleRect = listTitle.isEmpty() ? QRectF()
                                    : QRectF(panel.left() + m.left(), panel.top(),
                                             panel.width() - m.left() - m.right(), TitleHeight);
    qreal y = panel.top() + titleHeight;
    for (QAction* action : qAsConst(shown)) {
        Entry entry;
        entry.action = action;
        entry.rect = QRectF(panel.left(), y, panel.width(), EntryHeight);
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
    update();
}

void MActionListWindow::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MSceneWindow::resizeEvent(event);
    if (sceneWindowState() != Disappeared)
        rebuild();
}

void MActionListWindow::drawBackground(QPainter* painter,
                                       const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MPalette& palette = MTheme::palette();
    painter->fillRect(rect(), QColor(0, 0, 0, 150));
    QColor background = style()->backgroundColor();
    if (!background.isValid())
        background = palette.panelColor();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(palette.firstAccentColor(), 2));
    painter->setBrush(background);
    painter->drawRoundedRect(panel.adjusted(1, 1, -1, -1), 6, 6);
    painter->restore();
}

void MActionListWindow::drawContents(QPainter* painter,
                                     const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MWidgetStyle* s = style();
    const MPalette& palette = MTheme::palette();
    const QMarginsF m = s->margins();
    painter->save();
    const QFont font = s->font();
    const QFontMetricsF metrics(font);
    if (!titleRect.isEmpty()) {
        QFont titleFont = font;
        titleFont.setBold(true);
        painter->setFont(titleFont);
        painter->setPen(palette.secondaryColor());
        painter->drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, listTitle);
    }
    painter->setFont(font);
    for (const Entry& e : entries) {
        if (e.widget || !e.action)
            continue;
        painter->setPen(e.action->isEnabled() ? s->textColor() : palette.disabledColor());
        const QRectF textRect = e.rect.adjusted(m.left(), 0, -m.right(), 0);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(e.action->text(), Qt::ElideRight, textRect.width()));
    }
    painter->restore();
}

QAction* MActionListWindow::actionAt(const QPointF& pos) const
{
    for (const Entry& e : entries) {
        if (!e.widget && e.action && e.rect.contains(pos))
            return e.action;
    }
    return nullptr;
}

void MActionListWindow::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
}

void MActionListWindow::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (!panel.contains(event->pos())) {
        disappear();
        return;
    }
    QAction* action = actionAt(event->pos());
    if (action && action->isEnabled())
        entryChosen(action);
}
