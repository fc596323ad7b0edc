// Velmora resources: one line of text drawn with OpenGL or copied into a surface.
#ifndef VELMORA_RESOURCES_TEXTRENDERER_H
#define VELMORA_RESOURCES_TEXTRENDERER_H

#include <cstddef>
#include <mutex>
#include <string>

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>

class CFont;

// Alignment in a rectangle, the same numbers horizontally and vertically.
constexpr int ALIGN_CENTER = 0;  // centred
constexpr int ALIGN_START = 1;   // left or top edge
constexpr int ALIGN_END = 2;     // right or bottom edge

// Target rectangle of RenderText, in pixels (window or target surface).
struct TextRect {
    int x;
    int y;
    int w;
    int h;
};

// The most of a text that is ever measured or drawn. SDL_ttf copies a text onto
// the stack, and SDL 1.2 keeps a surface row's length in 16 bits, so longer
// texts are cut: first to MAX_TEXT_BYTES bytes, then to the longest beginning
// at most MAX_TEXT_SIDE pixels wide. A text taller than that is not drawn.
constexpr std::size_t MAX_TEXT_BYTES = 8192;
constexpr int MAX_TEXT_SIDE = 8192;  // pixels

// Cuts `text` as above and gives the size it is drawn at. False when SDL_ttf
// cannot measure it or it is too tall. The caller holds TextLock().
bool FitText(TTF_Font* font, std::string& text, int& w, int& h);

// Rasterises `text` (Latin-1, cut by FitText) with `font` in the red, green and blue of `color`
// and places it in `rect` by the two alignments (other values count as
// ALIGN_START). With `target` the whole text is blitted into it, clipped only by
// the surface. Without, it is drawn with OpenGL as one quad at depth 1, cut at
// the rectangle's width and height; this needs a current GL context and relies
// on the blending and alpha test of the engine for the transparent background.
// Does nothing for a font without handle or an empty text.
void RenderText(CFont* font, std::string text, SDL_Color color, TextRect rect,
                int alignH, int alignV, SDL_Surface* target);

// RenderText's OpenGL mode in parts, for text kept as a texture between frames
// (CScreenText). RenderTextCanvas gives the power-of-two canvas that RenderText
// uploads (the caller frees it) and the place of its top-left corner, or null
// when RenderText would draw nothing. UploadTextCanvas loads a canvas into
// `texture`, leaving it bound; DrawTextQuad draws the bound texture as
// RenderText does, a w x h quad at (x, y) and depth 1.
SDL_Surface* RenderTextCanvas(CFont* font, std::string text, SDL_Color color, TextRect rect, int alignH,
                              int alignV, int& x, int& y);
void UploadTextCanvas(GLuint texture, SDL_Surface* canvas);
// RenderText's surface mode onto a target of targetW x targetH pixels that need
// not exist: the power-of-two canvas of just the part of the text that would land
// on the target (the caller frees it) and the place of its top-left corner there,
// or null when nothing would. A caption keeps this, not a canvas of its whole
// rectangle.
SDL_Surface* RenderTextPart(CFont* font, std::string text, SDL_Color color, TextRect rect, int alignH, int alignV,
                            int targetW, int targetH, int& x, int& y);
void DrawTextQuad(int x, int y, int w, int h);

// The smallest power of two not below n (1 -> 1, 3 -> 4, 100 -> 128); 0 for
// n <= 0 and for n above 2^30, where no int power of two is large enough.
int NextPowerOfTwo(int n);

// Held around every SDL_ttf call: the main thread and the level loader thread
// rasterise text at the same time, possibly with the same font.
std::recursive_mutex& TextLock();

#endif
