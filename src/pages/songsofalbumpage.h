#ifndef SONGSOFALBUMPAGE_H
#define SONGSOFALBUMPAGE_H

#include "pageframework/quintaveilpage.h"

// The songs of one album. Minimal for now.
class SongsOfAlbumPage : public QuintaveilPage
{
    Q_OBJECT

public:
    explicit SongsOfAlbumPage(MainWindow* window);
    ~SongsOfAlbumPage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // SONGSOFALBUMPAGE_H
