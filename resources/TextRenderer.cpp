#include "resources/TextRenderer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <GL/gl.h>
#include "resources/CFont.h"

namespace {

// Frees a temporary surface on every path out.
class SurfaceGuard {
public:
    explicit SurfaceGuard(SDL_Surface* surface) : surface_(surface) {}
    ~SurfaceGuard() { SDL_FreeSurface(surface_); }
    SurfaceGuard(const SurfaceGuard&) = delete;
    SurfaceGuard& operator=(const SurfaceGuard&) = delete;

private:
    SDL_Surface* surface_;
};

// Start of a text of `textLength` pixels in a span of the rectangle; alignment
// values other than centre and end count as start. Computed in 64 bits so that
// no int overflows; the result wraps into the Sint16 range of an SDL rectangle.
Sint16 AlignedStart(int align, int start, int length, int textLength) {
    long long position = start;
    if (align == ALIGN_CENTER) {
        // Truncated toward zero, not floored: -1.5 becomes -1.
        position = static_cast<long long>(0.5 * (static_cast<double>(length) - textLength) + start);
    } else if (align == ALIGN_END) {
        position = static_cast<long long>(start) + length - textLength;
    }
    return static_cast<Sint16>(position);
}

void BlitToSurface(SDL_Surface* text, Sint16 x, Sint16 y, SDL_Surface* target) {
    SDL_Rect source = {0, 0, static_cast<Uint16>(text->w), static_cast<Uint16>(text->h)};
    SDL_Rect destination = {x, y, 0, 0};
    SDL_UpperBlit(text, &source, target, &destination);
}

// The power-of-two canvas that holds `text` as the OpenGL mode shows it: text
// beyond the rectangle's width and height is cut off. Null when nothing shows (a
// rectangle of no or negative size shows nothing rather than wrapping to a huge
// SDL size). The caller frees it.
SDL_Surface* MakeCanvas(SDL_Surface* text, const TextRect& rect) {
    const int copyW = std::min(text->w, rect.w);
    const int copyH = std::min(text->h, rect.h);
    const int canvasW = NextPowerOfTwo(text->w);
    const int canvasH = NextPowerOfTwo(text->h);
    if (copyW <= 0 || copyH <= 0 || canvasW <= 0 || canvasH <= 0) {
        return nullptr;
    }
    SDL_Surface* canvas = SDL_CreateRGBSurface(0, canvasW, canvasH, 32, 0x00FF0000, 0x0000FF00,
                                               0x000000FF, 0xFF000000);
    if (canvas == nullptr) {
        return nullptr;
    }
    // The canvas starts transparent. The colour key skips the text's background,
    // and the 8-bit text has no per-surface alpha, so glyph pixels land opaque.
    SDL_Rect source = {0, 0, static_cast<Uint16>(copyW), static_cast<Uint16>(copyH)};
    SDL_Rect destination = {0, 0, 0, 0};
    SDL_UpperBlit(text, &source, canvas, &destination);
    return canvas;
}

// Rasterises and places `text` as RenderText does; null when there is nothing to show.
SDL_Surface* Rasterise(CFont* font, std::string& text, SDL_Color color) {
    if (font == nullptr || text.empty()) {
        return nullptr;
    }
    // Only SDL_ttf needs the lock; the blit and the GL work run outside it.
    std::lock_guard<std::recursive_mutex> lock(TextLock());
    int w = 0;
    int h = 0;
    if (font->font == nullptr || !FitText(font->font, text, w, h) || text.empty()) {
        return nullptr;
    }
    return TTF_RenderText_Solid(font->font, text.c_str(), color);
}

}  // namespace

std::recursive_mutex& TextLock() {
    static std::recursive_mutex lock;
    return lock;
}

bool FitText(TTF_Font* font, std::string& text, int& w, int& h) {
    if (text.size() > MAX_TEXT_BYTES) {
        text.resize(MAX_TEXT_BYTES);
    }
    // SDL_ttf stops at a zero byte; so does everything after it here.
    text.resize(std::strlen(text.c_str()));
    if (TTF_SizeText(font, text.c_str(), &w, &h) != 0 || h > MAX_TEXT_SIDE) {
        w = h = 0;
        return false;
    }
    if (w <= MAX_TEXT_SIDE) {
        return true;
    }
    // The longest beginning that fits; an empty one always does.
    std::size_t fits = 0;
    std::size_t tooLong = text.size();
    while (tooLong - fits > 1) {
        const std::size_t middle = fits + (tooLong - fits) / 2;
        int middleW = 0;
        int middleH = 0;
        if (TTF_SizeText(font, text.substr(0, middle).c_str(), &middleW, &middleH) == 0 &&
            middleW <= MAX_TEXT_SIDE) {
            fits = middle;
        } else {
            tooLong = middle;
        }
    }
    text.resize(fits);
    if (TTF_SizeText(font, text.c_str(), &w, &h) != 0) {
        w = h = 0;
        return false;
    }
    return true;
}

