#pragma once

#include <string>
#include <vector>

// An image to be written as PNG. Rows run top to bottom, width*channels bytes each.
struct PngImage {
    int width = 0;
    int height = 0;
    int channels = 4;                        // 1 = 8-bit palette indices, 3 = RGB, 4 = RGBA
    std::vector<unsigned char> pixels;
    std::vector<unsigned char> palette;      // RGB triples, channels == 1 only
    std::vector<unsigned char> paletteAlpha; // optional tRNS entries, channels == 1 only
};

// Writes the image as an 8-bit PNG. Returns false, writing nothing, on an
// inconsistent image (wrong pixel count, a palette index past the palette, a
// palette given with true colour) or when the file cannot be written.
bool WritePng(const std::string& path, const PngImage& image);

// The encoded PNG bytes, or an empty vector on an inconsistent image.
std::vector<unsigned char> EncodePng(const PngImage& image);
