#include "engine/CFPSControl.h"
#include "engine/CGameBase.h"
#include "log/Log.h"
#include "resources/CFontFactory.h"
#include "support/TempDir.h"

#include <SDL/SDL_opengl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{
// Records what the engine hands to its handlers.
class CRecordingGame : public CGameBase
{
public:
    CRecordingGame() : CGameBase(800, 600, false, true, false) {}

    void OnInit() override { calls.push_back("init"); quit = quitInInit; }
    void OnShutdown() override { calls.push_back("shutdown"); }
    void OnRender(SDL_Surface*) override { calls.push_back("render"); }
    void OnUpdate(double seconds) override
    {
        calls.push_back("update");
        updates.push_back(seconds);
        if (++frames >= framesToRun)
            quit = true;
    }
    void OnActiveEvent(const SDL_Event*) override { calls.push_back("active"); }
    void OnKeyDown(const SDL_Event* e) override { calls.push_back("down " + std::to_string(e->key.keysym.sym)); }
    void OnKeyUp(const SDL_Event* e) override { calls.push_back("up " + std::to_string(e->key.keysym.sym)); }
    void OnMouseMove(const SDL_Event*) override { calls.push_back("move"); }
    void OnMouseButtonDown(const SDL_Event*) override { calls.push_back("button down"); }
    void OnMouseButtonUp(const SDL_Event*) override { calls.push_back("button up"); }
    void OnResize(const SDL_Event*) override
    {
        GLdouble projection[16];
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        // glOrtho(0, w, h, 0) puts 2/w on the diagonal and -2/h below it.
        calls.push_back("resize " + std::to_string(width) + "x" + std::to_string(height) + " " +
                        std::to_string(static_cast<int>(2.0 / projection[0] + 0.5)) + "x" +
                        std::to_string(static_cast<int>(-2.0 / projection[5] + 0.5)));
    }

    using CGameBase::PumpEvents;

    std::vector<std::string> calls;
    std::vector<double> updates;
    bool quitInInit = false;
    int frames = 0;
    int framesToRun = 1;
};

SDL_Event KeyEvent(Uint8 type, SDLKey key)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.keysym.sym = key;
    return event;
}

void Push(SDL_Event event)
{
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

class GameBaseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X display";
        folder = std::make_unique<CTempDir>();
        inFolder = std::make_unique<CChangeDirectory>(folder->Path());
        LogResetForTesting();
        LogEnable();
        LogEnableFile();
    }
    void TearDown() override
    {
        inFolder.reset();
        folder.reset();
        LogResetForTesting();
    }

    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        std::string content = folder->Read("logfile.txt");
        size_t start = 0;
        for (size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(content.substr(start, end - start));
        return lines;
    }

    std::unique_ptr<CTempDir> folder;
    std::unique_ptr<CChangeDirectory> inFolder;
};
} // namespace

TEST_F(GameBaseTest, DispatchesEveryQueuedEventInOrderAndQuitStopsNoHandler)
{
    CRecordingGame game;
    game.PumpEvents();  // the window's own start-up events
    game.calls.clear();
    Push(KeyEvent(SDL_KEYDOWN, SDLK_d));
    Push(KeyEvent(SDL_KEYUP, SDLK_d));
    SDL_Event other{};
    other.type = SDL_MOUSEMOTION;
    Push(other);
    other.type = SDL_MOUSEBUTTONDOWN;
    Push(other);
    other.type = SDL_MOUSEBUTTONUP;
    Push(other);
    other.type = SDL_QUIT;
    Push(other);
    other.type = SDL_ACTIVEEVENT;
    Push(other);  // behind the quit event: still dispatched in the same frame
    other.type = SDL_JOYAXISMOTION;
    Push(other);
    other.type = SDL_VIDEOEXPOSE;
    Push(other);
    other.type = SDL_USEREVENT;
    Push(other);

    game.PumpEvents();

    const std::vector<std::string> expected = {"down 100", "up 100", "move", "button down", "button up", "active"};
    EXPECT_EQ(game.calls, expected);
    EXPECT_TRUE(game.quit);
}

TEST_F(GameBaseTest, ResizeSetsSizeAndProjectionBeforeTheHandler)
{
    CRecordingGame game;
    SDL_Event resize{};
    resize.type = SDL_VIDEORESIZE;
    resize.resize.w = 1024;
    resize.resize.h = 768;
    Push(resize);
    game.PumpEvents();
    ASSERT_FALSE(game.calls.empty());
    EXPECT_EQ(game.calls.back(), "resize 1024x768 1024x768");
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
}

TEST_F(GameBaseTest, QuitDuringAFrameStillFinishesThatFrame)
{
    CRecordingGame game;
    game.framesToRun = 2;
    game.Run();
    std::vector<std::string> frameCalls;
    for (const std::string& call : game.calls)
        if (call == "init" || call == "update" || call == "render" || call == "shutdown")
            frameCalls.push_back(call);
    EXPECT_EQ(frameCalls, (std::vector<std::string>{"init", "update", "render", "update", "render", "shutdown"}));
    ASSERT_EQ(game.updates.size(), 2u);
    EXPECT_EQ(game.updates[0], 0.0) << "the first update receives 0 seconds";
    EXPECT_GE(game.updates[1], 0.016);
}

