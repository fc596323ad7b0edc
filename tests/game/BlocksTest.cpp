#include "game/CPlayer.h"
#include "game/blocks/CCheckPointBlock.h"
#include "game/blocks/CGameBlock.h"
#include "game/blocks/CPlatform.h"
#include "log/Log.h"
#include "resources/CFont.h"
#include "resources/CFontFactory.h"
#include "resources/CTexture.h"
#include "sprites/CSpriteManager.h"
#include "support/GLWindowTest.h"
#include "support/TempDir.h"
#include "tools/PngWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace
{
const double FRAME = 1.0 / 60.0;
const char* const MONO_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

std::string Png(int w, int h, unsigned char r, unsigned char g, unsigned char b)
{
    PngImage image;
    image.width = w;
    image.height = h;
    for (int i = 0; i < w * h; ++i)
        image.pixels.insert(image.pixels.end(), {r, g, b, 255});
    const std::vector<unsigned char> bytes = EncodePng(image);
    return std::string(bytes.begin(), bytes.end());
}

// Blocks in a real scene, loaded from level files written into a temporary folder
// that is also the working directory (textures and fonts resolve against it).
class BlocksTest : public GLWindowTest
{
protected:
    void SetUp() override
    {
        GLWindowTest::SetUp();
        if (IsSkipped())
            return;
        std::filesystem::create_directories(folder.File("fnt"));
        std::filesystem::copy_file(MONO_FONT, folder.File("fnt/mono.ttf"));
        inFolder = std::make_unique<CChangeDirectory>(folder.Path());
        scene = std::make_unique<CSpriteManager>();
    }

    void TearDown() override
    {
        scene.reset();  // textures go before the GL context
        inFolder.reset();
        GLWindowTest::TearDown();
    }

    // A block of kind T from a level file holding one section of `keys`.
    template <class T> T* Load(const std::string& keys)
    {
        const std::string file = folder.Write("lvl/level" + std::to_string(++files) + ".ini", "[0]\n" + keys);
        T* block = new T(scene.get());
        block->fontFactory = engine->GetFontFactory();
        block->LoadFromIni(file, "0");
        scene->AddSprite(block);
        return block;
    }

    CPlayer* AddPlayer(double x, double y)
    {
        CPlayer* player = new CPlayer();
        player->SetSize(52.0, 64.0);
        player->SetPosition(x, y);
        scene->AddSprite(player);
        return player;
    }

    void Frame()
    {
        scene->Update(FRAME);
        scene->CheckCollisions();
    }

    CTempDir folder;
    std::unique_ptr<CChangeDirectory> inFolder;
    std::unique_ptr<CSpriteManager> scene;
    int files = 0;
};

void Press(CPlayer* player, SDLKey key)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    player->HandleKeyDown(&event);
}
} // namespace

TEST_F(BlocksTest, PositionAndDepthWithDefaults)
{
    CGameBlock* plain = Load<CGameBlock>("X=100\nY=200\n");
    EXPECT_EQ(plain->x, 100.0);
    EXPECT_EQ(plain->y, 200.0);
    EXPECT_EQ(plain->z, 0.0);
    EXPECT_EQ(plain->GetWidth(), 0.0);
    EXPECT_EQ(plain->GetHeight(), 0.0);
    EXPECT_EQ(plain->GetTexture(), nullptr);
    EXPECT_EQ(plain->captionSurface, nullptr) << "no caption without hasCaption";

    EXPECT_EQ(Load<CGameBlock>("Z=1.0\n")->z, 1.0);
    EXPECT_EQ(Load<CGameBlock>("Z=-1.0\n")->z, -1.0);
    EXPECT_EQ(Load<CGameBlock>("Z=1.5\n")->z, 0.0);
    EXPECT_EQ(Load<CGameBlock>("Z=-1.01\n")->z, 0.0);

    folder.Write("gfx/blue.png", Png(64, 64, 0, 0, 255));
    CGameBlock* textured = Load<CGameBlock>("hasTexture=1\ntexture=gfx\\blue.png\n");
    ASSERT_NE(textured->GetTexture(), nullptr);
    EXPECT_TRUE(textured->GetTexture()->valid);
    EXPECT_EQ(textured->GetTexture()->width, 64);
}

