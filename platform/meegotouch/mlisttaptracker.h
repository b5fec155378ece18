#ifndef MLISTTAPTRACKER_H
#define MLISTTAPTRACKER_H

#include <QElapsedTimer>
#include <QObject>
#include <QPointF>

class QTimer;

// Tells a tap from a long tap for one press at a time, for lists and list items: a press held
// still for the long-tap time is a long tap (reported at once, while still held); a press
// released earlier without moving is a tap. The hold is judged by the input's order, not by when
// the program got round to it: a release already queued when the program, held up, comes back
// to an overdue hold still makes a tap. Moving beyond a few pixels, or cancel(), ends the
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
    void startHoldTimer(int interval);

    QTimer* holdTimer;
    QElapsedTimer holdClock;
    int holdDue = 0;
    int settles = 0;
    QPointF start;
    bool active = false;
};

#endif // MLISTTAPTRACKER_H
