#include "parlovancemainpage.h"

#include "librarybuttonarea.h"
#include "playback/playstate.h"
#include "mlabel.h"
#include "mwidget.h"

#include <QGraphicsLinearLayout>

ParlovanceMainPage::ParlovanceMainPage(MainWindow* window)
    : QuintaveilPage(window, QVariant())
{
    setComponentsDisplayMode(AllComponents, MApplicationPageModel::Hide);
    setTitle(qtTrId("qtn_musi_music"));
    setPannable(false);
    finishPageCreation(NoObjectMenu);
}

ParlovanceMainPage::~ParlovanceMainPage() = default;

void ParlovanceMainPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}

void ParlovanceMainPage::createContent()
{
    auto* content = new MWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, content);
    layout->setContentsMargins(24, 48, 24, 24);
    layout->setSpacing(16);

    auto* heading = new MLabel(title());
    heading->setStyleName(QStringLiteral("CommonHeaderInverted"));
    heading->setAlignment(Qt::AlignCenter);
    layout->addItem(heading);

    libraryButtons = new LibraryButtonArea(content);
    connect(libraryButtons, SIGNAL(goToPage(int)), this, SLOT(openLibraryPage(int)));
    layout->addItem(libraryButtons);

    updatingLabel = new MLabel(qtTrId("qtn_musi_updating_library"));
    updatingLabel->setAlignment(Qt::AlignCenter);
    updatingLabel->setWordWrap(true);
    updatingLabel->setVisible(updating);
    layout->addItem(updatingLabel);
    layout->addStretch();

    setCentralWidget(content);
    emit pageConstructionDone();
}

void ParlovanceMainPage::openLibraryPage(int page)
{
    // While the library is being updated the pages would show half a library: taps wait.
    if (!updating)
        showPage(page);
}

void ParlovanceMainPage::setUpdatingLibraryState(bool on)
{
    updating = on;
    if (updatingLabel)
        updatingLabel->setVisible(on);
    // The queue may name songs the update removes.
    if (on)
        PlayState::instance()->clearPlayQueue();
}

bool ParlovanceMainPage::isUpdatingLibraryState() const
{
    return updating;
}

void ParlovanceMainPage::setLatestActivityUpdateDelay(int ms)
{
    activityUpdateDelay = ms;
}

int ParlovanceMainPage::latestActivityUpdateDelay() const
{
    return activityUpdateDelay;
}
