#include "playercontrolswidget.h"

#include "common/constants.h"
#include "common/logging.h"
#include "mbutton.h"
#include "mgridlayoutpolicy.h"
#include "mlabel.h"
#include "mlayout.h"
#include "mprogressindicator.h"
#include "mseekbar.h"
#include "styles/playerstyles.h"
#include "zeltime.h"

#include <QDebug>
#include <QGraphicsLinearLayout>
#include <QTimer>

namespace {

const int LongPressMs = 1000;
const int FastSeekStepMs = 1000;
const int ReenableMs = 6000;

// The seek pane's content is placed by hand inside its container.
const QSizeF ContainerSize(448, 84);
const qreal BarWidth = 448;
const QPointF ElapsedPos(2, 46);
const QPointF DurationPos(252, 46);

} // namespace

PlayerControlsWidget::PlayerControlsWidget(MainWindow* window, QGraphicsItem* parent, int mode)
    : MStylableWidget(parent)
    , playState(PlayState::instance())
    , mode(mode)
{
    Q_UNUSED(window)
    PlayerStyles::ensureRegistered();
}

PlayerControlsWidget::~PlayerControlsWidget()
{
    // The seek container may be parentless (never shown): it goes with the widget either way.
    delete seekContainer;
    delete progressContainer;
}

void PlayerControlsWidget::createLayout()
{
    buildLayout(QStringLiteral("SeekPane"), QStringLiteral("PlayerControlsButtonPane"));
}

void PlayerControlsWidget::buildLayout(const QString& seekPaneStyle, const QString& buttonPaneStyle)
{
    if (layoutCreated)
        return;

    seekPane = new MStylableWidget(this);
    seekPane->setStyleName(seekPaneStyle);
    seekPane->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Maximum);
    // The seek bar's time bubble rises over the buttons while the handle is held.
    seekPane->setZValue(1);
    seekLayout = new MLayout(seekPane);
    const QMarginsF seekMargins = seekPane->style()->margins();
    seekLayout->setContentsMargins(seekMargins.left(), seekMargins.top(), seekMargins.right(),
                                   seekMargins.bottom());

    mainLayout = new QGraphicsLinearLayout(Qt::Vertical, this);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);

    auto* buttonPane = new MStylableWidget(this);
    buttonPane->setStyleName(buttonPaneStyle);
    buttonPane->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Maximum);
    auto* buttons = new QGraphicsLinearLayout(Qt::Horizontal, buttonPane);
    // The outer buttons keep off the screen's edges by the pane's style margins.
    const QMarginsF m = buttonPane->style()->margins();
    buttons->setContentsMargins(m.left(), m.top(), m.right(), m.bottom());
    buttons->setSpacing(0);
    auto makeButton = [buttonPane](const QString& icon) {
        auto* button = new MButton(buttonPane);
        button->setStyleName(QStringLiteral("PlayerControlsButton"));
        button->setViewType(MButton::iconType);
        button->setIconID(icon);
        return button;
    };
    previousButton = makeButton(Constants::IconPreviousWhite);
    playButton = makeButton(Constants::IconPlayWhite);
    nextButton = makeButton(Constants::IconNextWhite);
    buttons->addItem(previousButton);
    buttons->setAlignment(previousButton, Qt::AlignLeft | Qt::AlignTop);
    buttons->addStretch(1);
    buttons->addItem(playButton);
    buttons->setAlignment(playButton, Qt::AlignHCenter | Qt::AlignTop);
    buttons->addStretch(1);
    buttons->addItem(nextButton);
    buttons->setAlignment(nextButton, Qt::AlignRight | Qt::AlignTop);
    mainLayout->addItem(buttonPane);
    mainLayout->setAlignment(buttonPane, Qt::AlignHCenter | Qt::AlignTop);
    mainLayout->addItem(seekPane);

    longPressTimer = new QTimer(this);

    seekContainer = new MStylableWidget;
    seekContainer->setMinimumSize(ContainerSize);
    seekContainer->setPreferredSize(ContainerSize);
    seekBar = new MSeekBar(seekContainer);
    seekBar->setStyleName(QStringLiteral("CommonSeekerInverted"));
    seekBar->setValue(0);
    seekBar->setPos(0, 0);
    seekBar->resize(BarWidth, seekBar->preferredHeight());
    elapsedLabel = new MLabel(QStringLiteral("00:00"), seekContainer);
    elapsedLabel->setStyleName(QStringLiteral("PlayerControlsTimeLabel"));
    elapsedLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    elapsedLabel->setPos(ElapsedPos);
    elapsedLabel->resize(elapsedLabel->preferredSize());
    durationLabel = new MLabel(QStringLiteral("00:00"), seekContainer);
    durationLabel->setStyleName(QStringLiteral("PlayerControlsTimeLabel"));
    durationLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    durationLabel->setPos(DurationPos);
    durationLabel->resize(durationLabel->preferredSize());

    progressContainer = new MStylableWidget(seekPane);
    progressContainer->setMinimumSize(ContainerSize);
    progressContainer->setPreferredSize(ContainerSize);
    progressBar = new MProgressIndicator(progressContainer, MProgressIndicator::barType);
    progressBar->setStyleName(QStringLiteral("CommonProgressBarInverted"));
    progressBar->setUnknownDuration(true);
    progressBar->setPos(0, 0);
    progressBar->resize(BarWidth, progressBar->preferredHeight());
    progressBar->hide();
    progressLabel = new MLabel(progressContainer);
    progressLabel->setStyleName(QStringLiteral("PlayerControlsProgressTextLabel"));
    progressLabel->setPos(ElapsedPos);
    progressLabel->resize(progressLabel->preferredSize());

    connectingText = qtTrId("qtn_musi_connecting");
    bufferingText = qtTrId("qtn_musi_buffering");

    currentBar = DisabledSeekBar;
    enableTimer = new QTimer(this);
    enableTimer->setSingleShot(true);
    applyBar(DisabledSeekBar);
    setupControls();
    longPressTimer->setSingleShot(true);

    connect(playButton, SIGNAL(clicked()), this, SLOT(togglePlay()));
    connect(nextButton, SIGNAL(pressed()), this, SLOT(handleNextPress()));
    connect(nextButton, SIGNAL(released()), this, SLOT(handleNextRelease()));
    connect(previousButton, SIGNAL(pressed()), this, SLOT(handlePreviousPress()));
    connect(previousButton, SIGNAL(released()), this, SLOT(handlePreviousRelease()));
    connect(seekBar, SIGNAL(sliderPressed()), this, SLOT(handleSeekbarPress()));
    connect(seekBar, SIGNAL(sliderReleased()), this, SLOT(handleSeekbarRelease()));
    connect(seekBar, SIGNAL(valueChanged(int)), this, SLOT(handleSeekbarValueChanges(int)));
    connect(this, SIGNAL(displayExited()), this, SLOT(handleDisplayExited()));
    connect(this, SIGNAL(displayEntered()), this, SLOT(handleDisplayEntered()));
    connect(enableTimer, SIGNAL(timeout()), this, SLOT(handleEnableControlsTimeout()));
    connectUpdateSignals();
    layoutCreated = true;
}

