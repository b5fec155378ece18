#ifndef NAVIGATIONBARWIDGET_H
#define NAVIGATIONBARWIDGET_H

#include "mstylablewidget.h"
#include "navigationbarwidgetstyle.h"

class ApplicationMenuWidget;
class MButton;
class MLayout;
class MLinearLayoutPolicy;
class QAction;

// The bar along the player page: a leading button (back, or the music library when the player
// was opened for another application), then favourite, shuffle, repeat and the button of a
// menu of the page's extra actions. It keeps only what its icons show; clicks go out as
// signals and the page answers by setting the flags.
class NavigationBarWidget : public MStylableWidget
{
    Q_OBJECT
    M_STYLABLE_WIDGET(NavigationBarWidgetStyle)

public:
    explicit NavigationBarWidget(QGraphicsItem* parent = nullptr);
    ~NavigationBarWidget() override;

    void setShuffle(bool on);
    void setShuffleButtonEnabled(bool enabled);
    void setRepeat(bool on);
    void setRepeatButtonEnabled(bool enabled);
    void setFavorite(bool on);
    void setFavoriteButtonEnabled(bool enabled);
    void setBackButtonEnabled(bool enabled);
    void setMusicButtonEnabled(bool enabled);
    void addMenuAction(QAction* action);
    void removeMenuAction(QAction* action);
    void useBackButtonLayout();
    void useMusicButtonLayout();

    // For the player's page and tests.
    ApplicationMenuWidget* applicationMenu() const { return menu; }
    MButton* shuffleControl() const { return shuffleButton; }
    MButton* repeatControl() const { return repeatButton; }
    MButton* favoriteControl() const { return favoriteButton; }
    MButton* backControl() const { return backButton; }
    MButton* musicControl() const { return musicButton; }
    MButton* menuControl() const { return menuButton; }
    bool isBackButtonLayout() const;

signals:
    void backButtonClicked();
    void musicButtonClicked();
    void shuffleButtonClicked(bool shuffle);
    void repeatButtonClicked(bool repeat);
    void favoriteButtonClicked();

public slots:
    void hideApplicationMenu();
    void toggleApplicationMenu();
    void handleBackButtonClicked();
    void handleMusicButtonClicked();
    void handleMenuActionsChanged(int count);
    void handleShuffleButtonClick();
    void handleRepeatButtonClick();

private:
    void buildLayouts();
    void updateShuffleIcon();
    void updateRepeatIcon();
    void updateFavoriteIcon();

    MLayout* layout;
    MLinearLayoutPolicy* backButtonPolicy = nullptr;
    MLinearLayoutPolicy* musicButtonPolicy = nullptr;
    ApplicationMenuWidget* menu;
    MButton* musicButton;
    MButton* backButton;
    MButton* menuButton;
    MButton* shuffleButton;
    MButton* repeatButton;
    MButton* favoriteButton;
    bool shuffleOn = false;
    bool repeatOn = false;
    bool favoriteOn = false;
};

#endif // NAVIGATIONBARWIDGET_H
