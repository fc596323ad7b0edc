#include "game/LevelLoader.h"

#include "config/Paths.h"
#include "game/CPlayer.h"
#include "game/blocks/CCheckPointBlock.h"
#include "game/blocks/CEndBlock.h"
#include "game/blocks/CEvilBlock.h"
#include "game/blocks/CGameBlock.h"
#include "game/blocks/CPlatform.h"
#include "resources/CFontFactory.h"
#include "resources/CTextureManager.h"
#include "sprites/CImageSpriteEx.h"
#include "sprites/CLabelSprite.h"
#include "sprites/CSpriteManager.h"
#include "support/GLWindowTest.h"
#include "support/GameFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <typeinfo>
#include <vector>

namespace
{
const char* const CONGRATULATION = "Congratulations, you beat the game! Now, to find some cake...";

class LevelLoader : public GameFixture
{
protected:
    void LoadLevelOnTheLoaderThread()
    {
        StartGame();
        ASSERT_TRUE(WaitUntilLoaded());
    }
};

// Sprites of the scene as the given type, null when it is another one.
template <class T>
T* As(CSprite* sprite)
{
    return sprite && typeid(*sprite) == typeid(T) ? static_cast<T*>(sprite) : nullptr;
}
} // namespace

TEST_F(LevelLoader, SceneHoldsThePlayerFirstThenEveryFileInItsOrder)
{
    Write("lvl/level_static.ini", "[main]\ncount=2\n[0]\nX=1\n[1]\nX=2\n");
    Write("lvl/level_check.ini", "[main]\ncount=1\n[0]\nX=3\nspawnX=9\n");
    Write("lvl/level_platform.ini", "[main]\ncount=1\n[0]\nX=4\nX2=4\n");
    Write("ass/ets.0", "[main]\ncount=1\n[0]\nX=5\n");
    Write("lvl/level_finish.ini", "[main]\ncount=1\n[0]\nX=6\ntext=Bye\n");
    LoadLevelOnTheLoaderThread();

    const std::vector<CSprite*> scene = Scene();
    ASSERT_EQ(scene.size(), 7u);
    EXPECT_EQ(scene[0], game->player);
    ASSERT_NE(As<CPlayer>(scene[0]), nullptr);
    ASSERT_NE(As<CGameBlock>(scene[1]), nullptr);
    ASSERT_NE(As<CGameBlock>(scene[2]), nullptr);
    ASSERT_NE(As<CCheckPointBlock>(scene[3]), nullptr);
    ASSERT_NE(As<CPlatform>(scene[4]), nullptr);
    ASSERT_NE(As<CEvilBlock>(scene[5]), nullptr);
    ASSERT_NE(As<CEndBlock>(scene[6]), nullptr);
    for (int i = 1; i <= 6; ++i)
    {
        EXPECT_DOUBLE_EQ(scene[i]->x, i) << "slot " << i;
        EXPECT_EQ(scene[i]->parent, game->spriteManager);
        EXPECT_EQ(static_cast<CGameBlock*>(scene[i])->fontFactory, game->fontFactory);
    }
    EXPECT_EQ(As<CCheckPointBlock>(scene[3])->spawnX, 9);
    EXPECT_EQ(As<CEvilBlock>(scene[5])->game, game);
    EXPECT_EQ(As<CEndBlock>(scene[6])->game, game);
    EXPECT_EQ(As<CEndBlock>(scene[6])->text, "Bye");
}

TEST_F(LevelLoader, CountsThatAreZeroNegativeOrAbsentBuildNoBlocks)
{
    // Neither file has a player section either.
    Write("lvl/level_static.ini", "[main]\ncount=0\n[0]\nX=1\n");
    Write("lvl/level_check.ini", "[main]\ncount=-3\n[0]\nX=1\n");
    Write("lvl/level_platform.ini", "[main]\n[0]\nX=1\n");
    // No evil block file at all.
    Write("lvl/level_finish.ini", "[0]\nX=1\n");
    LoadLevelOnTheLoaderThread();

    ASSERT_EQ(Scene().size(), 1u);
    CPlayer* player = game->player;
    EXPECT_EQ(Scene()[0], player);
    EXPECT_DOUBLE_EQ(player->x, 0.0);
    EXPECT_DOUBLE_EQ(player->y, 0.0);
    EXPECT_DOUBLE_EQ(player->z, 0.0);
    EXPECT_EQ(player->minX, -1000000);
    EXPECT_EQ(player->minY, -1000000);
    EXPECT_EQ(player->maxX, 1000000);
    EXPECT_EQ(player->maxY, 1000000);
}

