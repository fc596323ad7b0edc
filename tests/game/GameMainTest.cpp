#include "game/CGameMain.h"

#include "engine/CFPSControl.h"
#include "game/CPlayer.h"
#include "game/blocks/CCheckPointBlock.h"
#include "sprites/CImageSpriteEx.h"
#include "sprites/CSpriteManager.h"
#include "support/GameFixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

namespace
{
class GameMain : public GameFixture
{
protected:
    // Loads a level whose player stands in the air at 100, 50 and waits for the pause screen.
    void StartLevel(const std::string& staticLevel = "[player]\nspawnX=100\nspawnY=50\n")
    {
        Write("lvl/level_static.ini", staticLevel);
        StartGame();
        ASSERT_TRUE(WaitUntilLoaded());
        ASSERT_EQ(game->GetState(), Paused);
    }

    // Makes SDL report the key as held or not, as a real keyboard would.
    static void Hold(SDLKey key, bool held) { SDL_GetKeyState(nullptr)[key] = held ? 1 : 0; }

    void Focus(Uint8 state, Uint8 gain)
    {
        SDL_Event event{};
        event.type = SDL_ACTIVEEVENT;
        event.active.type = SDL_ACTIVEEVENT;
        event.active.state = state;
        event.active.gain = gain;
        game->DispatchEvent(event);
    }
};
} // namespace

TEST_F(GameMain, KeysDuringLoadingAreIgnored)
{
    // Without OnInit the game stays in Loading and has no scene: a handler that
    // touched the player would crash here.
    CreateGame();
    for (SDLKey key : {SDLK_ESCAPE, SDLK_BACKSPACE, SDLK_a, SDLK_d, SDLK_s, SDLK_SPACE})
    {
        KeyDown(key);
        KeyUp(key);
    }
    Focus(SDL_APPINPUTFOCUS, 1);
    EXPECT_EQ(game->GetState(), Loading);
    EXPECT_FALSE(game->quit);
}

TEST_F(GameMain, EscapeTogglesPauseWhichHoldsTheLevelStillAndBackspaceQuitsFromIt)
{
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    CPlayer* player = game->player;
    KeyDown(SDLK_d);
    EXPECT_FALSE(player->keyRight);
    const double turned = game->logo->GetRotation();
    Frame();
    EXPECT_EQ(player->y, 50.0);
    EXPECT_NE(game->logo->GetRotation(), turned);

    KeyDown(SDLK_ESCAPE);
    EXPECT_EQ(game->GetState(), Running);
    Frame();
    EXPECT_GT(player->y, 50.0);  // falling: nothing below the spawn point

    KeyDown(SDLK_ESCAPE);
    EXPECT_EQ(game->GetState(), Paused);
    EXPECT_DOUBLE_EQ(std::fmod(game->logo->GetRotation(), 360.0), 0.0);
    const double pausedY = player->y;
    Frame(0.5);
    EXPECT_DOUBLE_EQ(game->logo->GetRotation(), 315.0);  // 90 degrees a second, clockwise
    EXPECT_EQ(player->y, pausedY);

    KeyDown(SDLK_ESCAPE);
    KeyDown(SDLK_BACKSPACE);  // the player's key while running
    EXPECT_FALSE(game->quit);
    KeyDown(SDLK_ESCAPE);
    KeyDown(SDLK_BACKSPACE);
    EXPECT_TRUE(game->quit);
    EXPECT_EQ(game->GetState(), Paused);
}

TEST_F(GameMain, KeysReleasedWhileTheGameDidNotListenAreReleasedOnResumeAndOnFocus)
{
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    CPlayer* player = game->player;
    KeyDown(SDLK_ESCAPE);

    // 'd' held into the pause screen and released there.
    Hold(SDLK_d, true);
    KeyDown(SDLK_d);
    KeyDown(SDLK_ESCAPE);
    Hold(SDLK_d, false);
    KeyUp(SDLK_d);
    EXPECT_TRUE(player->keyRight) << "the pause screen does not listen";
    KeyDown(SDLK_ESCAPE);
    EXPECT_FALSE(player->keyRight);

    // Both walking keys held, 'd' released in another window: 'a' walks on, as
    // after the key-up of 'd'; releasing the last key changes no animation.
    Hold(SDLK_a, true);
    Hold(SDLK_d, true);
    KeyDown(SDLK_a);
    KeyDown(SDLK_d);
    Hold(SDLK_d, false);
    Focus(SDL_APPINPUTFOCUS, 0);
    Focus(SDL_APPMOUSEFOCUS, 1);
    EXPECT_TRUE(player->keyRight) << "only regaining the input focus counts";
    Focus(SDL_APPINPUTFOCUS | SDL_APPMOUSEFOCUS, 1);
    EXPECT_FALSE(player->keyRight);
    EXPECT_TRUE(player->keyLeft);
    EXPECT_EQ(player->currentAnimation, 1);
    KeyUp(SDLK_a);
    EXPECT_EQ(player->currentAnimation, 1);

    // Keys pressed on the pause screen and still held count on resume.
    KeyDown(SDLK_ESCAPE);
    Hold(SDLK_a, false);
    Hold(SDLK_d, true);
    Hold(SDLK_s, true);
    KeyDown(SDLK_ESCAPE);
    EXPECT_EQ(std::vector<bool>({player->keyLeft, player->keyRight, player->keyDown}),
              std::vector<bool>({false, true, true}));
    EXPECT_EQ(player->currentAnimation, 2);
    Hold(SDLK_d, false);
    Hold(SDLK_s, false);
}

