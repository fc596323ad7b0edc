// Tests of platform/CGLSharedContext without a window. Textures the loader thread
// uploads through it and draws in the window: tests/game/LevelLoaderTest.cpp.
#include "platform/CGLSharedContext.h"

#include <gtest/gtest.h>

TEST(LoaderGLContextWithoutWindow, ReportsFailureAndStaysHarmless) {
    CGLSharedContext shared;
    EXPECT_FALSE(shared.MakeCurrent());
    EXPECT_EQ(shared.Create(), CGLSharedContext::FAILED);
    EXPECT_FALSE(shared.error.empty());
    EXPECT_FALSE(shared.MakeCurrent());
    shared.Destroy();
}
