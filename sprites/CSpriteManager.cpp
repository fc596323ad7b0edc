#include "sprites/CSpriteManager.h"

#include <algorithm>
#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <limits>
#include <typeinfo>

#include "config/NumberText.h"
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
      cullOffScreen(true),
      textureManager(new CTextureManager()),
      slots(),
      activeSprites(),
      seen(0),
      pollBudget(0),
      warnedBudget(false),
      collectedCameraX(0.0),
      collectedCameraY(0.0),
      refiles(),
      removedAt(),
      passDepth(0),
      stillCategories(0),
      stillMasks(0) {
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

namespace {

// Room around an extent kept relative to the manager: corners are truncated in
// world coordinates, so they wander by up to a pixel as the camera moves, and
// moving a box by the camera rounds.
SpriteExtent Widened(const SpriteExtent& e, double dx, double dy) {
    auto room = [](double v) { return 4.0 + std::fabs(v) * 1e-9; };
    return {e.minX + dx - room(e.minX), e.minY + dy - room(e.minY), e.maxX + dx + room(e.maxX),
            e.maxY + dy + room(e.maxY)};
}

SpriteExtent Shifted(const SpriteExtent& e, double dx, double dy) {
    return {e.minX + dx, e.minY + dy, e.maxX + dx, e.maxY + dy};
}

// Whether a still sprite's box is where it was filed, up to the pixel its
// truncated corners wander with the camera: less than the room Widened gives,
// so that a sprite passing this test is still found where it is.
bool NearlyEqual(const SpriteExtent& a, const SpriteExtent& b) {
    auto within = [](double u, double v) { return std::fabs(u - v) <= 2.0 + std::fabs(v) * 1e-9; };
    return within(a.minX, b.minX) && within(a.minY, b.minY) && within(a.maxX, b.maxX) && within(a.maxY, b.maxY);
}

// Written so that a NaN extent is never outside: what cannot be placed is drawn.
bool Outside(const SpriteExtent& e, const SpriteExtent& view) {
    return e.maxX < view.minX || e.minX > view.maxX || e.maxY < view.minY || e.minY > view.maxY;
}

// The GL's projection times its model-view matrix, column-major as GL keeps them.
void WorldToClip(double (&c)[16]) {
    GLdouble p[16];
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += p[k * 4 + row] * m[col * 4 + k];
            }
            c[col * 4 + row] = sum;
        }
    }
}

// Sprite checks the handlers of one pass may cause before only the pair's own
// sprites are checked (a pile of moving sprites that all touch would otherwise
// cost their number squared).
constexpr std::size_t POLL_BUDGET = std::size_t{1} << 21;

// How far ahead of a moving sprite its scenery pairs are collected: at least this
// many pixels, and at most this many times its size before starting again.
constexpr double MIN_LOOKAHEAD = 16.0;
constexpr double MAX_LOOKAHEAD = 32.0;

}  // namespace

// The per-frame passes walk by index and read the size anew at each step, so a
// sprite added by a handler (which may move the list) is safe and takes part.

CSpriteManager::PassGuard::PassGuard(CSpriteManager& scene) : manager(scene) { ++manager.passDepth; }

CSpriteManager::PassGuard::~PassGuard() {
    if (--manager.passDepth == 0 && !manager.removedAt.empty()) {
        manager.DestroyRemoved();
    }
}