void PlayerControlsWidget::connectUpdateSignals()
{
    connect(playState, SIGNAL(positionChanged(uint)), this, SLOT(updatePosition(uint)),
            Qt::UniqueConnection);
    connect(playState, SIGNAL(durationChanged(int)), this, SLOT(handleDurationChanged(int)),
            Qt::UniqueConnection);
    connect(playState, SIGNAL(stateChanged(PlayState::State)), this,
            SLOT(handleStateChange(PlayState::State)), Qt::UniqueConnection);
    connect(playState, SIGNAL(contentTypeChanged(PlayState::ContentType)), this,
            SLOT(handleContentType(PlayState::ContentType)), Qt::UniqueConnection);
    connect(playState, SIGNAL(bufferingStateChanged(bool)), this, SLOT(updateBufferingStatus(bool)),
            Qt::UniqueConnection);
    connect(playState, SIGNAL(callStateChanged(bool)), this, SLOT(handleCallStateChanged(bool)),
            Qt::UniqueConnection);
}

void PlayerControlsWidget::disconnectUpdateSignals()
{
    disconnect(playState, SIGNAL(positionChanged(uint)), this, SLOT(updatePosition(uint)));
}

void PlayerControlsWidget::handleDisplayExited()
{
    disconnectUpdateSignals();
}

void PlayerControlsWidget::pause()
{
    playState->pause();
}

void PlayerControlsWidget::togglePlay()
{
    if (playState->isCallActive() || !playState->isAudioAvailable())
        return;
    switch (playState->state(playingMode())) {
    case PlayState::Stopped:
    case PlayState::Paused:
        playState->play(playingMode());
        // A radio playlist shows its icon once it really plays.
        if (playState->contentType(playingMode()) != PlayState::RadioPlaylistContent)
            playButton->setIconID(Constants::IconPauseWhite);
        break;
    default:
        playState->pauseOrStop(playingMode());
        playButton->setIconID(Constants::IconPlayWhite);
        break;
    }
}

void PlayerControlsWidget::updatePlayButton(bool enabled)
{
    playButton->setEnabled(enabled);
    if (!enabled)
        playButton->setIconID(Constants::IconPlayDimmedWhite);
    else if (playState->state(playingMode()) != PlayState::Playing)
        playButton->setIconID(Constants::IconPlayWhite);
    else if (!playState->isSeekable(playingMode()) || playState->duration(playingMode()) < 1)
        playButton->setIconID(Constants::IconStopWhite);
    else
        playButton->setIconID(Constants::IconPauseWhite);
}

