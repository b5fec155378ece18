#include "mscenemanager.h"

#include "mapplicationpage.h"
#include "mwindow.h"

#include <QGraphicsScene>
#include <QPointer>
#include <QTimer>

namespace {
QList<MSceneManager*>& allManagers()
{
    static QList<MSceneManager*> managers;
    return managers;
}

bool isPage(const MSceneWindow* sw)
{
    return sw && sw->windowType() == MSceneWindow::ApplicationPage;
}
} // namespace

MSceneManager::MSceneManager(MWindow* window)
    : QObject(window)
    , owner(window)
{
    allManagers().append(this);
}

MSceneManager::~MSceneManager()
{
    allManagers().removeAll(this);
    for (MSceneWindow* sw : qAsConst(managed)) {
        if (sw->window == owner)
            sw->window = nullptr;
    }
}

MWindow* MSceneManager::window() const
{
    return owner;
}

QGraphicsScene* MSceneManager::scene() const
{
    return owner->scene();
}

M::Orientation MSceneManager::orientation() const
{
    return M::Portrait;
}

void MSceneManager::appearSceneWindow(MSceneWindow* sw, MSceneWindow::DeletionPolicy policy)
{
    if (!sw)
        return;
    sw->policy = policy;
    if (sw->window == owner
        && (sw->state == MSceneWindow::Appearing || sw->state == MSceneWindow::Appeared))
        return; // already on its way in or shown

    if (sw->window && sw->window != owner)
        sw->window->sceneManager()->forget(sw);
    sw->window = owner;
    if (!sw->parentItem() && sw->scene() != scene()) {
        if (sw->scene())
            sw->scene()->removeItem(sw);
        scene()->addItem(sw);
    }
    if (!managed.contains(sw))
        managed.append(sw);

    if (isPage(sw)) {
        auto* page = static_cast<MApplicationPage*>(sw);
        MApplicationPage* previous = current;
        if (previous && previous != page)
            history.append(previous);
        setCurrentPage(page);
        emit pageHistoryChanged();
        page->ensureContentCreated();
        if (previous && previous != page)
            beginDisappear(previous, false);
    }
    beginAppear(sw);
}

void MSceneManager::disappearSceneWindow(MSceneWindow* sw)
{
    leave(sw, false);
}

void MSceneManager::dismissSceneWindow(MSceneWindow* sw)
{
    leave(sw, true);
}

QList<MSceneWindow*> MSceneManager::pageHistory() const
{
    return history;
}

void MSceneManager::setPageHistory(const QList<MSceneWindow*>& list)
{
    history.clear();
    for (MSceneWindow* sw : list) {
        if (sw)
            history.append(sw);
    }
    emit pageHistoryChanged();
    if (current)
        current->refreshChrome();
}

MApplicationPage* MSceneManager::currentPage() const
{
    return current;
}

void MSceneManager::refreshDisplay()
{
    const auto items = scene()->items();
    for (QGraphicsItem* item : items) {
        if (!item->parentItem())
            MWidget::refreshDisplayState(item);
    }
}

MSceneWindow* MSceneManager::coveringWindow() const
{
    MSceneWindow* front = nullptr;
    for (MSceneWindow* sw : managed) {
        if (!sw->coversWhatIsBelow() || sw->window != owner
            || (sw->state != MSceneWindow::Appearing && sw->state != MSceneWindow::Appeared))
            continue;
        if (!front || sw->layer() >= front->layer())
            front = sw;
    }
    return front;
}

void MSceneManager::keepKeysInFront()
{
    MSceneWindow* front = coveringWindow();
    QGraphicsScene* s = scene();
    if (!front || !s)
        return;
    const auto inFront = [front, s] {
        QGraphicsItem* focus = s->focusItem();
        return focus && (focus == front || front->isAncestorOf(focus));
    };
    if (inFront())
        return;
    front->setFocus(Qt::OtherFocusReason);
    // A window that cannot take the keys still keeps them from what is below.
    if (!inFront())
        s->setFocusItem(nullptr, Qt::OtherFocusReason);
}

void MSceneManager::giveKeysToFront()
{
    QGraphicsScene* s = scene();
    if (!s)
        return;
    if (MSceneWindow* front = coveringWindow()) {
        QGraphicsItem* focus = s->focusItem();
        if (!focus || (focus != front && !front->isAncestorOf(focus)))
            front->setFocus(Qt::OtherFocusReason);
    } else if (current) {
        current->setFocus(Qt::OtherFocusReason);
    }
}

