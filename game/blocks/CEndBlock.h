#pragma once

#include "game/blocks/CGameBlock.h"

#include <string>
#include <typeinfo>

class CGameMain;

// The goal of the level: touching it shows its text on the end screen, and the
// game quits five seconds later.
class CEndBlock : public CGameBlock
{
public:
    // Drawn as its base draws, so the scene batches it.
    bool DrawsAsBase() const override { return typeid(*this) == typeid(CEndBlock); }

    CGameMain* game;   // not owned; set by the creator
    bool triggered;    // touched by the player
    double timer;      // seconds since the touch
    std::string text;  // the end-screen text: "text"

    explicit CEndBlock(CSprite* parent = nullptr, CGameMain* gameObject = nullptr);

    // Fires at any depth, for the player only.
    void OnCollision(CSprite* other) override;
    // The countdown to quitting.
    void OnUpdate(double seconds) override;
    void LoadFromIni(std::string file, std::string section) override;
};
