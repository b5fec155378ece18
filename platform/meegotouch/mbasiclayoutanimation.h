#ifndef MBASICLAYOUTANIMATION_H
#define MBASICLAYOUTANIMATION_H

#include "mabstractlayoutanimation.h"

// The plain layout animation; changes show at once.
class MBasicLayoutAnimation : public MAbstractLayoutAnimation
{
public:
    explicit MBasicLayoutAnimation(MLayout* layout);
    ~MBasicLayoutAnimation() override;
};

#endif // MBASICLAYOUTANIMATION_H
