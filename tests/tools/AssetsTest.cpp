#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>
#include <memory>
#include <string>
#include <unistd.h>

#include "resources/WaveFormat.h"
#include "tools/assets/IcoWriter.h"
#include "tools/PngWriter.h"

namespace fs = std::filesystem;

namespace {

class ImageFilesTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(folder); }
    void TearDown() override { fs::remove_all(folder); }
    std::string Path(const std::string& name) const { return (folder / name).string(); }
    const fs::path folder = fs::temp_directory_path() / ("quillfen_assets_test_" + std::to_string(getpid()));
};

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

Surface Load(const std::string& path)
{
    return Surface(IMG_Load(path.c_str()));
}

std::array<int, 4> PixelAt(SDL_Surface* s, int x, int y)
{
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    Uint32 value = 0;
    for (int i = 0; i < s->format->BytesPerPixel; ++i) value |= static_cast<Uint32>(p[i]) << (8 * i);
    Uint8 r, g, b, a;
    SDL_GetRGBA(value, s->format, &r, &g, &b, &a);
    return {r, g, b, a};
}

// Deterministic bytes with long repeats and noise, so every row filter and
// compression path of the writer is taken.
PngImage Pattern(int width, int height, int channels)
{
    PngImage image{};
    image.width = width, image.height = height, image.channels = channels;
    unsigned state = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                state = state * 1103515245u + 12345u;
                const bool noisy = (y / 7) % 3 == 0;
                image.pixels.push_back(static_cast<unsigned char>(noisy ? state >> 16 : (x / 5 * 17 + c * 60 + y / 40)));
            }
    return image;
}

void ExpectSameTrueColour(const PngImage& image, SDL_Surface* s)
{
    ASSERT_NE(s, nullptr) << IMG_GetError();
    ASSERT_EQ((std::array<int, 3>{s->w, s->h, s->format->BitsPerPixel}),
              (std::array<int, 3>{image.width, image.height, image.channels * 8}));
    // The texture code picks GL_RGB/GL_RGBA from this mask.
    EXPECT_EQ(s->format->Rmask, 0x000000FFu);
    int mismatches = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const auto p = PixelAt(s, x, y);
            const unsigned char* q = &image.pixels[(static_cast<size_t>(y) * image.width + x) * image.channels];
            const int alpha = image.channels == 4 ? q[3] : 255;
            if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2] || p[3] != alpha) ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);
}

// The shipped data; ctest names the source tree.
fs::path Data() { return fs::path(std::getenv("QUILLFEN_SOURCE_DIR") ? std::getenv("QUILLFEN_SOURCE_DIR") : ".") / "data"; }

} // namespace

TEST_F(ImageFilesTest, TrueColourPngsLoadWithEveryPixelIntact)
{
    for (int channels : {3, 4}) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{300, 211}}) {
            SCOPED_TRACE("channels " + std::to_string(channels) + ", " + std::to_string(w) + "x" + std::to_string(h));
            const PngImage image = Pattern(w, h, channels);
            const std::string path = Path("rgb.png");
            ASSERT_TRUE(WritePng(path, image));
            Surface s = Load(path);
            ExpectSameTrueColour(image, s.get());
        }
    }
}

