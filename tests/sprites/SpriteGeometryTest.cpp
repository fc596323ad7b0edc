// Overlap and point tests of sprite corners; no GL needed.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sprites/CImageSprite.h"
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
    for (const auto& c : cases) {
        EXPECT_EQ(QuadsOverlap(c.a, c.b), c.overlap) << c.b.p0.x << ", " << c.b.p0.y;
    }
}

TEST(SpritePointTest, EdgesAndCornersAreInsideAndJustBeyondIsNot) {
    CImageSprite s;
    s.SetPosition(20, 30);
    s.SetSize(40, 10);
    SpriteQuad corners;
    s.GetCorners(corners);
    const SpriteQuad diamond = Turned(0, 0, 10, 10, 45);
    const struct {
        const SpriteQuad& quad;
        double x, y;
        bool inside;
    } cases[] = {
        {corners, 20, 30, true},    {corners, 60, 35, true},    {corners, 40, 40, true},
        {corners, 19.9, 35, false}, {corners, 40, 40.1, false}, {corners, 200, 35, false},
        {diamond, 0, 14, true},     {diamond, 9, 9, false},  // inside the bounding box only
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PointInQuad(c.quad, c.x, c.y), c.inside) << c.x << ", " << c.y;
    }
}
