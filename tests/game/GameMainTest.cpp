#include "game/CGameMain.h"

#include "engine/CFPSControl.h"
#include "game/CPlayer.h"
#include "game/blocks/CCheckPointBlock.h"
#include "resources/PixelBudget.h"
#include "sprites/CImageSpriteEx.h"
#include "sprites/CSpriteManager.h"
#include "support/GameFixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <vector>

namespace
{
class GameMain : public GameFixture
{
protected:
    // The player in the air at 100, 50, on the pause screen.
    void StartLevel(const std::string& staticLevel = "[player]\nspawnX=100\nspawnY=50\n")
    {
        Write("lvl/level_static.ini", staticLevel);
        StartGame();
        ASSERT_TRUE(WaitUntilLoaded());
        ASSERT_EQ(game->GetState(), Paused);
    }

    // SDL's own key state, as a real keyboard would set it.
    static void Hold(SDLKey key, bool held) { SDL_GetKeyState(nullptr)[key] = held ? 1 : 0; }

    void Focus(Uint8 state, Uint8 gain)
    {
        SDL_Event event{};
        event.active = SDL_ActiveEvent{SDL_ACTIVEEVENT, gain, state};
        game->DispatchEvent(event);
    }
};
} // namespace

// What a player sees of pausing is the end-to-end tests' (PAUSE_TEXT); here, what it holds.
TEST_F(GameMain, PauseHoldsTheLevelStillWhileTheLogoTurnsClockwise)
{
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    CPlayer* player = game->player;
    Frame();
    EXPECT_EQ(player->y, 50.0);
    KeyDown(SDLK_ESCAPE);
    KeyDown(SDLK_BACKSPACE);  // quits from the pause screen only
    Frame();
    EXPECT_FALSE(game->quit);
    EXPECT_GT(player->y, 50.0);  // falling: nothing below the spawn point

    KeyDown(SDLK_ESCAPE);
    EXPECT_DOUBLE_EQ(std::fmod(game->logo->GetRotation(), 360.0), 0.0);
    const double pausedY = player->y;
    Frame(0.5);
    EXPECT_DOUBLE_EQ(game->logo->GetRotation(), 315.0);  // 90 degrees a second, clockwise
    EXPECT_EQ(player->y, pausedY);
}

TEST_F(GameMain, KeysReleasedWhileTheGameDidNotListenAreReleasedOnResumeAndOnFocus)
{
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    CPlayer* player = game->player;
    KeyDown(SDLK_ESCAPE);

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

    // 'a' held into the pause screen and released there is released on resume;
    // keys pressed there and still held count.
    KeyDown(SDLK_a);
    ASSERT_TRUE(player->keyLeft);
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

TEST_F(GameMain, TheFpsIsShownAsAWholeNumber)
{
    if (!InstallFont())
        GTEST_SKIP() << "needs the source tree's font";
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    KeyDown(SDLK_ESCAPE);
    // 59.5 and 60.4 both read 60.
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
    KeyDown(SDLK_ESCAPE);
    Frame();
    EXPECT_EQ(CountPixelsNear(10, 10, 80, 15, 200, 200, 200, 60), 0) << "no FPS on the pause screen";
}

namespace
{
SDL_Event Pad(Uint8 type, int index, int value)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_JOYAXISMOTION)
        event.jaxis = SDL_JoyAxisEvent{type, 0, static_cast<Uint8>(index), static_cast<Sint16>(value)};
    else if (type == SDL_JOYHATMOTION)
        event.jhat = SDL_JoyHatEvent{type, 0, static_cast<Uint8>(index), static_cast<Uint8>(value)};
    else
        event.jbutton = SDL_JoyButtonEvent{type, 0, static_cast<Uint8>(index), static_cast<Uint8>(value)};
    return event;
}
} // namespace