void MSceneManager::setCurrentPage(MApplicationPage* page)
{
    if (current == page)
        return;
    current = page;
    emit currentPageChanged(page);
}

void MSceneManager::beginAppear(MSceneWindow* sw)
{
    sw->setZValue(sw->layer());
    if (!sw->parentItem())
        sw->setGeometry(sw->placement(scene()->sceneRect()));
    sw->state = MSceneWindow::Appearing;
    const int step = ++sw->transition;
    if (isPage(sw))
        static_cast<MApplicationPage*>(sw)->refreshChrome();
    emit sw->appearing();
    // A handler may already have sent it away again.
    if (sw->transition != step)
        return;
    sw->show();
    // A menu, dialog or sheet over a page takes the keys: typed text must not reach the page
    // below. A page shown behind one (a request from the bus) waits for it to go.
    if (sw->coversWhatIsBelow() || (isPage(sw) && !coveringWindow()))
        giveKeysToFront();
    MWidget::refreshDisplayState(sw);

    QPointer<MSceneWindow> guard(sw);
    QTimer::singleShot(0, this, [guard, step] {
        if (!guard || guard->transition != step)
            return;
        guard->state = MSceneWindow::Appeared;
        emit guard->appeared();
    });
}

void MSceneManager::beginDisappear(MSceneWindow* sw, bool dismissing)
{
    if (sw->state == MSceneWindow::Disappearing || sw->state == MSceneWindow::Disappeared)
        return;
    sw->state = MSceneWindow::Disappearing;
    const int step = ++sw->transition;
    // Until it is hidden on the next turn, a window on its way out stays under every window of
    // its layer: what comes in its place is in front, and a finger that follows at once (a
    // row tapped right after Back) lands there, not on the page being left.
    sw->setZValue(sw->layer() - 0.5);
    emit sw->disappearing();

    QPointer<MSceneWindow> guard(sw);
    QTimer::singleShot(0, this, [this, guard, step, dismissing] {
        if (!guard || guard->transition != step)
            return;
        finishDisappear(guard, dismissing);
    });
}

void MSceneManager::finishDisappear(MSceneWindow* sw, bool dismissing)
{
    sw->state = MSceneWindow::Disappeared;
    ++sw->transition;
    sw->hide();
    // The keys go back to the page (or a covering window still shown) once a covering window
    // has gone, unless something else (a dialog that followed a sheet) took them meanwhile.
    if (sw->coversWhatIsBelow() && scene()) {
        QGraphicsItem* focus = scene()->focusItem();
        if (!focus || focus == sw || sw->isAncestorOf(focus))
            giveKeysToFront();
    }
    MWidget::refreshDisplayState(sw);
    emit sw->disappeared();
    if (sw->policy == MSceneWindow::DestroyWhenDone
        || (sw->policy == MSceneWindow::DestroyWhenDismissed && dismissing)) {
        forget(sw);
        sw->deleteLater();
    }
}

void MSceneManager::leave(MSceneWindow* sw, bool dismissing)
{
    if (!sw || sw->window != owner)
        return;
    if (sw->state == MSceneWindow::Disappearing || sw->state == MSceneWindow::Disappeared) {
        if (dismissing && sw->state == MSceneWindow::Disappeared
            && sw->policy == MSceneWindow::DestroyWhenDismissed) {
            forget(sw);
            sw->deleteLater();
        }
        return;
    }
    if (isPage(sw) && sw == current) {
        MApplicationPage* previous = nullptr;
        while (!history.isEmpty() && !previous) {
            MSceneWindow* candidate = history.takeLast();
            if (isPage(candidate))
                previous = static_cast<MApplicationPage*>(candidate);
        }
        setCurrentPage(previous);
        emit pageHistoryChanged();
        beginDisappear(sw, dismissing);
        if (previous) {
            if (!managed.contains(previous))
                managed.append(previous);
            previous->ensureContentCreated();
            beginAppear(previous);
        }
        return;
    }
    beginDisappear(sw, dismissing);
}

void MSceneManager::forget(MSceneWindow* sw)
{
    managed.removeAll(sw);
    const bool inHistory = history.removeAll(sw) > 0;
    if (current == sw)
        setCurrentPage(nullptr);
    if (inHistory)
        emit pageHistoryChanged();
}

void MSceneManager::forgetSceneWindow(MSceneWindow* sw)
{
    const auto managers = allManagers();
    for (MSceneManager* manager : managers)
        manager->forget(sw);
}
