#include "mapplicationwindow.h"

#include "mapplicationpage.h"
#include "mscenemanager.h"


MApplicationWindow::MApplicationWindow(QWidget* parent)
    : MWindow(parent)
{
    connect(sceneManager(), &MSceneManager::currentPageChanged, this,
            &MApplicationWindow::pageChanged);
}

MApplicationWindow::~MApplicationWindow()
{
    // The scene manager outlives this part of the window and reports its pages going away.
    disconnect(sceneManager(), nullptr, this, nullptr);
}

MApplicationPage* MApplicationWindow::currentPage() const
{
    return sceneManager()->currentPage();
}
