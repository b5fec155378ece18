#ifndef MLAYOUT_H
#define MLAYOUT_H

#include <QGraphicsLayout>
#include <QList>

class MAbstractLayoutAnimation;
class MAbstractLayoutPolicy;

// A layout with several arrangements (policies) of its items, one active at a time. The same
// item may sit in several policies. Activating a policy shows its items and hides the layout's
// other items; a later explicit show() or hide() of an item holds until the next activation.
// Items a policy adds are given the layout's widget as parent.
class MLayout : public QGraphicsLayout
{
public:
    explicit MLayout(QGraphicsLayoutItem* parent = nullptr);
    ~MLayout() override;

    int count() const override;
    QGraphicsLayoutItem* itemAt(int index) const override;
    void removeAt(int index) override;
    int indexOf(const QGraphicsLayoutItem* item) const;
    // Takes the item out of every policy.
    void removeItem(const QGraphicsLayoutItem* item);

    void setGeometry(const QRectF& rect) override;
    void invalidate() override;

    MAbstractLayoutPolicy* policy() const;
    void setPolicy(MAbstractLayoutPolicy* policy);

    // Changes are shown at once; the animation is kept for its owner.
    void setAnimation(MAbstractLayoutAnimation* animation);
    MAbstractLayoutAnimation* animation() const;

    // Used by the policies.
    void registerPolicy(MAbstractLayoutPolicy* policy);
    void unregisterPolicy(MAbstractLayoutPolicy* policy);
    void adoptItem(QGraphicsLayoutItem* item);
    void itemJoinedPolicy(MAbstractLayoutPolicy* policy, QGraphicsLayoutItem* item);
    void itemLeftPolicy(MAbstractLayoutPolicy* policy, QGraphicsLayoutItem* item);

protected:
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF& constraint = QSizeF()) const override;

private:
    bool inAnyPolicy(const QGraphicsLayoutItem* item) const;
    void applyVisibility();

    QList<QGraphicsLayoutItem*> items;
    QList<MAbstractLayoutPolicy*> policies;
    MAbstractLayoutPolicy* active = nullptr;
    MAbstractLayoutAnimation* layoutAnimation = nullptr;
    // Set while the layout is destroyed, usually from its widget's destructor: nothing is
    // shown, hidden or laid out then, since the items' ancestors may be half gone.
    bool tearingDown = false;
};

#endif // MLAYOUT_H
