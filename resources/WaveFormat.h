// Velmora resources: the layout a WAV file declares, checked before it is decoded.
#ifndef VELMORA_RESOURCES_WAVEFORMAT_H
#define VELMORA_RESOURCES_WAVEFORMAT_H

#include <string>

// Longest sound the game decodes, in seconds. Decoded sounds are converted to the
// device's format (up to four times the bytes of a 16-bit mono file), so the
// length, not the file size, bounds what one sound costs in memory.
constexpr double MAX_SOUND_SECONDS = 60.0;

// Why the WAV file `bytes` must not be decoded, or "" when it may be: it is not
// RIFF/WAVE, a chunk runs past the end of the file, it has no "fmt " or "data"
// chunk, its samples are not 8- or 16-bit PCM with 1 or 2 channels at
// 4000..192000 Hz, or it lasts longer than MAX_SOUND_SECONDS.
std::string WaveRefusal(const std::string& bytes);

#endif
