#include "CWalker.h"

#include <algorithm>

CWalker::CWalker(CSprite* parent, double speed, int fieldWidth, int fieldHeight)
    : CImageSprite(parent), speed(speed), fieldWidth(fieldWidth), fieldHeight(fieldHeight)
{
    SetCollisionGroups(COLLISION_ACTOR, COLLISION_NONE);
}

void CWalker::HandleKey(SDLKey key, bool pressed)
{
    switch (key)
    {
    case SDLK_a: case SDLK_LEFT: left = pressed; break;
    case SDLK_d: case SDLK_RIGHT: right = pressed; break;
    case SDLK_w: case SDLK_UP: up = pressed; break;
    case SDLK_s: case SDLK_DOWN: down = pressed; break;
    default: break;
    }
}

void CWalker::OnUpdate(double seconds)
{
    // Moved by the frame's seconds, so a replay of the same frames walks the same way.
    x = std::clamp(x + (right - left) * speed * seconds, 0.0, std::max(0.0, fieldWidth - GetWidth()));
    y = std::clamp(y + (down - up) * speed * seconds, 0.0, std::max(0.0, fieldHeight - GetHeight()));
}
