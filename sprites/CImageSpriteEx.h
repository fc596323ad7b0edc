// Velmora sprites: an image sprite rotated about a pivot. Drawing, the rectangle
// queries and the collision corners all follow the rotated shape.
#ifndef VELMORA_SPRITES_CIMAGESPRITEEX_H
#define VELMORA_SPRITES_CIMAGESPRITEEX_H

#include "sprites/CImageSprite.h"

class CImageSpriteEx : public CImageSprite {
public:
    double rotation;          // degrees, counter-clockwise on screen; (0, 360] once set
    double pivotX;            // centre of rotation as a fraction of the width
    double pivotY;            // centre of rotation as a fraction of the height
    SpriteQuad localCorners;  // rotated corners relative to (x, y)

    explicit CImageSpriteEx(CSprite* parent = nullptr);
    ~CImageSpriteEx() override;

    SpriteQuad* GetCorners(SpriteQuad& out) override;
    void Draw(SDL_Surface* screen) override;
    bool GetDrawnExtent(SpriteExtent& out) override;
    // The rotated quad, when DrawsAsBase; false otherwise.
    bool AddToBatch(CSpriteBatch& batch) override;
    void SetWidth(double w) override;
    void SetHeight(double h) override;
    // Bounding rectangle of the rotated shape, each term truncated on its own.
    SpriteRect* GetRect(SpriteRect& out) override;
    SpriteRect* GetWorldRect(SpriteRect& out) override;
    // True for this class itself, not for classes derived from it.
    bool DrawsAsBase() const override;

    virtual double GetRotation();
    // Normalises into (0, 360]; 0 and whole turns become 360.
    virtual void SetRotation(double degrees);
    virtual SpritePoint GetPivot();
    virtual void SetPivot(double px, double py);
    // localCorners moved by (x, y). Returns &out.
    virtual SpriteQuad* GetLocalCorners(SpriteQuad& out);
    // localCorners moved by the world position. Returns &out.
    virtual SpriteQuad* GetWorldCorners(SpriteQuad& out);
    virtual void Rotate(double degrees);

    // Recomputes localCorners from width, height, rotation and pivot.
    void UpdateCorners();
};

#endif
