#ifndef NOWPLAYINGPAGE_H
#define NOWPLAYINGPAGE_H

#include "pageframework/quintaveilpage.h"

// The player: the song playing now and its controls. Minimal for now.
class NowPlayingPage : public QuintaveilPage
{
    Q_OBJECT

public:
    explicit NowPlayingPage(MainWindow* window);
    ~NowPlayingPage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // NOWPLAYINGPAGE_H
