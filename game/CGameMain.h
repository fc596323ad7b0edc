#pragma once

#include "engine/CGameBase.h"
#include "game/CControls.h"

#include <atomic>
#include <future>
#include <thread>

class CFont;
class CGLSharedContext;
class CImageSpriteEx;
class CLabelSprite;
class CPlayer;
class CScreenText;
class CSpriteManager;

enum GameState : int
{
    Loading = 0,   // the loader thread is building the level
    Paused = 1,    // pause screen, after loading and on ESC
    Running = 2,   // the scene is updated and drawn
    Finished = 3,  // the end label fills the screen
};

// The game's application class: reads the window settings, owns the scene, the
// logo and the end label, starts the level loader and runs the four states.
class CGameMain : public CGameBase
{
public:
    CGameMain();
    // Waits for a loader thread that OnShutdown has not taken back (a game
    // deleted without Run), so that the thread never outlives the object.
    ~CGameMain();

    void OnInit() override;
    void OnShutdown() override;
    void OnRender(SDL_Surface* screen) override;
    void OnUpdate(double seconds) override;
    // Regaining the input focus while running takes the held keys anew.
    void OnActiveEvent(const SDL_Event* event) override;
    // Keys and the gamepad press the game's actions (CControls), which act as
    // the rules' own keys do.
    void OnKeyDown(const SDL_Event* event) override;
    void OnKeyUp(const SDL_Event* event) override;
    void OnJoystick(const SDL_Event* event) override;
    // Lets the loader begin, and takes over the level once it is built.
    void OnFrameStart() override;

    // The game state. Only the main thread changes it once the loader runs: the
    // loader announces a complete level through LevelBuilt, and the main thread
    // shows it (Loading becomes Paused) at the start of its next frame, so that
    // every frame sees one state and a replay sees it at the recorded frame.
    GameState GetState() const { return static_cast<GameState>(state.load(std::memory_order_acquire)); }
    void SetState(GameState newState) { state.store(newState, std::memory_order_release); }

    // Called once by the loader thread: whether loaderContext became current
    // there. OnInit waits for the answer and builds the level itself on false.
    void ReportLoaderContext(bool current);
    // Called by the loader when everything it builds is complete and stored
    // (release): on the loader thread the main thread takes over at its next
    // frame; on the main thread (no second context) the state becomes Paused at once.
    void LevelBuilt();
    // The loader thread waits here until the main loop runs, so that the log
    // reads in the same order on every run.
    void WaitUntilLoaderMayStart();
    // Read by the loader between files and blocks (acquire): the main loop has
    // ended before the level was shown, so the loader stops and hands back what
    // it has built.
    bool LoadingCancelled() const { return loadingCancelled.load(std::memory_order_acquire); }

    CFont* font = nullptr;                     // HUD font; owned by the font factory
    CImageSpriteEx* logo = nullptr;            // loading and pause logo; owned
    CGLSharedContext* loaderContext = nullptr; // the loader thread's GL context, which that thread destroys; the object is freed after the join
    std::atomic<int> state{Loading};           // a GameState; see GetState/SetState
    CSpriteManager* spriteManager = nullptr;   // the scene; owned
    CPlayer* player = nullptr;                 // created by the loader; owned by spriteManager
    CLabelSprite* endLabel = nullptr;          // end-screen label, created by the loader; owned
    CScreenText* screenText = nullptr;         // the loading or pause line, kept while it stays the same; owned
    CScreenText* fpsText = nullptr;            // the FPS line, kept while it stays the same; owned
    CScreenText* controlsText = nullptr;       // the pause screen's line on the walking keys; owned
    CControls controls;                        // which keys and gamepad inputs press what; read by OnInit
    std::string pausedText;                    // the pause screen's line, naming the bound keys; made by OnInit
    std::string controlsLine;                  // the line below it, on walking and jumping

private:
    struct WindowSettings
    {
        int width;
        int height;
        bool fullscreen;
    };
    // config.ini's window settings; a file that is refused is logged once and read as missing.
    static WindowSettings ReadWindowSettings();
    explicit CGameMain(const WindowSettings& settings);

    // Sets the player's key flags from the keys held now, as the key handlers
    // would have: a key released while the game did not listen is released.
    void TakeHeldKeys();
    // What an input event changes, applied as the rules' keys.
    void ApplyControls(const SDL_Event& event);
    // The rules' handling of a press and a release of their own keys.
    void PressKey(const SDL_Event* event);
    void ReleaseKey(const SDL_Event* event);
    // Creates loaderContext and starts the loader; without a usable second
    // context, builds the level on this thread instead.
    void StartLoader();
    // Joins the loader thread once it has handed over, and frees its context object.
    void JoinLoader();
    // Lets a waiting loader thread begin (once).
    void ReleaseLoader();
    // Whether the level built by the loader thread may be shown in this frame.
    bool LevelReadyToShow();

    std::thread loader;                     // joined by OnShutdown
    std::promise<bool> loaderContextReady;  // set by ReportLoaderContext
    std::promise<void> loaderMayStart;      // set once by ReleaseLoader
    std::shared_future<void> loaderStart = loaderMayStart.get_future().share();
    bool loaderReleased = false;            // main thread only
    std::atomic<bool> levelBuilt{false};    // written by LevelBuilt with release
    std::atomic<bool> loadingCancelled{false};  // written by JoinLoader with release
    bool loadingNoted = false;              // the recording knows the loading frame
    const std::thread::id mainThread = std::this_thread::get_id();  // the thread that made the game
};
