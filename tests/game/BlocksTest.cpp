#include "config/Paths.h"
#include "game/CPlayer.h"
#include "game/blocks/CCheckPointBlock.h"
#include "game/blocks/CEndBlock.h"
#include "game/blocks/CEvilBlock.h"
#include "game/blocks/CGameBlock.h"
#include "game/blocks/CPlatform.h"
#include "log/Log.h"
#include "resources/CFont.h"
#include "resources/CFontFactory.h"
#include "resources/CTexture.h"
#include "sprites/CSpriteManager.h"
#include "support/GameFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{
const double FRAME = 1.0 / 60.0;
const char* const FATAL_TEXT = "FATAL ERROR in class CPlayer: div by 0.";
// Overlaps a 52 x 64 player at 100, 100.
const std::string TOUCHING = "X=120\nY=120\nhasCaption=1\nwidth=40\nheight=40\n";

// Blocks of every kind, loaded from level files and played by the game's update.
class Blocks : public GameFixture
{
protected:
    // Sections "[0]", "[1]", ... of a level file, one per entry.
    static std::string Sections(const std::vector<std::string>& blocks)
    {
        std::string text = "[main]\ncount=" + std::to_string(blocks.size()) + "\n";
        for (size_t i = 0; i < blocks.size(); ++i)
            text += "[" + std::to_string(i) + "]\n" + blocks[i];
        return text;
    }

    template <class T>
    std::vector<T*> All()
    {
        std::vector<T*> found;
        for (CSprite* sprite : Scene())
            if (T* block = As<T>(sprite))
                found.push_back(block);
        return found;
    }

    // Puts the captured-to-be player at 100, 100 and runs the collision pass.
    void Touch()
    {
        game->player->SetPosition(100.0, 100.0);
        game->spriteManager->CheckCollisions();
    }
};
} // namespace

TEST_F(Blocks, KeysGivePositionDepthTextureAndCaptionAndBadValuesTheirDefaults)
{
    ASSERT_TRUE(InstallFont());
    WriteSolidPng("gfx/blue.png", 64, 64, 0, 0, 255);
    const std::string caption = "hasCaption=1\nfont=fnt\\Lucida Console.ttf\nfontSize=20\ncaption=Hello\n";
    Write("lvl/level_static.ini",
          Sections({"X=100\nY=200\n", "Z=1.0\n", "Z=-1.0\n", "Z=1.5\n", "Z=-1.01\n",
                    "hasTexture=1\ntexture=gfx\\blue.png\n",
                    caption + "fontR=300\nfontG=-1\nfontB=7\nalignH=2\nalignV=1\n",
                    caption + "width=64\nheight=32\ntextW=0\ntextX=3\ntextY=4\n",
                    "hasCaption=1\nfont=fnt\\missing.ttf\ncaption=Hello\n",
                    "hasCaption=1\nfont=fnt\\Lucida Console.ttf\nfontSize=2147483647\ncaption=Hello\n"
                    "textW=2147483647\ntextH=2147483647\ntextX=-2147483647\nwidth=1e300\nalignH=99\n"}));
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());
    const std::vector<CGameBlock*> b = All<CGameBlock>();
    ASSERT_EQ(b.size(), 10u);

    EXPECT_EQ(std::vector<double>({b[0]->x, b[0]->y, b[0]->z, b[0]->GetWidth(), b[0]->GetHeight()}),
              std::vector<double>({100, 200, 0, 0, 0}));
    EXPECT_EQ(b[0]->GetTexture(), nullptr);
    EXPECT_EQ(b[0]->captionSurface, nullptr) << "no caption without hasCaption";
    EXPECT_EQ(std::vector<double>({b[1]->z, b[2]->z, b[3]->z, b[4]->z}), std::vector<double>({1, -1, 0, 0}));
    ASSERT_NE(b[5]->GetTexture(), nullptr);
    EXPECT_EQ(b[5]->GetTexture()->width, 64);

    // Negative or absent sizes take the measured text.
    int textW = 0, textH = 0;
    ASSERT_TRUE(game->GetFontFactory()->GetFont(DEFAULT_FONT_FILE, 20)->MeasureText("Hello", textW, textH));
    const SpriteBox measured = b[6]->GetTextRect();
    EXPECT_EQ(std::vector<double>({b[6]->GetWidth(), b[6]->GetHeight(), measured.x, measured.y, measured.w, measured.h}),
              std::vector<double>({double(textW), double(textH), 0, 0, double(textW), double(textH)}));
    const SDL_Color colour = b[6]->GetFontColor();
    EXPECT_EQ(std::vector<int>({colour.r, colour.g, colour.b}), std::vector<int>({44, 255, 7})) << "the low 8 bits";
    EXPECT_EQ(std::vector<int>({b[6]->GetAlignH(), b[6]->GetAlignV()}), std::vector<int>({2, 1}));
    ASSERT_NE(b[6]->captionSurface, nullptr);
    EXPECT_EQ(b[6]->captionSurface->pixels, nullptr) << "the loader keeps no caption pixels: the texture holds them";
    const SpriteBox sized = b[7]->GetTextRect();
    EXPECT_EQ(std::vector<double>({b[7]->GetWidth(), b[7]->GetHeight(), sized.x, sized.y, sized.w, sized.h}),
              std::vector<double>({64, 32, 3, 4, 0, double(textH)}));
    EXPECT_EQ(std::vector<double>({b[8]->GetWidth(), b[8]->GetHeight()}), std::vector<double>({0, 0}))
        << "a font that cannot be opened measures nothing";

    EXPECT_EQ(b[9]->GetFont()->size, MAX_FONT_SIZE) << "the largest size, not the smallest";
    EXPECT_EQ(Logged("WARNING in class CGameBlock: Font size 2147483647 of block 9 in lvl\\level_static.ini cannot "
                     "be used; using 256.\n"), 1) << LogText();
    EXPECT_TRUE(b[0]->IsStill() && !b[0]->NeedsUpdate()) << "the plain block is still scenery";
    KeyDown(SDLK_ESCAPE);
    Frame();
}

