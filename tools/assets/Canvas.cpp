#include "tools/assets/Canvas.h"

#include <algorithm>
#include <cmath>

Rgba Mix(const Rgba& from, const Rgba& to, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Rgba WithAlpha(const Rgba& colour, double alpha)
{
    return {colour.r, colour.g, colour.b, alpha};
}

Canvas::Canvas(int width, int height, const Rgba& background)
    : width(width), height(height), pixels(static_cast<size_t>(width) * height, background)
{
}

Rgba Canvas::Get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return {0, 0, 0, 0};
    return pixels[static_cast<size_t>(y) * width + x];
}

void Canvas::Set(int x, int y, const Rgba& colour)
{
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    pixels[static_cast<size_t>(y) * width + x] = colour;
}

void Canvas::Blend(int x, int y, const Rgba& colour, double coverage)
{
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    const double sa = std::clamp(colour.a / 255.0 * coverage, 0.0, 1.0);
    if (sa <= 0.0) return;
    Rgba& d = pixels[static_cast<size_t>(y) * width + x];
    const double da = d.a / 255.0;
    const double oa = sa + da * (1.0 - sa);
    auto channel = [&](double s, double dst) { return (s * sa + dst * da * (1.0 - sa)) / oa; };
    d = {channel(colour.r, d.r), channel(colour.g, d.g), channel(colour.b, d.b), oa * 255.0};
}

void Canvas::Fill(const Shape& shape, const Rgba& colour, double softness)
{
    Fill(shape, [&colour](double, double) { return colour; }, softness);
}

void Canvas::Fill(const Shape& shape, const Paint& paint, double softness)
{
    const Bounds& b = shape.GetBounds();
    const double margin = 1 + softness;
    const int x0 = std::max(0, static_cast<int>(std::floor(b.x0 - margin)));
    const int y0 = std::max(0, static_cast<int>(std::floor(b.y0 - margin)));
    const int x1 = std::min(width - 1, static_cast<int>(std::ceil(b.x1 + margin)));
    const int y1 = std::min(height - 1, static_cast<int>(std::ceil(b.y1 + margin)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            const double coverage = std::clamp(0.5 - shape.DistanceAt(cx, cy) / softness, 0.0, 1.0);
            if (coverage > 0.0) Blend(x, y, paint(cx, cy), coverage);
        }
    }
}

void Canvas::FillOutlined(const Shape& shape, const Rgba& fill, const Rgba& outline, double width)
{
    Fill(shape.Grown(width), outline);
    Fill(shape, fill);
}

void Canvas::Draw(const Canvas& source, int dx, int dy)
{
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) Blend(x + dx, y + dy, source.Get(x, y));
}

Canvas Canvas::Cropped(int x, int y, int w, int h) const
{
    Canvas out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) out.Set(i, j, Get(x + i, y + j));
    return out;
}

Canvas Canvas::MirroredX() const
{
    Canvas out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.Set(width - 1 - x, y, Get(x, y));
    return out;
}

Canvas Canvas::Enlarged(int factor) const
{
    Canvas out(width * factor, height * factor);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.Set(x, y, Get(x / factor, y / factor));
    return out;
}

void Canvas::BleedIntoTransparent(int passes)
{
    for (int pass = 0; pass < passes; ++pass) {
        std::vector<Rgba> next = pixels;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (Get(x, y).a > 0.0) continue;
                double r = 0, g = 0, b = 0, weight = 0;
                for (int j = -1; j <= 1; ++j) {
                    for (int i = -1; i <= 1; ++i) {
                        const Rgba n = Get(x + i, y + j);
                        const double w = n.a > 0.0 ? 1.0 : 0.0;
                        r += n.r * w;
                        g += n.g * w;
                        b += n.b * w;
                        weight += w;
                    }
                }
                // A small alpha marks the pixel as coloured for the next pass;
                // it rounds to 0 in the file.
                if (weight > 0) next[static_cast<size_t>(y) * width + x] = {r / weight, g / weight, b / weight, 1e-6};
            }
        }
        pixels.swap(next);
    }
}

PngImage Canvas::ToPng(int channels) const
{
    PngImage image;
    image.width = width;
    image.height = height;
    image.channels = channels;
    image.pixels.reserve(static_cast<size_t>(width) * height * channels);
    auto byte = [](double v) {
        return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 255.0)));
    };
    for (const Rgba& p : pixels) {
        const double k = channels == 3 ? p.a / 255.0 : 1.0;
        image.pixels.push_back(byte(p.r * k));
        image.pixels.push_back(byte(p.g * k));
        image.pixels.push_back(byte(p.b * k));
        if (channels == 4) image.pixels.push_back(byte(p.a));
    }
    return image;
}
