#include "resources/CSoundManager.h"

#include <SDL/SDL.h>

#include <algorithm>

#include "log/Log.h"
#include "resources/CacheKey.h"

namespace {

const char* const CLASS_NAME = "class CSoundManager";
// Mono sounds at this rate; stereo output, which every device offers.
const int OUTPUT_RATE = 22050;
const int OUTPUT_CHANNELS = 2;
const int OUTPUT_SAMPLES = 1024;  // about 46 ms at 22050 Hz: a late jump is not heard late
const int MUSIC_CHANNEL = 0;      // reserved: effects never take it
const int MIXED_CHANNELS = 8;
const int MUSIC_FADE_MS = 800;

int MixerVolume(int percent) {
    return std::clamp(percent, 0, 100) * MIX_MAX_VOLUME / 100;
}

}  // namespace

CSoundManager::CSoundManager(const SoundSettings& settings) {
    if (!settings.enabled) {
        return;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        LogWrite(LOG_WARNING, std::string("No sound: ") + SDL_GetError() + "; the game plays silently.", CLASS_NAME);
        return;
    }
    if (Mix_OpenAudio(OUTPUT_RATE, AUDIO_S16SYS, OUTPUT_CHANNELS, OUTPUT_SAMPLES) != 0) {
        LogWrite(LOG_WARNING, std::string("No sound: ") + Mix_GetError() + "; the game plays silently.", CLASS_NAME);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    open = true;
    Mix_AllocateChannels(MIXED_CHANNELS);
    Mix_ReserveChannels(1);
    effectVolume = MixerVolume(settings.volume);
    // Chunks carry the overall volume; the music's channel adds its own.
    musicVolume = MixerVolume(settings.music);
}

CSoundManager::~CSoundManager() {
    if (open) {
        Mix_HaltChannel(-1);
    }
    for (CSound* sound : sounds) {
        delete sound;
    }
    sounds.clear();
    if (!open) {
        return;
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

CSound* CSoundManager::GetSound(std::string fileName) {
    const std::string key = CacheKey(fileName);
    for (CSound* sound : sounds) {
        if (sound->fileName == key) {
            return sound;
        }
    }
    sounds.push_back(nullptr);
    sounds.back() = new CSound(key, effectVolume);
    return sounds.back();
}

void CSoundManager::Play(std::string fileName) {
    if (!open) {
        return;
    }
    CSound* sound = GetSound(fileName);
    ++sound->requests;
    if (sound->valid) {
        Mix_PlayChannel(-1, sound->chunk, 0);
    }
}

void CSoundManager::SetMusic(std::string fileName, double level) {
    if (!open || level == musicLevel) {
        return;
    }
    if (level <= 0.0) {
        Mix_FadeOutChannel(MUSIC_CHANNEL, MUSIC_FADE_MS);
        musicLevel = 0.0;
        return;
    }
    const int volume = static_cast<int>(musicVolume * std::min(level, 1.0));
    SDL_LockAudio();
    Mix_Volume(MUSIC_CHANNEL, volume);
    SDL_UnlockAudio();
    if (musicLevel <= 0.0) {
        // Stopped, or still fading out: the loop starts again from its beginning.
        Mix_HaltChannel(MUSIC_CHANNEL);
        CSound* music = GetSound(fileName);
        if (music->valid) {
            Mix_PlayChannel(MUSIC_CHANNEL, music->chunk, -1);
        }
    }
    musicLevel = level;
}
