#ifndef MTAPRECOGNIZER_H
#define MTAPRECOGNIZER_H

#include <QGestureRecognizer>

// Taps from mouse presses: a press starts the gesture, a release near the press and before the
// hold time ends it; moving away or holding cancels it.
class MTapRecognizer : public QGestureRecognizer
{
public:
    QGesture* create(QObject* target) override;
    Result recognize(QGesture* gesture, QObject* watched, QEvent* event) override;
    void reset(QGesture* gesture) override;
};

#endif // MTAPRECOGNIZER_H