void CSpriteManager::Render(SDL_Surface* screen) {
    const PassGuard pass(*this);
    if (!visible) {
        return;
    }
    Refresh();
    batch.SetPixelExact(OnePixelPerUnit());
    // The engine's image sprites go into the batch; any other sprite draws itself
    // after what the batch holds, so the pixels come in list order either way.
    auto draw = [this, screen](CSprite* sprite) {
        if (!sprite->AddToBatch(batch)) {
            batch.Flush();
            sprite->Render(screen);
        }
    };
    SpriteExtent view;
    if (!cullOffScreen || !ViewExtent(view)) {
        for (std::size_t i = 0; i < activeSprites.size(); ++i) {
            draw(activeSprites[i]);
        }
        batch.Flush();
        return;
    }
    // What the view shows: still scenery from the grid, every moving sprite by
    // its drawn extent; drawn in list order, as without the skip. The moving
    // sprites come in ascending order: each is tested and drawn in one visit,
    // the grid's finds (sorted) drawn between them where they belong.
    found.clear();
    stillGrid.Query(Widened(view, -GetWorldX(), -GetWorldY()), found);
    std::sort(found.begin(), found.end());
    std::size_t next = 0;
    SpriteExtent drawn;
    for (std::uint32_t k : moving) {
        for (; next < found.size() && found[next] < k; ++next) {
            draw(activeSprites[found[next]]);
        }
        CSprite* sprite = activeSprites[k];
        if (!sprite->GetDrawnExtent(drawn) || !Outside(drawn, view)) {
            draw(sprite);
        }
    }
    for (; next < found.size(); ++next) {
        draw(activeSprites[found[next]]);
    }
    batch.Flush();
}

void CSpriteManager::Update(double seconds) {
    const PassGuard pass(*this);
    // Sprites added by an Update are filed at once and updated in the same pass;
    // the changes of those filed already wait for the next pass.
    Refresh();
    for (std::size_t at = 0; at < updated.size(); ++at) {
        CSprite* sprite = activeSprites[updated[at]];
        if (!sprite->filing.removed) {
            sprite->Update(seconds);
        }
        if (seen < activeSprites.size()) {
            FileNew();
        }
    }
}

bool CSpriteManager::ViewExtent(SpriteExtent& out) {
    double c[16];
    WorldToClip(c);
    for (double v : c) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    // Clip x must follow world x alone, clip y world y alone, and w be fixed.
    if (c[4] != 0.0 || c[8] != 0.0 || c[1] != 0.0 || c[9] != 0.0 || c[3] != 0.0 || c[7] != 0.0 || c[11] != 0.0 ||
        c[0] == 0.0 || c[5] == 0.0 || c[15] == 0.0) {
        return false;
    }
    const double w = c[15];
    const double x0 = (-w - c[12]) / c[0];
    const double x1 = (w - c[12]) / c[0];
    const double y0 = (-w - c[13]) / c[5];
    const double y1 = (w - c[13]) / c[5];
    // A pixel of room against rounding in the GL's own arithmetic.
    out = {std::min(x0, x1) - 1.0, std::min(y0, y1) - 1.0, std::max(x0, x1) + 1.0, std::max(y0, y1) + 1.0};
    return true;
}

bool CSpriteManager::OnePixelPerUnit() {
    double c[16];
    WorldToClip(c);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Window x = world x + a whole number, window y = -(world y) + a whole
    // number: no scale, turn or perspective, up to the rounding of the matrices.
    auto within = [](double a, double b) { return std::fabs(a - b) < 1e-6; };
    auto whole = [&within](double a) { return std::isfinite(a) && within(a, std::floor(a + 0.5)); };
    const double halfW = viewport[2] / 2.0;
    const double halfH = viewport[3] / 2.0;
    return within(c[15], 1.0) && c[3] == 0.0 && c[7] == 0.0 && c[11] == 0.0 && c[1] == 0.0 && c[4] == 0.0 &&
           within(c[0] * halfW, 1.0) && within(c[5] * halfH, -1.0) && whole((c[12] + 1.0) * halfW) &&
           whole((c[13] + 1.0) * halfH);
}

void CSpriteManager::Refresh() {
    FileNew();
    // Another pass running below this one walks the lists: they change only
    // when it ends.
    if (passDepth > 1) {
        return;
    }
    // By index: filing calls a sprite's own code, which may ask for more. One
    // added meanwhile is filed by the next FileNew, as it is then.
    for (std::size_t at = 0; at < refiles.size(); ++at) {
        CSprite* sprite = refiles[at];
        sprite->filing.queued = false;
        const std::size_t position = PositionOf(sprite);
        if (!sprite->filing.removed && position < seen) {
            Unfile(static_cast<std::uint32_t>(position));
            File(static_cast<std::uint32_t>(position));
        }
    }
    refiles.clear();
}

