#pragma once

#include "engine/CRecordedPlay.h"

#include <SDL/SDL.h>

#include <string>

class CFontFactory;
class CFPSControl;

// The engine's application base: owns the SDL window with its OpenGL context,
// SDL_ttf, the frame-rate controller and the font factory, and runs the main
// loop. A game derives from it, overrides the handlers it needs and is driven by
// Run. What a recorded run must reproduce goes through CRecordedPlay.
class CGameBase
{
public:
    // `depthBuffer` false opens the window without a depth buffer: for a scene
    // drawn in list order whose sprites test no depth (a depth test then always
    // passes). Mesa's software renderer fills pixels markedly faster without one.
    // `names`: the game's own names for recorded play, beside the engine's.
    CGameBase(int width, int height, bool fullscreen, bool framed, bool resizable, bool depthBuffer = true,
              const CRecordedPlay::GameNames& names = CRecordedPlay::GameNames());
    // Virtual so that a game deleted through any of its types shuts down fully.
    virtual ~CGameBase();

    CGameBase(const CGameBase&) = delete;
    CGameBase& operator=(const CGameBase&) = delete;

    // Initialisation handler, main loop until quit, shut-down handler.
    void Run();
    // Created on the first call; always on the main thread, before the loader starts.
    CFontFactory* GetFontFactory();
    void SetCaption(std::string title);
    void SetIcon(std::string path);
    // Minimises the window.
    void IconifyWindow();

    // Recorded play (CRecordedPlay; environment variables VELMORA_RECORD and
    // VELMORA_REPLAY name the file, or the game's own names). The seed for the random generator: the
    // time, or the recorded seed when replaying; recorded when recording.
    unsigned int RandomSeed() { return recordedPlay.RandomSeed(); }
    // Frames completed so far; the first frame is 0.
    long FrameIndex() const { return frameIndex; }
    bool IsReplaying() const { return recordedPlay.IsReplaying(); }
    // The frame at which the recorded run saw its loading number `load` complete
    // (0 the first, 1 the first reload, ...), or -1.
    long ReplayLoadedFrame(std::size_t load = 0) const { return recordedPlay.LoadedFrame(load); }
    // The game tells the recording at which frame it took over a loaded level
    // (called once per loading, in order).
    void NoteLoadingComplete() { recordedPlay.NoteLoadingComplete(frameIndex); }
    // Whether `key` is held now: SDL's key state in live play. A recording keeps
    // the answer and a replay gives it back, so that a replay stays exact.
    bool IsKeyHeld(SDLKey key) { return recordedPlay.IsKeyHeld(key); }

    // Handlers, in slot order; each does nothing here.
    virtual void OnInit() {}
    virtual void OnShutdown() {}
    virtual void OnRender(SDL_Surface* /*screen*/) {}
    virtual void OnUpdate(double /*seconds*/) {}
    virtual void OnActiveEvent(const SDL_Event* /*event*/) {}
    virtual void OnKeyDown(const SDL_Event* /*event*/) {}
    virtual void OnKeyUp(const SDL_Event* /*event*/) {}
    virtual void OnMouseMove(const SDL_Event* /*event*/) {}
    virtual void OnMouseButtonDown(const SDL_Event* /*event*/) {}
    virtual void OnMouseButtonUp(const SDL_Event* /*event*/) {}
    virtual void OnResize(const SDL_Event* /*event*/) {}
    // At the start of every frame, before its events.
    virtual void OnFrameStart() {}
    // For each axis, hat or button event of a joystick (SDL_JOYAXISMOTION,
    // SDL_JOYHATMOTION, SDL_JOYBUTTONDOWN, SDL_JOYBUTTONUP). The engine opens
    // the first joystick it finds; its events are recorded and replayed as keys are.
    virtual void OnJoystick(const SDL_Event* /*event*/) {}

    bool quit;                  // the main loop ends once true; set by the quit event and the game
    SDL_Surface* screen;        // the video surface; not owned
    CFontFactory* fontFactory;  // owned; null until GetFontFactory
    int width;                  // pixels of the drawing area (of the window actually opened)
    int height;                 // pixels
    CFPSControl* fpsControl;    // owned

protected:
    // Frames until quit; called by Run only.
    void MainLoop();
    // Dispatches every pending event to the handlers.
    void PumpEvents();
    // Dispatches one event as the loop does.
    void DispatchEvent(const SDL_Event& event);
    // Viewport, projection and size for a new window size.
    void ApplyResize(int newWidth, int newHeight);
    // One frame of the main loop: events, update, clear, render, swap, frame end.
    void RunFrame();

private:
    // Opens the window at the configured size, or at 800 x 600 when that size
    // cannot be used; ends the process when neither opens.
    void OpenWindow(int configuredWidth, int configuredHeight, Uint32 flags);
    // Opens the first joystick, if any; a machine without one plays on the keyboard.
    void OpenGamepad();

    long frameIndex = 0;
    SDL_Joystick* gamepad = nullptr;  // owned; null without a joystick
    CRecordedPlay recordedPlay;  // the clock, seed, events and held keys of a recorded run
};
