// The level in data/ played through the real game objects: the game is built and
// loaded as the program does it, and a scripted player presses keys on fixed
// frames of 16 ms. One run reaches the star door, one falls for the chest.

#include "game/CGameMain.h"
#include "game/CPlayer.h"
#include "game/blocks/CEndBlock.h"
#include "game/blocks/CEvilBlock.h"
#include "game/blocks/CGameBlock.h"
#include "game/blocks/CPlatform.h"
#include "resources/CFont.h"
#include "sprites/CLabelSprite.h"
#include "support/GameFixture.h"

#include <SDL/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <typeinfo>
#include <vector>

namespace
{
const double FRAME_SECONDS = 0.016;  // the engine's shortest frame
const char* const FATAL_TEXT = "FATAL ERROR in class CPlayer: div by 0.";

// Prints the player's state every this many frames while tuning a route; 0 is off.
const int TRACE_EVERY = 0;

// One key event of a scripted run, dispatched before the update of its frame
// (frames count from the first Running frame).
struct Step
{
    int frame;
    SDLKey key;
    bool down;
};

// From the spawn point over the walking lesson and the first gap, under the
// ledge with the chest, and up onto the bump beyond it: the part both runs share.
const std::vector<Step> TO_THE_BUMP = {
    {0, SDLK_d, true}, {56, SDLK_d, false},                            // run, coast to a stop before the steps
    {115, SDLK_d, true}, {116, SDLK_SPACE, true}, {117, SDLK_SPACE, false},  // onto the first step
    {183, SDLK_SPACE, true}, {184, SDLK_SPACE, false},                 // over the second one, down to the grass
    {300, SDLK_SPACE, true}, {301, SDLK_SPACE, false},                 // over the first gap, past the checkpoint
    {398, SDLK_d, false},                                              // coast to a stop beyond the ledge
    {460, SDLK_d, true}, {461, SDLK_SPACE, true}, {462, SDLK_SPACE, false},  // onto the bump
    {540, SDLK_d, false},                                              // stop on it
};

// From the bump over the raft and up the lift to the star door.
const std::vector<Step> TO_THE_STAR_DOOR = {
    {600, SDLK_d, true}, {640, SDLK_d, false},                         // down to the edge of the wide gap
    {668, SDLK_d, true}, {690, SDLK_d, false},                         // onto the raft as it comes in
    {975, SDLK_d, true}, {1010, SDLK_d, false},                        // off it, past the second checkpoint
    {1100, SDLK_d, true}, {1128, SDLK_d, false},                       // to the foot of the lift
    {1195, SDLK_d, true}, {1196, SDLK_SPACE, true}, {1197, SDLK_SPACE, false},  // onto the lift; up, and on
    {1485, SDLK_SPACE, true}, {1486, SDLK_SPACE, false},               // over the last gap into the door
};

// From the bump back up onto the ledge, where the chest waits.
const std::vector<Step> TO_THE_CHEST = {
    {580, SDLK_a, true}, {600, SDLK_SPACE, true}, {601, SDLK_SPACE, false},
};

std::vector<Step> Join(std::vector<Step> first, const std::vector<Step>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

template <class T>
T* As(CSprite* sprite)
{
    return sprite && typeid(*sprite) == typeid(T) ? static_cast<T*>(sprite) : nullptr;
}

// Watches the root window for the request that minimises a window. Without a
// window manager nothing is minimised, but the request itself reaches every
// client that listens on the root window.
class CIconifyWatch
{
public:
    CIconifyWatch() : display(XOpenDisplay(nullptr))
    {
        if (!display)
            return;
        changeState = XInternAtom(display, "WM_CHANGE_STATE", False);
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        XSync(display, False);
    }
    ~CIconifyWatch()
    {
        if (display)
            XCloseDisplay(display);
    }
    CIconifyWatch(const CIconifyWatch&) = delete;
    CIconifyWatch& operator=(const CIconifyWatch&) = delete;

    // Whether a request to minimise `window` has arrived since the last call.
    bool SawIconify(Window window)
    {
        if (!display)
            return false;
        XSync(display, False);
        bool seen = false;
        while (XPending(display) > 0)
        {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && event.xclient.message_type == changeState &&
                event.xclient.window == window && event.xclient.data.l[0] == IconicState)
                seen = true;
        }
        return seen;
    }

private:
    Display* display;
    Atom changeState = None;
};

// Standard output from construction on; given back on every way out of a test,
// so that a failing assertion does not swallow the test's own report.
class CConsoleCapture
{
public:
    CConsoleCapture() { testing::internal::CaptureStdout(); }
    ~CConsoleCapture()
    {
        if (!taken)
            testing::internal::GetCapturedStdout();
    }
    CConsoleCapture(const CConsoleCapture&) = delete;
    CConsoleCapture& operator=(const CConsoleCapture&) = delete;

    std::string Take()
    {
        taken = true;
        return testing::internal::GetCapturedStdout();
    }

private:
    bool taken = false;
};

Window GameWindow()
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWMInfo(&info) > 0 ? info.info.x11.wmwindow : None;
}