void CSpriteManager::FileNew() {
    if (seen == activeSprites.size()) {
        return;
    }
    for (; seen < activeSprites.size(); ++seen) {
        File(static_cast<std::uint32_t>(seen));
    }
    // Grown here, where a level is filed, rather than in the first collision pass.
    boxes.resize(activeSprites.size());
}

void CSpriteManager::File(std::uint32_t index) {
    CSprite* sprite = activeSprites[index];
    CSprite::Filing& filing = sprite->filing;
    filing.updated = sprite->NeedsUpdate();
    if (filing.updated) {
        updated.insert(std::upper_bound(updated.begin(), updated.end(), index), index);
    }
    filing.inGrid = sprite->IsStill();
    if (!filing.inGrid) {
        moving.insert(std::upper_bound(moving.begin(), moving.end(), index), index);
        return;
    }
    stillCategories |= sprite->GetCollisionCategory();
    stillMasks |= sprite->GetCollisionMask();
    // Kept relative to the manager, so that the camera moves nothing. A sprite
    // whose drawn area is unknown or not finite is found by every query.
    const double cameraX = GetWorldX();
    const double cameraY = GetWorldY();
    SpriteQuad corners;
    SpriteExtent box;
    SpriteExtent drawn;
    filing.touches = BroadPhaseBox(*sprite->GetCorners(corners), box);
    filing.box = Shifted(box, -cameraX, -cameraY);
    if (!sprite->GetDrawnExtent(drawn)) {
        drawn = {NAN, NAN, NAN, NAN};
    } else if (filing.touches) {
        drawn = {std::min(drawn.minX, box.minX), std::min(drawn.minY, box.minY), std::max(drawn.maxX, box.maxX),
                 std::max(drawn.maxY, box.maxY)};
    }
    stillGrid.Insert(index, Widened(drawn, -cameraX, -cameraY));
}

void CSpriteManager::Unfile(std::uint32_t index) {
    CSprite::Filing& filing = activeSprites[index]->filing;
    auto drop = [index](std::vector<std::uint32_t>& list) {
        const auto at = std::lower_bound(list.begin(), list.end(), index);
        if (at != list.end() && *at == index) {
            list.erase(at);
        }
    };
    if (filing.updated) {
        drop(updated);
    }
    if (filing.inGrid) {
        stillGrid.Remove(index);
    } else {
        drop(moving);
    }
    filing.updated = false;
    filing.inGrid = false;
}

void CSpriteManager::Refile(CSprite* sprite) {
    if (sprite == nullptr || sprite->filing.manager != this || sprite->filing.queued || sprite->filing.removed) {
        return;
    }
    sprite->filing.queued = true;
    refiles.push_back(sprite);
}

void CSpriteManager::CheckStill(std::uint32_t index) {
    CSprite* sprite = activeSprites[index];
    CSprite::Filing& filing = sprite->filing;
    if (filing.queued || filing.removed) {
        return;
    }
    SpriteQuad corners;
    SpriteExtent box;
    const bool touches = BroadPhaseBox(*sprite->GetCorners(corners), box);
    if (touches == filing.touches &&
        (!touches || NearlyEqual(Shifted(box, -GetWorldX(), -GetWorldY()), filing.box))) {
        return;
    }
    if (!filing.reportedMoved) {
        filing.reportedMoved = true;
        LogWrite(LOG_ERROR,
                 "Still sprite " + LogClassName(typeid(*sprite)) + " at " + NumberToString(sprite->x) + ", " +
                     NumberToString(sprite->y) +
                     " has moved since it was filed; filed again. Call Refile after moving a still sprite.",
                 LogClassName(typeid(*this)));
    }
    Refile(sprite);
}

