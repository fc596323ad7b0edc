#include "sprites/SpriteGeometry.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

struct Interval {
    double min;
    double max;
};

double Dot(const SpritePoint& p, double ax, double ay) { return p.x * ax + p.y * ay; }

Interval ProjectTwo(const SpritePoint& a, const SpritePoint& b, double ax, double ay) {
    const double pa = Dot(a, ax, ay);
    const double pb = Dot(b, ax, ay);
    return {std::min(pa, pb), std::max(pa, pb)};
}

Interval ProjectAll(const SpriteQuad& q, double ax, double ay) {
    const double p0 = Dot(q.p0, ax, ay);
    const double p1 = Dot(q.p1, ax, ay);
    const double p2 = Dot(q.p2, ax, ay);
    const double p3 = Dot(q.p3, ax, ay);
    return {std::min(std::min(p0, p1), std::min(p2, p3)), std::max(std::max(p0, p1), std::max(p2, p3))};
}

SpritePoint Centre(const SpriteQuad& q) {
    return {0.25 * (q.p0.x + q.p1.x + q.p2.x + q.p3.x), 0.25 * (q.p0.y + q.p1.y + q.p2.y + q.p3.y)};
}

double SquaredDistance(const SpritePoint& a, const SpritePoint& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    return dx * dx + dy * dy;
}

// True when the axis from `from` to `to` separates the quads. `ownA`/`ownB` are
// the two corners that span the owning quad along that axis.
bool Separates(const SpritePoint& from, const SpritePoint& to, const SpritePoint& ownA,
               const SpritePoint& ownB, const SpriteQuad& otherQuad) {
    const double ax = to.x - from.x;
    const double ay = to.y - from.y;
    // Every projection on a zero axis is 0; skipping it is the same and cheaper.
    if (ax == 0.0 && ay == 0.0) {
        return false;
    }
    const Interval own = ProjectTwo(ownA, ownB, ax, ay);
    const Interval other = ProjectAll(otherQuad, ax, ay);
    return other.max < own.min || own.max < other.min;
}

}  // namespace

SpriteBox QuadBounds(const SpriteQuad& q) {
    const double minX = std::min(std::min(q.p0.x, q.p1.x), std::min(q.p2.x, q.p3.x));
    const double minY = std::min(std::min(q.p0.y, q.p1.y), std::min(q.p2.y, q.p3.y));
    const double maxX = std::max(std::max(q.p0.x, q.p1.x), std::max(q.p2.x, q.p3.x));
    const double maxY = std::max(std::max(q.p0.y, q.p1.y), std::max(q.p2.y, q.p3.y));
    return {minX, minY, maxX - minX, maxY - minY};
}

namespace {

// The test itself, on coordinates small enough (up to EXACT_LIMIT) that its
// products keep whole pixels apart.
bool OverlapTest(const SpriteQuad& a, const SpriteQuad& b) {
    // Most pairs of a level are far apart: the circle test settles them alone.
    const SpritePoint ca = Centre(a);
    const SpritePoint cb = Centre(b);
    const double ra2 = SquaredDistance(ca, a.p0);
    const double rb2 = SquaredDistance(cb, b.p0);
    const double d2 = SquaredDistance(ca, cb);
    // (rA + rB)^2 <= 2 (rA^2 + rB^2): beyond that (with a margin for rounding)
    // the exact test below is sure to reject, so skip its square roots.
    if (d2 > 2.0 * (ra2 + rb2) * (1.0 + 1e-9)) {
        return false;
    }
    if (std::sqrt(ra2) + std::sqrt(rb2) < std::sqrt(d2)) {
        return false;
    }
    if (Separates(a.p2, a.p3, a.p0, a.p1, b)) return false;
    if (Separates(a.p1, a.p2, a.p0, a.p3, b)) return false;
    if (Separates(b.p2, b.p3, b.p0, b.p1, a)) return false;
    if (Separates(b.p1, b.p2, b.p0, b.p3, a)) return false;
    return true;
}

constexpr double EXACT_LIMIT = 16777216.0;  // 2^24
// Beyond this the squares of the test could overflow even after moving the
// quads to the origin.
constexpr double SQUARE_LIMIT = 3.2733906078961419e150;  // 2^500

bool IsFinite(const SpriteQuad& q) {
    return std::isfinite(q.p0.x) && std::isfinite(q.p0.y) && std::isfinite(q.p1.x) && std::isfinite(q.p1.y) &&
           std::isfinite(q.p2.x) && std::isfinite(q.p2.y) && std::isfinite(q.p3.x) && std::isfinite(q.p3.y);
}

double Magnitude(const SpriteQuad& q) {
    return std::max(std::max(std::max(std::fabs(q.p0.x), std::fabs(q.p0.y)), std::max(std::fabs(q.p1.x), std::fabs(q.p1.y))),
                    std::max(std::max(std::fabs(q.p2.x), std::fabs(q.p2.y)), std::max(std::fabs(q.p3.x), std::fabs(q.p3.y))));
}

SpriteQuad ScaledAndMoved(SpriteQuad q, double scale, const SpritePoint& origin) {
    for (SpritePoint* p : {&q.p0, &q.p1, &q.p2, &q.p3}) {
        p->x = p->x * scale - origin.x;
        p->y = p->y * scale - origin.y;
    }
    return q;
}

}  // namespace

bool QuadsOverlap(const SpriteQuad& a, const SpriteQuad& b) {
    // NaN and infinity are no place: such a quad touches nothing.
    if (!IsFinite(a) || !IsFinite(b)) {
        return false;
    }
    const double magnitude = std::max(Magnitude(a), Magnitude(b));
    if (magnitude <= EXACT_LIMIT) {
        return OverlapTest(a, b);
    }
    // Far out, squares of the raw coordinates would round away the pixels that
    // keep sprites apart, or overflow. Only the quads' relative position matters,
    // so measure from a's corner; shrink by a power of two (exact) first where
    // even the differences could overflow.
    const double scale = magnitude > SQUARE_LIMIT ? std::ldexp(1.0, -std::ilogb(magnitude)) : 1.0;
    const SpritePoint origin = {a.p0.x * scale, a.p0.y * scale};
    return OverlapTest(ScaledAndMoved(a, scale, origin), ScaledAndMoved(b, scale, origin));
}

bool PointInQuad(const SpriteQuad& q, double px, double py) {
    const SpritePoint m = Centre(q);
    const SpritePoint p = {px, py};
    if (std::sqrt(SquaredDistance(m, q.p0)) < std::sqrt(SquaredDistance(m, p))) {
        return false;
    }
    const double a1x = q.p3.x - q.p2.x;
    const double a1y = q.p3.y - q.p2.y;
    const Interval i1 = ProjectTwo(q.p0, q.p1, a1x, a1y);
    const double d1 = Dot(p, a1x, a1y);
    if (!(i1.min <= d1 && d1 <= i1.max)) {
        return false;
    }
    const double a2x = q.p2.x - q.p1.x;
    const double a2y = q.p2.y - q.p1.y;
    const Interval i2 = ProjectTwo(q.p0, q.p3, a2x, a2y);
    const double d2 = Dot(p, a2x, a2y);
    return i2.min <= d2 && d2 <= i2.max;
}

int TruncateToInt(double value) {
    constexpr double LIMIT = 1e9;
    if (!(value == value)) {
        return 0;
    }
    if (value > LIMIT) {
        return static_cast<int>(LIMIT);
    }
    if (value < -LIMIT) {
        return static_cast<int>(-LIMIT);
    }
    return static_cast<int>(value);
}
