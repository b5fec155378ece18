#ifndef PLAYLISTCOLLECTIONPAGE_H
#define PLAYLISTCOLLECTIONPAGE_H

#include "pageframework/quintaveilpage.h"

// The automatic and the user's playlists. Minimal for now.
class PlaylistCollectionPage : public QuintaveilPage
{
    Q_OBJECT

public:
    PlaylistCollectionPage(MainWindow* window, QVariant deviceEmpty);
    ~PlaylistCollectionPage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // PLAYLISTCOLLECTIONPAGE_H
