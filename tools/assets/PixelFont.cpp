#include "tools/assets/PixelFont.h"

namespace {

// Only the letters the game's images spell; more are easy to add.
const std::vector<PixelGlyph> glyphs = {
    {'Q', {".###.",
           "#...#",
           "#...#",
           "#...#",
           "#.#.#",
           "#..#.",
           ".##.#"}},
    {'u', {".....",
           ".....",
           "#...#",
           "#...#",
           "#...#",
           "#..##",
           ".##.#"}},
    {'i', {"#",
           ".",
           "#",
           "#",
           "#",
           "#",
           "#"}},
    {'l', {"##",
           ".#",
           ".#",
           ".#",
           ".#",
           ".#",
           ".#"}},
    {'f', {"..##",
           ".#..",
           "####",
           ".#..",
           ".#..",
           ".#..",
           ".#.."}},
    {'e', {".....",
           ".....",
           ".###.",
           "#...#",
           "#####",
           "#....",
           ".####"}},
    {'n', {".....",
           ".....",
           "####.",
           "#...#",
           "#...#",
           "#...#",
           "#...#"}},
};

const PixelGlyph blank{' ', {"...", "...", "...", "...", "...", "...", "..."}};

} // namespace

const PixelGlyph& GetPixelGlyph(char c)
{
    for (const PixelGlyph& glyph : glyphs)
        if (glyph.character == c) return glyph;
    return blank;
}

int PixelTextWidth(const std::string& text)
{
    int width = 0;
    for (char c : text) width += GetPixelGlyph(c).Width() + 1;
    return text.empty() ? 0 : width - 1;
}
