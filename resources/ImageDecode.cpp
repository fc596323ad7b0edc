#include "resources/ImageDecode.h"

#include <SDL/SDL_image.h>

#include "resources/ImageSize.h"

SDL_Surface* ImageDecode(const std::string& bytes, std::string& error) {
    error = ImageRefusal(bytes);
    if (!error.empty()) {
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (source == nullptr) {
        error = SDL_GetError();
        return nullptr;
    }
    SDL_Surface* image = nullptr;
    switch (ImageFormatOf(bytes)) {
        case ImageFormat::Png: image = IMG_LoadPNG_RW(source); break;
        case ImageFormat::Bmp: image = IMG_LoadBMP_RW(source); break;
        case ImageFormat::Ico: image = IMG_LoadICO_RW(source); break;
        case ImageFormat::Cur: image = IMG_LoadCUR_RW(source); break;
        case ImageFormat::Gif: image = IMG_LoadGIF_RW(source); break;
        case ImageFormat::Jpeg: image = IMG_LoadJPG_RW(source); break;
        case ImageFormat::Unknown: break;  // refused above
    }
    SDL_RWclose(source);
    if (image == nullptr) {
        error = SDL_GetError();
    }
    return image;
}
