// The frame grid and the animation of image sprites; no GL needed.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "resources/CTexture.h"
#include "sprites/CImageSprite.h"

namespace {

class LoopCountingSprite : public CImageSprite {
public:
    void OnAnimationLoop() override { ++loops; }
    int loops = 0;
};

// The player's sheet, 208 x 256, optionally cut into 52 x 64 cells; the frame grid
// needs no pixels, so no GL context.
class SheetSprite : public ::testing::Test {
protected:
    SheetSprite() : sheet(new CTexture("no such image.png", true)) {
        sheet->valid = true;
        sheet->width = 208;
        sheet->height = 256;
        sprite.SetTexture(sheet.get());
    }
    void UseCells(int first, int last) {
        sprite.SetFrameWidth(52);
        sprite.SetFrameHeight(64);
        sprite.SetLastFrame(last);
        sprite.SetFirstFrame(first);
    }
    std::vector<double> Cell() { return {sprite.texU0, sprite.texV0, sprite.texU1, sprite.texV1}; }
    std::unique_ptr<CTexture> sheet;
    LoopCountingSprite sprite;
};

}  // namespace

TEST_F(SheetSprite, ShowsTheWholeImageUntilAGridIsSetThenTheFramesCell) {
    EXPECT_EQ(sprite.frameWidth, 208);
    EXPECT_EQ(Cell(), (std::vector<double>{0, 0, 1, 1}));
    UseCells(0, 15);
    EXPECT_EQ(sprite.GetFrameCount(), 16);
    sprite.SetFrame(5.7);
    EXPECT_EQ(Cell(), (std::vector<double>{0.25, 0.25, 0.5, 0.5}));
    sprite.SetFrame(14.2);
    EXPECT_EQ(Cell(), (std::vector<double>{0.5, 0.75, 0.75, 1.0}));
}

TEST_F(SheetSprite, SetFrameKeepsToTheGridAndWidensTheRange) {
    UseCells(2, 4);
    // In turn: the frame asked for, the frame and range that follow.
    const struct {
        double asked, frame;
        int first, last;
    } steps[] = {{0.0, 2, 2, 4}, {-3, 2, 2, 4}, {9.5, 9.5, 2, 9}, {100, 16, 2, 16}};  // 16: one past the last cell
    for (const auto& s : steps) {
        sprite.SetFrame(s.asked);
        EXPECT_EQ((std::vector<double>{sprite.frame, double(sprite.firstFrame), double(sprite.lastFrame)}),
                  (std::vector<double>{s.frame, double(s.first), double(s.last)})) << s.asked;
    }
}

TEST_F(SheetSprite, WrapSubtractsTheRangesDifferenceAndReportsEachLoop) {
    UseCells(4, 7);
    sprite.SetFrame(7.9);
    sprite.SetAnimationSpeed(12);
    sprite.SetAnimating(true);
    sprite.Update(0.05);
    EXPECT_NEAR(sprite.frame, 5.5, 1e-9);
    EXPECT_EQ(sprite.loops, 1);
    EXPECT_EQ(Cell(), (std::vector<double>{0.25, 0.25, 0.5, 0.5}));

    // One frame per step over 0..3 shows 0, 1, 2, 3 and then skips 0.
    sprite.SetFirstFrame(0);
    sprite.SetLastFrame(3);
    sprite.SetAnimationSpeed(1);
    std::vector<int> shown;
    for (int i = 0; i < 8; ++i) {
        shown.push_back(static_cast<int>(sprite.frame));
        sprite.Update(1.0);
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 1, 2, 3, 1}));
    EXPECT_EQ(sprite.loops, 3);
}

TEST_F(SheetSprite, InconsistentStateWrittenFromOutsideNeitherHangsNorDividesByZero) {
    UseCells(0, 0);
    sprite.firstFrame = 6;  // an inverted range would grow inside the wrap loop
    sprite.lastFrame = 2;
    sprite.SetAnimationSpeed(10);
    sprite.SetAnimating(true);
    sprite.Update(0.5);
    EXPECT_EQ(sprite.loops, 0);

    sheet->width = 40;  // reloaded narrower than one cell: no column to count in
    sprite.UpdateTextureRect();
    EXPECT_EQ(sprite.frameWidth, 40);
    EXPECT_EQ(Cell(), (std::vector<double>{0, 0, 1, 1}));
}

TEST(ImageSpriteRect, PositionsBeyondTheIntRangeAreHeldAtItsEdgeInsteadOfOverflowing) {
    CImageSprite sprite;
    sprite.SetSize(10.9, 20);
    sprite.SetPosition(1e300, -1e300);
    SpriteRect r;
    sprite.GetWorldRect(r);
    EXPECT_EQ((std::vector<int>{r.x, r.y, r.w}), (std::vector<int>{1000000000, -1000000000, 10}));
}
