#pragma once

#include <velmora/sprites/CImageSprite.h>

// The square the player walks over the field with a/d/w/s or the arrow keys,
// kept inside the window. An actor: the coins react to it.
class CWalker : public CImageSprite
{
public:
    // `speed` in pixels per second; the field is `fieldWidth` x `fieldHeight` pixels.
    CWalker(CSprite* parent, double speed, int fieldWidth, int fieldHeight);

    void HandleKey(SDLKey key, bool down);
    void OnUpdate(double seconds) override;

private:
    double speed;
    int fieldWidth;
    int fieldHeight;
    bool left = false;
    bool right = false;
    bool up = false;
    bool down = false;
};
