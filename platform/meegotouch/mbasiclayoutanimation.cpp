#include "mbasiclayoutanimation.h"

MBasicLayoutAnimation::MBasicLayoutAnimation(MLayout* layout)
    : MAbstractLayoutAnimation(layout)
{
}

MBasicLayoutAnimation::~MBasicLayoutAnimation() = default;
