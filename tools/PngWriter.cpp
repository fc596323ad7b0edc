#include "tools/PngWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace {

// Little-endian bit stream, as deflate wants it.
class BitWriter {
public:
    explicit BitWriter(std::vector<unsigned char>& out) : out(out) {}

    void Bits(uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i) {
            if ((value >> i) & 1u) current |= static_cast<unsigned char>(1u << used);
            if (++used == 8) Flush();
        }
    }

    // Huffman codes are sent most significant bit first.
    void Code(uint32_t code, int length)
    {
        for (int i = length - 1; i >= 0; --i) Bits((code >> i) & 1u, 1);
    }

    void Finish()
    {
        if (used > 0) Flush();
    }

private:
    void Flush()
    {
        out.push_back(current);
        current = 0;
        used = 0;
    }

    std::vector<unsigned char>& out;
    unsigned char current = 0;
    int used = 0;
};

void LiteralOrLength(BitWriter& bits, int symbol)
{
    if (symbol < 144) bits.Code(0x30 + symbol, 8);
    else if (symbol < 256) bits.Code(0x190 + symbol - 144, 9);
    else if (symbol < 280) bits.Code(symbol - 256, 7);
    else bits.Code(0xC0 + symbol - 280, 8);
}

const int lengthBase[29] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31,
                            35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int lengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
                             3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int distBase[30] = {1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129,
                          193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097,
                          6145, 8193, 12289, 16385, 24577};
const int distExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                           6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void Match(BitWriter& bits, int length, int distance)
{
    int l = 28;
    while (lengthBase[l] > length) --l;
    LiteralOrLength(bits, 257 + l);
    bits.Bits(length - lengthBase[l], lengthExtra[l]);
    int d = 29;
    while (distBase[d] > distance) --d;
    bits.Code(d, 5);
    bits.Bits(distance - distBase[d], distExtra[d]);
}

