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
        // The hook repeats a held key itself and takes a press of a key it holds for a repeat.
        // A press marked as a repeat still goes there: the window system marks the first press
        // of a key whose last release went to another window so.
        MeeGo::QmKeysHook::instance()->pressQtKey(event->key(), event->nativeScanCode());
        event->accept();
        return;
    }
    MWindow::keyPressEvent(event);
}

void MApplicationWindow::keyReleaseEvent(QKeyEvent* event)
{
    // Every release goes to the hook first: the physical key of a held media key may come up
    // as a key that is no media key at all.
    bool media = MeeGo::QmKeysHook::keyForQtKey(event->key()) != MeeGo::QmKeys::UnknownKey;
    if (!event->isAutoRepeat())
        media = MeeGo::QmKeysHook::instance()->releaseQtKey(event->key(), event->nativeScanCode());
    if (media) {
        event->accept();
        return;
    }
    MWindow::keyReleaseEvent(event);
}

void MApplicationWindow::changeEvent(QEvent* event)
{
    MWindow::changeEvent(event);
    // The releases of keys held now go to the window that has the keyboard; without this the
    // hook would hold them, and repeat their presses, for ever.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        MeeGo::QmKeysHook::instance()->releaseHeldKeys();
}
