#include "mboundedvalue.h"

#include <QtGlobal>

bool MBoundedValue::setRange(int minimum, int maximum)
{
    low = minimum;
    high = qMax(minimum, maximum);
    return setValue(current);
}

bool MBoundedValue::setMinimum(int minimum)
{
    return setRange(minimum, qMax(minimum, high));
}

bool MBoundedValue::setMaximum(int maximum)
{
    return setRange(qMin(low, maximum), maximum);
}

bool MBoundedValue::setValue(int value)
{
    value = qBound(low, value, high);
    if (value == current)
        return false;
    current = value;
    return true;
}
