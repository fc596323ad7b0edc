// Velmora sprites: owns every sprite of a level, and renders, updates and
// collision-tests them each frame. Its own position is the camera offset.
#ifndef VELMORA_SPRITES_CSPRITEMANAGER_H
#define VELMORA_SPRITES_CSPRITEMANAGER_H

#include <cstdint>
#include <utility>
#include <vector>

#include "sprites/CSprite.h"
#include "sprites/SpriteGeometry.h"

class CTextureManager;

class CSpriteManager : public CSprite {
public:
    bool unloadTexturesOnClear;       // RemoveAllSprites also unloads every texture
    bool ownsTextureManager;          // the destructor deletes textureManager
    bool visible;                     // Render draws nothing when false
    CTextureManager* textureManager;  // owned when ownsTextureManager
    std::vector<CSprite*> slots;          // owned; order of addition; may hold null
    std::vector<CSprite*> activeSprites;  // the non-null slots, in slot order

    CSpriteManager();
    ~CSpriteManager() override;

    void Render(SDL_Surface* screen) override;
    void Update(double seconds) override;

    // Tells both members of every overlapping pair whose collision groups let
    // them react (CSprite::CanCollideWith), in the order of a double loop over
    // the insertion order. A handler may move the two sprites it is called for,
    // or add sprites: later pairs of the same pass see it. (A handler that moves
    // some third sprite, or changes a group, is seen once the pass next collects
    // its pairs.) Costs about n log n plus the touching pairs that can react, not
    // n squared: scenery lying on scenery costs nothing.
    virtual void CheckCollisions();
    // The hit sprite nearest to the viewer (greatest world z; the earliest on a
    // tie), or null. Points are world coordinates.
    virtual CSprite* GetSpriteAt(int px, int py);
    // Every sprite whose corners contain the point, in list order.
    virtual std::vector<CSprite*> GetSpritesAt(int px, int py);

    // Takes ownership, makes the manager the sprite's parent and returns the
    // sprite's slot index.
    int AddSprite(CSprite* sprite);
    // Destroys every sprite, front first.
    void RemoveAllSprites();

private:
    using SpritePair = std::pair<std::uint32_t, std::uint32_t>;  // indices into activeSprites, first < second
    // Holds every sprite that the overlap test can find touching its owner.
    struct Extent {
        double minX;
        double minY;
        double maxX;
        double maxY;
    };
    // A box holding every sprite the overlap test can find touching the quad;
    // false for a quad that touches nothing.
    static bool BroadPhaseBox(const SpriteQuad& q, Extent& out);
    // Every pair that can react and whose boxes touch or overlap, in pass order.
    // Other pairs cannot collide, or would call handlers that do nothing.
    void CollectCandidatePairs();
    // Adds the touching pairs of one sprite from each list (both by left edge).
    void SweepLists(const std::vector<std::uint32_t>& first, const std::vector<std::uint32_t>& second);

    // Kept between frames so that the collision pass allocates nothing. A later
    // broad phase kept between frames can keep the scenery (mask COLLISION_NONE)
    // in a grid built once and query it only for the sprites that react.
    std::vector<Extent> boxes;
    std::vector<std::uint32_t> byLeftEdge;  // sprites that can touch anything, by left edge
    std::vector<std::uint32_t> reacting;    // for one category bit: those whose mask holds it
    std::vector<std::uint32_t> reactedTo;   // for the same bit: those whose category holds it
    std::vector<SpritePair> candidates;
};

#endif