// One fixed-Huffman block with greedy LZ77 over hash chains: far smaller
// than stored blocks for drawn art, and still deterministic.
std::vector<unsigned char> Deflate(const std::vector<unsigned char>& data)
{
    const int window = 32768;
    const int maxChain = 128;
    const int hashSize = 1 << 15;
    const int n = static_cast<int>(data.size());

    std::vector<unsigned char> out;
    BitWriter bits(out);
    bits.Bits(1, 1); // final block
    bits.Bits(1, 2); // fixed Huffman codes

    std::vector<int> head(hashSize, -1);
    std::vector<int> prev(n > 0 ? n : 1, -1);
    auto hashAt = [&](int i) {
        return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & (hashSize - 1);
    };
    auto insert = [&](int i) {
        if (i + 2 >= n) return;
        int h = hashAt(i);
        prev[i] = head[h];
        head[h] = i;
    };

    int i = 0;
    while (i < n) {
        int bestLength = 0;
        int bestDistance = 0;
        if (i + 2 < n) {
            int candidate = head[hashAt(i)];
            const int limit = std::min(258, n - i);
            for (int chain = 0; candidate >= 0 && i - candidate <= window && chain < maxChain; ++chain) {
                int length = 0;
                while (length < limit && data[candidate + length] == data[i + length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = i - candidate;
                    if (length == limit) break;
                }
                candidate = prev[candidate];
            }
        }
        if (bestLength >= 3) {
            Match(bits, bestLength, bestDistance);
            for (int k = 0; k < bestLength; ++k) insert(i + k);
            i += bestLength;
        } else {
            LiteralOrLength(bits, data[i]);
            insert(i);
            ++i;
        }
    }
    LiteralOrLength(bits, 256);
    bits.Finish();
    return out;
}

uint32_t Adler32(const std::vector<unsigned char>& data)
{
    uint32_t a = 1, b = 0;
    for (unsigned char c : data) {
        a = (a + c) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

uint32_t Crc32(const unsigned char* data, size_t size, uint32_t crc = 0)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

void PutU32(std::vector<unsigned char>& out, uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

void Chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& body)
{
    PutU32(out, static_cast<uint32_t>(body.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    PutU32(out, Crc32(out.data() + start, out.size() - start));
}

int Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Each row gets the filter whose output has the smallest sum of magnitudes;
// palette rows stay unfiltered, since indices are not quantities.
std::vector<unsigned char> FilterRows(const PngImage& image)
{
    const int bpp = image.channels;
    const size_t stride = static_cast<size_t>(image.width) * bpp;
    std::vector<unsigned char> out;
    out.reserve((stride + 1) * image.height);
    std::vector<unsigned char> zero(stride, 0), trial(stride), best(stride);
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* row = image.pixels.data() + stride * y;
        const unsigned char* up = y > 0 ? row - stride : zero.data();
        const int filters = image.channels == 1 ? 1 : 5;
        long bestScore = -1;
        int bestFilter = 0;
        for (int f = 0; f < filters; ++f) {
            long score = 0;
            for (size_t x = 0; x < stride; ++x) {
                const int a = x >= static_cast<size_t>(bpp) ? row[x - bpp] : 0;
                const int b = up[x];
                const int c = x >= static_cast<size_t>(bpp) ? up[x - bpp] : 0;
                int predictor = 0;
                switch (f) {
                case 1: predictor = a; break;
                case 2: predictor = b; break;
                case 3: predictor = (a + b) / 2; break;
                case 4: predictor = Paeth(a, b, c); break;
                default: break;
                }
                trial[x] = static_cast<unsigned char>(row[x] - predictor);
                score += trial[x] < 128 ? trial[x] : 256 - trial[x];
            }
            if (bestScore < 0 || score < bestScore) {
                bestScore = score;
                bestFilter = f;
                best.swap(trial);
            }
        }
        out.push_back(static_cast<unsigned char>(bestFilter));
        out.insert(out.end(), best.begin(), best.end());
    }
    return out;
}

bool IsConsistent(const PngImage& image)
{
    if (image.width <= 0 || image.height <= 0) return false;
    if (image.channels != 1 && image.channels != 3 && image.channels != 4) return false;
    const size_t expected = static_cast<size_t>(image.width) * image.height * image.channels;
    if (image.pixels.size() != expected) return false;
    if (image.channels != 1) return image.palette.empty() && image.paletteAlpha.empty();
    const size_t entries = image.palette.size() / 3;
    if (image.palette.size() % 3 != 0 || entries == 0 || entries > 256) return false;
    if (image.paletteAlpha.size() > entries) return false;
    for (unsigned char index : image.pixels)
        if (index >= entries) return false;
    return true;
}

} // namespace

std::vector<unsigned char> EncodePng(const PngImage& image)
{
    if (!IsConsistent(image)) return {};

    std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    std::vector<unsigned char> header;
    PutU32(header, static_cast<uint32_t>(image.width));
    PutU32(header, static_cast<uint32_t>(image.height));
    const unsigned char colourType = image.channels == 1 ? 3 : image.channels == 3 ? 2 : 6;
    header.insert(header.end(), {8, colourType, 0, 0, 0});
    Chunk(out, "IHDR", header);

    if (image.channels == 1) {
        Chunk(out, "PLTE", image.palette);
        if (!image.paletteAlpha.empty()) Chunk(out, "tRNS", image.paletteAlpha);
    }

    const std::vector<unsigned char> raw = FilterRows(image);
    std::vector<unsigned char> zlib = {0x78, 0x01};
    const std::vector<unsigned char> packed = Deflate(raw);
    zlib.insert(zlib.end(), packed.begin(), packed.end());
    PutU32(zlib, Adler32(raw));
    Chunk(out, "IDAT", zlib);
    Chunk(out, "IEND", {});
    return out;
}

bool WritePng(const std::string& path, const PngImage& image)
{
    const std::vector<unsigned char> bytes = EncodePng(image);
    if (bytes.empty()) return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}
