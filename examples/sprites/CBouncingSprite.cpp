#include "CBouncingSprite.h"

#include <typeinfo>

CBouncingSprite::CBouncingSprite(std::uint32_t index, int w, int h)
    : CImageSprite(nullptr), body(BounceStart(index, w, h)), fieldW(w), fieldH(h) {
    // In no collision group, as particles are: the collision pass skips it.
    SetCollisionGroups(COLLISION_NONE, COLLISION_NONE);
    // One depth for all: list order decides what is in front, without a depth test.
    depthTest = false;
    x = body.x;
    y = body.y;
}

void CBouncingSprite::Update(double seconds) {
    BounceStep(body, seconds, fieldW, fieldH);
    x = body.x;
    y = body.y;
}

bool CBouncingSprite::DrawsAsBase() const { return typeid(*this) == typeid(CBouncingSprite); }
