#include "engine/CGameBase.h"

#include "config/Paths.h"
#include "engine/CFPSControl.h"
#include "log/Log.h"
#include "platform/DisplayThreads.h"
#include "platform/FilePath.h"
#include "platform/FileRead.h"
#include "resources/CFontFactory.h"
#include "resources/ImageDecode.h"

#include <SDL/SDL_opengl.h>
#include <SDL/SDL_ttf.h>

#include <cstdlib>
#include <typeinfo>

namespace
{
// The largest window side tried (pixels); larger ones are mistakes in config.ini.
constexpr int MAX_WINDOW_SIDE = 16384;
constexpr int FALLBACK_WIDTH = 800;
constexpr int FALLBACK_HEIGHT = 600;

Uint32 VideoModeFlags(bool fullscreen, bool framed, bool resizable)
{
    if (fullscreen)
        return SDL_FULLSCREEN | SDL_OPENGL | SDL_HWSURFACE;
    if (!framed)
        return SDL_NOFRAME | SDL_OPENGL | SDL_HWSURFACE;
    if (resizable)
        return SDL_RESIZABLE | SDL_OPENGL | SDL_HWSURFACE;
    return SDL_OPENGL | SDL_HWSURFACE;
}

void SetProjection(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
} // namespace

CGameBase::CGameBase(int width, int height, bool fullscreen, bool framed, bool resizable, bool depthBuffer,
                     const CRecordedPlay::GameNames& names)
{
    const std::string self = LogClassName(typeid(*this));

    // The loader thread uses its own GL context on the same window.
    PlatformInitDisplayThreads();

    LogWrite(LOG_STATUS, "Initializing SDL...", self);
    // A busy X server refuses new connections for a moment (its queue of
    // clients waiting to be accepted is full): try again before giving up.
    int sdlResult = SDL_Init(SDL_INIT_VIDEO);
    for (int attempt = 1; sdlResult != 0 && attempt < 20; ++attempt)
    {
        SDL_Delay(100);
        sdlResult = SDL_Init(SDL_INIT_VIDEO);
    }
    if (sdlResult != 0)
    {
        LogWrite(LOG_FATAL, std::string("Unable to initialize SDL: ") + SDL_GetError(), self);
        std::exit(1);
    }
    LogWrite(LOG_STATUS, "SDL initialization successful.", self);

    LogWrite(LOG_STATUS, "Initializing SDL TTF...", self);
    if (TTF_Init() != 0)
    {
        LogWrite(LOG_FATAL, std::string("Unable to initialize SDL TTF: ") + SDL_GetError(), self);
        std::exit(1);
    }
    LogWrite(LOG_STATUS, "SDL TTF initialization successful.", self);

    LogWrite(LOG_STATUS, "Setting up environment...", self);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBuffer ? 16 : 0);
    OpenWindow(width, height, VideoModeFlags(fullscreen, framed, resizable));

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.01f);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glViewport(0, 0, this->width, this->height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, this->width, this->height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    quit = false;
    recordedPlay.Start(typeid(*this), names);
    fpsControl = new CFPSControl([this] { return recordedPlay.Ticks(); },
                                 [this](Uint32 ms) { recordedPlay.Delay(ms); });
    fontFactory = nullptr;

    SetCaption("Velmora Engine App");
    SetIcon("gfx\\icon.ico");
    OpenGamepad();

    LogWrite(LOG_STATUS, "Setup successful.", self);
    LogWrite(LOG_STATUS, "Instance initialized.", self);
}

CGameBase::~CGameBase()
{
    const std::string self = LogClassName(typeid(*this));
    if (fpsControl)
        delete fpsControl;
    fpsControl = nullptr;
    // Fonts close before SDL_ttf shuts down.
    if (fontFactory)
        delete fontFactory;
    fontFactory = nullptr;
    if (gamepad)
        SDL_JoystickClose(gamepad);
    gamepad = nullptr;
    SDL_FreeSurface(screen);
    TTF_Quit();
    SDL_Quit();
    LogWrite(LOG_STATUS, "Instance removed.", self);
}

void CGameBase::Run()
{
    const std::string self = LogClassName(typeid(*this));
    LogWrite(LOG_STATUS, "Starting up game...", self);
    OnInit();
    LogWrite(LOG_STATUS, "Game running.", self);
    MainLoop();
    LogWrite(LOG_STATUS, "Game is closing...", self);
    OnShutdown();
    LogWrite(LOG_STATUS, "Game closed.", self);
}

CFontFactory* CGameBase::GetFontFactory()
{
    if (!fontFactory)
    {
        LogWrite(LOG_STATUS, "Instantiating Font Factory on first access...", LogClassName(typeid(*this)));
        fontFactory = new CFontFactory();
    }
    return fontFactory;
}

