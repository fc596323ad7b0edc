// The level in data/ played through the real game objects: the game is built and
// loaded as the program does it, and a scripted player presses keys on fixed
// frames of 16 ms. One run reaches the star door, one falls for the chest.

#include "game/CGameMain.h"
#include "game/CPlayer.h"
#include "game/blocks/CEndBlock.h"
#include "game/blocks/CEvilBlock.h"
#include "game/blocks/CGameBlock.h"
#include "game/blocks/CPlatform.h"
#include "resources/CFont.h"
#include "sprites/CLabelSprite.h"
#include "support/GameFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
const double FRAME_SECONDS = 0.016;  // the engine's shortest frame

// A key event dispatched before the update of its frame (frames count from the first Running frame).
struct Step
{
    int frame;
    SDLKey key;
    bool down;
};

// From the spawn point over the walking lesson and the first gap, under the
// ledge with the chest, and up onto the bump beyond it: the part both runs share.
const std::vector<Step> TO_THE_BUMP = {
    {0, SDLK_d, true}, {56, SDLK_d, false},                                  // run, coast to a stop before the steps
    {115, SDLK_d, true}, {116, SDLK_SPACE, true}, {117, SDLK_SPACE, false},  // onto the first step
    {183, SDLK_SPACE, true}, {184, SDLK_SPACE, false},                       // over the second one, down to the grass
    {300, SDLK_SPACE, true}, {301, SDLK_SPACE, false},                       // over the first gap, past the checkpoint
    {398, SDLK_d, false},                                                    // coast to a stop beyond the ledge
    {460, SDLK_d, true}, {461, SDLK_SPACE, true}, {462, SDLK_SPACE, false},  // onto the bump
    {540, SDLK_d, false},                                                    // stop on it
};
// From the bump over the raft and up the lift to the star door.
const std::vector<Step> TO_THE_STAR_DOOR = {
    {600, SDLK_d, true}, {640, SDLK_d, false},     // down to the edge of the wide gap
    {668, SDLK_d, true}, {690, SDLK_d, false},     // onto the raft as it comes in
    {975, SDLK_d, true}, {1010, SDLK_d, false},    // off it, past the second checkpoint
    {1100, SDLK_d, true}, {1128, SDLK_d, false},   // to the foot of the lift
    {1195, SDLK_d, true}, {1196, SDLK_SPACE, true}, {1197, SDLK_SPACE, false},  // onto the lift; up, and on
    {1485, SDLK_SPACE, true}, {1486, SDLK_SPACE, false},                        // over the last gap into the door
};
// From the bump back up onto the ledge, where the chest waits.
const std::vector<Step> TO_THE_CHEST = {{580, SDLK_a, true}, {600, SDLK_SPACE, true}, {601, SDLK_SPACE, false}};

std::vector<Step> Join(std::vector<Step> first, const std::vector<Step>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class ShippedLevel : public GameFixture
{
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        if (IsSkipped())
            return;
        const char* source = std::getenv("QUILLFEN_SOURCE_DIR");
        if (!source)
            GTEST_SKIP() << "QUILLFEN_SOURCE_DIR names the source tree (ctest sets it)";
        // Only what the game reads: not a logfile.txt of an earlier play.
        namespace fs = std::filesystem;
        const fs::path data = fs::path(source) / "data";
        for (const char* part : {"config.ini", "gfx", "fnt", "lvl", "ass", "sfx", "music"})
            fs::copy(data / part, folder->File(part), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }

    // Plays frames of 16 ms, the script's events first, until `done` holds (true) or `limit` frames have passed.
    template <class Condition>
    bool PlayUntil(const std::vector<Step>& steps, Condition done, int limit = 20000)
    {
        while (frame < limit)
        {
            for (const Step& step : steps)
                if (step.frame == frame)
                    Key(step.down ? SDL_KEYDOWN : SDL_KEYUP, step.key);
            game->OnUpdate(FRAME_SECONDS);
            ++frame;
            if (done())
                return true;
        }
        return false;
    }

    int frame = 0;
};
} // namespace

