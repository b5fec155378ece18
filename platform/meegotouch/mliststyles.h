#ifndef MLISTSTYLES_H
#define MLISTSTYLES_H

// The style-table defaults of the list classes (rows, group headers, the floating index), added
// to the stand-in's own library on first use. Named styles override them as usual.
class MListStyles
{
public:
    static void ensureRegistered();
};

#endif // MLISTSTYLES_H
