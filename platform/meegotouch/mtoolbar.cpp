#include "mtoolbar.h"

#include "mbutton.h"
#include "mwidgetaction.h"

#include <QSet>

MToolBar::MToolBar(QGraphicsItem* parent)
    : MWidgetController(parent)
{
}

MToolBar::~MToolBar() = default;

qreal MToolBar::barHeight() const
{
    const qreal h = style()->preferredSize().height();
    return h > 0 ? h : 72;
}

QGraphicsWidget* MToolBar::itemFor(QAction* action)
{
    if (auto* widgetAction = qobject_cast<MWidgetAction*>(action)) {
        if (QGraphicsWidget* w = widgetAction->widget())
            return w;
    }
    QPointer<MButton>& button = buttons[action];
    if (!button) {
        button = new MButton(this);
        button->setStyleName(QStringLiteral("MToolBarButton"));
        QPointer<QAction> guard(action);
        connect(button.data(), &MButton::clicked, this, [guard] {
            if (guard)
                guard->trigger();
        });
    }
    const auto* m = qobject_cast<MAction*>(action);
    const QString icon = m ? m->iconID() : QString();
    button->setIconID(icon);
    button->setViewType(icon.isEmpty() ? MButton::defaultType : MButton::iconType);
    button->setText(icon.isEmpty() ? action->text() : QString());
    button->setEnabled(action->isEnabled());
    return button;
}

void MToolBar::setActions(const QList<QAction*>& actions)
{
    QHash<QAction*, QPointer<QGraphicsWidget>> next;
    QSet<QGraphicsWidget*> shown;
    shownActions.clear();
    for (QAction* action : actions) {
        QGraphicsWidget* w = itemFor(action);
        if (!w)
            continue;
        if (w->parentItem() != this)
            w->setParentItem(this);
        w->show();
        next.insert(action, w);
        shown.insert(w);
        shownActions.append(action);
    }
    // Widgets no longer shown stay hidden here; actions own theirs, buttons of gone actions go.
    for (auto it = items.constBegin(); it != items.constEnd(); ++it) {
        if (it.value() && !shown.contains(it.value()))
            it.value()->hide();
    }
    for (auto it = buttons.begin(); it != buttons.end();) {
        if (!next.contains(it.key())) {
            delete it.value().data();
            it = buttons.erase(it);
        } else {
            ++it;
        }
    }
    items = next;
    layoutItems();
}

bool MToolBar::hasItems() const
{
    return !shownActions.isEmpty();
}

void MToolBar::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MWidgetController::resizeEvent(event);
    layoutItems();
}

bool MToolBar::isPlaceholder(const QAction* action)
{
    // An action with no widget, text or icon only keeps the bar: it shows nothing and takes
    // no room, so that the others have the width there is.
    if (qobject_cast<const MWidgetAction*>(action))
        return false;
    const auto* m = qobject_cast<const MAction*>(action);
    return action->text().isEmpty() && (!m || m->iconID().isEmpty());
}

void MToolBar::layoutItems()
{
    QList<QGraphicsWidget*> widgets;
    for (const QPointer<QAction>& action : qAsConst(shownActions)) {
        QGraphicsWidget* w = action ? items.value(action) : nullptr;
        if (!w)
            continue;
        if (isPlaceholder(action))
            w->hide();
        else
            widgets.append(w);
    }
    if (widgets.isEmpty())
        return;
    const qreal slot = rect().width() / widgets.size();
    for (int i = 0; i < widgets.size(); ++i)
        widgets.at(i)->setGeometry(QRectF(i * slot, 0, slot, rect().height()));
}
