#ifndef INDEXINGPROGRESSWIDGET_H
#define INDEXINGPROGRESSWIDGET_H

#include "mstylablewidget.h"

// The updating-library notice: a text and a running progress bar in the middle of the space
// it is given. It takes every press, so what lies beneath cannot be used meanwhile.
class IndexingProgressWidget : public MStylableWidget
{
    Q_OBJECT

public:
    explicit IndexingProgressWidget(QGraphicsItem* parent);
    ~IndexingProgressWidget() override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
};

#endif // INDEXINGPROGRESSWIDGET_H