TEST_F(LevelLoader, BlocksComeFromSectionsNamedExactlyByTheirIndex)
{
    Write("lvl/level_static.ini", "[main]\ncount=2\n[00]\nX=5\n[1.0]\nX=7\n");
    Write("lvl/level_finish.ini",
          "[main]\ncount=3\n[0]\nX=10\nhasTexture=1\ntexture=gfx\\none.png\ntext=first\n[2]\nX=30\nY=40\n");
    LoadLevelOnTheLoaderThread();

    const std::vector<CSprite*> scene = Scene();
    ASSERT_EQ(scene.size(), 6u);
    EXPECT_DOUBLE_EQ(scene[1]->x, 0.0);
    EXPECT_DOUBLE_EQ(scene[2]->x, 0.0);
    EXPECT_DOUBLE_EQ(scene[3]->x, 10.0);
    EXPECT_DOUBLE_EQ(scene[5]->x, 30.0);
    EXPECT_DOUBLE_EQ(scene[5]->y, 40.0);

    CEndBlock* missing = As<CEndBlock>(scene[4]);
    ASSERT_NE(missing, nullptr);
    EXPECT_DOUBLE_EQ(missing->x, 0.0);
    EXPECT_DOUBLE_EQ(missing->y, 0.0);
    EXPECT_DOUBLE_EQ(missing->z, 0.0);
    EXPECT_EQ(missing->GetTexture(), nullptr);
    EXPECT_EQ(missing->GetCaption(), "");
    EXPECT_EQ(missing->text, "");
    EXPECT_DOUBLE_EQ(missing->GetWidth(), 0.0);
    EXPECT_DOUBLE_EQ(missing->GetHeight(), 0.0);
}

TEST_F(LevelLoader, PlayerIsSetUpFromThePlayerSection)
{
    WriteSolidPng("gfx/tovik.png", 208, 256, 230, 20, 20);
    Write("lvl/level_static.ini",
          "[player]\nspawnX=120\nspawnY=-40\nspawnZ=1\nminX=-500\nminY=-600\nmaxX=700\nmaxY=800\n");
    LoadLevelOnTheLoaderThread();

    CPlayer* player = game->player;
    EXPECT_DOUBLE_EQ(player->x, 120.0);
    EXPECT_DOUBLE_EQ(player->y, -40.0);
    EXPECT_DOUBLE_EQ(player->z, 1.0);
    EXPECT_EQ(player->spawnX, 120);
    EXPECT_EQ(player->spawnY, -40);
    EXPECT_EQ(player->spawnZ, 1);
    EXPECT_EQ(player->minX, -500);
    EXPECT_EQ(player->minY, -600);
    EXPECT_EQ(player->maxX, 700);
    EXPECT_EQ(player->maxY, 800);

    EXPECT_EQ(player->GetTexture(), game->spriteManager->textureManager->GetTexture(PLAYER_IMAGE, true, false));
    EXPECT_DOUBLE_EQ(player->GetWidth(), 52.0);
    EXPECT_DOUBLE_EQ(player->GetHeight(), 64.0);
    EXPECT_EQ(player->GetFrameWidth(), 52);
    EXPECT_EQ(player->GetFrameHeight(), 64);

    const int table[][3] = {{0, 0, 0},   {1, 0, 3},   {2, 4, 7},   {3, 8, 11},  {5, 12, 15},
                            {4, 16, 19}, {6, 20, 23}, {7, 11, 11}, {8, 15, 15}};
    for (const auto& row : table)
    {
        const AnimationRange range = player->GetAnimationRange(row[0]);
        EXPECT_EQ(range.firstFrame, row[1]) << "animation " << row[0];
        EXPECT_EQ(range.lastFrame, row[2]) << "animation " << row[0];
    }
    EXPECT_EQ(player->currentAnimation, 2);
}

