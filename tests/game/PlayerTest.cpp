#include "game/CPlayer.h"
#include "sprites/CSpriteManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
const double FRAME = 1.0 / 60.0;
const double STANDING_Y = 400.0 - 64.0;  // on the floor's top at 400

void Press(CPlayer& player, SDLKey key)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    player.HandleKeyDown(&event);
}

CImageSprite* AddBlock(CSpriteManager& scene, double x, double y, double w, double h)
{
    CImageSprite* block = new CImageSprite();
    block->SetPosition(x, y);
    block->SetSize(w, h);
    scene.AddSprite(block);
    return block;
}

// A 52 x 64 player standing at x 100 on a wide floor, in a scene without GL.
struct FloorScene
{
    CSpriteManager scene;
    CPlayer* player = new CPlayer();

    FloorScene()
    {
        player->SetSize(52.0, 64.0);
        player->SetPosition(100.0, STANDING_Y);
        scene.AddSprite(player);
        AddBlock(scene, -10000.0, 400.0, 100000.0, 50.0);
    }

    // Running frames as the game runs them.
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            scene.Update(FRAME);
            scene.CheckCollisions();
        }
    }
};
} // namespace

TEST(PlayerPhysics, AcceleratesToFullSpeedAndBrakesAndRubsToExactlyZero)
{
    FloorScene s;
    Press(*s.player, SDLK_d);
    for (int i = 1; i <= 60; ++i)
    {
        s.Frames(1);
        ASSERT_NEAR(s.player->velocityX, i / 6.0, 1e-9) << "frame " << i;
        ASSERT_EQ(s.player->y, STANDING_Y) << "stands on the floor";
    }
    s.Frames(1);
    EXPECT_EQ(s.player->velocityX, 10.0);
    const double before = s.player->x;
    s.Frames(1);
    EXPECT_DOUBLE_EQ(s.player->x, before + 10.0);

    // 's' with 'd' still held: braking 15 per second against 10 of acceleration.
    Press(*s.player, SDLK_s);
    s.Frames(1);
    EXPECT_NEAR(s.player->velocityX, 10.0 - 5.0 * FRAME, 1e-12);
    s.player->keyDown = false;
    s.player->keyRight = false;
    s.Frames(59);
    EXPECT_GT(s.player->velocityX, 0.0);
    s.Frames(1);
    EXPECT_EQ(s.player->velocityX, 0.0) << "friction stops at 0, never past it";

    // Walking left and braking without a direction key: friction and brake add up.
    s.player->velocityX = -3.0;
    s.player->keyDown = true;
    s.Frames(1);
    EXPECT_NEAR(s.player->velocityX, -3.0 + 25.0 * FRAME, 1e-12);
}

TEST(PlayerPhysics, InTheAirKeysOnlyChangeTheAnimationAndSpaceWaitsForTheGround)
{
    CPlayer player;
    player.velocityX = 3.0;
    player.velocityY = 2.0;
    Press(player, SDLK_a);
    Press(player, SDLK_s);
    Press(player, SDLK_SPACE);
    player.Update(FRAME);
    EXPECT_EQ(player.velocityX, 3.0) << "no steering, friction or braking in the air";
    EXPECT_NEAR(player.velocityY, 2.0 + 16.0 * FRAME, 1e-12);
    EXPECT_EQ(player.currentAnimation, 1);
    EXPECT_FALSE(player.playingOnce);

    // Standing: the take-off follows the walking direction, a second press keeps the walk to return to.
    const int walks[][3] = {{SDLK_a, 3, 1}, {SDLK_d, 5, 2}};
    for (const auto& walk : walks)
    {
        CPlayer standing;
        Press(standing, static_cast<SDLKey>(walk[0]));
        Press(standing, SDLK_SPACE);
        Press(standing, SDLK_SPACE);
        EXPECT_EQ(standing.currentAnimation, walk[1]);
        EXPECT_EQ(standing.nextAnimation, walk[2]);
        EXPECT_TRUE(standing.playingOnce);
        EXPECT_EQ(standing.GetAnimationSpeed(), 18.0);
    }
}

TEST(PlayerPhysics, RespawnsWhenLeavingTheLevelBox)
{
    CPlayer player;
    player.minX = player.minY = -100;
    player.maxX = player.maxY = 100;
    player.spawnX = 10, player.spawnY = 20, player.spawnZ = 3;  // a depth out of range: z stays
    player.SetPosition(100.0, 0.0);
    player.Update(FRAME);
    EXPECT_EQ(player.x, 100.0) << "the box's edge is inside";

    const double outside[][2] = {{100.5, 0.0}, {-100.5, 0.0}, {0.0, -101.0}, {0.0, 100.5}};
    for (const auto& position : outside)
    {
        player.SetPosition(position[0], position[1]);
        player.velocityX = position[0] < 0.0 ? -4.0 : 4.0;
        player.PlayAnimation(1);
        player.Update(FRAME);
        EXPECT_EQ(std::vector<double>({player.x, player.y, player.z, player.velocityX, player.velocityY}),
                  std::vector<double>({10, 20, 0, 0, 0}));
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
    CImageSprite* floor = AddBlock(scene, 0.0, 200.0, 200.0, 40.0);
    CImageSprite* wall = AddBlock(scene, 300.0, 0.0, 40.0, 400.0);
    CImageSprite* ceiling = AddBlock(scene, 0.0, 0.0, 400.0, 40.0);

    struct Case
    {
        const char* name;
        CImageSprite* block;
        double x, y, wantX, wantY;
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
        player->velocityX = player->velocityY = 2.0;
        player->OnCollision(c.block);
        EXPECT_EQ(std::vector<double>({player->x, player->y, player->velocityX, player->velocityY}),
                  std::vector<double>({c.wantX, c.wantY, c.stopsX ? 0.0 : 2.0, c.stopsX ? 2.0 : 0.0})) << c.name;
    }

    // At another depth the block is scenery: no push, no stop.
    floor->z = 0.5;
    player->SetPosition(50.0, 139.0);
    scene.CheckCollisions();
    EXPECT_EQ(player->y, 139.0);
    EXPECT_EQ(player->velocityY, 2.0);
}
