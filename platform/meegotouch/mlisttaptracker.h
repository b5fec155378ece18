#ifndef MLISTTAPTRACKER_H
#define MLISTTAPTRACKER_H

#include <QObject>
#include <QPointF>

class QTimer;

// Tells a tap from a long tap for one press at a time, for lists and list items: a press held
// still for the long-tap time is a long tap (reported at once, while still held); a press
// released earlier without moving is a tap. Moving beyond a few pixels, or cancel(), ends the
// press as neither. A press gives one of the two at most.
class MListTapTracker : public QObject
{
    Q_OBJECT

public:
    explicit MListTapTracker(QObject* parent = nullptr);
    ~MListTapTracker() override;

    // Scene coordinates throughout. A press at the position of the active press is the same
    // press seen again (by an item and its parent) and changes nothing.
    void press(const QPointF& scenePos);
    void move(const QPointF& scenePos);
    // True when the press ends as a tap.
    bool release();
    void cancel();

    // Pressed, not moved away, not yet long-tapped.
    bool isActive() const;
    QPointF pressPosition() const;

signals:
    void longTapped(const QPointF& scenePos);

private slots:
    void holdElapsed();

private:
    QTimer* holdTimer;
    QPointF start;
    bool active = false;
};

#endif // MLISTTAPTRACKER_H