class ShippedLevel : public GameFixture
{
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        if (IsSkipped())
            return;
        const char* source = std::getenv("QUILLFEN_SOURCE_DIR");
        if (!source)
            GTEST_SKIP() << "QUILLFEN_SOURCE_DIR names the source tree (ctest sets it)";
        // Only what the game reads: a logfile.txt of an earlier play must not
        // replace the one this test's log is writing.
        namespace fs = std::filesystem;
        const fs::path data = fs::path(source) / "data";
        const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
        fs::copy(data / "config.ini", folder->File("config.ini"), options);
        for (const char* part : {"gfx", "fnt", "lvl", "ass"})
            fs::copy(data / part, folder->File(part), options);
    }

    // Loads the level, and from the pause screen starts the game with ESC.
    void StartRunning()
    {
        StartGame();
        ASSERT_TRUE(WaitUntilLoaded());
        ASSERT_EQ(game->GetState(), Paused);
        KeyDown(SDLK_ESCAPE);
        KeyUp(SDLK_ESCAPE);
        ASSERT_EQ(game->GetState(), Running);
    }

    // One frame of 16 ms with the script's events of this frame first.
    void PlayFrame(const std::vector<Step>& steps)
    {
        for (const Step& step : steps)
            if (step.frame == frame)
                step.down ? KeyDown(step.key) : KeyUp(step.key);
        game->OnUpdate(FRAME_SECONDS);
        if (TRACE_EVERY > 0 && frame % TRACE_EVERY == 0)
            Trace();
        ++frame;
    }

    // Plays until `done` holds (true) or `limit` frames have passed (false).
    template <class Condition>
    bool PlayUntil(const std::vector<Step>& steps, Condition done, int limit = 20000)
    {
        while (frame < limit)
        {
            PlayFrame(steps);
            if (done())
                return true;
        }
        return false;
    }

    void Trace()
    {
        const CPlayer* p = game->player;
        std::printf("frame %5d  x %8.2f  y %8.2f  vx %6.2f  vy %6.2f  state %d", frame, p->x, p->y, p->velocityX,
                    p->velocityY, static_cast<int>(game->GetState()));
        for (CSprite* sprite : Scene())
            if (CPlatform* platform = As<CPlatform>(sprite))
                std::printf("  platform %7.1f,%6.1f", platform->x, platform->y);
        std::printf("\n");
    }

    // From a run at full speed towards `edge` (the right end of the ground the
    // player stands on, `top` its surface), jumps at the last moment and reports
    // whether the player comes to stand more than `ahead` pixels beyond the edge
    // before it has fallen far below.
    bool LongestJumpReaches(double edge, double top, double ahead)
    {
        CPlayer* p = game->player;
        // The take-off takes 15 frames of 10 pixels.
        p->SetPosition(edge - 151.0, top - p->GetHeight());
        p->velocityX = p->maxSpeed;
        p->velocityY = 0.0;
        const std::vector<Step> jump = {{frame, SDLK_d, true}, {frame + 1, SDLK_SPACE, true}};
        const int start = frame;
        // A bump of the head stops the fall for one frame; standing stops it in every frame.
        int framesAtRest = 0;
        PlayUntil(jump, [&] {
            framesAtRest = p->velocityY == 0.0 ? framesAtRest + 1 : 0;
            return p->y > top + 300.0 || (frame > start + 20 && framesAtRest >= 2);
        }, start + 300);
        return framesAtRest >= 2 && p->x > edge + ahead;
    }

    template <class T>
    T* First()
    {
        for (CSprite* sprite : Scene())
            if (T* block = As<T>(sprite))
                return block;
        return nullptr;
    }

    int Count(const std::string& text)
    {
        const std::string log = LogText();
        int count = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }

    int frame = 0;
};
} // namespace

TEST_F(ShippedLevel, LoadsWithoutErrorsAndEveryTextFitsWhereItIsShown)
{
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());
    EXPECT_EQ(LogText().find("ERROR"), std::string::npos) << "a missing image or font:\n" << LogText();

    int signs = 0;
    for (CSprite* sprite : Scene())
    {
        CGameBlock* block = dynamic_cast<CGameBlock*>(sprite);
        if (!block || block->GetCaption().empty())
            continue;
        ++signs;
        int w = 0;
        int h = 0;
        ASSERT_TRUE(block->GetFont()->MeasureText(block->GetCaption(), w, h));
        // The board's frame is about 8 pixels wide on each side.
        EXPECT_LE(w, block->GetWidth() - 16) << block->GetCaption();
        EXPECT_LE(h, block->GetHeight()) << block->GetCaption();
        EXPECT_LT(block->z, 0.0) << block->GetCaption() << ": in front of its caption, the board would hide it";
    }
    EXPECT_GE(signs, 3);

    CEndBlock* door = First<CEndBlock>();
    ASSERT_NE(door, nullptr);
    ASSERT_FALSE(door->text.empty());
    for (const std::string& text : {door->text, std::string(FATAL_TEXT)})
    {
        int w = 0;
        int h = 0;
        ASSERT_TRUE(game->endLabel->GetFont()->MeasureText(text, w, h));
        EXPECT_LE(w, game->width) << text;
    }
}

