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

#include "resources/WaveFormat.h"

namespace fs = std::filesystem;

namespace {

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

// The shipped data; ctest names the source tree.
fs::path Data() { return fs::path(std::getenv("QUILLFEN_SOURCE_DIR") ? std::getenv("QUILLFEN_SOURCE_DIR") : ".") / "data"; }

} // namespace

// Textures are uploaded only from 24- or 32-bit images, and draw well with sides
// that are powers of two.
TEST(ShippedImagesTest, AreTrueColourWithSidesThatArePowersOfTwo)
{
    for (const fs::directory_entry& file : fs::directory_iterator(Data() / "gfx")) {
        SCOPED_TRACE(file.path().string());
        Surface s = Load(file.path().string());
        ASSERT_NE(s, nullptr) << IMG_GetError();
        EXPECT_TRUE(s->format->BytesPerPixel == 3 || s->format->BytesPerPixel == 4);
        EXPECT_EQ(s->w & (s->w - 1), 0);
        EXPECT_EQ(s->h & (s->h - 1), 0);
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

// Small mono 16-bit WAVs, neither clipped nor faint; effects are short and start
// and end in silence, the music loops without a click.
TEST(ShippedSoundsTest, AreSmallCleanWavesAndTheMusicLoopsWithoutAClick)
{
    for (const char* folder : {"sfx", "music"})
        for (const fs::directory_entry& file : fs::directory_iterator(Data() / folder)) {
            SCOPED_TRACE(file.path().string());
            std::ifstream in(file.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            ASSERT_EQ(WaveRefusal(bytes), "");
            ASSERT_GT(bytes.size(), 44u);
            const auto le = [&bytes](size_t at, int n) {
                unsigned v = 0;
                for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
                return v;
            };
            // The layout the samples below are read in: one fmt chunk, mono 16-bit, then the data.
            EXPECT_EQ((std::array<unsigned, 3>{le(22, 2), le(24, 4), le(34, 2)}), (std::array<unsigned, 3>{1, 22050, 16}));
            std::vector<int> s;
            for (size_t at = 44; at + 1 < bytes.size(); at += 2) s.push_back(static_cast<short>(le(at, 2)));
            int peak = 0, largestStep = 0;
            for (size_t i = 0; i < s.size(); ++i) {
                peak = std::max(peak, std::abs(s[i]));
                if (i > 0) largestStep = std::max(largestStep, std::abs(s[i] - s[i - 1]));
            }
            EXPECT_GT(peak, 32767 / 10);
            EXPECT_LT(peak, 32767 * 7 / 10);
            if (std::string(folder) == "sfx") {
                EXPECT_LE(s.size(), 3u * 22050);
                EXPECT_LT(std::abs(s.front()) + std::abs(s.back()), 32767 / 100);
            } else {
                EXPECT_GE(s.size(), 10u * 22050);
                EXPECT_LE(std::abs(s.front() - s.back()), largestStep);
            }
        }
}
