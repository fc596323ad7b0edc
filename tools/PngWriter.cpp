#include "tools/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <fstream>

namespace {

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

void Append(png_structp png, png_bytep data, png_size_t size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void NoFlush(png_structp) {}

// libpng reports errors by longjmp: the function that sets the jump target
// holds no object with a destructor, the caller owns the buffers.
bool WriteRows(std::vector<unsigned char>* out, const PngImage& image, png_bytep* rows, png_colorp palette,
               int paletteSize)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_set_write_fn(png, out, Append, NoFlush);
    const int colourType = image.channels == 1   ? PNG_COLOR_TYPE_PALETTE
                           : image.channels == 3 ? PNG_COLOR_TYPE_RGB
                                                 : PNG_COLOR_TYPE_RGB_ALPHA;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (image.channels == 1) {
        png_set_PLTE(png, info, palette, paletteSize);
        if (!image.paletteAlpha.empty())
            png_set_tRNS(png, info, image.paletteAlpha.data(), static_cast<int>(image.paletteAlpha.size()), nullptr);
        // Indices are not quantities: prediction filters only cost space.
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    }
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::vector<unsigned char> EncodePng(const PngImage& image)
{
    if (!IsConsistent(image)) return {};
    std::vector<png_bytep> rows(static_cast<size_t>(image.height));
    const size_t stride = static_cast<size_t>(image.width) * image.channels;
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = const_cast<png_bytep>(image.pixels.data() + stride * y);
    std::vector<png_color> palette(image.palette.size() / 3);
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = png_color{image.palette[i * 3], image.palette[i * 3 + 1], image.palette[i * 3 + 2]};
    std::vector<unsigned char> out;
    if (!WriteRows(&out, image, rows.data(), palette.data(), static_cast<int>(palette.size()))) return {};
    return out;
}

bool WritePng(const std::string& path, const PngImage& image)
{
    const std::vector<unsigned char> bytes = EncodePng(image);
    if (bytes.empty()) return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // Closed before the check: a full disk shows only when the buffer is flushed.
    file.close();
    return static_cast<bool>(file);
}
