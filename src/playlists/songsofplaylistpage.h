#ifndef SONGSOFPLAYLISTPAGE_H
#define SONGSOFPLAYLISTPAGE_H

#include "pageframework/quintaveilpage.h"

// The songs of one playlist. Minimal for now.
class SongsOfPlaylistPage : public QuintaveilPage
{
    Q_OBJECT

public:
    explicit SongsOfPlaylistPage(MainWindow* window);
    ~SongsOfPlaylistPage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // SONGSOFPLAYLISTPAGE_H
