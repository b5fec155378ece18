#include "navigationbarwidget.h"

#include "common/constants.h"
#include "mapplication.h"
#include "mapplicationwindow.h"
#include "mbutton.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "mscenewindow.h"
#include "pageframework/applicationmenuwidget.h"
#include "styles/playerstyles.h"

#include <QAction>

namespace {

MButton* iconButton(QGraphicsItem* parent, const QString& styleName)
{
    auto* button = new MButton(parent);
    button->setViewType(MButton::iconType);
    button->setStyleName(styleName);
    return button;
}

} // namespace

NavigationBarWidget::NavigationBarWidget(QGraphicsItem* parent)
    : MStylableWidget(parent)
    , layout(new MLayout(this))
    , menu(new ApplicationMenuWidget(QString()))
    , musicButton(iconButton(this, QStringLiteral("NavigationBarButton")))
    , backButton(iconButton(this, QStringLiteral("MNavigationBarBackButtonInverted")))
    , menuButton(iconButton(this, QStringLiteral("NavigationBarMenuButtonInverted")))
    , shuffleButton(iconButton(this, QStringLiteral("NavigationBarButton")))
    , repeatButton(iconButton(this, QStringLiteral("NavigationBarButton")))
    , favoriteButton(iconButton(this, QStringLiteral("NavigationBarButton")))
{
    PlayerStyles::ensureRegistered();
    layout->setContentsMargins(0, 0, 0, 0);
    menu->setStyleName(QStringLiteral("Inverted"));

    musicButton->setIconID(Constants::IconLargeMusic);
    for (MButton* button : { backButton, menuButton, shuffleButton, repeatButton, favoriteButton })
        button->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Maximum);
    menuButton->setContentsMargins(0, 0, 0, 0);
    handleMenuActionsChanged(0);
    setShuffleButtonEnabled(false);
    setRepeatButtonEnabled(false);
    setFavoriteButtonEnabled(false);
    setBackButtonEnabled(true);

    backButtonPolicy = new MLinearLayoutPolicy(layout, Qt::Horizontal);
    backButtonPolicy->setContentsMargins(0, 0, 0, 0);
    backButtonPolicy->setSpacing(0);
    backButtonPolicy->addItem(backButton);
    musicButtonPolicy = new MLinearLayoutPolicy(layout, Qt::Horizontal);
    musicButtonPolicy->setContentsMargins(0, 0, 0, 0);
    musicButtonPolicy->setSpacing(0);
    musicButtonPolicy->addItem(musicButton);
    buildLayouts();

    setStyleName(QStringLiteral("NavigationBarWidget"));
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Expanding);

    connect(menu, SIGNAL(menuActionsChanged(int)), this, SLOT(handleMenuActionsChanged(int)),
            Qt::UniqueConnection);
    connect(menuButton, SIGNAL(clicked()), this, SLOT(toggleApplicationMenu()),
            Qt::UniqueConnection);
    connect(shuffleButton, SIGNAL(clicked()), this, SLOT(handleShuffleButtonClick()),
            Qt::UniqueConnection);
    connect(repeatButton, SIGNAL(clicked()), this, SLOT(handleRepeatButtonClick()),
            Qt::UniqueConnection);
    connect(favoriteButton, SIGNAL(clicked()), this, SIGNAL(favoriteButtonClicked()),
            Qt::UniqueConnection);
    connect(backButton, SIGNAL(clicked()), this, SLOT(handleBackButtonClicked()),
            Qt::UniqueConnection);
    connect(musicButton, SIGNAL(clicked()), this, SLOT(handleMusicButtonClicked()),
            Qt::UniqueConnection);
    if (MApplicationWindow* window = MApplication::activeApplicationWindow())
        connect(window, SIGNAL(switcherEntered()), this, SLOT(hideApplicationMenu()),
                Qt::UniqueConnection);
}

NavigationBarWidget::~NavigationBarWidget()
{
    // The menu is a scene window of its own, not a child of the bar.
    delete menu;
}

void NavigationBarWidget::buildLayouts()
{
    for (MButton* button : { favoriteButton, shuffleButton, repeatButton, menuButton }) {
        for (MLinearLayoutPolicy* policy : { backButtonPolicy, musicButtonPolicy }) {
            auto* spacer = new QGraphicsWidget(this);
            // Only the stretch sizes a spacer, never a width of its own.
            spacer->setPreferredSize(0, 0);
            spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
            policy->addItem(spacer);
            policy->setStretchFactor(spacer, 1);
            policy->addItem(button);
        }
    }
}

