#include "CCollectorGame.h"

#include "CCoin.h"
#include "CWalker.h"

#include <velmora/config/Ini.h>
#include <velmora/log/Log.h>
#include <velmora/resources/CFontFactory.h>
#include <velmora/resources/CTextureManager.h>
#include <velmora/sprites/CLabelSprite.h>
#include <velmora/sprites/CSpriteManager.h>

#include <algorithm>
#include <string>
#include <typeinfo>

namespace
{
const std::string CONFIG = "config.ini";
const std::string LEVEL = "level.ini";
// A level file may say anything: at most this many coins are placed.
constexpr int MAX_COINS = 100;
} // namespace

CCollectorGame::CCollectorGame()
    : CGameBase(IniReadInt("game", "sizeW", 640, CONFIG), IniReadInt("game", "sizeH", 480, CONFIG), false, true, false)
{
}

void CCollectorGame::OnInit()
{
    SetCaption("Velmora Collector");
    sprites = new CSpriteManager();
    CTextureManager* textures = sprites->textureManager;

    walker = new CWalker(sprites, std::clamp(IniReadDouble("game", "speed", 240.0, CONFIG), 0.0, 2000.0), width, height);
    walker->SetTexture(textures->GetTexture("gfx\\walker.bmp", true, false));
    walker->SetSize(32, 32);
    walker->x = IniReadDouble("walker", "x", 40.0, LEVEL);
    walker->y = IniReadDouble("walker", "y", 224.0, LEVEL);
    sprites->AddSprite(walker);

    coinCount = std::clamp(IniReadInt("coins", "count", 0, LEVEL), 0, MAX_COINS);
    for (int i = 0; i < coinCount; ++i)
    {
        const std::string section = "coin" + std::to_string(i);
        CCoin* coin = new CCoin(sprites, this);
        coin->SetTexture(textures->GetTexture("gfx\\coin.bmp", true, false));
        coin->SetSize(16, 16);
        coin->x = IniReadDouble(section, "x", 0.0, LEVEL);
        coin->y = IniReadDouble(section, "y", 0.0, LEVEL);
        sprites->AddSprite(coin);
    }

    countLabel = new CLabelSprite(sprites, GetFontFactory()->GetFont("fnt\\DejaVuSansMono.ttf", 18));
    countLabel->SetCollisionGroups(COLLISION_NONE, COLLISION_NONE);
    countLabel->SetFontColor(SDL_Color{255, 220, 90, 0});
    countLabel->SetSize(240, 28);
    countLabel->SetTextRect(SpriteBox{0, 0, 240, 28});
    countLabel->x = 12;
    countLabel->y = 8;
    sprites->AddSprite(countLabel);
    ShowCount();
    LogWrite(LOG_STATUS, "Collect " + std::to_string(coinCount) + " coins.", LogClassName(typeid(*this)));
}

void CCollectorGame::ShowCount()
{
    countLabel->SetCaption("Coins: " + std::to_string(collected) + " of " + std::to_string(coinCount));
}

void CCollectorGame::OnCoinCollected(CCoin* coin)
{
    // Destroyed when the collision pass ends; no handler hears of it again.
    sprites->RemoveSprite(coin);
    ++collected;
    ShowCount();
    LogWrite(LOG_STATUS, "Coin " + std::to_string(collected) + " of " + std::to_string(coinCount) + " collected.",
             LogClassName(typeid(*this)));
}

void CCollectorGame::OnShutdown()
{
    delete sprites;
    sprites = nullptr;
}

void CCollectorGame::OnUpdate(double seconds)
{
    sprites->Update(seconds);
    sprites->CheckCollisions();
    if (AllCollected() && !quit)
    {
        LogWrite(LOG_STATUS, "All " + std::to_string(coinCount) + " coins collected.", LogClassName(typeid(*this)));
        quit = true;
    }
}

void CCollectorGame::OnRender(SDL_Surface* screen)
{
    sprites->Render(screen);
}

void CCollectorGame::OnKeyDown(const SDL_Event* event)
{
    if (event->key.keysym.sym == SDLK_ESCAPE)
    {
        LogWrite(LOG_STATUS, "Left with " + std::to_string(collected) + " of " + std::to_string(coinCount) + " coins.",
                 LogClassName(typeid(*this)));
        quit = true;
        return;
    }
    walker->HandleKey(event->key.keysym.sym, true);
}

void CCollectorGame::OnKeyUp(const SDL_Event* event)
{
    walker->HandleKey(event->key.keysym.sym, false);
}
