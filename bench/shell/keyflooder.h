#pragma once

#include "flood.h"

#include <QByteArray>
#include <QVector>

// Another program typing on the X display's keyboard through the XTest extension, on a
// connection of its own: the key events of a sequence, over and over, eventsPerSecond a second
// for the given seconds, then on to the sequence's end so that no key stays down. The events
// reach the window under the pointer, as on a display without a window manager. sent counts
// the events typed.
class KeyFlooder : public Flood
{
public:
    struct KeyEvent
    {
        const char* keysym; // as xdotool names it: "XF86AudioNext", "Shift_L", ...
        bool press;
    };

    KeyFlooder(QVector<KeyEvent> sequence, int eventsPerSecond, int seconds);

    // Why nothing was typed (no display, no XTest, a key missing from the keymap); empty when
    // the flood ran.
    QByteArray refusal() const { return refused; }

protected:
    void run() override;

private:
    QVector<KeyEvent> sequence;
    int eventsPerSecond;
    int seconds;
    QByteArray refused;
};
