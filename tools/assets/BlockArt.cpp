#include "tools/assets/BlockArt.h"

#include <cmath>

#include "tools/assets/Noise.h"

namespace {

const Rgba ink{38, 28, 30};
const double kPi = 3.14159265358979;

Rgba Scale(const Rgba& c, double k)
{
    return {c.r * k, c.g * k, c.b * k, c.a};
}

// A four-pointed sparkle.
void Sparkle(Canvas& canvas, double x, double y, double size, const Rgba& colour)
{
    canvas.Fill(Shape::Polygon({{x, y - size}, {x + size * 0.22, y - size * 0.22}, {x + size, y},
                                {x + size * 0.22, y + size * 0.22}, {x, y + size},
                                {x - size * 0.22, y + size * 0.22}, {x - size, y},
                                {x - size * 0.22, y - size * 0.22}}),
                colour);
}

Rgba WoodGrain(double x, double y, const Rgba& base, int seed)
{
    // Grain runs along x: noise stretched lengthwise, folded into rings.
    const double n = ValueNoise(x * 0.25, y * 2.2, 4, 64, seed) + 0.5 * ValueNoise(x, y * 3, 8, 64, seed + 1);
    const double ring = 0.5 + 0.5 * std::sin(n * 9.0);
    return Scale(base, 0.86 + 0.2 * ring);
}

} // namespace

Canvas DrawGround()
{
    const int size = 64;
    Canvas c(size, size);
    const Rgba earthDark{102, 68, 44}, earthLight{156, 110, 70};
    const Rgba grassLight{156, 214, 92}, grass{96, 170, 62}, grassDark{56, 116, 46};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double n = ValueNoise(x, y, 8, 8, 11) * 0.6 + ValueNoise(x, y, 3, 21, 12) * 0.4;
            c.Set(x, y, Mix(earthDark, earthLight, n));
        }
    }
    // Pebbles, repeated across the left and right edges so the texture tiles.
    for (int i = 0; i < 9; ++i) {
        const double px = Hash2(i, 0, 13) * size, py = 22 + Hash2(i, 1, 13) * 38;
        const double rx = 2 + Hash2(i, 2, 13) * 2.5, ry = rx * 0.7;
        const Rgba stone = Mix(Rgba{128, 112, 100}, Rgba{170, 156, 140}, Hash2(i, 3, 13));
        for (double wrap : {-64.0, 0.0, 64.0}) {
            const Shape pebble = Shape::Ellipse(px + wrap, py, rx, ry);
            c.Fill(pebble.Grown(0.8), Scale(earthDark, 0.8));
            c.Fill(pebble, stone);
            c.Fill(pebble.Minus(pebble.Moved(0.8, 1.0)), Scale(stone, 1.18));
        }
    }
    // Grass with an uneven lower edge, a shadow beneath it and blades.
    for (int x = 0; x < size; ++x) {
        const double edge = 11 + 4 * ValueNoise(x, 0, 6, 64 / 6 + 1, 14) + ((x * 7) % 5 == 0 ? 2.5 : 0);
        for (int y = 0; y < size; ++y) {
            if (y < edge) {
                const double t = y / edge;
                Rgba g = t < 0.25 ? Mix(grassLight, grass, t / 0.25) : Mix(grass, grassDark, (t - 0.25) / 0.75);
                g = Scale(g, 0.9 + 0.2 * Hash2(x, y / 3, 15));
                if (y + 1.5 > edge) g = Scale(grassDark, 0.8);
                c.Set(x, y, g);
            } else if (y < edge + 3) {
                c.Blend(x, y, Rgba{40, 26, 18, 120});
            }
        }
    }
    for (int x = 0; x < size; x += 2) c.Set(x, 0, Mix(grassLight, Rgba{230, 250, 190}, Hash2(x, 0, 16)));
    return c;
}