TEST_F(BlocksTest, CaptionTakesTheMeasuredSizeWhereKeysAreNegativeOrAbsent)
{
    int textW = 0;
    int textH = 0;
    ASSERT_TRUE(engine->GetFontFactory()->GetFont("fnt\\mono.ttf", 20)->MeasureText("Hello", textW, textH));
    ASSERT_GT(textW, 0);

    CGameBlock* measured = Load<CGameBlock>("hasCaption=1\nfont=fnt\\mono.ttf\nfontSize=20\ncaption=Hello\n"
                                            "fontR=300\nfontG=-1\nfontB=7\nalignH=2\nalignV=1\n");
    EXPECT_EQ(measured->GetCaption(), "Hello");
    EXPECT_EQ(measured->GetWidth(), textW);
    EXPECT_EQ(measured->GetHeight(), textH);
    const SpriteBox rect = measured->GetTextRect();
    EXPECT_EQ(rect.x, 0.0);
    EXPECT_EQ(rect.y, 0.0);
    EXPECT_EQ(rect.w, textW);
    EXPECT_EQ(rect.h, textH);
    EXPECT_EQ(measured->GetFontColor().r, 44) << "the low 8 bits of 300";
    EXPECT_EQ(measured->GetFontColor().g, 255);
    EXPECT_EQ(measured->GetFontColor().b, 7);
    EXPECT_EQ(measured->GetAlignH(), 2);
    EXPECT_EQ(measured->GetAlignV(), 1);
    EXPECT_NE(measured->captionSurface, nullptr);

    CGameBlock* sized = Load<CGameBlock>("hasCaption=1\nfont=fnt\\mono.ttf\nfontSize=20\ncaption=Hello\n"
                                         "width=64\nheight=32\ntextW=0\ntextX=3\ntextY=4\n");
    EXPECT_EQ(sized->GetWidth(), 64.0);
    EXPECT_EQ(sized->GetHeight(), 32.0);
    EXPECT_EQ(sized->GetTextRect().w, 0.0) << "only a negative textW means measured";
    EXPECT_EQ(sized->GetTextRect().h, textH);
    EXPECT_EQ(sized->GetTextRect().x, 3.0);
    EXPECT_EQ(sized->GetTextRect().y, 4.0);

    // A font that cannot be opened measures nothing.
    CGameBlock* unmeasured = Load<CGameBlock>("hasCaption=1\nfont=fnt\\missing.ttf\ncaption=Hello\n");
    EXPECT_EQ(unmeasured->GetWidth(), 0.0);
    EXPECT_EQ(unmeasured->GetHeight(), 0.0);
}

TEST_F(BlocksTest, CheckpointsHandOverTheirSpawnPointOnceInTheOrderTouched)
{
    LogEnable();
    CPlayer* player = AddPlayer(100.0, 336.0);
    Load<CGameBlock>("X=-1000\nY=400\nhasCaption=1\nwidth=3000\nheight=50\n");
    // At another depth the player walks through them; they fire all the same.
    // Both overlap the floor, which must not fire them.
    const std::string size = "hasCaption=1\nwidth=20\nheight=100\nZ=0.5\nY=320\n";
    CCheckPointBlock* a = Load<CCheckPointBlock>(size + "X=300\nspawnX=300\nspawnY=10\nspawnZ=1\n");
    CCheckPointBlock* b = Load<CCheckPointBlock>(size + "X=600\nspawnX=600\nspawnY=20\n");
    EXPECT_EQ(a->spawnZ, 1);

    testing::internal::CaptureStdout();
    Frame();
    EXPECT_FALSE(a->reached);
    EXPECT_FALSE(b->reached);

    Press(player, SDLK_d);
    for (int i = 0; i < 120 && player->x < 700.0; ++i)
        Frame();
    ASSERT_TRUE(a->reached);
    ASSERT_TRUE(b->reached);
    EXPECT_EQ(player->spawnX, 600);
    EXPECT_EQ(player->spawnY, 20);
    EXPECT_EQ(player->spawnZ, 0);

    // Back over A: it is spent.
    player->keyRight = false;
    Press(player, SDLK_a);
    for (int i = 0; i < 400 && player->x > 200.0; ++i)
        Frame();
    ASSERT_LE(player->x, 200.0);
    EXPECT_EQ(player->spawnX, 600);
    const std::string console = testing::internal::GetCapturedStdout();

    const std::string line = "STATUS in class CCheckPointBlock: Checkpoint reached!\n";
    size_t count = 0;
    for (size_t at = console.find(line); at != std::string::npos; at = console.find(line, at + 1))
        ++count;
    EXPECT_EQ(count, 2u) << console;
}

