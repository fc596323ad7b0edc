#include "resources/ImageSize.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// Readers that treat every byte past the end as missing.
struct Bytes {
    const std::string& data;
    bool Has(std::size_t at, std::size_t count) const { return at <= data.size() && count <= data.size() - at; }
    unsigned At(std::size_t at) const { return static_cast<unsigned char>(data[at]); }
    long long Le16(std::size_t at) const { return At(at) | At(at + 1) << 8; }
    long long Be16(std::size_t at) const { return At(at) << 8 | At(at + 1); }
    long long Le32(std::size_t at) const {
        return static_cast<std::int32_t>(Le16(at) | Le16(at + 2) << 16);
    }
    long long Be32(std::size_t at) const { return Be16(at) << 16 | Be16(at + 2); }
    bool Starts(const char* magic, std::size_t count) const { return Has(0, count) && data.compare(0, count, magic, count) == 0; }
};

// Each reader sets the largest side it finds; false when the header is cut short.
bool PngSide(const Bytes& b, long long& side) {
    if (!b.Has(16, 8)) return false;
    side = std::max(b.Be32(16), b.Be32(20));
    return true;
}

bool BmpSide(const Bytes& b, std::size_t header, long long& side) {
    if (!b.Has(header, 12)) return false;
    if (b.Le32(header) == 12) {  // OS/2 header: 16-bit sides
        side = std::max(b.Le16(header + 4), b.Le16(header + 6));
    } else {  // a negative height means rows top-down
        side = std::max(std::llabs(b.Le32(header + 4)), std::llabs(b.Le32(header + 8)));
    }
    return true;
}

bool IconSide(const Bytes& b, long long& side) {
    if (!b.Has(0, 6)) return false;
    side = 0;
    const long long count = b.Le16(4);
    for (long long i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
        if (!b.Has(entry, 16)) return false;
        const std::size_t image = static_cast<std::size_t>(static_cast<std::uint32_t>(b.Le32(entry + 12)));
        // SDL_image cannot decode PNG entries, and refuses them by itself.
        if (b.Has(image, 4) && b.data.compare(image, 4, "\x89PNG", 4) == 0) continue;
        long long imageSide = 0;
        if (!BmpSide(b, image, imageSide)) return false;
        side = std::max(side, imageSide);
    }
    return true;
}

bool GifSide(const Bytes& b, long long& side) {
    if (!b.Has(0, 13)) return false;
    side = std::max(b.Le16(6), b.Le16(8));
    std::size_t at = 13;
    if (b.At(10) & 0x80) at += 3u << ((b.At(10) & 7) + 1);  // global colour table
    // Extensions until the first image, whose size is the one decoded.
    while (b.Has(at, 1) && b.At(at) == 0x21) {
        at += 2;
        while (b.Has(at, 1) && b.At(at) != 0) at += 1 + b.At(at);
        ++at;
    }
    if (!b.Has(at, 10) || b.At(at) != 0x2C) return false;
    side = std::max(side, std::max(b.Le16(at + 5), b.Le16(at + 7)));
    return true;
}

bool JpegSide(const Bytes& b, long long& side) {
    std::size_t at = 2;
    while (b.Has(at, 4)) {
        if (b.At(at) != 0xFF) return false;
        const unsigned marker = b.At(at + 1);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (!b.Has(at, 9)) return false;
            side = std::max(b.Be16(at + 5), b.Be16(at + 7));
            return true;
        }
        if (marker == 0xD9 || marker == 0xDA) return false;  // no frame before the data
        at += 2 + static_cast<std::size_t>(b.Be16(at + 2));
    }
    return false;
}

}  // namespace

ImageFormat ImageFormatOf(const std::string& data) {
    const Bytes b{data};
    if (b.Starts("\x89PNG\r\n\x1a\n", 8)) return ImageFormat::Png;
    if (b.Starts("BM", 2)) return ImageFormat::Bmp;
    if (b.Starts("\0\0\1\0", 4)) return ImageFormat::Ico;
    if (b.Starts("\0\0\2\0", 4)) return ImageFormat::Cur;
    if (b.Starts("GIF87a", 6) || b.Starts("GIF89a", 6)) return ImageFormat::Gif;
    if (b.Starts("\xFF\xD8", 2)) return ImageFormat::Jpeg;
    return ImageFormat::Unknown;
}

std::string ImageRefusal(const std::string& data) {
    const Bytes b{data};
    long long side = 0;
    bool read = false;
    switch (ImageFormatOf(data)) {
        case ImageFormat::Png: read = PngSide(b, side); break;
        case ImageFormat::Bmp: read = BmpSide(b, 14, side); break;
        case ImageFormat::Ico:
        case ImageFormat::Cur: read = IconSide(b, side); break;
        case ImageFormat::Gif: read = GifSide(b, side); break;
        case ImageFormat::Jpeg: read = JpegSide(b, side); break;
        case ImageFormat::Unknown: return "Unsupported image format";
    }
    if (!read) return "image header is damaged";
    if (side > MAX_IMAGE_SIDE) {
        return "image larger than " + std::to_string(MAX_IMAGE_SIDE) + " x " + std::to_string(MAX_IMAGE_SIDE) +
               " pixels";
    }
    return "";
}
