#include "sprites/CLabelSprite.h"

#include <algorithm>
#include <cstdint>
#include <typeinfo>
#include <utility>

#include "log/Log.h"
#include "resources/CFont.h"
#include "resources/PixelBudget.h"
#include "resources/TextRenderer.h"
#include "sprites/CSpriteBatch.h"

namespace {

// Largest caption surface side. SDL 1.2 keeps a surface's pitch in 16 bits, so a
// 32-bit surface wider than 16383 pixels would get a wrapped pitch and too small a
// buffer; 8192 is also a texture size every GL accepts.
constexpr double MAX_CAPTION_SIDE = 8192.0;

}  // namespace

CLabelSprite::CLabelSprite(CSprite* parentSprite, CFont* labelFont)
    : CImageSprite(parentSprite),
      captionSurface(nullptr),
      captionTexture(0),
      font(labelFont),
      fontColor{0, 0, 0, 0},
      caption(),
      alignH(ALIGN_CENTER),
      alignV(ALIGN_CENTER),
      textRect{0.0, 0.0, 0.0, 0.0},
      captionClip{0, 0, 0, 0},
      captionPending(false),
      captionPart{0, 0, 0, 0},
      captionBytes(0) {
    // The caption texture is made by the first rendering: most blocks of a level
    // have no caption, and the GL keeps an object of about a kilobyte per name.
}

CLabelSprite::~CLabelSprite() {
    if (captionSurface != nullptr) {
        SDL_FreeSurface(captionSurface);
        captionSurface = nullptr;
    }
    if (captionTexture != 0) {
        glDeleteTextures(1, &captionTexture);
    }
    ReleaseCaptionPixels();
}

void CLabelSprite::Draw(SDL_Surface* screen) {
    if (captionPending) {
        UploadCaption();
    }
    // Without a texture name there is nothing of ours to bind; binding 0 would
    // draw the default texture, an untextured rectangle. The texture holds only
    // the part of the caption surface that the text covers, drawn where it lies.
    if (captionSurface != nullptr && captionTexture != 0 && captionPart.w > 0) {
        glBindTexture(GL_TEXTURE_2D, captionTexture);
        const double wx = GetWorldX() + captionPart.x;
        const double wy = GetWorldY() + captionPart.y;
        const double sw = captionPart.w;
        const double sh = captionPart.h;
        glBegin(GL_QUADS);
        glTexCoord2d(0.0, 1.0);
        glVertex3d(wx, wy + sh, 0.0);
        glTexCoord2d(1.0, 1.0);
        glVertex3d(wx + sw, wy + sh, 0.0);
        glTexCoord2d(1.0, 0.0);
        glVertex3d(wx + sw, wy, 0.0);
        glTexCoord2d(0.0, 0.0);
        glVertex3d(wx, wy, 0.0);
        glEnd();
    }
    CImageSprite::Draw(screen);
}

bool CLabelSprite::AddToBatch(CSpriteBatch& batch) {
    if (!DrawsAsBase()) {
        return false;
    }
    if (!visible) {
        return true;
    }
    if (captionPending) {
        batch.Flush();
        UploadCaption();
    }
    if (captionSurface != nullptr && captionTexture != 0 && captionPart.w > 0) {
        const double wx = GetWorldX() + captionPart.x;
        const double wy = GetWorldY() + captionPart.y;
        // Not snapped to whole pixels: drawn as its own filters say.
        batch.AddRect(captionTexture, depthTest, false, wx, wy, wx + captionPart.w, wy + captionPart.h, 0.0, 0.0, 0.0,
                      1.0, 1.0);
    }
    AddImageQuad(batch);
    return true;
}

bool CLabelSprite::DrawsAsBase() const { return typeid(*this) == typeid(CLabelSprite); }

bool CLabelSprite::GetDrawnExtent(SpriteExtent& out) {
    CImageSprite::GetDrawnExtent(out);
    // Not the texture: it is made only when the caption is first drawn.
    if (captionSurface != nullptr) {
        const double wx = GetWorldX();
        const double wy = GetWorldY();
        out = {std::min(out.minX, wx), std::min(out.minY, wy), std::max(out.maxX, wx + captionSurface->w),
               std::max(out.maxY, wy + captionSurface->h)};
    }
    return true;
}

