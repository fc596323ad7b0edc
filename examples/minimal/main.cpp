#include <velmora/engine/CGameBase.h>
#include <velmora/log/Log.h>
#include <velmora/resources/CTextureManager.h>
#include <velmora/sprites/CImageSprite.h>
#include <velmora/sprites/CSpriteManager.h>

// A window with one sprite (box.png from the working directory); ESC quits.
class CMinimalGame : public CGameBase {
public:
    CMinimalGame() : CGameBase(640, 480, false, true, false) {}
    void OnInit() override {
        sprites = new CSpriteManager();  // owns its sprites and their textures
        CImageSprite* box = new CImageSprite(sprites);
        box->SetTexture(sprites->textureManager->GetTexture("box.png", true, false));
        box->SetSize(64, 64);
        box->SetPosition(288, 208);
        sprites->AddSprite(box);
    }
    void OnShutdown() override { delete sprites; }
    void OnUpdate(double seconds) override { sprites->Update(seconds); }
    void OnRender(SDL_Surface* screen) override { sprites->Render(screen); }
    void OnKeyDown(const SDL_Event* e) override { quit = e->key.keysym.sym == SDLK_ESCAPE; }

private:
    CSpriteManager* sprites = nullptr;
};

int main(int, char**) {
    LogEnable();
    CMinimalGame* game = new CMinimalGame();
    game->Run();
    delete game;
    return 0;
}
