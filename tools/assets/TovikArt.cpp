#include "tools/assets/TovikArt.h"

#include <cmath>

namespace {

const Rgba outline{46, 30, 42};
const Rgba skin{255, 218, 180}, skinShadow{232, 170, 134}, skinLight{255, 240, 220};
const Rgba hair{122, 74, 46}, hairLight{170, 112, 70};
const Rgba tunic{62, 126, 178}, tunicShadow{40, 86, 136}, tunicLight{118, 176, 218};
const Rgba belt{98, 62, 38}, buckle{240, 200, 90};
const Rgba legs{72, 68, 98}, legsFar{52, 48, 74};
const Rgba boot{128, 76, 42}, bootFar{90, 54, 32};
const Rgba scarf{214, 58, 52}, scarfShadow{156, 34, 44}, scarfLight{248, 120, 96};
const Rgba feather{246, 238, 208}, featherShadow{204, 190, 150};
const Rgba eye{36, 24, 34}, white{255, 255, 255}, blush{250, 130, 130, 110};

const double kOutline = 1.1;

// Everything a frame changes. The figure faces right; left is the mirror.
struct Pose {
    double nearFootX = 1, farFootX = -1;  // relative to the hip
    double nearLift = 0, farLift = 0;      // foot above the ground
    double drop = 0;                       // body lowered (crouch) or raised (< 0)
    double widen = 1.0;                    // body squash
    double nearArm = 0, farArm = 0;        // radians from hanging, + forward
    double scarfPhase = 0;
    double feetRaise = 0;                  // both feet off the ground
};

// Maps the figure's own 52 x 64 coordinates into the canvas.
struct Place {
    double ox, oy, s;
    double X(double x) const { return ox + x * s; }
    double Y(double y) const { return oy + y * s; }
    double L(double l) const { return l * s; }
    Shape Circle(double x, double y, double r) const { return Shape::Circle(X(x), Y(y), L(r)); }
    Shape Ellipse(double x, double y, double rx, double ry) const
    {
        return Shape::Ellipse(X(x), Y(y), L(rx), L(ry));
    }
    Shape Capsule(double x0, double y0, double x1, double y1, double r) const
    {
        return Shape::Capsule(X(x0), Y(y0), X(x1), Y(y1), L(r));
    }
    Shape Rect(double x0, double y0, double x1, double y1, double r = 0) const
    {
        return Shape::Rect(X(x0), Y(y0), X(x1), Y(y1), L(r));
    }
    Shape Polygon(std::vector<Point> points) const
    {
        for (Point& p : points) p = {X(p.x), Y(p.y)};
        return Shape::Polygon(points);
    }
};

// Base colour with outline, a shadow on the side away from the light (top
// left) and an optional highlight towards it.
void Part(Canvas& canvas, const Place& at, const Shape& shape, const Rgba& base, const Rgba& shadow,
          const Rgba* light = nullptr)
{
    canvas.FillOutlined(shape, base, outline, at.L(kOutline));
    canvas.Fill(shape.Minus(shape.Moved(at.L(-1.6), at.L(-1.8))), shadow);
    if (light) canvas.Fill(shape.Minus(shape.Moved(at.L(1.2), at.L(1.4))), *light);
}

void Leg(Canvas& canvas, const Place& at, double hipX, double hipY, double footX, double footY,
         const Rgba& colour, const Rgba& bootColour)
{
    const double segment = 8.3;
    const double dx = footX - hipX, dy = footY - hipY;
    const double d = std::hypot(dx, dy);
    const double half = std::min(d / 2, segment);
    const double bend = std::sqrt(std::max(0.0, segment * segment - half * half));
    const double kneeX = hipX + dx / 2 + bend * dy / d;
    const double kneeY = hipY + dy / 2 - bend * dx / d;
    const Shape leg = at.Capsule(hipX, hipY, kneeX, kneeY, 2.6).Union(at.Capsule(kneeX, kneeY, footX, footY, 2.4));
    canvas.FillOutlined(leg, colour, outline, at.L(kOutline));
    const Shape shoe = at.Ellipse(footX + 1.6, footY + 0.6, 4.4, 2.7);
    Part(canvas, at, shoe, bootColour, Mix(bootColour, outline, 0.35));
}

void Arm(Canvas& canvas, const Place& at, double shoulderX, double shoulderY, double angle,
         const Rgba& sleeve, const Rgba& hand)
{
    const double length = 8.5;
    const double hx = shoulderX + length * std::sin(angle), hy = shoulderY + length * std::cos(angle);
    const Shape arm = at.Capsule(shoulderX, shoulderY, hx, hy, 2.5);
    canvas.FillOutlined(arm, sleeve, outline, at.L(kOutline));
    canvas.FillOutlined(at.Circle(hx, hy, 2.7), hand, outline, at.L(kOutline));
}

void DrawTovik(Canvas& canvas, const Place& at, const Pose& pose)
{
    const double ground = 58.3 - pose.feetRaise;
    const double d = pose.drop;
    const double hipY = 44.5 + d;
    const double headX = 26, headY = 19 + d * 0.9;
    const double w1 = std::sin(pose.scarfPhase) * 1.4, w2 = std::cos(pose.scarfPhase) * 2.0;

    // Far side first.
    Arm(canvas, at, 23.5, 36 + d, pose.farArm, tunicShadow, skinShadow);
    Leg(canvas, at, 23.5, hipY, 23.5 + pose.farFootX, ground - pose.farLift, legsFar, bootFar);

    // Scarf tail, streaming behind.
    const Shape tail = at.Polygon({{20, 30 + d}, {13, 31.5 + d + w1}, {7, 35 + d + w2}, {3.5, 37.5 + d + w2},
                                   {6.2, 39 + d + w2}, {5, 42 + d + w2}, {10, 39.5 + d + w2}, {15, 36 + d + w1},
                                   {20, 35 + d}});
    Part(canvas, at, tail, scarf, scarfShadow);
    canvas.Fill(at.Capsule(8, 36.4 + d + w2, 14, 33.2 + d + w1, 0.55), scarfLight);

    Leg(canvas, at, 28, hipY, 28 + pose.nearFootX, ground - pose.nearLift, legs, boot);

    // Tunic, a rounded trapezoid that squashes with the crouch.
    const double k = pose.widen;
    const double cx = 26;
    const Shape body = at.Polygon({{cx - 7 * k, 33 + d}, {cx + 7 * k, 33 + d}, {cx + 10 * k, 45.5 + d},
                                   {cx - 10 * k, 45.5 + d}})
                           .Grown(at.L(2.2));
    Part(canvas, at, body, tunic, tunicShadow, &tunicLight);
    canvas.Fill(body.Intersect(at.Rect(10, 40.5 + d, 42, 43.1 + d)), belt);
    canvas.FillOutlined(at.Rect(31.5, 40.3 + d, 34.5, 43.3 + d, 0.6), buckle, outline, at.L(0.7));

    // Head with a cap of hair and a small feather sprouting from it.
    const Shape sprout = at.Polygon({{27, 9.5 + d}, {24, 5.8 + d}, {20, 4.2 + d}, {16, 4.0 + d},
                                     {18.5, 5.8 + d}, {21.5, 8.2 + d}, {24.5, 10 + d}});
    Part(canvas, at, sprout, feather, featherShadow);
    canvas.Fill(at.Capsule(26, 9.2 + d, 18.5, 4.6 + d, 0.35), featherShadow);

    const Shape head = at.Circle(headX, headY, 12.8);
    canvas.FillOutlined(head, skin, outline, at.L(kOutline));
    canvas.Fill(head.Minus(head.Moved(at.L(-2.2), at.L(-2.4))), skinShadow);
    canvas.Fill(at.Ellipse(headX - 5, headY - 5, 3.2, 2.2), WithAlpha(skinLight, 200));
    const Shape fringe = head.Intersect(
        at.Polygon({{8, 4 + d}, {44, 4 + d}, {44, 13 + d}, {38, 11 + d}, {33, 14 + d}, {28, 11 + d},
                    {22, 14.5 + d}, {16, 12 + d}, {8, 19 + d}}));
    canvas.Fill(fringe, hair);
    canvas.Fill(fringe.Intersect(at.Ellipse(headX - 4, headY - 11, 6, 2.2)), hairLight);

    // Face, looking ahead.
    for (double ex : {30.5, 37.0}) {
        canvas.Fill(at.Ellipse(ex, headY + 0.5, 1.6, 2.5), eye);
        canvas.Fill(at.Circle(ex + 0.5, headY - 0.6, 0.75), white);
    }
    canvas.Fill(at.Ellipse(38.8, headY + 5, 2.2, 1.3), blush);
    canvas.Fill(at.Capsule(33.3, headY + 6, 35.4, headY + 5.6, 0.5), outline);

    // Scarf wrap round the neck, over head and body.
    const Shape wrap = at.Rect(15.5, 29 + d, 36.5, 34.5 + d, 2.6);
    Part(canvas, at, wrap, scarf, scarfShadow, &scarfLight);
    canvas.Fill(at.Capsule(20, 31.2 + d, 20, 33 + d, 0.45), scarfShadow);

    Arm(canvas, at, 28.5, 36.5 + d, pose.nearArm, tunic, skin);
}

Pose WalkPose(int frame)
{
    Pose p;
    p.scarfPhase = frame * 1.5708;
    switch (frame) {
    case 0: // passing, also the standing frame
        p.nearFootX = 1; p.farFootX = -1;
        break;
    case 1: // near foot ahead
        p.nearFootX = 7; p.farFootX = -6; p.drop = 1;
        p.nearArm = -0.55; p.farArm = 0.55;
        break;
    case 2: // passing, far foot swinging through
        p.nearFootX = -1; p.farFootX = 1; p.farLift = 2.5; p.drop = -1;
        break;
    default: // far foot ahead
        p.nearFootX = -6; p.farFootX = 7; p.drop = 1;
        p.nearArm = 0.55; p.farArm = -0.55;
        break;
    }
    return p;
}

Pose TakeOffPose(int frame)
{
    Pose p;
    p.nearFootX = 3; p.farFootX = -3;
    switch (frame) {
    case 0:
        p.drop = 2; p.widen = 1.04; p.nearArm = -0.4; p.farArm = -0.3; p.scarfPhase = 0.5;
        break;
    case 1: // deepest crouch, arms swung back
        p.drop = 5; p.widen = 1.1; p.nearArm = -1.0; p.farArm = -0.9; p.scarfPhase = 1.2;
        break;
    case 2: // pushing off on the toes
        p.drop = -1; p.widen = 0.95; p.nearArm = 1.3; p.farArm = 1.1; p.scarfPhase = 3.0;
        p.nearFootX = 1.5; p.farFootX = -1.5; p.nearLift = 1; p.farLift = 1;
        break;
    default: // stretched, leaving the ground
        p.drop = -1.5; p.widen = 0.92; p.nearArm = 1.75; p.farArm = 1.5; p.scarfPhase = 4.2;
        p.nearFootX = 1; p.farFootX = -2; p.feetRaise = 2.5; p.farLift = 1;
        break;
    }
    return p;
}

Canvas Cell(const Pose& pose, bool facingLeft)
{
    Canvas cell(TOVIK_CELL_W, TOVIK_CELL_H);
    DrawTovik(cell, Place{0, 0, 1}, pose);
    return facingLeft ? cell.MirroredX() : cell;
}

} // namespace

