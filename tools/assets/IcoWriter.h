#pragma once

#include <string>

#include "tools/PngWriter.h"

// Writes a Windows .ico holding one 32-bit BGRA bitmap image (with its AND
// mask) made from an RGBA image of at most 256 x 256 pixels.
bool WriteIcoFromRgba(const std::string& path, const PngImage& rgba32);