// For an upright rectangle the box is its bounding box: the overlap test checks
// the x and y axes. Any other shape (turned, or without area, where an edge of
// length zero separates nothing) may be found touching anything its
// circumscribed circle reaches, so its box is that circle's. A corner that is
// NaN or infinite touches nothing. Min and max, never a size, which could
// overflow far out; a box beyond the largest double is held there, as nothing
// lies further.
bool CSpriteManager::BroadPhaseBox(const SpriteQuad& q, SpriteExtent& out) {
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
    const double largest = std::numeric_limits<double>::max();
    out.minX = std::max(-largest, std::min(out.minX, cx - r));
    out.minY = std::max(-largest, std::min(out.minY, cy - r));
    out.maxX = std::min(largest, std::max(out.maxX, cx + r));
    out.maxY = std::min(largest, std::max(out.maxY, cy + r));
    return true;
}

CSpriteManager::Snapshot CSpriteManager::Take(CSprite* sprite) {
    SpriteQuad corners;
    Snapshot shot;
    shot.category = sprite->GetCollisionCategory();
    shot.mask = sprite->GetCollisionMask();
    // A sprite in no group can be in no pair (particles): its corners are not
    // read, and it is neither swept nor looked up.
    if ((shot.category | shot.mask) == 0) {
        shot.touches = false;
        shot.box = {0.0, 0.0, 0.0, 0.0};
        return shot;
    }
    shot.touches = BroadPhaseBox(*sprite->GetCorners(corners), shot.box);
    return shot;
}

void CSpriteManager::CheckCollisions() {
    const PassGuard pass(*this);
    if (activeSprites.size() < 2) {
        return;
    }
    // Only pairs that can react and whose boxes touch can matter, so the pass
    // walks those in the order of the full double loop. A handler that moves
    // sprites adds the pairs their new places touch, taken in the same order
    // from a heap beside the list; one that changes more (adds a sprite, changes
    // a group) has them collected anew.
    Refresh();
    CollectCandidatePairs();
    // A still sprite found moved is filed where it is now, before any pair.
    if (!refiles.empty()) {
        Refresh();
        CollectCandidatePairs();
    }
    pollBudget = POLL_BUDGET;
    std::size_t next = 0;
    bool started = false;
    SpritePair last{0, 0};
    for (;;) {
        SpritePair pair;
        if (next < candidates.size() && (pending.empty() || candidates[next] <= pending.front())) {
            pair = candidates[next++];
        } else if (!pending.empty()) {
            std::pop_heap(pending.begin(), pending.end(), std::greater<SpritePair>());
            pair = pending.back();
            pending.pop_back();
        } else {
            break;
        }
        // A pair found again after its turn is not tested twice.
        if (started && pair <= last) {
            continue;
        }
        started = true;
        last = pair;
        CSprite* first = activeSprites[pair.first];
        CSprite* second = activeSprites[pair.second];
        if (first->filing.removed || second->filing.removed) {
            continue;
        }
        if (first->CanCollideWith(*second) && first->CollidesWith(second)) {
            const std::size_t count = activeSprites.size();
            first->OnCollision(second);
            if (!first->filing.removed && !second->filing.removed) {
                second->OnCollision(first);
            }
            const Change change = SceneChanged(pair, count);
            if (change == Change::Moved) {
                for (const auto& moved : movedNow) {
                    AddPairsOf(moved.first, moved.second, pair);
                }
            } else if (change == Change::Everything) {
                Refresh();
                CollectCandidatePairs();
                next = static_cast<std::size_t>(std::upper_bound(candidates.begin(), candidates.end(), pair) -
                                                candidates.begin());
            }
        }
    }
}

