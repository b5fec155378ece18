#ifndef MACTIONLISTWINDOW_H
#define MACTIONLISTWINDOW_H

#include "mscenewindow.h"

#include <QList>
#include <QPointer>

class QAction;

// A scene window that lists its actions as entries on a panel over a dimmed screen: the common
// part of the application menu and the object menu. An MWidgetAction shows its widget as its
// entry. The entries are read from actions() whenever the window appears, and again when its
// actions change while it is shown. Tapping outside the panel closes the window.
class MActionListWindow : public MSceneWindow
{
    Q_OBJECT

public:
    ~MActionListWindow() override;

    QString title() const;
    void setTitle(const QString& title);

    // The panel in the window's coordinates (empty before it has appeared).
    QRectF panelRect() const;
    // The rectangle of an action's entry; empty when the action is not shown.
    QRectF entryRect(QAction* action) const;

protected:
    MActionListWindow(WindowType type, const QString& title);

    // Where the panel goes, for the height its entries need.
    virtual QRectF panelPlacement(qreal contentHeight) const = 0;
    // A plain entry was tapped.
    virtual void entryChosen(QAction* action) = 0;

    bool event(QEvent* event) override;
    void drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;

private slots:
    void rebuild();

private:
    struct Entry
    {
        QPointer<QAction> action;
        QPointer<QGraphicsWidget> widget;
        QRectF rect;
    };

    QAction* actionAt(const QPointF& pos) const;

    QString listTitle;
    QList<Entry> entries;
    QRectF panel;
    QRectF titleRect;
    bool rebuildPending = false;
};

#endif // MACTIONLISTWINDOW_H
