#ifndef MPANRECOGNIZER_H
#define MPANRECOGNIZER_H

#include <QGestureRecognizer>

// Pans from mouse drags: starts once the pointer has moved away from the press, follows it,
// and ends with the release.
class MPanRecognizer : public QGestureRecognizer
{
public:
    QGesture* create(QObject* target) override;
    Result recognize(QGesture* gesture, QObject* watched, QEvent* event) override;
    void reset(QGesture* gesture) override;
};

#endif // MPANRECOGNIZER_H
