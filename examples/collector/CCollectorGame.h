#pragma once

#include <velmora/engine/CGameBase.h>

class CCoin;
class CLabelSprite;
class CSpriteManager;
class CWalker;

// The collector's game: reads config.ini and level.ini with the engine's INI
// getters, puts the walker, the coins and a count on screen, and ends once every
// coin is picked up (or on ESC). The coins tell it when they are taken.
class CCollectorGame : public CGameBase
{
public:
    CCollectorGame();

    // Called by a coin when the walker picks it up: counts it and removes it.
    void OnCoinCollected(CCoin* coin);
    bool AllCollected() const { return coinCount > 0 && collected == coinCount; }

    void OnInit() override;
    void OnShutdown() override;
    void OnRender(SDL_Surface* screen) override;
    void OnUpdate(double seconds) override;
    void OnKeyDown(const SDL_Event* event) override;
    void OnKeyUp(const SDL_Event* event) override;

private:
    void ShowCount();

    CSpriteManager* sprites = nullptr;   // owned; owns every sprite and texture
    CWalker* walker = nullptr;           // the sprite manager's
    CLabelSprite* countLabel = nullptr;  // the sprite manager's
    int coinCount = 0;
    int collected = 0;
};
