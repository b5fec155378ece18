#ifndef MSCENEMANAGER_H
#define MSCENEMANAGER_H

#include "mnamespace.h"
#include "mscenewindow.h"

#include <QList>
#include <QObject>
#include <QSize>

class MApplicationPage;
class MWindow;
class QGraphicsScene;

// Runs the scene windows of one window: their appearance and disappearance, and the history of
// pages. Making a page appear pushes the page shown before onto the history; when the current
// page disappears (its back button, disappear() or dismiss()), the last page of the history
// appears again. Scene windows that are destroyed leave the history and the current-page
// pointer at once.
class MSceneManager : public QObject
{
    Q_OBJECT

public:
    explicit MSceneManager(MWindow* window);
    ~MSceneManager() override;

    MWindow* window() const;
    QGraphicsScene* scene() const;
    M::Orientation orientation() const;

    void appearSceneWindow(MSceneWindow* sceneWindow,
                           MSceneWindow::DeletionPolicy policy = MSceneWindow::KeepWhenDone);
    void disappearSceneWindow(MSceneWindow* sceneWindow);
    void dismissSceneWindow(MSceneWindow* sceneWindow);

    // Pages shown before the current one, oldest first.
    QList<MSceneWindow*> pageHistory() const;
    void setPageHistory(const QList<MSceneWindow*>& list);

    // The page last made to appear and not gone since; null when none.
    MApplicationPage* currentPage() const;

    // Recomputes which widgets are on display, after the window was shown, hidden, minimised
    // or entered or left the task switcher.
    void refreshDisplay();

    // The menu, dialog or sheet in front, shown or on its way in; null when none shows. What
    // lies below it gets no input.
    MSceneWindow* coveringWindow() const;
    // Called before the window delivers a key: while a covering window shows, the key goes
    // into it. Focus that went below it meanwhile (Tab, a page shown behind it) is taken back.
    void keepKeysInFront();

    // Called when a scene window is destroyed.
    static void forgetSceneWindow(MSceneWindow* sceneWindow);

signals:
    void pageHistoryChanged();
    void currentPageChanged(MApplicationPage* page);

private:
    void beginAppear(MSceneWindow* sceneWindow);
    void beginDisappear(MSceneWindow* sceneWindow, bool dismissing);
    void finishDisappear(MSceneWindow* sceneWindow, bool dismissing);
    void leave(MSceneWindow* sceneWindow, bool dismissing);
    void forget(MSceneWindow* sceneWindow);
    // Gives the keys to the covering window in front, or to the current page when none shows.
    void giveKeysToFront();
    void setCurrentPage(MApplicationPage* page);

    MWindow* owner;
    QList<MSceneWindow*> managed;
    QList<MSceneWindow*> history;
    MApplicationPage* current = nullptr;
};

#endif // MSCENEMANAGER_H