Canvas DrawTovikSheet()
{
    // Four cells take 208 of the 256 columns: a power-of-two width, as textures
    // prefer; the clear columns at the right are no cell (the game counts whole cells).
    Canvas sheet(TOVIK_SHEET_W, TOVIK_CELL_H * 4);
    for (int i = 0; i < 4; ++i) {
        sheet.Draw(Cell(WalkPose(i), true), i * TOVIK_CELL_W, 0);
        sheet.Draw(Cell(WalkPose(i), false), i * TOVIK_CELL_W, TOVIK_CELL_H);
        sheet.Draw(Cell(TakeOffPose(i), true), i * TOVIK_CELL_W, 2 * TOVIK_CELL_H);
        sheet.Draw(Cell(TakeOffPose(i), false), i * TOVIK_CELL_W, 3 * TOVIK_CELL_H);
    }
    // Cells are drawn separately so that a pose never reaches into its neighbour.
    sheet.BleedIntoTransparent(2);
    return sheet;
}

Canvas DrawTovikIcon(int size)
{
    // Head and scarf fill the icon; the rest of the body is cut off by the edge.
    const double scale = size / 34.0;
    Canvas icon(size, size);
    DrawTovik(icon, Place{size / 2.0 - 26.0 * scale, -1.8 * scale, scale}, Pose{});
    return icon;
}
