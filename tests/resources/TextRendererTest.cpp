// Where text lands in both drawing modes, the power-of-two sizes, and text
// rasterised by two threads at once.
#include <SDL/SDL.h>
#include <SDL/SDL_opengl.h>
#include <SDL/SDL_ttf.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "resources/CFontFactory.h"
#include "resources/TextRenderer.h"
#include "support/GLWindowTest.h"

namespace {

const char* const FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const SDL_Color WHITE = {255, 255, 255, 0};

// Which pixels of an image are lit; outside it nothing is.
struct Mask {
    int w = 0, h = 0;
    std::vector<bool> lit;
    bool At(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && lit[y * w + x]; }
};

// The glyph pixels of a text as SDL_ttf rasterises it.
Mask GlyphsOf(CFont* font, const std::string& text) {
    SDL_Surface* s = TTF_RenderText_Solid(font->font, text.c_str(), WHITE);
    Mask mask{s->w, s->h, {}};
    for (int i = 0; i < s->w * s->h; ++i) {
        mask.lit.push_back(static_cast<Uint8*>(s->pixels)[i / s->w * s->pitch + i % s->w] != s->format->colorkey);
    }
    SDL_FreeSurface(s);
    return mask;
}

SDL_Surface* NewTarget(int w, int h) {
    return SDL_CreateRGBSurface(0, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
}

// Pixels of a target that differ from `glyphs` placed at (x, y) in `argb` on a
// transparent background.
int Mismatches(SDL_Surface* target, const Mask& glyphs, int x, int y, Uint32 argb) {
    int wrong = 0;
    for (int py = 0; py < target->h; ++py) {
        const Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(target->pixels) + py * target->pitch);
        for (int px = 0; px < target->w; ++px) {
            wrong += row[px] != (glyphs.At(px - x, py - y) ? argb : 0u);
        }
    }
    return wrong;
}

TEST(NextPowerOfTwoTest, GivesTheSmallestPowerOfTwoNotBelowAndZeroWhereNoneFits) {
    const int cases[][2] = {{1, 1}, {3, 4}, {37, 64}, {64, 64}, {100, 128}, {1 << 29, 1 << 29},
                            {(1 << 29) + 1, 1 << 30}, {1 << 30, 1 << 30}, {(1 << 30) + 1, 0}, {0, 0}, {-5, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(NextPowerOfTwo(c[0]), c[1]) << c[0];
    }
}

class SurfaceTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TTF_Init(), 0);
        fonts.reset(new CFontFactory);
        font = fonts->GetFont(FONT_FILE, 15);
        ASSERT_NE(font->font, nullptr);
    }
    void TearDown() override {
        fonts.reset();
        TTF_Quit();
    }

    std::unique_ptr<CFontFactory> fonts;
    CFont* font = nullptr;
};

TEST_F(SurfaceTextTest, CopiesTheWholeOpaqueTextToTheAlignedPositionClippedOnlyByTheSurface) {
    const Mask glyphs = GlyphsOf(font, "Quillfen");
    const int w = glyphs.w, h = glyphs.h;
    const struct {
        TextRect rect;
        int alignH, alignV, x, y;
    } cases[] = {
        {{10, 10, 80, 15}, ALIGN_START, ALIGN_START, 10, 10},
        {{20, 4, w - 3, h + 5}, ALIGN_CENTER, ALIGN_CENTER, 18, 6},  // 18.5 and 6.5 truncated
        {{0, 0, w - 3, h - 3}, ALIGN_CENTER, ALIGN_CENTER, -1, -1},  // -1.5 truncated toward zero
        {{0, 0, 100, 40}, ALIGN_END, ALIGN_END, 100 - w, 40 - h},
        {{0, 5, w - 40, 10}, ALIGN_CENTER, ALIGN_START, -20, 5},     // wider than the rectangle
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        SDL_Surface* target = NewTarget(160, 48);
        RenderText(font, "Quillfen", SDL_Color{255, 128, 0, 0}, c.rect, c.alignH, c.alignV, target);
        EXPECT_EQ(Mismatches(target, glyphs, c.x, c.y, 0xFFFF8000), 0);
        SDL_FreeSurface(target);
    }
}

