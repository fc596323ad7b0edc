#pragma once

#include "tools/assets/Canvas.h"

// The player character, Tovik: a small round-headed figure with a red scarf.

// Cell size of the sprite sheet.
constexpr int TOVIK_CELL_W = 52;
constexpr int TOVIK_CELL_H = 64;
// Width of the sheet in pixels: four cells and a clear strip up to a power of two.
constexpr int TOVIK_SHEET_W = 256;

// 4 x 4 cells from the top-left corner: 0-3 walking left, 4-7 walking right, 8-11 take-off facing
// left, 12-15 take-off facing right (cell = row * 4 + column).
Canvas DrawTovikSheet();

// Tovik's head and scarf for the window icon.
Canvas DrawTovikIcon(int size);
