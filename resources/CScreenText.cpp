#include "resources/CScreenText.h"

CScreenText::CScreenText()
    : drawn(false),
      font(nullptr),
      text(),
      color{0, 0, 0, 0},
      rect{0, 0, 0, 0},
      alignH(ALIGN_START),
      alignV(ALIGN_START),
      texture(0),
      visible(false),
      x(0),
      y(0),
      w(0),
      h(0),
      rasterised(0) {}

CScreenText::~CScreenText() {
    if (texture != 0) {
        glDeleteTextures(1, &texture);
    }
}

bool CScreenText::Same(CFont* otherFont, const std::string& otherText, SDL_Color otherColor, TextRect otherRect,
                       int otherAlignH, int otherAlignV) const {
    // Only red, green and blue reach the rasterising.
    return drawn && otherFont == font && otherText == text && otherColor.r == color.r &&
           otherColor.g == color.g && otherColor.b == color.b && otherRect.x == rect.x && otherRect.y == rect.y &&
           otherRect.w == rect.w && otherRect.h == rect.h && otherAlignH == alignH && otherAlignV == alignV;
}

void CScreenText::Draw(CFont* newFont, const std::string& newText, SDL_Color newColor, TextRect newRect,
                       int newAlignH, int newAlignV) {
    if (!Same(newFont, newText, newColor, newRect, newAlignH, newAlignV)) {
        drawn = true;
        font = newFont;
        text = newText;
        color = newColor;
        rect = newRect;
        alignH = newAlignH;
        alignV = newAlignV;
        ++rasterised;
        SDL_Surface* canvas = RenderTextCanvas(font, text, color, rect, alignH, alignV, x, y);
        visible = canvas != nullptr;
        if (canvas == nullptr) {
            return;
        }
        if (texture == 0) {
            glGenTextures(1, &texture);
        }
        w = canvas->w;
        h = canvas->h;
        UploadTextCanvas(texture, canvas);
        SDL_FreeSurface(canvas);
        visible = texture != 0;
    }
    if (!visible) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    DrawTextQuad(x, y, w, h);
}
