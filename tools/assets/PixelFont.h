#pragma once

#include <string>
#include <vector>

// A small hand-made bitmap font for the logo: glyphs 7 rows high, of varying
// width. Rows are strings where '#' is a set pixel.
struct PixelGlyph {
    char character = ' ';
    std::vector<std::string> rows;
    int Width() const { return rows.empty() ? 0 : static_cast<int>(rows[0].size()); }
};

// The glyph for a character, or a blank glyph of width 3 for one the font lacks.
const PixelGlyph& GetPixelGlyph(char c);

// Total width in font pixels of the text, with one pixel between glyphs.
int PixelTextWidth(const std::string& text);
