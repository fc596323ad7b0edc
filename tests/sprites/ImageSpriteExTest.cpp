// Rotation, corners and rectangles of the rotating sprite; no GL needed.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "sprites/CImageSpriteEx.h"

namespace {

void ExpectPoint(const SpritePoint& p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

std::vector<int> Values(const SpriteRect& r) { return {r.x, r.y, r.w, r.h}; }

}  // namespace

TEST(ImageSpriteEx, RotationIsKeptInTheHalfOpenTurn) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Each set in turn; no angle (refused) keeps the last one.
    const struct {
        double set, kept;
    } cases[] = {{0, 360}, {720, 360}, {-90, 270}, {450, 90}, {-1000.25, 79.75}, {inf, 79.75}, {nan, 79.75}};
    CImageSpriteEx s;
    for (const auto& c : cases) {
        s.SetRotation(c.set);
        EXPECT_EQ(s.GetRotation(), c.kept) << c.set;
    }
    s.SetRotation(1);
    s.Rotate(-1.5);
    EXPECT_EQ(s.GetRotation(), 359.5);
    s.SetRotation(1e300);  // no endless loop of whole turns
    EXPECT_GT(s.GetRotation(), 0);
    EXPECT_LE(s.GetRotation(), 360);
}

TEST(ImageSpriteEx, QuarterTurnStandsTheRectangleUpAroundItsCentre) {
    CImageSpriteEx s;
    s.SetSize(100, 50);
    s.SetPosition(200, 300);
    s.SetRotation(90);
    SpriteQuad c;
    s.GetLocalCorners(c);
    ExpectPoint(c.p0, 275, 375);
    ExpectPoint(c.p1, 275, 275);
    ExpectPoint(c.p2, 225, 275);
    ExpectPoint(c.p3, 225, 375);
    SpriteRect r;
    EXPECT_EQ(Values(*s.GetRect(r)), (std::vector<int>{225, 275, 50, 100}));

    // World and collision corners follow the parent (the camera).
    CImageSprite camera;
    camera.x = -200;
    s.parent = &camera;
    s.GetCorners(c);
    ExpectPoint(c.p3, 25, 375);
}

TEST(ImageSpriteEx, RectangleTruncatesEachTermOnItsOwnAndChangesRecomputeTheCorners) {
    CImageSpriteEx s;
    s.SetSize(101, 50);
    s.SetRotation(90);  // bounds from (25.5, -25.5), 50 x 101
    s.SetPosition(0.6, 0.6);
    CImageSprite camera;
    camera.x = camera.y = 0.6;
    s.parent = &camera;
    SpriteRect r;
    EXPECT_EQ(Values(*s.GetRect(r)), (std::vector<int>{25, -25, 50, 101}));  // not (int)26.1, (int)-24.9
    EXPECT_EQ(Values(*s.GetWorldRect(r)), (std::vector<int>{26, -24, 50, 101}));  // 25 + (int)1.2

    s.parent = nullptr;
    s.SetPosition(0, 0);
    s.width = 100;    // written directly: the corners do not know yet
    s.SetHeight(-5);  // refused, but recomputes
    s.SetPivot(0, 0);
    SpriteQuad c;
    s.GetLocalCorners(c);
    ExpectPoint(c.p3, 0, 0);
    ExpectPoint(c.p2, 0, -100);  // counter-clockwise on screen: the right edge points up
    ExpectPoint(c.p0, 50, 0);
}