TEST_F(Blocks, CheckpointsHandOverTheirSpawnPointOnceInTheOrderTouched)
{
    Write("lvl/level_static.ini", "[player]\nspawnX=100\nspawnY=336\n" +
                                      Sections({"X=-1000\nY=400\nhasCaption=1\nwidth=3000\nheight=50\n"}));
    // Behind the player, which walks through them; they fire all the same, and
    // the floor they overlap does not fire them.
    const std::string post = "hasCaption=1\nwidth=20\nheight=100\nZ=0.5\nY=320\n";
    Write("lvl/level_check.ini", Sections({post + "X=300\nspawnX=300\nspawnY=10\nspawnZ=1\n",
                                           post + "X=600\nspawnX=600\nspawnY=20\n"}));
    ASSERT_NO_FATAL_FAILURE(StartRunning());
    CPlayer* player = game->player;
    const std::vector<CCheckPointBlock*> posts = All<CCheckPointBlock>();
    Update(FRAME);
    EXPECT_FALSE(posts[0]->reached || posts[1]->reached);

    KeyDown(SDLK_d);
    for (int i = 0; i < 120 && player->x < 700.0; ++i)
        Update(FRAME);
    ASSERT_TRUE(posts[0]->reached && posts[1]->reached);
    EXPECT_EQ(std::vector<int>({player->spawnX, player->spawnY, player->spawnZ}), std::vector<int>({600, 20, 0}));

    KeyUp(SDLK_d);
    KeyDown(SDLK_a);
    for (int i = 0; i < 400 && player->x > 200.0; ++i)
        Update(FRAME);
    ASSERT_LE(player->x, 200.0);
    EXPECT_EQ(player->spawnX, 600) << "a checkpoint is spent once reached";
    EXPECT_EQ(Logged("STATUS in class CCheckPointBlock: Checkpoint reached!\n"), 2);
}

TEST_F(Blocks, PlatformsTravelBetweenTheirEndPoints)
{
    const std::string line = "Y=50\nX2=300\nY2=50\nspeed=100\n";
    Write("lvl/level_platform.ini",
          Sections({"X=100\n" + line, "X=100\n" + line, "X=100.7\n" + line, "X=100\nY=50\nX2=300\n",
                    "X=100\nY=50\nX2=300\nspeed=0\n", "X=100\nY=50\nX2=300\nspeed=-5\n",
                    "X=100.5\nY=50\nX2=100\nY2=50\nspeed=50\n", "X=0\nY=0\nX2=1\nY2=0\nspeed=1e300\n",
                    "X=1e300\nY=-1e300\nX2=2147483647\nY2=-2147483647\nspeed=1e-300\n"}));
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());
    const std::vector<CPlatform*> p = All<CPlatform>();
    ASSERT_EQ(p.size(), 9u);

    EXPECT_EQ(p[0]->travelTime, 2.0);
    p[0]->Update(0.5);
    EXPECT_EQ(std::vector<double>({p[0]->x, p[0]->y, p[0]->lastDx, p[0]->lastDy}),
              std::vector<double>({150, 50, 50, 0}));

    p[1]->Update(2.5);
    EXPECT_FALSE(p[1]->forward);
    EXPECT_EQ(p[1]->x, 250.0);
    p[1]->Update(8.0);  // four more legs: the same place on the way back
    EXPECT_FALSE(p[1]->forward);
    EXPECT_EQ(p[1]->x, 250.0);

    EXPECT_EQ(p[2]->startX, 100);
    p[2]->Update(0.0);
    EXPECT_EQ(p[2]->x, 100.0) << "starts on the truncated point";
    EXPECT_NEAR(p[2]->lastDx, -0.7, 1e-12);

    for (int i = 3; i <= 6; ++i)  // no speed, or end points that coincide: stands on its start point
    {
        p[i]->Update(1.0);
        p[i]->Update(1.0);
        EXPECT_EQ(p[i]->x, 100.0) << i;
        EXPECT_EQ(p[i]->lastDx, 0.0) << i;
    }

    p[7]->Update(FRAME);  // a leg far shorter than a frame still ends
    EXPECT_GE(p[7]->x, 0.0);
    EXPECT_LE(p[7]->x, 1.0);
    p[8]->Update(1e300);
    EXPECT_TRUE(std::isfinite(p[8]->x));
}

