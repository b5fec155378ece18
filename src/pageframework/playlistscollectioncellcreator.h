#ifndef PLAYLISTSCOLLECTIONCELLCREATOR_H
#define PLAYLISTSCOLLECTIONCELLCREATOR_H

#include "cellpainter.h"
#include "common/parlovance.h"
#include "data/modelcolumns.h"
#include "mabstractcellcreator.h"
#include "songcollectionitem.h"

#include <QString>
#include <QVariant>

// Draws the rows of the playlist lists: the playlist's name above, its song count below and
// its total length at the right. A playlist file's name is shown without its extension.
class PlaylistsCollectionCellCreator : public CellPainter,
                                       public MAbstractCellCreator<SongCollectionItem>
{
    Q_OBJECT

public:
    explicit PlaylistsCollectionCellCreator(QObject* parent = nullptr,
                                            const PlaylistColumns& columns = PlaylistColumns());
    ~PlaylistsCollectionCellCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;

    // Cuts a playlist file's extension from the name, as every page names a playlist:
    // "Vol. 2" stays whole, "Vol. 2.m3u" becomes "Vol. 2".
    static void removeExtension(QString& name);

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter);
    void goToPage(Parlovance::ParlovancePages page);

private:
    PlaylistColumns columns;
};

#endif // PLAYLISTSCOLLECTIONCELLCREATOR_H
