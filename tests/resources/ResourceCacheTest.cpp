// The texture and font caches: what they hand out, what reaches GL, and their
// log lines.
#include <SDL/SDL.h>
#include <SDL/SDL_opengl.h>
#include <SDL/SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "config/Paths.h"
#include "log/Log.h"
#include "resources/CFontFactory.h"
#include "resources/CTextureManager.h"
#include "resources/TextRenderer.h"
#include "support/GLWindowTest.h"
#include "support/TempDir.h"
#include "tools/PngWriter.h"

namespace {

// Runs in a fresh working directory with the log file switched on.
struct LoggedTempDir {
    LoggedTempDir() : inside(dir.Path()) {
        LogEnable();
        LogEnableFile();
    }
    ~LoggedTempDir() { LogResetForTesting(); }

    // The lines of logfile.txt written by `className`, as "LEVEL: message".
    std::vector<std::string> LinesOf(const std::string& className) const {
        std::vector<std::string> lines;
        std::istringstream log(dir.Read("logfile.txt"));
        const std::string marker = " in " + className + ": ";
        for (std::string line; std::getline(log, line);) {
            const size_t at = line.find(marker);
            if (at != std::string::npos) {
                lines.push_back(line.substr(0, at) + ": " + line.substr(at + marker.size()));
            }
        }
        return lines;
    }

    CTempDir dir;
    CChangeDirectory inside;
};

using Lines = std::vector<std::string>;

// Top half red, bottom half blue (transparent with four channels): a swapped
// channel order or a flipped image shows in the top half.
PngImage HalvesPng(int w, int h, int channels) {
    PngImage image;
    image.width = w;
    image.height = h;
    image.channels = channels;
    for (int i = 0; i < w * h; ++i) {
        const unsigned char top = i < w * h / 2 ? 255 : 0;
        image.pixels.push_back(top);
        image.pixels.push_back(0);
        image.pixels.push_back(255 - top);
        if (channels == 4) {
            image.pixels.push_back(top);
        }
    }
    return image;
}

// The same as an uncompressed 32-bit BMP, which SDL_image reads with red mask
// 0x00FF0000 (SDL_SaveBMP would write 24 bits).
std::string HalvesBmp32(int w, int h) {
    std::string bytes;
    auto put = [&bytes](uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            bytes.push_back(static_cast<char>(value >> (8 * i)));
        }
    };
    bytes = "BM";
    put(54 + w * h * 4, 4), put(0, 4), put(54, 4), put(40, 4), put(w, 4), put(h, 4);
    put(1, 2), put(32, 2), put(0, 4), put(w * h * 4, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    for (int i = 0; i < w * h; ++i) {
        put(i < w * h / 2 ? 0x000000FF : 0xFFFF0000, 4);  // BGRA, bottom row first
    }
    return bytes;
}

class TextureCacheTest : public GLWindowTest {
protected:
    void SetUp() override {
        GLWindowTest::SetUp();
        if (!IsSkipped()) {
            manager.reset(new CTextureManager);
        }
    }
    void TearDown() override {
        manager.reset();  // while the GL context exists
        GLWindowTest::TearDown();
    }
    void Write(const std::string& relative, const PngImage& image) {
        ASSERT_TRUE(WritePng(temp.dir.Write(relative, ""), image));
    }
    int Level(const CTexture* t, GLenum name) {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, t->textureId);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
        return value;
    }
    int Parameter(const CTexture* t, GLenum name) {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, t->textureId);
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }
    // At its own size with its top-left corner at (x, 0), as a sprite draws it.
    void Draw(const CTexture* t, int x) {
        glBindTexture(GL_TEXTURE_2D, t->textureId);
        glColor4d(1, 1, 1, 1);
        glBegin(GL_QUADS);
        glTexCoord2i(0, 0), glVertex3i(x, 0, 0);
        glTexCoord2i(1, 0), glVertex3i(x + t->width, 0, 0);
        glTexCoord2i(1, 1), glVertex3i(x + t->width, t->height, 0);
        glTexCoord2i(0, 1), glVertex3i(x, t->height, 0);
        glEnd();
    }

    LoggedTempDir temp;
    std::unique_ptr<CTextureManager> manager;
};

