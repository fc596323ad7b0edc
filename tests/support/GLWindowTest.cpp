#include "GLWindowTest.h"

#include "GLDriver.h"

#include <SDL/SDL_opengl.h>

#include <cstdlib>

void GLWindowTest::SetUp() {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display (run the tests through ./test.sh)";
    KeepGLDriverLoaded();
    engine = new CGameBase(800, 600, false, true, false);
    ClearScreen();
}

void GLWindowTest::TearDown() {
    delete engine;
    engine = nullptr;
}

void GLWindowTest::ClearScreen() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

std::array<unsigned char, 4> ReadBackPixel(int windowHeight, int x, int y) {
    glFinish();
    std::array<unsigned char, 4> pixel{};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, windowHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

std::array<unsigned char, 4> GLWindowTest::PixelAt(int x, int y) {
    return ReadBackPixel(engine->height, x, y);
}

::testing::AssertionResult PixelNear(const std::array<unsigned char, 4>& pixel, int r, int g, int b, int tolerance) {
    const int got[3] = {pixel[0], pixel[1], pixel[2]};
    const int want[3] = {r, g, b};
    for (int i = 0; i < 3; ++i)
        if (std::abs(got[i] - want[i]) > tolerance)
            return ::testing::AssertionFailure() << "pixel (" << got[0] << ", " << got[1] << ", " << got[2]
                                                 << ") is not near (" << r << ", " << g << ", " << b << ")";
    return ::testing::AssertionSuccess();
}
