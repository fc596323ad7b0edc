#pragma once

#include "engine/CGameBase.h"
#include "game/CControls.h"

#include <atomic>
#include <cstddef>
#include <future>
#include <string>
#include <thread>
#include <vector>

class CFileWatcher;
class CFont;
class CGLSharedContext;
class CImageSpriteEx;
class CLabelSprite;
class CPlayer;
class CScreenText;
class CSoundManager;
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
    // Lets the loader begin, takes over the level once it is built, and asks for
    // a reload when a watched file was saved.
    void OnFrameStart() override;

    // F5 in Running and Paused: the level is built again from its files as at
    // start (the loader thread, the loading screen), every texture and font read
    // anew; the player keeps its place, speed and held keys, and the game returns
    // to the state it left. False (nothing done) in any other state.
    bool Reload();
    // Set by the loader before LevelBuilt: the level checker's first messages
    // about the files just read; logged and shown by the main thread at the hand-over.
    std::vector<std::string> loaderMessages;
    // Whether the loading in progress is a reload (read by the loader).
    bool IsReloading() const { return reloading; }

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
    CSoundManager* sounds = nullptr;           // config.ini's section "sound"; created by OnInit; owned
    CFont* messageFont = nullptr;              // small font of the checker's messages; owned by the font factory
    std::vector<CScreenText*> messageTexts;    // one per message line shown; owned
    std::vector<std::string> shownMessages;    // the checker's messages on screen now
    double messageSeconds = 0.0;               // how much longer they stay, seconds of play
    CFileWatcher* watcher = nullptr;           // QUILLFEN_WATCH=1: the level's files; owned

private:
    struct WindowSettings
    {
        int width;
        int height;
        bool fullscreen;
    };
    // config.ini's window settings; a file that is refused is logged once and read as missing.
    static WindowSettings ReadWindowSettings();
    // Creates sounds from config.ini and reads every sound ahead of play.
    void StartSound();
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
    // What a reload keeps of the player and the game.
    struct ReloadKeep
    {
        GameState state;
        double x, y, velocityX, velocityY;
        bool keyLeft, keyRight, keyDown;
    };
    // The main thread's side of a finished reload: the kept player, the state, the log.
    void FinishReload();
    // The font and screen text that the main thread draws while the loader runs,
    // taken anew from the caches.
    void TakeScreenFonts();
    // Draws the checker's messages over the scene while they last.
    void RenderMessages();
    // Points the watcher at the level's files, the script and the images now loaded.
    void WatchLevelFiles();

    std::thread loader;                     // joined by OnShutdown
    std::promise<bool> loaderContextReady;  // set by ReportLoaderContext
    std::promise<void> loaderMayStart;      // set once by ReleaseLoader
    std::shared_future<void> loaderStart = loaderMayStart.get_future().share();
    bool loaderReleased = false;            // main thread only
    std::atomic<bool> levelBuilt{false};    // written by LevelBuilt with release
    std::atomic<bool> loadingCancelled{false};  // written by JoinLoader with release
    std::size_t loadsStarted = 1;           // the first loading, then one per reload
    std::size_t loadsShown = 0;             // loadings taken over (and told to the recording)
    bool reloading = false;                 // main thread only; a reload's loader runs
    ReloadKeep kept{};                      // of the reload in progress
    Uint32 reloadStartTicks = 0;            // SDL's clock when the reload began, ms
    const std::thread::id mainThread = std::this_thread::get_id();  // the thread that made the game
};
