#include "platform/DisplayThreads.h"

#include <X11/Xlib.h>

#include <cstdlib>

void PlatformInitDisplayThreads()
{
    // Xlib is used from two threads.
    static const bool initialised = XInitThreads() != 0;
    (void)initialised;
    // The GL contexts are X11's: when the display is busy for a moment, SDL must
    // not fall back to a driver without OpenGL.
    setenv("SDL_VIDEODRIVER", "x11", 0);
}
