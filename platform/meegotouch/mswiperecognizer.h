#ifndef MSWIPERECOGNIZER_H
#define MSWIPERECOGNIZER_H

#include <QGestureRecognizer>

// Swipes from quick mouse drags. A drag clearly along one axis reports that axis alone (angle
// 0, 90, 180 or 270), so a swipe down is Down and nothing sideways.
class MSwipeRecognizer : public QGestureRecognizer
{
public:
    QGesture* create(QObject* target) override;
    Result recognize(QGesture* gesture, QObject* watched, QEvent* event) override;
    void reset(QGesture* gesture) override;
};

#endif // MSWIPERECOGNIZER_H
