// The resources layer: the texture and font caches, text drawing in both modes,
// and files and captions that are hostile in name, kind, size or content.
#include <SDL/SDL_opengl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "config/Paths.h"
#include "log/Log.h"
#include "resources/CFontFactory.h"
#include "resources/CTextureManager.h"
#include "resources/CScreenText.h"
#include "resources/CacheKey.h"
#include "resources/ImageDecode.h"
#include "resources/PixelBudget.h"
#include "resources/ImageSize.h"
#include "resources/TextRenderer.h"
#include "support/GLWindowTest.h"
#include "support/TempDir.h"
#include "tools/PngWriter.h"

namespace {

using Lines = std::vector<std::string>;
const SDL_Color WHITE = {255, 255, 255, 0};

// Top half red, bottom half blue (transparent with four channels): a swapped
// channel order or a flipped image shows in the top half.
PngImage HalvesPng(int w, int h, int channels) {
    PngImage image{w, h, channels, {}, {}, {}};
    for (int i = 0; i < w * h; ++i) {
        const unsigned char top = i < w * h / 2 ? 255 : 0;
        image.pixels.insert(image.pixels.end(), {top, 0, static_cast<unsigned char>(255 - top), top});
        if (channels == 3) image.pixels.pop_back();
    }
    return image;
}

// Little-endian fields (value, byte count), as image headers hold them.
std::string Le(std::initializer_list<std::pair<uint32_t, int>> fields) {
    std::string out;
    for (const auto& f : fields)
        for (int i = 0; i < f.second; ++i) out.push_back(static_cast<char>(i < 4 ? f.first >> (8 * i) : 0));
    return out;
}

// The same halves as an uncompressed BMP of 3 or 4 bytes per pixel, which
// SDL_image reads with red mask 0x00FF0000. Rows bottom first, w a multiple of 4.
std::string HalvesBmp(uint32_t w, uint32_t h, uint32_t bytes) {
    std::string bmp = "BM" + Le({{54 + w * h * bytes, 4}, {0, 4}, {54, 4}, {40, 4}, {w, 4}, {h, 4}, {1, 2},
                                 {8 * bytes, 2}, {0, 4}, {w * h * bytes, 4}, {0, 16}});
    for (uint32_t i = 0; i < w * h; ++i) bmp += Le({{i < w * h / 2 ? 0x000000FFu : 0xFFFF0000u, int(bytes)}});
    return bmp;
}

// A PNG whose header declares w x h pixels, with no pixels behind it.
std::string PngHeader(uint32_t w, uint32_t h) {
    std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (uint32_t v : {w, h})
        for (int i = 3; i >= 0; --i) png.push_back(static_cast<char>(v >> (8 * i)));
    return png + std::string("\x08\x06\0\0\0", 5);
}

TEST(ImageSizeTest, RefusesDeclaredSidesAboveTheLimitInEveryCheckedFormatAndUnknownFormats) {
    const std::string gif = "GIF89a" + Le({{16, 2}, {16, 2}, {0, 3}}), jpeg("\xFF\xD8\xFF\xE0\0\x04\0\0\xFF\xC0\0\x11\x08", 13);
    const std::string big = "image larger than 8192 x 8192 pixels", damaged = "image header is damaged";
    const std::pair<std::string, std::string> cases[] = {
        {PngHeader(8192, 8192), ""}, {PngHeader(60000, 60000), big}, {PngHeader(4, 0x80000000u), big},
        {PngHeader(4, 4).substr(0, 20), damaged}, {HalvesBmp(4, 2, 4), ""},
        {"BM" + Le({{0, 12}, {40, 4}, {4, 4}, {uint32_t(-9000), 4}}), big},   // rows top-down
        {"BM" + Le({{0, 12}, {12, 4}, {65535, 2}, {1, 2}, {0, 4}}), big},      // OS/2 header
        {Le({{0, 2}, {1, 2}, {1, 2}, {0, 12}, {22, 4}, {40, 4}, {32, 4}, {64, 4}}), ""},
        {Le({{0, 2}, {2, 2}, {1, 2}, {0, 12}, {22, 4}, {40, 4}, {9000, 4}, {64, 4}}), big},
        {Le({{0, 2}, {1, 2}, {2, 2}, {0, 12}, {22, 4}}), damaged},  // entries cut off
        {gif + "\x2C" + Le({{0, 4}, {16, 2}, {16, 2}, {0, 1}}), ""},
        {gif + "\x21\xF9\x04" + Le({{0, 5}}) + "\x2C" + Le({{0, 4}, {60000, 2}, {1, 2}, {0, 1}}), big},
        {jpeg + Le({{0x0100, 2}, {0x0100, 2}}), ""}, {jpeg + "\xEA\x60\xEA\x60", big},
        {std::string("\xFF\xD8\xFF\xDA\0\x02", 6), damaged}, {"%s%s%s%s%n", "Unsupported image format"},
    };
    for (const auto& c : cases) EXPECT_EQ(ImageRefusal(c.first), c.second) << &c - cases;
}

// A file that starts like a 1 x 1 BMP but is a huge TGA to the TGA decoder (its
// sides sit in the BMP's pixel offset and header size) is read as the BMP it
// showed the size check, whatever its name; the BMP's pixels are missing.
TEST(ImageDecodeTest, DecodesWithTheDecoderWhoseHeaderTheSizeCheckRead) {
    for (uint32_t tgaHeight : {32767u, 65535u}) {
        const std::string polyglot = "BM" + Le({{2, 4}, {0, 4}, {16383u << 16, 4}, {0x200000u | tgaHeight, 4}, {1, 4},
                                                {1, 4}, {1, 2}, {24, 2}, {0, 59}});
        std::string error;
        EXPECT_EQ(ImageRefusal(polyglot), "");
        EXPECT_EQ(ImageDecode(polyglot, error), nullptr) << tgaHeight;
        EXPECT_NE(error, "");
    }
}

// Which pixels of a text are lit, as SDL_ttf rasterises it; outside it none.
struct Mask {
    int w = 0, h = 0;
    std::vector<bool> lit;
    bool At(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && lit[y * w + x]; }
};

SDL_Surface* NewTarget(int w, int h) {
    return SDL_CreateRGBSurface(0, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
}

// Pixels of the w x h area that differ from `glyphs` placed at (x, y) and cut
// at shownW x shownH: lit ones must be `on`, all others `off`.
int Mismatches(int w, int h, const std::function<bool(int, int, bool)>& is, const Mask& glyphs, int x, int y,
               int shownW = 1 << 20, int shownH = 1 << 20) {
    int wrong = 0;
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) wrong += !is(px, py, px - x < shownW && py - y < shownH && glyphs.At(px - x, py - y));
    return wrong;
}

TEST(NextPowerOfTwoTest, GivesTheSmallestPowerOfTwoNotBelowAndZeroWhereNoneFits) {
    const int cases[][2] = {{1, 1}, {3, 4}, {37, 64}, {64, 64}, {100, 128}, {1 << 29, 1 << 29},
                            {(1 << 29) + 1, 1 << 30}, {1 << 30, 1 << 30}, {(1 << 30) + 1, 0}, {0, 0}, {-5, 0}};
    for (const auto& c : cases) EXPECT_EQ(NextPowerOfTwo(c[0]), c[1]) << c[0];
}

// A real window, in a fresh working directory with the log file switched on.
class ResourcesTest : public GLWindowTest {
protected:
    void SetUp() override {
        GLWindowTest::SetUp();
        LogEnable();
        LogEnableFile();
        if (IsSkipped()) return;
        textures.reset(new CTextureManager);
        fonts.reset(new CFontFactory);
        font = fonts->GetFont(TEST_FONT_FILE, 15);
        ASSERT_NE(font->font, nullptr);
    }
    void TearDown() override {
        textures.reset();  // while the GL context exists
        fonts.reset();     // before the engine shuts SDL_ttf down
        GLWindowTest::TearDown();
        LogResetForTesting();
    }
    std::string Log() const { return dir.Read("logfile.txt"); }
    // The lines of the log written by `className`, as "LEVEL: message".
    Lines LinesOf(const std::string& className) const {
        Lines lines;
        std::istringstream log(Log());
        const std::string marker = " in " + className + ": ";
        for (std::string line; std::getline(log, line);) {
            const size_t at = line.find(marker);
            if (at != std::string::npos) lines.push_back(line.substr(0, at) + ": " + line.substr(at + marker.size()));
        }
        return lines;
    }
    int Level(const CTexture* t, GLenum name) {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, t->textureId);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
        return value;
    }

