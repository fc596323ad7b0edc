#include "game/CPlayer.h"
#include "resources/CTextureManager.h"
#include "sprites/CSpriteManager.h"
#include "support/GLWindowTest.h"
#include "support/TempDir.h"
#include "tools/PngWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace
{
const double FRAME = 1.0 / 60.0;
const double FLOOR_TOP = 400.0;
const double STANDING_Y = FLOOR_TOP - 64.0;

void Press(CPlayer& player, SDLKey key)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    player.HandleKeyDown(&event);
}

// A 52 x 64 player standing at x 100 on a wide floor, in a real scene. Without a
// texture the player needs no GL: physics only.
struct FloorScene
{
    std::unique_ptr<CSpriteManager> scene{new CSpriteManager()};
    CPlayer* player = new CPlayer();
    CImageSprite* floor = new CImageSprite();

    FloorScene()
    {
        player->SetSize(52.0, 64.0);
        player->SetPosition(100.0, STANDING_Y);
        floor->SetPosition(-10000.0, FLOOR_TOP);
        floor->SetSize(100000.0, 50.0);
        scene->AddSprite(player);
        scene->AddSprite(floor);
    }

    // One Running frame as the game runs it.
    void Frame(double seconds = FRAME)
    {
        scene->Update(seconds);
        scene->CheckCollisions();
    }

    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame();
    }
};

CImageSprite* Block(CSpriteManager& scene, double x, double y, double w, double h)
{
    CImageSprite* block = new CImageSprite();
    block->SetPosition(x, y);
    block->SetSize(w, h);
    scene.AddSprite(block);
    return block;
}
} // namespace

TEST(PlayerPhysics, HoldingRightOnTheGroundReachesFullSpeedAfterOneSecond)
{
    FloorScene s;
    Press(*s.player, SDLK_d);
    for (int i = 1; i <= 60; ++i)
    {
        s.Frame();
        ASSERT_NEAR(s.player->velocityX, i / 6.0, 1e-9) << "frame " << i;
        ASSERT_DOUBLE_EQ(s.player->y, STANDING_Y) << "stands on the floor";
        ASSERT_EQ(s.player->velocityY, 0.0);
    }
    s.Frame();
    EXPECT_EQ(s.player->velocityX, 10.0);
    const double before = s.player->x;
    s.Frame();
    EXPECT_DOUBLE_EQ(s.player->x, before + 10.0);
}

TEST(PlayerPhysics, FrictionAndBrakingSlowToExactlyZero)
{
    FloorScene s;
    Press(*s.player, SDLK_d);
    s.Frames(61);
    ASSERT_EQ(s.player->velocityX, 10.0);

    // 's' with 'd' still held: braking 15 per second against 10 of acceleration.
    Press(*s.player, SDLK_s);
    s.Frame();
    EXPECT_NEAR(s.player->velocityX, 10.0 - 5.0 * FRAME, 1e-12);
    s.player->keyDown = false;

    // Released (as the game's key-up handler does): friction alone, never past 0.
    s.player->keyRight = false;
    double previous = s.player->velocityX;
    for (int i = 0; i < 70; ++i)
    {
        s.Frame();
        ASSERT_GE(s.player->velocityX, 0.0);
        ASSERT_TRUE(s.player->velocityX == 0.0 || std::fabs(previous - s.player->velocityX - 10.0 * FRAME) < 1e-9);
        previous = s.player->velocityX;
    }
    EXPECT_EQ(s.player->velocityX, 0.0);

    // Walking left and braking without a direction key: friction and brake add up.
    s.player->velocityX = -3.0;
    s.player->keyDown = true;
    s.Frame();
    EXPECT_NEAR(s.player->velocityX, -3.0 + 25.0 * FRAME, 1e-12);
    s.Frames(10);
    EXPECT_EQ(s.player->velocityX, 0.0);
}

TEST(PlayerPhysics, InTheAirKeysOnlyChangeTheAnimation)
{
    CPlayer player;
    player.velocityX = 3.0;
    player.velocityY = 2.0;
    Press(player, SDLK_a);
    player.Update(FRAME);
    EXPECT_EQ(player.velocityX, 3.0);
    EXPECT_EQ(player.currentAnimation, 1);

    player.keyLeft = false;
    player.keyDown = true;
    player.Update(FRAME);
    EXPECT_EQ(player.velocityX, 3.0) << "no friction and no braking in the air";
    EXPECT_NEAR(player.velocityY, 2.0 + 32.0 * FRAME, 1e-12);

    // Falling: space does nothing.
    Press(player, SDLK_SPACE);
    EXPECT_FALSE(player.playingOnce);
    EXPECT_EQ(player.currentAnimation, 1);
}

