#ifndef MWIDGETACTION_H
#define MWIDGETACTION_H

#include "maction.h"

#include <QPointer>

class QGraphicsWidget;

// An action shown as a widget of its own (in a toolbar or a menu). The action owns the widget.
class MWidgetAction : public MAction
{
    Q_OBJECT

public:
    explicit MWidgetAction(QObject* parent = nullptr);
    ~MWidgetAction() override;

    // Takes ownership; a widget set before is deleted.
    void setWidget(QGraphicsWidget* widget);
    QGraphicsWidget* widget() const;

private:
    QPointer<QGraphicsWidget> shown;
};

#endif // MWIDGETACTION_H
