#include "sprites/CSpriteManager.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <typeinfo>

#include "log/Log.h"
#include "resources/CTextureManager.h"

CSpriteManager::CSpriteManager()
    : CSprite(nullptr),
      // Off: the destructor, the only caller of RemoveAllSprites, destroys the
      // texture manager anyway, and a scene cleared to be rebuilt should keep the
      // textures that sprites outside it (the game's logo) still point at.
      unloadTexturesOnClear(false),
      ownsTextureManager(true),
      visible(true),
      textureManager(new CTextureManager()),
      slots(),
      activeSprites() {
    LogWrite(LOG_STATUS, "Instance initialized.", LogClassName(typeid(*this)));
}

CSpriteManager::~CSpriteManager() {
    RemoveAllSprites();
    if (ownsTextureManager && textureManager != nullptr) {
        delete textureManager;
        textureManager = nullptr;
    }
    LogWrite(LOG_STATUS, "Instance removed.", LogClassName(typeid(*this)));
}

// The per-frame passes walk by index and read the size anew at each step, so a
// sprite added by a handler (which may move the list) is safe and takes part.

void CSpriteManager::Render(SDL_Surface* screen) {
    if (!visible) {
        return;
    }
    for (std::size_t i = 0; i < activeSprites.size(); ++i) {
        activeSprites[i]->Render(screen);
    }
}

void CSpriteManager::Update(double seconds) {
    for (std::size_t i = 0; i < activeSprites.size(); ++i) {
        activeSprites[i]->Update(seconds);
    }
}

// For an upright rectangle the box is its bounding box: the overlap test checks
// the x and y axes. Any other shape (turned, or without area, where an edge of
// length zero separates nothing) may be found touching anything its
// circumscribed circle reaches, so its box is that circle's. A corner that is
// NaN or infinite touches nothing. Min and max, never a size, which could
// overflow far out; a box beyond the largest double is held there, as nothing
// lies further.
bool CSpriteManager::BroadPhaseBox(const SpriteQuad& q, Extent& out) {
    const double coordinates[8] = {q.p0.x, q.p0.y, q.p1.x, q.p1.y, q.p2.x, q.p2.y, q.p3.x, q.p3.y};
    for (double c : coordinates) {
        if (!std::isfinite(c)) {
            return false;
        }
    }
    out.minX = std::min(std::min(q.p0.x, q.p1.x), std::min(q.p2.x, q.p3.x));
    out.minY = std::min(std::min(q.p0.y, q.p1.y), std::min(q.p2.y, q.p3.y));
    out.maxX = std::max(std::max(q.p0.x, q.p1.x), std::max(q.p2.x, q.p3.x));
    out.maxY = std::max(std::max(q.p0.y, q.p1.y), std::max(q.p2.y, q.p3.y));
    const bool upright = q.p0.x == q.p3.x && q.p1.x == q.p2.x && q.p0.y == q.p1.y && q.p2.y == q.p3.y;
    if (upright && out.maxX > out.minX && out.maxY > out.minY) {
        return true;
    }
    // Scaled before adding, so that the sum cannot overflow (same result otherwise).
    const double cx = 0.25 * q.p0.x + 0.25 * q.p1.x + 0.25 * q.p2.x + 0.25 * q.p3.x;
    const double cy = 0.25 * q.p0.y + 0.25 * q.p1.y + 0.25 * q.p2.y + 0.25 * q.p3.y;
    const double r = std::hypot(q.p0.x - cx, q.p0.y - cy);
    const double far = std::numeric_limits<double>::max();
    out.minX = std::max(-far, std::min(out.minX, cx - r));
    out.minY = std::max(-far, std::min(out.minY, cy - r));
    out.maxX = std::min(far, std::max(out.maxX, cx + r));
    out.maxY = std::min(far, std::max(out.maxY, cy + r));
    return true;
}

void CSpriteManager::CheckCollisions() {
    if (activeSprites.size() < 2) {
        return;
    }
    // Every pair is judged with the positions as they are at its turn: a handler
    // that moves a sprite changes the outcome of the later pairs of the same
    // pass. Only pairs that can react and whose boxes touch can matter, so the
    // pass walks those in the order of the full double loop, and collects them
    // anew when a handler has moved one of its two sprites or added sprites.
    CollectCandidatePairs();
    // A sprite whose box is unchanged meets the same sprites as before.
    auto unmoved = [this](CSprite* sprite, std::uint32_t index) {
        SpriteQuad corners;
        Extent box;
        const Extent& was = boxes[index];
        return BroadPhaseBox(*sprite->GetCorners(corners), box) && box.minX == was.minX && box.minY == was.minY &&
               box.maxX == was.maxX && box.maxY == was.maxY;
    };
    std::size_t next = 0;
    while (next < candidates.size()) {
        const SpritePair pair = candidates[next++];
        CSprite* first = activeSprites[pair.first];
        CSprite* second = activeSprites[pair.second];
        if (first->CollidesWith(second)) {
            const std::size_t count = activeSprites.size();
            first->OnCollision(second);
            second->OnCollision(first);
            // Handlers move the sprites they are called for (a push, a carry, a
            // jump) or add sprites; the pairs after this one must see that.
            if (activeSprites.size() != count || !unmoved(first, pair.first) || !unmoved(second, pair.second)) {
                CollectCandidatePairs();
                next = static_cast<std::size_t>(std::upper_bound(candidates.begin(), candidates.end(), pair) -
                                                candidates.begin());
            }
        }
    }
}

