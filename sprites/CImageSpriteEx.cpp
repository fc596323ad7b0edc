#include "sprites/CImageSpriteEx.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <typeinfo>

#include <GL/gl.h>

#include "resources/CTexture.h"
#include "sprites/CSpriteBatch.h"

namespace {

constexpr double PI = 3.14159265358979323846;

}  // namespace

CImageSpriteEx::CImageSpriteEx(CSprite* parentSprite)
    : CImageSprite(parentSprite), rotation(0.0), pivotX(0.5), pivotY(0.5), localCorners{} {}

CImageSpriteEx::~CImageSpriteEx() = default;

SpriteQuad* CImageSpriteEx::GetCorners(SpriteQuad& out) { return GetWorldCorners(out); }

void CImageSpriteEx::Draw(SDL_Surface* /*screen*/) {
    CTexture* t = GetTexture();
    if (t == nullptr || !t->valid) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, t->textureId);
    const double wx = GetWorldX();
    const double wy = GetWorldY();
    const double wz = GetWorldZ();
    const SpriteQuad& c = localCorners;
    glBegin(GL_QUADS);
    glTexCoord2d(texU0, texV1);
    glVertex3d(c.p0.x + wx, c.p0.y + wy, wz);
    glTexCoord2d(texU1, texV1);
    glVertex3d(c.p1.x + wx, c.p1.y + wy, wz);
    glTexCoord2d(texU1, texV0);
    glVertex3d(c.p2.x + wx, c.p2.y + wy, wz);
    glTexCoord2d(texU0, texV0);
    glVertex3d(c.p3.x + wx, c.p3.y + wy, wz);
    glEnd();
}

bool CImageSpriteEx::AddToBatch(CSpriteBatch& batch) {
    if (!DrawsAsBase()) {
        return false;
    }
    CTexture* t = GetTexture();
    if (!visible || t == nullptr || !t->valid) {
        return true;
    }
    // The corners Draw emits, added in the same double arithmetic.
    const double wx = GetWorldX();
    const double wy = GetWorldY();
    const SpriteQuad& c = localCorners;
    const SpriteQuad world = {{c.p0.x + wx, c.p0.y + wy}, {c.p1.x + wx, c.p1.y + wy}, {c.p2.x + wx, c.p2.y + wy},
                              {c.p3.x + wx, c.p3.y + wy}};
    batch.AddQuad(t->textureId, depthTest, world, GetWorldZ(), texU0, texV0, texU1, texV1);
    return true;
}

bool CImageSpriteEx::DrawsAsBase() const { return typeid(*this) == typeid(CImageSpriteEx); }

bool CImageSpriteEx::GetDrawnExtent(SpriteExtent& out) {
    // Min and max of the corners Draw emits; adding is monotone, so these bound them.
    const SpriteQuad& c = localCorners;
    const double wx = GetWorldX();
    const double wy = GetWorldY();
    out = {std::min(std::min(c.p0.x, c.p1.x), std::min(c.p2.x, c.p3.x)) + wx,
           std::min(std::min(c.p0.y, c.p1.y), std::min(c.p2.y, c.p3.y)) + wy,
           std::max(std::max(c.p0.x, c.p1.x), std::max(c.p2.x, c.p3.x)) + wx,
           std::max(std::max(c.p0.y, c.p1.y), std::max(c.p2.y, c.p3.y)) + wy};
    return true;
}

void CImageSpriteEx::SetWidth(double w) {
    CImageSprite::SetWidth(w);
    UpdateCorners();
}

void CImageSpriteEx::SetHeight(double h) {
    CImageSprite::SetHeight(h);
    UpdateCorners();
}

// Each term is truncated on its own before adding, so a corner computed as
// 24.999... contributes 24: the rectangle the game has always used.
SpriteRect* CImageSpriteEx::GetRect(SpriteRect& out) {
    const SpriteBox b = QuadBounds(localCorners);
    out = {TruncateToInt(b.x) + TruncateToInt(x), TruncateToInt(b.y) + TruncateToInt(y),
           TruncateToInt(b.w), TruncateToInt(b.h)};
    return &out;
}

SpriteRect* CImageSpriteEx::GetWorldRect(SpriteRect& out) {
    const SpriteBox b = QuadBounds(localCorners);
    out = {TruncateToInt(b.x) + TruncateToInt(GetWorldX()),
           TruncateToInt(b.y) + TruncateToInt(GetWorldY()), TruncateToInt(b.w),
           TruncateToInt(b.h)};
    return &out;
}

double CImageSpriteEx::GetRotation() { return rotation; }

void CImageSpriteEx::SetRotation(double degrees) {
    // A rotation that is not a number, or an infinite one, has no angle.
    if (!std::isfinite(degrees)) {
        return;
    }
    // The remainder is what subtracting whole turns one by one gives (each such
    // step is exact), without looping for ever on huge values.
    double a = std::fmod(degrees, 360.0);
    if (a <= 0.0) {
        a += 360.0;
    }
    if (a != rotation) {
        rotation = a;
        UpdateCorners();
    }
}

SpritePoint CImageSpriteEx::GetPivot() { return {pivotX, pivotY}; }

void CImageSpriteEx::SetPivot(double px, double py) {
    // Any finite fraction is allowed, also outside [0, 1].
    if (!std::isfinite(px) || !std::isfinite(py)) {
        return;
    }
    if (px != pivotX || py != pivotY) {
        pivotX = px;
        pivotY = py;
        UpdateCorners();
    }
}

namespace {
SpriteQuad Translated(SpriteQuad quad, double dx, double dy) {
    for (SpritePoint* p : {&quad.p0, &quad.p1, &quad.p2, &quad.p3}) {
        p->x += dx;
        p->y += dy;
    }
    return quad;
}
}  // namespace

SpriteQuad* CImageSpriteEx::GetLocalCorners(SpriteQuad& out) {
    out = Translated(localCorners, x, y);
    return &out;
}

SpriteQuad* CImageSpriteEx::GetWorldCorners(SpriteQuad& out) {
    out = Translated(localCorners, GetWorldX(), GetWorldY());
    return &out;
}

void CImageSpriteEx::Rotate(double degrees) { SetRotation(rotation + degrees); }

void CImageSpriteEx::UpdateCorners() {
    const double w = width;
    const double h = height;
    SpriteQuad c = {{0.0, h}, {w, h}, {w, 0.0}, {0.0, 0.0}};
    // Only a sprite never given a rotation keeps the exact rectangle; 360 goes
    // through sine and cosine like any other angle.
    if (rotation != 0.0) {
        const double px = w * pivotX;
        const double py = h * pivotY;
        const double theta = rotation / 360.0 * 2.0 * PI;
        const double sn = std::sin(theta);
        const double cs = std::cos(theta);
        SpritePoint* points[4] = {&c.p0, &c.p1, &c.p2, &c.p3};
        for (SpritePoint* p : points) {
            const double dx = p->x - px;
            const double dy = p->y - py;
            *p = {px + dx * cs + dy * sn, py + dy * cs - dx * sn};
        }
    }
    localCorners = c;
}
