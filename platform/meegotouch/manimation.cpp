#include "manimation.h"

MAnimation::MAnimation(QObject* parent)
    : QAbstractAnimation(parent)
{
}

MAnimation::~MAnimation() = default;
