#ifndef ALBUMSOFARTISTPAGE_H
#define ALBUMSOFARTISTPAGE_H

#include "pageframework/songpage.h"

#include <QPixmap>
#include <QPointF>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

class AlbumArtLoader;
class AlbumsOfArtistCellCreator;
class AlbumsOfArtistContentItem;
class CollectionViewShuffleWidget;
class MusicExtensionArea;
class QTimer;

// The albums of one artist under the artist's name: a shuffle row that plays all the artist's
// songs, the albums (cover, title, number of songs, length), the row of the artist's songs
// without an album (only while there are such songs), the row of all the artist's songs with
// their number and length, and the extensions for artists. An album opens its songs by this
// artist (page 4), the row without an album those songs, the all-songs row the artist's songs
// by album (page 9). The artists page opens it with "artistName" and "artistId"; the unknown
// artist (an id below 1) lists the albums without an artist.
class AlbumsOfArtistPage : public SongPage
{
    Q_OBJECT

public:
    explicit AlbumsOfArtistPage(PageWindow* window);
    ~AlbumsOfArtistPage() override;

    QString artistName() const { return shownSongs().title; }
    int artistId() const { return shownSongs().trackerId; }
    CollectionViewShuffleWidget* shuffleWidget() const { return shuffleRow; }
    AlbumsOfArtistContentItem* unknownAlbumRow() const { return unknownRow; }
    AlbumsOfArtistContentItem* allSongsRow() const { return allSongsItem; }
    MusicExtensionArea* extensionArea() const { return extensions; }
    AlbumsOfArtistCellCreator* cellCreator() const;

public slots:
    void handleListItemClick(const QModelIndex& index) override;
    // The artist's song count and total seconds, as the factory answers them.
    void updateAllSongsLabel(int songCount, int duration);

protected slots:
    void createContent() override;

private slots:
    void fetchRest();
    void handleModelCompleted();
    void dataChangedInModel();
    void unknownAlbumModelCompleted();
    void handleAllSongsLabelClick();
    void handleUnknownLabelClick();
    void handleUnknownLabelLongTap(const QPointF& position);
    void handleAllSongsLabelLongTap(const QPointF& position);
    void setAlbumArtToUnknownLabel(QPixmap pixmap, QVariant data);

private:
    void songsShown() override;
    // Follows the albums shown and the artist's songs without an album into the two rows.
    void followModels();
    void updateUnknownLabel(int songs, int duration);
    void hideUnknownLabel();
    void getDataForAllSongsLabel();
    void publishContent();

    MusicExtensionArea* extensions = nullptr;
    const QString unknownArtistText;
    const QString unknownAlbumText;
    const QString allSongsText;
    AlbumArtLoader* unknownRowCovers = nullptr;
    AlbumsOfArtistContentItem* unknownRow = nullptr;
    AlbumsOfArtistContentItem* allSongsItem = nullptr;
    // Coalesces a burst of changes of the albums into one update of the two rows.
    QTimer* changeTimer = nullptr;
    // The artist's songs without an album (for the unknown artist: without album and artist).
    QSharedPointer<MafwTrackerModel> unknownAlbumModel;
};

#endif // ALBUMSOFARTISTPAGE_H