void PlayerControlsWidget::setSeekAndSkipEnabled(bool enabled)
{
    const bool wasEnabled = seekBar->isEnabled();
    seekBar->setEnabled(enabled);
    // A disabled bar keeps no place (updatePosition() passes it by): one enabled again stands
    // where the item does, also when nothing plays that would report a place (an item paused).
    if (enabled && !wasEnabled) {
        updateDuration(playState->duration(playingMode()));
        updatePosition(playState->position(playingMode()));
    }
    nextButton->setEnabled(enabled);
    previousButton->setEnabled(enabled);
    nextButton->setIconID(enabled ? Constants::IconNextWhite : Constants::IconNextDimmedWhite);
    previousButton->setIconID(enabled ? Constants::IconPreviousWhite
                                      : Constants::IconPreviousDimmedWhite);
}

void PlayerControlsWidget::enableControls(bool enable)
{
    if (enable && enableTimer->isActive())
        enableTimer->stop();
    updatePlayButton(enable);
    setSeekAndSkipEnabled(enable && playState->isSeekable(playingMode())
                          && playState->duration(playingMode()) >= 1);
}

void PlayerControlsWidget::setupControls()
{
    enableControls(!playState->isCallActive() && playState->isAudioAvailable());
}

void PlayerControlsWidget::handleCallStateChanged(bool isActive)
{
    if (!playState->isCallActive())
        enableTimer->start(ReenableMs);
    enableControls(!isActive);
}

void PlayerControlsWidget::handleEnableControlsTimeout()
{
    enableControls(true);
    playState->setAudioAvailable(true);
}

void PlayerControlsWidget::handleStateChange(PlayState::State newState)
{
    Q_UNUSED(newState)
    switch (playState->state(playingMode())) {
    case PlayState::Stopped:
    case PlayState::Playing:
    case PlayState::Paused:
        setupControls();
        break;
    case PlayState::Transitioning:
        break;
    case PlayState::NoState:
        enableControls(false);
        break;
    default:
        qCDebug(lcPlayback) << Q_FUNC_INFO << "- Unknown state!";
        break;
    }
    showBar();
}

void PlayerControlsWidget::handleContentType(PlayState::ContentType newContentType)
{
    Q_UNUSED(newContentType)
    switch (playState->contentType(playingMode())) {
    case PlayState::NoContent:
    case PlayState::SongContent:
    case PlayState::UrlContent:
    case PlayState::RadioPlaylistContent:
        handleStateChange(playState->state(playingMode()));
        break;
    default:
        qCDebug(lcPlayback) << Q_FUNC_INFO << "- Unknown content type!";
        break;
    }
    showBar();
}

void PlayerControlsWidget::updateBufferingStatus(bool status)
{
    showBar();
    if (!status)
        updatePlayButton(true);
}

void PlayerControlsWidget::showBar()
{
    int bar = DisabledSeekBar;
    if (playState->isBuffering(playingMode())) {
        bar = BufferingBar;
    } else {
        switch (playState->state(playingMode())) {
        case PlayState::NoState:
            bar = DisabledSeekBar;
            break;
        case PlayState::Stopped:
        case PlayState::Playing:
            bar = playState->isSeekable(playingMode()) ? SeekBar : DisabledSeekBar;
            break;
        case PlayState::Paused:
            bar = SeekBar;
            break;
        case PlayState::Transitioning:
            bar = ConnectingBar;
            break;
        default:
            qCWarning(lcPlayback) << Q_FUNC_INFO << "Unknown state!";
            bar = DisabledSeekBar;
            break;
        }
    }
    if (bar == currentBar)
        return;
    applyBar(bar);
    currentBar = bar;
}

MGridLayoutPolicy* PlayerControlsWidget::policyFor(QGraphicsWidget* container,
                                                   MGridLayoutPolicy*& policy)
{
    if (!policy) {
        policy = new MGridLayoutPolicy(seekLayout);
        policy->setContentsMargins(0, 0, 0, 0);
        policy->addItem(container, 0, 0, 1, 1);
    }
    if (!policy->isActive())
        policy->activate();
    return policy;
}

