// Velmora resources: one TrueType font file opened at one point size.
#ifndef VELMORA_RESOURCES_CFONT_H
#define VELMORA_RESOURCES_CFONT_H

#include <memory>
#include <string>

#include <SDL/SDL_ttf.h>

// The largest point size a font is opened at. Far above any caption: text is
// rasterised whole before it is cut to its rectangle, and SDL_ttf caches glyphs
// of many megabytes each at larger sizes.
constexpr int MAX_FONT_SIZE = 256;

class CFont {
public:
    // Opens `fileName` (stored form, relative to the working directory) at `size`
    // points; logs an ERROR and keeps a null handle when it cannot. The file is
    // read whole into memory first, so a pipe, device or oversized file is
    // refused at once and no name ever reaches SDL's error formatting.
    // With `fileBytes` (the content of the same file, held by another size) the
    // file is not read again: every size of a file shares one copy of its bytes.
    CFont(std::string fileName, int size, std::shared_ptr<const std::string> fileBytes = nullptr);
    // Closes the handle unless CFontFactory::RemoveAll already has.
    ~CFont();

    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    std::string GetFileName();
    // Size of `text` as RenderText draws it with this font (cut as FitText cuts),
    // in pixels. False (and 0 x 0) without a handle or when SDL_ttf cannot
    // measure it. Safe from any thread.
    bool MeasureText(const std::string& text, int& w, int& h);

    // The file's content while the font is open, else null; shared between sizes.
    std::shared_ptr<const std::string> GetBytes() const;

    TTF_Font* font;        // owned; null when the file could not be opened
    std::string fileName;  // cache key: the requested name, lower-cased
    int size;              // points
    std::string realPath;  // the file the name reaches (PlatformRealPath); set by the font factory

private:
    // Closes the reader and drops the bytes; only once the handle is closed.
    void ReleaseSource();

    std::shared_ptr<const std::string> bytes;  // the file's content; SDL_ttf reads glyphs from it for the font's life
    SDL_RWops* source;     // owned; reads `bytes`
};

#endif
