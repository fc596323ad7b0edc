// Velmora resources: one line of screen text that keeps its texture from frame
// to frame while it stays the same.
#ifndef VELMORA_RESOURCES_CSCREENTEXT_H
#define VELMORA_RESOURCES_CSCREENTEXT_H

#include <string>

#include <GL/gl.h>
#include <SDL/SDL.h>

#include "resources/TextRenderer.h"

class CFont;

class CScreenText {
public:
    CScreenText();
    // Deletes the texture; needs the GL context that drew it to be current.
    ~CScreenText();

    CScreenText(const CScreenText&) = delete;
    CScreenText& operator=(const CScreenText&) = delete;

    // Draws like RenderText without a target surface, the same pixels; the text
    // is rasterised and uploaded only when something differs from the last call.
    void Draw(CFont* font, const std::string& text, SDL_Color color, TextRect rect, int alignH, int alignV);

    // For tests: how many times the text has been rasterised.
    int RasterisedCount() const { return rasterised; }

private:
    bool Same(CFont* font, const std::string& text, SDL_Color color, TextRect rect, int alignH,
              int alignV) const;

    // What the texture shows, as last asked for.
    bool drawn;
    CFont* font;  // not owned
    std::string text;
    SDL_Color color;
    TextRect rect;
    int alignH;
    int alignV;

    GLuint texture;  // owned; 0 until the first text that shows
    bool visible;    // whether the last text shows anything
    int x;           // top-left corner of the quad, pixels
    int y;
    int w;           // quad size, pixels (the canvas's power-of-two size)
    int h;
    int rasterised;
};

#endif
