// Velmora sprites: the abstract base of every scene object.
#ifndef VELMORA_SPRITES_CSPRITE_H
#define VELMORA_SPRITES_CSPRITE_H

#include <SDL.h>

#include <cstdint>

#include "sprites/SpriteGeometry.h"

class CSpriteBatch;

// Collision categories, one bit each. The pass tests a pair only when one
// member's mask holds a bit of the other's category, so that scenery is never
// tested against scenery. Bits from COLLISION_USER up are free for a game.
constexpr std::uint32_t COLLISION_NONE = 0u;
constexpr std::uint32_t COLLISION_DEFAULT = 1u << 0;  // a sprite that sets no group
// A sprite of category COLLISION_SCENERY and mask COLLISION_NONE when the
// manager first sees it lies still for good: its corners and drawn area are read
// once and kept in a grid (see CSpriteManager).
constexpr std::uint32_t COLLISION_SCENERY = 1u << 1;  // lies still, reacts to nothing: floors, walls
constexpr std::uint32_t COLLISION_TRIGGER = 1u << 2;  // reacts to actors only: goals, traps, carriers
constexpr std::uint32_t COLLISION_ACTOR = 1u << 3;    // moves by itself and reacts to the world
constexpr std::uint32_t COLLISION_USER = 1u << 4;
constexpr std::uint32_t COLLISION_ALL = 0xFFFFFFFFu;

class CSprite {
public:
    CSprite* parent;  // not owned; x, y, z are relative to it (null for a root)
    double x;         // pixels, relative to parent
    double y;         // pixels, relative to parent, downward
    double z;         // depth in [-1, 1], greater is nearer
    std::uint32_t collisionCategory;  // COLLISION_ bits of what this sprite is (COLLISION_DEFAULT)
    std::uint32_t collisionMask;      // categories whose contact OnCollision reacts to (COLLISION_ALL)
    bool needsUpdate;  // false: Update does nothing, for good; the manager then never calls it (true)

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
    // World box holding everything Render draws; false when unknown (the base),
    // and the sprite is then always drawn.
    virtual bool GetDrawnExtent(SpriteExtent& out);

    // Whether the groups let the pair be tested at all: a pair in which neither
    // handler can react is skipped without looking at its corners.
    bool CanCollideWith(const CSprite& other) const {
        return (collisionMask & other.collisionCategory) != 0 || (other.collisionMask & collisionCategory) != 0;
    }

    // Own value plus the parent's world value, recursively.
    double GetWorldX();
    double GetWorldY();
    double GetWorldZ();
    // Set the local value so that the world value becomes the argument.
    void SetWorldX(double wx);
    void SetWorldY(double wy);

    // Adds what Render would draw to `batch` and returns true, or returns false
    // (the base) and the caller flushes the batch and calls Render. Only the
    // engine's image sprites batch, and only as long as their class draws as
    // theirs does (CImageSprite::DrawsAsBase).
    virtual bool AddToBatch(CSpriteBatch& batch);
};

#endif
