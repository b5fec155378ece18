#include "playersheet.h"

#include "albumart/albumartcacheitem.h"
#include "albumart/albumartgenerator.h"
#include "albumartwidget.h"
#include "mbutton.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "mprogressindicator.h"
#include "mstylablewidget.h"
#include "nowplayingsheetwidget.h"
#include "playercontrolssheetwidget.h"
#include "safeimage.h"
#include "styles/playerstyles.h"

#include <QFileInfo>
#include <QGraphicsLinearLayout>

namespace {
const char* const ArtFlavor = "half-screen";
const int ArtEdge = 480;
} // namespace

PlayerSheet::PlayerSheet()
    : cancel(new MButton(qtTrId("qtn_comm_cancel")))
    , save(new MButton(qtTrId("qtn_comm_save")))
    , done(new MButton(qtTrId("qtn_comm_command_done")))
    , generator(new AlbumArtGenerator(this))
    , artWidget(new AlbumArtWidget(nullptr))
    , infoWidget(new NowPlayingSheetWidget(nullptr))
    , controlsWidget(new PlayerControlsSheetWidget(nullptr))
    , playState(PlayState::instance())
{
    PlayerStyles::ensureRegistered();
    setStyleName(QStringLiteral("Inverted"));
    cancel->setStyleName(QStringLiteral("CommonSheetHeaderButtonInverted"));
    save->setStyleName(QStringLiteral("CommonSheetHeaderButtonAccentInverted"));
    done->setStyleName(QStringLiteral("CommonSheetHeaderButtonAccentInverted"));

    // Header: Cancel, the spinner between stretches, Save; or Done alone.
    auto* headerLayout = new MLayout(headerWidget());
    headerLayout->setContentsMargins(0, 0, 0, 0);
    saveArrangement = new MLinearLayoutPolicy(headerLayout, Qt::Horizontal);
    saveArrangement->setContentsMargins(0, 0, 0, 0);
    saveArrangement->setSpacing(0);
    doneArrangement = new MLinearLayoutPolicy(headerLayout, Qt::Horizontal);
    doneArrangement->setContentsMargins(0, 0, 0, 0);
    doneArrangement->setSpacing(0);
    doneArrangement->activate();
    spinner = new MProgressIndicator(nullptr, MProgressIndicator::spinnerType);
    spinner->setStyleName(QStringLiteral("CommonListItemSpinnerInverted"));
    spinner->setUnknownDuration(true);
    spinner->hide();
    // The spinner sits in a holder of its own, so switching arrangements never shows it.
    auto* spinnerHolder = new QGraphicsWidget;
    auto* centring = new QGraphicsLinearLayout(Qt::Vertical, spinnerHolder);
    centring->setContentsMargins(0, 0, 0, 0);
    centring->setSpacing(0);
    centring->addStretch();
    centring->addItem(spinner);
    centring->addStretch();
    saveArrangement->addItem(cancel);
    saveArrangement->addStretch();
    saveArrangement->addItem(spinnerHolder);
    saveArrangement->addStretch();
    saveArrangement->addItem(save);
    doneArrangement->addItem(done);
    doneArrangement->addStretch();

    auto* central = new QGraphicsWidget;
    auto* column = new QGraphicsLinearLayout(Qt::Vertical, central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addItem(artWidget);
    infoWidget->setup();
    infoWidget->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Maximum);
    column->addItem(infoWidget);
    controlsWidget->createLayout();
    column->addItem(controlsWidget);
    auto* spacer = new MStylableWidget;
    spacer->setStyleName(QStringLiteral("CommonLargerSpacer"));
    column->addItem(spacer);
    setCentralWidget(central);

    connect(cancel, &MButton::clicked, this, &PlayerSheet::cancelClicked);
    connect(save, &MButton::clicked, this, &PlayerSheet::saveClicked);
    connect(done, &MButton::clicked, this, &PlayerSheet::doneClicked);
    connect(controlsWidget, &PlayerControlsWidget::previousPressed, this,
            &PlayerSheet::previousClicked);
    connect(controlsWidget, &PlayerControlsWidget::nextPressed, this, &PlayerSheet::nextClicked);
    connect(playState, &PlayState::playbackCompleted, this, &PlayerSheet::doneClicked);
    connect(playState, &PlayState::saveStateChanged, this, &PlayerSheet::saveStateChangedSlot);
    connect(this, &MSceneWindow::appeared, this, &PlayerSheet::handleAppearing);
    connect(this, &MSceneWindow::disappeared, this, &PlayerSheet::disconnectUpdateSignals);
}

PlayerSheet::~PlayerSheet()
{
    disconnectUpdateSignals();
}

bool PlayerSheet::offersSave() const
{
    return saveArrangement->isActive();
}

void PlayerSheet::cancelClicked()
{
    playState->endSheetItem();
    dismiss();
}

void PlayerSheet::saveClicked()
{
    playState->saveCurrentStream();
}

void PlayerSheet::doneClicked()
{
    playState->endSheetItem();
    dismiss();
}

void PlayerSheet::previousClicked()
{
    playState->previous(-1, false);
}

void PlayerSheet::nextClicked()
{
    playState->next(-1);
}

void PlayerSheet::handleAppearing()
{
    playState->registerSheetListener(this, SLOT(updateSheet(bool)));
    // What plays may have changed while the sheet was on its way.
    updateSheet(false);
}

void PlayerSheet::disconnectUpdateSignals()
{
    playState->unregisterSheetListener(this);
}

void PlayerSheet::updateSheet(bool complete)
{
    if (complete)
        doneClicked();
    infoWidget->updateContent();
    controlsWidget->refresh();
    if (playState->contentType(PlayState::RadioMode) == PlayState::RadioPlaylistContent
        || !playState->saveAllowed())
        doneArrangement->activate();
    else
        saveArrangement->activate();
    showArt();
}

void PlayerSheet::showArt()
{
    const QString path = playState->streamArtPath(PlayState::RadioMode);
    if (QFileInfo(path).isFile()) {
        // A picture that cannot be read leaves the cover that is shown.
        const QImage image = SafeImage::read(path, QSize(ArtEdge, ArtEdge));
        const QPixmap pixmap = QPixmap::fromImage(image);
        if (!pixmap.isNull())
            artWidget->setAlbumArt(pixmap, true);
        return;
    }
    const AlbumArtCacheItem item(playState->streamArtText(PlayState::RadioMode), QString(),
                                 QLatin1String(ArtFlavor), AlbumArtType::AlbumArt);
    artWidget->setAlbumArt(generator->generateAlbumArt(item, false), true);
}

void PlayerSheet::saveStateChangedSlot(PlayState::SaveState state)
{
    spinner->setVisible(state == PlayState::Saving);
    const bool canSave = state == PlayState::NotSaved;
    cancel->setEnabled(canSave);
    save->setEnabled(canSave);
}
