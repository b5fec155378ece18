#ifndef MENUENTRY_H
#define MENUENTRY_H

#include "touchdriver.h"

#include <QAction>
#include <QSignalSpy>
#include <QString>

// Taps the shown entry of a menu (an object menu, the application menu) that has the text, as
// a finger chooses it, and waits for its action to be triggered. False when no shown entry has
// the text or the tap triggered nothing in time.
template <typename Menu>
bool chooseMenuEntry(TouchDriver& finger, Menu* menu, const QString& text, int timeoutMs)
{
    for (QAction* action : menu->actions()) {
        if (action->text() != text || !action->isVisible())
            continue;
        QSignalSpy triggered(action, SIGNAL(triggered()));
        const QRectF entry = menu->entryRect(action);
        if (entry.isEmpty())
            return false;
        finger.tap(menu->mapToScene(entry.center()));
        return triggered.count() == 1 || triggered.wait(timeoutMs);
    }
    return false;
}

#endif // MENUENTRY_H