TEST(PlayerPhysics, SpaceChoosesTheTakeOffByTheWalkingDirection)
{
    CPlayer player;
    Press(player, SDLK_a);
    Press(player, SDLK_SPACE);
    EXPECT_EQ(player.currentAnimation, 3);
    EXPECT_EQ(player.nextAnimation, 1);
    EXPECT_TRUE(player.playingOnce);
    EXPECT_EQ(player.GetAnimationSpeed(), 18.0);

    CPlayer right;
    Press(right, SDLK_d);
    Press(right, SDLK_SPACE);
    EXPECT_EQ(right.currentAnimation, 5);
    // A second press during the take-off keeps the walk to return to.
    Press(right, SDLK_SPACE);
    EXPECT_EQ(right.nextAnimation, 2);
}

TEST(PlayerPhysics, RespawnsWhenLeavingTheLevelBox)
{
    CPlayer player;
    player.minX = -100;
    player.minY = -100;
    player.maxX = 100;
    player.maxY = 100;
    player.spawnX = 10;
    player.spawnY = 20;
    player.spawnZ = 3;  // outside the depth range: z stays

    player.SetPosition(100.0, 0.0);
    player.Update(FRAME);
    EXPECT_EQ(player.x, 100.0) << "the box's edge is inside";

    const double outside[4][2] = {{100.5, 0.0}, {-100.5, 0.0}, {0.0, -101.0}, {0.0, 100.5}};
    for (const auto& position : outside)
    {
        player.SetPosition(position[0], position[1]);
        player.velocityX = position[0] < 0.0 ? -4.0 : 4.0;
        player.Update(FRAME);
        EXPECT_EQ(player.x, 10.0);
        EXPECT_EQ(player.y, 20.0);
        EXPECT_EQ(player.z, 0.0);
        EXPECT_EQ(player.velocityX, 0.0);
        EXPECT_EQ(player.velocityY, 0.0);
        EXPECT_EQ(player.currentAnimation, 2);
    }

    player.spawnZ = -1;
    player.SetPosition(500.0, 0.0);
    player.Update(FRAME);
    EXPECT_EQ(player.z, -1.0);
}

TEST(PlayerCollision, PushesOutAlongTheSideOfLeastPenetration)
{
    CSpriteManager scene;
    scene.x = -100.0;  // a camera offset: the response works in world coordinates
    scene.y = 50.0;
    CPlayer* player = new CPlayer();
    player->SetSize(52.0, 64.0);
    scene.AddSprite(player);
    CImageSprite* floor = Block(scene, 0.0, 200.0, 200.0, 40.0);
    CImageSprite* wall = Block(scene, 300.0, 0.0, 40.0, 400.0);
    CImageSprite* ceiling = Block(scene, 0.0, 0.0, 400.0, 40.0);

    struct Case
    {
        const char* name;
        CImageSprite* block;
        double x, y;            // player before
        double wantX, wantY;    // player after
        bool stopsX;
    };
    const Case cases[] = {
        {"sinks 3 into a floor: lands touching", floor, 50.0, 139.0, 50.0, 136.0, false},
        {"3 into a wall's left side: touching", wall, 251.0, 100.0, 248.0, 100.0, true},
        {"3 into a wall's right side: one pixel off", wall, 337.0, 100.0, 341.0, 100.0, true},
        {"head 3 into a ceiling: one pixel below", ceiling, 100.0, 37.0, 100.0, 41.0, false},
        {"corner, bottom and right tie: lands", floor, -49.0, 139.0, -49.0, 136.0, false},
        {"corner, right and head tie: right side", floor, -49.0, 237.0, -52.0, 237.0, true},
    };
    for (const Case& c : cases)
    {
        player->SetPosition(c.x, c.y);
        player->velocityX = 2.0;
        player->velocityY = 2.0;
        player->OnCollision(c.block);
        EXPECT_EQ(player->x, c.wantX) << c.name;
        EXPECT_EQ(player->y, c.wantY) << c.name;
        EXPECT_EQ(player->velocityX, c.stopsX ? 0.0 : 2.0) << c.name;
        EXPECT_EQ(player->velocityY, c.stopsX ? 2.0 : 0.0) << c.name;
    }

    // At another depth the block is scenery: no push, no stop.
    floor->z = 0.5;
    player->SetPosition(50.0, 139.0);
    scene.CheckCollisions();
    EXPECT_EQ(player->y, 139.0);
    EXPECT_EQ(player->velocityY, 2.0);
}

