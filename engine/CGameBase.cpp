#include "engine/CGameBase.h"

#include "config/Paths.h"
#include "engine/CFPSControl.h"
#include "log/Log.h"
#include "platform/DisplayThreads.h"
#include "platform/FilePath.h"
#include "resources/CFontFactory.h"

#include <SDL/SDL_image.h>
#include <SDL/SDL_opengl.h>
#include <SDL/SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <typeinfo>

namespace
{
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

CGameBase::CGameBase(int width, int height, bool fullscreen, bool framed, bool resizable)
{
    const std::string self = LogClassName(typeid(*this));

    // The loader thread uses its own GL context on the same display.
    PlatformInitDisplayThreads();

    LogWrite(LOG_STATUS, "Initializing SDL...", self);
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
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
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    screen = SDL_SetVideoMode(width, height, 32, VideoModeFlags(fullscreen, framed, resizable));
    if (!screen)
    {
        // Without a window there is nothing to draw into: stop here.
        LogWrite(LOG_FATAL, std::string("Unable to set video mode: ") + SDL_GetError(), self);
        std::exit(1);
    }
    this->width = width;
    this->height = height;

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.01f);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    quit = false;
    fpsControl = new CFPSControl();
    fontFactory = nullptr;

    SetCaption("Velmora Engine App");
    SetIcon("gfx\\icon.ico");

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
    const std::string file = NativePath(MakeAbsolutePath(path));
    FILE* probe = std::fopen(file.c_str(), "r");
    if (!probe)
    {
        LogWrite(LOG_ERROR, "Tried to set icon but failed to locate " + path + ".", LogClassName(typeid(*this)));
        return;
    }
    std::fclose(probe);
    SDL_Surface* icon = IMG_Load(file.c_str());
    if (icon)
    {
        SDL_WM_SetIcon(icon, nullptr);
        // SDL copies the pixels into the window manager hints.
        SDL_FreeSurface(icon);
    }
    LogWrite(LOG_STATUS, "Window Icon set to " + path + ".", LogClassName(typeid(*this)));
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
    PumpEvents();
    OnUpdate(fpsControl->frameTime / 1000.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    OnRender(screen);
    SDL_GL_SwapBuffers();
    fpsControl->FrameEnd();
}

void CGameBase::PumpEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
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
    default: break;
    }
}

void CGameBase::ApplyResize(int newWidth, int newHeight)
{
    SetProjection(newWidth, newHeight);
    width = newWidth;
    height = newHeight;
}
