// Tests of platform/CGLSharedContext: the loader thread's context shares textures.
#include "platform/CGLSharedContext.h"

#include "support/GLWindowTest.h"

#include <SDL/SDL_opengl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using LoaderGLContext = GLWindowTest;

TEST_F(LoaderGLContext, TexturesUploadedOnAnotherThreadDrawInTheWindowContext) {
    CGLSharedContext shared;
    ASSERT_EQ(shared.Create(), CGLSharedContext::CREATED) << shared.error;
    std::atomic<bool> current{false};
    GLuint name = 0;
    std::thread loader([&] {
        current = shared.MakeCurrent();
        if (!current) return;
        const unsigned char pixels[16] = {20, 40, 230, 255, 20, 40, 230, 255, 20, 40, 230, 255, 20, 40, 230, 255};
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        CGLSharedContext::FinishCommands();
        shared.Destroy();
    });
    loader.join();
    ASSERT_TRUE(current) << shared.error;
    ASSERT_NE(name, 0u);
    EXPECT_EQ(shared.context, nullptr);

    // The window's context is still current, and the texture outlives the context that made it.
    ASSERT_TRUE(glIsTexture(name));
    glBindTexture(GL_TEXTURE_2D, name);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex3f(100, 100, 0);
    glTexCoord2f(1, 0); glVertex3f(150, 100, 0);
    glTexCoord2f(1, 1); glVertex3f(150, 150, 0);
    glTexCoord2f(0, 1); glVertex3f(100, 150, 0);
    glEnd();
    EXPECT_TRUE(PixelNear(PixelAt(125, 125), 20, 40, 230));
    EXPECT_TRUE(PixelNear(PixelAt(175, 125), 0, 0, 0));
    glDeleteTextures(1, &name);
}

TEST(LoaderGLContextWithoutWindow, ReportsFailureAndStaysHarmless) {
    CGLSharedContext shared;
    EXPECT_FALSE(shared.MakeCurrent());
    EXPECT_EQ(shared.Create(), CGLSharedContext::FAILED);
    EXPECT_FALSE(shared.error.empty());
    EXPECT_FALSE(shared.MakeCurrent());
    shared.Destroy();
}
