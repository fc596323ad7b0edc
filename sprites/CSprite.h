// Velmora sprites: the abstract base of every scene object.
#ifndef VELMORA_SPRITES_CSPRITE_H
#define VELMORA_SPRITES_CSPRITE_H

#include <SDL.h>

#include "sprites/SpriteGeometry.h"

class CSprite {
public:
    CSprite* parent;  // not owned; x, y, z are relative to it (null for a root)
    double x;         // pixels, relative to parent
    double y;         // pixels, relative to parent, downward
    double z;         // depth in [-1, 1], greater is nearer

    explicit CSprite(CSprite* parent = nullptr);
    virtual ~CSprite();

    CSprite(const CSprite&) = delete;
    CSprite& operator=(const CSprite&) = delete;

    // `screen` is handed down by the engine and not used by any sprite.
    virtual void Render(SDL_Surface* screen) = 0;
    // `seconds`: duration of the previous frame.
    virtual void Update(double seconds) = 0;
    // World corners; the base writes zeros. Returns &out.
    virtual SpriteQuad* GetCorners(SpriteQuad& out);
    // QuadsOverlap of both sprites' GetCorners. Not overridden anywhere.
    virtual bool CollidesWith(CSprite* other);
    // Called by the sprite manager for each member of an overlapping pair.
    virtual void OnCollision(CSprite* other);

    // Own value plus the parent's world value, recursively.
    double GetWorldX();
    double GetWorldY();
    double GetWorldZ();
    // Set the local value so that the world value becomes the argument.
    void SetWorldX(double wx);
    void SetWorldY(double wy);
};

#endif
