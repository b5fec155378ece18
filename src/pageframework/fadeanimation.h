#ifndef FADEANIMATION_H
#define FADEANIMATION_H

#include "manimation.h"

class QGraphicsItem;

// Fades an item in: its opacity follows the animation's time linearly, from 0 at the start to
// 1 at the end.
class FadeAnimation : public MAnimation
{
    Q_OBJECT

public:
    FadeAnimation(QGraphicsItem* target, int duration, QObject* parent = nullptr);
    ~FadeAnimation() override;

    void setItem(QGraphicsItem* item);
    int duration() const override;

protected:
    void updateCurrentTime(int currentTime) override;

private:
    QGraphicsItem* target;
    int durationMs;
};

#endif // FADEANIMATION_H
