#include "game/LevelLoader.h"

#include "game/CPlayer.h"
#include "game/blocks/CEndBlock.h"
#include "game/blocks/CGameBlock.h"
#include "game/blocks/CPlatform.h"
#include "sprites/CSpriteManager.h"
#include "support/GameFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using LevelLoader = GameFixture;

TEST_F(LevelLoader, SceneHoldsThePlayerThenEveryFileInOrderFromSectionsNamedByIndex)
{
    // "00" and "1.0" are not the names of blocks 0 and 1: both come out with defaults.
    Write("lvl/level_static.ini", "[main]\ncount=2\n[00]\nX=5\n[1.0]\nX=7\n");
    Write("lvl/level_check.ini", "[main]\ncount=-3\n[0]\nX=1\n");
    Write("lvl/level_platform.ini", "[main]\ncount=1\n[0]\nX=4\nX2=4\n");
    // No evil block file at all; the end blocks' section 1 is missing.
    Write("lvl/level_finish.ini", "[main]\ncount=3\n[0]\nX=10\ntext=Bye\n[2]\nX=30\nY=40\n");
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());

    const std::vector<CSprite*> scene = Scene();
    ASSERT_EQ(scene.size(), 7u);
    EXPECT_EQ(scene[0], game->player);
    const std::vector<double> xs = {0, 0, 4, 10, 0, 30};
    for (size_t i = 1; i < scene.size(); ++i)
    {
        EXPECT_EQ(scene[i]->x, xs[i - 1]) << "slot " << i;
        EXPECT_EQ(scene[i]->parent, game->spriteManager);
        EXPECT_EQ(static_cast<CGameBlock*>(scene[i])->fontFactory, game->fontFactory);
    }
    EXPECT_NE(As<CGameBlock>(scene[2]), nullptr);
    EXPECT_NE(As<CPlatform>(scene[3]), nullptr);
    CEndBlock* missing = As<CEndBlock>(scene[5]);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->game, game);
    EXPECT_EQ(As<CEndBlock>(scene[4])->text, "Bye");
    EXPECT_EQ(missing->text, "") << "a missing section: the defaults (BlocksTest)";
    EXPECT_EQ(As<CEndBlock>(scene[6])->y, 40.0);

    // Without a player section the player starts at 0, 0 in the widest box.
    EXPECT_EQ(std::vector<double>({game->player->x, game->player->y, game->player->z}), std::vector<double>({0, 0, 0}));
    EXPECT_EQ(std::vector<int>({game->player->minX, game->player->minY, game->player->maxX, game->player->maxY}),
              std::vector<int>({-1000000, -1000000, 1000000, 1000000}));
}

TEST_F(LevelLoader, PlayerStartsAtItsSpawnPointInItsBox)
{
    Write("lvl/level_static.ini",
          "[player]\nspawnX=120\nspawnY=-40\nspawnZ=1\nminX=-500\nminY=-600\nmaxX=700\nmaxY=800\n");
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());
    CPlayer* player = game->player;
    EXPECT_EQ(std::vector<double>({player->x, player->y, player->z}), std::vector<double>({120, -40, 1}));
    EXPECT_EQ(std::vector<int>({player->spawnX, player->spawnY, player->spawnZ, player->minX, player->minY,
                                player->maxX, player->maxY}),
              std::vector<int>({120, -40, 1, -500, -600, 700, 800}));
}

TEST_F(LevelLoader, ACountBeyondTheLimitIsCutWithAWarning)
{
    SetLevelBlockLimitForTesting(4);
    Write("lvl/level_static.ini", "[main]\ncount=" + std::to_string(INT_MAX) + "\n[2]\nX=20\n");
    Write("lvl/level_check.ini", "[main]\ncount=4\n");
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());

    ASSERT_EQ(Scene().size(), 1u + 4u + 4u);
    EXPECT_EQ(Scene()[3]->x, 20.0);
    EXPECT_EQ(Logged("WARNING in class CTestGame: lvl\\level_static.ini lists 2147483647 blocks; loading only the "
                     "first 4.\n"), 1) << LogText();
    EXPECT_EQ(Logged("level_check"), 0) << "a count at the limit is not cut";
}

TEST_F(LevelLoader, BuildsOnTheCallingThreadWithoutASecondContext)
{
    Write("lvl/level_static.ini", "[main]\ncount=1\n[0]\nX=8\n");
    game = new CTestGame();
    game->spriteManager = new CSpriteManager();
    started = true;  // OnShutdown frees what the loader built
    LoadLevel(game);

    EXPECT_EQ(game->GetState(), Paused);
    ASSERT_EQ(Scene().size(), 2u);
    EXPECT_EQ(Scene()[1]->x, 8.0);
    EXPECT_NE(game->endLabel, nullptr);
}

TEST_F(LevelLoader, TexturesLoadedOnTheSecondContextDrawInTheMainOne)
{
    const bool haveFont = InstallFont();
    WriteSolidPng("gfx/logo.png", 64, 64, 250, 220, 0);
    WriteSolidPng("gfx/tovik.png", 208, 256, 230, 20, 20);
    WriteSolidPng("gfx/block.png", 32, 32, 20, 200, 40);
    Write("lvl/level_static.ini", "[main]\ncount=1\n[0]\nX=100\nY=0\nhasTexture=1\ntexture=gfx\\block.png\n"
                                  "hasCaption=1\nwidth=100\nheight=50\n");
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());
    EXPECT_EQ(Logged("loading the level on the main thread"), 0);

    // The first pause frame: the logo (made on this thread), no scene.
    Frame();
    EXPECT_EQ(CountPixelsNear(400, 300, 1, 1, 250, 220, 0), 1);
    EXPECT_EQ(CountLit(520, 290, 1, 1), 0);

    // Running: the camera centres the 52 x 64 player; the block lies 100 pixels right of it.
    KeyDown(SDLK_ESCAPE);
    Frame();
    EXPECT_EQ(CountPixelsNear(400, 300, 1, 1, 230, 20, 20), 1);
    EXPECT_EQ(CountPixelsNear(520, 290, 1, 1, 20, 200, 40), 1);
    EXPECT_EQ(CountLit(600, 290, 1, 1), 0);

    // The end label's caption texture came from the loader too.
    if (haveFont)
    {
        game->SetState(Finished);
        Frame();
        EXPECT_GT(CountPixelsNear(0, 280, 800, 40, 255, 255, 255, 40), 100);
        EXPECT_EQ(CountLit(520, 290, 1, 1), 0);
    }
}
