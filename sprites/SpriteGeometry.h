// Velmora sprites: the small value types of the scene and the geometric tests
// that work on them (overlap of two quads, point in a quad, bounding box).
#ifndef VELMORA_SPRITES_SPRITEGEOMETRY_H
#define VELMORA_SPRITES_SPRITEGEOMETRY_H

// A point in world coordinates (pixels, y downward).
struct SpritePoint {
    double x;
    double y;
};

// The four corners of a sprite in outline order (see CImageSprite::GetCorners):
// p0 bottom-left, p1 bottom-right, p2 top-right, p3 top-left when unrotated.
struct SpriteQuad {
    SpritePoint p0;
    SpritePoint p1;
    SpritePoint p2;
    SpritePoint p3;
};

// A sprite's rectangle with every value truncated toward zero.
struct SpriteRect {
    int x;
    int y;
    int w;
    int h;
};

// A rectangle in doubles: bounding boxes and the label's text rectangle.
struct SpriteBox {
    double x;
    double y;
    double w;
    double h;
};

// A box by its edges: what the broad phase and the view test work on. Edges,
// not a size, so that a box far out cannot overflow.
struct SpriteExtent {
    double minX;
    double minY;
    double maxX;
    double maxY;
};

// Whether two extents overlap or touch.
inline bool ExtentsMeet(const SpriteExtent& a, const SpriteExtent& b) {
    return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
}

// {min x, min y, max x - min x, max y - min y} over the four corners.
SpriteBox QuadBounds(const SpriteQuad& quad);

// Truncates toward zero as a cast does, but a value beyond +-1e9 pixels (or
// NaN, as 0) is held there, so rectangle sums stay within int. For drawing and
// the game's integer fields only: collision corners are never clamped, so that
// far-apart sprites stay apart.
int TruncateToInt(double value);

// Overlap of two rectangles or parallelograms: circumscribed circles first, then
// the four edge axes (two of each quad). Touching counts as overlapping; an edge
// of length zero separates nothing. A quad with a NaN or infinite corner overlaps
// nothing; distinct finite positions stay distinct at any distance.
bool QuadsOverlap(const SpriteQuad& a, const SpriteQuad& b);

// Whether the point lies inside the quad or on its outline.
bool PointInQuad(const SpriteQuad& quad, double px, double py);

#endif
