#ifndef PLAYLISTINFOWIDGET_H
#define PLAYLISTINFOWIDGET_H

#include "songpageinfowidget.h"

// The panel above a playlist's songs: the collage of the playlist's covers (or its title
// drawn as a cover) and, beside it, the number of songs and their total length, following
// the playlist as it changes. A tap on the collage gives albumArtClicked().
class PlaylistInfoWidget : public SongPageInfoWidget
{
    Q_OBJECT

public:
    explicit PlaylistInfoWidget(QSharedPointer<MafwTrackerModel> model,
                                QGraphicsItem* parent = nullptr);
    ~PlaylistInfoWidget() override;

    void setModel(QSharedPointer<MafwTrackerModel> model) override;
    // The title drawn on the collage while the playlist has no covers.
    void setCollageTitle(const QString& title);
};

#endif // PLAYLISTINFOWIDGET_H
