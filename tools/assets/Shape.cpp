#include "tools/assets/Shape.h"

#include <algorithm>
#include <cmath>

Shape::Shape(Distance distance, Bounds bounds) : distance(std::move(distance)), bounds(bounds) {}

Shape Shape::Grown(double by) const
{
    Distance d = distance;
    return Shape([d, by](double x, double y) { return d(x, y) - by; },
                 {bounds.x0 - by, bounds.y0 - by, bounds.x1 + by, bounds.y1 + by});
}

Shape Shape::Union(const Shape& other) const
{
    Distance a = distance, b = other.distance;
    return Shape([a, b](double x, double y) { return std::min(a(x, y), b(x, y)); },
                 {std::min(bounds.x0, other.bounds.x0), std::min(bounds.y0, other.bounds.y0),
                  std::max(bounds.x1, other.bounds.x1), std::max(bounds.y1, other.bounds.y1)});
}

Shape Shape::Intersect(const Shape& other) const
{
    Distance a = distance, b = other.distance;
    return Shape([a, b](double x, double y) { return std::max(a(x, y), b(x, y)); },
                 {std::max(bounds.x0, other.bounds.x0), std::max(bounds.y0, other.bounds.y0),
                  std::min(bounds.x1, other.bounds.x1), std::min(bounds.y1, other.bounds.y1)});
}

Shape Shape::Minus(const Shape& other) const
{
    Distance a = distance, b = other.distance;
    return Shape([a, b](double x, double y) { return std::max(a(x, y), -b(x, y)); }, bounds);
}

Shape Shape::Moved(double dx, double dy) const
{
    Distance d = distance;
    return Shape([d, dx, dy](double x, double y) { return d(x - dx, y - dy); },
                 {bounds.x0 + dx, bounds.y0 + dy, bounds.x1 + dx, bounds.y1 + dy});
}

Shape Shape::Rect(double x0, double y0, double x1, double y1, double cornerRadius)
{
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double hx = std::fabs(x1 - x0) / 2, hy = std::fabs(y1 - y0) / 2;
    const double r = std::min({cornerRadius, hx, hy});
    return Shape(
        [=](double x, double y) {
            const double qx = std::fabs(x - cx) - (hx - r);
            const double qy = std::fabs(y - cy) - (hy - r);
            const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
            return outside + std::min(std::max(qx, qy), 0.0) - r;
        },
        {cx - hx, cy - hy, cx + hx, cy + hy});
}

Shape Shape::Ellipse(double cx, double cy, double rx, double ry)
{
    const double scale = std::min(rx, ry);
    return Shape(
        [=](double x, double y) {
            return (std::hypot((x - cx) / rx, (y - cy) / ry) - 1.0) * scale;
        },
        {cx - rx, cy - ry, cx + rx, cy + ry});
}

namespace {

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((px - ax) * dx + (py - ay) * dy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

} // namespace

Shape Shape::Capsule(double x0, double y0, double x1, double y1, double radius)
{
    return Shape(
        [=](double x, double y) { return SegmentDistance(x, y, x0, y0, x1, y1) - radius; },
        {std::min(x0, x1) - radius, std::min(y0, y1) - radius,
         std::max(x0, x1) + radius, std::max(y0, y1) + radius});
}

Shape Shape::Polygon(const std::vector<Point>& points)
{
    Bounds b{1e9, 1e9, -1e9, -1e9};
    for (const Point& p : points) {
        b.x0 = std::min(b.x0, p.x);
        b.y0 = std::min(b.y0, p.y);
        b.x1 = std::max(b.x1, p.x);
        b.y1 = std::max(b.y1, p.y);
    }
    return Shape(
        [points](double x, double y) {
            double nearest = 1e9;
            bool inside = false;
            const size_t n = points.size();
            for (size_t i = 0, j = n - 1; i < n; j = i++) {
                const Point& a = points[i];
                const Point& c = points[j];
                nearest = std::min(nearest, SegmentDistance(x, y, a.x, a.y, c.x, c.y));
                if ((a.y > y) != (c.y > y) && x < (c.x - a.x) * (y - a.y) / (c.y - a.y) + a.x)
                    inside = !inside;
            }
            return inside ? -nearest : nearest;
        },
        b);
}
