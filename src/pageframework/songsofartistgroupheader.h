#ifndef SONGSOFARTISTGROUPHEADER_H
#define SONGSOFARTISTGROUPHEADER_H

#include "mstylablewidget.h"

class MLabel;
class MLayout;

// The header over one album's songs in an artist's songs: a divider line that takes the
// width the album name leaves, then the name, right-aligned and elided when long.
class SongsOfArtistGroupHeader : public MStylableWidget
{
    Q_OBJECT

public:
    explicit SongsOfArtistGroupHeader(QGraphicsItem* parent = nullptr);
    ~SongsOfArtistGroupHeader() override;

    MLabel* titleLabel();
    void setTitle(const QString& title);

private:
    MLayout* headerLayout = nullptr;
    MLabel* title = nullptr;
};

#endif // SONGSOFARTISTGROUPHEADER_H
