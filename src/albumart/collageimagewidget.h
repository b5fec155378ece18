#ifndef COLLAGEIMAGEWIDGET_H
#define COLLAGEIMAGEWIDGET_H

#include "albumartistpairs.h"

#include "mimagewidget.h"

#include <QElapsedTimer>
#include <QList>
#include <QModelIndex>
#include <QPixmap>
#include <QRect>
#include <QSharedPointer>
#include <QStringList>
#include <QVariant>

class AlbumArtLoader;
class QAbstractItemModel;
class QTimer;

// Composes the covers of the first four usable albums of a list model into a 2x2 collage and
// shows it; with fewer albums it shows one large cover, and with none a text cover of its title.
// When asked to, it saves what it shows in the collage folder and then announces it with
// imageReady(), together with the albums it shows (none for the title's text cover); an image
// is never announced after a newer one.
//
// Work goes in passes: each model change starts a new one, and answers of the loader that belong
// to an earlier pass are dropped.
class CollageImageWidget : public MImageWidget
{
    Q_OBJECT

public:
    CollageImageWidget(QGraphicsItem* parent, int collageId);
    ~CollageImageWidget() override;

    void setModel(QSharedPointer<QAbstractItemModel> model);
    void setTitle(const QString& title);
    void setCollageId(int collageId);
    // The file is the collage folder + fileName + ".png".
    void setSaveFile(bool save, const QString& fileName);

signals:
    void imageReady(QPixmap image, AlbumArtistPairs albumsArtists, int collageId);
    void clicked();
    void collageImageSaved(CollageImageWidget* object);

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private slots:
    void setAlbumArt(QPixmap pixmap, QVariant data);
    void handleRowsRemoved(const QModelIndex& parent, int start, int end);
    void handleRowsInserted(const QModelIndex& parent, int start, int end);
    void handleModelChange();
    void updateCollage();
    void delayedUpdate();
    void insertCollageImage(int index);
    void checkError(QString album, QString artist, QVariant userData);

private:
    struct Tile
    {
        QPixmap pixmap;
        int row = -1;
        bool painted = false; // painted into the canvas in this pass
    };

    // The album and the artist of a model row; empty strings out of range.
    QPair<QString, QString> albumAndArtist(int row) const;
    // Requests the next usable album for a tile (0-3) or as the single cover (-1).
    void nextAlbumRequest(int index);
    void request(int index, const QString& album, const QString& artist);
    void requestTitleCover();
    void finishWithSingleCover();
    void save();
    int rowCount() const;

    AlbumArtLoader* loader;
    QString unknownAlbumText;
    QString unknownArtistText;
    QStringList usedAlbums;
    int tileCount;
    QSharedPointer<QAbstractItemModel> model;
    int albumColumn;
    int artistColumn;
    int currentRow;
    bool complete;
    QString title;
    bool saveToFile;
    QString fileName;
    QStringList pendingAlbums;
    QList<QRect> tileRects;
    QList<Tile> tiles;
    QTimer* updateTimer;
    QPixmap* canvas;
    QPixmap singleCover;
    // The album and artist of the single cover, kept apart from the tiles' own: the single
    // cover can come before the last tile, and the collage then shown names its tiles.
    QPair<QString, QString> singlePair;
    QPixmap titleCover;
    bool singleMode;
    bool singleSaved;
    bool titleSaved;
    bool titleRequested;
    int paintedTiles;
    QString collageDirectory;
    bool started;
    QElapsedTimer passClock;
    AlbumArtistPairs pairs;
    int collageId;
    // Numbers the passes; every request carries it and answers of other passes are dropped.
    int pass;
    // Numbers the saves, and the newest whose end was announced: announcements come in order.
    int saveSerial;
    int announcedSerial;
};

Q_DECLARE_METATYPE(CollageImageWidget*)

#endif // COLLAGEIMAGEWIDGET_H
