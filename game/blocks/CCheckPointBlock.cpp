#include "game/blocks/CCheckPointBlock.h"

#include "config/Ini.h"
#include "config/Paths.h"
#include "game/CPlayer.h"
#include "log/Log.h"

#include <typeinfo>

CCheckPointBlock::CCheckPointBlock(CSprite* parent)
    : CGameBlock(parent), reached(false), spawnX(0), spawnY(0), spawnZ(0)
{
    // Reacts to the player alone, and has nothing to do per frame.
    SetCollisionGroups(COLLISION_TRIGGER, COLLISION_ACTOR);
    SetNeedsUpdate(false);
}

void CCheckPointBlock::OnCollision(CSprite* other)
{
    if (reached)
        return;
    CPlayer* player = dynamic_cast<CPlayer*>(other);
    if (!player)
        return;
    player->spawnX = spawnX;
    player->spawnY = spawnY;
    player->spawnZ = spawnZ;
    LogWrite(LOG_STATUS, "Checkpoint reached!", LogClassName(typeid(*this)));
    player->PlayEffect(SOUND_CHECKPOINT);
    reached = true;
}

void CCheckPointBlock::LoadFromIni(std::string file, std::string section)
{
    CGameBlock::LoadFromIni(file, section);
    spawnZ = IniReadInt(section, "spawnZ", 0, file);
    spawnY = IniReadInt(section, "spawnY", 0, file);
    spawnX = IniReadInt(section, "spawnX", 0, file);
}
