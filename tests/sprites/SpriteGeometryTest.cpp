// Corners of plain and rotated sprites, their rectangles and their overlap; no GL needed.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "sprites/CImageSprite.h"
#include "sprites/CImageSpriteEx.h"
#include "sprites/CSpriteManager.h"
#include "sprites/SpriteGeometry.h"

namespace {

// A rectangle of half sizes hw x hh about (cx, cy), turned by `degrees`.
SpriteQuad Turned(double cx, double cy, double hw, double hh, double degrees) {
    const double a = degrees * M_PI / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    auto at = [&](double dx, double dy) { return SpritePoint{cx + dx * c - dy * s, cy + dx * s + dy * c}; };
    return {at(-hw, hh), at(hw, hh), at(hw, -hh), at(-hw, -hh)};
}

class CCountingSprite : public CImageSprite {
public:
    CCountingSprite(int& counter, double px, double py) : calls(counter) {
        SetPosition(px, py);
        SetSize(10, 10);
    }
    void OnCollision(CSprite*) override { ++calls; }
    int& calls;
};

void ExpectPoint(const SpritePoint& p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

std::vector<int> Values(const SpriteRect& r) { return {r.x, r.y, r.w, r.h}; }

}  // namespace

TEST(SpriteOverlap, TruncatedRectanglesTouchAtEdgesAndFarPositionsStayApart) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double maxInt = 2147483647.0;
    const double minInt = -2147483648.0;
    struct Case {
        double ax, ay, bx, by;  // two 10 x 10 sprites
        bool overlap;
    };
    const Case cases[] = {
        // Touching edges, truncated to touching, a gap, corner on corner, far apart.
        {0, 0, 10, 0, true}, {0, 0, 10.5, 0, true}, {0, 0, 11, 0, false}, {0, 0, 10, 10, true}, {0, 0, 500, 400, false},
        // Thrown as far as a level file's integers reach: blocks near the start stay behind.
        {maxInt, minInt, 50000, 0, false}, {maxInt, minInt, maxInt + 10, minInt - 10, true},
        {maxInt, minInt, maxInt + 11, minInt, false}, {1e9 + 100, 0, 1e9 + 10000, 0, false}, {-3e9, 0, -5e9, 0, false},
        {1e15, 1e15, 1e15 + 9.9, 1e15 - 9, true}, {1e15, 0, 1e15 + 11, 0, false},
        {1e300, 1e300, -1e300, -1e300, false}, {1e300, 0, 1e300, 0, true}, {1e300, 0, 0, 0, false},
        {-1.7e308, 0, 1.7e308, 0, false}, {1.7e308, 1.7e308, 1.7e308, 1.7e308, true},  // even differences overflow
        // No number is no place.
        {nan, 0, 0, 0, false}, {nan, nan, nan, nan, false}, {inf, 0, inf, 0, false}, {-inf, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        int calls = 0;
        CSpriteManager manager;
        CSprite* a = new CCountingSprite(calls, c.ax, c.ay);
        CSprite* b = new CCountingSprite(calls, c.bx, c.by);
        manager.AddSprite(a);
        manager.AddSprite(b);
        SCOPED_TRACE(testing::Message() << c.ax << ", " << c.ay << " / " << c.bx << ", " << c.by);
        EXPECT_EQ(a->CollidesWith(b), c.overlap);
        EXPECT_EQ(b->CollidesWith(a), c.overlap);
        manager.CheckCollisions();  // the pass too: its boxes must not merge them either
        EXPECT_EQ(calls, c.overlap ? 2 : 0);
    }
}

TEST(SpriteOverlap, RotatedAndPointQuadsAreSeparatedOnlyByEdgesOfLength) {
    const SpriteQuad square = Turned(0, 0, 10, 10, 0);
    const SpriteQuad farSquare = Turned(3e9, 3e9, 10, 10, 0);
    const struct {
        SpriteQuad a, b;
        bool overlap;
    } cases[] = {
        // A diamond off the square's corner: the circles overlap, an axis of the diamond separates them.
        {square, Turned(19, 19, 10, 10, 45), false}, {Turned(19, 19, 10, 10, 45), square, false},
        {square, Turned(15, 15, 10, 10, 45), true},
        // A cross: no corner of either lies inside the other.
        {Turned(0, 0, 30, 2, 0), Turned(0, 0, 30, 2, 90), true}, {Turned(0, 0, 30, 2, 30), Turned(5, 5, 30, 2, 120), true},
        // A quad without size is a point.
        {Turned(3, -4, 0, 0, 0), square, true}, {square, Turned(10, 10, 0, 0, 0), true},
        {Turned(10.5, 0, 0, 0, 0), square, false}, {square, Turned(0, 10.5, 0, 0, 0), false},
        // Far out turned shapes keep their pixels.
        {farSquare, Turned(3e9 + 19, 3e9 + 19, 10, 10, 45), false}, {farSquare, Turned(3e9 + 15, 3e9 + 15, 10, 10, 45), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QuadsOverlap(c.a, c.b), c.overlap) << c.b.p0.x << ", " << c.b.p0.y;
}

TEST(ImageSpriteEx, RotationIsKeptInTheHalfOpenTurn) {
    const double inf = std::numeric_limits<double>::infinity();
    // Each set in turn, and what is kept; no angle is refused.
    const double cases[][2] = {{0, 360}, {720, 360}, {-90, 270}, {450, 90}, {-1000.25, 79.75}, {inf, 79.75}, {NAN, 79.75}};
    CImageSpriteEx s;
    for (const auto& c : cases) {
        s.SetRotation(c[0]);
        EXPECT_EQ(s.GetRotation(), c[1]) << c[0];
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
