#include "quintaveilpage.h"

#include "constants.h"
#include "maction.h"
#include "mainwindow.h"
#include "playstate.h"

QuintaveilPage::QuintaveilPage(MainWindow* window, const QVariant& parameter)
    : MApplicationPage(nullptr)
    , owner(window)
    , playState(PlayState::instance())
{
    if (parameter.canConvert<bool>())
        deviceEmpty = parameter.toBool();
}

QuintaveilPage::~QuintaveilPage() = default;

MainWindow* QuintaveilPage::ownerWindow() const
{
    return owner;
}

bool QuintaveilPage::isDeviceEmpty() const
{
    return deviceEmpty;
}

void QuintaveilPage::passParameterToPage(QVariant parameter)
{
    Q_UNUSED(parameter)
}

void QuintaveilPage::createToolbarActions()
{
    addNowPlayingAction();
}

void QuintaveilPage::libraryUpdated()
{
}

void QuintaveilPage::setupPageConnections(ObjectMenuType type)
{
    Q_UNUSED(type)
    connect(this, SIGNAL(goToPage(Parlovance::ParlovancePages,QVariant)), this,
            SLOT(displayPageInWindow(Parlovance::ParlovancePages,QVariant)),
            Qt::UniqueConnection);
    if (owner)
        connect(this, SIGNAL(preLoadPage(Parlovance::ParlovancePages)), owner,
                SLOT(loadPage(Parlovance::ParlovancePages)), Qt::UniqueConnection);
    connect(this, SIGNAL(backButtonClicked()), this, SLOT(displayPreviousPageInWindow()));
    connect(this, SIGNAL(goBack()), this, SLOT(displayPreviousPageInWindow()),
            Qt::UniqueConnection);
}

void QuintaveilPage::addNowPlayingAction()
{
    auto* action = new MAction(Constants::IconNowPlaying, qtTrId("qtn_musi_player"), this);
    action->setLocation(MAction::ToolBarLocation);
    addAction(action);
    connect(action, SIGNAL(triggered()), this, SLOT(goToPlayerView()), Qt::UniqueConnection);
}

void QuintaveilPage::displayPageInWindow(Parlovance::ParlovancePages page, QVariant parameter)
{
    if (owner)
        owner->goToPage(page, parameter);
}

void QuintaveilPage::displayPreviousPageInWindow()
{
    disappear();
    if (owner)
        owner->goBack();
}

void QuintaveilPage::goToPlayerView()
{
    emit goToPage(Parlovance::PageNowPlaying, QVariant());
    if (owner)
        owner->noticeGoingToPlayerView();
}
