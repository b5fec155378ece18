#ifndef MABSTRACTLAYOUTPOLICY_H
#define MABSTRACTLAYOUTPOLICY_H

#include <QList>
#include <QMarginsF>
#include <QSizeF>

class MLayout;
class MLayoutItemProxy;
class QGraphicsLayout;
class QGraphicsLayoutItem;
class QRectF;

// One arrangement of (some of) the items of an MLayout. A layout has several policies and
// shows one at a time: activating a policy shows its items, hides the layout's other items and
// lets the policy place them. The first policy made on a layout is the active one.
class MAbstractLayoutPolicy
{
public:
    explicit MAbstractLayoutPolicy(MLayout* layout);
    virtual ~MAbstractLayoutPolicy();

    MLayout* layout() const;

    void activate();
    bool isActive() const;

    void setContentsMargins(qreal left, qreal top, qreal right, qreal bottom);
    void getContentsMargins(qreal* left, qreal* top, qreal* right, qreal* bottom) const;

    virtual void setSpacing(qreal spacing);
    virtual void setHorizontalSpacing(qreal spacing);
    virtual void setVerticalSpacing(qreal spacing);
    qreal horizontalSpacing() const;
    qreal verticalSpacing() const;

    int count() const;
    QGraphicsLayoutItem* itemAt(int index) const;
    int indexOf(const QGraphicsLayoutItem* item) const;
    void removeAt(int index);
    void removeItem(const QGraphicsLayoutItem* item);

    // Called by the layout.
    void setGeometry(const QRectF& rect);
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF& constraint) const;
    void invalidate();
    // The item is going (being destroyed): drop it without touching it.
    void forgetTarget(const QGraphicsLayoutItem* item);

protected:
    // The subclass's Qt layout over the proxies, rebuilt from scratch whenever items change.
    virtual QGraphicsLayout* buildLayout() = 0;

    // The subclass drops its own data of an item that leaves the policy.
    virtual void forgetItem(const QGraphicsLayoutItem* item);

    // Adds the item (position data are the subclass's) and rebuilds.
    void addToPolicy(QGraphicsLayoutItem* item, int index = -1);
    MLayoutItemProxy* proxyAt(int index) const;
    MLayoutItemProxy* proxyFor(const QGraphicsLayoutItem* item) const;
    void rebuild();

private:
    MLayout* owner;
    QList<MLayoutItemProxy*> proxies;
    QGraphicsLayout* qtLayout = nullptr;
    QMarginsF margins;
    qreal hSpacing = 0;
    qreal vSpacing = 0;
};

#endif // MABSTRACTLAYOUTPOLICY_H
