#include "BouncingScene.h"

#include <velmora/resources/CTexture.h>
#include <velmora/resources/CTextureManager.h>
#include <velmora/sprites/CSpriteManager.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <vector>

#include "BounceMotion.h"
#include "CBouncingSprite.h"

namespace {

void PutBigEndian(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(v >> shift));
    }
}

std::uint32_t Crc32(const unsigned char* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(&out[start], out.size() - start));
}

}  // namespace

// The image is small, so its zlib stream holds it in stored (uncompressed)
// blocks: no compression library is needed.
bool BounceWritePng(const std::string& path) {
    const int n = BOUNCE_SPRITE_SIZE;
    const std::vector<unsigned char> pixels = BounceBallPixels();
    std::vector<unsigned char> raw;  // each row: filter type 0, then its pixels
    for (int row = 0; row < n; ++row) {
        raw.push_back(0);
        raw.insert(raw.end(), pixels.begin() + row * n * 4, pixels.begin() + (row + 1) * n * 4);
    }
    std::vector<unsigned char> zlib = {0x78, 0x01};
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t size = std::min<std::size_t>(65535, raw.size() - at);
        zlib.push_back(at + size == raw.size() ? 1 : 0);
        zlib.push_back(static_cast<unsigned char>(size));
        zlib.push_back(static_cast<unsigned char>(size >> 8));
        zlib.push_back(static_cast<unsigned char>(~size));
        zlib.push_back(static_cast<unsigned char>(~size >> 8));
        zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + size);
    }
    std::uint32_t a = 1, b = 0;  // Adler-32
    for (unsigned char c : raw) {
        a = (a + c) % 65521u;
        b = (b + a) % 65521u;
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBigEndian(header, n);
    PutBigEndian(header, n);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(file);
}

CTexture* BounceAddSprites(CSpriteManager& scene, const std::string& imagePath, int count, int fieldW, int fieldH) {
    CTexture* texture = scene.textureManager->GetTexture(imagePath, true, false);
    for (int i = 0; i < count; ++i) {
        auto* sprite = new CBouncingSprite(static_cast<std::uint32_t>(i), fieldW, fieldH);
        sprite->SetTexture(texture);
        sprite->SetSize(BOUNCE_SPRITE_SIZE, BOUNCE_SPRITE_SIZE);
        scene.AddSprite(sprite);
    }
    return texture;
}
