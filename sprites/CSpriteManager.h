// Velmora sprites: owns every sprite of a level, and renders, updates and
// collision-tests them each frame. Its own position is the camera offset.
#ifndef VELMORA_SPRITES_CSPRITEMANAGER_H
#define VELMORA_SPRITES_CSPRITEMANAGER_H

#include <vector>

#include "sprites/CSprite.h"

class CTextureManager;

class CSpriteManager : public CSprite {
public:
    bool unloadTexturesOnClear;       // RemoveAllSprites also unloads every texture
    bool ownsTextureManager;          // the destructor deletes textureManager
    bool visible;                     // Render draws nothing when false
    CTextureManager* textureManager;  // owned when ownsTextureManager
    std::vector<CSprite*> slots;          // owned; order of addition; may hold null
    std::vector<CSprite*> activeSprites;  // the non-null slots, in slot order

    CSpriteManager();
    ~CSpriteManager() override;

    void Render(SDL_Surface* screen) override;
    void Update(double seconds) override;

    // Tells both members of every overlapping pair, in insertion order.
    virtual void CheckCollisions();
    // The hit sprite nearest to the viewer (greatest world z; the earliest on a
    // tie), or null. Points are world coordinates.
    virtual CSprite* GetSpriteAt(int px, int py);
    // Every sprite whose corners contain the point, in list order.
    virtual std::vector<CSprite*> GetSpritesAt(int px, int py);

    // Takes ownership, makes the manager the sprite's parent and returns the
    // sprite's slot index.
    int AddSprite(CSprite* sprite);
    // Destroys every sprite, front first.
    void RemoveAllSprites();
};

#endif
