#pragma once

#include <functional>
#include <vector>

struct Point {
    double x = 0.0;
    double y = 0.0;
};

// Axis-aligned bounds of a shape, in pixels.
struct Bounds {
    double x0 = 0.0;
    double y0 = 0.0;
    double x1 = 0.0;
    double y1 = 0.0;
};

// A 2-D region given by an (approximate) signed distance: negative inside,
// positive outside, in pixels. Distances make anti-aliased edges and outlines
// (a grown copy) cheap, and regions combine by min and max.
class Shape {
public:
    using Distance = std::function<double(double x, double y)>;

    Shape(Distance distance, Bounds bounds);

    double DistanceAt(double x, double y) const { return distance(x, y); }
    const Bounds& GetBounds() const { return bounds; }

    Shape Grown(double by) const;
    Shape Union(const Shape& other) const;
    Shape Intersect(const Shape& other) const;
    Shape Minus(const Shape& other) const;
    Shape Moved(double dx, double dy) const;

    static Shape Rect(double x0, double y0, double x1, double y1, double cornerRadius = 0.0);
    static Shape Ellipse(double cx, double cy, double rx, double ry);
    static Shape Circle(double cx, double cy, double r) { return Ellipse(cx, cy, r, r); }
    // A thick line with round ends.
    static Shape Capsule(double x0, double y0, double x1, double y1, double radius);
    // A closed polygon, even-odd rule.
    static Shape Polygon(const std::vector<Point>& points);

private:
    Distance distance;
    Bounds bounds;
};
