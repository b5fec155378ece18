#ifndef MYARTISTSPAGE_H
#define MYARTISTSPAGE_H

#include "pageframework/quintaveilpage.h"

// The artists of the library. Minimal for now.
class MyArtistsPage : public QuintaveilPage
{
    Q_OBJECT

public:
    MyArtistsPage(MainWindow* window, QVariant deviceEmpty);
    ~MyArtistsPage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // MYARTISTSPAGE_H
