#ifndef MSCENEWINDOW_H
#define MSCENEWINDOW_H

#include "mwidgetcontroller.h"

class MWindow;

// Something that appears in a window's scene and goes again: a page, a menu, a banner, a
// sheet, a dialog. The scene manager of the window runs its transitions. The signals come in this
// order: appearing(), displayEntered() (when the window is on display), appeared() on the next
// turn of the event loop; then disappearing(), and on the next turn displayExited(),
// disappeared().
class MSceneWindow : public MWidgetController
{
    Q_OBJECT

public:
    enum WindowType {
        PlainSceneWindow,
        ApplicationPage,
        ApplicationMenu,
        ObjectMenu,
        Dialog,
        MessageBox,
        Overlay,
        Sheet,
        Banner
    };

    // The numbers are compared by callers (1 shown, 2 on its way out), so they are fixed.
    enum SceneWindowState { Appearing = 0, Appeared = 1, Disappearing = 2, Disappeared = 3 };
    Q_ENUM(SceneWindowState)

    enum DeletionPolicy {
        KeepWhenDone = 0,
        DestroyWhenDone = 1,     // deleted once it has disappeared
        DestroyWhenDismissed = 2 // deleted once it has been dismissed
    };
    Q_ENUM(DeletionPolicy)

    explicit MSceneWindow(QGraphicsItem* parent = nullptr);
    ~MSceneWindow() override;

    WindowType windowType() const;
    SceneWindowState sceneWindowState() const;
    DeletionPolicy deletionPolicy() const;

    // Appears on the window. A null window: see appearWithoutWindow().
    void appear(MWindow* window, DeletionPolicy policy = KeepWhenDone);
    // Appears on the window whose scene holds it already, else on the active window.
    void appear(DeletionPolicy policy = KeepWhenDone);
    void disappear();
    // Disappears as an answer of the user; DestroyWhenDismissed windows are deleted after it.
    void dismiss();

    // The window the scene window was last made to appear on (null before).
    MWindow* managingWindow() const;

signals:
    void appearing();
    void appeared();
    void disappearing();
    void disappeared();

protected:
    MSceneWindow(WindowType type, QGraphicsItem* parent);

    // Asked to appear with no window to appear on. The base logs and stays where it is.
    virtual void appearWithoutWindow(DeletionPolicy policy);

    // The rectangle the window takes in a scene of the given size (the whole scene by default).
    virtual QRectF placement(const QRectF& sceneRect) const;

    // The layer the window is drawn in; later layers cover earlier ones.
    virtual qreal layer() const;

    // Menus, dialogs and sheets keep every gesture made on them from the widgets below.
    void gestureEvent(QGestureEvent* event) override;

private:
    bool coversWhatIsBelow() const;

    friend class MSceneManager;

    WindowType type;
    SceneWindowState state = Disappeared;
    DeletionPolicy policy = KeepWhenDone;
    int transition = 0; // grows with every state change; stale queued steps compare it
    MWindow* window = nullptr;
};

#endif // MSCENEWINDOW_H
