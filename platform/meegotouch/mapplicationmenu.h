#ifndef MAPPLICATIONMENU_H
#define MAPPLICATIONMENU_H

#include "mscenewindow.h"

#include <QList>
#include <QPointer>

class QAction;

// The application (view) menu: a panel dropping from the top of the screen with an entry per
// visible action, over a dimmed page. An MWidgetAction shows its widget as its entry. Tapping a
// plain entry closes the menu and then triggers the action; tapping outside closes it. The
// entries are read from actions() whenever the menu appears.
class MApplicationMenu : public MSceneWindow
{
    Q_OBJECT

public:
    explicit MApplicationMenu(const QString& title = QString());
    ~MApplicationMenu() override;

    QString title() const;
    void setTitle(const QString& title);

    // The rectangle of the panel in the menu's coordinates (empty before it has appeared).
    QRectF panelRect() const;
    // The rectangle of an action's entry; empty when the action is not shown.
    QRectF entryRect(QAction* action) const;

protected:
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

    QString menuTitle;
    QList<Entry> entries;
    QRectF panel;
    QRectF titleRect;
    bool rebuildPending = false;
};

#endif // MAPPLICATIONMENU_H
