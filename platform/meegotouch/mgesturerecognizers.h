#ifndef MGESTURERECOGNIZERS_H
#define MGESTURERECOGNIZERS_H

// Installs the mouse-driven recognisers of tap, tap-and-hold, pan and swipe in place of Qt's
// touch-only ones, once per process. They make gestures of Qt's built-in types, so no custom
// gesture type is ever taken.
class MGestureRecognizers
{
public:
    static void ensureRegistered();
};

#endif // MGESTURERECOGNIZERS_H