void CLabelSprite::RenderCaption() {
    captionPending = false;
    ReleaseCaptionPixels();
    if (captionSurface != nullptr) {
        SDL_FreeSurface(captionSurface);
        captionSurface = nullptr;
    }
    if (font == nullptr) {
        return;
    }
    // A negative, NaN or oversized text rectangle gives no surface: no caption.
    if (!(textRect.w >= 0.0 && textRect.h >= 0.0 && textRect.w <= MAX_CAPTION_SIDE &&
          textRect.h <= MAX_CAPTION_SIDE)) {
        return;
    }
    const int surfaceW = NextPowerOfTwo(static_cast<int>(textRect.w));
    const int surfaceH = NextPowerOfTwo(static_cast<int>(textRect.h));
    // The text rectangle is clipped to the label; x and y only take part here.
    double w = textRect.w;
    if (textRect.x + textRect.w > GetWidth()) {
        w = GetWidth() - textRect.x;
    }
    double h = textRect.h;
    if (textRect.y + textRect.h > GetHeight()) {
        h = GetHeight() - textRect.y;
    }
    if (!(w > 0.0)) {
        w = 0.0;
    }
    if (!(h > 0.0)) {
        h = 0.0;
    }
    captionClip = {0, 0, static_cast<int>(w), static_cast<int>(h)};
    // A surface of the caption's size without pixels: the drawing and the drawn
    // extent use its size, the pixels go straight to the texture.
    captionSurface = SDL_CreateRGBSurfaceFrom(nullptr, surfaceW, surfaceH, 32, surfaceW * 4, 0x00FF0000,
                                              0x0000FF00, 0x000000FF, 0xFF000000);
    captionPending = captionSurface != nullptr;
}

void CLabelSprite::UploadCaption() {
    captionPending = false;
    ReleaseCaptionPixels();
    // Only the text's own pixels are kept: a caption surface of 8192 x 8192 with a
    // short text, or none, costs what the text needs. RenderTextPart holds the text
    // lock around SDL_ttf.
    int partX = 0;
    int partY = 0;
    SDL_Surface* canvas = nullptr;
    if (!caption.empty() && captionSurface->w > 0 && captionSurface->h > 0) {
        canvas = RenderTextPart(font, caption, fontColor, captionClip, alignH, alignV, captionSurface->w,
                                captionSurface->h, partX, partY);
    }
    if (canvas == nullptr) {
        return;
    }
    const std::uint64_t bytes = static_cast<std::uint64_t>(canvas->w) * static_cast<std::uint64_t>(canvas->h) * 4u;
    if (!PixelBudgetReserve(bytes)) {
        LogWrite(LOG_ERROR, "Caption \"" + caption + "\" is not drawn: " + PixelBudgetRefusal(bytes),
                 LogClassName(typeid(*this)));
        SDL_FreeSurface(canvas);
        return;
    }
    if (captionTexture == 0) {
        glGenTextures(1, &captionTexture);
    }
    if (captionTexture != 0) {
        glBindTexture(GL_TEXTURE_2D, captionTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, canvas->w, canvas->h, 0, GL_BGRA, GL_UNSIGNED_BYTE, canvas->pixels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        captionPart = {partX, partY, canvas->w, canvas->h};
        captionBytes = bytes;
    } else {
        PixelBudgetRelease(bytes);
    }
    SDL_FreeSurface(canvas);
}

void CLabelSprite::ReleaseCaptionPixels() {
    PixelBudgetRelease(captionBytes);
    captionBytes = 0;
    captionPart = {0, 0, 0, 0};
}

CFont* CLabelSprite::GetFont() { return font; }

void CLabelSprite::SetFont(CFont* f) {
    font = f;
    if (f == nullptr) {
        LogWrite(LOG_WARNING, "Font set to NULL. I hope you know what you're doing.",
                 LogClassName(typeid(*this)));
    }
    RenderCaption();
}

SDL_Color CLabelSprite::GetFontColor() {
    SDL_Color c = {fontColor.r, fontColor.g, fontColor.b, 0};
    return c;
}

void CLabelSprite::SetFontColor(SDL_Color c) {
    fontColor.r = c.r;
    fontColor.g = c.g;
    fontColor.b = c.b;
    RenderCaption();
}

SpriteBox CLabelSprite::GetTextRect() { return textRect; }

void CLabelSprite::SetTextRect(SpriteBox r) {
    const bool resized = r.w != textRect.w || r.h != textRect.h;
    textRect = r;
    if (resized) {
        RenderCaption();
    }
}

int CLabelSprite::GetAlignH() { return alignH; }

void CLabelSprite::SetAlignH(int a) {
    if (a != alignH) {
        alignH = a;
        RenderCaption();
    }
}

int CLabelSprite::GetAlignV() { return alignV; }

void CLabelSprite::SetAlignV(int a) {
    if (a != alignV) {
        alignV = a;
        RenderCaption();
    }
}

std::string CLabelSprite::GetCaption() { return caption; }

void CLabelSprite::SetCaption(std::string s) {
    if (s != caption) {
        caption = std::move(s);
        RenderCaption();
    }
}
