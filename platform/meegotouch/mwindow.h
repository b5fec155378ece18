#ifndef MWINDOW_H
#define MWINDOW_H

#include "mnamespace.h"

#include <QGraphicsView>

class MSceneManager;

// A top-level window: a graphics view over a 480 x 854 portrait scene, scaled to fit the window
// with black around it. "Full screen" on a screen larger than the portrait window shows the
// portrait window. The window is "in the task switcher" while it is minimised or the application
// is not active; it leaves the switcher when it is restored and activated again.
// Every window passes the keyboard's media keys to the system key hook (QmKeys listens there)
// instead of the focused widget, as a phone's keys reach the player whatever window is in front
// (the main window or a sheet's own), and lets go of the keys held there when it loses the
// keyboard.
class MWindow : public QGraphicsView
{
    Q_OBJECT

public:
    static const int SceneWidth = 480;
    static const int SceneHeight = 854;

    explicit MWindow(QWidget* parent = nullptr);
    ~MWindow() override;

    MSceneManager* sceneManager() const;

    // Orientation is always portrait here; the calls are accepted and change nothing.
    void setPortraitOrientation();
    void lockOrientation();
    M::Orientation orientation() const;

    bool isInSwitcher() const;
    // Moves the window into or out of the task switcher, as minimising or deactivating does.
    // The window system calls it; tests call it to drive the switcher.
    void setInSwitcher(bool inSwitcher);

    // Shown, not minimised, and not in the task switcher.
    bool isOnDisplay() const;

    // Kept for the theme; the window paints black whatever the name.
    QString styleName() const;
    void setStyleName(const QString& name);

    void setVisible(bool visible) override;
    QSize sizeHint() const override;

signals:
    void switcherEntered();
    void switcherExited();
    void displayEntered();
    void displayExited();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private slots:
    void handleApplicationState(Qt::ApplicationState state);

private:
    void updateDisplay();
    void fitScene();
    QSize portraitSize() const;

    MSceneManager* manager;
    QString style;
    bool inSwitcher = false;
    bool wasActive = false;
    bool lastOnDisplay = false;
};

#endif // MWINDOW_H