TEST_F(GameMain, ArrowKeysAndAGamepadWalkBrakeJumpPauseAndQuitAsTheRulesKeysDo)
{
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    CPlayer* player = game->player;
    KeyDown(SDLK_ESCAPE);
    const auto key = [](SDLKey k) { return [k](bool down) { SDL_Event e{}; e.type = e.key.type = down ? SDL_KEYDOWN : SDL_KEYUP; e.key.keysym.sym = k; return e; }; };
    const auto hat = [](int value) { return [value](bool down) { return Pad(SDL_JOYHATMOTION, 0, down ? value : 0); }; };
    const auto stick = [](int value) { return [value](bool down) { return Pad(SDL_JOYAXISMOTION, 0, down ? value : 300); }; };
    const auto button = [](int n) { return [n](bool down) { return Pad(down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP, n, down); }; };
    struct Case { const char* what; std::function<SDL_Event(bool)> input; bool* flag; int animation; } cases[] = {
        {"Left arrow", key(SDLK_LEFT), &player->keyLeft, 1}, {"Right arrow", key(SDLK_RIGHT), &player->keyRight, 2},
        {"Down arrow", key(SDLK_DOWN), &player->keyDown, 2}, {"D-pad left", hat(SDL_HAT_LEFTUP), &player->keyLeft, 1},
        {"D-pad right", hat(SDL_HAT_RIGHT), &player->keyRight, 2}, {"stick left", stick(-20000), &player->keyLeft, 1},
        {"stick right", stick(32767), &player->keyRight, 2}, {"button 2", button(1), &player->keyDown, 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        game->DispatchEvent(c.input(true));
        EXPECT_TRUE(*c.flag);
        EXPECT_EQ(player->currentAnimation, c.animation);
        game->DispatchEvent(c.input(false));
        EXPECT_FALSE(*c.flag);
    }
    // A stick inside its dead zone walks nowhere; one input letting go of a
    // direction another still holds keeps walking.
    game->DispatchEvent(Pad(SDL_JOYAXISMOTION, 0, 9000));
    EXPECT_FALSE(player->keyRight);
    KeyDown(SDLK_a);
    game->DispatchEvent(Pad(SDL_JOYHATMOTION, 0, SDL_HAT_LEFT));
    game->DispatchEvent(Pad(SDL_JOYHATMOTION, 0, SDL_HAT_CENTERED));
    EXPECT_TRUE(player->keyLeft);
    KeyUp(SDLK_a);
    EXPECT_FALSE(player->keyLeft);

    // Up and the first button start a jump (standing still in the air at the start).
    for (const SDL_Event& jump : {key(SDLK_UP)(true), Pad(SDL_JOYBUTTONDOWN, 0, 1)})
    {
        player->playingOnce = false;
        player->PlayAnimation(2);
        game->DispatchEvent(jump);
        EXPECT_TRUE(player->playingOnce);
        EXPECT_EQ(player->currentAnimation, 5);
    }
    // Start pauses and resumes; Back quits from the pause screen only.
    game->DispatchEvent(Pad(SDL_JOYBUTTONDOWN, 6, 1));
    EXPECT_FALSE(game->quit);
    game->DispatchEvent(Pad(SDL_JOYBUTTONDOWN, 7, 1));
    EXPECT_EQ(game->GetState(), Paused);
    game->DispatchEvent(Pad(SDL_JOYBUTTONDOWN, 6, 1));
    EXPECT_TRUE(game->quit);
}

TEST_F(GameMain, KeysComeFromConfigByNameABadNameKeepsTheDefaultAndThePauseScreenNamesThem)
{
    if (!InstallFont())
        GTEST_SKIP() << "needs the source tree's font";
    Write("config.ini", "[keys]\nleft=j\njump=Return\npause=p\nquit=no such key\nright=\xff\xfe\n"
                        "[gamepad]\njump=3\nbrake=x\n");
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    EXPECT_EQ(Logged("WARNING in class CTestGame: No key is called \"no such key\" (keys, quit in config.ini); "
                     "quit stays on \"backspace\"."), 1);
    EXPECT_EQ(Logged("WARNING in class CTestGame: No key is called \"??\" (keys, right in config.ini); "
                     "right stays on \"d\"."), 1);
    EXPECT_EQ(Logged("WARNING in class CTestGame: No gamepad button \"x\" (gamepad, brake in config.ini); "
                     "brake stays on button 1."), 1);
    CPlayer* player = game->player;
    KeyDown(SDLK_ESCAPE);
    EXPECT_EQ(game->GetState(), Paused) << "ESC is no longer the pause key";
    KeyDown(SDLK_p);
    ASSERT_EQ(game->GetState(), Running);
    KeyDown(SDLK_a);
    EXPECT_FALSE(player->keyLeft);
    KeyDown(SDLK_j);
    EXPECT_TRUE(player->keyLeft);
    KeyDown(SDLK_LEFT);
    KeyUp(SDLK_j);
    EXPECT_TRUE(player->keyLeft) << "the arrow still walks";
    // On resuming, every key of a held action is asked about, the arrows too.
    KeyDown(SDLK_p);
    Hold(SDLK_LEFT, false);
    Hold(SDLK_RIGHT, true);
    KeyDown(SDLK_p);
    EXPECT_FALSE(player->keyLeft);
    EXPECT_TRUE(player->keyRight);
    Hold(SDLK_RIGHT, false);
    KeyDown(SDLK_RETURN);
    EXPECT_TRUE(player->playingOnce);
    game->DispatchEvent(Pad(SDL_JOYBUTTONDOWN, 1, 1));
    EXPECT_TRUE(player->keyDown);

    EXPECT_EQ(game->pausedText, "Paused. Press [P] to continue, [BACKSPACE] to quit...");
    EXPECT_NE(game->controlsLine.find("[J] [D]"), std::string::npos) << game->controlsLine;
    KeyDown(SDLK_p);
    Frame();
    const int text = static_cast<int>(game->logo->y + game->logo->GetHeight()) + 50;
    EXPECT_GT(CountLit(150, text, 500, 15), 20);
    EXPECT_GT(CountLit(50, text + 23, 700, 15), 20) << "the line on the walking keys";
}

TEST_F(GameMain, F5ReloadsTheLevelOnTheLoaderThreadAndThePlayerKeepsPlaceSpeedAndKeys)
{
    // The player falls past a grey floor; the reload makes it red and adds a checkpoint.
    WriteSolidPng("gfx/floor.png", 8, 8, 128, 128, 128);
    const std::string floor = "[main]\ncount=1\n[0]\nX=0\nY=200\nhasTexture=1\ntexture=gfx\\floor.png\n"
                              "hasCaption=1\nwidth=800\nheight=40\n";
    ASSERT_NO_FATAL_FAILURE(StartLevel("[player]\nspawnX=100\nspawnY=50\n" + floor));
    KeyDown(SDLK_ESCAPE);
    Hold(SDLK_d, true);
    KeyDown(SDLK_d);
    for (int i = 0; i < 5; ++i)
        Frame();
    const std::vector<double> before{game->player->x, game->player->y, game->player->velocityX, game->player->velocityY};
    EXPECT_GT(CountPixelsNear(0, 0, 800, 600, 128, 128, 128), 1000);

    WriteSolidPng("gfx/floor.png", 8, 8, 255, 0, 0);
    Write("lvl/level_check.ini", "[main]\ncount=1\n[0]\nX=2000\nY=0\n");
    KeyDown(SDLK_F5);
    EXPECT_EQ(game->GetState(), Loading);
    EXPECT_FALSE(game->Reload()) << "one reload at a time";
    // Only the hand-over, no update: the player stands as it was left.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (game->GetState() == Loading && std::chrono::steady_clock::now() < deadline)
        game->OnFrameStart();
    ASSERT_EQ(game->GetState(), Running);
    CPlayer* player = game->player;
    EXPECT_EQ(std::vector<double>({player->x, player->y, player->velocityX, player->velocityY}), before);
    EXPECT_TRUE(player->keyRight);
    EXPECT_NE(First<CCheckPointBlock>(), nullptr);
    Frame();
    EXPECT_GT(CountPixelsNear(0, 0, 800, 600, 255, 0, 0), 1000) << "the image is read again";
    EXPECT_EQ(CountPixelsNear(0, 0, 800, 600, 128, 128, 128), 0);

    // A key released while loading is released; a reload from the pause screen
    // returns there (the checker's messages: tests/e2e/test_reload.sh).
    KeyDown(SDLK_F5);
    Hold(SDLK_d, false);
    ASSERT_TRUE(WaitUntilLoaded());
    EXPECT_FALSE(game->player->keyRight);
    KeyDown(SDLK_ESCAPE);
    const std::uint64_t pixels = PixelBudgetInUse();
    KeyDown(SDLK_F5);
    ASSERT_TRUE(WaitUntilLoaded());
    EXPECT_EQ(game->GetState(), Paused);
    EXPECT_EQ(PixelBudgetInUse(), pixels) << "the same files take the same pixels";
    game->SetState(Finished);
    EXPECT_FALSE(game->Reload());
}
