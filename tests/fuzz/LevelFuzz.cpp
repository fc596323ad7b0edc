// Every kind of block loaded from one fuzzed level file, then two frames of play.
// The file is also the evil block's script (ass\ets.1), so captured players write
// fuzzed lines. Images and fonts named in it load from the shipped ones; with no
// GL context current, the GL calls of textures and captions do nothing.
#include "CFuzzFolder.h"

#include "config/Ini.h"
#include "config/NumberText.h"
#include "config/Paths.h"
#include "game/CPlayer.h"
#include "game/blocks/CCheckPointBlock.h"
#include "game/blocks/CEndBlock.h"
#include "game/blocks/CEvilBlock.h"
#include "game/blocks/CGameBlock.h"
#include "game/blocks/CPlatform.h"
#include "log/Log.h"
#include "platform/CIniReader.h"
#include "resources/CFontFactory.h"
#include "sprites/CSpriteManager.h"

#include <SDL/SDL_ttf.h>

#include <algorithm>
#include <string>

namespace
{
// Enough blocks of a kind for every pairing in the collision pass, few enough
// for thousands of runs a second.
const int MAX_BLOCKS_PER_KIND = 16;

// The player as the level loader makes it, without its sprite sheet.
void AddPlayer(CSpriteManager& scene, const std::string& file)
{
    CPlayer* player = new CPlayer();
    player->SetWidth(52.0);
    player->SetHeight(64.0);
    player->spawnZ = IniReadInt("player", "spawnZ", 0, file);
    player->spawnY = IniReadInt("player", "spawnY", 0, file);
    player->spawnX = IniReadInt("player", "spawnX", 0, file);
    player->minY = IniReadInt("player", "minY", -1000000, file);
    player->minX = IniReadInt("player", "minX", -1000000, file);
    player->maxY = IniReadInt("player", "maxY", 1000000, file);
    player->maxX = IniReadInt("player", "maxX", 1000000, file);
    player->Respawn();
    scene.AddSprite(player);
    // Walking right and jumping: the paths where far positions and speeds meet.
    for (SDLKey key : {SDLK_d, SDLK_SPACE})
    {
        SDL_Event press{};
        press.type = SDL_KEYDOWN;
        press.key.keysym.sym = key;
        player->HandleKeyDown(&press);
    }
}

// Such font names crash inside SDL_ttf's error text (SDL_SetError takes the
// name as its format). The fix belongs to the font loader; until it lands these
// inputs are skipped so that a run can find anything else.
bool NamesFontWithFormatCharacters(const std::string& file)
{
    for (int i = 0; i < MAX_BLOCKS_PER_KIND; ++i)
        if (IniReadString(NumberToString(i), "font", "", file).find('%') != std::string::npos)
            return true;
    return false;
}

template <class Block> void AddBlocks(CSpriteManager& scene, CFontFactory& fonts, const std::string& file)
{
    const int count = std::min(IniReadInt("main", "count", 0, file), MAX_BLOCKS_PER_KIND);
    for (int i = 0; i < count; ++i)
    {
        Block* block = new Block(&scene);
        block->fontFactory = &fonts;
        block->LoadFromIni(file, NumberToString(i));
        scene.AddSprite(block);
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    CFuzzFolder::Enter(argc, argv);
    TTF_Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Logging on but silent; a script may change the threshold, so start over.
    LogResetForTesting();
    LogDisableConsole();
    LogEnable();
    CIniReader::ClearCacheForTesting();
    const std::string file = CFuzzFolder::Write("ass/ets.1", data, size);
    if (NamesFontWithFormatCharacters(file))
        return -1;  // not added to the corpus

    CFontFactory fonts;
    CSpriteManager scene;
    AddPlayer(scene, file);
    AddBlocks<CGameBlock>(scene, fonts, file);
    AddBlocks<CCheckPointBlock>(scene, fonts, file);
    AddBlocks<CPlatform>(scene, fonts, file);
    AddBlocks<CEvilBlock>(scene, fonts, file);
    AddBlocks<CEndBlock>(scene, fonts, file);
    // A normal frame, then one long enough to end a platform leg and a script step.
    for (double seconds : {1.0 / 60.0, 2.5})
    {
        scene.Update(seconds);
        scene.CheckCollisions();
    }
    return 0;
}