    Mask GlyphsOf(const std::string& text) {
        SDL_Surface* s = TTF_RenderText_Solid(font->font, text.c_str(), WHITE);
        Mask mask{s->w, s->h, {}};
        for (int i = 0; i < s->w * s->h; ++i)
            mask.lit.push_back(static_cast<Uint8*>(s->pixels)[i / s->w * s->pitch + i % s->w] != s->format->colorkey);
        SDL_FreeSurface(s);
        return mask;
    }
    static std::function<bool(int, int, bool)> InSurface(SDL_Surface* s, Uint32 argb) {
        return [s, argb](int x, int y, bool lit) {
            return reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x] == (lit ? argb : 0u);
        };
    }
    std::function<bool(int, int, bool)> OnScreen(int r, int g, int b) {
        return [this, r, g, b](int x, int y, bool lit) { return PixelNear(PixelAt(x, y), lit * r, lit * g, lit * b); };
    }

    CTempDir dir;
    CChangeDirectory inside{dir.Path()};
    std::unique_ptr<CTextureManager> textures;
    std::unique_ptr<CFontFactory> fonts;
    CFont* font = nullptr;
};

TEST_F(ResourcesTest, UploadsEveryTruecolorLayoutInItsChannelOrder) {
    ASSERT_TRUE(WritePng(dir.Write("gfx/rgb.png", ""), HalvesPng(8, 8, 3)));
    ASSERT_TRUE(WritePng(dir.Write("gfx/rgba.png", ""), HalvesPng(8, 8, 4)));
    dir.Write("gfx/bgr.bmp", HalvesBmp(8, 8, 3));
    dir.Write("gfx/bgra.bmp", HalvesBmp(8, 8, 4));
    const struct {
        const char* name;
        GLenum format;
        int bytes;
    } cases[] = {{"gfx\\rgb.png", GL_RGB, 3}, {"gfx\\rgba.png", GL_RGBA, 4}, {"gfx\\bgr.bmp", GL_BGR, 3}, {"gfx\\bgra.bmp", GL_BGRA, 4}};
    for (int i = 0; i < 4; ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.name);
        CTexture* t = textures->GetTexture(c.name, true, false);
        EXPECT_TRUE(t->valid);
        EXPECT_EQ(t->pixelFormat, c.format);
        EXPECT_EQ(Level(t, GL_TEXTURE_WIDTH) + Level(t, GL_TEXTURE_HEIGHT) + t->width + t->height, 32);
        EXPECT_EQ(Level(t, GL_TEXTURE_ALPHA_SIZE) > 0, c.bytes == 4);
        glColor4d(1, 1, 1, 1);  // as a sprite draws it
        glBegin(GL_QUADS);
        glTexCoord2i(0, 0), glVertex3i(10 * i, 0, 0), glTexCoord2i(1, 0), glVertex3i(10 * i + 8, 0, 0);
        glTexCoord2i(1, 1), glVertex3i(10 * i + 8, 8, 0), glTexCoord2i(0, 1), glVertex3i(10 * i, 8, 0);
        glEnd();
        EXPECT_TRUE(PixelNear(PixelAt(10 * i + 4, 1), 255, 0, 0));
        // Transparent texels are dropped by the alpha test and leave the black.
        EXPECT_TRUE(PixelNear(PixelAt(10 * i + 4, 6), 0, 0, c.bytes == 4 ? 0 : 255));
    }
}

