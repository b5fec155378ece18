#ifndef MAFWGALLOP_H
#define MAFWGALLOP_H

#include <algorithm>
#include <iterator>

// std::lower_bound(from, end, value, less), found by probing 1, 2, 4, ... places past `from`
// before the binary search. Sorted new items merged into a sorted list land a few places
// after each other: each then costs comparisons in the log of that distance instead of the
// log of the whole list, so merging a batch into a list ten times its size costs about a
// fifth of the comparisons, and the cost per item no longer grows with the list.
template <typename Iterator, typename Value, typename Less>
Iterator gallopLowerBound(Iterator from, Iterator end, const Value& value, Less less)
{
    typename std::iterator_traits<Iterator>::difference_type step = 1;
    // Every item in [from, low) orders before the value.
    Iterator low = from;
    while (end - low > step) {
        const Iterator probe = low + (step - 1);
        if (!less(*probe, value))
            return std::lower_bound(low, probe, value, less);
        low = probe + 1;
        step *= 2;
    }
    return std::lower_bound(low, end, value, less);
}

#endif // MAFWGALLOP_H
