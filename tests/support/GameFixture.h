#pragma once

#include "game/CGameMain.h"
#include "support/TempDir.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

class CSprite;

// The game with the engine's event dispatch opened for tests.
class CTestGame : public CGameMain {
public:
    using CGameBase::DispatchEvent;
};

// The sprite as the given type, null when it is another one.
template <class T>
T* As(CSprite* sprite) {
    return sprite && typeid(*sprite) == typeid(T) ? static_cast<T*>(sprite) : nullptr;
}

// A game in a fresh working folder. The test writes config.ini, images and level
// files first, then starts the game and drives its frames and keys by hand. The
// game opens the process's one SDL window itself.
class GameFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file of the working folder ('/' separators).
    void Write(const std::string& relativeName, const std::string& text);
    // Writes a PNG of one opaque colour.
    void WriteSolidPng(const std::string& relativeName, int width, int height, unsigned char r, unsigned char g,
                       unsigned char b);
    // Puts the shipped screen font where the game looks for it; false without the source tree.
    bool InstallFont();

    // Constructs the game (opens the window) if needed and runs OnInit, which starts the loader.
    void StartGame();
    // Runs frames of 1/60 s while the loader works; false after timeoutSeconds.
    bool WaitUntilLoaded(double timeoutSeconds = 120.0);
    // Loads the level and leaves the pause screen with ESC.
    void StartRunning();
    // One frame as the main loop runs it, with the given duration.
    void Frame(double seconds = 1.0 / 60.0);
    // The game's update alone, `count` times: what moves the scene.
    void Update(double seconds, int count = 1);
    void Key(Uint8 type, SDLKey key);
    void KeyDown(SDLKey key) { Key(SDL_KEYDOWN, key); }
    void KeyUp(SDLKey key) { Key(SDL_KEYUP, key); }

    // How many pixels of the back buffer's rectangle (window coordinates, y down)
    // lie within `tolerance` of the colour on every channel.
    int CountPixelsNear(int x, int y, int w, int h, int r, int g, int b, int tolerance = 8);
    // How many pixels of the rectangle are not black.
    int CountLit(int x, int y, int w, int h) { return w * h - CountPixelsNear(x, y, w, h, 0, 0, 0, 40); }
    std::string LogText();
    // How often the log holds `text`.
    int Logged(const std::string& text);
    // The scene in insertion order.
    std::vector<CSprite*> Scene();
    // The first sprite of the scene of this type.
    template <class T>
    T* First() {
        for (CSprite* sprite : Scene())
            if (T* found = As<T>(sprite))
                return found;
        return nullptr;
    }

    std::unique_ptr<CTempDir> folder;
    std::unique_ptr<CChangeDirectory> inFolder;
    CTestGame* game = nullptr;
    bool started = false;  // OnInit has run; TearDown runs OnShutdown
};