// One walk through a texture's life: cached by lower-cased name, odd sizes,
// palettes, a missing file tried anew, write access, reload and unloading.
TEST_F(ResourcesTest, CachesTexturesByNameAndWarnsOfWhatWillNotDrawWell) {
    ASSERT_TRUE(WritePng(dir.Write("gfx/logo.png", ""), HalvesPng(100, 64, 3)));
    ASSERT_TRUE(WritePng(dir.Write("gfx/palette.png", ""), PngImage{4, 4, 1, std::vector<unsigned char>(16, 0), {255, 0, 0}, {}}));
    CTexture* logo = textures->GetTexture("GFX\\Logo.PNG", true, false);
    EXPECT_EQ(textures->GetTexture("gfx\\logo.png", true, false), logo);
    EXPECT_EQ(textures->FindTexture("GFX\\LOGO.PNG"), -1);
    EXPECT_TRUE(logo->valid);
    EXPECT_EQ(Level(logo, GL_TEXTURE_WIDTH), 100);
    EXPECT_EQ(logo->surface, nullptr);  // read-only keeps only the GL texture
    logo->Update();                     // nothing to upload from
    CTexture* indexed = textures->GetTexture("gfx\\palette.png", true, false);
    EXPECT_FALSE(indexed->valid);
    EXPECT_EQ(Level(indexed, GL_TEXTURE_WIDTH), 0);
    CTexture* missing = textures->GetTexture("gfx\\Missing.png", true, false);
    EXPECT_NE(textures->GetTexture("gfx\\missing.png", true, false), missing);
    EXPECT_FALSE(missing->valid);

    const GLuint name = logo->textureId;
    ASSERT_TRUE(WritePng(dir.Write("gfx/logo.png", ""), HalvesPng(4, 4, 4)));
    EXPECT_EQ(textures->GetTexture("gfx\\logo.png", false, false), logo);
    EXPECT_EQ(textures->GetTexture("GFX\\logo.png", false, false), logo);  // reloaded once only
    EXPECT_NE(logo->surface, nullptr);
    EXPECT_EQ(logo->textureId, name);
    EXPECT_EQ(logo->pixelFormat, static_cast<GLenum>(GL_RGBA));
    CTexture* reloaded = textures->GetTexture("gfx\\LOGO.png", true, true);
    EXPECT_EQ(textures->textures, (std::vector<CTexture*>{reloaded, indexed, missing, textures->textures[3]}));
    const GLuint reloadedName = reloaded->textureId;
    textures->UnloadAll();
    textures->UnloadAll();
    EXPECT_FALSE(glIsTexture(reloadedName));

    const Lines texture = LinesOf("class CTexture");
    for (const char* line : {"WARNING: Texture measurements are not a power of 2.", "WARNING: Tried to update read-only texture. Ignoring.",
                             "WARNING: The image is not truecolor. This will cause problems.",
                             "STATUS: Texture gfx\\logo.png loaded successfully."})
        EXPECT_EQ(std::count(texture.begin(), texture.end(), line), line[0] == 'S' ? 3 : 1) << line;  // once per reload
    EXPECT_EQ(LinesOf("class CTextureManager").at(1), "WARNING: Reloading read-only texture gfx\\logo.pngfor write access.");
}