TEST_F(BlocksTest, PlatformTravelsBetweenItsEndPoints)
{
    const std::string line = "Y=50\nX2=300\nY2=50\nspeed=100\n";
    CPlatform* p = Load<CPlatform>("X=100\n" + line);
    EXPECT_EQ(p->travelTime, 2.0);
    p->Update(0.5);
    EXPECT_EQ(p->x, 150.0);
    EXPECT_EQ(p->y, 50.0);
    EXPECT_EQ(p->lastDx, 50.0);
    EXPECT_EQ(p->lastDy, 0.0);

    CPlatform* longStep = Load<CPlatform>("X=100\n" + line);
    longStep->Update(2.5);
    EXPECT_FALSE(longStep->forward);
    EXPECT_EQ(longStep->elapsed, 0.5);
    EXPECT_EQ(longStep->x, 250.0);
    longStep->Update(8.0);  // four more legs: the same place on the way back
    EXPECT_FALSE(longStep->forward);
    EXPECT_EQ(longStep->x, 250.0);

    CPlatform* offLine = Load<CPlatform>("X=100.7\n" + line);
    EXPECT_EQ(offLine->startX, 100);
    offLine->Update(0.0);
    EXPECT_EQ(offLine->x, 100.0);
    EXPECT_NEAR(offLine->lastDx, -0.7, 1e-12);

    for (const char* speed : {"", "speed=0\n", "speed=-5\n"})
    {
        CPlatform* still = Load<CPlatform>(std::string("X=100\nY=50\nX2=300\n") + speed);
        still->Update(1.0);
        EXPECT_EQ(still->x, 100.0) << speed;
        EXPECT_EQ(still->lastDx, 0.0) << speed;
    }
}

TEST_F(BlocksTest, PlatformWhoseEndPointsCoincideRestsOnItsStartPoint)
{
    CPlatform* p = Load<CPlatform>("X=100.5\nY=50\nX2=100\nY2=50\nspeed=50\n");
    p->Update(1.0);
    EXPECT_EQ(p->x, 100.0);
    EXPECT_EQ(p->y, 50.0);
    p->Update(1.0);
    EXPECT_EQ(p->x, 100.0);
    EXPECT_EQ(p->lastDx, 0.0);

    // A leg far shorter than a frame still ends.
    CPlatform* fast = Load<CPlatform>("X=0\nY=0\nX2=1\nY2=0\nspeed=1e300\n");
    fast->Update(FRAME);
    EXPECT_GE(fast->x, 0.0);
    EXPECT_LE(fast->x, 1.0);
}

TEST_F(BlocksTest, PlatformCarriesThePlayerAtAnyDepth)
{
    CPlayer* rider = AddPlayer(150.0, 336.0);
    CPlatform* p = Load<CPlatform>("X=100\nY=400\nX2=500\nY2=400\nspeed=60\nhasCaption=1\nwidth=200\nheight=20\n");
    for (int i = 0; i < 30; ++i)
        Frame();
    EXPECT_NEAR(rider->x - 150.0, p->x - 100.0, 1e-9);
    EXPECT_NEAR(p->x, 130.0, 1e-9);
    EXPECT_EQ(rider->y, 336.0) << "stands on it";

    // Behind the scenery: carried, though not held up.
    CPlatform* behind = Load<CPlatform>("X=-300\nY=0\nZ=0.5\nX2=-300\nY2=300\nspeed=60\nhasCaption=1\nwidth=2000\n"
                                        "height=2000\n");
    const double before = rider->y;
    Frame();
    EXPECT_GT(behind->lastDy, 0.0);
    EXPECT_NEAR(rider->y, before + behind->lastDy, 1e-9);
}
