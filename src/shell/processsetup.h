#ifndef PROCESSSETUP_H
#define PROCESSSETUP_H

// Settings of the process that must be made before the application object and the first
// threads exist.
class ProcessSetup
{
public:
    // Few allocator arenas, and no OpenGL stack for a window that draws without one.
    static void beforeApplication();
};

#endif // PROCESSSETUP_H