TEST_F(ShippedLevel, ReachingTheStarDoorShowsItsTextAndQuitsFiveSecondsLater)
{
    ASSERT_NO_FATAL_FAILURE(StartRunning());
    const std::vector<Step> route = Join(TO_THE_BUMP, TO_THE_STAR_DOOR);
    CEndBlock* door = First<CEndBlock>();
    ASSERT_NE(door, nullptr);

    ASSERT_TRUE(PlayUntil(route, [&] { return game->GetState() != Running; }))
        << "the route ends at " << game->player->x << ", " << game->player->y;
    ASSERT_EQ(game->GetState(), Finished);
    EXPECT_TRUE(door->triggered);
    EXPECT_TRUE(game->player->controllable) << "the chest caught the player on the way";
    EXPECT_EQ(game->endLabel->GetCaption(), door->text);
    EXPECT_EQ(Count("Checkpoint reached!"), 2) << "both checkpoints lie on the route";

    // The countdown starts with the first update after the touch.
    const int touched = frame;
    EXPECT_TRUE(PlayUntil(route, [&] { return game->quit; }));
    EXPECT_EQ(frame - touched, 313) << "5.0 s at 16 ms a frame: not after 312 frames (4.992 s), after 313";
    Frame(FRAME_SECONDS);
    EXPECT_GT(CountPixelsNear(0, 250, 800, 100, 255, 255, 255, 40), 100) << "the text is drawn in white";
}

TEST_F(ShippedLevel, TheWideGapAndTheCliffNeedTheirPlatforms)
{
    ASSERT_NO_FATAL_FAILURE(StartRunning());
    for (CSprite* sprite : Scene())
        if (CPlatform* platform = As<CPlatform>(sprite))
        {
            platform->speed = 0.0;
            platform->SetPosition(-100000.0, -100000.0);
        }

    EXPECT_TRUE(LongestJumpReaches(1536.0, 512.0, 100.0)) << "the first gap is a plain jump";
    EXPECT_FALSE(LongestJumpReaches(2944.0, 512.0, 100.0)) << "the raft's gap can be jumped";
    EXPECT_FALSE(LongestJumpReaches(4096.0, 512.0, 100.0)) << "the high islands can be reached without the lift";
}

TEST_F(ShippedLevel, TheTreasureChestCatchesThePlayerAndEndsInTheFatalError)
{
    ASSERT_NO_FATAL_FAILURE(StartRunning());
    const std::vector<Step> route = Join(TO_THE_BUMP, TO_THE_CHEST);
    CEvilBlock* chest = First<CEvilBlock>();
    ASSERT_NE(chest, nullptr);
    CIconifyWatch watch;
    const Window window = GameWindow();
    CConsoleCapture console;

    ASSERT_TRUE(PlayUntil(route, [&] { return !game->player->controllable; }))
        << "the route ends at " << game->player->x << ", " << game->player->y;
    EXPECT_EQ(chest->victim, game->player);
    EXPECT_EQ(chest->y, chest->endY) << "the chest jumps with its catch";
    EXPECT_TRUE(watch.SawIconify(window)) << "the window is asked to minimise";
    EXPECT_EQ(Count("in class CPlayer: "), 1) << "the first script line is written at once";

    // The keys do nothing any more; the player only shakes about the anchor.
    const int caught = frame;
    const std::vector<Step> struggle = {{caught, SDLK_a, true}, {caught + 10, SDLK_SPACE, true}};
    ASSERT_FALSE(PlayUntil(struggle, [] { return false; }, caught + 60));
    EXPECT_NEAR(game->player->x, chest->anchorX, 5.0);
    EXPECT_NEAR(game->player->y, chest->anchorY, 5.0);

    // Seven lines, the first at the catch and one every 2 s, then the fatal screen.
    ASSERT_TRUE(PlayUntil({}, [&] { return game->GetState() == Finished; }));
    const double fatalAfter = (frame - caught) * FRAME_SECONDS;
    EXPECT_NEAR(fatalAfter, 14.0, FRAME_SECONDS * 1.5);
    EXPECT_EQ(game->endLabel->GetCaption(), FATAL_TEXT);
    const SDL_Color colour = game->endLabel->GetFontColor();
    EXPECT_EQ(colour.r, 255);
    EXPECT_EQ(colour.g, 0);
    EXPECT_EQ(colour.b, 0);
    EXPECT_EQ(Count("in class CPlayer: "), 7);

    const int fatal = frame;
    ASSERT_TRUE(PlayUntil({}, [&] { return game->quit; }));
    EXPECT_NEAR((frame - fatal) * FRAME_SECONDS, 4.0, FRAME_SECONDS * 1.5);

    // The console heard the script up to the switch line; the file heard it all.
    const std::string shown = console.Take();
    EXPECT_NE(shown.find("The chest is opening from the inside."), std::string::npos);
    EXPECT_NE(shown.find("FORCED: Console logging disabled."), std::string::npos);
    EXPECT_EQ(shown.find("x = gold, y = gold"), std::string::npos);
    EXPECT_NE(LogText().find("FORCED in class CPlayer: There is no treasure. There never was."), std::string::npos);
}

