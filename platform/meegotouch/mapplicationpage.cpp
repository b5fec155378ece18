#include "mapplicationpage.h"

#include "maction.h"
#include "mapplicationmenu.h"
#include "mnavigationbar.h"
#include "mpannableviewport.h"
#include "mscenemanager.h"
#include "mtoolbar.h"
#include "mwindow.h"

#include <QAction>
#include <QGraphicsSceneResizeEvent>

MApplicationPage::MApplicationPage(QGraphicsItem* parent)
    : MSceneWindow(ApplicationPage, parent)
    , navigationBar(new MNavigationBar(this))
    , toolBar(new MToolBar(this))
    , viewport(new MPannableViewport(this))
{
    setModel(new MApplicationPageModel);
    setFlag(QGraphicsItem::ItemIsFocusable);
    navigationBar->setZValue(2);
    toolBar->setZValue(2);
    toolBar->hide();
    central = defaultCentral = new MWidget;
    viewport->setWidget(central);
    connect(navigationBar, &MNavigationBar::backButtonClicked, this,
            &MApplicationPage::handleBackButton);
    connect(navigationBar, &MNavigationBar::viewMenuRequested, this,
            &MApplicationPage::openViewMenu);
    resize(480, 854);
}

MApplicationPage::~MApplicationPage()
{
    delete menu.data();
}

QGraphicsWidget* MApplicationPage::centralWidget()
{
    if (!central) {
        central = defaultCentral = new MWidget;
        viewport->setWidget(central);
    }
    return central;
}

void MApplicationPage::setCentralWidget(QGraphicsWidget* widget)
{
    if (widget == central)
        return;
    central = widget;
    viewport->setWidget(widget);
    // The empty widget the page made itself goes; a widget given earlier stays with whoever
    // gave it (an extension may show its widget on the page again later).
    if (defaultCentral && defaultCentral != widget)
        delete defaultCentral.data();
}

QString MApplicationPage::title() const
{
    return pageTitle;
}

void MApplicationPage::setTitle(const QString& title)
{
    pageTitle = title;
    navigationBar->setTitle(title);
    if (menu)
        menu->setTitle(title);
}

bool MApplicationPage::isPannable() const
{
    return pannable;
}

void MApplicationPage::setPannable(bool on)
{
    pannable = on;
    viewport->setVerticalPanningPolicy(on ? MPannableWidget::PanningAlwaysOn
                                          : MPannableWidget::PanningAlwaysOff);
    if (!on)
        viewport->setPosition(QPointF(0, 0));
    layoutChrome();
}

MPannableViewport* MApplicationPage::pannableViewport()
{
    return viewport;
}

bool MApplicationPage::isContentCreated() const
{
    return contentCreated;
}

void MApplicationPage::createContent()
{
}

void MApplicationPage::ensureContentCreated()
{
    if (contentCreated || creatingContent)
        return;
    creatingContent = true;
    createContent();
    creatingContent = false;
    contentCreated = true;
}

void MApplicationPage::setComponentsDisplayMode(Components components,
                                                ComponentDisplayMode displayMode)
{
    if (displayMode == MApplicationPageModel::Hide)
        hiddenComponents |= components;
    else
        hiddenComponents &= ~components;
    refreshChrome();
}

MApplicationPage::ComponentDisplayMode MApplicationPage::componentDisplayMode(Component c) const
{
    return (hiddenComponents & c) ? MApplicationPageModel::Hide : MApplicationPageModel::Show;
}

void MApplicationPage::setCustomNavigationBarContent(QGraphicsWidget* content)
{
    customContent = content;
    navigationBar->setCustomContent(content, this);
    refreshChrome();
}

QGraphicsWidget* MApplicationPage::customNavigationBarContent() const
{
    return customContent;
}

QRectF MApplicationPage::exposedContentRect() const
{
    return viewport->geometry();
}

QList<QAction*> MApplicationPage::visibleActionsAt(int location) const
{
    QList<QAction*> result;
    const auto all = actions();
    for (QAction* a : all) {
        if (a->isVisible() && MAction::isAt(a, MAction::Location(location)))
            result.append(a);
    }
    return result;
}

QList<QAction*> MApplicationPage::toolBarActions() const
{
    return visibleActionsAt(MAction::ToolBarLocation);
}

QList<QAction*> MApplicationPage::viewMenuActions() const
{
    return visibleActionsAt(MAction::ApplicationMenuLocation);
}

MApplicationMenu* MApplicationPage::viewMenu() const
{
    return menu;
}

void MApplicationPage::openViewMenu()
{
    const QList<QAction*> entries = viewMenuActions();
    MWindow* window = managingWindow();
    if (entries.isEmpty() || !window)
        return;
    if (!menu) {
        menu = new MApplicationMenu(pageTitle);
        menu->setStyleName(QStringLiteral("Inverted"));
    }
    const auto old = menu->actions();
    for (QAction* a : old)
        menu->removeAction(a);
    menu->addActions(entries);
    menu->appear(window);
}

void MApplicationPage::handleBackButton()
{
    emit backButtonClicked();
    // Nobody took the page away in answer: go back in the history ourselves.
    MSceneManager* manager = managingWindow() ? managingWindow()->sceneManager() : nullptr;
    if (manager && manager->currentPage() == this
        && (sceneWindowState() == Appearing || sceneWindowState() == Appeared))
        disappear();
}

bool MApplicationPage::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionChanged:
    case QEvent::ActionRemoved: {
        const bool handled = MSceneWindow::event(e);
        refreshChrome();
        return handled;
    }
    default:
        break;
    }
    return MSceneWindow::event(e);
}

void MApplicationPage::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MSceneWindow::resizeEvent(event);
    layoutChrome();
}

void MApplicationPage::refreshChrome()
{
    MSceneManager* manager = managingWindow() ? managingWindow()->sceneManager() : nullptr;
    const bool hasHistory = manager && !manager->pageHistory().isEmpty();
    navigationBar->setTitle(pageTitle);
    navigationBar->setBackButtonVisible(hasHistory && !(hiddenComponents & EscapeButton));
    navigationBar->setViewMenuAvailable(!viewMenuActions().isEmpty());
    toolBar->setActions(toolBarActions());
    layoutChrome();
}

void MApplicationPage::layoutChrome()
{
    const QRectF r = rect();
    const bool barShown = !(hiddenComponents & NavigationBar);
    const qreal top = barShown ? navigationBar->barHeight() : 0;
    const bool toolShown = barShown && toolBar->hasItems();
    const qreal bottom = toolShown ? toolBar->barHeight() : 0;
    navigationBar->setVisible(barShown);
    navigationBar->setGeometry(QRectF(0, 0, r.width(), top));
    toolBar->setVisible(toolShown);
    toolBar->setGeometry(QRectF(0, r.height() - bottom, r.width(), bottom));
    viewport->setGeometry(QRectF(0, top, r.width(), qMax<qreal>(0, r.height() - top - bottom)));
}
