#include "sprites/CSpriteManager.h"

#include <typeinfo>

#include "log/Log.h"
#include "resources/CTextureManager.h"

CSpriteManager::CSpriteManager()
    : CSprite(nullptr),
      // Off: the destructor, the only caller of RemoveAllSprites, destroys the
      // texture manager anyway, and a scene cleared to be rebuilt should keep the
      // textures that sprites outside it (the game's logo) still point at.
      unloadTexturesOnClear(false),
      ownsTextureManager(true),
      visible(true),
      textureManager(new CTextureManager()),
      slots(),
      activeSprites() {
    LogWrite(LOG_STATUS, "Instance initialized.", LogClassName(typeid(*this)));
}

CSpriteManager::~CSpriteManager() {
    RemoveAllSprites();
    if (ownsTextureManager && textureManager != nullptr) {
        delete textureManager;
        textureManager = nullptr;
    }
    LogWrite(LOG_STATUS, "Instance removed.", LogClassName(typeid(*this)));
}

// The per-frame passes walk by index and read the size anew at each step, so a
// sprite added by a handler (which may move the list) is safe and takes part.

void CSpriteManager::Render(SDL_Surface* screen) {
    if (!visible) {
        return;
    }
    for (std::size_t i = 0; i < activeSprites.size(); ++i) {
        activeSprites[i]->Render(screen);
    }
}

void CSpriteManager::Update(double seconds) {
    for (std::size_t i = 0; i < activeSprites.size(); ++i) {
        activeSprites[i]->Update(seconds);
    }
}

void CSpriteManager::CheckCollisions() {
    if (activeSprites.size() < 2) {
        return;
    }
    // Positions are taken as they are at each pair: a handler that moves a sprite
    // changes the outcome of the later pairs of the same pass.
    for (std::size_t i = 0; i < activeSprites.size(); ++i) {
        for (std::size_t j = i + 1; j < activeSprites.size(); ++j) {
            if (activeSprites[i]->CollidesWith(activeSprites[j])) {
                activeSprites[i]->OnCollision(activeSprites[j]);
                activeSprites[j]->OnCollision(activeSprites[i]);
            }
        }
    }
}

CSprite* CSpriteManager::GetSpriteAt(int px, int py) {
    const std::vector<CSprite*> hits = GetSpritesAt(px, py);
    CSprite* nearest = nullptr;
    double nearestZ = 0.0;
    for (CSprite* sprite : hits) {
        const double depth = sprite->GetWorldZ();
        // Strictly greater: on equal depth the earliest in the list stays.
        if (nearest == nullptr || depth > nearestZ) {
            nearest = sprite;
            nearestZ = depth;
        }
    }
    return nearest;
}

std::vector<CSprite*> CSpriteManager::GetSpritesAt(int px, int py) {
    std::vector<CSprite*> hits;
    SpriteQuad corners;
    for (std::size_t i = 0; i < activeSprites.size(); ++i) {
        CSprite* sprite = activeSprites[i];
        if (PointInQuad(*sprite->GetCorners(corners), px, py)) {
            hits.push_back(sprite);
        }
    }
    return hits;
}

int CSpriteManager::AddSprite(CSprite* sprite) {
    // A null sprite becomes an empty slot: it keeps the index count honest and
    // nothing ever dereferences it.
    if (sprite != nullptr) {
        sprite->parent = this;
    }
    slots.push_back(sprite);
    // Slots only ever grow at the end, so appending is the same as rebuilding the
    // active list, without making a level's loading quadratic.
    if (sprite != nullptr) {
        activeSprites.push_back(sprite);
    }
    return static_cast<int>(slots.size()) - 1;
}

void CSpriteManager::RemoveAllSprites() {
    // Front first, as added. Each slot is emptied before its sprite is destroyed,
    // so nothing can reach a sprite that is being destroyed through the lists.
    activeSprites.clear();
    for (std::size_t i = 0; i < slots.size(); ++i) {
        CSprite* sprite = slots[i];
        slots[i] = nullptr;
        delete sprite;
    }
    slots.clear();
    if (unloadTexturesOnClear && textureManager != nullptr) {
        textureManager->UnloadAll();
    }
    LogWrite(LOG_STATUS, "All Sprites removed.", LogClassName(typeid(*this)));
}
