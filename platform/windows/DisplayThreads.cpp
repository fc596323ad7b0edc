#include "platform/DisplayThreads.h"

#include <cstdlib>

void PlatformInitDisplayThreads()
{
    // SDL's windib driver gives the window a pixel format for WGL; its DirectX
    // driver, tried first otherwise, has no OpenGL. A choice of the user stays.
    if (!std::getenv("SDL_VIDEODRIVER"))
        _putenv("SDL_VIDEODRIVER=windib");
}
