#include "platform/DisplayThreads.h"

#include <X11/Xlib.h>

void PlatformInitDisplayThreads()
{
    static const bool initialised = XInitThreads() != 0;
    (void)initialised;
}
