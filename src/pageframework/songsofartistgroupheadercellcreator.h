#ifndef SONGSOFARTISTGROUPHEADERCELLCREATOR_H
#define SONGSOFARTISTGROUPHEADERCELLCREATOR_H

#include "mabstractcellcreator.h"
#include "songsofartistgroupheader.h"

#include <QObject>

// Draws the album headers of an artist's songs: a group of the grouped list stands for one
// album, and its header shows the group's title, the album name.
class SongsOfArtistGroupHeaderCellCreator : public QObject,
                                            public MAbstractCellCreator<SongsOfArtistGroupHeader>
{
    Q_OBJECT

public:
    explicit SongsOfArtistGroupHeaderCellCreator(QObject* parent);
    ~SongsOfArtistGroupHeaderCellCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;
};

#endif // SONGSOFARTISTGROUPHEADERCELLCREATOR_H
