#ifndef ALBUMSOFARTISTPAGE_H
#define ALBUMSOFARTISTPAGE_H

#include "pageframework/quintaveilpage.h"

// The albums of one artist. Minimal for now.
class AlbumsOfArtistPage : public QuintaveilPage
{
    Q_OBJECT

public:
    explicit AlbumsOfArtistPage(MainWindow* window);
    ~AlbumsOfArtistPage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // ALBUMSOFARTISTPAGE_H
