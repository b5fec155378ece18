#ifndef MAPPLICATIONWINDOW_H
#define MAPPLICATIONWINDOW_H

#include "mwindow.h"

class MApplicationPage;

// The main window of an application: pages appear in it. It passes the keyboard's media keys
// to the system key hook (QmKeys listens there) instead of the focused page, and lets go of the
// keys held there when it loses the keyboard.
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

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
};

#endif // MAPPLICATIONWINDOW_H
