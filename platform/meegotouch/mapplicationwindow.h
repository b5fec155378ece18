#ifndef MAPPLICATIONWINDOW_H
#define MAPPLICATIONWINDOW_H

#include "mwindow.h"

class MApplicationPage;

// The main window of an application: pages appear in it.
class MApplicationWindow : public MWindow
{
    Q_OBJECT

public:
    explicit MApplicationWindow(QWidget* parent = nullptr);
    ~MApplicationWindow() override;

    // The page last made to appear and still shown; null when none.
    MApplicationPage* currentPage() const;

signals:
    void pageChanged(MApplicationPage* page);
};

#endif // MAPPLICATIONWINDOW_H
