#include "nowplayinglabel.h"

#include "albumart/albumartcacheitem.h"
#include "albumart/albumartgenerator.h"
#include "albumart/albumartloader.h"
#include "mapplication.h"
#include "mapplicationwindow.h"
#include "pageframework/fadeanimation.h"
#include "playback/playstate.h"
#include "safeimage.h"
#include "styles/playerstyles.h"

namespace {

const int FadeMs = 350;
const QString LabelFlavor = QStringLiteral("nowPlayingLabel");

} // namespace

NowPlayingLabel::NowPlayingLabel(const QString& styleName, QGraphicsItem* parent)
    : ZelOverlayLabel(styleName, parent)
    , fadeAnimation(new FadeAnimation(this, FadeMs, this))
    , albumArtLoader(new AlbumArtLoader(AlbumArtType::AlbumArt, LabelFlavor, this))
    , albumArtGenerator(new AlbumArtGenerator(this))
    , playState(PlayState::instance())
{
    PlayerStyles::ensureRegistered();
    connect(albumArtLoader, SIGNAL(albumArtReady(QPixmap, QVariant)), this,
            SLOT(handleAlbumArtReady(QPixmap, QVariant)),
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    connect(albumArtLoader, SIGNAL(refreshAlbumArts()), this, SLOT(updateAlbumArt()));
}

NowPlayingLabel::~NowPlayingLabel() = default;

void NowPlayingLabel::updateNowPlayingLabel()
{
    updateNowPlayingLabel(false);
}

void NowPlayingLabel::updateNowPlayingLabel(bool immediately)
{
    updatePlaybackStateIcon();
    songTitle = playState->title(PlayState::MusicMode);
    setTitle(songTitle);
    const PlayState::ContentType type = playState->contentType(PlayState::MusicMode);
    if (type == PlayState::SongContent) {
        const QString album = playState->album(PlayState::MusicMode);
        if (album == shownArtKey)
            return;
        shownArtKey = album;
        MApplicationWindow* window = MApplication::activeApplicationWindow();
        showNextArtImmediately = immediately || (window && window->isInSwitcher());
        requestAlbumArt();
        return;
    }

    const QString artPath = playState->streamArtPath(PlayState::MusicMode);
    if (!artPath.isEmpty()) {
        const QPixmap art = QPixmap::fromImage(
            SafeImage::read(artPath, AlbumArtCacheItem::flavorSize(LabelFlavor)));
        if (!art.isNull()) {
            shownArtKey = playState->album(PlayState::MusicMode);
            handleAlbumArtReady(art);
            return;
        }
    }
    QString text;
    if (type == PlayState::UrlContent) {
        text = playState->album(PlayState::MusicMode);
    } else {
        for (const QString& candidate :
             { playState->artist(PlayState::MusicMode), playState->title(PlayState::MusicMode),
               playState->album(PlayState::MusicMode) }) {
            if (!candidate.isEmpty()) {
                text = candidate;
                break;
            }
        }
    }
    const AlbumArtCacheItem item(text, QString(), LabelFlavor, AlbumArtType::AlbumArt);
    const QPixmap art = albumArtGenerator->generateAlbumArt(item, false);
    if (!art.isNull()) {
        shownArtKey = text;
        handleAlbumArtReady(art);
    }
}

void NowPlayingLabel::requestAlbumArt()
{
    albumArtLoader->loadAlbumArt(playState->album(PlayState::MusicMode),
                                 playState->artist(PlayState::MusicMode), QString(), true,
                                 AlbumArtType::DefaultArt, QVariant());
}

void NowPlayingLabel::updatePlaybackStateIcon()
{
    switch (playState->state(PlayState::MusicMode)) {
    case PlayState::Stopped:
        setSmallImage(QStringLiteral("icon-m-toolbar-mediacontrol-stop-white-selected"));
        break;
    case PlayState::Playing:
    case PlayState::Transitioning:
        setSmallImage(QStringLiteral("icon-m-toolbar-mediacontrol-play-white-selected"));
        break;
    case PlayState::Paused:
        // A radio playlist cannot resume where it paused: it shows as stopped.
        setSmallImage(playState->contentType(PlayState::MusicMode)
                              == PlayState::RadioPlaylistContent
                          ? QStringLiteral("icon-m-toolbar-mediacontrol-stop-white-selected")
                          : QStringLiteral("icon-m-toolbar-mediacontrol-pause-white-selected"));
        break;
    default:
        break;
    }
}

void NowPlayingLabel::handleAlbumArtReady(QPixmap pixmap)
{
    handleAlbumArtReady(pixmap, QVariant());
}

void NowPlayingLabel::handleAlbumArtReady(QPixmap pixmap, QVariant data)
{
    Q_UNUSED(data)
    pendingArt = pixmap;
    if (showNextArtImmediately) {
        setPreloadedArtAndTitle();
        showNextArtImmediately = false;
    } else if (!ownerHiding) {
        fadeAnimation->setDirection(QAbstractAnimation::Backward);
        connect(fadeAnimation, SIGNAL(finished()), this, SLOT(handleFadeAnimationFinished()),
                Qt::UniqueConnection);
        fadeAnimation->start();
    }
}

void NowPlayingLabel::handleFadeAnimationFinished()
{
    if (fadeAnimation->direction() != QAbstractAnimation::Backward)
        return;
    setPreloadedArtAndTitle();
    fadeAnimation->setDirection(QAbstractAnimation::Forward);
    disconnect(fadeAnimation, SIGNAL(finished()), this, SLOT(handleFadeAnimationFinished()));
    fadeAnimation->start();
}

void NowPlayingLabel::setPreloadedArtAndTitle()
{
    ownerHiding = false;
    if (!pendingArt.isNull()) {
        setImage(pendingArt);
        pendingArt = QPixmap();
    }
    setTitle(songTitle);
    setOpacity(1);
}

void NowPlayingLabel::handleLatestActivityWidgetStartsHiding()
{
    ownerHiding = true;
    if (fadeAnimation->state() == QAbstractAnimation::Running)
        fadeAnimation->stop();
}

void NowPlayingLabel::updateAlbumArt()
{
    if (playState->contentType(PlayState::MusicMode) != PlayState::SongContent)
        return;
    shownArtKey = playState->album(PlayState::MusicMode);
    showNextArtImmediately = false;
    requestAlbumArt();
}
