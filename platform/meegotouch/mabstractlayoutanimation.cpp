#include "mabstractlayoutanimation.h"

#include "mlayout.h"

MAbstractLayoutAnimation::MAbstractLayoutAnimation(MLayout* layout)
    : owner(layout)
{
    if (owner)
        owner->setAnimation(this);
}

MAbstractLayoutAnimation::~MAbstractLayoutAnimation() = default;

MLayout* MAbstractLayoutAnimation::layout() const
{
    return owner;
}
