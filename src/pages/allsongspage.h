#ifndef ALLSONGSPAGE_H
#define ALLSONGSPAGE_H

#include "pageframework/quintaveilpage.h"

// Every song of the library. Minimal for now.
class AllSongsPage : public QuintaveilPage
{
    Q_OBJECT

public:
    AllSongsPage(MainWindow* window, QVariant deviceEmpty);
    ~AllSongsPage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // ALLSONGSPAGE_H
