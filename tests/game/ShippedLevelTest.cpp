// The level in data/ loaded as the program loads it: every text fits where it is
// shown. Playing it through without an error is the demo recording's task
// (tests/e2e/test_demo.sh).

#include "game/blocks/CEndBlock.h"
#include "game/blocks/CGameBlock.h"
#include "resources/CFont.h"
#include "sprites/CLabelSprite.h"
#include "support/GameFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
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
};
} // namespace

TEST_F(ShippedLevel, EveryTextFitsWhereItIsShown)
{
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());
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
