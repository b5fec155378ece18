#ifndef NOWPLAYINGLABEL_H
#define NOWPLAYINGLABEL_H

#include "zeloverlaylabel.h"

#include <QPixmap>
#include <QString>
#include <QVariant>

class AlbumArtGenerator;
class AlbumArtLoader;
class FadeAnimation;
class PlayState;

// The tile of the latest-activity grid that stands for what plays: the cover with the song's
// title over it and a small image of the playback state. A new cover fades in after the old one
// has faded out; while the grid itself fades out, the cover waits for the grid to put it on.
class NowPlayingLabel : public ZelOverlayLabel
{
    Q_OBJECT
    M_STYLABLE_WIDGET(ZelOverlayLabelStyle)

public:
    NowPlayingLabel(const QString& styleName, QGraphicsItem* parent);
    ~NowPlayingLabel() override;

    QPixmap waitingArt() const { return pendingArt; }

public slots:
    void setPreloadedArtAndTitle();
    void handleLatestActivityWidgetStartsHiding();
    void updateNowPlayingLabel(bool immediately);
    void updateNowPlayingLabel();
    void updatePlaybackStateIcon();

private slots:
    void handleAlbumArtReady(QPixmap pixmap, QVariant data);
    void handleAlbumArtReady(QPixmap pixmap);
    void updateAlbumArt();
    void handleFadeAnimationFinished();

private:
    void requestAlbumArt();

    QString shownArtKey;
    FadeAnimation* fadeAnimation;
    bool ownerHiding = false;
    QPixmap pendingArt;
    QString songTitle; // applied again with the cover
    AlbumArtLoader* albumArtLoader;
    bool showNextArtImmediately = false;
    AlbumArtGenerator* albumArtGenerator;
    PlayState* playState;
};

#endif // NOWPLAYINGLABEL_H
