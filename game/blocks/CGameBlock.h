#pragma once

#include "sprites/CLabelSprite.h"

#include <string>
#include <typeinfo>

class CFontFactory;

// A block of the level: a label sprite that configures itself from one section
// of a level file. A plain block is ground, wall or decoration, which the
// loader marks as still scenery; the other kinds add their own keys and
// behaviour, and a kind derived from it is updated and tested like any sprite.
class CGameBlock : public CLabelSprite
{
public:
    // Drawn as its base draws, so the scene batches it.
    bool DrawsAsBase() const override { return typeid(*this) == typeid(CGameBlock); }

    CFontFactory* fontFactory;  // not owned; stored by the creator right after construction

    // No font yet: LoadFromIni takes the caption font from fontFactory.
    explicit CGameBlock(CSprite* parent = nullptr);

    // Position, depth, texture and caption from `section` of `file`. Derived
    // kinds call this first, then read their own keys from the same section.
    virtual void LoadFromIni(std::string file, std::string section);
};
