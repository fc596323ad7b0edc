#include "config/Paths.h"
#include "game/CGameMain.h"
#include "game/CPlayer.h"
#include "game/blocks/CEndBlock.h"
#include "game/blocks/CEvilBlock.h"
#include "game/blocks/CGameBlock.h"
#include "log/Log.h"
#include "resources/CFontFactory.h"
#include "sprites/CLabelSprite.h"
#include "sprites/CSpriteManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace
{
const char* const FATAL_TEXT = "FATAL ERROR in class CPlayer: div by 0.";
// Overlaps the player of the fixture, which stands at 100, 100 (52 x 64).
const std::string TOUCHING = "X=120\nY=120\nhasCaption=1\nwidth=40\nheight=40\n";

// The real game object in place of the engine of the GL fixture (SDL 1.2 has one
// window per process), set up by hand as far as the loader would: scene, end
// label and player, in the Running state. The working directory and the start-up
// directory are a temporary folder, so the script file and the log file live there.
class GameEndingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X display (run the tests through ./test.sh)";
        std::filesystem::create_directories(folder.File("fnt"));
        std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
                                   folder.File("fnt/Lucida Console.ttf"));
        SetStartupDirectoryForTesting(folder.Path() + "/");
        inFolder = std::make_unique<CChangeDirectory>(folder.Path());
        LogResetForTesting();
        LogEnable();
        LogEnableFile();

        game = new CGameMain();
        game->spriteManager = new CSpriteManager();
        game->endLabel = new CLabelSprite(nullptr, game->GetFontFactory()->GetFont(DEFAULT_FONT_FILE, 30));
        game->endLabel->SetSize(800.0, 600.0);
        SDL_Color white{};
        white.r = white.g = white.b = 255;
        game->endLabel->SetFontColor(white);
        game->endLabel->SetTextRect(SpriteBox{0.0, 0.0, 800.0, 600.0});
        game->endLabel->SetCaption("Congratulations");
        game->SetState(Running);

        player = new CPlayer();
        player->SetSize(52.0, 64.0);
        player->SetPosition(100.0, 100.0);
        game->player = player;
        game->spriteManager->AddSprite(player);
    }

    void TearDown() override
    {
        if (game)
        {
            game->OnShutdown();
            delete game;
        }
        inFolder.reset();
        LogResetForTesting();
    }

    template <class T> T* AddBlock(const std::string& keys)
    {
        const std::string file = folder.Write("lvl/blocks" + std::to_string(++files) + ".ini", "[0]\n" + keys);
        T* block = new T(game->spriteManager);
        block->fontFactory = game->GetFontFactory();
        block->LoadFromIni(file, "0");
        game->spriteManager->AddSprite(block);
        return block;
    }

    CEvilBlock* AddEvilBlock(const std::string& keys)
    {
        CEvilBlock* block = AddBlock<CEvilBlock>(keys);
        block->game = game;
        return block;
    }

    CEndBlock* AddEndBlock(const std::string& keys)
    {
        CEndBlock* block = AddBlock<CEndBlock>(keys);
        block->game = game;
        return block;
    }

    void Script(const std::string& keys) { folder.Write("ass/ets.1", "[evil]\n" + keys); }
    std::string LogFile() { return folder.Read("logfile.txt"); }
    bool Logged(const std::string& line) { return LogFile().find(line + "\n") != std::string::npos; }

    // The scene's passes of one Running frame (the Finished state runs only Update).
    void Frame(double seconds)
    {
        game->spriteManager->Update(seconds);
        if (game->GetState() == Running)
            game->spriteManager->CheckCollisions();
    }

    CTempDir folder;
    std::unique_ptr<CChangeDirectory> inFolder;
    CGameMain* game = nullptr;
    CPlayer* player = nullptr;
    int files = 0;
};
} // namespace

