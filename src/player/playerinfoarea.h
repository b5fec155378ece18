#ifndef PLAYERINFOAREA_H
#define PLAYERINFOAREA_H

#include "mstylablewidget.h"
#include "playerinfoareastyle.h"

#include <QModelIndex>
#include <QPixmap>
#include <QVariant>

class AlbumArtLoader;
class AlbumArtWidget;
class ListModel;
class MPannableViewport;
class NowPlayingWidget;
class PlayQueueListCellCreator;
class PlayQueueTitleItem;
class QGraphicsAnchorLayout;
class QParallelAnimationGroup;
class QPropertyAnimation;
class SongList;

// The centre of the player page: the cover with the song's information below it, laid over
// the play queue. Opening the queue slides the cover up and the information down, out of the
// way, and uncovers the queue's header and list; the header's button, or a tap on the playing
// song's row, slides them back, and a tap on any other row plays it.
class PlayerInfoArea : public MStylableWidget
{
    Q_OBJECT
    M_STYLABLE_WIDGET(PlayerInfoAreaStyle)

public:
    PlayerInfoArea(AlbumArtWidget* albumArt, NowPlayingWidget* information, QGraphicsItem* parent);
    ~PlayerInfoArea() override;

    // For the page and tests.
    SongList* queueList() const { return list; }
    ListModel* queueModel() const { return listModel; }
    PlayQueueTitleItem* queueHeader() const { return header; }
    MPannableViewport* queueViewport() const { return viewport; }
    bool isQueueOpen() const;
    bool shuttleState() const { return shuttle; }

public slots:
    void showPlayQueue();
    void hidePlayQueue();
    void hidePlayQueueImmediately();
    void setShuttleState(bool state);

private slots:
    void play(const QModelIndex& index);
    void setPanningPolicy();
    void scrollToCurrentlyPlayingSong();
    void handleAlbumArtReady(QPixmap pixmap, QVariant data);

protected:
    bool event(QEvent* event) override;

private:
    void setQueueShown(bool shown);
    void followSlide();

    AlbumArtWidget* albumArtWidget;
    AlbumArtLoader* albumArtLoader;
    NowPlayingWidget* informationWidget;
    QGraphicsAnchorLayout* layout;
    PlayQueueTitleItem* header;
    SongList* list;
    ListModel* listModel;
    MPannableViewport* viewport;
    QParallelAnimationGroup* animationGroup;
    QPropertyAnimation* artSlide = nullptr;
    QPropertyAnimation* infoSlide = nullptr;
    PlayQueueListCellCreator* cellCreator = nullptr;
    bool shuttle = false;
    bool scrollPending = false;
};

#endif // PLAYERINFOAREA_H