bool NavigationBarWidget::isBackButtonLayout() const
{
    return backButtonPolicy->isActive();
}

void NavigationBarWidget::useBackButtonLayout()
{
    if (!backButtonPolicy->isActive())
        backButtonPolicy->activate();
}

void NavigationBarWidget::useMusicButtonLayout()
{
    if (!musicButtonPolicy->isActive())
        musicButtonPolicy->activate();
}

void NavigationBarWidget::setShuffle(bool on)
{
    shuffleOn = on;
    updateShuffleIcon();
}

void NavigationBarWidget::setShuffleButtonEnabled(bool enabled)
{
    shuffleButton->setEnabled(enabled);
    updateShuffleIcon();
}

void NavigationBarWidget::setRepeat(bool on)
{
    repeatOn = on;
    updateRepeatIcon();
}

void NavigationBarWidget::setRepeatButtonEnabled(bool enabled)
{
    repeatButton->setEnabled(enabled);
    updateRepeatIcon();
}

void NavigationBarWidget::setFavorite(bool on)
{
    favoriteOn = on;
    updateFavoriteIcon();
}

void NavigationBarWidget::setFavoriteButtonEnabled(bool enabled)
{
    favoriteButton->setEnabled(enabled);
    updateFavoriteIcon();
}

void NavigationBarWidget::setBackButtonEnabled(bool enabled)
{
    backButton->setEnabled(enabled);
    backButton->setIconID(enabled ? Constants::IconBackWhite : Constants::IconBackDimmedWhite);
}

void NavigationBarWidget::setMusicButtonEnabled(bool enabled)
{
    musicButton->setEnabled(enabled);
}

void NavigationBarWidget::updateShuffleIcon()
{
    if (!shuffleButton->isEnabled())
        shuffleButton->setIconID(Constants::IconShuffleDimmedWhite);
    else
        shuffleButton->setIconID(shuffleOn ? Constants::IconShuffleWhiteSelected
                                           : Constants::IconShuffleWhite);
}

void NavigationBarWidget::updateRepeatIcon()
{
    if (!repeatButton->isEnabled())
        repeatButton->setIconID(Constants::IconRepeatDimmedWhite);
    else
        repeatButton->setIconID(repeatOn ? Constants::IconRepeatWhiteSelected
                                         : Constants::IconRepeatWhite);
}

void NavigationBarWidget::updateFavoriteIcon()
{
    if (!favoriteButton->isEnabled())
        favoriteButton->setIconID(Constants::IconFavoriteUnmarkDimmedWhite);
    else
        favoriteButton->setIconID(favoriteOn ? Constants::IconFavoriteMarkWhite
                                             : Constants::IconFavoriteUnmarkWhite);
}

void NavigationBarWidget::addMenuAction(QAction* action)
{
    menu->addAction(action);
}

void NavigationBarWidget::removeMenuAction(QAction* action)
{
    menu->removeAction(action);
}

void NavigationBarWidget::handleShuffleButtonClick()
{
    emit shuffleButtonClicked(shuffleButton->iconID() == Constants::IconShuffleWhite);
}

void NavigationBarWidget::handleRepeatButtonClick()
{
    emit repeatButtonClicked(repeatButton->iconID() == Constants::IconRepeatWhite);
}

void NavigationBarWidget::handleBackButtonClicked()
{
    hideApplicationMenu();
    emit backButtonClicked();
}

void NavigationBarWidget::handleMusicButtonClicked()
{
    hideApplicationMenu();
    emit musicButtonClicked();
}

void NavigationBarWidget::handleMenuActionsChanged(int count)
{
    if (count < 1) {
        hideApplicationMenu();
        menuButton->setEnabled(false);
        menuButton->setIconID(Constants::IconViewMenuDimmedWhite);
    } else {
        menuButton->setEnabled(true);
        menuButton->setIconID(Constants::IconViewMenuWhite);
    }
}

void NavigationBarWidget::toggleApplicationMenu()
{
    switch (menu->sceneWindowState()) {
    case MSceneWindow::Appeared:
        menu->disappear();
        break;
    case MSceneWindow::Disappeared:
        menu->appear();
        break;
    default:
        break;
    }
}

void NavigationBarWidget::hideApplicationMenu()
{
    const MSceneWindow::SceneWindowState state = menu->sceneWindowState();
    if (state == MSceneWindow::Appearing || state == MSceneWindow::Appeared)
        menu->disappear();
}
