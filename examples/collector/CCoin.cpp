#include "CCoin.h"

#include "CCollectorGame.h"

CCoin::CCoin(CSprite* parent, CCollectorGame* game) : CImageSprite(parent), game(game)
{
    collisionCategory = COLLISION_TRIGGER;
    collisionMask = COLLISION_ACTOR;
    // A coin lies still and has no animation: the manager need not call Update.
    needsUpdate = false;
}

void CCoin::OnCollision(CSprite* other)
{
    if (!visible || (other->collisionCategory & COLLISION_ACTOR) == 0)
        return;
    visible = false;
    collisionCategory = COLLISION_NONE;
    collisionMask = COLLISION_NONE;
    game->OnCoinCollected();
}