Canvas DrawStone()
{
    const int size = 64, rowH = 16, brickW = 32;
    const Rgba mortar{72, 70, 78};
    Canvas c(size, size, mortar);
    for (int row = 0; row < size / rowH; ++row) {
        const int offset = row % 2 ? brickW / 2 : 0;
        for (int b = -1; b < size / brickW + 1; ++b) {
            const double x0 = b * brickW + offset + 1, x1 = x0 + brickW - 2;
            const double y0 = row * rowH + 1, y1 = y0 + rowH - 2;
            // Per-brick tint, keyed by the brick's wrapped index so that tiles match.
            const int key = ((b * brickW + offset) % size + size) % size;
            const double tint = Hash2(key, row, 21);
            const Rgba base = Mix(Rgba{118, 120, 134}, Rgba{150, 148, 158}, tint);
            const Shape brick = Shape::Rect(x0, y0, x1, y1, 1.5);
            c.Fill(brick, [&](double x, double y) {
                const double n = ValueNoise(x, y, 4, 16, 22) * 0.7 + Hash2(static_cast<int>(x), static_cast<int>(y), 23) * 0.3;
                return Scale(base, 0.88 + 0.2 * n);
            });
            c.Fill(brick.Minus(brick.Moved(1.5, 1.5)), Scale(base, 1.22));
            c.Fill(brick.Minus(brick.Moved(-1.5, -1.5)), Scale(base, 0.7));
            if (tint > 0.75)
                c.Fill(Shape::Capsule(x0 + 6, y0 + 4, x0 + 10, y0 + 8, 0.5).Union(
                           Shape::Capsule(x0 + 10, y0 + 8, x0 + 9, y0 + 12, 0.5)),
                       Scale(base, 0.6));
            if (tint < 0.2) c.Fill(Shape::Ellipse(x0 + 5, y1 - 1, 5, 2.2).Intersect(brick), Rgba{90, 140, 70, 200});
        }
    }
    return c;
}

Canvas DrawPlatform()
{
    const int w = 128, h = 32, cap = 14;
    const Rgba wood{176, 118, 64};
    Canvas c(w, h, ink);
    for (int board = 0; board < 2; ++board) {
        const double y0 = 1 + board * 15, y1 = y0 + 14;
        const Shape plank = Shape::Rect(1, y0, w - 1, y1, 1.0);
        c.Fill(plank, [&](double x, double y) { return WoodGrain(x, y, wood, 31 + board); });
        c.Fill(plank.Minus(plank.Moved(0, 1.5)), Scale(wood, 1.25));
        c.Fill(plank.Minus(plank.Moved(0, -2.0)), Scale(wood, 0.7));
    }
    for (double x0 : {0.0, static_cast<double>(w - cap)}) {
        const Shape plate = Shape::Rect(x0 + 1, 1, x0 + cap - 1, h - 1, 2.0);
        c.Fill(plate.Grown(1), ink);
        c.Fill(plate, [&](double, double y) {
            return Mix(Rgba{206, 212, 222}, Rgba{104, 110, 124}, y / h);
        });
        c.Fill(Shape::Rect(x0 + 3, 2, x0 + 5, h - 3), Rgba{236, 240, 246, 160});
        for (double ry : {7.0, 24.0}) {
            const Shape rivet = Shape::Circle(x0 + cap / 2.0, ry, 2.2);
            c.Fill(rivet.Grown(0.7), Rgba{60, 62, 72});
            c.Fill(rivet, Rgba{170, 174, 184});
            c.Fill(Shape::Circle(x0 + cap / 2.0 - 0.7, ry - 0.7, 0.9), Rgba{245, 245, 250});
        }
    }
    return c;
}

Canvas DrawCheckpoint()
{
    Canvas c(64, 64);
    // Stone foot, post and a gold knob.
    const Shape foot = Shape::Rect(8, 56, 30, 63, 2.5);
    c.FillOutlined(foot, Rgba{140, 140, 150}, ink, 1.2);
    c.Fill(foot.Minus(foot.Moved(0, 1.5)), Rgba{180, 180, 190});
    const Shape post = Shape::Rect(17, 8, 21, 57, 1.0);
    c.FillOutlined(post, Rgba{168, 112, 62}, ink, 1.2);
    c.Fill(Shape::Rect(17.5, 8, 18.6, 56), Rgba{206, 150, 96});
    const Shape knob = Shape::Circle(19, 6, 3.6);
    c.FillOutlined(knob, Rgba{238, 190, 70}, ink, 1.2);
    c.Fill(Shape::Circle(17.8, 4.8, 1.3), Rgba{255, 244, 190});

    // A waving banner.
    std::vector<Point> edge;
    for (int i = 0; i <= 12; ++i) {
        const double t = i / 12.0;
        edge.push_back({21 + t * 38, 10 + 3 * std::sin(t * 2 * kPi) * t});
    }
    for (int i = 12; i >= 0; --i) {
        const double t = i / 12.0;
        edge.push_back({21 + t * 38, 32 - t * 3 + 3 * std::sin(t * 2 * kPi) * t});
    }
    const Shape flag = Shape::Polygon(edge);
    c.FillOutlined(flag, Rgba{64, 172, 110}, ink, 1.3);
    c.Fill(flag, [](double x, double) {
        const double t = (x - 21) / 38;
        return Rgba{20, 60, 40, 70 * (0.5 + 0.5 * std::sin(t * 2 * kPi + 1.2))};
    });
    c.Fill(flag.Intersect(Shape::Rect(21, 8, 60, 14.5)).Minus(flag.Moved(0, -2)), Rgba{150, 226, 170, 200});
    // A feather emblem on the banner.
    const Shape emblem = Shape::Polygon({{33, 27}, {36, 20}, {42, 15}, {45, 14.5}, {43.5, 19}, {38, 25}});
    c.FillOutlined(emblem, Rgba{250, 246, 226}, Rgba{30, 96, 60}, 0.9);
    c.Fill(Shape::Capsule(31.5, 28.5, 43, 16.5, 0.45), Rgba{30, 96, 60});
    return c;
}

