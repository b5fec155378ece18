#ifndef MSHEET_H
#define MSHEET_H

#include "mscenewindow.h"

#include <QPointer>

class MWindow;

// A full-screen sheet: a header bar (usually with its buttons) above a central area. While it
// shows it has the keys (typing reaches none of the page below); they go back to the page
// when it goes. It appears
// in a window's scene like any scene window, or system-wide: in a full-screen top-level window of
// its own (an MWindow, not an application window), which is closed when the sheet goes.
class MSheet : public MSceneWindow
{
    Q_OBJECT

public:
    // The numbers are passed by callers, so they are fixed.
    enum SystemwideModeOrientation {
        FollowsCurrentAppWindowOrientation = 0,
        FollowsDeviceOrientation = 1,
        LockedToPortraitOrientation = 2,
        LockedToLandscapeOrientation = 3
    };

    MSheet();
    ~MSheet() override;

    // Never null; the sheet owns them. Setting one deletes the one before.
    QGraphicsWidget* headerWidget();
    void setHeaderWidget(QGraphicsWidget* widget);
    QGraphicsWidget* centralWidget();
    void setCentralWidget(QGraphicsWidget* widget);

    void setHeaderVisible(bool visible);

    void appearSystemwide(DeletionPolicy policy = KeepWhenDone);
    // The orientation of a system-wide appearance. The screen is always portrait here: the
    // value is kept and changes nothing.
    void setSystemwideModeOrientation(SystemwideModeOrientation orientation);
    SystemwideModeOrientation systemwideModeOrientation() const;
    // The window of a system-wide appearance; null otherwise.
    MWindow* systemwideWindow() const;

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;
    void drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

private slots:
    void hideOwnWindow();

private:
    void layoutParts();

    QPointer<QGraphicsWidget> header;
    QPointer<QGraphicsWidget> central;
    QPointer<MWindow> ownWindow;
    bool headerShown = true;
    SystemwideModeOrientation systemwideOrientation = FollowsCurrentAppWindowOrientation;
};

#endif // MSHEET_H
