// Sprites, labels and rotated sprites drawn into the engine's real window and
// read back pixel by pixel.
#include <SDL/SDL.h>
#include <SDL/SDL_opengl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/CGLSharedContext.h"
#include "resources/CFont.h"
#include "resources/CTexture.h"
#include "resources/TextRenderer.h"
#include "sprites/CImageSprite.h"
#include "sprites/CImageSpriteEx.h"
#include "sprites/CLabelSprite.h"
#include "sprites/CSpriteManager.h"
#include "support/GLWindowTest.h"

namespace {

using Rgba = std::array<unsigned char, 4>;

const Rgba RED = {255, 0, 0, 255};
const Rgba GREEN = {0, 255, 0, 255};
const Rgba BLUE = {0, 0, 255, 255};
const Rgba WHITE = {255, 255, 255, 255};
const Rgba CLEAR = {0, 0, 0, 0};

const char* const FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

class SpriteDrawing : public GLWindowTest {
protected:
    // A texture from the given texels (rows top to bottom), sampled nearest so
    // that cell borders stay sharp.
    CTexture* MakeTexture(int w, int h, const std::vector<Rgba>& texels) {
        textures.push_back(std::make_unique<CTexture>("no such image.png", true));
        CTexture* t = textures.back().get();
        glBindTexture(GL_TEXTURE_2D, t->textureId);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        t->valid = true;
        t->width = w;
        t->height = h;
        return t;
    }

    template <typename Sprite>
    Sprite* Place(Sprite* s, CTexture* t, double x, double y, double w, double h, double z = 0) {
        s->SetTexture(t);
        s->SetPosition(x, y);
        s->SetSize(w, h);
        s->z = z;
        return s;
    }

    bool Is(int x, int y, const Rgba& c) { return PixelNear(PixelAt(x, y), c[0], c[1], c[2]); }