// A level may name one file in many spellings and many files: each file's pixels
// are decoded once, and all of them stay within one budget.
TEST_F(ResourcesTest, SharesAFilesPixelsAcrossItsNamesAndRefusesWhatPassesTheBudget) {
    ASSERT_TRUE(WritePng(dir.Write("gfx/big.png", ""), HalvesPng(64, 64, 4)));
    ASSERT_TRUE(WritePng(dir.Write("gfx/other.png", ""), HalvesPng(64, 64, 4)));
    std::vector<std::string> names = {"gfx\\\\big.png", "GFX\\.\\BIG.png", "gfx\\..\\gfx\\big.png"};
#ifndef _WIN32
    ASSERT_EQ(::symlink("gfx/big.png", dir.File("link.png").c_str()), 0);
    names.push_back("link.png");
#endif
    const std::uint64_t before = PixelBudgetInUse();
    const std::uint64_t image = 64 * 64 * 4;
    CTexture* first = textures->GetTexture("gfx\\big.png", true, false);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        CTexture* t = textures->GetTexture(name, true, false);
        EXPECT_NE(t, first);
        EXPECT_TRUE(t->valid);
        EXPECT_EQ(t->textureId, first->textureId);
        EXPECT_EQ(t->width, 64);
    }
    EXPECT_EQ(PixelBudgetInUse() - before, image);
    EXPECT_EQ(LinesOf("class CTexture").size(), names.size() + 1);  // a "loaded successfully." line for each name

    PixelBudgetSetLimit(before + image + image / 2);
    EXPECT_FALSE(textures->GetTexture("gfx\\other.png", true, false)->valid);
    EXPECT_NE(Log().find("ERROR in class CTexture: Failed to load texture from gfx\\other.png, SDL reports: \n" +
                         std::to_string(image) + " bytes of pixels would pass the budget"),
              std::string::npos);
    PixelBudgetSetLimit(PIXEL_BUDGET_BYTES);
    const GLuint name = first->textureId;
    delete textures->textures[0];  // the others still show it
    textures->textures[0] = nullptr;
    EXPECT_TRUE(glIsTexture(name));
    textures->UnloadAll();
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(PixelBudgetInUse(), before);

    CFont* small = fonts->GetFont(TEST_FONT_FILE, 9);
    EXPECT_EQ(small->GetBytes(), font->GetBytes()) << "one copy of the file for every size";
    EXPECT_NE(small->GetBytes(), nullptr);
}