TEST_F(Blocks, PlatformCarriesThePlayerAtAnyDepth)
{
    Write("lvl/level_static.ini", "[player]\nspawnX=150\nspawnY=336\n");
    // One under the player, one behind it that carries it without holding it up.
    Write("lvl/level_platform.ini",
          Sections({"X=100\nY=400\nX2=500\nY2=400\nspeed=60\nhasCaption=1\nwidth=200\nheight=20\n",
                    "X=-300\nY=-500\nZ=0.5\nX2=700\nY2=-500\nspeed=30\nhasCaption=1\nwidth=2000\nheight=2000\n"}));
    ASSERT_NO_FATAL_FAILURE(StartRunning());
    const std::vector<CPlatform*> p = All<CPlatform>();
    Update(FRAME, 30);
    EXPECT_NEAR(p[0]->x, 130.0, 1e-9);
    EXPECT_NEAR(p[1]->x, -285.0, 1e-9);
    EXPECT_NEAR(game->player->x - 150.0, (p[0]->x - 100.0) + (p[1]->x + 300.0), 1e-9);
    EXPECT_EQ(game->player->y, 336.0) << "stands on the one at its depth";
}

TEST_F(Blocks, EvilBlockCapturesThePlayerAndPlaysItsScriptToTheFatalScreenAndTheQuit)
{
    // Threshold 0 counts only in a timed step; 7 gets the logger's own line, 9 is refused.
    Write("ass/ets.1", "[evil]\nl0=1\nt0=zero\nw0=3\nl1=3\nt1=one\nw1=0\nl2=2\nt2=two\nw2=0\n"
                       "l3=1\nt3=three\nl4=7\nt4=seven\nw4=9\n");
    // Behind the player's depth, so that it walks into them without being pushed out.
    Write("lvl/level_static.ini", "[player]\nspawnX=-500\nspawnY=100\n" + Sections({TOUCHING + "Z=0.5\n"}));
    Write("ass/ets.0", Sections({TOUCHING + "Z=0.5\nX2=1000\nY2=50\nlines=5\nstart=2\nswitch=3\n"}));
    ASSERT_NO_FATAL_FAILURE(StartRunning());
    CEvilBlock* evil = First<CEvilBlock>();
    CPlayer* player = game->player;
    game->spriteManager->CheckCollisions();
    EXPECT_EQ(evil->victim, nullptr) << "another block does not spring the trap";

    testing::internal::CaptureStdout();
    Touch();
    ASSERT_EQ(evil->victim, player);
    EXPECT_FALSE(player->controllable);
    EXPECT_EQ(std::vector<double>({evil->x, evil->y, player->x, player->y}), std::vector<double>({1000, 50, 980, 30}))
        << "the player moves with the block's jump";
    EXPECT_EQ(Logged("STATUS in class CPlayer: zero\n") + Logged("ERROR in class CPlayer: one\n"), 2);
    game->spriteManager->CheckCollisions();
    EXPECT_EQ(evil->nextLine, 2) << "a second touch does nothing";

    // The shaking never rests on the anchor; a step every two seconds.
    for (int i = 1; i <= 16; ++i)
    {
        Update(0.125);
        const double dx = std::fabs(player->x - 980.0);
        const double dy = std::fabs(player->y - 30.0);
        ASSERT_TRUE((dx == 5.0 && dy == 0.0) || (dx == 0.0 && dy == 5.0)) << dx << ", " << dy;
        ASSERT_EQ(Logged("FORCED: Logging level set to 0\n"), i == 16 ? 1 : 0) << "update " << i;
    }
    EXPECT_EQ(Logged("CPlayer: two"), 0) << "below the threshold, yet a step";
    Update(2.0, 2);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Logged("FORCED: Logging level set to 3\n") + Logged("STATUS in class CPlayer: three\n") +
                  Logged("class CPlayer: seven\n") +
                  Logged("FORCED: Tried to set logging level to incorrect value, ignoring: 9\n"), 4) << LogText();
    const std::string lastLines = "STATUS in class CPlayer: three\nFORCED: Console logging disabled.\n";
    EXPECT_EQ(console.size() - lastLines.size(), console.rfind(lastLines)) << console;

    // The fatal screen 2 s after the last line; the quit 4 s after it.
    Update(5.5);  // what the long frame has beyond the fatal step is not carried over
    EXPECT_EQ(game->GetState(), Finished);
    Update(3.5);
    EXPECT_FALSE(game->quit);
    EXPECT_EQ(game->endLabel->GetCaption(), FATAL_TEXT);
    const SDL_Color red = game->endLabel->GetFontColor();
    EXPECT_EQ(std::vector<int>({red.r, red.g, red.b}), std::vector<int>({255, 0, 0}));
    Update(0.5);
    EXPECT_TRUE(game->quit);
}

