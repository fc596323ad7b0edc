#pragma once

#include "tools/assets/Canvas.h"

// Textures of the level's blocks and its background. The game stretches each
// over the whole block, so they are drawn to read well when scaled.

Canvas DrawGround();     // 64 x 64, grass on earth
Canvas DrawStone();      // 64 x 64, stone wall bricks
Canvas DrawPlatform();   // 128 x 32, wooden plank with metal ends
Canvas DrawCheckpoint(); // 64 x 64, a flag on a post
Canvas DrawGoal();       // 64 x 64, a glowing door
Canvas DrawTrapChest();  // 64 x 64, a treasure chest that is a trap
Canvas DrawSign();       // 128 x 64, a board for a caption
Canvas DrawSky();        // 256 x 256, gradient with clouds
