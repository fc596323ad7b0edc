#pragma once

#include "game/CGameMain.h"
#include "support/TempDir.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

class CSprite;

// The game with the engine's event dispatch opened for tests.
class CTestGame : public CGameMain
{
public:
    using CGameBase::DispatchEvent;
};

// A game in a fresh working folder. The test writes config.ini, images and level
// files first, then starts the game and drives its frames and keys by hand. The
// game opens the process's one SDL window itself.
class GameFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file of the working folder ('/' separators).
    void Write(const std::string& relativeName, const std::string& text);
    // Writes a PNG of one opaque colour.
    void WriteSolidPng(const std::string& relativeName, int width, int height, unsigned char r, unsigned char g,
                       unsigned char b);
    // Puts a monospaced TrueType font where the game looks for its screen font;
    // false when none is found on this machine.
    bool InstallFont();

    // Constructs the game (opens the window) without initialising it.
    CTestGame* CreateGame();
    // Constructs the game if needed and runs OnInit, which starts the loader.
    void StartGame();
    // Runs frames of 1/60 s while the loader works; false after timeoutSeconds.
    bool WaitUntilLoaded(double timeoutSeconds = 120.0);
    // One frame as the main loop runs it, with the given duration.
    void Frame(double seconds = 1.0 / 60.0);
    void KeyDown(SDLKey key);
    void KeyUp(SDLKey key);

    // Reads one pixel of the back buffer (window coordinates, y down).
    std::array<unsigned char, 4> PixelAt(int x, int y);
    // The RGBA pixels of a rectangle of the back buffer, bottom row first.
    std::vector<unsigned char> ReadPixels(int x, int y, int w, int h);
    // How many pixels of the rectangle lie within `tolerance` of the colour on every channel.
    int CountPixelsNear(int x, int y, int w, int h, int r, int g, int b, int tolerance = 8);
    // The log written so far.
    std::string LogText();
    // The scene in insertion order.
    std::vector<CSprite*> Scene();

    std::unique_ptr<CTempDir> folder;
    std::unique_ptr<CChangeDirectory> inFolder;
    CTestGame* game = nullptr;
    bool started = false;  // OnInit has run; TearDown runs OnShutdown
};
