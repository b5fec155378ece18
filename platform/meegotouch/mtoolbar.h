#ifndef MTOOLBAR_H
#define MTOOLBAR_H

#include "mwidgetcontroller.h"

#include <QHash>
#include <QList>
#include <QPointer>

class MButton;
class QAction;

// The bar at the bottom of a page with the page's toolbar actions side by side: an
// MWidgetAction shows its own widget, any other action a button that triggers it.
class MToolBar : public MWidgetController
{
    Q_OBJECT

public:
    explicit MToolBar(QGraphicsItem* parent = nullptr);
    ~MToolBar() override;

    void setActions(const QList<QAction*>& actions);
    bool hasItems() const;
    qreal barHeight() const;

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;

private:
    static bool isPlaceholder(const QAction* action);
    void layoutItems();
    QGraphicsWidget* itemFor(QAction* action);

    QList<QPointer<QAction>> shownActions;
    QHash<QAction*, QPointer<QGraphicsWidget>> items;
    QHash<QAction*, QPointer<MButton>> buttons;
};

#endif // MTOOLBAR_H
