// The sprites example's scene: its image written as a PNG file at start-up, and
// a sprite manager filled with bouncing sprites. Shared by the example and the
// sprite benchmark.
#ifndef VELMORA_EXAMPLES_SPRITES_BOUNCINGSCENE_H
#define VELMORA_EXAMPLES_SPRITES_BOUNCINGSCENE_H

#include <string>

class CSpriteManager;
class CTexture;

// Writes BounceBallPixels as an RGBA PNG file; false when it cannot be written.
bool BounceWritePng(const std::string& path);
// Loads the image at `imagePath` through the scene's texture manager and adds
// `count` bouncing sprites showing it, in a field of fieldW x fieldH pixels.
// Returns the texture (not valid when the image could not be read).
CTexture* BounceAddSprites(CSpriteManager& scene, const std::string& imagePath, int count, int fieldW, int fieldH);

#endif