CSpriteManager::Change CSpriteManager::SceneChanged(const SpritePair& pair, std::size_t count) {
    // Sprites to refile are filed now, unless a pass below this one walks the lists.
    if (activeSprites.size() != count || (!refiles.empty() && passDepth == 1) || GetWorldX() != collectedCameraX ||
        GetWorldY() != collectedCameraY) {
        return Change::Everything;
    }
    movedNow.clear();
    // False when more than the place changed.
    auto check = [this](std::size_t at) {
        const Snapshot now = Take(activeSprites[moving[at]]);
        const Snapshot& was = snapshots[at];
        if (now.touches != was.touches || now.category != was.category || now.mask != was.mask) {
            return false;
        }
        if (now.touches && (now.box.minX != was.box.minX || now.box.minY != was.box.minY ||
                            now.box.maxX != was.box.maxX || now.box.maxY != was.box.maxY)) {
            movedNow.emplace_back(at, now);
        }
        return true;
    };
    // Any moving sprite may have been moved, also one that is not of the pair.
    if (pollBudget >= moving.size()) {
        pollBudget -= moving.size();
        for (std::size_t at = 0; at < moving.size(); ++at) {
            if (!check(at)) {
                return Change::Everything;
            }
        }
        return movedNow.empty() ? Change::Nothing : Change::Moved;
    }
    if (!warnedBudget) {
        warnedBudget = true;
        LogWrite(LOG_WARNING,
                 "Too many touching sprites move: a handler that moves a sprite other than its pair's may go "
                 "unseen until the next pass.",
                 LogClassName(typeid(*this)));
    }
    for (std::uint32_t index : {pair.first, pair.second}) {
        const auto at = std::lower_bound(moving.begin(), moving.end(), index);
        if (at != moving.end() && *at == index && !check(static_cast<std::size_t>(at - moving.begin()))) {
            return Change::Everything;
        }
    }
    return movedNow.empty() ? Change::Nothing : Change::Moved;
}

void CSpriteManager::AddPairsOf(std::size_t at, const Snapshot& now, const SpritePair& after) {
    const std::uint32_t k = moving[at];
    snapshots[at] = now;
    boxes[k] = now.box;
    auto add = [this, k, &after](std::uint32_t v) {
        const SpritePair pair(std::min(k, v), std::max(k, v));
        if (after < pair) {
            pending.push_back(pair);
            std::push_heap(pending.begin(), pending.end(), std::greater<SpritePair>());
        }
    };
    // The other moving sprites it now touches and can react with.
    for (std::size_t o = 0; o < moving.size(); ++o) {
        const Snapshot& other = snapshots[o];
        if (o != at && other.touches && ((now.mask & other.category) | (other.mask & now.category)) != 0 &&
            ExtentsMeet(now.box, other.box)) {
            add(moving[o]);
        }
    }
    if (!MeetsStill(now.category, now.mask)) {
        return;
    }
    // Still scenery: only what lies beyond the area its pairs were collected for
    // (scenery found by every query was collected with the rest). Leaving that
    // area grows it ahead of the sprite by its own size or more, so that a sprite
    // pushed a pixel at a time looks up a strip now and then, not at every push;
    // grown too far, it starts again around the sprite.
    SpriteExtent& covered = coverage[at];
    const SpriteExtent& box = now.box;
    if (box.minX >= covered.minX && box.maxX <= covered.maxX && box.minY >= covered.minY &&
        box.maxY <= covered.maxY) {
        return;
    }
    const double sideX = std::max(box.maxX - box.minX, MIN_LOOKAHEAD);
    const double sideY = std::max(box.maxY - box.minY, MIN_LOOKAHEAD);
    const double coveredW = covered.maxX - covered.minX;
    const double coveredH = covered.maxY - covered.minY;
    const SpriteExtent before = Widened(covered, -collectedCameraX, -collectedCameraY);
    found.clear();
    if (ExtentsMeet(covered, box) && coveredW <= MAX_LOOKAHEAD * sideX && coveredH <= MAX_LOOKAHEAD * sideY) {
        SpriteExtent target = covered;
        if (box.minX < covered.minX) target.minX = box.minX - std::max(sideX, coveredW);
        if (box.maxX > covered.maxX) target.maxX = box.maxX + std::max(sideX, coveredW);
        if (box.minY < covered.minY) target.minY = box.minY - std::max(sideY, coveredH);
        if (box.maxY > covered.maxY) target.maxY = box.maxY + std::max(sideY, coveredH);
        const SpriteExtent strips[4] = {
            {target.minX, target.minY, target.maxX, covered.minY}, {target.minX, covered.maxY, target.maxX, target.maxY},
            {target.minX, covered.minY, covered.minX, covered.maxY},
            {covered.maxX, covered.minY, target.maxX, covered.maxY}};
        const bool beyond[4] = {target.minY < covered.minY, target.maxY > covered.maxY, target.minX < covered.minX,
                                target.maxX > covered.maxX};
        for (int side = 0; side < 4; ++side) {
            if (beyond[side]) {
                stillGrid.QueryOutside(Widened(strips[side], -collectedCameraX, -collectedCameraY), &before, found);
            }
        }
        covered = target;
    } else {
        covered = {box.minX - sideX, box.minY - sideY, box.maxX + sideX, box.maxY + sideY};
        stillGrid.QueryOutside(Widened(covered, -collectedCameraX, -collectedCameraY), &before, found);
    }
    for (std::uint32_t v : found) {
        CheckStill(v);
        add(v);
    }
}

