#include "nowplayingbutton.h"

#include "mbutton.h"
#include "mstylablewidget.h"
#include "playback/playstate.h"

#include <QGraphicsLinearLayout>

NowPlayingButton::NowPlayingButton(QObject* parent)
    : MWidgetAction(parent)
    , button(new MButton)
{
    setLocation(MAction::ToolBarLocation);
    button->setStyleName(QStringLiteral("CommonToolbarButtonInverted"));
    connect(button, SIGNAL(clicked()), this, SIGNAL(triggered()));

    auto* container = new MStylableWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Horizontal, container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    layout->addItem(button);
    layout->addStretch();
    setWidget(container);

    handlePlaybackStateChange();
    setButtonText();

    PlayState* hub = PlayState::instance();
    connect(hub, SIGNAL(playbackCompleted()), this, SLOT(handlePlaybackCompleted()));
    connect(hub, SIGNAL(stateChanged(PlayState::State)), this, SLOT(handlePlaybackStateChange()));
    connect(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)), this,
            SLOT(setButtonText()));
    connect(hub, SIGNAL(songCountChanged(int)), this, SLOT(handleSongCountChange(int)));
}

NowPlayingButton::~NowPlayingButton() = default;

void NowPlayingButton::setButtonVisible(bool visible)
{
    if (visible == buttonVisible)
        return;
    buttonVisible = visible;
    emit visibilityChanged();
}

void NowPlayingButton::setButtonText()
{
    button->setText(PlayState::instance()->title(PlayState::MusicMode));
}

void NowPlayingButton::handlePlaybackStateChange()
{
    PlayState* hub = PlayState::instance();
    switch (hub->state(PlayState::MusicMode)) {
    case PlayState::Stopped:
        button->setIconID(QStringLiteral("icon-s-music-video-stop-accent"));
        setButtonVisible(hub->songCount(PlayState::MusicMode) >= 1);
        break;
    case PlayState::Playing:
    case PlayState::Transitioning:
        button->setIconID(QStringLiteral("icon-s-music-video-play-accent"));
        setButtonVisible(true);
        break;
    case PlayState::Paused:
        // A paused radio playlist cannot resume where it was: it shows as stopped.
        button->setIconID(hub->contentType(PlayState::MusicMode) == PlayState::RadioPlaylistContent
                              ? QStringLiteral("icon-s-music-video-stop-accent")
                              : QStringLiteral("icon-s-music-video-pause-accent"));
        setButtonVisible(true);
        break;
    default:
        setButtonVisible(false);
        break;
    }
}

void NowPlayingButton::handleSongCountChange(int count)
{
    setButtonVisible(count > 0);
}

void NowPlayingButton::handlePlaybackCompleted()
{
    setButtonVisible(false);
}
