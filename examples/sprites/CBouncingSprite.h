// A sprite that moves by itself and bounces off the edges of a field, for the
// sprites example and the sprite benchmark.
//
// Like particles, it takes part in no collision (no category, no mask), so the
// sprite manager's collision pass never looks at it; and it draws exactly as an
// image sprite does, so the manager batches it (DrawsAsBase).
#ifndef VELMORA_EXAMPLES_SPRITES_CBOUNCINGSPRITE_H
#define VELMORA_EXAMPLES_SPRITES_CBOUNCINGSPRITE_H

#include <velmora/sprites/CImageSprite.h>

#include "BounceMotion.h"

class CBouncingSprite : public CImageSprite {
public:
    // Sprite `index` of a field of fieldW x fieldH pixels (BounceStart).
    CBouncingSprite(std::uint32_t index, int fieldW, int fieldH);

    // Moves by `seconds` of its velocity.
    void Update(double seconds) override;
    // Render and Draw are CImageSprite's: batched. A class derived from this one
    // says so again itself.
    bool DrawsAsBase() const override;

    BounceBody body;
    int fieldW;  // pixels
    int fieldH;  // pixels
};

#endif
