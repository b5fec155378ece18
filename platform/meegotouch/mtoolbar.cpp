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
    // A bar of placeholders alone would be an empty strip: it is not shown.
    for (const QPointer<QAction>& action : shownActions) {
        if (action && !isPlaceholder(action))
            return true;
    }
    return false;
}

void MToolBar::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MWidgetController::resizeEvent(event);
    layoutItems();
}

bool MToolBar::isPlaceholder(const QAction* action)
{
    // An action with no widget, text or icon shows nothing and takes no room, so that the
    // others have the width there is; alone it does not make the bar appear.
    if (qobject_cast<const MWidgetAction*>(action))
        return false;
    const auto* m = qobject_cast<const MAction*>(action);
    return action->text().isEmpty() && (!m || m->iconID().isEmpty());
}

void MToolBar::layoutItems()
{
    struct Shown
    {
        QGraphicsWidget* widget;
        qreal width; // below 0: shares what the icon buttons leave
    };
    QList<Shown> shown;
    qreal buttonsWidth = 0; // of the icon buttons
    int sharing = 0;
    for (const QPointer<QAction>& action : qAsConst(shownActions)) {
        QGraphicsWidget* w = action ? items.value(action) : nullptr;
        if (!w)
            continue;
        if (isPlaceholder(action)) {
            w->hide();
            continue;
        }
        // Beside an action's own widget (a button with a title, say) the bar's icon buttons
        // keep their own width and the widgets share the rest.
        const auto* m = qobject_cast<const MAction*>(action.data());
        if (buttons.contains(action) && m && !m->iconID().isEmpty()) {
            const qreal width = w->effectiveSizeHint(Qt::PreferredSize).width();
            shown.append({ w, width });
            buttonsWidth += width;
        } else {
            shown.append({ w, -1 });
            ++sharing;
        }
    }
    if (shown.isEmpty())
        return;
    const qreal total = rect().width();
    const bool evenly = sharing == 0 || buttonsWidth >= total;
    qreal x = 0;
    for (const Shown& item : qAsConst(shown)) {
        qreal width = item.width;
        if (evenly)
            width = total / shown.size();
        else if (width < 0)
            width = (total - buttonsWidth) / sharing;
        item.widget->setGeometry(QRectF(x, 0, width, rect().height()));
        x += width;
    }
}
