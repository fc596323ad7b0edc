// Velmora sprites: the scene. CSpriteManager owns the sprites of a level and
// each frame updates them, tells the pairs that overlap and draws them. Its own
// position is the camera: a sprite's x and y are relative to it.
//
//   CSpriteManager scene;
//   scene.AddSprite(walker);              // the scene owns it from now on
//   scene.Update(seconds); scene.CheckCollisions(); scene.Render(screen);
//   scene.RemoveSprite(walker);           // destroys it, at the end of a running pass
//
// - Every pass takes the sprites in the order they were added. Update updates
//   each sprite that NeedsUpdate; CheckCollisions tests each pair that
//   CanCollideWith lets through and tells both, the earlier-added first; Render
//   draws each sprite that shows. A sprite of a class derived the plain way is
//   updated, tested against every sprite and drawn.
// - Still scenery is opt-in (CSprite::SetStill, MarkAsScenery): it is filed
//   once, in a grid, and tested only against sprites that are not still. Moved
//   or resized, it needs Refile. When the collision pass meets a still sprite
//   away from where it was filed, it logs one ERROR naming its class and place
//   and files it anew; until then only sprites near its old place meet it, and
//   it is drawn only while its old place is in view.
// - SetNeedsUpdate, SetCollisionGroups and SetStill take effect at the next
//   pass; within a collision pass, for its later pairs.
// - Update and the handlers may add and remove sprites. An added sprite takes
//   part in the running pass; a removed one takes no further part, no handler
//   hears of it, and it is destroyed when the pass ends.
// - Render skips a sprite whose GetDrawnExtent lies outside the view (an image
//   sprite's is its rectangle): a Render that draws beyond the sprite's
//   rectangle must override GetDrawnExtent.
// - One thread at a time. A scene built on another thread is filed by Refresh
//   on the thread it is handed to, so that its first frame does not pay for it.
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
    // of the same pass see it. Two still sprites are never tested together; the
    // still ones are kept in a grid, so a pass costs about the moving sprites
    // times their neighbours.
    virtual void CheckCollisions();
    // The hit sprite nearest to the viewer (greatest world z; the earliest on a
    // tie), or null. Points are world coordinates.
    virtual CSprite* GetSpriteAt(int px, int py);
    // Every sprite whose corners contain the point, in list order.
    virtual std::vector<CSprite*> GetSpritesAt(int px, int py);

    // Takes ownership, makes the manager the sprite's parent and returns the
    // sprite's slot index.
    int AddSprite(CSprite* sprite);
    // Takes the sprite out of the scene and destroys it: at once, or, during a
    // pass, when the pass ends (it is skipped from now on). Its slot becomes
    // empty; the others keep their order. False, with a warning, for a sprite
    // that is not in the scene.
    bool RemoveSprite(CSprite* sprite);
    // Destroys every sprite, front first.
    void RemoveAllSprites();
    // Reads the sprite's groups, NeedsUpdate, stillness and, for a still sprite,
    // its place anew at the next pass. The setters call it; call it after moving
    // a still sprite on purpose.
    void Refile(CSprite* sprite);
    // Files the sprites added, and those to refile, since the last pass; every
    // pass starts with it.
    void Refresh();

private:
    using SpritePair = std::pair<std::uint32_t, std::uint32_t>;  // indices into activeSprites, first < second
    // What a moving sprite looked like when the pairs were collected.
    struct Snapshot {
        SpriteExtent box;
        bool touches;  // false for corners that are not finite: such a sprite meets nothing
        std::uint32_t category;
        std::uint32_t mask;
    };
    // Counts the passes running; the outermost one destroys the removed sprites
    // when it ends.
    class PassGuard {
    public:
        explicit PassGuard(CSpriteManager& scene);
        ~PassGuard();
        PassGuard(const PassGuard&) = delete;
        PassGuard& operator=(const PassGuard&) = delete;

    private:
        CSpriteManager& manager;
    };
    // A box holding every sprite the overlap test can find touching the quad;
    // false for a quad that touches nothing.
    static bool BroadPhaseBox(const SpriteQuad& q, SpriteExtent& out);
    // The world box that the GL's projection shows; false when it is not an
    // upright orthographic view (then everything is drawn).
    static bool ViewExtent(SpriteExtent& out);
    // Whether the GL maps a world unit to a window pixel at a whole-pixel offset,
    // y downward, as the engine's projection does.
    static bool OnePixelPerUnit();
    // Files the sprites added since the last pass: into the grid or the moving
    // list, and those that need it into the update list.
    void FileNew();
    void File(std::uint32_t index);
    void Unfile(std::uint32_t index);
    // Files a still sprite anew (and says so once) when it is not where it was filed.
    void CheckStill(std::uint32_t index);
    // Whether a moving sprite's groups let it meet any still sprite.
    bool MeetsStill(std::uint32_t category, std::uint32_t mask) const {
        return ((mask & stillCategories) | (category & stillMasks)) != 0;
    }
    // Where the sprite stands in activeSprites (which is in slot order), or
    // activeSprites.size() when it is not there.
    std::size_t PositionOf(const CSprite* sprite) const;
    // Destroys the removed sprites and closes the gaps they leave in every list.
    void DestroyRemoved();
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
    std::vector<CSprite*> refiles;         // to file anew at the next pass
    std::vector<std::uint32_t> removedAt;  // where the sprites removed and not yet destroyed stand
    int passDepth;                         // passes running (a handler may start another)
    std::uint32_t stillCategories;         // every category and mask filed in the grid so far
    std::uint32_t stillMasks;
    CSpriteBatch batch;                    // Render's quads; empty between passes
};

#endif
