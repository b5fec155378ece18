#include "mapplicationwindow.h"

#include "mapplicationpage.h"
#include "mscenemanager.h"
#include "qmkeyshook.h"

#include <QKeyEvent>

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

void MApplicationWindow::keyPressEvent(QKeyEvent* event)
{
    if (MeeGo::QmKeysHook::keyForQtKey(event->key()) != MeeGo::QmKeys::UnknownKey) {
        // The hook repeats a held key itself; the window system's repeats are dropped.
        if (!event->isAutoRepeat())
            MeeGo::QmKeysHook::instance()->pressQtKey(event->key());
        event->accept();
        return;
    }
    MWindow::keyPressEvent(event);
}

void MApplicationWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (MeeGo::QmKeysHook::keyForQtKey(event->key()) != MeeGo::QmKeys::UnknownKey) {
        if (!event->isAutoRepeat())
            MeeGo::QmKeysHook::instance()->releaseQtKey(event->key());
        event->accept();
        return;
    }
    MWindow::keyReleaseEvent(event);
}