void CGameBase::SetCaption(std::string title)
{
    SDL_WM_SetCaption(title.c_str(), title.c_str());
    LogWrite(LOG_STATUS, "Window Title set to " + title + ".", LogClassName(typeid(*this)));
}

void CGameBase::SetIcon(std::string path)
{
    const std::string self = LogClassName(typeid(*this));
    std::string content, reason;
    // A folder or a pipe of that name is no icon; nothing waits on a pipe.
    if (!PlatformReadFile(NativePath(MakeAbsolutePath(path)), content, reason))
    {
        LogWrite(LOG_ERROR, "Tried to set icon but failed to locate " + path + ".", self);
        return;
    }
    // Held to the size check and decoded by the decoder it chose, as every image.
    SDL_Surface* icon = ImageDecode(content, reason);
    if (icon)
    {
        SDL_WM_SetIcon(icon, nullptr);
        // SDL copies the pixels into the window manager hints.
        SDL_FreeSurface(icon);
    }
    LogWrite(LOG_STATUS, "Window Icon set to " + path + ".", self);
}

void CGameBase::IconifyWindow()
{
    SDL_WM_IconifyWindow();
}

void CGameBase::MainLoop()
{
    while (!quit)
        RunFrame();
}

void CGameBase::RunFrame()
{
    recordedPlay.BeginFrame(frameIndex, typeid(*this));
    OnFrameStart();
    PumpEvents();
    OnUpdate(fpsControl->frameTime / 1000.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    OnRender(screen);
    SDL_GL_SwapBuffers();
    recordedPlay.EndFrame(*fpsControl, typeid(*this));
    ++frameIndex;
}

void CGameBase::PumpEvents()
{
    SDL_Event event;
    while (recordedPlay.PollEvent(event))
        DispatchEvent(event);
}

void CGameBase::DispatchEvent(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_ACTIVEEVENT: OnActiveEvent(&event); break;
    case SDL_KEYDOWN: OnKeyDown(&event); break;
    case SDL_KEYUP: OnKeyUp(&event); break;
    case SDL_MOUSEMOTION: OnMouseMove(&event); break;
    case SDL_MOUSEBUTTONDOWN: OnMouseButtonDown(&event); break;
    case SDL_MOUSEBUTTONUP: OnMouseButtonUp(&event); break;
    case SDL_QUIT: quit = true; break;
    case SDL_VIDEORESIZE:
        ApplyResize(event.resize.w, event.resize.h);
        OnResize(&event);
        break;
    case SDL_JOYAXISMOTION:
    case SDL_JOYHATMOTION:
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP: OnJoystick(&event); break;
    default: break;
    }
}

void CGameBase::OpenWindow(int configuredWidth, int configuredHeight, Uint32 flags)
{
    const std::string self = LogClassName(typeid(*this));
    width = configuredWidth;
    height = configuredHeight;
    const bool plausible = width >= 1 && width <= MAX_WINDOW_SIDE && height >= 1 && height <= MAX_WINDOW_SIDE;
    screen = plausible ? SDL_SetVideoMode(width, height, 32, flags) : nullptr;
    if (!screen && (width != FALLBACK_WIDTH || height != FALLBACK_HEIGHT))
    {
        LogWrite(LOG_WARNING,
                 "Window size " + std::to_string(width) + " x " + std::to_string(height) +
                     " cannot be used; opening 800 x 600 instead.",
                 self);
        width = FALLBACK_WIDTH;
        height = FALLBACK_HEIGHT;
        screen = SDL_SetVideoMode(width, height, 32, flags);
    }
    if (!screen)
    {
        // Without a window there is nothing to draw into: stop here.
        LogWrite(LOG_FATAL, std::string("Unable to set video mode: ") + SDL_GetError(), self);
        std::exit(1);
    }
}

void CGameBase::OpenGamepad()
{
    const std::string self = LogClassName(typeid(*this));
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0)
    {
        LogWrite(LOG_WARNING, std::string("No gamepad: ") + SDL_GetError(), self);
        return;
    }
    if (SDL_NumJoysticks() < 1)
        return;
    gamepad = SDL_JoystickOpen(0);
    if (!gamepad)
    {
        LogWrite(LOG_WARNING, std::string("The gamepad cannot be opened: ") + SDL_GetError(), self);
        return;
    }
    SDL_JoystickEventState(SDL_ENABLE);
    const char* name = SDL_JoystickName(0);
    LogWrite(LOG_STATUS, std::string("Gamepad opened: ") + (name ? name : "unnamed") + ".", self);
}

void CGameBase::ApplyResize(int newWidth, int newHeight)
{
    SetProjection(newWidth, newHeight);
    width = newWidth;
    height = newHeight;
}