TEST_F(GameBaseTest, InitThatQuitsRunsNoFrame)
{
    {
        CRecordingGame game;
        game.quitInInit = true;
        game.Run();
        EXPECT_EQ(game.calls, (std::vector<std::string>{"init", "shutdown"}));
    }
    const std::vector<std::string> lines = LogLines();
    const std::vector<std::string> tail(lines.end() - 6, lines.end());
    const std::string self = LogClassName(typeid(CRecordingGame));
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "STATUS in " + self + ": Starting up game...",
                        "STATUS in " + self + ": Game running.",
                        "STATUS in " + self + ": Game is closing...",
                        "STATUS in " + self + ": Game closed.",
                        "STATUS in class CFPSControl: Instance removed.",
                        "STATUS in class CGameBase: Instance removed.",
                    }));
}

TEST_F(GameBaseTest, LogsTheStartUpSequenceAndCreatesOneFontFactory)
{
    {
        CRecordingGame game;
        EXPECT_EQ(game.fontFactory, nullptr);
        CFontFactory* first = game.GetFontFactory();
        EXPECT_EQ(game.GetFontFactory(), first);
    }
    const std::vector<std::string> lines = LogLines();
    const std::vector<std::string> expected = {
        "FORCED: File logging enabled, writing to logfile.txt...",
        "STATUS in class CGameBase: Initializing SDL...",
        "STATUS in class CGameBase: SDL initialization successful.",
        "STATUS in class CGameBase: Initializing SDL TTF...",
        "STATUS in class CGameBase: SDL TTF initialization successful.",
        "STATUS in class CGameBase: Setting up environment...",
        "STATUS in class CFPSControl: Instance initialized.",
        "STATUS in class CGameBase: Window Title set to Velmora Engine App.",
        "ERROR in class CGameBase: Tried to set icon but failed to locate gfx\\icon.ico.",
        "STATUS in class CGameBase: Setup successful.",
        "STATUS in class CGameBase: Instance initialized.",
        "STATUS in " + LogClassName(typeid(CRecordingGame)) + ": Instantiating Font Factory on first access...",
        "STATUS in class CFontFactory: Instance initialized. Did nothing. Great success!",
        "STATUS in class CFPSControl: Instance removed.",
    };
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
    EXPECT_EQ(lines.back(), "STATUS in class CGameBase: Instance removed.");
}

namespace
{
// Pushes a key press in its third frame and quits in its sixth.
class CScriptedGame : public CRecordingGame
{
public:
    void OnUpdate(double seconds) override
    {
        updates.push_back(seconds);
        if (FrameIndex() == 2 && !IsReplaying())
        {
            SDL_Event press = KeyEvent(SDL_KEYDOWN, SDLK_d);
            SDL_PushEvent(&press);
        }
        if (FrameIndex() == 5 && !IsReplaying())
        {
            SDL_Event close{};
            close.type = SDL_QUIT;
            SDL_PushEvent(&close);
        }
    }
    void OnRender(SDL_Surface*) override {}
    void OnInit() override { seed = RandomSeed(); }
    unsigned int seed = 0;
};

std::vector<std::string> KeyCalls(const std::vector<std::string>& calls)
{
    std::vector<std::string> keys;
    for (const std::string& call : calls)
        if (call.rfind("down", 0) == 0 || call.rfind("up", 0) == 0)
            keys.push_back(call);
    return keys;
}
} // namespace

TEST_F(GameBaseTest, AReplayPlaysTheRecordedRunFrameForFrame)
{
    const std::string file = folder->File("run.rec");
    setenv("QUILLFEN_RECORD", file.c_str(), 1);
    std::vector<double> recordedUpdates;
    std::vector<std::string> recordedKeys;
    unsigned int recordedSeed = 0;
    {
        CScriptedGame game;
        game.Run();
        recordedUpdates = game.updates;
        recordedKeys = KeyCalls(game.calls);
        recordedSeed = game.seed;
    }
    unsetenv("QUILLFEN_RECORD");
    ASSERT_EQ(recordedUpdates.size(), 7u);
    ASSERT_EQ(recordedKeys, (std::vector<std::string>{"down 100"}));

    setenv("QUILLFEN_REPLAY", file.c_str(), 1);
    {
        CScriptedGame game;
        game.Run();
        EXPECT_EQ(game.updates, recordedUpdates) << "frame durations come from the recording";
        EXPECT_EQ(KeyCalls(game.calls), recordedKeys);
        EXPECT_EQ(game.seed, recordedSeed);
    }
    unsetenv("QUILLFEN_REPLAY");
}

TEST_F(GameBaseTest, ADamagedRecordingIsReportedAndTheGameGoesOnWithTheKeyboard)
{
    const std::string file = folder->Write("cut.rec", "quillfen-recording 1\nf 20\ne 2 1");
    setenv("QUILLFEN_REPLAY", file.c_str(), 1);
    {
        CRecordingGame game;
        EXPECT_TRUE(game.IsReplaying());
        game.framesToRun = 3;
        game.Run();
        EXPECT_FALSE(game.IsReplaying());
        ASSERT_EQ(game.updates.size(), 3u);
        EXPECT_EQ(game.updates[1], 0.020);
    }
    unsetenv("QUILLFEN_REPLAY");
    const std::string log = folder->Read("logfile.txt");
    EXPECT_NE(log.find("ERROR in class CGameBase: Recording " + file + " is damaged at line 3; replaying what comes before it, then the keyboard."),
              std::string::npos) << log;
    EXPECT_NE(log.find("ERROR in " + LogClassName(typeid(CRecordingGame)) +
                       ": The recording ended before the game did; going on with the keyboard."),
              std::string::npos) << log;
}
