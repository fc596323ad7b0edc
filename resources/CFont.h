// Velmora resources: one TrueType font file opened at one point size.
#ifndef VELMORA_RESOURCES_CFONT_H
#define VELMORA_RESOURCES_CFONT_H

#include <string>

#include <SDL/SDL_ttf.h>

class CFont {
public:
    // Opens `fileName` (stored form, relative to the working directory) at `size`
    // points; logs an ERROR and keeps a null handle when it cannot.
    CFont(std::string fileName, int size);
    // Closes the handle unless CFontFactory::RemoveAll already has.
    ~CFont();

    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    std::string GetFileName();
    // Size of `text` drawn with this font, in pixels. False (and 0 x 0) without a
    // handle or when SDL_ttf cannot measure it. Safe from any thread.
    bool MeasureText(const std::string& text, int& w, int& h);

    TTF_Font* font;        // owned; null when the file could not be opened
    std::string fileName;  // cache key: the requested name, lower-cased
    int size;              // points
};

#endif
