#include "sprites/CImageSprite.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include <GL/gl.h>

#include "resources/CTexture.h"
#include "sprites/CSpriteBatch.h"

namespace {

// Sizes must be usable as pixel counts: negative, NaN and infinite are refused.
bool IsUsableSize(double value) { return value >= 0.0 && std::isfinite(value); }

}  // namespace

CImageSprite::CImageSprite(CSprite* parentSprite)
    : CSprite(parentSprite),
      width(0.0),
      height(0.0),
      frameWidth(0),
      frameHeight(0),
      depthTest(true),
      visible(true),
      firstFrame(0),
      lastFrame(0),
      animationSpeed(0.0),
      frame(0.0),
      animating(false),
      texU0(0.0),
      texV0(0.0),
      texU1(0.0),
      texV1(0.0),
      texture(nullptr) {
    UpdateTextureRect();
}

CImageSprite::~CImageSprite() = default;

void CImageSprite::Render(SDL_Surface* screen) {
    if (!visible) {
        return;
    }
    if (depthTest) {
        glEnable(GL_DEPTH_TEST);
    }
    Draw(screen);
    if (depthTest) {
        glDisable(GL_DEPTH_TEST);
    }
}

void CImageSprite::Update(double seconds) {
    if (animating && animationSpeed > 0.0) {
        const int old = static_cast<int>(frame);
        frame += seconds * animationSpeed;
        // Subtracting the difference (not the range's length) skips the first
        // frame after the first pass: that is the game's animation feel.
        while (lastFrame + 1 <= frame) {
            // A one-frame range keeps growing; an inverted range (fields written
            // directly) would grow inside this loop for ever, so it stops too.
            if (firstFrame >= lastFrame) {
                break;
            }
            frame -= lastFrame - firstFrame;
            OnAnimationLoop();
        }
        if (static_cast<int>(frame) != old) {
            UpdateTextureRect();
        }
    }
    OnUpdate(seconds);
}

SpriteQuad* CImageSprite::GetCorners(SpriteQuad& out) {
    // The world rectangle truncated as GetWorldRect does, but kept in doubles and
    // never clamped: sprites thrown far out must not all meet at the clamp.
    const double left = std::trunc(GetWorldX());
    const double top = std::trunc(GetWorldY());
    const double right = left + std::trunc(GetWidth());
    const double bottom = top + std::trunc(GetHeight());
    out.p0 = {left, bottom};
    out.p1 = {right, bottom};
    out.p2 = {right, top};
    out.p3 = {left, top};
    return &out;
}

bool CImageSprite::GetDrawnExtent(SpriteExtent& out) {
    const double wx = GetWorldX();
    const double wy = GetWorldY();
    const double w = GetWidth();
    const double h = GetHeight();
    out = {std::min(wx, wx + w), std::min(wy, wy + h), std::max(wx, wx + w), std::max(wy, wy + h)};
    return true;
}

bool CImageSprite::DrawnRect(double& left, double& top, double& right, double& bottom, double& depth) {
    double wx = GetWorldX();
    double wy = GetWorldY();
    depth = GetWorldZ();
    const double w = GetWidth();
    const double h = GetHeight();
    // A cell drawn one to one lands on whole pixels: each texel fills one pixel
    // exactly, so tiles stay sharp and touching tiles meet without a blended
    // joint wherever the camera stops. Stretched sprites keep their position.
    const bool oneToOne = w == frameWidth && h == frameHeight;
    if (oneToOne) {
        wx = std::floor(wx + 0.5);
        wy = std::floor(wy + 0.5);
    }
    left = wx;
    top = wy;
    right = wx + w;
    bottom = wy + h;
    return oneToOne;
}

void CImageSprite::Draw(SDL_Surface* /*screen*/) {
    if (texture == nullptr || !texture->valid) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    double left, top, right, bottom, wz;
    DrawnRect(left, top, right, bottom, wz);
    glBegin(GL_QUADS);
    glTexCoord2d(texU0, texV1);
    glVertex3d(left, bottom, wz);
    glTexCoord2d(texU1, texV1);
    glVertex3d(right, bottom, wz);
    glTexCoord2d(texU1, texV0);
    glVertex3d(right, top, wz);
    glTexCoord2d(texU0, texV0);
    glVertex3d(left, top, wz);
    glEnd();
}

void CImageSprite::AddImageQuad(CSpriteBatch& batch) {
    if (texture == nullptr || !texture->valid) {
        return;
    }
    double left, top, right, bottom, wz;
    const bool oneToOne = DrawnRect(left, top, right, bottom, wz);
    batch.AddRect(texture->textureId, depthTest, oneToOne, left, top, right, bottom, wz, texU0, texV0, texU1, texV1);
}

bool CImageSprite::AddToBatch(CSpriteBatch& batch) {
    if (!DrawsAsBase()) {
        return false;
    }
    if (visible) {
        AddImageQuad(batch);
    }
    return true;
}

bool CImageSprite::DrawsAsBase() const { return typeid(*this) == typeid(CImageSprite); }

void CImageSprite::OnUpdate(double /*seconds*/) {}

void CImageSprite::OnAnimationLoop() {}

double CImageSprite::GetWidth() { return width; }

void CImageSprite::SetWidth(double w) {
    if (IsUsableSize(w)) {
        width = w;
    }
}

double CImageSprite::GetHeight() { return height; }

void CImageSprite::SetHeight(double h) {
    if (IsUsableSize(h)) {
        height = h;
    }
}

int CImageSprite::GetFrameHeight() { return frameHeight; }

