#ifndef ALBUMINFOWIDGET_H
#define ALBUMINFOWIDGET_H

#include "data/modelcolumns.h"
#include "songpageinfowidget.h"

#include <QHash>
#include <QPixmap>
#include <QString>
#include <QVariant>

class AlbumArtLoader;

// The panel above an album's songs: the album's cover, and beside it the artist (or "various
// artists"), the number of songs, their total length, the year and the genre. Year and genre
// are read from the first song and left out while unknown. The cover comes from a loader of
// the panel's own and is shown again when the covers on disk change.
class AlbumInfoWidget : public SongPageInfoWidget
{
    Q_OBJECT

public:
    AlbumInfoWidget(QSharedPointer<MafwTrackerModel> model, const SongColumns& columns,
                    QGraphicsItem* parent = nullptr);
    ~AlbumInfoWidget() override;

    // The album as the page was asked for it: "albumName", "artistName" (TAB-joined),
    // "albumArtistCount", "AccessFromArtistView".
    void updateAlbumInfo(const QHash<QString, QVariant>& parameters);

    MLabel* artistLabel() const { return artist; }
    MLabel* yearLabel() const { return year; }
    MLabel* genreLabel() const { return genre; }

private slots:
    void setAlbumArt(QPixmap pixmap, QVariant data);
    void updateAlbumArt();

private:
    QString firstArtist() const;
    void showFact(MLabel* label, const QString& text);

    MLabel* artist;
    AlbumArtLoader* loader;
    SongColumns columns;
    QHash<QString, QVariant> parameters;
};

#endif // ALBUMINFOWIDGET_H
