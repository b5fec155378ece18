#ifndef CELLPAINTER_H
#define CELLPAINTER_H

#include "albumart/albumarttype.h"

#include <QObject>
#include <QString>
#include <QVariant>

class AlbumArtLoader;
class Highlighter;
class MApplicationPage;
class MImageWidget;
class MLabel;
class QModelIndex;
class SongCollectionListItem;
struct ArtInfo;
struct SongColumns;

// What every painter of list rows shares: it fills a row from the row's own data alone. A
// concrete painter derives from this class and from MAbstractCellCreator<its cell class>,
// takes its model family's column map (modelcolumns.h) and fills the cell in updateCell().
//
// The two things a row shows that are not in the model are handed in: the live-filter text,
// whose matches are marked, by the page that filters; the song that plays now, whose rows are
// accented, by the list that shows them (SongList). No painter asks the playback hub.
class CellPainter : public QObject
{
    Q_OBJECT

public:
    // A page as parent makes it the owner page: while it is leaving the screen no row of it is
    // accented.
    explicit CellPainter(QObject* parent);
    ~CellPainter() override;

    void setFilterText(const QString& text);
    QString filterText() const { return filter; }

    // The tracker id of the song that plays now; -1 for none.
    void setPlayingSongId(int songId);
    int playingSongId() const { return playingId; }

    // The shown artist of a TAB-joined list of performers: the one name, or the
    // various-artists text for several. The cover is asked for under artArtist: the first name
    // that is not the unknown-artist text.
    struct ArtistLine
    {
        QString shown;
        QString artArtist;
    };
    static ArtistLine artistLine(const QString& performers);

protected:
    // A row to fill: a valid row and column of some model.
    static bool isRow(const QModelIndex& index);
    // The field in column c of the index's row.
    static QVariant field(const QModelIndex& index, int column);
    bool isPlaying(int songId) const;

    // The text with the filter's matches marked (as rich text, the row's own text escaped);
    // plain while nothing is filtered.
    void setHighlighted(MLabel* label, const QString& text) const;
    static void setPlain(MLabel* label, const QString& text);
    // The favourite mark beside a song's title, or nothing.
    static void showFavourite(MImageWidget* image, bool favourite);
    // What a one-song row shows beside its texts: the accent while its song plays (the title
    // takes accentedTitleStyle instead of titleStyle, the other labels follow), its length at
    // the right and its favourite mark.
    void paintSongRow(SongCollectionListItem* item, const QModelIndex& index,
                      const SongColumns& columns, const QString& titleStyle,
                      const QString& accentedTitleStyle) const;
    // The cached cover (or the loader's placeholder) at once; a missing or generated one is
    // asked for, with the row's index as the cookie that the page's list redraws by.
    static void showCover(MImageWidget* image, AlbumArtLoader* loader, const ArtInfo& cached,
                          const QModelIndex& index, int albumColumn, int artistColumn,
                          AlbumArtType::ArtType type, const QString& flavor);

private:
    QString filter;
    int playingId = -1;
    Highlighter* highlighter;
    MApplicationPage* ownerPage;
};

#endif // CELLPAINTER_H
