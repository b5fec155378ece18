#ifndef MCONTAINER_H
#define MCONTAINER_H

#include "mwidgetcontroller.h"

#include <QPointer>

class MLabel;
class QGraphicsLinearLayout;

// A box with a title header above a central widget.
class MContainer : public MWidgetController
{
    Q_OBJECT

public:
    explicit MContainer(QGraphicsItem* parent = nullptr);
    explicit MContainer(const QString& title, QGraphicsItem* parent = nullptr);
    ~MContainer() override;

    QString title() const;
    void setTitle(const QString& title);

    bool headerVisible() const;
    void setHeaderVisible(bool visible);

    // Never null: an empty widget until one is set.
    QGraphicsWidget* centralWidget();
    // With destroy, the widget set before is deleted; else it is left to its owner, hidden.
    void setCentralWidget(QGraphicsWidget* widget, bool destroy = true);

private:
    MLabel* header;
    QPointer<QGraphicsWidget> central;
    QGraphicsLinearLayout* box;
};

#endif // MCONTAINER_H