TEST_F(ShippedLevel, LoadsWithoutErrorsAndEveryTextFitsWhereItIsShown)
{
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());
    EXPECT_EQ(Logged("ERROR"), 0) << "a missing image, font or sound:\n" << LogText();
    int signs = 0;
    for (CSprite* sprite : Scene())
    {
        CGameBlock* block = dynamic_cast<CGameBlock*>(sprite);
        int w = 0, h = 0;
        if (!block || block->GetCaption().empty() || !block->GetFont()->MeasureText(block->GetCaption(), w, h))
            continue;
        ++signs;
        EXPECT_LE(w, block->GetWidth() - 16) << block->GetCaption() << ": the board's frame is 8 pixels wide";
        EXPECT_LE(h, block->GetHeight()) << block->GetCaption();
        EXPECT_LT(block->z, 0.0) << block->GetCaption() << ": in front of its caption, the board would hide it";
    }
    EXPECT_GE(signs, 3);
    ASSERT_NE(First<CEndBlock>(), nullptr);
    for (const std::string& text : {First<CEndBlock>()->text, std::string("FATAL ERROR in class CPlayer: div by 0.")})
    {
        int w = 0, h = 0;
        ASSERT_TRUE(game->endLabel->GetFont()->MeasureText(text, w, h));
        EXPECT_LE(w, game->width) << text;
    }
}

TEST_F(ShippedLevel, ReachingTheStarDoorShowsItsTextAndQuitsFiveSecondsLater)
{
    ASSERT_NO_FATAL_FAILURE(StartRunning());
    const std::vector<Step> route = Join(TO_THE_BUMP, TO_THE_STAR_DOOR);
    ASSERT_TRUE(PlayUntil(route, [&] { return game->GetState() != Running; }))
        << "the route ends at " << game->player->x << ", " << game->player->y;
    ASSERT_EQ(game->GetState(), Finished);
    EXPECT_TRUE(First<CEndBlock>()->triggered);
    EXPECT_TRUE(game->player->controllable) << "the chest caught the player on the way";
    EXPECT_EQ(game->endLabel->GetCaption(), First<CEndBlock>()->text);
    EXPECT_EQ(Logged("Checkpoint reached!"), 2) << "both checkpoints lie on the route";

    const int touched = frame;
    EXPECT_TRUE(PlayUntil(route, [&] { return game->quit; }));
    EXPECT_EQ(frame - touched, 313) << "5.0 s at 16 ms a frame: not after 312 frames (4.992 s), after 313";
    Frame(FRAME_SECONDS);
    EXPECT_GT(CountPixelsNear(0, 250, 800, 100, 255, 255, 255, 40), 100) << "the text is drawn in white";
}

TEST_F(ShippedLevel, TheTreasureChestCatchesThePlayerAndEndsInTheFatalError)
{
    ASSERT_NO_FATAL_FAILURE(StartRunning());
    CEvilBlock* chest = First<CEvilBlock>();
    ASSERT_NE(chest, nullptr);
    testing::internal::CaptureStdout();
    const bool caught = PlayUntil(Join(TO_THE_BUMP, TO_THE_CHEST), [&] { return !game->player->controllable; });
    const int caughtAt = frame;
    // The keys do nothing any more; the player only shakes about the anchor. Seven
    // lines, the first at the catch and one every 2 s, then the fatal screen.
    const bool fatal = caught && PlayUntil({{caughtAt, SDLK_a, true}, {caughtAt + 10, SDLK_SPACE, true}},
                                           [&] { return game->GetState() == Finished; });
    const int fatalAt = frame;
    const bool quit = fatal && PlayUntil({}, [&] { return game->quit; });
    const std::string console = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(caught) << "the route ends at " << game->player->x << ", " << game->player->y;
    ASSERT_TRUE(quit);

    EXPECT_EQ(chest->victim, game->player);
    EXPECT_EQ(chest->y, chest->endY) << "the chest jumps with its catch";
    EXPECT_NEAR(game->player->x, chest->anchorX, 5.0);
    EXPECT_NEAR(game->player->y, chest->anchorY, 5.0);
    EXPECT_NEAR((fatalAt - caughtAt) * FRAME_SECONDS, 14.0, FRAME_SECONDS * 1.5);
    EXPECT_NEAR((frame - fatalAt) * FRAME_SECONDS, 4.0, FRAME_SECONDS * 1.5);
    EXPECT_EQ(game->endLabel->GetCaption(), "FATAL ERROR in class CPlayer: div by 0.");
    EXPECT_EQ(game->endLabel->GetFontColor().g, 0);
    EXPECT_EQ(Logged("in class CPlayer: "), 7);

    // The console heard the script up to the switch line; the file heard it all.
    EXPECT_NE(console.find("The chest is opening from the inside."), std::string::npos);
    EXPECT_NE(console.find("FORCED: Console logging disabled."), std::string::npos);
    EXPECT_EQ(console.find("x = gold, y = gold"), std::string::npos);
    EXPECT_EQ(Logged("FORCED in class CPlayer: There is no treasure. There never was."), 1);
}
