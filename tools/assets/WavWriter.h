#pragma once

#include <string>
#include <vector>

// Writes 16-bit PCM mono samples as a WAV file: the one format every build of
// the game's mixer reads. False, writing nothing usable, when the file cannot be
// written or there are no samples.
bool WriteWav(const std::string& path, const std::vector<short>& samples, int rate);
