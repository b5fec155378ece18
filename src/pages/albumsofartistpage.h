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

    QString artistName() const { return artist; }
    int artistId() const { return artistTrackerId; }
    CollectionViewShuffleWidget* shuffleWidget() const { return artistShuffle; }
    AlbumsOfArtistContentItem* unknownAlbumRow() const { return unknownRow; }
    AlbumsOfArtistContentItem* allSongsRow() const { return allSongsItem; }
    MusicExtensionArea* extensionArea() const { return extensions; }
    AlbumsOfArtistCellCreator* cellCreator() const { return creator; }

public slots:
    void passParameterToPage(QVariant parameter) override;
    void createList() override;
    QHash<QString, QVariant> itemParameters(const QModelIndex& index) override;
    void handleListItemClick(const QModelIndex& index) override;
    void insertHeaderWidget(MWidget* widget) override;
    // The artist's song count and total seconds, as the factory answers them.
    void updateAllSongsLabel(int songCount, int duration);

protected slots:
    void createContent() override;

private slots:
    void shufflePlayArtist();
    void preLoadSongsOfArtistPage();
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
    void loadModels();
    void updateUnknownLabel(int songs, int duration);
    void hideUnknownLabel();
    void getDataForAllSongsLabel();
    void publishContent();

    AlbumsOfArtistCellCreator* creator = nullptr;
    QString artist;
    int artistTrackerId = -1;
    MusicExtensionArea* extensions = nullptr;
    CollectionViewShuffleWidget* artistShuffle = nullptr;
    const QString unknownArtistText;
    const QString unknownAlbumText;
    const QString allSongsText;
    AlbumArtLoader* covers;
    AlbumArtLoader* unknownRowCovers = nullptr;
    AlbumsOfArtistContentItem* unknownRow = nullptr;
    AlbumsOfArtistContentItem* allSongsItem = nullptr;
    // Coalesces a burst of changes of the albums into one update of the two rows.
    QTimer* changeTimer = nullptr;
    // The artist's songs without an album (for the unknown artist: without album and artist).
    QSharedPointer<MafwTrackerModel> unknownAlbumModel;
};

#endif // ALBUMSOFARTISTPAGE_H
