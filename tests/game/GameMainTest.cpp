#include "game/CGameMain.h"

#include "engine/CFPSControl.h"
#include "game/CPlayer.h"
#include "game/blocks/CCheckPointBlock.h"
#include "sprites/CImageSpriteEx.h"
#include "sprites/CSpriteManager.h"
#include "support/GameFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{
class GameMainStates : public GameFixture
{
protected:
    // Loads the level on the loader thread and waits for the pause screen.
    void StartLevel(const std::string& staticLevel = "[player]\nspawnX=100\nspawnY=50\n")
    {
        Write("lvl/level_static.ini", staticLevel);
        StartGame();
        ASSERT_TRUE(WaitUntilLoaded());
        ASSERT_EQ(game->GetState(), Paused);
    }
};

using GameMainScreens = GameMainStates;

bool AnyLit(const std::vector<unsigned char>& pixels)
{
    for (size_t i = 0; i < pixels.size(); i += 4)
        if (pixels[i] > 40 || pixels[i + 1] > 40 || pixels[i + 2] > 40)
            return true;
    return false;
}
} // namespace

TEST_F(GameMainStates, KeysDuringLoadingAreIgnored)
{
    // Without OnInit the game stays in Loading and has no scene: a handler that
    // touched the player would crash here.
    CreateGame();
    ASSERT_EQ(game->GetState(), Loading);
    for (SDLKey key : {SDLK_ESCAPE, SDLK_BACKSPACE, SDLK_a, SDLK_d, SDLK_s, SDLK_SPACE})
    {
        KeyDown(key);
        KeyUp(key);
    }
    EXPECT_EQ(game->GetState(), Loading);
    EXPECT_FALSE(game->quit);
}

TEST_F(GameMainStates, EscapeTogglesPauseWhichHoldsTheLevelStillAndBackspaceQuitsFromIt)
{
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    CPlayer* player = game->player;
    const double restingY = player->y;

    KeyDown(SDLK_d);
    EXPECT_FALSE(player->keyRight);
    const double turned = game->logo->GetRotation();
    Frame();
    Frame();
    EXPECT_DOUBLE_EQ(player->y, restingY);
    EXPECT_NE(game->logo->GetRotation(), turned);

    KeyDown(SDLK_ESCAPE);
    EXPECT_EQ(game->GetState(), Running);
    Frame();
    EXPECT_GT(player->y, restingY);  // falling: nothing below the spawn point

    KeyDown(SDLK_ESCAPE);
    EXPECT_EQ(game->GetState(), Paused);
    EXPECT_DOUBLE_EQ(std::fmod(game->logo->GetRotation(), 360.0), 0.0);
    const double pausedY = player->y;
    Frame(0.5);
    EXPECT_DOUBLE_EQ(game->logo->GetRotation(), 315.0);  // 90 degrees a second, clockwise
    EXPECT_DOUBLE_EQ(player->y, pausedY);

    KeyDown(SDLK_ESCAPE);
    EXPECT_EQ(game->GetState(), Running);
    KeyDown(SDLK_BACKSPACE);  // the player's key here
    EXPECT_FALSE(game->quit);

    KeyDown(SDLK_ESCAPE);
    KeyDown(SDLK_BACKSPACE);
    EXPECT_TRUE(game->quit);
    EXPECT_EQ(game->GetState(), Paused);
}

TEST_F(GameMainStates, ReleasingOneWalkingKeyResumesTheOtherDirection)
{
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    CPlayer* player = game->player;
    KeyDown(SDLK_ESCAPE);

    KeyDown(SDLK_d);
    KeyDown(SDLK_a);
    ASSERT_EQ(player->currentAnimation, 1);
    KeyUp(SDLK_a);
    EXPECT_FALSE(player->keyLeft);
    EXPECT_EQ(player->currentAnimation, 2);
    KeyUp(SDLK_d);
    EXPECT_FALSE(player->keyRight);
    EXPECT_EQ(player->currentAnimation, 2);

    KeyDown(SDLK_a);
    KeyDown(SDLK_d);
    ASSERT_EQ(player->currentAnimation, 2);
    KeyUp(SDLK_d);
    EXPECT_FALSE(player->keyRight);
    EXPECT_EQ(player->currentAnimation, 1);
    KeyUp(SDLK_a);
    EXPECT_FALSE(player->keyLeft);
    EXPECT_EQ(player->currentAnimation, 1);

    KeyDown(SDLK_s);
    EXPECT_TRUE(player->keyDown);
    KeyUp(SDLK_s);
    EXPECT_FALSE(player->keyDown);

    // Releases outside the running game do not reach the player.
    KeyDown(SDLK_d);
    KeyDown(SDLK_ESCAPE);
    KeyUp(SDLK_d);
    EXPECT_TRUE(player->keyRight);
}

