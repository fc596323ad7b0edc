// Velmora sprites: the abstract base of every scene object.
#ifndef VELMORA_SPRITES_CSPRITE_H
#define VELMORA_SPRITES_CSPRITE_H

#include <SDL.h>

#include <cstdint>

#include "sprites/SpriteGeometry.h"

class CSpriteBatch;
class CSpriteManager;

// Collision categories, one bit each. The pass tests a pair when either member's
// mask holds a bit of the other's category (CanCollideWith), and then calls both
// members' OnCollision. Bits from COLLISION_USER up are free for a game.
constexpr std::uint32_t COLLISION_NONE = 0u;
constexpr std::uint32_t COLLISION_DEFAULT = 1u << 0;  // a sprite that sets no group
constexpr std::uint32_t COLLISION_SCENERY = 1u << 1;  // ground and walls: reacts to nothing
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
    // Called by the sprite manager for each member of an overlapping pair that
    // CanCollideWith lets through: a sprite hears every sprite it touches whose
    // category is in its own mask, and also every one whose mask holds its own
    // category. A handler that cares about less looks at `other` itself.
    virtual void OnCollision(CSprite* other);
    // World box holding everything Render draws; false when unknown (the base),
    // and the sprite is then always drawn.
    virtual bool GetDrawnExtent(SpriteExtent& out);

    // Whether the groups let the pair be tested at all: a pair in which neither
    // mask holds the other's category is skipped without looking at its corners.
    bool CanCollideWith(const CSprite& other) const {
        return (collisionMask & other.collisionCategory) != 0 || (other.collisionMask & collisionCategory) != 0;
    }

    // What the manager reads of a sprite. Each setter takes effect at the
    // manager's next pass (or at once, for a sprite not yet added).
    std::uint32_t GetCollisionCategory() const { return collisionCategory; }  // COLLISION_DEFAULT
    std::uint32_t GetCollisionMask() const { return collisionMask; }          // COLLISION_ALL
    void SetCollisionGroups(std::uint32_t category, std::uint32_t mask);
    // False: Update does nothing, and the manager does not call it (true).
    bool NeedsUpdate() const { return needsUpdate; }
    void SetNeedsUpdate(bool update);
    // True: the sprite never moves nor changes size, so the manager reads its
    // corners and drawn area once and files them in a grid; it is then tested
    // only against sprites that are not still (false). Moved on purpose, it
    // needs CSpriteManager::Refile.
    bool IsStill() const { return still; }
    void SetStill(bool lyingStill);
    // The plain ground, wall or decoration of a level: still, never updated,
    // category COLLISION_SCENERY, reacting to nothing.
    void MarkAsScenery();

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

private:
    friend class CSpriteManager;

    // Tells the owning manager that what it filed has changed.
    void Changed();

    std::uint32_t collisionCategory;  // COLLISION_ bits of what this sprite is
    std::uint32_t collisionMask;      // categories whose contact makes the pair tested
    bool needsUpdate;
    bool still;

    // Where the manager that owns the sprite has filed it.
    struct Filing {
        CSpriteManager* manager = nullptr;  // not owned; null until added
        std::size_t slot = 0;               // in the manager's slots
        bool updated = false;               // in its update list
        bool inGrid = false;                // filed as still (else in its moving list)
        bool queued = false;                // waits to be filed again
        bool removed = false;               // destroyed when the manager's pass ends
        bool reportedMoved = false;         // the moved-still error is written once
        bool touches = false;               // `box` is finite
        SpriteExtent box{};                 // a still sprite's corners, relative to the manager
    } filing;
};

#endif
