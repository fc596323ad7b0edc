#pragma once

#include <velmora/sprites/CImageSprite.h>

class CCollectorGame;

// A coin on the field: a trigger that reacts to actors only. Touched by the
// walker it tells the game, which takes it out of the scene.
class CCoin : public CImageSprite
{
public:
    CCoin(CSprite* parent, CCollectorGame* game);

    void OnCollision(CSprite* other) override;

private:
    CCollectorGame* game;  // not owned
};
