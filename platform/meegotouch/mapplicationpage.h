#ifndef MAPPLICATIONPAGE_H
#define MAPPLICATIONPAGE_H

#include "mapplicationpagemodel.h"
#include "mscenewindow.h"

#include <QPointer>

class MApplicationMenu;
class MNavigationBar;
class MPannableViewport;
class MToolBar;

// A full-screen page of an application window. Top to bottom: the navigation bar (back button,
// title, view-menu opener; or the page's custom navigation-bar content), the central widget
// inside the page's pannable viewport, and the toolbar with the page's toolbar actions
// (MAction location 3). View-menu actions (location 4) are listed in an application menu that
// the title bar opens. createContent() runs once, just before the page first appears.
class MApplicationPage : public MSceneWindow
{
    Q_OBJECT

public:
    enum Component {
        NavigationBar = 0x1,
        HomeButton = 0x2,
        EscapeButton = 0x4,
        AllComponents = NavigationBar | HomeButton | EscapeButton
    };
    Q_DECLARE_FLAGS(Components, Component)

    typedef MApplicationPageModel::ComponentDisplayMode ComponentDisplayMode;

    explicit MApplicationPage(QGraphicsItem* parent = nullptr);
    ~MApplicationPage() override;

    // Never null: an empty widget until the page sets its own. A widget set here is shown in
    // the page's viewport and goes with the page unless it is replaced.
    QGraphicsWidget* centralWidget();
    void setCentralWidget(QGraphicsWidget* widget);

    QString title() const;
    void setTitle(const QString& title);

    bool isPannable() const;
    void setPannable(bool pannable);
    MPannableViewport* pannableViewport();

    bool isContentCreated() const;

    void setComponentsDisplayMode(Components components, ComponentDisplayMode displayMode);
    ComponentDisplayMode componentDisplayMode(Component component) const;

    // Shown in place of the standard navigation bar; the page owns it.
    void setCustomNavigationBarContent(QGraphicsWidget* content);
    QGraphicsWidget* customNavigationBarContent() const;

    // The part of the page between its navigation bar and its toolbar.
    QRectF exposedContentRect() const;

    // The page's actions that the toolbar and the view menu show, in their order.
    QList<QAction*> toolBarActions() const;
    QList<QAction*> viewMenuActions() const;

    // Opens the view menu with the page's view-menu actions; nothing when there are none.
    void openViewMenu();
    MApplicationMenu* viewMenu() const;

signals:
    void backButtonClicked();

protected:
    virtual void createContent();

    bool event(QEvent* event) override;
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;

private slots:
    void handleBackButton();

private:
    friend class MSceneManager;

    void ensureContentCreated();
    QList<QAction*> visibleActionsAt(int location) const;
    void refreshChrome();
    void layoutChrome();

    MNavigationBar* navigationBar;
    MToolBar* toolBar;
    MPannableViewport* viewport;
    QPointer<QGraphicsWidget> central;
    QPointer<QGraphicsWidget> defaultCentral;
    QPointer<QGraphicsWidget> customContent;
    QPointer<MApplicationMenu> menu;
    QString pageTitle;
    bool pannable = true;
    bool contentCreated = false;
    bool creatingContent = false;
    Components hiddenComponents;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(MApplicationPage::Components)

#endif // MAPPLICATIONPAGE_H
