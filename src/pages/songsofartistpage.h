#ifndef SONGSOFARTISTPAGE_H
#define SONGSOFARTISTPAGE_H

#include "pageframework/quintaveilpage.h"

// The songs of one artist. Minimal for now.
class SongsOfArtistPage : public QuintaveilPage
{
    Q_OBJECT

public:
    explicit SongsOfArtistPage(MainWindow* window);
    ~SongsOfArtistPage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // SONGSOFARTISTPAGE_H
