#ifndef MYALBUMSPAGE_H
#define MYALBUMSPAGE_H

#include "pageframework/quintaveilpage.h"

// The albums of the library. Minimal for now.
class MyAlbumsPage : public QuintaveilPage
{
    Q_OBJECT

public:
    MyAlbumsPage(MainWindow* window, QVariant deviceEmpty);
    ~MyAlbumsPage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // MYALBUMSPAGE_H