Canvas DrawGoal()
{
    Canvas c(64, 64);
    const double cx = 32;
    // Glow behind the door.
    for (int i = 0; i < 6; ++i)
        c.Fill(Shape::Circle(cx, 30, 14 + i * 3.3), Rgba{255, 236, 140, 44}, 6);
    // Rays.
    for (int i = 0; i < 12; ++i) {
        const double a = i * kPi / 6 + 0.2;
        c.Fill(Shape::Polygon({{cx, 30}, {cx + 31 * std::cos(a - 0.08), 30 + 31 * std::sin(a - 0.08)},
                               {cx + 31 * std::cos(a + 0.08), 30 + 31 * std::sin(a + 0.08)}}),
               Rgba{255, 244, 190, 70}, 2);
    }
    // Arched stone frame and a bright opening.
    auto arch = [&](double halfW, double top, double bottom) {
        return Shape::Circle(cx, top + halfW, halfW).Union(Shape::Rect(cx - halfW, top + halfW, cx + halfW, bottom));
    };
    const Shape frame = arch(17, 8, 63);
    c.FillOutlined(frame, Rgba{150, 140, 160}, ink, 1.3);
    c.Fill(frame.Minus(frame.Moved(1.5, 1.5)), Rgba{196, 188, 206});
    for (double y : {30.0, 42.0, 54.0})
        for (double x : {cx - 15.5, cx + 15.5}) c.Fill(Shape::Rect(x - 1.5, y, x + 1.5, y + 0.9), Rgba{100, 92, 110});
    const Shape opening = arch(12, 13, 63);
    c.Fill(opening.Grown(1.0), ink);
    c.Fill(opening, [&](double x, double y) {
        const double d = std::hypot((x - cx) / 12, (y - 40) / 26);
        return Mix(Rgba{255, 255, 240}, Rgba{255, 196, 70}, d);
    });
    // A star over the doorway and a few sparkles.
    std::vector<Point> star;
    for (int i = 0; i < 10; ++i) {
        const double a = -kPi / 2 + i * kPi / 5, r = i % 2 ? 3.2 : 7.5;
        star.push_back({cx + r * std::cos(a), 33 + r * std::sin(a)});
    }
    c.FillOutlined(Shape::Polygon(star), Rgba{255, 226, 90}, Rgba{200, 120, 30}, 1.0);
    Sparkle(c, 12, 14, 4, Rgba{255, 255, 230});
    Sparkle(c, 54, 20, 3, Rgba{255, 255, 230});
    Sparkle(c, 50, 52, 2.5, Rgba{255, 255, 230});
    return c;
}

