#include "parlovancemainpage.h"

#include "mbutton.h"
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

    addLibraryButton(layout, qtTrId("qtn_musi_artists_container"), Parlovance::PageArtists);
    addLibraryButton(layout, qtTrId("qtn_musi_albums_container"), Parlovance::PageAlbums);
    addLibraryButton(layout, qtTrId("qtn_musi_all_songs"), Parlovance::PageAllSongs);
    addLibraryButton(layout, qtTrId("qtn_musi_playlists_container"), Parlovance::PagePlaylists);

    updatingLabel = new MLabel(qtTrId("qtn_musi_updating_library"));
    updatingLabel->setAlignment(Qt::AlignCenter);
    updatingLabel->setWordWrap(true);
    updatingLabel->setVisible(updating);
    layout->addItem(updatingLabel);
    layout->addStretch();

    setCentralWidget(content);
    emit pageConstructionDone();
}

void ParlovanceMainPage::addLibraryButton(QGraphicsLinearLayout* layout, const QString& text,
                                          Parlovance::ParlovancePages page)
{
    auto* button = new MButton(text);
    layout->addItem(button);
    // While the library is being updated the pages would show half a library: taps wait.
    connect(button, &MButton::clicked, this, [this, page] {
        if (!updating)
            emit goToPage(page);
    });
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
