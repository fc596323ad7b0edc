// Velmora sprites: an image sprite that also carries a one-line caption, rendered
// into a surface of its own and uploaded into a GL texture of its own whenever a
// caption property changes.
#ifndef VELMORA_SPRITES_CLABELSPRITE_H
#define VELMORA_SPRITES_CLABELSPRITE_H

#include <string>

#include <GL/gl.h>

#include "sprites/CImageSprite.h"

class CFont;

class CLabelSprite : public CImageSprite {
public:
    // Owned; null while no caption is rendered. It gives the caption's size only:
    // its pixels are in captionTexture, and `pixels` is null.
    SDL_Surface* captionSurface;
    GLuint captionTexture;        // owned GL texture name; 0 until the first rendering
    CFont* font;                  // not owned (the font factory's); may be null
    SDL_Color fontColor;          // red, green, blue; the fourth byte is unused
    std::string caption;
    int alignH;                   // ALIGN_CENTER, ALIGN_START or ALIGN_END
    int alignV;                   // ALIGN_CENTER, ALIGN_START or ALIGN_END
    SpriteBox textRect;           // pixels, relative to the label's top-left corner

    // Renders nothing and makes no GL call: the caption texture is made on the
    // GL context current at the first rendering.
    CLabelSprite(CSprite* parent, CFont* font);
    ~CLabelSprite() override;

    // Caption quad at depth 0, then the label's own image.
    void Draw(SDL_Surface* screen) override;
    // The image's quad and the caption's.
    bool GetDrawnExtent(SpriteExtent& out) override;

    // Rebuilds the caption surface and re-uploads the caption texture.
    virtual void RenderCaption();
    virtual CFont* GetFont();
    // Re-renders always; a null font logs a warning and removes the caption.
    virtual void SetFont(CFont* f);
    virtual SDL_Color GetFontColor();
    // Re-renders always.
    virtual void SetFontColor(SDL_Color c);
    virtual SpriteBox GetTextRect();
    // Re-renders only when the width or the height changes.
    virtual void SetTextRect(SpriteBox r);
    virtual int GetAlignH();
    // Re-renders only on a change.
    virtual void SetAlignH(int a);
    virtual int GetAlignV();
    // Re-renders only on a change.
    virtual void SetAlignV(int a);
    virtual std::string GetCaption();
    // Re-renders only when the text differs.
    virtual void SetCaption(std::string s);
};

#endif
