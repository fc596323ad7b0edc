#include "sprites/CSprite.h"

#include "sprites/CSpriteManager.h"

CSprite::CSprite(CSprite* parentSprite)
    : parent(parentSprite),
      x(0.0),
      y(0.0),
      z(0.0),
      // Tested against everything, as a sprite that knows nothing of groups expects.
      collisionCategory(COLLISION_DEFAULT),
      collisionMask(COLLISION_ALL),
      needsUpdate(true),
      still(false),
      filing() {}

CSprite::~CSprite() = default;

SpriteQuad* CSprite::GetCorners(SpriteQuad& out) {
    out = SpriteQuad{};
    return &out;
}

bool CSprite::CollidesWith(CSprite* other) {
    SpriteQuad a;
    SpriteQuad b;
    return QuadsOverlap(*GetCorners(a), *other->GetCorners(b));
}

void CSprite::OnCollision(CSprite* /*other*/) {}

void CSprite::SetCollisionGroups(std::uint32_t category, std::uint32_t mask) {
    if (category != collisionCategory || mask != collisionMask) {
        collisionCategory = category;
        collisionMask = mask;
        Changed();
    }
}

void CSprite::SetNeedsUpdate(bool update) {
    if (update != needsUpdate) {
        needsUpdate = update;
        Changed();
    }
}

void CSprite::SetStill(bool lyingStill) {
    if (lyingStill != still) {
        still = lyingStill;
        Changed();
    }
}

void CSprite::MarkAsScenery() {
    SetNeedsUpdate(false);
    SetCollisionGroups(COLLISION_SCENERY, COLLISION_NONE);
    SetStill(true);
}

void CSprite::Changed() {
    if (filing.manager != nullptr) {
        filing.manager->Refile(this);
    }
}

bool CSprite::GetDrawnExtent(SpriteExtent& /*out*/) { return false; }

double CSprite::GetWorldX() { return parent != nullptr ? x + parent->GetWorldX() : x; }

double CSprite::GetWorldY() { return parent != nullptr ? y + parent->GetWorldY() : y; }

double CSprite::GetWorldZ() { return parent != nullptr ? z + parent->GetWorldZ() : z; }

void CSprite::SetWorldX(double wx) { x = parent != nullptr ? wx - parent->GetWorldX() : wx; }

void CSprite::SetWorldY(double wy) { y = parent != nullptr ? wy - parent->GetWorldY() : wy; }

bool CSprite::AddToBatch(CSpriteBatch& /*batch*/) { return false; }
