// Velmora resources: an image file decoded by the decoder its bytes show.
//
// The size check (ImageRefusal) reads the header of the format the first bytes
// show; the file is decoded by that format's decoder alone, never by one chosen
// from its name, so a file cannot pass the check as one format and decode as
// another (a ".tga" that starts like a 1 x 1 BMP is read as a BMP).
#ifndef VELMORA_RESOURCES_IMAGEDECODE_H
#define VELMORA_RESOURCES_IMAGEDECODE_H

#include <SDL/SDL.h>

#include <string>

// Decodes the image file `bytes`. Null, with the reason in `error` (the size
// check's or SDL_image's), when it is refused or cannot be decoded; the caller
// frees the surface with SDL_FreeSurface.
SDL_Surface* ImageDecode(const std::string& bytes, std::string& error);

#endif
