#include "sprites/CSprite.h"

CSprite::CSprite(CSprite* parentSprite)
    : parent(parentSprite),
      x(0.0),
      y(0.0),
      z(0.0),
      // Tested against everything, as a sprite that knows nothing of groups expects.
      collisionCategory(COLLISION_DEFAULT),
      collisionMask(COLLISION_ALL),
      needsUpdate(true) {}

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

bool CSprite::GetDrawnExtent(SpriteExtent& /*out*/) { return false; }

double CSprite::GetWorldX() { return parent != nullptr ? x + parent->GetWorldX() : x; }

double CSprite::GetWorldY() { return parent != nullptr ? y + parent->GetWorldY() : y; }

double CSprite::GetWorldZ() { return parent != nullptr ? z + parent->GetWorldZ() : z; }

void CSprite::SetWorldX(double wx) { x = parent != nullptr ? wx - parent->GetWorldX() : wx; }

void CSprite::SetWorldY(double wy) { y = parent != nullptr ? wy - parent->GetWorldY() : wy; }

bool CSprite::AddToBatch(CSpriteBatch& /*batch*/) { return false; }