TEST_F(Blocks, EvilScriptLengthsOutOfRangeAreCutAndALongFrameTakesEveryStep)
{
    // The first stays put when it springs, so the player still touches the third.
    Write("ass/ets.0", Sections({TOUCHING + "X2=120\nY2=120\nlines=2147483647\nstart=2147483647\n",
                                 "X=5000\nlines=-5\n", TOUCHING + "lines=3\nstart=3\n"}));
    ASSERT_NO_FATAL_FAILURE(StartRunning());
    const std::vector<CEvilBlock*> evil = All<CEvilBlock>();
    EXPECT_EQ(std::vector<int>({evil[0]->lineCount, evil[1]->lineCount}), std::vector<int>({10000, 0}));
    EXPECT_EQ(Logged("WARNING in class CEvilBlock: Script length -5 of block 1 in ass\\ets.0 cannot be used; using 0.\n"),
              1) << LogText();

    LogDisableConsole();
    Touch();
    EXPECT_EQ(evil[0]->nextLine, 10000) << "the whole cut script at once";
    game->spriteManager->CheckCollisions();
    EXPECT_EQ(evil[2]->victim, nullptr) << "a held player is not captured by a second trap";
    EXPECT_EQ(evil[2]->nextLine, 0);
    Update(1e300, 2);  // the fatal screen, then the quit, and no endless stepping
    EXPECT_EQ(game->GetState(), Finished);
    EXPECT_TRUE(game->quit);
}

TEST_F(Blocks, EndBlocksShowTheLastTouchedTextAndQuitAtExactlyFiveSeconds)
{
    Write("lvl/level_static.ini", "[player]\nspawnX=-500\nspawnY=100\n" + Sections({TOUCHING}));
    // At another depth, too.
    Write("lvl/level_finish.ini", Sections({TOUCHING + "Z=0.5\ntext=first\n", TOUCHING + "Z=0.5\ntext=Well done\n"}));
    ASSERT_NO_FATAL_FAILURE(StartRunning());
    const std::vector<CEndBlock*> ends = All<CEndBlock>();
    game->spriteManager->CheckCollisions();
    Update(0.0);
    EXPECT_FALSE(ends[0]->triggered) << "another block does not reach the goal";

    Touch();
    EXPECT_TRUE(ends[0]->triggered && ends[1]->triggered);
    EXPECT_EQ(game->GetState(), Finished);
    EXPECT_EQ(game->endLabel->GetCaption(), "Well done");
    EXPECT_EQ(game->endLabel->GetFontColor().b, 255) << "keeps the loader's white";
    for (int i = 1; i <= 19; ++i)
    {
        Update(0.25);
        ASSERT_FALSE(game->quit) << "after " << i * 0.25 << " s";
    }
    Update(0.25);
    EXPECT_TRUE(game->quit);
    EXPECT_EQ(ends[0]->timer, ends[1]->timer);
}

// A block kind a game derives is updated and met where it moves, as every sprite
// (tests/sprites); only the loader files plain blocks as still scenery.
TEST(DerivedBlock, StartsAsAnUpdatedMovingSprite)
{
    CGameBlock block(nullptr);
    EXPECT_TRUE(block.NeedsUpdate());
    EXPECT_FALSE(block.IsStill());
    EXPECT_EQ(block.GetCollisionMask(), COLLISION_ALL);
}
