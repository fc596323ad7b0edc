#pragma once

#include "game/blocks/CGameBlock.h"

#include <typeinfo>

// A block that moves the player's respawn point the first time the player touches it.
class CCheckPointBlock : public CGameBlock
{
public:
    // Drawn as its base draws, so the scene batches it.
    bool DrawsAsBase() const override { return typeid(*this) == typeid(CCheckPointBlock); }

    bool reached;  // fired; nothing re-arms it
    int spawnX;    // the respawn point it hands over, level pixels;
    int spawnY;    //   independent of the block's own position
    int spawnZ;

    explicit CCheckPointBlock(CSprite* parent = nullptr);

    // Fires at any depth, for the player only.
    void OnCollision(CSprite* other) override;
    void LoadFromIni(std::string file, std::string section) override;
};
