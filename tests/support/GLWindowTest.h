#pragma once

#include "engine/CGameBase.h"

#include <gtest/gtest.h>

#include <array>

// Gives a test the engine's real 800 x 600 window with its OpenGL state
// (Mesa's software renderer under a virtual display).
class GLWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Clears colour and depth and loads the identity model-view matrix, as a frame does.
    void ClearScreen();
    // Waits for the GL and reads one pixel of the back buffer (window coordinates, y down).
    std::array<unsigned char, 4> PixelAt(int x, int y);

    CGameBase* engine = nullptr;
};

// Waits for the GL and reads one pixel of the back buffer of a window
// `windowHeight` pixels high (window coordinates, y down).
std::array<unsigned char, 4> ReadBackPixel(int windowHeight, int x, int y);

// Compares a read-back pixel with an RGB colour within a tolerance per channel.
::testing::AssertionResult PixelNear(const std::array<unsigned char, 4>& pixel, int r, int g, int b, int tolerance = 8);

// A monospaced font every test machine has (under Wine the Linux root is drive Z:).
#ifdef _WIN32
inline const char* const TEST_FONT_FILE = "Z:/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
#else
inline const char* const TEST_FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
#endif