// The player with the loader's sprite sheet: 208 x 256 pixels of 52 x 64 cells.
class PlayerAnimationTest : public GLWindowTest
{
protected:
    void SetUp() override
    {
        GLWindowTest::SetUp();
        if (IsSkipped())
            return;
        PngImage sheet;
        sheet.width = 208;
        sheet.height = 256;
        sheet.pixels.assign(208 * 256 * 4, 255);
        const std::vector<unsigned char> png = EncodePng(sheet);
        folder.Write("gfx/tovik.png", std::string(png.begin(), png.end()));
        inFolder = std::make_unique<CChangeDirectory>(folder.Path());

        s = std::make_unique<FloorScene>();
        CPlayer* p = s->player;
        p->SetTexture(s->scene->textureManager->GetTexture("gfx\\tovik.png", true, false));
        ASSERT_TRUE(p->GetTexture()->valid);
        p->SetSize(52.0, 64.0);
        p->SetFrameWidth(52);
        p->SetFrameHeight(64);
        const int table[9][3] = {{0, 0, 0},   {1, 0, 3},   {2, 4, 7},   {3, 8, 11}, {5, 12, 15},
                                 {4, 16, 19}, {6, 20, 23}, {7, 11, 11}, {8, 15, 15}};
        for (const auto& row : table)
            p->SetAnimationRange(row[0], row[1], row[2]);
        p->PlayAnimation(2);
        p->spawnX = 100;
        p->spawnY = static_cast<int>(STANDING_Y);
        p->Respawn();
    }

    void TearDown() override
    {
        s.reset();  // textures go before the GL context
        inFolder.reset();
        GLWindowTest::TearDown();
    }

    CTempDir folder;
    std::unique_ptr<CChangeDirectory> inFolder;
    std::unique_ptr<FloorScene> s;
};

TEST_F(PlayerAnimationTest, JumpsAfterTheTakeOffAndLandsOnTheBlock)
{
    CPlayer& p = *s->player;
    s->Frame();
    Press(p, SDLK_SPACE);
    EXPECT_EQ(p.currentAnimation, 5);
    EXPECT_EQ(p.GetFrame(), 12.0);

    // Four take-off frames at 18 per second: 0.3 frames per update, the wrap in the 14th.
    for (int i = 1; i <= 13; ++i)
    {
        s->Frame();
        ASSERT_TRUE(p.playingOnce) << "update " << i;
        ASSERT_DOUBLE_EQ(p.y, STANDING_Y) << "still on the ground in update " << i;
    }
    EXPECT_EQ(static_cast<int>(p.GetFrame()), 15);
    s->Frame();
    EXPECT_FALSE(p.playingOnce);
    EXPECT_TRUE(p.jumpPending);
    EXPECT_EQ(p.currentAnimation, 2) << "back to the walk it came from";
    EXPECT_DOUBLE_EQ(p.y, STANDING_Y);

    s->Frame();
    EXPECT_NEAR(p.velocityY, -8.0 + 16.0 * FRAME, 1e-12);
    double apex = p.y;
    int airborne = 1;
    bool landed = false;
    while (!landed && airborne < 200)
    {
        s->Frame();
        apex = std::min(apex, p.y);
        ++airborne;
        landed = p.velocityY == 0.0 && p.y == STANDING_Y;
    }
    EXPECT_NEAR(STANDING_Y - apex, 116.0, 1.0);
    EXPECT_NEAR(airborne, 60, 2);
    EXPECT_TRUE(landed);

    Press(p, SDLK_SPACE);
    EXPECT_TRUE(p.playingOnce) << "can jump again once landed";
}

TEST_F(PlayerAnimationTest, WalkingAnimationFollowsTheSpeedUntilThePlayerIsFrozen)
{
    CPlayer& p = *s->player;
    Press(p, SDLK_d);
    s->Frames(61);
    EXPECT_EQ(p.GetAnimationSpeed(), 12.0);
    EXPECT_GE(p.GetFrame(), 4.0);
    EXPECT_LT(p.GetFrame(), 8.0);

    p.keyRight = false;
    s->Frames(70);
    EXPECT_EQ(p.GetAnimationSpeed(), 0.0);
    EXPECT_EQ(p.GetFrame(), 4.0) << "standing shows the first frame";

    // Frozen: keys still switch the animation, but nothing moves or advances.
    p.controllable = false;
    p.velocityX = 5.0;
    p.SetAnimationSpeed(12.0);
    const double x = p.x;
    Press(p, SDLK_a);
    EXPECT_TRUE(p.keyLeft);
    EXPECT_EQ(p.currentAnimation, 1);
    EXPECT_EQ(p.GetFrame(), 0.0);
    s->Frames(30);
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, STANDING_Y);
    EXPECT_EQ(p.velocityX, 5.0);
    EXPECT_EQ(p.GetFrame(), 0.0);
}
