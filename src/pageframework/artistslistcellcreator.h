#ifndef ARTISTSLISTCELLCREATOR_H
#define ARTISTSLISTCELLCREATOR_H

#include "artistcontentitem.h"
#include "common/parlovance.h"
#include "mabstractcellcreator.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

class AlbumArtLoader;
class Highlighter;

// Draws the rows of the artists list: the artist's picture (asked for over the artist's
// albums, with the row's index as the cookie), the name, and below it the one album or the
// number of albums. Matches of the page's live filter are highlighted.
class ArtistsListCellCreator : public QObject, public MAbstractCellCreator<ArtistContentItem>
{
    Q_OBJECT

public:
    // columns: the model's header texts to column numbers. filterText: the page's live-filter
    // text, read at each fill; it must outlive the creator.
    ArtistsListCellCreator(AlbumArtLoader* loader, const QString& filterText,
                           QHash<QString, int> columns, QObject* parent);
    ~ArtistsListCellCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter);
    void goToPage(Parlovance::ParlovancePages page);

private:
    QVariant field(const QModelIndex& index, int column) const;

    AlbumArtLoader* loader;
    Highlighter* highlighter;
    const QString* filterText;
    int artistNameColumn;
    int albumNameColumn;
    int albumCountColumn;
};

#endif // ARTISTSLISTCELLCREATOR_H