int NextPowerOfTwo(int n) {
    // Doubling is exact; the logarithm quotient rounds up past 2^29 to 2^30.
    if (n <= 0 || n > (1 << 30)) {
        return 0;
    }
    int power = 1;
    while (power < n) {
        power <<= 1;
    }
    return power;
}

void RenderText(CFont* font, std::string text, SDL_Color color, TextRect rect, int alignH,
                int alignV, SDL_Surface* target) {
    if (target == nullptr) {
        int x = 0;
        int y = 0;
        SDL_Surface* canvas = RenderTextCanvas(font, std::move(text), color, rect, alignH, alignV, x, y);
        if (canvas == nullptr) {
            return;
        }
        SurfaceGuard canvasGuard(canvas);
        GLuint texture = 0;
        glGenTextures(1, &texture);
        UploadTextCanvas(texture, canvas);
        DrawTextQuad(x, y, canvas->w, canvas->h);
        glFinish();
        glDeleteTextures(1, &texture);
        return;
    }
    SDL_Surface* rendered = Rasterise(font, text, color);
    if (rendered == nullptr) {
        return;
    }
    SurfaceGuard renderedGuard(rendered);
    const Sint16 x = AlignedStart(alignH, rect.x, rect.w, rendered->w);
    const Sint16 y = AlignedStart(alignV, rect.y, rect.h, rendered->h);
    BlitToSurface(rendered, x, y, target);
}

SDL_Surface* RenderTextCanvas(CFont* font, std::string text, SDL_Color color, TextRect rect, int alignH,
                              int alignV, int& x, int& y) {
    SDL_Surface* rendered = Rasterise(font, text, color);
    if (rendered == nullptr) {
        return nullptr;
    }
    SurfaceGuard renderedGuard(rendered);
    x = AlignedStart(alignH, rect.x, rect.w, rendered->w);
    y = AlignedStart(alignV, rect.y, rect.h, rendered->h);
    return MakeCanvas(rendered, rect);
}

SDL_Surface* RenderTextPart(CFont* font, std::string text, SDL_Color color, TextRect rect, int alignH, int alignV,
                            int targetW, int targetH, int& x, int& y) {
    SDL_Surface* rendered = Rasterise(font, text, color);
    if (rendered == nullptr) {
        return nullptr;
    }
    SurfaceGuard renderedGuard(rendered);
    const int textX = AlignedStart(alignH, rect.x, rect.w, rendered->w);
    const int textY = AlignedStart(alignV, rect.y, rect.h, rendered->h);
    // What the blit onto the target would keep.
    const int left = std::max(textX, 0);
    const int top = std::max(textY, 0);
    const int right = std::min(textX + rendered->w, targetW);
    const int bottom = std::min(textY + rendered->h, targetH);
    if (right <= left || bottom <= top) {
        return nullptr;
    }
    SDL_Surface* canvas = SDL_CreateRGBSurface(0, NextPowerOfTwo(right - left), NextPowerOfTwo(bottom - top), 32,
                                               0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    if (canvas == nullptr) {
        return nullptr;
    }
    SDL_Rect source = {static_cast<Sint16>(left - textX), static_cast<Sint16>(top - textY),
                       static_cast<Uint16>(right - left), static_cast<Uint16>(bottom - top)};
    SDL_Rect destination = {0, 0, 0, 0};
    SDL_UpperBlit(rendered, &source, canvas, &destination);
    x = left;
    y = top;
    return canvas;
}

void UploadTextCanvas(GLuint texture, SDL_Surface* canvas) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, canvas->w, canvas->h, 0, GL_BGRA, GL_UNSIGNED_BYTE, canvas->pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void DrawTextQuad(int x, int y, int w, int h) {
    // White, so that the texture's own colours show unchanged.
    glColor4d(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2i(0, 0);
    glVertex3i(x, y, 1);
    glTexCoord2i(1, 0);
    glVertex3i(x + w, y, 1);
    glTexCoord2i(1, 1);
    glVertex3i(x + w, y + h, 1);
    glTexCoord2i(0, 1);
    glVertex3i(x, y + h, 1);
    glEnd();
}
