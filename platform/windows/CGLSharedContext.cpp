#include "platform/CGLSharedContext.h"

#include <windows.h>

#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>
#include <GL/gl.h>

namespace
{

HDC AsDeviceContext(void* display)
{
    return static_cast<HDC>(display);
}

HGLRC AsContext(void* context)
{
    return static_cast<HGLRC>(context);
}

// The system's text for the calling thread's last error.
std::string LastErrorText(const char* call)
{
    const DWORD code = GetLastError();
    char text[256] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
        reason.pop_back();
    return std::string(call) + ": " + (reason.empty() ? "error " + std::to_string(code) : reason);
}

} // namespace

CGLSharedContext::~CGLSharedContext()
{
    Destroy();
}

CGLSharedContext::Result CGLSharedContext::Create()
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    const int answer = SDL_GetWMInfo(&info);
    if (answer < 0)
    {
        error = "SDL_GetWMInfo failed";
        return NO_WINDOW_INFO;
    }
    // 0 means the video driver has no window information to give: nothing to
    // build a context on, but the game can still load without one.
    if (answer == 0 || !info.window)
    {
        error = "the video driver reports no window";
        return FAILED;
    }
    HGLRC mainContext = wglGetCurrentContext();
    if (!mainContext)
    {
        error = "no window with a current GL context";
        return FAILED;
    }
    // The window's class keeps its device context (CS_OWNDC), so the handle stays
    // valid for the window's life and is not released here.
    HDC deviceContext = GetDC(info.window);
    if (!deviceContext)
    {
        error = LastErrorText("GetDC");
        return FAILED;
    }
    HGLRC made = wglCreateContext(deviceContext);
    if (!made)
    {
        error = LastErrorText("wglCreateContext");
        return FAILED;
    }
    if (!wglShareLists(mainContext, made))
    {
        error = LastErrorText("wglShareLists");
        wglDeleteContext(made);
        return FAILED;
    }
    display = deviceContext;
    window = reinterpret_cast<std::uintptr_t>(info.window);
    context = made;
    error.clear();
    return CREATED;
}

bool CGLSharedContext::MakeCurrent()
{
    if (!context)
    {
        error = "no context to make current";
        return false;
    }
    if (!wglMakeCurrent(AsDeviceContext(display), AsContext(context)))
    {
        error = LastErrorText("wglMakeCurrent");
        return false;
    }
    error.clear();
    return true;
}

void CGLSharedContext::Destroy()
{
    if (!context)
        return;
    if (wglGetCurrentContext() == AsContext(context))
        wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(AsContext(context));
    context = nullptr;
}

void CGLSharedContext::FinishCommands()
{
    glFinish();
}
