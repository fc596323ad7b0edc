#pragma once

#include <functional>
#include <vector>

#include "tools/PngWriter.h"
#include "tools/assets/Shape.h"

// A colour with straight (not premultiplied) alpha, components 0..255.
struct Rgba {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 255.0;
};

Rgba Mix(const Rgba& from, const Rgba& to, double t);
Rgba WithAlpha(const Rgba& colour, double alpha);

// An RGBA drawing surface. Shapes are filled with anti-aliased edges taken
// from their signed distance at each pixel centre, and composited "over".
class Canvas {
public:
    using Paint = std::function<Rgba(double x, double y)>;

    Canvas(int width, int height, const Rgba& background = {0, 0, 0, 0});

    int Width() const { return width; }
    int Height() const { return height; }

    Rgba Get(int x, int y) const;
    void Set(int x, int y, const Rgba& colour);
    // Composites the colour over the pixel with the given coverage 0..1.
    void Blend(int x, int y, const Rgba& colour, double coverage = 1.0);

    // softness widens the anti-aliased edge to that many pixels (glows, clouds).
    void Fill(const Shape& shape, const Rgba& colour, double softness = 1.0);
    void Fill(const Shape& shape, const Paint& paint, double softness = 1.0);
    // The cartoon look: the shape grown by the outline width in the outline
    // colour, then the shape itself on top.
    void FillOutlined(const Shape& shape, const Rgba& fill, const Rgba& outline, double width);

    // Composites another canvas over this one with its top-left corner at dx, dy.
    void Draw(const Canvas& source, int dx, int dy);
    Canvas Cropped(int x, int y, int w, int h) const;
    Canvas MirroredX() const;
    Canvas Enlarged(int factor) const;
    // Gives fully transparent pixels the colour of their visible neighbours, so
    // that linear texture filtering does not pull a black fringe into edges.
    void BleedIntoTransparent(int passes);

    // channels 3 drops alpha (composited over black), 4 keeps it.
    PngImage ToPng(int channels) const;

private:
    int width;
    int height;
    std::vector<Rgba> pixels;
};
