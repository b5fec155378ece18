#ifndef MLISTINDEXBUBBLE_H
#define MLISTINDEXBUBBLE_H

#include "mwidgetcontroller.h"

// The floating index of a grouped list: while the list is panned it shows the title of the
// group at the top of the list's visible part.
class MListIndexBubble : public MWidgetController
{
    Q_OBJECT

public:
    explicit MListIndexBubble(QGraphicsItem* parent = nullptr);
    ~MListIndexBubble() override;

    QString text() const;
    void setText(const QString& text);

protected:
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;

private:
    QString shown;
};

#endif // MLISTINDEXBUBBLE_H