void CSpriteManager::CollectCandidatePairs() {
    boxes.resize(activeSprites.size());
    snapshots.resize(moving.size());
    coverage.resize(moving.size());
    byLeftEdge.clear();
    candidates.clear();
    pending.clear();
    collectedCameraX = GetWorldX();
    collectedCameraY = GetWorldY();
    std::uint32_t masks = 0;
    std::uint32_t categories = 0;
    for (std::size_t at = 0; at < moving.size(); ++at) {
        const std::uint32_t k = moving[at];
        snapshots[at] = Take(activeSprites[k]);
        coverage[at] = snapshots[at].box;
        if (snapshots[at].touches) {
            boxes[k] = snapshots[at].box;
            byLeftEdge.push_back(k);
            masks |= snapshots[at].mask;
            categories |= snapshots[at].category;
        }
    }
    // Ties by index: both lists of a sweep must agree on which of two comes first.
    std::sort(byLeftEdge.begin(), byLeftEdge.end(), [this](std::uint32_t a, std::uint32_t b) {
        return boxes[a].minX < boxes[b].minX || (boxes[a].minX == boxes[b].minX && a < b);
    });
    // A pair can react when some category bit is in one member's mask and the
    // other's category: sweep, bit by bit, those that react to it against those
    // that carry it.
    const std::uint32_t bits = masks & categories;
    for (int bit = 0; bit < 32; ++bit) {
        const std::uint32_t b = std::uint32_t{1} << bit;
        if ((bits & b) == 0) {
            continue;
        }
        reacting.clear();
        reactedTo.clear();
        for (std::uint32_t k : byLeftEdge) {
            if ((activeSprites[k]->GetCollisionMask() & b) != 0) {
                reacting.push_back(k);
            }
            if ((activeSprites[k]->GetCollisionCategory() & b) != 0) {
                reactedTo.push_back(k);
            }
        }
        SweepLists(reacting, reactedTo);
    }
    // Still sprites never meet each other: only the moving sprites whose groups
    // can meet one look them up, and only around themselves.
    const double cameraX = collectedCameraX;
    const double cameraY = collectedCameraY;
    for (std::uint32_t k : byLeftEdge) {
        if (!MeetsStill(activeSprites[k]->GetCollisionCategory(), activeSprites[k]->GetCollisionMask())) {
            continue;
        }
        found.clear();
        stillGrid.Query(Widened(boxes[k], -cameraX, -cameraY), found);
        for (std::uint32_t v : found) {
            CheckStill(v);
            candidates.emplace_back(std::min(k, v), std::max(k, v));
        }
    }
    // A pair that meets through more than one bit, or both ways, is found again.
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
}

