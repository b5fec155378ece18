#ifndef PLAYERINFOAREA_H
#define PLAYERINFOAREA_H

#include "mstylablewidget.h"

#include <QModelIndex>
#include <QPixmap>
#include <QVariant>

class AlbumArtWidget;
class NowPlayingWidget;
class QGraphicsLinearLayout;

// The centre of the player page: the cover with the song's information panel below it. The
// page asks it to open the play queue over its place and to close it again.
class PlayerInfoArea : public MStylableWidget
{
    Q_OBJECT

public:
    PlayerInfoArea(AlbumArtWidget* albumArt, NowPlayingWidget* information,
                   QGraphicsItem* parent);
    ~PlayerInfoArea() override;

    bool shuttleState() const { return shuttle; }

public slots:
    void showPlayQueue();
    void hidePlayQueue();
    void hidePlayQueueImmediately();
    void setShuttleState(bool state);

private:
    AlbumArtWidget* albumArtWidget;
    NowPlayingWidget* informationWidget;
    QGraphicsLinearLayout* layout;
    bool shuttle = false;
};

#endif // PLAYERINFOAREA_H
