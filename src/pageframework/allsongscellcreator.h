#ifndef ALLSONGSCELLCREATOR_H
#define ALLSONGSCELLCREATOR_H

#include "mabstractcellcreator.h"
#include "common/parlovance.h"
#include "songcollectionitem.h"

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QVariant>

class Highlighter;
class MApplicationPage;

// Draws the rows of the all-songs list: the title with the favourite mark, "artist | album"
// below it and the length at the right. The playing song is accented; while the page filters,
// the parts of title and subtitle that match the filter text are highlighted.
class AllSongsCellCreator : public QObject, public MAbstractCellCreator<SongCollectionItem>
{
    Q_OBJECT

public:
    // columns: the model's header texts to column numbers. filterText: the page's live-filter
    // text, read at each update; it must outlive the creator.
    AllSongsCellCreator(const QHash<QString, int>& columns, const QString* filterText,
                        QObject* parent);
    ~AllSongsCellCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;
    QSizeF cellSize() const override;

    QString highlighted(const QString& text) const;

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter);
    void goToPage(Parlovance::ParlovancePages page);

private:
    QVariant field(const QModelIndex& index, int column) const;
    QString subtitlePart(const QString& text, const QString& unknownText) const;

    QString unknownArtistText;
    QString unknownAlbumText;
    QPixmap emptyPixmap;
    Highlighter* highlighter;
    const QString* filterText;
    QHash<QString, int> columns;
    MApplicationPage* ownerPage;
    int favoritedColumn;
    int songLengthColumn;
    int albumNameColumn;
    int artistNameColumn;
    int songTitleColumn;
    int songIdColumn;
};

#endif // ALLSONGSCELLCREATOR_H