void CSpriteManager::CollectCandidatePairs() {
    const std::size_t n = activeSprites.size();
    boxes.resize(n);
    byLeftEdge.clear();
    candidates.clear();
    std::uint32_t masks = 0;
    std::uint32_t categories = 0;
    SpriteQuad corners;
    for (std::size_t k = 0; k < n; ++k) {
        if (BroadPhaseBox(*activeSprites[k]->GetCorners(corners), boxes[k])) {
            byLeftEdge.push_back(static_cast<std::uint32_t>(k));
            masks |= activeSprites[k]->collisionMask;
            categories |= activeSprites[k]->collisionCategory;
        }
    }
    // Ties by index: both lists of a sweep must agree on which of two comes first.
    std::sort(byLeftEdge.begin(), byLeftEdge.end(), [this](std::uint32_t a, std::uint32_t b) {
        return boxes[a].minX < boxes[b].minX || (boxes[a].minX == boxes[b].minX && a < b);
    });
    // A pair can react when some category bit is in one member's mask and the
    // other's category: sweep, bit by bit, those that react to it against those
    // that carry it. Scenery (mask COLLISION_NONE) is never swept against itself.
    const std::uint32_t bits = masks & categories;
    for (int bit = 0; bit < 32; ++bit) {
        const std::uint32_t b = std::uint32_t{1} << bit;
        if ((bits & b) == 0) {
            continue;
        }
        reacting.clear();
        reactedTo.clear();
        for (std::uint32_t k : byLeftEdge) {
            if ((activeSprites[k]->collisionMask & b) != 0) {
                reacting.push_back(k);
            }
            if ((activeSprites[k]->collisionCategory & b) != 0) {
                reactedTo.push_back(k);
            }
        }
        SweepLists(reacting, reactedTo);
    }
    // A pair that meets through more than one bit, or both ways, is found again.
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
}

void CSpriteManager::SweepLists(const std::vector<std::uint32_t>& first, const std::vector<std::uint32_t>& second) {
    // From left to right over both lists at once: the box that starts first meets
    // the boxes of the other list that start before it ends.
    auto pairUp = [this](std::uint32_t u, const std::vector<std::uint32_t>& others, std::size_t from) {
        const Extent& box = boxes[u];
        for (std::size_t k = from; k < others.size() && boxes[others[k]].minX <= box.maxX; ++k) {
            const std::uint32_t v = others[k];
            const Extent& other = boxes[v];
            if (v != u && other.minY <= box.maxY && box.minY <= other.maxY) {
                candidates.emplace_back(std::min(u, v), std::max(u, v));
            }
        }
    };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < first.size() && j < second.size()) {
        const std::uint32_t a = first[i];
        const std::uint32_t b = second[j];
        if (boxes[a].minX < boxes[b].minX || (boxes[a].minX == boxes[b].minX && a <= b)) {
            pairUp(a, second, j);
            ++i;
        } else {
            pairUp(b, first, i);
            ++j;
        }
    }
}

CSprite* CSpriteManager::GetSpriteAt(int px, int py) {
    const std::vector<CSprite*> hits = GetSpritesAt(px, py);
    CSprite* nearest = nullptr;
    double nearestZ = 0.0;
    for (CSprite* sprite : hits) {
        const double depth = sprite->GetWorldZ();
        // Strictly greater: on equal depth the earliest in the list stays.
        if (nearest == nullptr || depth > nearestZ) {
            nearest = sprite;
            nearestZ = depth;
        }
    }
    return nearest;
}

std::vector<CSprite*> CSpriteManager::GetSpritesAt(int px, int py) {
    std::vector<CSprite*> hits;
    SpriteQuad corners;
    for (std::size_t i = 0; i < activeSprites.size(); ++i) {
        CSprite* sprite = activeSprites[i];
        if (PointInQuad(*sprite->GetCorners(corners), px, py)) {
            hits.push_back(sprite);
        }
    }
    return hits;
}

int CSpriteManager::AddSprite(CSprite* sprite) {
    // A null sprite becomes an empty slot: it keeps the index count honest and
    // nothing ever dereferences it.
    if (sprite != nullptr) {
        sprite->parent = this;
    }
    slots.push_back(sprite);
    // Slots only ever grow at the end, so appending is the same as rebuilding the
    // active list, without making a level's loading quadratic.
    if (sprite != nullptr) {
        activeSprites.push_back(sprite);
    }
    return static_cast<int>(slots.size()) - 1;
}

void CSpriteManager::RemoveAllSprites() {
    // Front first, as added. Each slot is emptied before its sprite is destroyed,
    // so nothing can reach a sprite that is being destroyed through the lists.
    activeSprites.clear();
    for (std::size_t i = 0; i < slots.size(); ++i) {
        CSprite* sprite = slots[i];
        slots[i] = nullptr;
        delete sprite;
    }
    slots.clear();
    if (unloadTexturesOnClear && textureManager != nullptr) {
        textureManager->UnloadAll();
    }
    LogWrite(LOG_STATUS, "All Sprites removed.", LogClassName(typeid(*this)));
}
