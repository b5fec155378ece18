#ifndef MTAPANDHOLDRECOGNIZER_H
#define MTAPANDHOLDRECOGNIZER_H

#include <QGestureRecognizer>

// Tap-and-hold from a mouse press held still for the hold time (800 ms).
class MTapAndHoldRecognizer : public QGestureRecognizer
{
public:
    static const int HoldTime = 800;

    QGesture* create(QObject* target) override;
    Result recognize(QGesture* gesture, QObject* watched, QEvent* event) override;
    void reset(QGesture* gesture) override;
};

#endif // MTAPANDHOLDRECOGNIZER_H
