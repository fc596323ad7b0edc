#pragma once

#include <cstdint>
#include <string>

// A second OpenGL context on the SDL window that shares texture objects with the
// window's own context, for a thread that uploads textures while the main thread
// draws. Created on the main thread while the window's context is current there;
// made current, and destroyed, on the other thread.
class CGLSharedContext
{
public:
    enum Result
    {
        CREATED,         // ready for MakeCurrent
        NO_WINDOW_INFO,  // SDL_GetWMInfo failed outright; the caller cannot go on
        FAILED,          // no context could be made; see error
    };

    CGLSharedContext() = default;
    // Destroys the context if Destroy has not; it must not be current on another thread then.
    ~CGLSharedContext();

    CGLSharedContext(const CGLSharedContext&) = delete;
    CGLSharedContext& operator=(const CGLSharedContext&) = delete;

    // Takes the window and its visual from SDL and creates the context with the
    // calling thread's current context as share list.
    Result Create();
    // Binds the context to the window on the calling thread. False (with error
    // set) when there is no context or GLX refuses. X errors are caught rather
    // than ending the process, so no other thread may make X calls meanwhile.
    bool MakeCurrent();
    // Releases the context if it is current on the calling thread, then destroys it.
    void Destroy();

    // Waits until the GL commands of the calling thread's current context have
    // completed, so that another context sees their results (texture uploads).
    static void FinishCommands();

    // The system's handles, untyped so that its headers and their macros stay out
    // of the files that include this one: the display connection (X11) or the
    // window's device context (Windows), not owned; the window; the context, owned,
    // null until Create succeeds and after Destroy.
    void* display = nullptr;
    std::uintptr_t window = 0;
    void* context = nullptr;
    std::string error;                    // why the last Create or MakeCurrent failed
};
