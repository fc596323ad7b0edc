#include "engine/CGameBase.h"

#include "config/Paths.h"
#include "engine/CFPSControl.h"
#include "engine/CRecorder.h"
#include "engine/CReplay.h"
#include "log/Log.h"
#include "platform/DisplayThreads.h"
#include "platform/FilePath.h"
#include "resources/CFontFactory.h"

#include <SDL/SDL_image.h>
#include <SDL/SDL_opengl.h>
#include <SDL/SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
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
    // The GL contexts are X11's: when the display is busy for a moment, SDL must
    // not fall back to a driver without OpenGL.
    setenv("SDL_VIDEODRIVER", "x11", 0);

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
    StartRecordedPlay();
    fpsControl = new CFPSControl([this] { return ClockTicks(); }, [this](Uint32 ms) { ClockDelay(ms); });
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
    delete recorder;
    recorder = nullptr;
    delete replay;
    replay = nullptr;
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

void CGameBase::StartRecordedPlay()
{
    const std::string self = LogClassName(typeid(*this));
    if (const char* name = std::getenv("QUILLFEN_REPLAY"); name && *name)
    {
        replay = new CReplay();
        std::string error;
        if (!replay->Load(name, error))
        {
            if (replay->FrameCount() > 0)
                LogWrite(LOG_ERROR, "Recording " + error + "; replaying what comes before it, then the keyboard.", self);
            else
            {
                LogWrite(LOG_ERROR, "Recording not used: " + error + ". Playing with the keyboard.", self);
                delete replay;
                replay = nullptr;
            }
        }
        if (replay)
        {
            replayClock = SDL_GetTicks();
            const char* pace = std::getenv("QUILLFEN_REPLAY_PACE");
            replayPaced = pace && std::string(pace) == "1";
        }
    }
    if (const char* name = std::getenv("QUILLFEN_RECORD"); name && *name && !replay)
    {
        recorder = new CRecorder(name);
        if (!recorder->IsOpen())
        {
            LogWrite(LOG_ERROR, std::string("Cannot write the recording ") + name + ". Playing without recording.", self);
            delete recorder;
            recorder = nullptr;
        }
    }
}

void CGameBase::StopReplay(const std::string& why)
{
    LogWrite(LOG_ERROR, why, LogClassName(typeid(*this)));
    // The clock goes on from the replayed time, so the next frame is not a jump.
    clockOffset = replayClock - SDL_GetTicks();
    delete replay;
    replay = nullptr;
}

Uint32 CGameBase::ClockTicks() const
{
    return replay ? replayClock : SDL_GetTicks() + clockOffset;
}

void CGameBase::ClockDelay(Uint32 milliseconds) const
{
    // A replay runs as fast as the machine can go.
    if (!replay)
        SDL_Delay(milliseconds);
}

unsigned int CGameBase::RandomSeed()
{
    if (replay && replay->hasSeed)
        return replay->seed;
    const unsigned int seed = static_cast<unsigned int>(std::time(nullptr));
    if (recorder)
        recorder->WriteSeed(seed);
    return seed;
}

long CGameBase::ReplayLoadedFrame() const
{
    return replay ? replay->loadedFrame : -1;
}

void CGameBase::NoteLoadingComplete()
{
    if (recorder)
        recorder->WriteLoaded(frameIndex);
}

bool CGameBase::IsKeyHeld(SDLKey key)
{
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    return key >= 0 && key < count && keys[key] != 0;
}

void CGameBase::MainLoop()
{
    while (!quit)
        RunFrame();
}

void CGameBase::RunFrame()
{
    if (replay && !replay->HasFrame(frameIndex))
        StopReplay("The recording ended before the game did; going on with the keyboard.");
    const Uint32 realFrameStart = SDL_GetTicks();
    OnFrameStart();
    PumpEvents();
    OnUpdate(fpsControl->frameTime / 1000.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    OnRender(screen);
    SDL_GL_SwapBuffers();
    if (replay)
    {
        const Uint32 duration = static_cast<Uint32>(replay->GetFrame(frameIndex).duration);
        replayClock += duration;
        // A paced replay can be watched (and photographed) as it was played.
        const Uint32 spent = SDL_GetTicks() - realFrameStart;
        if (replayPaced && spent < duration)
            SDL_Delay(duration - spent);
    }
    fpsControl->FrameEnd();
    if (recorder)
        recorder->EndFrame(fpsControl->frameTime);
    ++frameIndex;
}

void CGameBase::PumpEvents()
{
    SDL_Event event;
    if (replay)
    {
        // The window's own events are not played; closing it still quits.
        while (SDL_PollEvent(&event))
            if (event.type == SDL_QUIT)
                DispatchEvent(event);
        for (const SDL_Event& recorded : replay->GetFrame(frameIndex).events)
            DispatchEvent(recorded);
        return;
    }
    while (SDL_PollEvent(&event))
    {
        if (recorder)
            recorder->WriteEvent(event);
        DispatchEvent(event);
    }
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