TEST_F(GameMainStates, CameraCentresThePlayerAsItStoodAtTheEndOfTheLastFrame)
{
    // An odd window size: the half width and height are whole pixels.
    Write("config.ini", "[game]\nsizeW=801\nsizeH=601\n");
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    CPlayer* player = game->player;
    KeyDown(SDLK_ESCAPE);

    Frame();
    EXPECT_DOUBLE_EQ(game->spriteManager->x, 400 - 100 - 26.0);
    EXPECT_DOUBLE_EQ(game->spriteManager->y, 300 - 50 - 32.0);
    const double x = player->x;
    const double y = player->y;
    ASSERT_NE(y, 50.0);
    Frame();
    EXPECT_DOUBLE_EQ(game->spriteManager->x, (400 - x) - 26.0);
    EXPECT_DOUBLE_EQ(game->spriteManager->y, (300 - y) - 32.0);
}

TEST_F(GameMainStates, FinishedIgnoresKeysAndUpdatesTheSceneWithoutCameraOrCollisions)
{
    // A checkpoint over the spawn point, behind the player so that it does not stop it.
    Write("lvl/level_check.ini", "[main]\ncount=1\n[0]\nZ=-0.5\nhasCaption=1\nwidth=52\nheight=200\nspawnX=7\n");
    ASSERT_NO_FATAL_FAILURE(StartLevel("[player]\n"));
    CPlayer* player = game->player;
    CCheckPointBlock* checkpoint = dynamic_cast<CCheckPointBlock*>(game->spriteManager->activeSprites.at(1));
    ASSERT_NE(checkpoint, nullptr);

    // As an end block would set it.
    game->SetState(Finished);
    Frame();
    Frame();
    EXPECT_GT(player->y, 0.0);
    EXPECT_DOUBLE_EQ(game->spriteManager->x, 0.0);
    EXPECT_DOUBLE_EQ(game->spriteManager->y, 0.0);
    EXPECT_FALSE(checkpoint->reached);

    for (SDLKey key : {SDLK_ESCAPE, SDLK_BACKSPACE, SDLK_d})
        KeyDown(key);
    EXPECT_EQ(game->GetState(), Finished);
    EXPECT_FALSE(game->quit);
    EXPECT_FALSE(player->keyRight);

    // The same overlap counts once the game runs.
    game->SetState(Running);
    Frame();
    EXPECT_TRUE(checkpoint->reached);
}

TEST_F(GameMainStates, ClosingTheWindowDuringLoadingWaitsForTheLoader)
{
    // Enough blocks that the loader is still at work when the window closes.
    Write("lvl/level_static.ini", "[main]\ncount=400\n");
    StartGame();
    SDL_Event close{};
    close.type = SDL_QUIT;
    game->DispatchEvent(close);
    EXPECT_TRUE(game->quit);

    game->OnShutdown();
    started = false;
    EXPECT_EQ(game->GetState(), Paused);
    EXPECT_EQ(game->spriteManager, nullptr);
    EXPECT_EQ(game->logo, nullptr);
    EXPECT_EQ(game->endLabel, nullptr);
}

TEST_F(GameMainScreens, FpsIsShownRoundedToAWholeNumberOnlyWhileRunning)
{
    if (!InstallFont())
        GTEST_SKIP() << "no monospaced TrueType font on this machine";
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    auto fpsArea = [this] { return ReadPixels(10, 10, 80, 15); };

    game->fpsControl->fps = 59.5;
    Frame();
    EXPECT_FALSE(AnyLit(fpsArea()));

    KeyDown(SDLK_ESCAPE);
    Frame();
    const std::vector<unsigned char> sixty = fpsArea();
    EXPECT_TRUE(AnyLit(sixty));
    game->fpsControl->fps = 60.4;
    Frame();
    EXPECT_EQ(fpsArea(), sixty);
    game->fpsControl->fps = 59.4;
    Frame();
    EXPECT_NE(fpsArea(), sixty);
}

TEST_F(GameMainScreens, PauseScreenShowsTheLogoWithItsTextBelow)
{
    if (!InstallFont())
        GTEST_SKIP() << "no monospaced TrueType font on this machine";
    WriteSolidPng("gfx/logo.png", 64, 32, 250, 220, 0);
    ASSERT_NO_FATAL_FAILURE(StartLevel());
    // Running and back: the logo stands upright again.
    KeyDown(SDLK_ESCAPE);
    KeyDown(SDLK_ESCAPE);

    Frame(0.0);
    // The 64 x 32 logo is centred; its text is centred 50 pixels below it, one font size high.
    EXPECT_EQ(CountPixelsNear(370, 286, 60, 28, 250, 220, 0), 60 * 28);
    EXPECT_TRUE(AnyLit(ReadPixels(100, 366, 600, 15)));
    EXPECT_FALSE(AnyLit(ReadPixels(0, 320, 800, 40)));
    EXPECT_FALSE(AnyLit(ReadPixels(0, 0, 800, 280)));
}
