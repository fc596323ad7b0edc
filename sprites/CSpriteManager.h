// Velmora sprites: owns every sprite of a level, and renders, updates and
// collision-tests them each frame. Its own position is the camera offset.
#ifndef VELMORA_SPRITES_CSPRITEMANAGER_H
#define VELMORA_SPRITES_CSPRITEMANAGER_H

#include <cstdint>
#include <utility>
#include <vector>

#include "sprites/CSprite.h"
#include "sprites/CSpriteBatch.h"
#include "sprites/CSpriteGrid.h"
#include "sprites/SpriteGeometry.h"

class CTextureManager;

class CSpriteManager : public CSprite {
public:
    bool unloadTexturesOnClear;       // RemoveAllSprites also unloads every texture
    bool ownsTextureManager;          // the destructor deletes textureManager
    bool visible;                     // Render draws nothing when false
    bool cullOffScreen;               // Render skips sprites wholly outside the view (true)
    CTextureManager* textureManager;  // owned when ownsTextureManager
    std::vector<CSprite*> slots;          // owned; order of addition; may hold null
    std::vector<CSprite*> activeSprites;  // the non-null slots, in slot order

    CSpriteManager();
    ~CSpriteManager() override;

    // Draws in list order: the engine's image sprites through a batch (see
    // CImageSprite.h), every other sprite through its own Render.
    void Render(SDL_Surface* screen) override;
    void Update(double seconds) override;

    // Tells both members of every overlapping pair whose collision groups let
    // them react (CSprite::CanCollideWith), in the order of a double loop over
    // the insertion order, each pair judged with the positions of its turn: a
    // handler may move any sprite, change a group or add sprites, and later pairs
    // of the same pass see it. Scenery that lies still (see CSprite.h) is kept in
    // a grid, so a pass costs about the moving sprites times their neighbours.
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
    // What a moving sprite looked like when the pairs were collected.
    struct Snapshot {
        SpriteExtent box;
        bool touches;  // false for corners that are not finite: such a sprite meets nothing
        std::uint32_t category;
        std::uint32_t mask;
    };
    // Whether a sprite is scenery that lies still for good.
    static bool LiesStill(const CSprite& sprite);
    // A box holding every sprite the overlap test can find touching the quad;
    // false for a quad that touches nothing.
    static bool BroadPhaseBox(const SpriteQuad& q, SpriteExtent& out);
    // The world box that the GL's projection shows; false when it is not an
    // upright orthographic view (then everything is drawn).
    static bool ViewExtent(SpriteExtent& out);
    // Whether the GL maps a world unit to a window pixel at a whole-pixel offset,
    // y downward, as the engine's projection does.
    static bool OnePixelPerUnit();
    // Sorts the sprites added since the last pass into the grid or the moving
    // list, and those that need it into the update list.
    void Refresh();
    Snapshot Take(CSprite* sprite);
    // Every pair that can react and whose boxes touch or overlap, in pass order.
    // Other pairs cannot collide, or would call handlers that do nothing.
    void CollectCandidatePairs();
    // Adds the touching pairs of one sprite from each list (both by left edge).
    void SweepLists(const std::vector<std::uint32_t>& first, const std::vector<std::uint32_t>& second);
    enum class Change { Nothing, Moved, Everything };
    // What a handler of the pair changed of what the collected pairs rest on:
    // nothing, only places of moving sprites (listed in movedNow), or more.
    Change SceneChanged(const SpritePair& pair, std::size_t count);
    // Adds the pairs after `after` that the moving sprite moving[at] touches at
    // its new place `now`; the work follows what it touches there.
    void AddPairsOf(std::size_t at, const Snapshot& now, const SpritePair& after);

    // Kept between frames so that the passes allocate nothing.
    CSpriteGrid stillGrid;                 // still scenery, by extents relative to the manager
    std::vector<std::uint32_t> moving;     // every other sprite, ascending
    std::vector<Snapshot> snapshots;       // one per entry of moving
    std::vector<std::uint32_t> updated;    // sprites that need their Update, ascending
    std::size_t seen;                      // sprites of activeSprites sorted so far
    std::size_t pollBudget;                // sprite checks left for this pass's handlers
    bool warnedBudget;
    std::vector<SpriteExtent> boxes;       // by sprite index; moving sprites only
    std::vector<std::uint32_t> byLeftEdge; // moving sprites that can touch anything, by left edge
    std::vector<std::uint32_t> reacting;   // for one category bit: those whose mask holds it
    std::vector<std::uint32_t> reactedTo;  // for the same bit: those whose category holds it
    std::vector<std::uint32_t> found;      // grid query results
    std::vector<SpritePair> candidates;
    std::vector<SpritePair> pending;       // pairs added by moves, a min-heap
    std::vector<SpriteExtent> coverage;    // per entry of moving: where its scenery pairs are collected
    std::vector<std::pair<std::size_t, Snapshot>> movedNow;  // entries of moving a handler moved
    double collectedCameraX;               // the manager's world position when pairs were collected
    double collectedCameraY;
    CSpriteBatch batch;                    // Render's quads; empty between passes
};

#endif
