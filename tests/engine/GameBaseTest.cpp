#include "engine/CGameBase.h"
#include "log/Log.h"
#include "support/TempDir.h"

#include <SDL/SDL_opengl.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {
// Notes what the engine hands to its handlers.
class CNotingGame : public CGameBase {
public:
    CNotingGame(int w = 800, int h = 600, const CRecordedPlay::GameNames& names = {})
        : CGameBase(w, h, false, true, false, true, names) {}

    void OnInit() override { calls.push_back("init"); quit = quitInInit; seed = RandomSeed(); }
    void OnShutdown() override { calls.push_back("shutdown"); }
    void OnRender(SDL_Surface*) override { calls.push_back("render"); }
    void OnUpdate(double seconds) override {
        updates.push_back(seconds);
        quit = quit || static_cast<int>(updates.size()) >= framesToRun;
    }
    void OnActiveEvent(const SDL_Event*) override { calls.push_back("active"); }
    void OnKeyDown(const SDL_Event* e) override { calls.push_back("down " + std::to_string(e->key.keysym.sym)); }
    void OnKeyUp(const SDL_Event* e) override { calls.push_back("up " + std::to_string(e->key.keysym.sym)); }
    void OnMouseMove(const SDL_Event*) override { calls.push_back("move"); }
    void OnMouseButtonDown(const SDL_Event*) override { calls.push_back("button down"); }
    void OnMouseButtonUp(const SDL_Event*) override { calls.push_back("button up"); }
    void OnResize(const SDL_Event*) override {
        GLdouble m[16];  // glOrtho(0, w, h, 0) puts 2/w on the diagonal and -2/h below it
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        calls.push_back("resize " + std::to_string(width) + "x" + std::to_string(height) + " " +
                        std::to_string(int(2.0 / m[0] + 0.5)) + "x" + std::to_string(int(-2.0 / m[5] + 0.5)));
    }
    using CGameBase::PumpEvents;

    std::vector<std::string> calls;
    std::vector<double> updates;
    bool quitInInit = false;
    int framesToRun = 1;
    unsigned int seed = 0;
};

void Push(Uint8 type, SDLKey key = SDLK_UNKNOWN, int w = 0, int h = 0) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_VIDEORESIZE)
        event.resize = SDL_ResizeEvent{type, w, h};
    else
        event.key.keysym.sym = key;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

class GameBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X display";
#ifndef _WIN32
        // Mesa's driver stays loaded for the leak check (not its GLX library: a second window would fail).
        dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
#endif
        inFolder = std::make_unique<CChangeDirectory>(folder.Path());
        LogResetForTesting();
        LogEnable();
        LogEnableFile();
    }
    void TearDown() override { LogResetForTesting(); }

    CTempDir folder;
    std::unique_ptr<CChangeDirectory> inFolder;
};
} // namespace

TEST_F(GameBaseTest, DispatchesEveryQueuedEventInOrderAndResizesBeforeTheHandler) {
    CNotingGame game;
    game.PumpEvents();  // the window's own start-up events
    game.calls.clear();
    // Behind the quit event still dispatched in the same frame; joystick, expose and user events reach no handler.
    for (Uint8 type : {SDL_KEYDOWN, SDL_KEYUP, SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_QUIT,
                       SDL_ACTIVEEVENT, SDL_JOYAXISMOTION, SDL_VIDEOEXPOSE, SDL_USEREVENT})
        Push(type, SDLK_d);
    Push(SDL_VIDEORESIZE, SDLK_UNKNOWN, 1024, 768);
    game.PumpEvents();
    EXPECT_EQ(game.calls, (std::vector<std::string>{"down 100", "up 100", "move", "button down", "button up", "active",
                                                    "resize 1024x768 1024x768"}));
    EXPECT_TRUE(game.quit);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport + 2, viewport + 4), (std::vector<GLint>{1024, 768}));
}

TEST_F(GameBaseTest, RunsWholeFramesUntilQuitAndAnInitThatQuitsRunsNone) {
    for (const bool quitInInit : {false, true}) {
        CNotingGame game;
        game.quitInInit = quitInInit;
        game.framesToRun = 2;  // the second update quits: that frame is still drawn
        game.Run();
        EXPECT_EQ(std::count(game.calls.begin(), game.calls.end(), "render"), quitInInit ? 0 : 2);
        EXPECT_EQ(game.updates, (quitInInit ? std::vector<double>() : std::vector<double>({0.0, game.updates.at(1)})));
        EXPECT_EQ(std::vector<std::string>({game.calls.front(), game.calls.back()}),
                  (std::vector<std::string>{"init", "shutdown"}));
    }
}

namespace {
// Notes loading in frames 1 and 4, presses 'd' in frame 2, asks in frame 3 whether 'd' and
// 'a' are held while the machine says 'd' is, and closes the window in frame 5.
class CScriptedGame : public CNotingGame {
public:
    // Names its variables and recordings as the game does.
    CScriptedGame() : CNotingGame(800, 600, {"QUILLFEN_", "quillfen"}) {}
    void OnUpdate(double seconds) override {
        updates.push_back(seconds);
        // A loading completes in frame 1, a reload in frame 4.
        if (FrameIndex() == 1 || FrameIndex() == 4) {
            loaded.push_back(IsReplaying() ? ReplayLoadedFrame(loaded.size()) : FrameIndex());
            if (!IsReplaying())
                NoteLoadingComplete();
        }
        if (FrameIndex() == 2 && !IsReplaying())
            Push(SDL_KEYDOWN, SDLK_d);
        if (FrameIndex() == 3) {
            Uint8* keys = SDL_GetKeyState(nullptr);
            keys[SDLK_d] = !IsReplaying();
            held = {IsKeyHeld(SDLK_d), IsKeyHeld(SDLK_a)};
            keys[SDLK_d] = 0;
        }
        if (FrameIndex() == 5 && !IsReplaying())
            Push(SDL_QUIT);
    }
    std::vector<bool> held;
    std::vector<long> loaded;
};
} // namespace

TEST_F(GameBaseTest, AReplayPlaysTheRecordedRunFrameForFrame) {
    const std::string file = folder.File("run.rec");
    const auto play = [&](const char* variable) {
        SetEnvironment(variable, file.c_str());
        CScriptedGame game;
        game.Run();
        SetEnvironment(variable, nullptr);
        return std::make_tuple(game.updates, game.calls, game.held, game.seed, game.loaded);
    };
    const auto recorded = play("QUILLFEN_RECORD");
    ASSERT_EQ(std::get<2>(recorded), (std::vector<bool>{true, false}));
    // Frame durations, events, held keys, seed and loading frame all come from the recording.
    EXPECT_EQ(play("QUILLFEN_REPLAY"), recorded);
    // The engine's own name plays the game's recording too.
    EXPECT_EQ(play("VELMORA_REPLAY"), recorded);
}
