// collector-art FOLDER: draws the collector's images into FOLDER: walker.bmp and
// coin.bmp (32-bit, the fourth byte alpha, as SDL_image reads it) and the window
// icon icon.ico (a 32 x 32 coin).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
constexpr int SIZE = 32;

struct Pixel
{
    std::uint8_t b, g, r, a;
};
using Image = std::vector<Pixel>;  // SIZE x SIZE, rows from the top

Image Walker()
{
    Image image(SIZE * SIZE);
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x)
        {
            const bool border = x < 2 || y < 2 || x >= SIZE - 2 || y >= SIZE - 2;
            const bool eye = y >= 9 && y < 14 && ((x >= 8 && x < 13) || (x >= 19 && x < 24));
            image[y * SIZE + x] = border ? Pixel{120, 50, 20, 255} : eye ? Pixel{255, 255, 255, 255}
                                                                          : Pixel{230, 140, 60, 255};
        }
    return image;
}

Image Coin()
{
    Image image(SIZE * SIZE);
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x)
        {
            const double d = std::hypot(x + 0.5 - SIZE / 2.0, y + 0.5 - SIZE / 2.0);
            if (d > SIZE / 2.0 - 1)
                image[y * SIZE + x] = Pixel{0, 0, 0, 0};
            else if (d > SIZE / 2.0 - 4)
                image[y * SIZE + x] = Pixel{20, 140, 200, 255};
            else
                image[y * SIZE + x] = Pixel{60, 215, 255, 255};
        }
    return image;
}

void Put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void Put32(std::vector<std::uint8_t>& out, unsigned value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

bool Write(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// The bitmap's information header and its 32-bit rows from the bottom; an icon's
// counts the height twice (image and mask).
void PutBitmap(std::vector<std::uint8_t>& out, const Image& image, unsigned heightFactor)
{
    for (unsigned value : {40u, unsigned(SIZE), heightFactor * SIZE})
        Put32(out, value);
    Put16(out, 1);
    Put16(out, 32);
    for (int i = 0; i < 6; ++i)
        Put32(out, 0);
    for (int y = SIZE - 1; y >= 0; --y)
        for (int x = 0; x < SIZE; ++x)
        {
            const Pixel& p = image[y * SIZE + x];
            out.insert(out.end(), {p.b, p.g, p.r, p.a});
        }
}

std::vector<std::uint8_t> Bmp(const Image& image)
{
    std::vector<std::uint8_t> out = {'B', 'M'};
    Put32(out, 14 + 40 + SIZE * SIZE * 4);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutBitmap(out, image, 1);
    return out;
}

// One 32-bit image, then an empty mask.
std::vector<std::uint8_t> Ico(const Image& image)
{
    const unsigned pixelBytes = SIZE * SIZE * 4, maskBytes = SIZE * 4;
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    out.insert(out.end(), {SIZE, SIZE, 0, 0});
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 40 + pixelBytes + maskBytes);
    Put32(out, 22);
    PutBitmap(out, image, 2);
    out.insert(out.end(), maskBytes, 0);
    return out;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: collector-art FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const bool ok = Write(folder + "walker.bmp", Bmp(Walker())) && Write(folder + "coin.bmp", Bmp(Coin())) &&
                    Write(folder + "icon.ico", Ico(Coin()));
    if (!ok)
        std::fprintf(stderr, "collector-art: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
