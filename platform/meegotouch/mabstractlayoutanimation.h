#ifndef MABSTRACTLAYOUTANIMATION_H
#define MABSTRACTLAYOUTANIMATION_H

class MLayout;

// How a layout moves its items to new places. The stand-in's layouts place items at once; the
// animation object only records that one was asked for. The layout owns it.
class MAbstractLayoutAnimation
{
public:
    explicit MAbstractLayoutAnimation(MLayout* layout);
    virtual ~MAbstractLayoutAnimation();

    MLayout* layout() const;

private:
    MLayout* owner;
};

#endif // MABSTRACTLAYOUTANIMATION_H
