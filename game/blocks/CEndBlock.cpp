#include "game/blocks/CEndBlock.h"

#include "config/Ini.h"
#include "game/CGameMain.h"
#include "config/Paths.h"
#include "game/CPlayer.h"
#include "sprites/CLabelSprite.h"

namespace
{
const double QUIT_DELAY = 5.0;  // seconds from the touch to quitting
} // namespace

CEndBlock::CEndBlock(CSprite* parent, CGameMain* gameObject)
    : CGameBlock(parent), game(gameObject), triggered(false), timer(0.0)
{
    // Reacts to the player alone.
    SetCollisionGroups(COLLISION_TRIGGER, COLLISION_ACTOR);
}

void CEndBlock::OnCollision(CSprite* other)
{
    if (triggered)
        return;
    CPlayer* player = dynamic_cast<CPlayer*>(other);
    if (!player)
        return;
    triggered = true;
    player->PlayEffect(SOUND_GOAL);
    if (!game)
        return;
    // The rest of this collision pass still runs; the game stops the passes from
    // the next frame on.
    game->SetState(Finished);
    if (game->endLabel)
        game->endLabel->SetCaption(text);
}

void CEndBlock::OnUpdate(double seconds)
{
    if (!triggered)
        return;
    timer += seconds;
    if (timer >= QUIT_DELAY && game)
        game->quit = true;
}

void CEndBlock::LoadFromIni(std::string file, std::string section)
{
    CGameBlock::LoadFromIni(file, section);
    text = IniReadString(section, "text", "", file);
}
