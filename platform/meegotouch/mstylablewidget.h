#ifndef MSTYLABLEWIDGET_H
#define MSTYLABLEWIDGET_H

#include "mwidgetcontroller.h"

// A widget whose look and size come from its style only: panels, spacers, containers.
class MStylableWidget : public MWidgetController
{
    Q_OBJECT

public:
    explicit MStylableWidget(QGraphicsItem* parent = nullptr);
    ~MStylableWidget() override;
};

#endif // MSTYLABLEWIDGET_H
