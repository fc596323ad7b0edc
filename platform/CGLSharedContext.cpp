#include "platform/CGLSharedContext.h"

#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>

namespace
{
std::atomic<int> trappedErrorCode{0};

int TrapXError(Display*, XErrorEvent* event)
{
    trappedErrorCode.store(event->error_code);
    return 0;
}

// Xlib's default error handler ends the process; while one of these lives, X
// errors are recorded instead, so that a refused context becomes a failure the
// game can recover from.
class CXErrorTrap
{
public:
    explicit CXErrorTrap(Display* display) : display(display)
    {
        XSync(display, False);
        trappedErrorCode.store(0);
        previous = XSetErrorHandler(TrapXError);
    }
    ~CXErrorTrap()
    {
        XSync(display, False);
        XSetErrorHandler(previous);
    }
    CXErrorTrap(const CXErrorTrap&) = delete;
    CXErrorTrap& operator=(const CXErrorTrap&) = delete;

    // The code of the first X error since construction, or 0.
    int ErrorCode()
    {
        XSync(display, False);
        return trappedErrorCode.load();
    }

private:
    Display* display;
    int (*previous)(Display*, XErrorEvent*);
};

std::string XErrorText(Display* display, int code)
{
    char text[256] = "";
    XGetErrorText(display, code, text, sizeof text);
    return text;
}
Display* AsDisplay(void* display)
{
    return static_cast<Display*>(display);
}

GLXContext AsContext(void* context)
{
    return static_cast<GLXContext>(context);
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
    if (answer == 0 || info.subsystem != SDL_SYSWM_X11)
    {
        error = "the video driver reports no X11 window";
        return FAILED;
    }

    // SDL renders through its own display connection; the share list must be
    // on the connection of the context it shares with.
    Display* x11 = info.info.x11.gfxdisplay ? info.info.x11.gfxdisplay : info.info.x11.display;
    GLXContext mainContext = glXGetCurrentContext();
    if (!x11 || !info.info.x11.window || !mainContext)
    {
        error = "no window with a current GL context";
        return FAILED;
    }

    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x11, info.info.x11.window, &attributes))
    {
        error = "the window's attributes cannot be read";
        return FAILED;
    }
    XVisualInfo wanted;
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int matches = 0;
    XVisualInfo* visual = XGetVisualInfo(x11, VisualIDMask, &wanted, &matches);
    if (!visual || matches < 1)
    {
        if (visual)
            XFree(visual);
        error = "the window's visual is unknown";
        return FAILED;
    }

    GLXContext made = nullptr;
    int code = 0;
    {
        CXErrorTrap trap(x11);
        made = glXCreateContext(x11, visual, mainContext, glXIsDirect(x11, mainContext));
        code = trap.ErrorCode();
    }
    XFree(visual);
    if (code != 0 || !made)
    {
        if (made)
            glXDestroyContext(x11, made);
        error = code ? "glXCreateContext: " + XErrorText(x11, code) : "glXCreateContext returned no context";
        return FAILED;
    }

    display = x11;
    window = info.info.x11.window;
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
    bool bound = false;
    int code = 0;
    {
        CXErrorTrap trap(AsDisplay(display));
        bound = glXMakeCurrent(AsDisplay(display), window, AsContext(context)) == True;
        code = trap.ErrorCode();
    }
    if (code != 0 || !bound)
    {
        error = code ? "glXMakeCurrent: " + XErrorText(AsDisplay(display), code) : "glXMakeCurrent refused the context";
        return false;
    }
    error.clear();
    return true;
}

void CGLSharedContext::Destroy()
{
    if (!context)
        return;
    if (glXGetCurrentContext() == AsContext(context))
        glXMakeCurrent(AsDisplay(display), None, nullptr);
    glXDestroyContext(AsDisplay(display), AsContext(context));
    context = nullptr;
}

void CGLSharedContext::FinishCommands()
{
    glFinish();
}