// The loader thread renders captions and opens block fonts while the main thread
// draws its own text with the same font. Both start on glyphs the font has not
// rasterised yet, so without the text lock they would fill its glyph cache at
// the same time.
TEST_F(SurfaceTextTest, TwoThreadsRenderAndMeasureWithOneFontAtOnce) {
    std::vector<std::string> texts;
    for (int c = 33; c < 256; ++c) {
        if (c < 127 || c > 160) {
            texts.push_back(std::string(1, static_cast<char>(c)) + "Wg");
        }
    }
    std::vector<SDL_Surface*> drawn[2];
    std::vector<int> measured[2];
    auto work = [&](int thread) {
        for (size_t i = 0; i < texts.size(); ++i) {
            drawn[thread].push_back(NewTarget(48, 24));
            RenderText(font, texts[i], WHITE, TextRect{4, 2, 40, 20}, ALIGN_START, ALIGN_START,
                       drawn[thread].back());
            int w = 0, h = 0;
            font->MeasureText(texts[i], w, h);
            measured[thread].push_back(w);
            if (thread == 1 && i % 20 == 0) {
                fonts->GetFont(FONT_FILE, 16 + static_cast<int>(i) / 20);
            }
        }
    };
    std::thread loader(work, 1);
    work(0);
    loader.join();

    EXPECT_EQ(fonts->fonts.size(), 1 + (texts.size() + 19) / 20);
    for (int thread = 0; thread < 2; ++thread) {
        int wrong = 0;
        for (size_t i = 0; i < texts.size(); ++i) {
            const Mask glyphs = GlyphsOf(font, texts[i]);
            wrong += Mismatches(drawn[thread][i], glyphs, 4, 2, 0xFFFFFFFF) != 0;
            wrong += measured[thread][i] != glyphs.w;
            SDL_FreeSurface(drawn[thread][i]);
        }
        EXPECT_EQ(wrong, 0) << "thread " << thread;
    }
}

class GLTextTest : public GLWindowTest {
protected:
    void SetUp() override {
        GLWindowTest::SetUp();
        if (!IsSkipped()) {
            font.reset(new CFont(FONT_FILE, 15));
        }
    }
    void TearDown() override {
        font.reset();  // before the engine shuts SDL_ttf down
        GLWindowTest::TearDown();
    }

    // Window pixels in [x0, x0 + 160) x [y0, y0 + 40) that differ from `glyphs`
    // drawn in (r, g, b) at (x, y) on black, cut at shownW x shownH.
    int Mismatches(int x0, int y0, const Mask& glyphs, int x, int y, int shownW, int shownH, int r, int g,
                   int b) {
        int wrong = 0;
        for (int py = y0; py < y0 + 40; ++py) {
            for (int px = x0; px < x0 + 160; ++px) {
                const bool lit = px - x < shownW && py - y < shownH && glyphs.At(px - x, py - y);
                wrong += !PixelNear(PixelAt(px, py), lit ? r : 0, lit ? g : 0, lit ? b : 0);
            }
        }
        return wrong;
    }

    std::unique_ptr<CFont> font;
};

TEST_F(GLTextTest, DrawsTheTextInItsColourAtTheAlignedPositionCutAtTheRectangle) {
    const Mask loading = GlyphsOf(font.get(), "Loading...");
    ASSERT_GT(loading.w, 80);
    bool tailBelowTheRectangle = false;  // the g's
    for (int x = 0; x < loading.w; ++x) {
        tailBelowTheRectangle |= loading.At(x, 15);
    }
    ASSERT_TRUE(tailBelowTheRectangle);
    RenderText(font.get(), "Loading...", SDL_Color{200, 100, 50, 0}, TextRect{10, 10, 80, 15}, ALIGN_START,
               ALIGN_START, nullptr);
    EXPECT_EQ(Mismatches(0, 0, loading, 10, 10, 80, 15, 200, 100, 50), 0);

    ClearScreen();
    const Mask fps = GlyphsOf(font.get(), "FPS: 60");
    const int x = static_cast<int>(0.5 * (800 - fps.w));
    RenderText(font.get(), "FPS: 60", WHITE, TextRect{0, 0, 800, 600}, ALIGN_CENTER, ALIGN_CENTER, nullptr);
    EXPECT_EQ(Mismatches(x - 20, 280, fps, x, (600 - fps.h) / 2, 800, 600, 255, 255, 255), 0);
}

TEST_F(GLTextTest, TextWiderThanTheRectangleKeepsItsPositionAndShowsOnlyTheRectanglesWidth) {
    const Mask glyphs = GlyphsOf(font.get(), "Loading...");
    RenderText(font.get(), "Loading...", WHITE, TextRect{0, 10, glyphs.w - 40, 30}, ALIGN_CENTER,
               ALIGN_START, nullptr);
    EXPECT_EQ(Mismatches(0, 0, glyphs, -20, 10, glyphs.w - 40, 30, 255, 255, 255), 0);

    ClearScreen();  // no area at all: nothing
    RenderText(font.get(), "Loading...", WHITE, TextRect{10, 10, 0, 20}, ALIGN_START, ALIGN_START, nullptr);
    RenderText(font.get(), "Loading...", WHITE, TextRect{10, 20, -5, 20}, ALIGN_START, ALIGN_START, nullptr);
    EXPECT_EQ(Mismatches(0, 0, glyphs, 0, 0, 0, 0, 0, 0, 0), 0);
}

}  // namespace
