#ifndef MANIMATION_H
#define MANIMATION_H

#include <QAbstractAnimation>

// The base of the touch UI's own animations: a QAbstractAnimation whose subclasses give the
// duration and react to the time.
class MAnimation : public QAbstractAnimation
{
public:
    explicit MAnimation(QObject* parent = nullptr);
    ~MAnimation() override;
};

#endif // MANIMATION_H
