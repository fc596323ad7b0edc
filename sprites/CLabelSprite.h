// Velmora sprites: an image sprite that also carries a one-line caption. A caption
// property change notes what to rasterise; the caption's own GL texture is made
// from that at the next drawing, so captions that never come on screen cost no
// texture memory.
#ifndef VELMORA_SPRITES_CLABELSPRITE_H
#define VELMORA_SPRITES_CLABELSPRITE_H

#include <cstdint>
#include <string>

#include <GL/gl.h>

#include "resources/TextRenderer.h"
#include "sprites/CImageSprite.h"

class CFont;

class CLabelSprite : public CImageSprite {
public:
    // Owned; null while no caption is rendered. It gives the caption's size only:
    // its pixels go to captionTexture at the next drawing, and `pixels` is null.
    SDL_Surface* captionSurface;
    GLuint captionTexture;        // owned GL texture name; 0 until the first drawing
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

    // Caption quad at depth 0 (the part of the caption surface that the text
    // covers), then the label's own image. Rasterises and uploads
    // the caption first when it changed since it was last drawn; needs the GL
    // context and takes the text lock for SDL_ttf.
    void Draw(SDL_Surface* screen) override;
    // The image's quad and the caption's, whether or not its texture is made yet.
    bool GetDrawnExtent(SpriteExtent& out) override;
    // The caption's quad and the image's, when DrawsAsBase; false otherwise. A
    // caption that changed is uploaded first, after drawing what the batch holds.
    bool AddToBatch(CSpriteBatch& batch) override;
    // True for this class itself, not for classes derived from it.
    bool DrawsAsBase() const override;

    // Sizes the caption surface and notes the caption for the next drawing; no
    // SDL_ttf and no GL call, so the loader thread may call it.
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

private:
    // Rasterises the noted caption into captionTexture: only the part of the
    // caption surface that the text covers, within the pixel budget.
    void UploadCaption();
    // Gives the uploaded caption's pixels back to the budget; nothing is drawn after.
    void ReleaseCaptionPixels();

    // Where the text goes on the caption surface, clipped to the label's size as it
    // was when the caption was noted (a later SetSize alone does not change it).
    TextRect captionClip;
    bool captionPending;          // noted but not uploaded yet
    TextRect captionPart;         // what captionTexture holds, on the caption surface; w 0 for nothing
    std::uint64_t captionBytes;   // reserved in the pixel budget for captionTexture
};

#endif