    // Bounding box {x0, y0, x1, y1} (inclusive) of the pixels of a region that are
    // mostly red, or x0 = -1 when there are none.
    std::array<int, 4> RedBounds(int rx, int ry, int rw, int rh) {
        glFinish();
        std::vector<unsigned char> px(static_cast<size_t>(rw) * rh * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(rx, engine->height - ry - rh, rw, rh, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        std::array<int, 4> b = {-1, -1, -1, -1};
        for (int row = 0; row < rh; ++row) {
            for (int col = 0; col < rw; ++col) {
                const unsigned char* p = &px[(static_cast<size_t>(row) * rw + col) * 4];
                if (p[0] > 128 && p[1] < 64 && p[2] < 64) {
                    const int x = rx + col;
                    const int y = ry + rh - 1 - row;
                    b = b[0] < 0 ? std::array<int, 4>{x, y, x, y}
                                 : std::array<int, 4>{std::min(b[0], x), std::min(b[1], y),
                                                      std::max(b[2], x), std::max(b[3], y)};
                }
            }
        }
        return b;
    }

    std::vector<std::unique_ptr<CTexture>> textures;
};

}  // namespace

TEST_F(SpriteDrawing, CellIsDrawnUprightAtTheWorldRectangleBehindTheCamera) {
    // Quadrants red | green over blue | white; two cells one texel wide.
    CTexture* t = MakeTexture(2, 2, {RED, GREEN, BLUE, WHITE});
    CSpriteManager manager;
    auto* s = Place(new CImageSprite, t, 110, 10, 40, 30);
    s->SetFrameWidth(1);
    s->SetFrame(1);
    manager.AddSprite(s);
    manager.x = -100;
    manager.y = 50;
    manager.Render(nullptr);
    EXPECT_TRUE(Is(12, 62, GREEN));  // world (10, 60) is the top-left corner
    EXPECT_TRUE(Is(48, 87, WHITE));
    EXPECT_TRUE(Is(8, 70, CLEAR));
    EXPECT_TRUE(Is(52, 70, CLEAR));
    EXPECT_TRUE(Is(30, 58, CLEAR));
    EXPECT_TRUE(Is(30, 92, CLEAR));
}

TEST_F(SpriteDrawing, NearerSpriteWinsWhateverTheDrawOrder) {
    CTexture* red = MakeTexture(1, 1, {RED});
    CTexture* green = MakeTexture(1, 1, {GREEN});
    CSpriteManager manager;
    manager.AddSprite(Place(new CImageSprite, red, 0, 0, 50, 50, 0.5));
    manager.AddSprite(Place(new CImageSprite, green, 25, 0, 50, 50, -0.5));
    manager.AddSprite(Place(new CImageSprite, green, 200, 0, 50, 50, -0.5));
    manager.AddSprite(Place(new CImageSprite, red, 225, 0, 50, 50, 0.5));
    manager.Render(nullptr);
    EXPECT_TRUE(Is(40, 25, RED));
    EXPECT_TRUE(Is(240, 25, RED));
    EXPECT_TRUE(Is(60, 25, GREEN));
    EXPECT_TRUE(Is(210, 25, GREEN));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(SpriteDrawing, TransparentTexelsLeaveWhatIsBehindVisible) {
    CSpriteManager manager;
    // Drawn first and nearer: only its opaque half may hide the red behind.
    manager.AddSprite(Place(new CImageSprite, MakeTexture(2, 1, {CLEAR, BLUE}), 0, 0, 100, 50, 0.5));
    manager.AddSprite(Place(new CImageSprite, MakeTexture(1, 1, {RED}), 0, 0, 100, 50));
    manager.Render(nullptr);
    EXPECT_TRUE(Is(25, 25, RED));
    EXPECT_TRUE(Is(75, 25, BLUE));
}

TEST_F(SpriteDrawing, InvisibleSpritesDrawNothingAndLeaveTheDepthTestAlone) {
    CSpriteManager manager;
    auto* s = Place(new CImageSprite, MakeTexture(1, 1, {RED}), 0, 0, 50, 50);
    manager.AddSprite(s);
    s->visible = false;
    glEnable(GL_DEPTH_TEST);
    manager.Render(nullptr);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(Is(25, 25, CLEAR));

    s->visible = true;
    manager.visible = false;
    manager.Render(nullptr);
    EXPECT_TRUE(Is(25, 25, CLEAR));
}

TEST_F(SpriteDrawing, CaptionIsDrawnUnstretchedAtThePowerOfTwoSize) {
    CFont font(FONT_FILE, 20);
    ASSERT_NE(font.font, nullptr);
    CLabelSprite label(nullptr, &font);
    label.SetPosition(300, 200);
    label.SetSize(200, 60);
    label.SetFontColor({255, 0, 0, 0});
    label.SetAlignH(ALIGN_END);
    label.SetAlignV(ALIGN_START);
    label.SetTextRect({0, 0, 100, 20});
    label.SetCaption("MMM");
    ASSERT_NE(label.captionSurface, nullptr);
    EXPECT_EQ(label.captionSurface->w, 128);
    EXPECT_EQ(label.captionSurface->h, 32);
    label.Render(nullptr);
    // Right-aligned in 100 pixels: stretched to the text rectangle it would end
    // near 300 + 78.
    std::array<int, 4> text = RedBounds(250, 150, 300, 150);
    ASSERT_GE(text[0], 0);
    EXPECT_GE(text[0], 300);
    EXPECT_GE(text[1], 200);
    EXPECT_NEAR(text[2], 399, 3);
    EXPECT_LT(text[3], 232);

    // The text rectangle is clipped to the label: 80 - 30 leaves 50 pixels.
    ClearScreen();
    label.SetSize(80, 60);
    label.SetTextRect({30, 0, 100, 20.5});  // the height changes: re-render
    label.Render(nullptr);
    text = RedBounds(250, 150, 300, 150);
    ASSERT_GE(text[0], 0);
    EXPECT_NEAR(text[2], 349, 3);

    // Without a font the caption is gone; the label stays drawable.
    ClearScreen();
    label.SetFont(nullptr);
    EXPECT_EQ(label.captionSurface, nullptr);
    label.Render(nullptr);
    EXPECT_EQ(RedBounds(250, 150, 300, 150)[0], -1);
}

TEST_F(SpriteDrawing, CaptionMadeOnTheLoadersSharedContextIsDrawnWholeOnTheMainOne) {
    CFont font(FONT_FILE, 20);
    CGLSharedContext loaderContext;
    ASSERT_EQ(loaderContext.Create(), CGLSharedContext::CREATED) << loaderContext.error;
    std::unique_ptr<CLabelSprite> label;
    std::thread loader([&] {
        ASSERT_TRUE(loaderContext.MakeCurrent()) << loaderContext.error;
        label = std::make_unique<CLabelSprite>(nullptr, &font);
        label->SetPosition(100, 100);
        label->SetSize(200, 40);
        label->SetFontColor({255, 0, 0, 0});
        label->SetAlignH(ALIGN_START);
        label->SetTextRect({0, 0, 200, 40});
        label->SetCaption("MMMMMMMM");
        loaderContext.Destroy();
    });
    loader.join();
    ASSERT_NE(label, nullptr);
    label->Render(nullptr);
    const std::array<int, 4> text = RedBounds(50, 50, 400, 150);
    EXPECT_NEAR(text[0], 100, 3);
    EXPECT_GT(text[2], 180);  // every glyph is there, not a partial upload
}

TEST_F(SpriteDrawing, QuarterTurnStandsANonSquareSpriteUpright) {
    CImageSpriteEx s;
    // Top half red, bottom half green: the top edge ends up on the left.
    Place(&s, MakeTexture(1, 2, {RED, GREEN}), 300, 200, 100, 50);
    s.SetRotation(90);
    s.Render(nullptr);
    EXPECT_TRUE(Is(335, 180, RED));
    EXPECT_TRUE(Is(365, 270, GREEN));
    EXPECT_TRUE(Is(310, 225, CLEAR));  // inside the unturned rectangle only
    EXPECT_TRUE(Is(390, 225, CLEAR));
    EXPECT_TRUE(Is(350, 172, CLEAR));
}
