#ifndef SONGDETAILVIEW_H
#define SONGDETAILVIEW_H

#include "pageframework/quintaveilpage.h"

// The details of one song. Minimal for now.
class SongDetailView : public QuintaveilPage
{
    Q_OBJECT

public:
    explicit SongDetailView(MainWindow* window);
    ~SongDetailView() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // SONGDETAILVIEW_H
