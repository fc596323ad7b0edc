#include "tools/assets/IcoWriter.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace {

void PutU16(std::vector<unsigned char>& out, uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void PutU32(std::vector<unsigned char>& out, uint32_t v)
{
    PutU16(out, v & 0xFFFFu);
    PutU16(out, v >> 16);
}

} // namespace

bool WriteIcoFromRgba(const std::string& path, const PngImage& rgba32)
{
    const int w = rgba32.width;
    const int h = rgba32.height;
    if (rgba32.channels != 4 || w <= 0 || h <= 0 || w > 256 || h > 256) return false;
    if (rgba32.pixels.size() != static_cast<size_t>(w) * h * 4) return false;

    const uint32_t maskStride = ((w + 31) / 32) * 4; // 1 bit per pixel, rows padded to 32 bits
    const uint32_t imageBytes = 40 + static_cast<uint32_t>(w) * h * 4 + maskStride * h;

    std::vector<unsigned char> out;
    // ICONDIR and its single entry; 0 in a size byte means 256.
    PutU16(out, 0);
    PutU16(out, 1);
    PutU16(out, 1);
    out.push_back(static_cast<unsigned char>(w & 0xFF));
    out.push_back(static_cast<unsigned char>(h & 0xFF));
    out.push_back(0); // no colour table
    out.push_back(0);
    PutU16(out, 1);  // planes
    PutU16(out, 32); // bits per pixel
    PutU32(out, imageBytes);
    PutU32(out, 6 + 16);

    // BITMAPINFOHEADER; the height counts the colour image and the mask.
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(w));
    PutU32(out, static_cast<uint32_t>(h * 2));
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, 0); // BI_RGB
    PutU32(out, imageBytes - 40);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);

    // Rows bottom to top, BGRA.
    for (int y = h - 1; y >= 0; --y) {
        const unsigned char* row = rgba32.pixels.data() + static_cast<size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = row + x * 4;
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    // AND mask: a set bit lets the alpha channel decide. Readers that honour
    // the mask (SDL_image makes every unmasked pixel opaque) then keep the
    // exact alpha of edge pixels too, not only of the fully clear ones.
    for (int y = h - 1; y >= 0; --y) {
        std::vector<unsigned char> bits(maskStride, 0);
        const unsigned char* row = rgba32.pixels.data() + static_cast<size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x)
            if (row[x * 4 + 3] != 255) bits[x / 8] |= static_cast<unsigned char>(0x80u >> (x % 8));
        out.insert(out.end(), bits.begin(), bits.end());
    }

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}