void CSpriteManager::SweepLists(const std::vector<std::uint32_t>& first, const std::vector<std::uint32_t>& second) {
    // From left to right over both lists at once: the box that starts first meets
    // the boxes of the other list that start before it ends.
    auto pairUp = [this](std::uint32_t u, const std::vector<std::uint32_t>& others, std::size_t from) {
        const SpriteExtent& box = boxes[u];
        for (std::size_t k = from; k < others.size() && boxes[others[k]].minX <= box.maxX; ++k) {
            const std::uint32_t v = others[k];
            const SpriteExtent& other = boxes[v];
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
        if (!sprite->filing.removed && PointInQuad(*sprite->GetCorners(corners), px, py)) {
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
        sprite->filing = CSprite::Filing{};
        sprite->filing.manager = this;
        sprite->filing.slot = slots.size();
    }
    slots.push_back(sprite);
    // Slots only ever grow at the end, so appending is the same as rebuilding the
    // active list, without making a level's loading quadratic.
    if (sprite != nullptr) {
        activeSprites.push_back(sprite);
    }
    return static_cast<int>(slots.size()) - 1;
}

std::size_t CSpriteManager::PositionOf(const CSprite* sprite) const {
    const auto at = std::lower_bound(activeSprites.begin(), activeSprites.end(), sprite->filing.slot,
                                     [](const CSprite* s, std::size_t slot) { return s->filing.slot < slot; });
    return at != activeSprites.end() && *at == sprite ? static_cast<std::size_t>(at - activeSprites.begin())
                                                      : activeSprites.size();
}

bool CSpriteManager::RemoveSprite(CSprite* sprite) {
    // The position check also refuses a sprite whose scene is being cleared.
    const std::size_t position =
        sprite != nullptr && sprite->filing.manager == this ? PositionOf(sprite) : activeSprites.size();
    if (position == activeSprites.size() || sprite->filing.removed) {
        LogWrite(LOG_WARNING, "RemoveSprite: the sprite is not in this scene.", LogClassName(typeid(*this)));
        return false;
    }
    sprite->filing.removed = true;
    removedAt.push_back(static_cast<std::uint32_t>(position));
    if (passDepth == 0) {
        DestroyRemoved();
    }
    return true;
}

void CSpriteManager::DestroyRemoved() {
    // Positions do not change before this: sprites are only appended meanwhile.
    // Every list is closed up in one walk over flat numbers, without touching
    // the sprites that stay.
    std::vector<CSprite*> doomed;
    std::vector<std::uint32_t> removed;
    // A destructor may remove further sprites: they wait for the next round.
    while (!removedAt.empty()) {
        ++passDepth;
        removed.swap(removedAt);
        removedAt.clear();
        std::sort(removed.begin(), removed.end());
        for (std::uint32_t k : removed) {
            doomed.push_back(activeSprites[k]);
            slots[activeSprites[k]->filing.slot] = nullptr;
        }
        // The new place of the entry at k: k less the removed ones before it.
        auto closeUp = [&removed](std::vector<std::uint32_t>& list) {
            std::size_t kept = 0;
            std::size_t below = 0;
            for (std::uint32_t k : list) {
                while (below < removed.size() && removed[below] < k) {
                    ++below;
                }
                if (below < removed.size() && removed[below] == k) {
                    continue;
                }
                list[kept++] = static_cast<std::uint32_t>(k - below);
            }
            list.resize(kept);
        };
        closeUp(updated);
        closeUp(moving);
        stillGrid.CloseGaps(removed);
        std::size_t kept = removed.front();
        std::size_t next = 0;
        std::size_t seenRemoved = 0;
        for (std::size_t k = removed.front(); k < activeSprites.size(); ++k) {
            if (next < removed.size() && removed[next] == k) {
                ++next;
                seenRemoved += k < seen ? 1 : 0;
                continue;
            }
            activeSprites[kept++] = activeSprites[k];
        }
        activeSprites.resize(kept);
        seen -= seenRemoved;
        refiles.erase(std::remove_if(refiles.begin(), refiles.end(),
                                     [](const CSprite* sprite) { return sprite->filing.removed; }),
                      refiles.end());
        for (CSprite* sprite : doomed) {
            delete sprite;
        }
        doomed.clear();
        removed.clear();
        --passDepth;
    }
}

void CSpriteManager::RemoveAllSprites() {
    // Front first, as added. Each slot is emptied before its sprite is destroyed,
    // so nothing can reach a sprite that is being destroyed through the lists.
    activeSprites.clear();
    stillGrid.Clear();
    moving.clear();
    updated.clear();
    snapshots.clear();
    refiles.clear();
    removedAt.clear();
    stillCategories = 0;
    stillMasks = 0;
    seen = 0;
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
