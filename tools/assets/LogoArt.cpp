#include "tools/assets/LogoArt.h"

#include <cmath>
#include <string>

#include "tools/assets/PixelFont.h"

namespace {

const Rgba ink{24, 30, 44};

Point Lerp(const Point& a, const Point& b, double t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

// A curved feather from the nib at `nib` to the tip at `tip`; `bend` bows
// the shaft sideways.
void DrawQuill(Canvas& c, Point nib, Point tip, double halfWidth, double bend)
{
    const double kPi = 3.14159265358979;
    const double len = std::hypot(tip.x - nib.x, tip.y - nib.y);
    const Point along{(tip.x - nib.x) / len, (tip.y - nib.y) / len};
    const Point side{-along.y, along.x};
    auto spine = [&](double t) {
        const Point p = Lerp(nib, tip, t);
        const double b = bend * std::sin(kPi * t);
        return Point{p.x + side.x * b, p.y + side.y * b};
    };
    const double vaneStart = 0.22;
    auto vaneWidth = [&](double t) {
        const double u = (t - vaneStart) / (1 - vaneStart);
        return halfWidth * std::pow(std::sin(kPi * std::min(1.0, u * 0.92 + 0.04)), 0.7) * (1 - 0.25 * u);
    };
    std::vector<Point> outline;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const double t = vaneStart + (1 - vaneStart) * i / steps;
        const Point p = spine(t);
        const double w = vaneWidth(t) * 1.1;
        outline.push_back({p.x + side.x * w, p.y + side.y * w});
    }
    for (int i = steps; i >= 0; --i) {
        const double t = vaneStart + (1 - vaneStart) * i / steps;
        const Point p = spine(t);
        const double w = vaneWidth(t) * 0.85;
        outline.push_back({p.x - side.x * w, p.y - side.y * w});
    }
    Shape vane = Shape::Polygon(outline);
    // Splits in the vane, slanting towards the tip as real barbs do.
    for (double t : {0.42, 0.66}) {
        const Point p = spine(t);
        const double w = vaneWidth(t);
        const Point q = spine(t + 0.06);
        vane = vane.Minus(Shape::Polygon({{p.x + side.x * (w * 0.35), p.y + side.y * (w * 0.35)},
                                          {q.x + side.x * (w * 1.4), q.y + side.y * (w * 1.4)},
                                          {q.x + side.x * (w * 1.4) - along.x * 4, q.y + side.y * (w * 1.4) - along.y * 4}}));
    }
    {
        const Point p = spine(0.55);
        const double w = vaneWidth(0.55);
        const Point q = spine(0.6);
        vane = vane.Minus(Shape::Polygon({{p.x - side.x * (w * 0.3), p.y - side.y * (w * 0.3)},
                                          {q.x - side.x * (w * 1.3), q.y - side.y * (w * 1.3)},
                                          {q.x - side.x * (w * 1.3) - along.x * 4, q.y - side.y * (w * 1.3) - along.y * 4}}));
    }
    c.FillOutlined(vane, Rgba{236, 244, 246}, ink, 2.0);
    c.Fill(vane, [&](double x, double y) {
        // Pale at the quill, deepening to teal at the tip.
        const double t = ((x - nib.x) * along.x + (y - nib.y) * along.y) / len;
        return Mix(Rgba{248, 250, 244}, Rgba{70, 168, 170}, std::pow(std::max(0.0, t), 1.6));
    });
    // Barb lines.
    for (int i = 3; i < 22; ++i) {
        const double t = vaneStart + (1 - vaneStart) * i / 24.0;
        const Point p = spine(t);
        const Point q = spine(t + 0.05);
        const double w = vaneWidth(t + 0.05);
        c.Fill(Shape::Capsule(p.x, p.y, q.x + side.x * w * 0.9, q.y + side.y * w * 0.9, 0.35).Intersect(vane),
               Rgba{40, 110, 120, 90});
        c.Fill(Shape::Capsule(p.x, p.y, q.x - side.x * w * 0.7, q.y - side.y * w * 0.7, 0.35).Intersect(vane),
               Rgba{40, 110, 120, 70});
    }
    // Shaft and the inked nib.
    for (int i = 0; i < 20; ++i) {
        const Point a = spine(0.04 + 0.9 * i / 20.0), b = spine(0.04 + 0.9 * (i + 1) / 20.0);
        const double r = 1.5 * (1 - 0.6 * i / 20.0);
        c.FillOutlined(Shape::Capsule(a.x, a.y, b.x, b.y, r), Rgba{250, 236, 200}, ink, 0.0);
    }
    const Point n0 = spine(0.06);
    c.FillOutlined(Shape::Polygon({{n0.x + side.x * 2.6, n0.y + side.y * 2.6},
                                   {nib.x - along.x * 6, nib.y - along.y * 6},
                                   {n0.x - side.x * 2.6, n0.y - side.y * 2.6}}),
                   Rgba{60, 66, 84}, ink, 1.0);
}

} // namespace

Canvas DrawLogo()
{
    Canvas c(256, 128);
    const std::string word = "Quillfen";
    const int cell = 6;
    const int textW = PixelTextWidth(word) * cell;
    const double left = (256 - textW) / 2.0, top = 52;

    // The quill lies behind the word, nib at the lower right, with an ink
    // stroke trailing from it under the letters.
    DrawQuill(c, {206, 104}, {46, 10}, 15, -10);
    c.Fill(Shape::Capsule(40, 112, 196, 112, 2.2).Union(Shape::Capsule(196, 112, 200, 110, 1.8)), Rgba{40, 46, 70});
    c.Fill(Shape::Circle(208, 114, 2.4), Rgba{40, 46, 70});

    // Each set font pixel becomes a square block; the bevel follows the
    // letter's outer edges only, so the letters read as solid shapes.
    struct Block {
        Shape shape;
        bool openAbove, openBelow;
    };
    Shape letters = Shape::Rect(-10, -10, -9, -9);
    std::vector<Block> blocks;
    double x = left;
    for (char ch : word) {
        const PixelGlyph& glyph = GetPixelGlyph(ch);
        auto set = [&](int row, int col) {
            return row >= 0 && row < static_cast<int>(glyph.rows.size()) && glyph.rows[row][col] == '#';
        };
        for (int row = 0; row < static_cast<int>(glyph.rows.size()); ++row)
            for (int col = 0; col < glyph.Width(); ++col)
                if (set(row, col)) {
                    const double bx = x + col * cell, by = top + row * cell;
                    const Shape block = Shape::Rect(bx, by, bx + cell, by + cell);
                    blocks.push_back({block, !set(row - 1, col), !set(row + 1, col)});
                    letters = letters.Union(block);
                }
        x += (glyph.Width() + 1) * cell;
    }
    c.Fill(letters.Grown(2.5).Moved(3, 3), Rgba{10, 16, 30, 120}, 2);
    c.Fill(letters.Grown(2.5), ink);
    for (const Block& block : blocks) {
        const Bounds& b = block.shape.GetBounds();
        c.Fill(block.shape, [&](double, double py) {
            return Mix(Rgba{255, 218, 100}, Rgba{228, 110, 44}, (py - top) / (7.0 * cell));
        });
        if (block.openAbove) c.Fill(Shape::Rect(b.x0, b.y0, b.x1, b.y0 + 1.5), Rgba{255, 250, 214, 200});
        if (block.openBelow) c.Fill(Shape::Rect(b.x0, b.y1 - 1.5, b.x1, b.y1), Rgba{130, 44, 20, 130});
    }
    return c;
}