void CImageSprite::SetFrameHeight(int n) {
    if (texture == nullptr) {
        return;
    }
    frameHeight = (n > 0 && n <= texture->height) ? n : texture->height;
    SetFrame(GetFrame());
    UpdateTextureRect();
}

int CImageSprite::GetFrameWidth() { return frameWidth; }

void CImageSprite::SetFrameWidth(int n) {
    if (texture == nullptr) {
        return;
    }
    frameWidth = (n > 0 && n <= texture->width) ? n : texture->width;
    SetFrame(GetFrame());
    UpdateTextureRect();
}

int CImageSprite::GetFirstFrame() { return firstFrame; }

void CImageSprite::SetFirstFrame(int n) {
    const int count = GetFrameCount();
    // Without cells this gives -1: there is no frame to start from.
    firstFrame = n < 0 ? 0 : (n >= count ? count - 1 : n);
    if (lastFrame < firstFrame) {
        lastFrame = firstFrame;
    }
    if (frame < firstFrame || frame > lastFrame + 1) {
        SetFrame(firstFrame);
    }
}

int CImageSprite::GetLastFrame() { return lastFrame; }

void CImageSprite::SetLastFrame(int n) {
    const int count = GetFrameCount();
    lastFrame = n < 0 ? 0 : (n >= count ? count - 1 : n);
    if (firstFrame > lastFrame) {
        firstFrame = lastFrame;
    }
    if (frame < firstFrame || frame > lastFrame + 1) {
        SetFrame(firstFrame);
    }
}

double CImageSprite::GetAnimationSpeed() { return animationSpeed; }

void CImageSprite::SetAnimationSpeed(double s) { animationSpeed = s < 0.0 ? 0.0 : s; }

double CImageSprite::GetFrame() { return frame; }

void CImageSprite::SetFrame(double f) {
    const int count = GetFrameCount();
    const double old = frame;
    if (f > 0.0 && f < count + 1) {
        frame = f;
    } else if (f <= 0.0) {
        frame = firstFrame;
    } else if (f >= count + 1) {
        // The value itself: a cell one past the last.
        frame = count;
    }
    // An explicitly set frame widens the range to include it.
    if (firstFrame > frame) {
        firstFrame = static_cast<int>(frame);
    }
    if (lastFrame < frame) {
        lastFrame = static_cast<int>(frame);
    }
    if (std::floor(old) != std::floor(frame)) {
        UpdateTextureRect();
    }
}

bool CImageSprite::IsAnimating() { return animating; }

void CImageSprite::SetAnimating(bool b) { animating = b; }

CTexture* CImageSprite::GetTexture() { return texture; }

void CImageSprite::SetTexture(CTexture* t) {
    texture = t;
    if (t != nullptr) {
        SetFrameWidth(t->width);
        SetFrameHeight(t->height);
        SetFirstFrame(firstFrame);
        SetLastFrame(lastFrame);
        SetFrame(frame);
    } else {
        frameWidth = 0;
        frameHeight = 0;
        frame = 0.0;
        firstFrame = 0;
        lastFrame = 0;
    }
}

SpriteRect* CImageSprite::GetRect(SpriteRect& out) {
    out = {TruncateToInt(x), TruncateToInt(y), TruncateToInt(GetWidth()),
           TruncateToInt(GetHeight())};
    return &out;
}

SpriteRect* CImageSprite::GetWorldRect(SpriteRect& out) {
    out = {TruncateToInt(GetWorldX()), TruncateToInt(GetWorldY()), TruncateToInt(GetWidth()),
           TruncateToInt(GetHeight())};
    return &out;
}

void CImageSprite::Move(double dx, double dy) {
    x += dx;
    y += dy;
}

void CImageSprite::SetPosition(double px, double py) {
    x = px;
    y = py;
}

void CImageSprite::Resize(double dw, double dh) {
    SetWidth(GetWidth() + dw);
    SetHeight(GetHeight() + dh);
}

void CImageSprite::SetSize(double w, double h) {
    SetWidth(w);
    SetHeight(h);
}

int CImageSprite::GetFrameCount() {
    if (texture == nullptr || texture->width <= 0 || texture->height <= 0 || frameWidth <= 0 ||
        frameHeight <= 0) {
        return 0;
    }
    return (texture->height / frameHeight) * (texture->width / frameWidth);
}

void CImageSprite::UpdateTextureRect() {
    if (texture == nullptr || texture->width <= 0 || texture->height <= 0) {
        texU0 = texV0 = texU1 = texV1 = 0.0;
        return;
    }
    const double texW = texture->width;
    const double texH = texture->height;
    // A cell larger than the image (its texture was reloaded smaller) has no
    // column to count in: treat it like an unset grid rather than divide by zero.
    if (frameWidth <= 0 || frameHeight <= 0 || frameWidth > texture->width ||
        frameHeight > texture->height) {
        frameWidth = texture->width;
        frameHeight = texture->height;
        texU0 = 0.0;
        texV0 = 0.0;
        texU1 = 1.0;
        texV1 = 1.0;
        return;
    }
    if (GetFrameCount() < std::floor(frame)) {
        SetFrame(0.0);
        texU0 = 0.0;
        texV0 = 0.0;
        texU1 = frameWidth / texW;
        texV1 = frameHeight / texH;
        return;
    }
    const int columns = texture->width / frameWidth;
    const int index = static_cast<int>(frame);
    const int col = index % columns;
    const int row = index / columns;
    texU0 = col * frameWidth / texW;
    texV0 = row * frameHeight / texH;
    texU1 = (col + 1) * frameWidth / texW;
    texV1 = (row + 1) * frameHeight / texH;
}