TEST_F(GameEndingTest, EvilBlockCapturesOnlyThePlayerAndWritesItsStartLines)
{
    Script("l0=1\nt0=first\nl1=3\nt1=second\nl2=2\nt2=third\n");
    // Behind the player's depth, so that it walks into them without being pushed out.
    player->SetPosition(-500.0, 100.0);
    AddBlock<CGameBlock>(TOUCHING + "Z=0.5\n");
    CEvilBlock* evil = AddEvilBlock(TOUCHING + "Z=0.5\nX2=1000\nY2=50\nlines=3\nstart=2\nswitch=9\n");
    Frame(0.0);
    EXPECT_EQ(evil->victim, nullptr) << "another block does not spring the trap";

    player->SetPosition(100.0, 100.0);
    game->spriteManager->CheckCollisions();
    ASSERT_EQ(evil->victim, player);
    EXPECT_FALSE(player->controllable);
    EXPECT_EQ(evil->x, 1000.0);
    EXPECT_EQ(evil->y, 50.0);
    EXPECT_EQ(player->x, 980.0) << "moved by the block's jump";
    EXPECT_EQ(player->y, 30.0);
    EXPECT_TRUE(Logged("STATUS in class CPlayer: first"));
    EXPECT_TRUE(Logged("ERROR in class CPlayer: second"));
    EXPECT_FALSE(Logged("WARNING in class CPlayer: third"));

    // Touching again changes nothing; the shaking never rests on the anchor.
    game->spriteManager->CheckCollisions();
    EXPECT_EQ(evil->x, 1000.0);
    EXPECT_EQ(evil->nextLine, 2);
    for (int i = 1; i <= 16; ++i)
    {
        Frame(0.125);
        const double dx = std::fabs(player->x - 980.0);
        const double dy = std::fabs(player->y - 30.0);
        ASSERT_TRUE((dx == 5.0 && dy == 0.0) || (dx == 0.0 && dy == 5.0)) << dx << ", " << dy;
        ASSERT_EQ(Logged("WARNING in class CPlayer: third"), i == 16) << "update " << i;
    }
}

TEST_F(GameEndingTest, EvilScriptEndsWithTheRedFatalScreenAndQuitsFourSecondsLater)
{
    Script("l0=1\nt0=a\nl1=1\nt1=b\n");
    AddEvilBlock(TOUCHING + "lines=2\nswitch=9\n");
    Frame(0.0);
    double time = 0.0;
    auto runTo = [&](double until) {
        while (time < until)
        {
            Frame(0.5);
            time += 0.5;
        }
    };
    runTo(1.5);
    EXPECT_FALSE(Logged("STATUS in class CPlayer: a"));
    runTo(2.0);
    EXPECT_TRUE(Logged("STATUS in class CPlayer: a"));
    runTo(4.0);
    EXPECT_TRUE(Logged("STATUS in class CPlayer: b"));
    EXPECT_EQ(game->GetState(), Running);
    runTo(6.0);
    EXPECT_EQ(game->GetState(), Finished);
    EXPECT_EQ(game->endLabel->GetCaption(), FATAL_TEXT);
    const SDL_Color colour = game->endLabel->GetFontColor();
    EXPECT_EQ(colour.r, 255);
    EXPECT_EQ(colour.g, 0);
    EXPECT_EQ(colour.b, 0);
    runTo(9.5);
    EXPECT_FALSE(game->quit);
    runTo(10.0);
    EXPECT_TRUE(game->quit);
}

TEST_F(GameEndingTest, EvilBlockPerformsSeveralStepsInALongFrame)
{
    Script("l0=1\nt0=a\nl1=1\nt1=b\nl2=1\nt2=c\n");
    CEvilBlock* evil = AddEvilBlock(TOUCHING + "lines=3\nswitch=9\n");
    Frame(0.0);
    Frame(9.0);  // lines at 2, 4 and 6 s, the fatal screen at 8 s
    EXPECT_TRUE(Logged("STATUS in class CPlayer: c"));
    EXPECT_EQ(game->GetState(), Finished);
    EXPECT_EQ(evil->nextLine, 4);
    // The fatal step starts the four seconds afresh.
    Frame(3.5);
    EXPECT_FALSE(game->quit);
    Frame(0.5);
    EXPECT_TRUE(game->quit);
}

