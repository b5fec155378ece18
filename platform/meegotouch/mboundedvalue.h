#ifndef MBOUNDEDVALUE_H
#define MBOUNDEDVALUE_H

// An integer kept within a range, shared by sliders and progress indicators.
class MBoundedValue
{
public:
    int minimum() const { return low; }
    int maximum() const { return high; }
    int value() const { return current; }

    // Each returns true when the value itself changed (it is kept within the range).
    bool setRange(int minimum, int maximum);
    bool setMinimum(int minimum);
    bool setMaximum(int maximum);
    bool setValue(int value);

private:
    int low = 0;
    int high = 100;
    int current = 0;
};

#endif // MBOUNDEDVALUE_H
