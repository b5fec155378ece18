#ifndef SONGDETAILWIDGET_H
#define SONGDETAILWIDGET_H

#include "mwidget.h"

#include <QHash>
#include <QPixmap>
#include <QString>
#include <QVariant>

class AlbumArtLoader;
class MImageWidget;
class MLabel;
class QGraphicsLinearLayout;

// The upper block of the song details page: the cover at the left and beside it one row per
// tag the song has (track number, disc number, artist, album, year, genre, composer, writer).
// Every fill rebuilds the rows, so nothing of an earlier song stays.
class SongDetailWidget : public MWidget
{
    Q_OBJECT

public:
    explicit SongDetailWidget(QGraphicsItem* parent);
    ~SongDetailWidget() override;

    void setData(const QHash<QString, QString>& fields);

    // The labels in the rows column, top to bottom, and the cover.
    QList<MLabel*> shownRows() const;
    MImageWidget* cover() const { return albumArt; }

public slots:
    // Shows the disc-number row when the album has more than one disc or the song's disc
    // number says so by itself.
    void updateDiscCount(int count);
    void setAlbumArt(QPixmap pixmap, QVariant data);
    void updateAlbumArt();

private:
    void resetRowsLayout();
    void setLabelAlignment(MLabel* label) const;
    void addRow(MLabel* label, const QString& text);
    MLabel* createRowLabel();

    QGraphicsLinearLayout* mainLayout;
    QGraphicsLinearLayout* horizontalLayout;
    QGraphicsLinearLayout* rowsLayout = nullptr;
    MLabel* artistLabel;
    MLabel* trackNumberLabel;
    MLabel* discNumberLabel;
    MLabel* yearLabel;
    MLabel* albumLabel;
    MLabel* genreLabel;
    MLabel* composerLabel;
    MLabel* writerLabel;
    AlbumArtLoader* artLoader;
    MImageWidget* albumArt;
    const QString artistTitle;
    const QString trackNumberTitle;
    const QString discNumberTitle;
    const QString yearTitle;
    const QString albumTitle;
    const QString genreTitle;
    const QString composerTitle;
    const QString writerTitle;
    QString album;
    QString artist;
    int discNumber = 0;
};

#endif // SONGDETAILWIDGET_H