Canvas DrawTrapChest()
{
    Canvas c(64, 64);
    const Rgba wood{164, 96, 46}, gold{240, 190, 64}, goldDark{178, 116, 30};
    // Warm light leaking round the lid makes it inviting.
    c.Fill(Shape::Ellipse(32, 30, 30, 16), Rgba{255, 220, 120, 90}, 10);
    c.Fill(Shape::Ellipse(32, 61, 28, 3.5), Rgba{0, 0, 0, 70}, 3);

    const Shape body = Shape::Rect(7, 32, 57, 60, 2.5);
    c.FillOutlined(body, wood, ink, 1.4);
    c.Fill(body, [&](double x, double y) { return WoodGrain(x, y, wood, 41); });
    for (double y : {41.0, 50.0}) c.Fill(Shape::Rect(8, y, 56, y + 0.8), Scale(wood, 0.7));
    c.Fill(body.Minus(body.Moved(-1.8, -1.8)), Rgba{60, 30, 14, 110});

    const Shape lid = Shape::Ellipse(32, 30, 25, 14).Intersect(Shape::Rect(5, 14, 59, 30)).Union(
        Shape::Rect(7, 24, 57, 30.5, 1.0));
    c.FillOutlined(lid, wood, ink, 1.4);
    c.Fill(lid, [&](double x, double y) { return WoodGrain(x, y, Scale(wood, 1.08), 42); });
    c.Fill(lid.Minus(lid.Moved(0, 1.8)), Rgba{255, 210, 150, 120});
    // Gap under the lid, glowing with the treasure inside.
    c.Fill(Shape::Rect(8, 30.5, 56, 32.5), Rgba{255, 232, 130});

    // Gold bands and the lock plate.
    for (double x : {14.0, 50.0}) {
        const Shape band = Shape::Rect(x - 3, 17, x + 3, 60).Intersect(lid.Union(body));
        c.FillOutlined(band, gold, goldDark, 0.8);
        c.Fill(Shape::Rect(x - 2.2, 17, x - 0.8, 59).Intersect(band), Rgba{255, 240, 170});
        for (double y : {27.0, 38.0, 55.0}) c.Fill(Shape::Circle(x, y, 1.1), goldDark);
    }
    const Shape plate = Shape::Rect(26, 28, 38, 41, 2.0);
    c.FillOutlined(plate, gold, ink, 1.1);
    c.Fill(plate.Minus(plate.Moved(1.2, 1.2)), Rgba{255, 244, 190});
    c.Fill(Shape::Circle(32, 33, 2.0).Union(Shape::Polygon({{31, 34}, {33, 34}, {34, 38.5}, {30, 38.5}})), Rgba{70, 40, 20});

    // Coins spilled in front, and sparkles.
    for (int i = 0; i < 3; ++i) {
        const double x = 10 + i * 20 + (i == 1 ? 12 : 0), y = 60;
        const Shape coin = Shape::Ellipse(x, y, 3.4, 2.0);
        c.FillOutlined(coin, gold, goldDark, 0.8);
        c.Fill(Shape::Ellipse(x - 0.8, y - 0.5, 1.4, 0.7), Rgba{255, 246, 200});
    }
    Sparkle(c, 46, 12, 4.5, Rgba{255, 255, 235});
    Sparkle(c, 16, 9, 3, Rgba{255, 255, 235});
    Sparkle(c, 40, 24, 2.2, Rgba{255, 255, 255});
    return c;
}

Canvas DrawSign()
{
    const int w = 128, h = 64;
    const Rgba wood{214, 172, 112}, frame{130, 82, 44};
    Canvas c(w, h);
    const Shape outer = Shape::Rect(1.5, 1.5, w - 1.5, h - 1.5, 6);
    c.FillOutlined(outer, frame, ink, 1.3);
    c.Fill(outer, [&](double x, double y) { return WoodGrain(x, y, frame, 51); });
    const Shape inner = Shape::Rect(7, 7, w - 7, h - 7, 3);
    c.Fill(inner.Grown(1), Scale(frame, 0.6));
    c.Fill(inner, [&](double x, double y) {
        // Light and quiet in the middle, where the caption goes.
        const Rgba grain = WoodGrain(x, y, wood, 52);
        return Mix(grain, wood, 0.45);
    });
    c.Fill(Shape::Rect(7, 31.5, w - 7, 32.3), Rgba{150, 110, 64, 120});
    c.Fill(inner.Minus(inner.Moved(1.5, 1.5)), Rgba{90, 56, 28, 90});
    for (double x : {4.5, w - 4.5})
        for (double y : {4.5, h - 4.5}) {
            c.Fill(Shape::Circle(x, y, 1.8), Rgba{70, 66, 74});
            c.Fill(Shape::Circle(x - 0.5, y - 0.5, 0.7), Rgba{210, 210, 220});
        }
    return c;
}

Canvas DrawSky()
{
    const int size = 256;
    Canvas c(size, size);
    const Rgba top{86, 150, 220}, bottom{206, 232, 248};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) c.Set(x, y, Mix(top, bottom, y / (size - 1.0)));
    struct Cloud { double x, y, s; };
    const Cloud clouds[] = {{40, 52, 1.0}, {170, 34, 0.7}, {120, 120, 1.25}, {226, 170, 0.8}, {30, 200, 0.6}};
    for (const Cloud& cloud : clouds) {
        // Puffs on a flat base, repeated past the sides so the sky tiles.
        for (double wrap : {-256.0, 0.0, 256.0}) {
            const double x = cloud.x + wrap, y = cloud.y, s = cloud.s;
            Shape puff = Shape::Rect(x - 26 * s, y - 4 * s, x + 26 * s, y + 6 * s, 5 * s);
            puff = puff.Union(Shape::Circle(x - 14 * s, y - 2 * s, 10 * s))
                       .Union(Shape::Circle(x + 2 * s, y - 9 * s, 14 * s))
                       .Union(Shape::Circle(x + 17 * s, y - 3 * s, 9 * s));
            c.Fill(puff.Moved(0, 3 * s), Rgba{150, 180, 214, 110}, 6 * s);
            c.Fill(puff, Rgba{255, 255, 255, 235}, 4 * s);
            c.Fill(puff.Intersect(Shape::Rect(x - 40 * s, y + 1 * s, x + 40 * s, y + 10 * s)),
                   Rgba{214, 228, 242, 150}, 4 * s);
        }
    }
    return c;
}
