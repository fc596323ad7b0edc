#pragma once

#include "game/blocks/CGameBlock.h"

#include <typeinfo>

// A block that travels back and forth between two points at a constant speed and
// carries the player along while they overlap.
class CPlatform : public CGameBlock
{
public:
    // Drawn as its base draws, so the scene batches it.
    bool DrawsAsBase() const override { return typeid(*this) == typeid(CPlatform); }

    int startX;         // first end point: "X", "Y" truncated
    int startY;
    int endX;           // second end point: "X2", "Y2"
    int endY;
    double speed;       // pixels per second; not above 0 means the platform stands still
    double travelTime;  // seconds for one leg
    double elapsed;     // seconds into the current leg
    double lastDx;      // pixels the last update moved the platform
    double lastDy;
    bool forward;       // the current leg runs from the start point to the end point
    double sinceCarry = 1e9;  // seconds of updates since the player last touched it

    explicit CPlatform(CSprite* parent = nullptr);

    // Carries the player, at any depth, by the last update's movement.
    void OnCollision(CSprite* other) override;
    void OnUpdate(double seconds) override;
    void LoadFromIni(std::string file, std::string section) override;
};
