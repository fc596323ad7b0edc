#include "config/Paths.h"
#include "game/CPlayer.h"
#include "game/blocks/CCheckPointBlock.h"
#include "game/blocks/CEndBlock.h"
#include "game/blocks/CEvilBlock.h"
#include "game/blocks/CPlatform.h"
#include "resources/CSoundManager.h"
#include "support/GameFixture.h"

#include <gtest/gtest.h>

#include <map>

namespace
{
const double FRAME = 1.0 / 60.0;

class SoundMoments : public GameFixture
{
protected:
    // How often each sound has been asked for so far.
    std::map<std::string, int> Heard()
    {
        std::map<std::string, int> heard;
        for (const std::string* name : {&SOUND_JUMP, &SOUND_LAND, &SOUND_CHECKPOINT, &SOUND_RESPAWN, &SOUND_PLATFORM,
                                        &SOUND_TRAP, &SOUND_GLITCH, &SOUND_GOAL})
            if (const int n = game->sounds->GetSound(*name)->requests)
                heard[*name] = n;
        return heard;
    }
};
} // namespace

// One run through every moment that sounds, each heard once however long it
// lasts: a fall, standing, a jump, a checkpoint, leaving the level box, a
// platform whose contact comes and goes, the goal, the trap and its script.
TEST_F(SoundMoments, EachMomentIsHeardOnceAndStandingStillIsSilent)
{
    Write("lvl/level_static.ini", "[main]\ncount=1\n[0]\nX=-1000\nY=512\nhasCaption=1\nwidth=3000\nheight=64\n"
                                  "[player]\nspawnX=0\nspawnY=300\nmaxY=2000\n");
    const std::string away = "X=5000\nY=0\nZ=-0.5\nhasCaption=1\nwidth=64\nheight=64\n";
    Write("lvl/level_check.ini", "[main]\ncount=1\n[0]\n" + away);
    Write("lvl/level_platform.ini", "[main]\ncount=1\n[0]\n" + away + "X2=6000\nspeed=50\n");
    Write("lvl/level_finish.ini", "[main]\ncount=1\n[0]\n" + away);
    Write("ass/ets.0", "[main]\ncount=1\n[0]\n" + away + "lines=3\nstart=1\nswitch=9\n");
    ASSERT_NO_FATAL_FAILURE(StartRunning());
    ASSERT_TRUE(game->sounds->IsOpen());
    CPlayer* player = game->player;

    Update(FRAME, 120);  // falls onto the floor, then stands
    EXPECT_EQ(Heard(), (std::map<std::string, int>{{SOUND_LAND, 1}}));
    KeyDown(SDLK_SPACE);
    Update(FRAME, 120);
    EXPECT_EQ(Heard(), (std::map<std::string, int>{{SOUND_JUMP, 1}, {SOUND_LAND, 2}}));

    player->y = 2500;
    Update(FRAME);
    for (int i = 0; i < 2; ++i)
        First<CCheckPointBlock>()->OnCollision(player);
    CPlatform* platform = First<CPlatform>();
    for (int frame = 0; frame < 40; ++frame)  // carried every other frame: one start
    {
        platform->OnUpdate(FRAME);
        if (frame % 2 == 0)
            platform->OnCollision(player);
    }
    platform->OnUpdate(1.0);
    platform->OnCollision(player);  // picked up again after a second
    EXPECT_EQ(Heard(), (std::map<std::string, int>{{SOUND_JUMP, 1}, {SOUND_LAND, 2}, {SOUND_RESPAWN, 1},
                                                   {SOUND_CHECKPOINT, 1}, {SOUND_PLATFORM, 2}}));

    First<CEndBlock>()->OnCollision(player);
    First<CEndBlock>()->OnCollision(player);
    CEvilBlock* trap = First<CEvilBlock>();
    trap->OnCollision(player);
    trap->OnCollision(player);
    trap->OnUpdate(2.0);  // the second line
    trap->OnUpdate(2.0);  // the third
    trap->OnUpdate(2.0);  // the fatal screen: no line, no glitch
    EXPECT_EQ(Heard(), (std::map<std::string, int>{{SOUND_JUMP, 1}, {SOUND_LAND, 2}, {SOUND_RESPAWN, 1},
                                                   {SOUND_CHECKPOINT, 1}, {SOUND_PLATFORM, 2}, {SOUND_GOAL, 1},
                                                   {SOUND_TRAP, 1}, {SOUND_GLITCH, 2}}));
}