// Hostile names and files from a level: nothing crashes, blocks or grows without
// bound; each gives a texture and a font that draw nothing and one reasoned ERROR.
TEST_F(ResourcesTest, CachesFontsByNameAndSizeAndRefusesHostileNamesAndFilesAtOnce) {
    std::ifstream dejavu(TEST_FONT_FILE, std::ios::binary);
    std::ostringstream bytes;
    bytes << dejavu.rdbuf();
    dir.Write("fnt/Lucida Console.ttf", bytes.str());
    CFont* screen = fonts->GetFont(DEFAULT_FONT_FILE, 15);
    EXPECT_EQ(fonts->GetFont("FNT\\LUCIDA CONSOLE.TTF", 15), screen);
    EXPECT_EQ(screen->GetFileName(), "fnt\\lucida console.ttf");
    int w = 0, h = 0, largeW = 0;
    EXPECT_TRUE(screen->MeasureText("Quillfen", w, h));  // glyphs are read from memory the font keeps
    EXPECT_TRUE(fonts->GetFont(DEFAULT_FONT_FILE, 30)->MeasureText("Quillfen", largeW, h));
    EXPECT_GT(largeW, w);
    EXPECT_EQ(fonts->fonts.size(), 3u);

    std::filesystem::resize_file(dir.Write("sparse", ""), 65 << 20);
    // One name that is no regular file (every other kind: CIniReaderTest, FilePathTest).
#ifdef _WIN32
    const std::string fifo = "CON";  // the system's device
#else
    const std::string fifo = "fifo";
    ASSERT_EQ(::mkfifo(dir.File(fifo).c_str(), 0600), 0);
#endif
    dir.Write("huge", PngHeader(60000, 60000) + std::string(64, '\0'));
    dir.Write("%s%n", "%s%s%s%s%n garbage");
    const std::string font = "Couldn't load font file", regular = "not a regular file";
    const struct {
        std::string name, textureReason, fontReason;
        int fontSize;
    } cases[] = {
        {"%s%s%s%s", "no such file", "no such file", 15}, {"fnt\\%n%n%n%n.ttf", "no such file", "no such file", 15},
        {"%s%n", "Unsupported image format", font, 15}, {fifo, regular, regular, 15},
        {"sparse", "larger than 64 MiB", "larger than 64 MiB", 15},
        {"huge", "image larger than 8192 x 8192 pixels", font, 15},
        {"fnt\\Lucida.ttf", "no such file", "point size 100000 is above 256", 100000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string key = CacheKey(c.name);
        EXPECT_FALSE(textures->GetTexture(c.name, true, false)->valid);
        EXPECT_NE(Log().find("ERROR in class CTexture: Failed to load texture from " + key + ", SDL reports: \n" + c.textureReason + "\n"),
                  std::string::npos);
        CFont* f = fonts->GetFont(c.name, c.fontSize);
        EXPECT_EQ(fonts->GetFont(c.name, c.fontSize), f);  // neither tried nor logged again
        EXPECT_EQ(f->font, nullptr);
        EXPECT_FALSE(f->MeasureText("Hello", w, h) || w || h);
        EXPECT_NE(Log().find("ERROR in class CFont: Failed to load font file " + key + ", SDL reports: " + c.fontReason),
                  std::string::npos);
        RenderText(f, "Quillfen", WHITE, TextRect{0, 0, 800, 600}, 0, 0, nullptr);
    }
    EXPECT_TRUE(PixelNear(PixelAt(400, 300), 0, 0, 0));
    fonts.reset();
    EXPECT_EQ(LinesOf("class CFont").size(), sizeof cases / sizeof cases[0]);  // one ERROR line each
}

TEST_F(ResourcesTest, CopiesTheWholeOpaqueTextToTheAlignedPositionClippedOnlyByTheSurface) {
    const Mask glyphs = GlyphsOf("Quillfen");
    const int w = glyphs.w, h = glyphs.h;
    const struct {
        TextRect rect;
        int alignH, alignV, x, y;
    } cases[] = {
        {{10, 10, 80, 15}, ALIGN_START, ALIGN_START, 10, 10},
        {{20, 4, w - 3, h + 5}, ALIGN_CENTER, ALIGN_CENTER, 18, 6},  // 18.5 and 6.5 truncated
        {{0, 0, w - 3, h - 3}, ALIGN_CENTER, ALIGN_CENTER, -1, -1},  // -1.5 truncated toward zero
        {{0, 0, 100, 40}, ALIGN_END, ALIGN_END, 100 - w, 40 - h},
        {{0, 5, w - 40, 10}, ALIGN_CENTER, 7, -20, 5},                // wider than the rectangle; 7 counts as start
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        SDL_Surface* target = NewTarget(160, 48);
        RenderText(font, "Quillfen", SDL_Color{255, 128, 0, 0}, c.rect, c.alignH, c.alignV, target);
        EXPECT_EQ(Mismatches(160, 48, InSurface(target, 0xFFFF8000), glyphs, c.x, c.y), 0);
        SDL_FreeSurface(target);
    }
}

TEST_F(ResourcesTest, DrawsWithOpenGLInItsColourAtTheAlignedPositionCutAtTheRectangle) {
    const Mask loading = GlyphsOf("Loading...");
    bool tailBelowTheRectangle = false;  // the g's
    for (int x = 0; x < loading.w; ++x) tailBelowTheRectangle |= loading.At(x, 15);
    ASSERT_TRUE(tailBelowTheRectangle && loading.w > 80);
    RenderText(font, "Loading...", SDL_Color{200, 100, 50, 0}, TextRect{10, 10, 80, 15}, ALIGN_START, ALIGN_START, nullptr);
    EXPECT_EQ(Mismatches(160, 40, OnScreen(200, 100, 50), loading, 10, 10, 80, 15), 0);

    ClearScreen();  // wider than the rectangle: keeps its position, shows the rectangle's width
    RenderText(font, "Loading...", WHITE, TextRect{0, 10, loading.w - 40, 30}, ALIGN_CENTER, ALIGN_START, nullptr);
    EXPECT_EQ(Mismatches(160, 40, OnScreen(255, 255, 255), loading, -20, 10, loading.w - 40, 30), 0);

    ClearScreen();  // no area at all: nothing
    RenderText(font, "Loading...", WHITE, TextRect{10, 10, 0, 20}, ALIGN_START, ALIGN_START, nullptr);
    RenderText(font, "Loading...", WHITE, TextRect{10, 20, -5, 20}, ALIGN_START, ALIGN_START, nullptr);
    EXPECT_EQ(Mismatches(160, 40, OnScreen(0, 0, 0), Mask{}, 0, 0), 0);
}

// Loader and main thread both start on glyphs not yet rasterised: without the
// text lock they would fill the font's glyph cache at once.
TEST_F(ResourcesTest, TwoThreadsRenderAndMeasureWithOneFontAtOnce) {
    std::vector<std::string> texts;
    for (int c = 33; c < 256; ++c)
        if (c < 127 || c > 160) texts.push_back(std::string(1, static_cast<char>(c)) + "Wg");
    std::vector<SDL_Surface*> drawn[2];
    std::vector<int> measured[2];
    auto work = [&](int thread) {
        for (size_t i = 0; i < texts.size(); ++i) {
            drawn[thread].push_back(NewTarget(48, 24));
            RenderText(font, texts[i], WHITE, TextRect{4, 2, 40, 20}, ALIGN_START, ALIGN_START, drawn[thread].back());
            int w = 0, h = 0;
            font->MeasureText(texts[i], w, h);
            measured[thread].push_back(w);
            if (thread == 1 && i % 20 == 0) fonts->GetFont(font->fileName, 16 + static_cast<int>(i) / 20);
        }
    };
    std::thread loader(work, 1);
    work(0);
    loader.join();

    EXPECT_EQ(fonts->fonts.size(), 1 + (texts.size() + 19) / 20);
    for (int thread = 0; thread < 2; ++thread) {
        int wrong = 0;
        for (size_t i = 0; i < texts.size(); ++i) {
            const Mask glyphs = GlyphsOf(texts[i]);
            wrong += Mismatches(48, 24, InSurface(drawn[thread][i], 0xFFFFFFFF), glyphs, 4, 2) != 0;
            wrong += measured[thread][i] != glyphs.w;
            SDL_FreeSurface(drawn[thread][i]);
        }
        EXPECT_EQ(wrong, 0) << "thread " << thread;
    }
}

// SDL_ttf copies a text onto the stack and SDL 1.2 keeps a row's length in 16 bits,
// so a long caption is cut first; bytes that are not UTF-8 are Latin-1 glyphs.
TEST_F(ResourcesTest, HostileCaptionsAreMeasuredAndDrawnCutToTheLargestSide) {
    const std::pair<std::string, bool> cases[] = {
        {std::string(100 * 1024, 'W'), true}, {std::string(10 * 1024 * 1024, 'a'), true}, {"%s%s%s%s%n%n", false},
        {"\xC3\x28\xFF\xFE\x80 \xED\xA0\x80", false}, {std::string("before\0after", 12), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first.substr(0, 12));
        int w = 0, h = 0;
        ASSERT_TRUE(font->MeasureText(c.first, w, h));
        EXPECT_GT(w, c.second ? MAX_TEXT_SIDE - 20 : 0);
        EXPECT_LE(w, c.second ? MAX_TEXT_SIDE : 200);
        ClearScreen();
        RenderText(font, c.first, WHITE, TextRect{0, 0, 800, 600}, ALIGN_START, ALIGN_START, nullptr);
        EXPECT_GT(Mismatches(80, 20, OnScreen(0, 0, 0), Mask{}, 0, 0), 0);  // something is drawn
        SDL_Surface* target = NewTarget(64, 32);
        RenderText(font, c.first, WHITE, TextRect{0, 0, 64, 32}, ALIGN_END, ALIGN_CENTER, target);
        EXPECT_GT(Mismatches(64, 32, InSurface(target, 0), Mask{}, 0, 0), 0);
        SDL_FreeSurface(target);
    }
}

// The FPS line keeps its texture while it stays the same. It must show exactly
// what RenderText draws, also after its text, colour, place or font changes.
TEST_F(ResourcesTest, ScreenTextDrawsRenderTextsPixelsAndRasterisesOnlyWhenSomethingChanged) {
    CFont* larger = fonts->GetFont(TEST_FONT_FILE, 20);
    const SDL_Color grey = {200, 200, 200, 0}, red = {255, 0, 0, 0};
    struct Step {
        CFont* font;
        std::string text;
        SDL_Color color;
        TextRect rect;
        int align;
        int rasterised;  // times so far
    } steps[] = {
        {font, "FPS: 60", grey, {10, 10, 80, 15}, ALIGN_START, 1},
        {font, "FPS: 60", grey, {10, 10, 80, 15}, ALIGN_START, 1},
        {font, "FPS: 61", grey, {10, 10, 80, 15}, ALIGN_START, 2},
        {font, "FPS: 61", red, {10, 10, 80, 15}, ALIGN_START, 3},
        {font, "FPS: 61", red, {37, 21, 30, 9}, ALIGN_CENTER, 4},  // cut at the rectangle
        {larger, "FPS: 61", red, {37, 21, 30, 9}, ALIGN_CENTER, 5},
        {larger, "", red, {37, 21, 30, 9}, ALIGN_CENTER, 6},
        {font, "FPS: 9", grey, {10, 10, 80, 15}, ALIGN_END, 7},
    };
    const auto readBack = [] {
        std::vector<unsigned char> pixels(160 * 60 * 4);
        glFinish();
        glReadPixels(0, 600 - 60, 160, 60, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    ClearScreen();
    const std::vector<unsigned char> blank = readBack();
    CScreenText cached;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.text + " after " + std::to_string(&step - steps) + " steps");
        ClearScreen();
        RenderText(step.font, step.text, step.color, step.rect, step.align, ALIGN_START, nullptr);
        const std::vector<unsigned char> expected = readBack();
        EXPECT_EQ(expected == blank, step.text.empty());
        ClearScreen();
        cached.Draw(step.font, step.text, step.color, step.rect, step.align, ALIGN_START);
        EXPECT_TRUE(readBack() == expected);
        EXPECT_EQ(cached.RasterisedCount(), step.rasterised);
    }
}

}  // namespace
