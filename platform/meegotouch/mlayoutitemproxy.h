#ifndef MLAYOUTITEMPROXY_H
#define MLAYOUTITEMPROXY_H

#include <QGraphicsLayoutItem>

class MAbstractLayoutPolicy;

// Stands for an item of an MLayout inside one policy's own Qt layout, so that one item can sit in
// several policies. It reports the item's size hints and, while its policy is the active one,
// passes the geometry it gets on to the item.
class MLayoutItemProxy : public QGraphicsLayoutItem
{
public:
    MLayoutItemProxy(QGraphicsLayoutItem* target, const MAbstractLayoutPolicy* policy);
    ~MLayoutItemProxy() override;

    QGraphicsLayoutItem* target() const;

    // Copies the item's size policy, which Qt's layouts read directly.
    void refresh();

    void setGeometry(const QRectF& rect) override;

    // A hidden widget takes no room (unless its size policy retains it).
    bool isHidden() const;

protected:
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF& constraint = QSizeF()) const override;

private:
    QGraphicsLayoutItem* item;
    const MAbstractLayoutPolicy* owner;
};

#endif // MLAYOUTITEMPROXY_H