TEST_F(ImageFilesTest, PalettePngsKeepIndicesColoursAndTransparency)
{
    PngImage image{};
    image.width = 7, image.height = 4, image.channels = 1;
    image.palette = {10, 20, 30, 200, 100, 50, 0, 255, 0, 255, 255, 255};
    for (int i = 0; i < 28; ++i) image.pixels.push_back(static_cast<unsigned char>((i * 3) % 4));

    // Without transparency the surface stays 8-bit with the same palette.
    ASSERT_TRUE(WritePng(Path("pal.png"), image));
    Surface plain = Load(Path("pal.png"));
    ASSERT_NE(plain, nullptr) << IMG_GetError();
    EXPECT_EQ(plain->format->BitsPerPixel, 8);
    ASSERT_NE(plain->format->palette, nullptr);
    ASSERT_GE(plain->format->palette->ncolors, 4);
    for (int i = 0; i < 4; ++i) {
        const SDL_Color c = plain->format->palette->colors[i];
        EXPECT_EQ((std::array<int, 3>{c.r, c.g, c.b}),
                  (std::array<int, 3>{image.palette[i * 3], image.palette[i * 3 + 1], image.palette[i * 3 + 2]}));
    }
    for (int i = 0; i < 28; ++i)
        EXPECT_EQ(static_cast<const Uint8*>(plain->pixels)[(i / 7) * plain->pitch + i % 7], image.pixels[i]);

    // One clear entry becomes the colour key.
    image.paletteAlpha = {255, 0};
    ASSERT_TRUE(WritePng(Path("keyed.png"), image));
    Surface keyed = Load(Path("keyed.png"));
    ASSERT_NE(keyed, nullptr);
    EXPECT_EQ(keyed->format->BitsPerPixel, 8);
    EXPECT_TRUE(keyed->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(keyed->format->colorkey, 1u);

    // Partial alpha is expanded to RGBA by the loader; entries past the
    // alpha table are opaque.
    image.paletteAlpha = {255, 0, 128};
    ASSERT_TRUE(WritePng(Path("soft.png"), image));
    Surface soft = Load(Path("soft.png"));
    ASSERT_NE(soft, nullptr);
    EXPECT_EQ(soft->format->BitsPerPixel, 32);
    for (int i = 0; i < 28; ++i) {
        const int index = image.pixels[i];
        const int alpha = index < 3 ? image.paletteAlpha[index] : 255;
        EXPECT_EQ(PixelAt(soft.get(), i % 7, i / 7)[3], alpha) << "pixel " << i;
        if (alpha > 0) {
            EXPECT_EQ(PixelAt(soft.get(), i % 7, i / 7)[0], image.palette[index * 3]) << "pixel " << i;
        }
    }
}

TEST_F(ImageFilesTest, InconsistentImagesAreRefusedWithoutWritingAFile)
{
    PngImage good = Pattern(4, 4, 4);
    PngImage shortPixels = good;
    shortPixels.pixels.pop_back();
    PngImage twoChannels = Pattern(4, 4, 2);
    PngImage empty;
    PngImage paletteOnRgb = Pattern(4, 4, 3);
    paletteOnRgb.palette = {1, 2, 3};
    PngImage indexPastPalette{};
    indexPastPalette.width = 2, indexPastPalette.height = 1, indexPastPalette.channels = 1;
    indexPastPalette.palette = {1, 2, 3, 4, 5, 6};
    indexPastPalette.pixels = {1, 2};
    PngImage tooManyAlphas = indexPastPalette;
    tooManyAlphas.pixels = {0, 1};
    tooManyAlphas.paletteAlpha = {1, 2, 3};

    int n = 0;
    for (const PngImage* bad : {&shortPixels, &twoChannels, &empty, &paletteOnRgb, &indexPastPalette, &tooManyAlphas}) {
        const std::string path = Path("bad" + std::to_string(n++) + ".png");
        EXPECT_FALSE(WritePng(path, *bad)) << path;
        EXPECT_FALSE(fs::exists(path)) << path;
    }
    EXPECT_FALSE(WritePng(Path("no/such/folder/x.png"), good));
    EXPECT_FALSE(WriteIcoFromRgba(Path("bad.ico"), Pattern(4, 4, 3)));
    EXPECT_FALSE(WriteIcoFromRgba(Path("big.ico"), Pattern(257, 2, 4)));
}

TEST_F(ImageFilesTest, IconLoadsWithItsColoursAndAlpha)
{
    // Odd width: the mask rows are padded to 32 bits.
    PngImage image = Pattern(33, 20, 4);
    for (size_t i = 0; i < 4 * 20; ++i) image.pixels[i * 4 + 3] = 255; // an opaque band at the top
    ASSERT_TRUE(WriteIcoFromRgba(Path("icon.ico"), image));
    Surface s = Load(Path("icon.ico"));
    ASSERT_NE(s, nullptr) << IMG_GetError();
    ASSERT_EQ((std::array<int, 3>{s->w, s->h, s->format->BytesPerPixel}), (std::array<int, 3>{33, 20, 4}));
    int mismatches = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 33; ++x) {
            const auto p = PixelAt(s.get(), x, y);
            const unsigned char* q = &image.pixels[(static_cast<size_t>(y) * 33 + x) * 4];
            if (p[3] != q[3] || (q[3] > 0 && (p[0] != q[0] || p[1] != q[1] || p[2] != q[2]))) ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(ShippedImagesTest, HaveTheSizesAndFormatsTheGameNeeds)
{
    const fs::path gfx = Data() / "gfx";
    struct Expected { const char* name; int w, h; };
    for (const Expected& e : {Expected{"tovik.png", 256, 256}, Expected{"logo.png", 256, 128},
                              Expected{"ground.png", 64, 64}, Expected{"stone.png", 64, 64},
                              Expected{"platform.png", 128, 32}, Expected{"checkpoint.png", 64, 64},
                              Expected{"goal.png", 64, 64}, Expected{"evil.png", 64, 64},
                              Expected{"sign.png", 128, 64}, Expected{"sky.png", 256, 256},
                              Expected{"icon.ico", 32, 32}}) {
        SCOPED_TRACE(e.name);
        Surface s = Load((gfx / e.name).string());
        ASSERT_NE(s, nullptr) << IMG_GetError();
        EXPECT_EQ((std::pair{s->w, s->h}), (std::pair{e.w, e.h}));
        // Textures are only uploaded from 24- or 32-bit images.
        EXPECT_TRUE(s->format->BytesPerPixel == 3 || s->format->BytesPerPixel == 4);
    }
}

TEST(ShippedImagesTest, EverySpriteCellHoldsAFigureWithAClearBorder)
{
    Surface s = Load((Data() / "gfx" / "tovik.png").string());
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->format->BytesPerPixel, 4);
    for (int cell = 0; cell < 16; ++cell) {
        const int x0 = (cell % 4) * 52, y0 = (cell / 4) * 64;
        int opaque = 0, border = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 52; ++x) {
                const int alpha = PixelAt(s.get(), x0 + x, y0 + y)[3];
                if (alpha == 255) ++opaque;
                // Linear filtering must not pull a neighbour cell's pixels in.
                if ((x == 0 || x == 51 || y == 0 || y == 63) && alpha > 0) ++border;
            }
        EXPECT_GT(opaque, 52 * 64 / 5) << "cell " << cell;
        EXPECT_EQ(border, 0) << "cell " << cell;
    }
    // Walking left mirrors walking right.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 52; ++x)
            ASSERT_EQ(PixelAt(s.get(), x, y)[3], PixelAt(s.get(), 51 - x, 64 + y)[3]) << x << "," << y;
}

