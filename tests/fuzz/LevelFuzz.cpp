// Every kind of block loaded from one fuzzed level file, then two frames of play.
// The file is also the evil block's script (ass\ets.1). Run from data/, the
// shipped images and fonts load; no GL context is current, so the GL calls of
// textures and captions do nothing.
#include "CFuzzFolder.h"

#include "config/Ini.h"
#include "config/NumberText.h"
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
#include <type_traits>

namespace {
// Enough blocks of a kind for every pairing, few enough for a quick run.
const int MAX_BLOCKS_PER_KIND = 16;

// The player as the level loader makes it, without its sprite sheet, walking
// right and jumping: where far positions and speeds meet.
void AddPlayer(CSpriteManager& scene, const std::string& file) {
    CPlayer* player = new CPlayer();
    player->SetWidth(52.0);
    player->SetHeight(64.0);
    const struct { const char* key; int CPlayer::*field; int fallback; } keys[] = {
        {"spawnZ", &CPlayer::spawnZ, 0},     {"spawnY", &CPlayer::spawnY, 0},     {"spawnX", &CPlayer::spawnX, 0},
        {"minY", &CPlayer::minY, -1000000}, {"minX", &CPlayer::minX, -1000000}, {"maxY", &CPlayer::maxY, 1000000},
        {"maxX", &CPlayer::maxX, 1000000}};
    for (const auto& k : keys)
        player->*k.field = IniReadInt("player", k.key, k.fallback, file);
    player->Respawn();
    scene.AddSprite(player);
    SDL_Event press{};
    press.type = SDL_KEYDOWN;
    for (SDLKey key : {SDLK_d, SDLK_SPACE}) {
        press.key.keysym.sym = key;
        player->HandleKeyDown(&press);
    }
}

template <class Block> void AddBlocks(CSpriteManager& scene, CFontFactory& fonts, const std::string& file) {
    const int count = std::min(IniReadInt("main", "count", 0, file), MAX_BLOCKS_PER_KIND);
    for (int i = 0; i < count; ++i) {
        Block* block = new Block(&scene);
        if constexpr (std::is_same_v<Block, CGameBlock>) block->MarkAsScenery();
        block->fontFactory = &fonts;
        block->LoadFromIni(file, NumberToString(i));
        scene.AddSprite(block);
    }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CFuzzFolder::Enter();
    TTF_Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Logging on but silent; a script may have changed the threshold.
    LogResetForTesting();
    LogDisableConsole();
    LogEnable();
    CIniReader::ClearCacheForTesting();  // a rewrite within one clock tick keeps its stamp
    const std::string file = CFuzzFolder::Write("ass/ets.1", data, size);
    CFontFactory fonts;
    CSpriteManager scene;
    AddPlayer(scene, file);
    AddBlocks<CGameBlock>(scene, fonts, file);
    AddBlocks<CCheckPointBlock>(scene, fonts, file);
    AddBlocks<CPlatform>(scene, fonts, file);
    AddBlocks<CEvilBlock>(scene, fonts, file);
    AddBlocks<CEndBlock>(scene, fonts, file);
    // A normal frame, then one long enough to end a platform leg and a script step.
    for (double seconds : {1.0 / 60.0, 2.5}) {
        scene.Update(seconds);
        scene.CheckCollisions();
    }
    return 0;
}