TEST_F(LevelLoader, EndLabelFillsTheWindowWithTheCongratulation)
{
    Write("config.ini", "[game]\nsizeW=640\nsizeH=480\n");
    LoadLevelOnTheLoaderThread();

    CLabelSprite* label = game->endLabel;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parent, nullptr);
    for (CSprite* sprite : Scene())
        EXPECT_NE(sprite, label);
    EXPECT_EQ(label->GetCaption(), CONGRATULATION);
    EXPECT_DOUBLE_EQ(label->x, 0.0);
    EXPECT_DOUBLE_EQ(label->y, 0.0);
    EXPECT_DOUBLE_EQ(label->GetWidth(), 640.0);
    EXPECT_DOUBLE_EQ(label->GetHeight(), 480.0);
    // The text is centred in the whole label, white, in the screen font at size 30.
    const SpriteBox text = label->GetTextRect();
    EXPECT_EQ(std::vector<double>({text.x, text.y, text.w, text.h}), std::vector<double>({0, 0, 640, 480}));
    EXPECT_EQ(label->GetAlignH(), 0);
    EXPECT_EQ(label->GetAlignV(), 0);
    const SDL_Color colour = label->GetFontColor();
    EXPECT_EQ(colour.r + colour.g + colour.b, 3 * 255);
    EXPECT_EQ(label->GetFont(), game->fontFactory->GetFont(DEFAULT_FONT_FILE, 30));
}

TEST_F(LevelLoader, ACountBeyondTheLimitIsCutWithAWarning)
{
    SetLevelBlockLimitForTesting(4);
    Write("lvl/level_static.ini", "[main]\ncount=" + std::to_string(INT_MAX) + "\n[2]\nX=20\n");
    Write("lvl/level_check.ini", "[main]\ncount=4\n");
    LoadLevelOnTheLoaderThread();

    ASSERT_EQ(Scene().size(), 1u + 4u + 4u);
    EXPECT_DOUBLE_EQ(Scene()[3]->x, 20.0);
    const std::string log = LogText();
    const size_t warning = log.find("WARNING");
    ASSERT_NE(warning, std::string::npos) << log;
    const std::string line = log.substr(warning, log.find('\n', warning) - warning);
    EXPECT_NE(line.find("lvl\\level_static.ini"), std::string::npos) << line;
    EXPECT_NE(line.find("first 4"), std::string::npos) << line;
    // A count at the limit is not cut.
    EXPECT_EQ(log.find("level_check"), std::string::npos) << log;
}

TEST_F(LevelLoader, BuildsOnTheCallingThreadWithoutASecondContext)
{
    Write("lvl/level_static.ini", "[main]\ncount=1\n[0]\nX=8\n");
    CreateGame();
    game->spriteManager = new CSpriteManager();
    started = true;  // OnShutdown frees what the loader built
    LoadLevel(game);

    EXPECT_EQ(game->GetState(), Paused);
    ASSERT_EQ(Scene().size(), 2u);
    EXPECT_EQ(Scene()[0], game->player);
    EXPECT_DOUBLE_EQ(Scene()[1]->x, 8.0);
    EXPECT_NE(game->endLabel, nullptr);
}

using LevelLoaderThread = LevelLoader;

TEST_F(LevelLoaderThread, TexturesLoadedOnTheSecondContextDrawInTheMainOne)
{
    const bool haveFont = InstallFont();
    WriteSolidPng("gfx/logo.png", 64, 64, 250, 220, 0);
    WriteSolidPng("gfx/tovik.png", 208, 256, 230, 20, 20);
    WriteSolidPng("gfx/block.png", 32, 32, 20, 200, 40);
    Write("lvl/level_static.ini", "[main]\ncount=1\n"
                                  "[0]\nX=100\nY=0\nhasTexture=1\ntexture=gfx\\block.png\n"
                                  "hasCaption=1\nwidth=100\nheight=50\n");
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());
    EXPECT_EQ(LogText().find("loading the level on the main thread"), std::string::npos);

    // The first pause frame: the logo (made on this thread), no scene.
    Frame();
    EXPECT_TRUE(PixelNear(PixelAt(400, 300), 250, 220, 0));
    EXPECT_TRUE(PixelNear(PixelAt(520, 290), 0, 0, 0));

    // Running: the camera centres the 52 x 64 player; the block lies 100 pixels right of it.
    KeyDown(SDLK_ESCAPE);
    Frame();
    EXPECT_TRUE(PixelNear(PixelAt(400, 300), 230, 20, 20));
    EXPECT_TRUE(PixelNear(PixelAt(520, 290), 20, 200, 40));
    EXPECT_TRUE(PixelNear(PixelAt(600, 290), 0, 0, 0));

    // The end label's caption texture came from the loader too.
    if (haveFont)
    {
        game->SetState(Finished);
        Frame();
        EXPECT_GT(CountPixelsNear(0, 280, 800, 40, 255, 255, 255, 40), 100);
        EXPECT_TRUE(PixelNear(PixelAt(520, 290), 0, 0, 0));
    }
}