// Small mono 16-bit WAVs, never clipped; effects start and end in silence.
TEST(ShippedSoundsTest, AreSmallCleanWavesAndTheMusicLoopsWithoutAClick)
{
    struct Expected { const char* name; double shortest, longest; };
    double quietest = 1.0;
    std::string quietestName;
    for (const Expected& e : {Expected{"sfx/jump.wav", 0.05, 1}, Expected{"sfx/land.wav", 0.05, 1},
                              Expected{"sfx/checkpoint.wav", 0.2, 2}, Expected{"sfx/respawn.wav", 0.2, 2},
                              Expected{"sfx/platform.wav", 0.05, 1}, Expected{"sfx/trap.wav", 0.2, 2},
                              Expected{"sfx/glitch.wav", 0.05, 0.5}, Expected{"sfx/goal.wav", 0.5, 3},
                              Expected{"music/calm.wav", 10, 20}}) {
        SCOPED_TRACE(e.name);
        std::ifstream file(Data() / e.name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        ASSERT_EQ(WaveRefusal(bytes), "");
        ASSERT_GT(bytes.size(), 44u);
        const auto le = [&bytes](size_t at, int n) {
            unsigned v = 0;
            for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
            return v;
        };
        // The writer's layout: one fmt chunk, then the data.
        EXPECT_EQ((std::array<unsigned, 3>{le(22, 2), le(24, 4), le(34, 2)}), (std::array<unsigned, 3>{1, 22050, 16}));
        std::vector<int> s;
        for (size_t at = 44; at + 1 < bytes.size(); at += 2) s.push_back(static_cast<short>(le(at, 2)));
        const double seconds = s.size() / 22050.0;
        EXPECT_GE(seconds, e.shortest);
        EXPECT_LE(seconds, e.longest);
        int peak = 0, largestStep = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            peak = std::max(peak, std::abs(s[i]));
            if (i > 0) largestStep = std::max(largestStep, std::abs(s[i] - s[i - 1]));
        }
        EXPECT_GT(peak, 32767 / 10);
        EXPECT_LT(peak, 32767 * 7 / 10);
        if (std::string(e.name).rfind("sfx/", 0) == 0) {
            EXPECT_LT(std::abs(s.front()) + std::abs(s.back()), 32767 / 100);
            if (peak < quietest * 32767) quietest = peak / 32767.0, quietestName = e.name;
        } else {
            EXPECT_LE(std::abs(s.front() - s.back()), largestStep);
        }
    }
    EXPECT_EQ(quietestName, "sfx/platform.wav");
}
