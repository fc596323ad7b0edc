#include "platform/CGLSharedContext.h"

#include "support/GLWindowTest.h"

#include <SDL/SDL_opengl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
// Uploads a 2 x 2 texture of one colour on the calling thread's context.
GLuint UploadSolidTexture(unsigned char r, unsigned char g, unsigned char b)
{
    const unsigned char pixels[16] = {r, g, b, 255, r, g, b, 255, r, g, b, 255, r, g, b, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    return name;
}

void DrawTexturedQuad(GLuint name, int x, int y, int w, int h)
{
    glBindTexture(GL_TEXTURE_2D, name);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex3f(x, y, 0);
    glTexCoord2f(1, 0); glVertex3f(x + w, y, 0);
    glTexCoord2f(1, 1); glVertex3f(x + w, y + h, 0);
    glTexCoord2f(0, 1); glVertex3f(x, y + h, 0);
    glEnd();
}
} // namespace

using LoaderGLContext = GLWindowTest;

TEST_F(LoaderGLContext, TexturesUploadedOnAnotherThreadDrawInTheWindowContext)
{
    CGLSharedContext shared;
    ASSERT_EQ(shared.Create(), CGLSharedContext::CREATED) << shared.error;

    std::atomic<bool> current{false};
    GLuint uploaded = 0;
    std::thread loader([&] {
        current = shared.MakeCurrent();
        if (!current)
            return;
        uploaded = UploadSolidTexture(20, 40, 230);
        CGLSharedContext::FinishCommands();
        shared.Destroy();
    });
    loader.join();
    ASSERT_TRUE(current) << shared.error;
    ASSERT_NE(uploaded, 0u);
    EXPECT_EQ(shared.context, nullptr);

    // The window's context is still the current one here, and the texture
    // outlives the context that made it.
    ASSERT_TRUE(glIsTexture(uploaded));
    DrawTexturedQuad(uploaded, 100, 100, 50, 50);
    EXPECT_TRUE(PixelNear(PixelAt(125, 125), 20, 40, 230));
    EXPECT_TRUE(PixelNear(PixelAt(175, 125), 0, 0, 0));
    glDeleteTextures(1, &uploaded);
}

TEST(LoaderGLContextWithoutWindow, ReportsFailureAndStaysHarmless)
{
    CGLSharedContext shared;
    EXPECT_FALSE(shared.MakeCurrent());
    EXPECT_EQ(shared.Create(), CGLSharedContext::FAILED);
    EXPECT_FALSE(shared.error.empty());
    EXPECT_FALSE(shared.MakeCurrent());
    shared.Destroy();
}
