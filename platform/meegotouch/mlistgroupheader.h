#ifndef MLISTGROUPHEADER_H
#define MLISTGROUPHEADER_H

#include "mwidgetcontroller.h"

// The row a list shows above each group when no header creator was given: the group's title
// and a thin line from it to the right edge. It takes no taps, so a press on it reaches the list.
class MListGroupHeader : public MWidgetController
{
    Q_OBJECT

public:
    explicit MListGroupHeader(QGraphicsItem* parent = nullptr);
    ~MListGroupHeader() override;

    QString title() const;
    void setTitle(const QString& title);

protected:
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;

private:
    QString text;
};

#endif // MLISTGROUPHEADER_H