void PlayerControlsWidget::applyBar(int bar)
{
    switch (bar) {
    case SeekBar:
        policyFor(seekContainer, seekPolicy);
        seekBar->show();
        seekBar->setEnabled(true);
        seekBar->setHandleLabelVisible(true);
        elapsedLabel->show();
        durationLabel->show();
        progressBar->hide();
        break;
    case DisabledSeekBar:
        policyFor(seekContainer, seekPolicy);
        seekBar->show();
        seekBar->setEnabled(false);
        seekBar->setMaximum(1);
        seekBar->setHandleLabelVisible(false);
        elapsedLabel->show();
        durationLabel->hide();
        progressBar->hide();
        break;
    case ConnectingBar:
    case BufferingBar:
        policyFor(progressContainer, progressPolicy);
        durationLabel->hide();
        progressBar->show();
        progressLabel->show();
        progressLabel->setText(bar == ConnectingBar ? connectingText : bufferingText);
        playButton->setIconID(Constants::IconStopWhite);
        break;
    default:
        break;
    }
}

void PlayerControlsWidget::updatePosition(uint newPosition)
{
    Q_UNUSED(newPosition)
    const uint p = playState->position(playingMode());
    if (seekBar->isEnabled())
        seekBar->setValue(int(p));
    const QString text = ZelTime::timeString(int(p), false);
    seekBar->setHandleLabel(text);
    elapsedLabel->setText(text);
}

void PlayerControlsWidget::updateDuration(int newDuration)
{
    Q_UNUSED(newDuration)
    const int d = playState->duration(playingMode());
    seekBar->setMaximum(d);
    if (d >= 1) {
        durationLabel->setText(ZelTime::timeString(d, false));
        durationLabel->show();
    } else {
        showBar();
    }
}

void PlayerControlsWidget::handleDurationChanged(int duration)
{
    handleStateChange(playState->state(playingMode()));
    updateDuration(duration);
}

void PlayerControlsWidget::handleSeekbarPress()
{
    seeking = true;
    // Playback must not move the handle under the finger.
    disconnect(playState, SIGNAL(positionChanged(uint)), this, SLOT(updatePosition(uint)));
}

void PlayerControlsWidget::handleSeekbarValueChanges(int value)
{
    if (!seeking)
        return;
    const QString text = ZelTime::timeString(value, false);
    seekBar->setHandleLabel(text);
    elapsedLabel->setText(text);
}

void PlayerControlsWidget::handleSeekbarRelease()
{
    playState->setPosition(uint(qMax(0, seekBar->value())), playingMode());
    connect(playState, SIGNAL(positionChanged(uint)), this, SLOT(updatePosition(uint)),
            Qt::UniqueConnection);
    seeking = false;
}

void PlayerControlsWidget::handleNextPress()
{
    connect(longPressTimer, SIGNAL(timeout()), this, SLOT(startForwarding()), Qt::UniqueConnection);
    longPressTimer->start(LongPressMs);
}

void PlayerControlsWidget::handlePreviousPress()
{
    connect(longPressTimer, SIGNAL(timeout()), this, SLOT(startRewinding()), Qt::UniqueConnection);
    longPressTimer->start(LongPressMs);
}

void PlayerControlsWidget::startForwarding()
{
    longPressTimer->stop();
    playState->startForwarding(FastSeekStepMs);
}

void PlayerControlsWidget::startRewinding()
{
    longPressTimer->stop();
    playState->startRewinding(FastSeekStepMs);
}

void PlayerControlsWidget::handleNextRelease()
{
    disconnect(longPressTimer, SIGNAL(timeout()), this, SLOT(startForwarding()));
    releaseSkip(true);
}

void PlayerControlsWidget::handlePreviousRelease()
{
    disconnect(longPressTimer, SIGNAL(timeout()), this, SLOT(startRewinding()));
    releaseSkip(false);
}

void PlayerControlsWidget::releaseSkip(bool next)
{
    if (playState->seekBoundReached()) {
        // The fast seek ran into the song's end or start and the hub moved on by itself.
        playState->clearSeekBoundReached();
        return;
    }
    if (!longPressTimer->isActive()) {
        // The long press fired: end the fast seek and play on from there.
        playState->play(playingMode());
        return;
    }
    longPressTimer->stop();
    if (next)
        emit nextPressed();
    else
        emit previousPressed();
}

void PlayerControlsWidget::gotoNext()
{
    emit nextPressed();
}

void PlayerControlsWidget::gotoPrevious()
{
    emit previousPressed();
}

void PlayerControlsWidget::handleNowPlayingPageAppearing()
{
    updateDuration(playState->duration(playingMode()));
    updatePosition(playState->position(playingMode()));
}

void PlayerControlsWidget::onDisplayEntered()
{
    handleContentType(playState->contentType(playingMode()));
    handleStateChange(playState->state(playingMode()));
    updatePosition(playState->position(playingMode()));
    updateDuration(playState->duration(playingMode()));
    updatePosition(playState->position(playingMode()));
}

void PlayerControlsWidget::handleDisplayEntered()
{
    onDisplayEntered();
    connectUpdateSignals();
}