TEST_F(GameMain, FinishedIgnoresKeysAndUpdatesTheSceneWithoutCameraOrCollisions)
{
    // A checkpoint over the spawn point, behind the player so that it does not stop it.
    Write("lvl/level_check.ini", "[main]\ncount=1\n[0]\nZ=-0.5\nhasCaption=1\nwidth=52\nheight=200\n");
    ASSERT_NO_FATAL_FAILURE(StartLevel("[player]\n"));
    CCheckPointBlock* checkpoint = First<CCheckPointBlock>();
    ASSERT_NE(checkpoint, nullptr);

    game->SetState(Finished);  // as an end block would set it
    Frame();
    Frame();
    EXPECT_GT(game->player->y, 0.0);
    EXPECT_EQ(game->spriteManager->x, 0.0);
    EXPECT_FALSE(checkpoint->reached);
    for (SDLKey key : {SDLK_ESCAPE, SDLK_BACKSPACE, SDLK_d})
        KeyDown(key);
    EXPECT_EQ(game->GetState(), Finished);
    EXPECT_FALSE(game->quit);
    EXPECT_FALSE(game->player->keyRight);

    game->SetState(Running);
    Frame();
    EXPECT_TRUE(checkpoint->reached) << "the same overlap counts once the game runs";
}

TEST_F(GameMain, ClosingTheWindowDuringLoadingStopsTheLoader)
{
    Write("lvl/level_static.ini", "[main]\ncount=100000\n");
    StartGame();
    SDL_Event close{};
    close.type = SDL_QUIT;
    game->DispatchEvent(close);
    EXPECT_TRUE(game->quit);

    game->OnShutdown();  // frees what the loader built
    started = false;
    EXPECT_EQ(Logged("Loading stopped: the game ended before the level was shown."), 1);
    EXPECT_EQ(game->spriteManager, nullptr);
    EXPECT_EQ(game->endLabel, nullptr);
}

#ifndef _WIN32
// Pipes and /dev/zero are POSIX's; Windows's devices are refused by name (tests/windows).
TEST_F(GameMain, FilesThatAreNotRegularOrAreHugeAreReadAsMissing)
{
    namespace fs = std::filesystem;
    ASSERT_EQ(unlink(folder->File("config.ini").c_str()), 0);
    ASSERT_EQ(mkfifo(folder->File("config.ini").c_str(), 0600), 0);
    fs::create_directories(folder->File("lvl/level_static.ini"));
    fs::create_directories(folder->File("ass/ets.1"));
    fs::create_symlink("/dev/zero", folder->File("lvl/level_check.ini"));
    ASSERT_EQ(mkfifo(folder->File("ass/ets.0").c_str(), 0600), 0);
    Write("lvl/level_platform.ini", "[main]\ncount=1\n");
    fs::resize_file(folder->File("lvl/level_platform.ini"), 65 * 1024 * 1024);
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());

    const char* const refused[][2] = {
        {"config.ini", "not a regular file"},          {"lvl\\level_static.ini", "not a regular file"},
        {"lvl\\level_check.ini", "not a regular file"}, {"lvl\\level_platform.ini", "larger than 64 MiB"},
        {"ass\\ets.0", "not a regular file"},          {"ass\\ets.1", "not a regular file"},
    };
    for (const auto& file : refused)
        EXPECT_EQ(Logged(std::string("File ") + file[0] + " not read: " + file[1] + ".\n"), 1) << LogText();
    EXPECT_EQ(Logged("level_finish"), 0) << "a missing file is no error";
    EXPECT_EQ(game->width, 800);
    EXPECT_EQ(Scene().size(), 1u);
}
#endif

TEST_F(GameMain, ScreensShowTheirTextAndTheFpsOnlyWhileRunning)
{
    if (!InstallFont())
        GTEST_SKIP() << "needs the source tree's font";
    WriteSolidPng("gfx/logo.png", 64, 32, 250, 220, 0);
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    // Running and back: the logo stands upright again.
    KeyDown(SDLK_ESCAPE);
    KeyDown(SDLK_ESCAPE);
    Frame(0.0);
    // The 64 x 32 logo is centred; its text is centred 50 pixels below it, one font size high.
    EXPECT_EQ(CountPixelsNear(370, 286, 60, 28, 250, 220, 0), 60 * 28);
    EXPECT_GT(CountLit(100, 366, 600, 15), 0);
    EXPECT_EQ(CountLit(0, 320, 800, 40), 0);
    EXPECT_EQ(CountLit(0, 0, 800, 280), 0) << "no FPS while paused";

    // The rate is shown as a whole number: 59.5 and 60.4 both read 60.
    KeyDown(SDLK_ESCAPE);
    std::vector<int> lit;
    for (double fps : {59.5, 60.4, 59.4})
    {
        game->fpsControl->fps = fps;
        Frame();
        lit.push_back(CountPixelsNear(10, 10, 80, 15, 200, 200, 200, 60));
    }
    EXPECT_GT(lit[0], 0);
    EXPECT_EQ(lit[0], lit[1]);
    EXPECT_NE(lit[0], lit[2]);
}
