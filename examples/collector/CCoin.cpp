#include "CCoin.h"

#include "CCollectorGame.h"

CCoin::CCoin(CSprite* parent, CCollectorGame* game) : CImageSprite(parent), game(game)
{
    SetCollisionGroups(COLLISION_TRIGGER, COLLISION_ACTOR);
    // A coin has no animation: the manager need not call Update.
    SetNeedsUpdate(false);
}

void CCoin::OnCollision(CSprite* other)
{
    if ((other->GetCollisionCategory() & COLLISION_ACTOR) == 0)
        return;
    game->OnCoinCollected(this);
}
