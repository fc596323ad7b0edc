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

// The player's sheet: 208 x 256 pixels. Without a GL context the texture has no
// pixels, which is all the frame grid needs.
class SheetSprite : public ::testing::Test {
protected:
    SheetSprite() : sheet(new CTexture("no such image.png", true)) {
        sheet->valid = true;
        sheet->width = 208;
        sheet->height = 256;
        sprite.SetTexture(sheet.get());
    }
    void UseCellsOf52By64() {
        sprite.SetFrameWidth(52);
        sprite.SetFrameHeight(64);
    }
    void ExpectCell(double u0, double v0, double u1, double v1) {
        EXPECT_DOUBLE_EQ(sprite.texU0, u0);
        EXPECT_DOUBLE_EQ(sprite.texV0, v0);
        EXPECT_DOUBLE_EQ(sprite.texU1, u1);
        EXPECT_DOUBLE_EQ(sprite.texV1, v1);
    }
    std::unique_ptr<CTexture> sheet;
    LoopCountingSprite sprite;
};

}  // namespace

TEST_F(SheetSprite, ShowsTheWholeImageUntilAGridIsSetThenTheFramesCell) {
    EXPECT_EQ(sprite.frameWidth, 208);
    EXPECT_EQ(sprite.frameHeight, 256);
    ExpectCell(0, 0, 1, 1);

    UseCellsOf52By64();
    EXPECT_EQ(sprite.GetFrameCount(), 16);
    sprite.SetFrame(5.7);
    ExpectCell(0.25, 0.25, 0.5, 0.5);
    sprite.SetFrame(14.2);
    ExpectCell(0.5, 0.75, 0.75, 1.0);

    sprite.SetFrameWidth(300);  // larger than the image: the whole width
    EXPECT_EQ(sprite.frameWidth, 208);
}

TEST_F(SheetSprite, SetFrameKeepsToTheGridAndWidensTheRange) {
    UseCellsOf52By64();
    sprite.SetLastFrame(4);
    sprite.SetFirstFrame(2);
    sprite.SetFrame(0.0);
    EXPECT_EQ(sprite.frame, 2.0);
    sprite.SetFrame(-3);
    EXPECT_EQ(sprite.frame, 2.0);
    sprite.SetFrame(9.5);
    EXPECT_EQ(sprite.firstFrame, 2);
    EXPECT_EQ(sprite.lastFrame, 9);
    sprite.SetFrame(100);
    EXPECT_EQ(sprite.frame, 16.0);  // one past the last cell
}

TEST_F(SheetSprite, WrapSubtractsTheRangesDifferenceAndReportsEachLoop) {
    UseCellsOf52By64();
    sprite.SetLastFrame(7);
    sprite.SetFirstFrame(4);
    sprite.SetFrame(7.9);
    sprite.SetAnimationSpeed(12);
    sprite.SetAnimating(true);
    sprite.Update(0.05);
    EXPECT_NEAR(sprite.frame, 5.5, 1e-9);
    EXPECT_EQ(sprite.loops, 1);
    ExpectCell(0.25, 0.25, 0.5, 0.5);

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
    UseCellsOf52By64();
    sprite.firstFrame = 6;  // an inverted range would grow inside the wrap loop
    sprite.lastFrame = 2;
    sprite.SetAnimationSpeed(10);
    sprite.SetAnimating(true);
    sprite.Update(0.5);
    EXPECT_EQ(sprite.loops, 0);

    sheet->width = 40;  // reloaded narrower than one cell: no column to count in
    sprite.UpdateTextureRect();
    EXPECT_EQ(sprite.frameWidth, 40);
    ExpectCell(0, 0, 1, 1);
}

TEST(ImageSpriteRect, PositionsBeyondTheIntRangeAreHeldAtItsEdgeInsteadOfOverflowing) {
    CImageSprite sprite;
    sprite.SetSize(10.9, 20);
    sprite.SetPosition(1e300, -1e300);
    SpriteRect rect;
    sprite.GetWorldRect(rect);
    EXPECT_EQ(rect.x, 1000000000);
    EXPECT_EQ(rect.y, -1000000000);
    EXPECT_EQ(rect.w, 10);
    sprite.SetPosition(-3.7, 2.9);
    sprite.GetRect(rect);
    EXPECT_EQ(rect.x, -3);
    EXPECT_EQ(rect.y, 2);
}
