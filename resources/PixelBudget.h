// Velmora resources: one budget for the pixels of every decoded image and every
// caption texture together. Each item stays within its own limit (an image side
// of MAX_IMAGE_SIDE, a caption no larger than its text), but a level may name very
// many of them; what would pass the budget is refused like a missing file, with an
// ERROR line, and draws nothing.
//
//   if (!PixelBudgetReserve(bytes)) { /* refuse, log */ }
//   ...
//   PixelBudgetRelease(bytes);  // when the pixels are dropped
#ifndef VELMORA_RESOURCES_PIXELBUDGET_H
#define VELMORA_RESOURCES_PIXELBUDGET_H

#include <cstdint>
#include <string>

// 1 GiB: the shipped level holds well under a megabyte, a 100,000-block level
// with every third block captioned about 140 MB once every caption has been on
// screen, and a single image of the largest side 256 MiB.
constexpr std::uint64_t PIXEL_BUDGET_BYTES = std::uint64_t{1} << 30;

// Takes `bytes` from the budget; false, taking nothing, when they do not fit.
// Safe from any thread.
bool PixelBudgetReserve(std::uint64_t bytes);
// Gives back what a successful PixelBudgetReserve took.
void PixelBudgetRelease(std::uint64_t bytes);
// Bytes reserved now.
std::uint64_t PixelBudgetInUse();
// Changes the budget (PIXEL_BUDGET_BYTES at start); tests make it small.
void PixelBudgetSetLimit(std::uint64_t bytes);
// The reason logged for a refused item: "... exceed the budget of N MiB".
std::string PixelBudgetRefusal(std::uint64_t bytes);

#endif
