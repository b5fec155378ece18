#ifndef MSEPARATOR_H
#define MSEPARATOR_H

#include "mwidgetcontroller.h"

// A thin line between groups of widgets.
class MSeparator : public MWidgetController
{
    Q_OBJECT

public:
    explicit MSeparator(QGraphicsItem* parent = nullptr,
                        Qt::Orientation orientation = Qt::Horizontal);
    ~MSeparator() override;

    Qt::Orientation orientation() const;
    void setOrientation(Qt::Orientation orientation);

protected:
    QSizeF contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const override;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;

private:
    Qt::Orientation direction;
};

#endif // MSEPARATOR_H
