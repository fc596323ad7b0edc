// Rotation, corners and rectangles of the rotating sprite; no GL needed.
#include <gtest/gtest.h>

#include <limits>

#include "sprites/CImageSpriteEx.h"

namespace {

void ExpectPoint(const SpritePoint& p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

}  // namespace

TEST(ImageSpriteEx, RotationIsKeptInTheHalfOpenTurn) {
    CImageSpriteEx s;
    s.SetRotation(0);
    EXPECT_EQ(s.GetRotation(), 360);
    s.SetRotation(720);
    EXPECT_EQ(s.GetRotation(), 360);
    s.SetRotation(-90);
    EXPECT_EQ(s.GetRotation(), 270);
    s.SetRotation(450);
    EXPECT_EQ(s.GetRotation(), 90);
    s.SetRotation(-1000.25);
    EXPECT_EQ(s.GetRotation(), 79.75);
    s.SetRotation(1);
    s.Rotate(-1.5);
    EXPECT_EQ(s.GetRotation(), 359.5);
    // No angle (refused) and huge angles (no endless loop of whole turns).
    s.SetRotation(std::numeric_limits<double>::infinity());
    s.SetRotation(std::numeric_limits<double>::quiet_NaN());
    s.SetRotation(1e300);
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
    s.GetRect(r);
    EXPECT_EQ(r.x, 225);
    EXPECT_EQ(r.y, 275);
    EXPECT_EQ(r.w, 50);
    EXPECT_EQ(r.h, 100);

    // World and collision corners follow the parent (the camera).
    CImageSprite camera;
    camera.x = -200;
    s.parent = &camera;
    s.GetCorners(c);
    ExpectPoint(c.p3, 25, 375);
}

TEST(ImageSpriteEx, RectangleTruncatesEachTermOnItsOwn) {
    CImageSpriteEx s;
    s.SetSize(101, 50);
    s.SetRotation(90);  // bounds from (25.5, -25.5), 50 x 101
    s.SetPosition(0.6, 0.6);
    CImageSprite camera;
    camera.x = 0.6;
    camera.y = 0.6;
    s.parent = &camera;
    SpriteRect r;
    s.GetRect(r);
    EXPECT_EQ(r.x, 25);  // not (int)26.1
    EXPECT_EQ(r.y, -25);  // not (int)-24.9
    EXPECT_EQ(r.w, 50);
    EXPECT_EQ(r.h, 101);
    s.GetWorldRect(r);
    EXPECT_EQ(r.x, 26);  // 25 + (int)1.2
    EXPECT_EQ(r.y, -24);
}

TEST(ImageSpriteEx, PivotAndEverySizeChangeRecomputeTheCorners) {
    CImageSpriteEx s;
    SpriteQuad c;
    s.GetLocalCorners(c);
    ExpectPoint(c.p1, 0, 0);  // never sized: every corner at the position
    s.width = 100;            // written directly: the corners do not know yet
    s.SetHeight(-5);          // refused, but recomputes
    s.GetLocalCorners(c);
    ExpectPoint(c.p1, 100, 0);
    s.Resize(0, 50);
    s.SetPivot(0, 0);
    s.SetRotation(90);
    s.GetLocalCorners(c);
    ExpectPoint(c.p3, 0, 0);
    ExpectPoint(c.p2, 0, -100);  // counter-clockwise on screen: the right edge points up
    ExpectPoint(c.p0, 50, 0);
}