TEST_F(TextureCacheTest, UploadsEveryTruecolorLayoutInItsChannelOrderWithLinearClampedSampling) {
    Write("gfx/rgb.png", HalvesPng(8, 8, 3));
    Write("gfx/rgba.png", HalvesPng(8, 8, 4));
    temp.dir.Write("gfx/bgra.bmp", HalvesBmp32(8, 8));
    SDL_Surface* bgr = SDL_CreateRGBSurface(0, 8, 8, 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    SDL_FillRect(bgr, nullptr, 0x0000FF);
    SDL_Rect top = {0, 0, 8, 4};
    SDL_FillRect(bgr, &top, 0xFF0000);
    SDL_SaveBMP(bgr, temp.dir.Write("gfx/bgr.bmp", "").c_str());
    SDL_FreeSurface(bgr);

    const struct {
        const char* name;
        GLenum format;
        int bytes;
        Uint32 redMask;
    } cases[] = {{"gfx\\rgb.png", GL_RGB, 3, 0xFF},
                 {"gfx\\rgba.png", GL_RGBA, 4, 0xFF},
                 {"gfx\\bgra.bmp", GL_BGRA, 4, 0xFF0000},
                 {"gfx\\bgr.bmp", GL_BGR, 3, 0xFF0000}};
    int x = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTexture* t = manager->GetTexture(c.name, false, false);  // writable: keeps its surface
        ASSERT_NE(t->surface, nullptr);
        EXPECT_EQ(t->surface->format->Rmask, c.redMask);
        EXPECT_TRUE(t->valid);
        EXPECT_EQ(t->pixelFormat, c.format);
        EXPECT_EQ(t->bytesPerPixel, c.bytes);
        EXPECT_EQ(t->width, 8);
        EXPECT_EQ(t->height, 8);
        EXPECT_EQ(Level(t, GL_TEXTURE_WIDTH), 8);
        EXPECT_EQ(Level(t, GL_TEXTURE_HEIGHT), 8);
        EXPECT_EQ(Level(t, GL_TEXTURE_ALPHA_SIZE) > 0, c.bytes == 4);
        EXPECT_EQ(Parameter(t, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
        EXPECT_EQ(Parameter(t, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(Parameter(t, GL_TEXTURE_WRAP_S), GL_CLAMP);
        EXPECT_EQ(Parameter(t, GL_TEXTURE_WRAP_T), GL_CLAMP);
        Draw(t, x);
        EXPECT_TRUE(PixelNear(PixelAt(x + 4, 1), 255, 0, 0));
        // Transparent texels are dropped by the alpha test and leave the black.
        EXPECT_TRUE(PixelNear(PixelAt(x + 4, 6), 0, 0, c.bytes == 4 ? 0 : 255));
        x += 10;
    }
}

TEST_F(TextureCacheTest, HandsOutOneTexturePerLowerCasedNameReadFromTheLowerCaseFile) {
    Write("gfx/logo.png", HalvesPng(4, 4, 3));
    CTexture* first = manager->GetTexture("GFX\\Logo.PNG", true, false);
    EXPECT_EQ(manager->GetTexture("gfx\\logo.png", true, false), first);
    EXPECT_EQ(manager->GetTexture("gfx\\LOGO.png", true, false), first);

    EXPECT_EQ(manager->textures.size(), 1u);
    EXPECT_TRUE(first->valid);
    EXPECT_EQ(first->surface, nullptr);  // read-only keeps only the GL texture
    EXPECT_EQ(manager->FindTexture("gfx\\logo.png"), 0);
    EXPECT_EQ(manager->FindTexture("GFX\\LOGO.PNG"), -1);
    EXPECT_EQ(temp.LinesOf("class CTexture"), Lines{"STATUS: Texture gfx\\logo.png loaded successfully."});
}

TEST_F(TextureCacheTest, MissingFileGivesAnInvalidTextureAndIsTriedAgainOnEveryRequest) {
    CTexture* first = manager->GetTexture("gfx\\Missing.png", true, false);
    CTexture* second = manager->GetTexture("gfx\\missing.png", true, false);

    ASSERT_NE(first, nullptr);
    EXPECT_NE(second, first);
    EXPECT_FALSE(first->valid || second->valid);
    EXPECT_EQ(first->fileName, "");
    EXPECT_EQ(manager->textures.size(), 2u);
    const std::string error = "ERROR: Failed to load texture from gfx\\missing.png, SDL reports: ";
    EXPECT_EQ(temp.LinesOf("class CTexture"), (Lines{error, error}));
    // SDL's reason follows on a line of its own.
    EXPECT_NE(temp.dir.Read("logfile.txt").find("SDL reports: \nCouldn't open"), std::string::npos);
}

TEST_F(TextureCacheTest, WarnsAboutOddSizesAndUploadsNoPaletteImage) {
    Write("gfx/wide.png", HalvesPng(100, 64, 3));
    PngImage palette;
    palette.width = palette.height = 4;
    palette.channels = 1;
    palette.palette = {255, 0, 0};
    palette.pixels.assign(16, 0);
    Write("gfx/palette.png", palette);

    CTexture* wide = manager->GetTexture("gfx\\wide.png", true, false);
    CTexture* indexed = manager->GetTexture("gfx\\palette.png", true, false);

    EXPECT_TRUE(wide->valid);
    EXPECT_EQ(Level(wide, GL_TEXTURE_WIDTH), 100);
    EXPECT_EQ(wide->width, 100);
    EXPECT_FALSE(indexed->valid);
    EXPECT_EQ(Level(indexed, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(manager->GetTexture("gfx\\palette.png", true, false), indexed);  // cached by its name
    EXPECT_EQ(temp.LinesOf("class CTexture"),
              (Lines{"STATUS: Texture gfx\\wide.png loaded successfully.",
                     "WARNING: Texture measurements are not a power of 2.",
                     "STATUS: Texture gfx\\palette.png loaded successfully.",
                     "WARNING: The image is not truecolor. This will cause problems."}));
}

TEST_F(TextureCacheTest, WriteAccessReadsAReadOnlyTextureAgainOnceIntoTheSameName) {
    Write("gfx/logo.png", HalvesPng(4, 4, 3));
    CTexture* t = manager->GetTexture("gfx\\logo.png", true, false);
    const GLuint name = t->textureId;
    t->Update();  // nothing to upload from

    Write("gfx/logo.png", HalvesPng(4, 4, 4));
    EXPECT_EQ(manager->GetTexture("gfx\\logo.png", false, false), t);
    EXPECT_EQ(manager->GetTexture("GFX\\logo.png", false, false), t);
    t->Update();

    EXPECT_FALSE(t->readOnly);
    EXPECT_NE(t->surface, nullptr);
    EXPECT_EQ(t->textureId, name);
    EXPECT_EQ(t->pixelFormat, static_cast<GLenum>(GL_RGBA));
    EXPECT_EQ(Parameter(t, GL_TEXTURE_WRAP_S), GL_CLAMP);  // kept by the GL texture
    EXPECT_EQ(temp.LinesOf("class CTexture"),
              (Lines{"STATUS: Texture gfx\\logo.png loaded successfully.",
                     "WARNING: Tried to update read-only texture. Ignoring.",
                     "STATUS: Texture gfx\\logo.png loaded successfully."}));
    EXPECT_EQ(temp.LinesOf("class CTextureManager"),
              (Lines{"STATUS: Instance initialized.",
                     "WARNING: Reloading read-only texture gfx\\logo.pngfor write access."}));
}

TEST_F(TextureCacheTest, ReloadUnloadsTheOldTextureAndPutsTheNewOneInItsSlot) {
    Write("gfx/a.png", HalvesPng(4, 4, 3));
    manager->GetTexture("gfx\\a.png", true, false);
    CTexture* other = manager->GetTexture("gfx\\b.png", true, false);

    CTexture* reloaded = manager->GetTexture("gfx\\A.png", true, true);

    ASSERT_EQ(manager->textures.size(), 2u);
    EXPECT_EQ(manager->textures[0], reloaded);
    EXPECT_EQ(manager->textures[1], other);
    EXPECT_TRUE(reloaded->valid);
    const Lines lines = temp.LinesOf("class CTexture");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "STATUS: Texture gfx\\a.png unloaded successfully.");
    EXPECT_EQ(lines[3], "STATUS: Texture gfx\\a.png loaded successfully.");
}

TEST_F(TextureCacheTest, UnloadAllDeletesEveryTextureAndLogsAlsoWhenEmpty) {
    Write("gfx/a.png", HalvesPng(4, 4, 3));
    manager->UnloadAll();
    const GLuint name = manager->GetTexture("gfx\\a.png", true, false)->textureId;
    manager->GetTexture("gfx\\none.png", true, false);
    manager->UnloadAll();

    EXPECT_TRUE(manager->textures.empty());
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(temp.LinesOf("class CTextureManager"),
              (Lines{"STATUS: Instance initialized.", "STATUS: All textures unloaded.",
                     "STATUS: All textures unloaded."}));
    const Lines lines = temp.LinesOf("class CTexture");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "STATUS: Texture gfx\\a.png unloaded successfully.");
    EXPECT_EQ(lines[3], "STATUS: Texture  unloaded successfully.");  // the failed one has no name
}

class FontCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TTF_Init(), 0);
        std::ifstream font("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", std::ios::binary);
        std::ostringstream bytes;
        bytes << font.rdbuf();
        temp.dir.Write("fnt/Lucida Console.ttf", bytes.str());
    }
    void TearDown() override { TTF_Quit(); }

    LoggedTempDir temp;
};

TEST_F(FontCacheTest, OpensEachLowerCasedNameAndSizeOnce) {
    {
        CFontFactory factory;
        CFont* screen = factory.GetFont(DEFAULT_FONT_FILE, 15);
        EXPECT_EQ(factory.GetFont(DEFAULT_FONT_FILE, 15), screen);
        EXPECT_EQ(factory.GetFont("FNT\\LUCIDA CONSOLE.TTF", 15), screen);
        CFont* large = factory.GetFont(DEFAULT_FONT_FILE, 30);

        EXPECT_NE(large, screen);
        EXPECT_EQ(factory.fonts.size(), 2u);
        ASSERT_NE(screen->font, nullptr);
        ASSERT_NE(large->font, nullptr);
        EXPECT_EQ(screen->GetFileName(), "fnt\\lucida console.ttf");
        EXPECT_GT(TTF_FontHeight(large->font), TTF_FontHeight(screen->font));
    }
    EXPECT_EQ(temp.LinesOf("class CFont"), Lines{});
    EXPECT_EQ(temp.LinesOf("class CFontFactory"),
              (Lines{"STATUS: Instance initialized. Did nothing. Great success!",
                     "STATUS: All fonts removed. Why, WHY would you do that?!", "STATUS: Instance removed."}));
}

TEST_F(FontCacheTest, MissingFontIsLoggedOnceAndDrawsAndMeasuresNothing) {
    CFontFactory factory;
    CFont* missing = factory.GetFont("fnt\\Missing.ttf", 15);
    EXPECT_EQ(factory.GetFont("fnt\\missing.ttf", 15), missing);

    EXPECT_EQ(missing->font, nullptr);
    const Lines lines = temp.LinesOf("class CFont");
    ASSERT_EQ(lines.size(), 1u);
    const std::string head = "ERROR: Failed to load font file fnt\\missing.ttf, SDL reports: ";
    EXPECT_EQ(lines[0].substr(0, head.size()), head);
    EXPECT_GT(lines[0].size(), head.size());  // SDL's reason

    int w = 7, h = 7;
    EXPECT_FALSE(missing->MeasureText("Hello", w, h));
    EXPECT_EQ(w + h, 0);
    SDL_Surface* target = SDL_CreateRGBSurface(0, 4, 4, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    RenderText(missing, "Hello", SDL_Color{255, 255, 255, 0}, TextRect{0, 0, 4, 4}, ALIGN_START, ALIGN_START, target);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(static_cast<Uint32*>(target->pixels)[i], 0u);
    }
    SDL_FreeSurface(target);
}

}  // namespace
