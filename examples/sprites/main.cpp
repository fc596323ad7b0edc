// The sprites example: N textured sprites bouncing in an 800 x 600 window, each
// moved by its own Update, with the frame rate on a label.
//
//   sprites [count]
//
// The count comes from the command line, else from sprites.ini ([sprites]
// count=..., font=...), else 1000. The sprites' image is written by the example
// itself at start-up (ball.png in the working folder).
#include <velmora/config/Ini.h>
#include <velmora/engine/CFPSControl.h>
#include <velmora/engine/CGameBase.h>
#include <velmora/log/Log.h>
#include <velmora/resources/CFont.h>
#include <velmora/sprites/CLabelSprite.h>
#include <velmora/sprites/CSpriteManager.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "BouncingScene.h"

namespace {

const char* const INI_FILE = "sprites.ini";
const char* const IMAGE_FILE = "ball.png";

class CSpritesApp : public CGameBase {
public:
    CSpritesApp(int count, std::string fontFile)
        // No depth buffer: the sprites share one depth and are drawn in list order.
        : CGameBase(800, 600, false, true, false, false), count(count), fontFile(std::move(fontFile)) {}

    void OnInit() override {
        SetCaption("Velmora sprites");
        scene = std::make_unique<CSpriteManager>();
        if (!BounceWritePng(IMAGE_FILE)) {
            LogWrite(LOG_ERROR, std::string("Cannot write ") + IMAGE_FILE + ".", "sprites");
        }
        BounceAddSprites(*scene, IMAGE_FILE, count, width, height);
        // Added last: drawn over the sprites. It takes part in no collision either.
        font = std::make_unique<CFont>(fontFile, 16);
        fpsLabel = new CLabelSprite(nullptr, font.get());
        fpsLabel->SetCollisionGroups(COLLISION_NONE, COLLISION_NONE);
        fpsLabel->depthTest = false;
        fpsLabel->SetPosition(8, 8);
        fpsLabel->SetSize(200, 20);
        fpsLabel->SetFontColor({255, 255, 255, 0});
        fpsLabel->SetAlignH(ALIGN_START);
        fpsLabel->SetTextRect({0, 0, 200, 20});
        scene->AddSprite(fpsLabel);
    }

    void OnShutdown() override { scene.reset(); }

    void OnUpdate(double seconds) override {
        scene->Update(seconds);
        scene->CheckCollisions();  // costs nothing for sprites without groups
        // The caption is rasterised again only when its text changes.
        fpsLabel->SetCaption(std::to_string(count) + " sprites, FPS: " +
                             std::to_string(static_cast<int>(fpsControl->fps + 0.5)));
    }

    void OnRender(SDL_Surface* screen) override { scene->Render(screen); }

    void OnKeyDown(const SDL_Event* event) override {
        if (event->key.keysym.sym == SDLK_ESCAPE) {
            quit = true;
        }
    }

private:
    int count;
    std::string fontFile;
    std::unique_ptr<CSpriteManager> scene;
    std::unique_ptr<CFont> font;
    CLabelSprite* fpsLabel = nullptr;  // owned by the scene
};

}  // namespace

int main(int argc, char** argv) {
    LogEnable();
    int count = IniReadInt("sprites", "count", 1000, INI_FILE);
    if (argc > 1) {
        count = std::atoi(argv[1]);
    }
    if (count < 0 || count > 10000000) {
        std::fprintf(stderr, "usage: sprites [count], count from 0 to 10000000\n");
        return 1;
    }
    const std::string fontFile =
        IniReadString("sprites", "font", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", INI_FILE);
    CSpritesApp app(count, fontFile);
    app.Run();
    return 0;
}
