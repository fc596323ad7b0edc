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

    // Tells both members of every overlapping pair, in the order of a double
    // loop over the insertion order. A handler may move the two sprites it is
    // called for, or add sprites: later pairs of the same pass see it. (A
    // handler that moves some third sprite is seen once the pass next collects
    // its pairs.) Costs about n log n plus the touching pairs, not n squared.
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
    // Every pair whose bounding boxes touch or overlap, in pass order. Pairs
    // whose boxes are apart cannot collide, so the pass tests only these.
    void CollectCandidatePairs();

    // Kept between frames so that the collision pass allocates nothing.
    std::vector<SpriteBox> boxes;
    std::vector<std::uint32_t> byLeftEdge;
    std::vector<std::uint32_t> unbounded;  // sprites without a finite box: paired with all
    std::vector<SpritePair> candidates;
};

#endif
