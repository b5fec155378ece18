#ifndef VIRTUALDISPLAY_H
#define VIRTUALDISPLAY_H

#include <QString>

#include <sys/types.h>

// A private X server (Xvfb) of a phone's portrait screen for a test that drives the program
// through the window system. The server picks a free display number itself, so tests and
// people trying the program side by side never meet. Start it before any Qt application
// object exists: the test's own application connects to it to take screenshots.
class VirtualDisplay
{
public:
    VirtualDisplay() = default;
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // Starts the server and waits until it takes clients; false with a message on stderr when
    // it could not. Sets DISPLAY for this process and the programs it starts.
    bool start(int width, int height);
    QString name() const { return display; }

private:
    pid_t pid = -1;
    QString display;
};

#endif // VIRTUALDISPLAY_H
