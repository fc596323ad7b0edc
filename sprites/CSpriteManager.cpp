#include "sprites/CSpriteManager.h"

#include <algorithm>
#include <cmath>
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

namespace {
// A box that holds every sprite the overlap test can find touching this quad.
// For an upright rectangle that is its bounding box: the test checks the x and
// y axes. Any other shape (turned, or without area, where an edge of length
// zero separates nothing) may be found touching anything its circumscribed
// circle reaches, so its box is that circle's.
SpriteBox BroadPhaseBox(const SpriteQuad& q) {
    const SpriteBox bounds = QuadBounds(q);
    const bool upright = q.p0.x == q.p3.x && q.p1.x == q.p2.x && q.p0.y == q.p1.y && q.p2.y == q.p3.y;
    if (upright && bounds.w > 0 && bounds.h > 0) {
        return bounds;
    }
    const double cx = 0.25 * (q.p0.x + q.p1.x + q.p2.x + q.p3.x);
    const double cy = 0.25 * (q.p0.y + q.p1.y + q.p2.y + q.p3.y);
    const double r = std::hypot(q.p0.x - cx, q.p0.y - cy);
    const double minX = std::min(bounds.x, cx - r);
    const double minY = std::min(bounds.y, cy - r);
    return SpriteBox{minX, minY, std::max(bounds.x + bounds.w, cx + r) - minX, std::max(bounds.y + bounds.h, cy + r) - minY};
}
bool SameBox(const SpriteBox& a, const SpriteBox& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}
}  // namespace

void CSpriteManager::CheckCollisions() {
    if (activeSprites.size() < 2) {
        return;
    }
    // Every pair is judged with the positions as they are at its turn: a handler
    // that moves a sprite changes the outcome of the later pairs of the same
    // pass. Only pairs whose boxes touch can collide, so the pass walks those in
    // the order of the full double loop, and collects them anew when a handler
    // has moved one of its two sprites or added sprites.
    CollectCandidatePairs();
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
            SpriteQuad corners;
            if (activeSprites.size() != count || !SameBox(BroadPhaseBox(*first->GetCorners(corners)), boxes[pair.first]) ||
                !SameBox(BroadPhaseBox(*second->GetCorners(corners)), boxes[pair.second])) {
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
    unbounded.clear();
    candidates.clear();
    SpriteQuad corners;
    for (std::size_t k = 0; k < n; ++k) {
        boxes[k] = BroadPhaseBox(*activeSprites[k]->GetCorners(corners));
        const SpriteBox& b = boxes[k];
        if (std::isfinite(b.x) && std::isfinite(b.y) && std::isfinite(b.w) && std::isfinite(b.h)) {
            byLeftEdge.push_back(static_cast<std::uint32_t>(k));
        } else {
            unbounded.push_back(static_cast<std::uint32_t>(k));
        }
    }
    std::sort(byLeftEdge.begin(), byLeftEdge.end(),
              [this](std::uint32_t a, std::uint32_t b) { return boxes[a].x < boxes[b].x; });
    // Sweep from left to right: a box meets the later ones that start before it ends.
    for (std::size_t a = 0; a < byLeftEdge.size(); ++a) {
        const SpriteBox& left = boxes[byLeftEdge[a]];
        const double right = left.x + left.w;
        for (std::size_t b = a + 1; b < byLeftEdge.size(); ++b) {
            const SpriteBox& other = boxes[byLeftEdge[b]];
            if (other.x > right) {
                break;
            }
            if (other.y <= left.y + left.h && left.y <= other.y + other.h) {
                candidates.emplace_back(std::min(byLeftEdge[a], byLeftEdge[b]), std::max(byLeftEdge[a], byLeftEdge[b]));
            }
        }
    }
    // A box that is not finite cannot rule anything out.
    for (std::uint32_t u : unbounded) {
        for (std::uint32_t k = 0; k < n; ++k) {
            if (k != u && (k > u || std::find(unbounded.begin(), unbounded.end(), k) == unbounded.end())) {
                candidates.emplace_back(std::min(u, k), std::max(u, k));
            }
        }
    }
    std::sort(candidates.begin(), candidates.end());
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