TEST_F(GameEndingTest, EvilScriptThresholdsApplyZeroOnlyInTimedSteps)
{
    Script("l0=1\nt0=zero\nw0=3\n"
           "l1=1\nt1=one\nw1=0\n"
           "l2=2\nt2=two\nw2=0\n"
           "l3=1\nt3=three\n"
           "l4=7\nt4=seven\nw4=9\n");
    AddEvilBlock(TOUCHING + "lines=5\nstart=2\nswitch=9\n");
    Frame(0.0);
    Frame(2.0);
    Frame(2.0);
    Frame(2.0);

    const std::string log = LogFile();
    const size_t setTo3 = log.find("FORCED: Logging level set to 3\n");
    const size_t setTo0 = log.find("FORCED: Logging level set to 0\n");
    const size_t three = log.find("STATUS in class CPlayer: three\n");
    ASSERT_NE(setTo3, std::string::npos);
    ASSERT_NE(setTo0, std::string::npos) << "0 from a timed step is applied";
    ASSERT_NE(three, std::string::npos);
    EXPECT_LT(setTo3, setTo0);
    EXPECT_LT(setTo0, three);
    EXPECT_EQ(log.find("CPlayer: one"), std::string::npos) << "0 at capture is ignored: threshold still 3";
    EXPECT_EQ(log.find("CPlayer: two"), std::string::npos) << "below the threshold, yet a step";
    // A level above 5 gets the logger's own line; a threshold above 4 is refused.
    EXPECT_NE(log.find("class CPlayer: seven\n"), std::string::npos) << log;
    EXPECT_TRUE(Logged("FORCED: Tried to set logging level to incorrect value, ignoring: 9"));
}

TEST_F(GameEndingTest, EvilScriptSwitchLineTurnsTheConsoleOffWhileTheFileGoesOn)
{
    Script("l0=1\nt0=line0\nl1=1\nt1=line1\nl2=1\nt2=line2\n");
    AddEvilBlock(TOUCHING + "lines=3\nswitch=1\n");
    testing::internal::CaptureStdout();
    Frame(0.0);
    Frame(2.0);
    Frame(2.0);
    Frame(2.0);
    const std::string console = testing::internal::GetCapturedStdout();

    const std::string lastLines = "STATUS in class CPlayer: line1\nFORCED: Console logging disabled.\n";
    EXPECT_NE(console.find("STATUS in class CPlayer: line0\n"), std::string::npos);
    EXPECT_EQ(console.size() - lastLines.size(), console.rfind(lastLines)) << console;
    EXPECT_TRUE(Logged("STATUS in class CPlayer: line2"));
}

TEST_F(GameEndingTest, EndBlockShowsItsTextAndQuitsAtExactlyFiveSeconds)
{
    player->SetPosition(-500.0, 100.0);
    AddBlock<CGameBlock>(TOUCHING);
    CEndBlock* end = AddEndBlock(TOUCHING + "Z=0.5\ntext=Well done\n");
    for (int i = 0; i < 40; ++i)
        Frame(0.25);
    EXPECT_FALSE(end->triggered) << "another block does not reach the goal";
    EXPECT_FALSE(game->quit);

    // At another depth, too.
    player->SetPosition(100.0, 100.0);
    game->spriteManager->CheckCollisions();
    EXPECT_EQ(game->GetState(), Finished);
    EXPECT_EQ(game->endLabel->GetCaption(), "Well done");
    EXPECT_EQ(game->endLabel->GetFontColor().r, 255);
    EXPECT_EQ(game->endLabel->GetFontColor().b, 255) << "keeps the loader's white";
    for (int i = 1; i <= 19; ++i)
    {
        Frame(0.25);
        ASSERT_FALSE(game->quit) << "after " << i * 0.25 << " s";
    }
    Frame(0.25);
    EXPECT_TRUE(game->quit);
}

TEST_F(GameEndingTest, TwoEndBlocksTouchedInOneFrameShowTheLaterText)
{
    CEndBlock* first = AddEndBlock(TOUCHING + "text=first\n");
    CEndBlock* second = AddEndBlock(TOUCHING);  // no text: an empty end screen
    Frame(1.0 / 60.0);
    EXPECT_TRUE(first->triggered);
    EXPECT_TRUE(second->triggered);
    EXPECT_EQ(game->endLabel->GetCaption(), "");
    Frame(1.0);
    EXPECT_EQ(first->timer, second->timer);
}
