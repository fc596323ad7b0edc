#pragma once

#include <velmora/sprites/CImageSprite.h>

class CCollectorGame;

// A coin on the field: a trigger that reacts to actors only. Touched by the
// walker it disappears, stops colliding and tells the game, once.
class CCoin : public CImageSprite
{
public:
    CCoin(CSprite* parent, CCollectorGame* game);

    void OnCollision(CSprite* other) override;

private:
    CCollectorGame* game;  // not owned
};
