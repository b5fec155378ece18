#ifndef PLAYLISTINFOWIDGET_H
#define PLAYLISTINFOWIDGET_H

#include "songpageinfowidget.h"

// The panel above a playlist's songs: the collage of the playlist's covers (or its title
// drawn as a cover) and, beside it, the number of songs and their total length, following
// the playlist as it changes. A tap on the collage gives albumArtClicked(). The collage is saved
// under the playlist's name, so the latest-activity grid's tile of the playlist follows it.
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

    // The id the collage goes by: minus the query type for the automatic playlists that have
    // one, 0 for a playlist that has no file of its own.
    static int collageIdOf(const QAbstractItemModel* playlist);
    // The collage file's name (without folder and suffix) for that id.
    static QString collageSaveName(int id);

private:
    void saveCollageUnderPlaylist();
};

#endif // PLAYLISTINFOWIDGET_H
