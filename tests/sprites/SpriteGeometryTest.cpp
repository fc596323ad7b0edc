// Overlap and point tests of sprite corners; no GL needed.
#include <gtest/gtest.h>

#include <cmath>

#include "sprites/CImageSprite.h"
#include "sprites/SpriteGeometry.h"

namespace {

CImageSprite* Box(CImageSprite& s, double x, double y, double w, double h) {
    s.SetPosition(x, y);
    s.SetSize(w, h);
    return &s;
}

// A rectangle of half sizes hw x hh about (cx, cy), turned by `degrees`.
SpriteQuad Turned(double cx, double cy, double hw, double hh, double degrees) {
    const double a = degrees * M_PI / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    auto at = [&](double dx, double dy) { return SpritePoint{cx + dx * c - dy * s, cy + dx * s + dy * c}; };
    return {at(-hw, hh), at(hw, hh), at(hw, -hh), at(-hw, -hh)};
}

}  // namespace

TEST(SpriteOverlap, TouchingEdgesCollideAfterTruncationAndAGapDoesNot) {
    CImageSprite a;
    CImageSprite b;
    Box(a, 0, 0, 10, 10);
    EXPECT_TRUE(a.CollidesWith(Box(b, 10, 0, 10, 10)));
    EXPECT_TRUE(a.CollidesWith(Box(b, 10.5, 0, 10, 10)));  // truncated to 10
    EXPECT_FALSE(a.CollidesWith(Box(b, 11, 0, 10, 10)));
    EXPECT_TRUE(a.CollidesWith(Box(b, 10, 10, 10, 10)));  // corner on corner
    EXPECT_FALSE(a.CollidesWith(Box(b, 500, 400, 10, 10)));
}

TEST(SpriteOverlap, RotatedRectanglesAreSeparatedByTheirEdgeAxes) {
    const SpriteQuad square = Turned(0, 0, 10, 10, 0);
    // A diamond off the square's corner: the circles overlap, an axis of the
    // diamond separates them.
    EXPECT_FALSE(QuadsOverlap(square, Turned(19, 19, 10, 10, 45)));
    EXPECT_FALSE(QuadsOverlap(Turned(19, 19, 10, 10, 45), square));
    EXPECT_TRUE(QuadsOverlap(square, Turned(15, 15, 10, 10, 45)));
    // A cross: no corner of either lies inside the other.
    EXPECT_TRUE(QuadsOverlap(Turned(0, 0, 30, 2, 0), Turned(0, 0, 30, 2, 90)));
    EXPECT_TRUE(QuadsOverlap(Turned(0, 0, 30, 2, 30), Turned(5, 5, 30, 2, 120)));
}

TEST(SpriteOverlap, AQuadWithoutSizeIsAPointThatOnlyItsPositionSeparates) {
    const SpriteQuad square = Turned(0, 0, 10, 10, 0);
    EXPECT_TRUE(QuadsOverlap(Turned(3, -4, 0, 0, 0), square));
    EXPECT_TRUE(QuadsOverlap(square, Turned(10, 10, 0, 0, 0)));
    EXPECT_FALSE(QuadsOverlap(Turned(10.5, 0, 0, 0, 0), square));
    EXPECT_FALSE(QuadsOverlap(square, Turned(0, 10.5, 0, 0, 0)));
}

TEST(SpritePointTest, EdgesAndCornersAreInsideAndJustBeyondIsNot) {
    CImageSprite s;
    SpriteQuad corners;
    Box(s, 20, 30, 40, 10)->GetCorners(corners);
    EXPECT_TRUE(PointInQuad(corners, 20, 30));
    EXPECT_TRUE(PointInQuad(corners, 60, 35));
    EXPECT_TRUE(PointInQuad(corners, 40, 40));
    EXPECT_FALSE(PointInQuad(corners, 19.9, 35));
    EXPECT_FALSE(PointInQuad(corners, 40, 40.1));
    EXPECT_FALSE(PointInQuad(corners, 200, 35));

    const SpriteQuad diamond = Turned(0, 0, 10, 10, 45);
    EXPECT_TRUE(PointInQuad(diamond, 0, 14));
    EXPECT_FALSE(PointInQuad(diamond, 9, 9));  // inside the bounding box only
}
