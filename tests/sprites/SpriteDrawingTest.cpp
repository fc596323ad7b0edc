// Sprites, labels and rotated sprites drawn into the engine's real window and
// read back pixel by pixel.
#include <SDL/SDL.h>
#include <SDL/SDL_opengl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "resources/CFont.h"
#include "resources/CTexture.h"
#include "resources/PixelBudget.h"
#include "resources/TextRenderer.h"
#include "sprites/CImageSprite.h"
#include "sprites/CImageSpriteEx.h"
#include "sprites/CLabelSprite.h"
#include "sprites/CSpriteManager.h"
#include "support/GLWindowTest.h"

namespace {

using Rgba = std::array<unsigned char, 4>;
const Rgba RED = {255, 0, 0, 255}, GREEN = {0, 255, 0, 255}, BLUE = {0, 0, 255, 255};
const Rgba WHITE = {255, 255, 255, 255}, CLEAR = {0, 0, 0, 0};

struct Expected {
    int x, y;
    Rgba colour;
};
class SpriteDrawing : public GLWindowTest {
protected:
    // A texture from the given texels (rows top to bottom), sampled nearest so
    // that cell borders stay sharp, or as the texture itself sets it up.
    CTexture* MakeTexture(int w, int h, const std::vector<Rgba>& texels, bool nearest = true) {
        textures.push_back(std::make_unique<CTexture>("no such image.png", true));
        CTexture* t = textures.back().get();
        glBindTexture(GL_TEXTURE_2D, t->textureId);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        if (nearest) {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        }
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
    // Red text, top-aligned, in the given text box of a label of the given size.
    static void RedLabelAt300x200(CLabelSprite& label, double w, double h, int alignH, SpriteBox text) {
        label.SetPosition(300, 200);
        label.SetSize(w, h);
        label.SetFontColor({255, 0, 0, 0});
        label.SetAlignH(alignH);
        label.SetAlignV(ALIGN_START);
        label.SetTextRect(text);
    }
    void ExpectPixels(const std::vector<Expected>& pixels) {
        for (const Expected& p : pixels)
            EXPECT_TRUE(PixelNear(PixelAt(p.x, p.y), p.colour[0], p.colour[1], p.colour[2])) << p.x << ", " << p.y;
    }
    // {x0, y0, x1, y1} (inclusive) of the mostly red pixels of a region; x0 = -1 when none.
    std::array<int, 4> RedBounds(int rx, int ry, int rw, int rh) {
        std::array<int, 4> b = {-1, -1, -1, -1};
        for (int y = ry; y < ry + rh; ++y) {
            for (int x = rx; x < rx + rw; ++x) {
                const Rgba p = ReadBackPixel(engine->height, x, y);
                if (p[0] > 128 && p[1] < 64 && p[2] < 64) {
                    b = {b[0] < 0 ? x : std::min(b[0], x), b[1] < 0 ? y : b[1], std::max(b[2], x), y};
                }
            }
        }
        return b;
    }
    std::vector<std::unique_ptr<CTexture>> textures;
};

}  // namespace

TEST_F(SpriteDrawing, CellIsDrawnAtTheWorldRectangleUprightOrTurnedNearerWinsAndInvisibleIsNot) {
    // Quadrants red | green over blue | white; two cells one texel wide.
    CSpriteManager manager;
    auto* cell = Place(new CImageSprite, MakeTexture(2, 2, {RED, GREEN, BLUE, WHITE}), 110, 10, 40, 30);
    cell->SetFrameWidth(1);
    cell->SetFrame(1);
    manager.AddSprite(cell);
    // Drawn first but nearer: red hides green whatever the order; its clear half hides nothing.
    manager.AddSprite(Place(new CImageSprite, MakeTexture(2, 1, {RED, CLEAR}), 300, 100, 100, 50, 0.5));
    manager.AddSprite(Place(new CImageSprite, MakeTexture(1, 1, {GREEN}), 300, 100, 100, 50, -0.5));
    // Top half red, bottom half green: a quarter turn puts the top edge on the left.
    auto* turned = Place(new CImageSpriteEx, MakeTexture(1, 2, {RED, GREEN}), 400, 300, 100, 50);
    turned->SetRotation(90);
    manager.AddSprite(turned);
    manager.AddSprite(Place(new CImageSprite, MakeTexture(1, 1, {RED}), 500, 0, 50, 50));
    static_cast<CImageSprite*>(manager.activeSprites.back())->visible = false;
    manager.x = -100;
    manager.y = 50;
    manager.Render(nullptr);
    ExpectPixels({{12, 62, GREEN}, {48, 87, WHITE}, {8, 70, CLEAR}, {52, 70, CLEAR}, {30, 58, CLEAR}, {30, 92, CLEAR},
                  {225, 175, RED}, {275, 175, GREEN},
                  {335, 330, RED}, {365, 420, GREEN}, {310, 375, CLEAR}, {390, 375, CLEAR}, {350, 322, CLEAR},
                  {425, 75, CLEAR}});
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(SpriteDrawing, CaptionSetOnAThreadWithoutGLIsMadeAtTheFirstDrawingWholeUnstretchedAndClipped) {
    CFont font(TEST_FONT_FILE, 20);
    ASSERT_NE(font.font, nullptr);
    CLabelSprite label(nullptr, &font);
    // The loader's way, but with no GL context at all: setting a caption makes no GL call.
    std::thread loader([&] {
        RedLabelAt300x200(label, 200, 60, ALIGN_END, {0, 0, 100, 20});
        label.SetCaption("MMM");
        label.SetSize(50, 60);  // clips only at the next caption change, as before the first drawing
    });
    loader.join();
    EXPECT_EQ(label.captionTexture, 0u);
    ASSERT_NE(label.captionSurface, nullptr);
    EXPECT_EQ(label.captionSurface->w, 128);
    EXPECT_EQ(label.captionSurface->h, 32);
    label.Render(nullptr);
    // Right-aligned in 100 pixels, every glyph there; stretched to the text
    // rectangle it would end near 300 + 78.
    std::array<int, 4> text = RedBounds(290, 190, 130, 50);
    EXPECT_NEAR(text[0], 365, 4);
    EXPECT_GE(text[1], 200);
    EXPECT_NEAR(text[2], 399, 3);
    EXPECT_LT(text[3], 232);

    ClearScreen();
    label.SetSize(80, 60);
    label.SetTextRect({30, 0, 100, 20.5});  // the height changes: re-render; 80 - 30 leaves 50 pixels
    label.Render(nullptr);
    EXPECT_NEAR(RedBounds(290, 190, 130, 50)[2], 349, 3);

    ClearScreen();
    label.SetFont(nullptr);
    EXPECT_EQ(label.captionSurface, nullptr);
    label.Render(nullptr);
    EXPECT_EQ(RedBounds(290, 190, 130, 50)[0], -1);
}

TEST_F(SpriteDrawing, CaptionTexturesHoldOnlyTheTextAndStayWithinThePixelBudget) {
    CFont font(TEST_FONT_FILE, 20);
    ASSERT_NE(font.font, nullptr);
    const std::uint64_t before = PixelBudgetInUse();
    {
        CLabelSprite label(nullptr, &font);
        RedLabelAt300x200(label, 8192, 8192, ALIGN_START, {0, 0, 8192, 8192});
        label.Render(nullptr);
        EXPECT_EQ(PixelBudgetInUse(), before) << "an empty caption holds no pixels";

        label.SetCaption("MMM");
        label.Render(nullptr);
        EXPECT_GT(PixelBudgetInUse(), before);
        EXPECT_LE(PixelBudgetInUse() - before, 64u * 32u * 4u) << "the text's size, not the rectangle's";
        std::array<int, 4> text = RedBounds(290, 190, 130, 50);
        EXPECT_NEAR(text[0], 300, 3);
        EXPECT_GE(text[1], 200);

        // Past the budget: nothing is drawn, and nothing is held.
        ClearScreen();
        PixelBudgetSetLimit(before);
        label.SetCaption("MMMM");
        label.Render(nullptr);
        PixelBudgetSetLimit(PIXEL_BUDGET_BYTES);
        EXPECT_EQ(RedBounds(290, 190, 130, 50)[0], -1);
        EXPECT_EQ(PixelBudgetInUse(), before);
        label.SetCaption("MM");
        label.Render(nullptr);
    }
    EXPECT_EQ(PixelBudgetInUse(), before);
}

TEST_F(SpriteDrawing, SkippingWhatLiesOutsideTheViewChangesNoPixelOfRandomScenes) {
    CFont font(TEST_FONT_FILE, 14);
    CTexture* texture = MakeTexture(2, 2, {RED, GREEN, BLUE, CLEAR});
    auto frame = [this](CSpriteManager& manager, bool skip) {
        ClearScreen();
        manager.cullOffScreen = skip;
        manager.Render(nullptr);
        glFinish();
        std::vector<unsigned char> pixels(4u * engine->width * engine->height);
        glReadPixels(0, 0, engine->width, engine->height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> place(-1500.0, 1500.0), size(0.0, 300.0), depth(-1.2, 1.2);
        CSpriteManager manager;
        for (int k = 0; k < 300; ++k) {
            CImageSprite* s = k % 3 == 0 ? new CImageSpriteEx : k % 7 == 1 ? new CLabelSprite(nullptr, &font)
                                                                           : new CImageSprite;
            Place(s, texture, place(random), place(random), size(random), size(random), depth(random));
            if (k % 3 == 0) {
                static_cast<CImageSpriteEx*>(s)->SetRotation(place(random));
            } else if (k % 7 == 1) {
                auto* label = static_cast<CLabelSprite*>(s);
                label->SetFontColor({255, 255, 0, 0});
                label->SetTextRect({0, 0, size(random), 20});
                label->SetCaption("Caption " + std::to_string(k));
            }
            if (k % 2 == 0) {
                s->MarkAsScenery();  // half lies still, in the grid
            }
            manager.AddSprite(s);
        }
        for (int view = 0; view < 4; ++view) {
            manager.x = place(random);
            manager.y = place(random);
            ASSERT_EQ(frame(manager, true), frame(manager, false)) << "seed " << seed << ", view " << view;
        }
    }
}

TEST_F(SpriteDrawing, TouchingTilesShowNoDarkerJointAtAnySubPixelCameraPosition) {
    const Rgba warm = {220, 180, 60, 255}, cool = {60, 180, 220, 255};
    CTexture* left = MakeTexture(64, 64, std::vector<Rgba>(64 * 64, warm), false);
    CTexture* right = MakeTexture(64, 64, std::vector<Rgba>(64 * 64, cool), false);
    const int darkest = 60 + 180 + 220 - 12;  // both tiles' channel sum, less rounding
    // Drawn one to one (at whole pixels), and stretched (where only the wrap mode helps).
    for (double size : {64.0, 90.0}) {
        CSpriteManager manager;
        manager.AddSprite(Place(new CImageSprite, left, 200, 200, size, size));
        manager.AddSprite(Place(new CImageSprite, right, 200 + size, 200, size, size));
        manager.AddSprite(Place(new CImageSprite, right, 200, 200 + size, size, size));
        for (int step = 0; step < 16; ++step) {
            manager.x = step / 16.0;
            manager.y = step / 16.0 + 0.03;
            ClearScreen();
            manager.Render(nullptr);
            const int jointX = static_cast<int>(200 + size + manager.x);
            const int jointY = static_cast<int>(200 + size + manager.y);
            for (int d = -2; d <= 2; ++d) {
                const Rgba across = ReadBackPixel(engine->height, jointX + d, 240);
                const Rgba down = ReadBackPixel(engine->height, 230, jointY + d);
                EXPECT_GE(across[0] + across[1] + across[2], darkest) << "size " << size << ", step " << step << ", x " << jointX + d;
                EXPECT_GE(down[0] + down[1] + down[2], darkest) << "size " << size << ", step " << step << ", y " << jointY + d;
            }
        }
    }
}

namespace {

// Draws a solid 90-pixel square of its own, like any class that overrides Render,
// and leaves its colour as the current one for the sprites after it.
class CSolidQuad : public CImageSprite {
public:
    void Render(SDL_Surface*) override {
        const double wx = GetWorldX(), wy = GetWorldY();
        glColor4d(colour[0], colour[1], colour[2], colour[3]);
        glEnable(GL_DEPTH_TEST);
        glBindTexture(GL_TEXTURE_2D, solid);
        glBegin(GL_QUADS);
        glTexCoord2d(0, 0);
        glVertex3d(wx, wy + 90, z);
        glVertex3d(wx + 90, wy + 90, z);
        glVertex3d(wx + 90, wy, z);
        glVertex3d(wx, wy, z);
        glEnd();
        glDisable(GL_DEPTH_TEST);
    }
    bool GetDrawnExtent(SpriteExtent& out) override {
        out = {GetWorldX(), GetWorldY(), GetWorldX() + 90, GetWorldY() + 90};
        return true;
    }
    GLuint solid = 0;
    std::array<double, 4> colour = {1, 1, 1, 1};
};

// Derived the obvious way, saying nothing about batching: drawn by its own Render.
class CPlainDerived : public CImageSprite {};

}  // namespace

TEST_F(SpriteDrawing, BatchedSceneGivesThePixelsOfEverySpriteDrawnAloneInOrder) {
    CFont font(TEST_FONT_FILE, 14);
    CTexture* textures[3] = {MakeTexture(2, 2, {RED, GREEN, BLUE, CLEAR}), MakeTexture(1, 1, {WHITE}),
                             MakeTexture(4, 1, {GREEN, CLEAR, RED, BLUE}, false)};
    auto frame = [this](const std::function<void()>& draw) {
        ClearScreen();
        glColor4d(1, 1, 1, 1);
        draw();
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
        glFinish();
        std::vector<unsigned char> pixels(4u * engine->width * engine->height);
        glReadPixels(0, 0, engine->width, engine->height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    std::mt19937 random(7);
    std::uniform_real_distribution<double> place(-50.0, 750.0), onScreen(0.0, 500.0), size(1.0, 120.0),
        turn(0.0, 360.0);
    CSpriteManager manager;
    manager.cullOffScreen = false;
    // Overlapping sprites at three depths, the textures interleaved: later ones
    // cover earlier ones of the same depth, so the order shows.
    for (int k = 0; k < 400; ++k) {
        CImageSprite* s = k % 5 == 0 ? new CImageSpriteEx
                        : k % 11 == 1 ? new CLabelSprite(nullptr, &font)
                        : k % 13 == 2 ? new CPlainDerived
                                      : new CImageSprite;
        CTexture* t = textures[random() % 3];
        const bool oneToOne = k % 2 == 0;
        Place(s, t, place(random), place(random), oneToOne ? t->width : size(random), oneToOne ? t->height : size(random),
              (static_cast<int>(random() % 3) - 1) * 0.25);
        s->depthTest = k % 7 != 3;
        if (k % 5 == 0) {
            static_cast<CImageSpriteEx*>(s)->SetRotation(turn(random));
        } else if (k % 11 == 1) {
            auto* label = static_cast<CLabelSprite*>(s);
            label->SetFontColor({255, 255, 0, 0});
            label->SetTextRect({0, 0, 80, 20});
            label->SetCaption("Label " + std::to_string(k));
        }
        manager.AddSprite(s);
        if (k % 50 == 25) {
            auto* own = new CSolidQuad;
            own->solid = textures[1]->textureId;
            if (k % 100 == 25) {
                own->colour = {1.0, 0.5, 0.25, 0.6};  // tints what follows, until the next one
            }
            own->SetPosition(onScreen(random), onScreen(random));  // never skipped: its colour carries on
            manager.AddSprite(own);
        }
    }
    manager.x = 0.4;
    manager.y = -0.3;
    const std::vector<unsigned char> alone = frame([&] {
        for (CSprite* s : manager.activeSprites) {
            s->Render(nullptr);
        }
    });
    ASSERT_EQ(frame([&] { manager.Render(nullptr); }), alone);
    manager.cullOffScreen = true;
    ASSERT_EQ(frame([&] { manager.Render(nullptr); }), alone);
}
