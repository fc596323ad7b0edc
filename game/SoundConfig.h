#pragma once

// config.ini's section "sound", as the game reads it and the level checker checks
// it. Each value is a whole number from 0 to `highest`; anything else, or a
// missing key, gives the default.
struct SoundConfigKey
{
    const char* name;
    int defaultValue;
    int highest;
};

constexpr const char* SOUND_SECTION = "sound";
constexpr SoundConfigKey SOUND_VOLUME{"volume", 80, 100};  // every sound, in percent
constexpr SoundConfigKey SOUND_MUSIC{"music", 60, 100};    // the music, in percent on top of volume
constexpr SoundConfigKey SOUND_ENABLED{"enabled", 1, 1};   // 0: no device is opened
constexpr SoundConfigKey SOUND_KEYS[] = {SOUND_VOLUME, SOUND_MUSIC, SOUND_ENABLED};
