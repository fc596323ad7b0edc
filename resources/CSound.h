// Velmora resources: one WAV file as an SDL_mixer chunk.
#ifndef VELMORA_RESOURCES_CSOUND_H
#define VELMORA_RESOURCES_CSOUND_H

#include <string>

#include <SDL/SDL_mixer.h>

class CSound {
public:
    // Reads and decodes `fileName` (the cache key) at `volume` (0..MIX_MAX_VOLUME).
    // Needs an open audio device. A file that cannot be read or decoded gives a
    // sound with valid false and one ERROR line.
    CSound(std::string fileName, int volume);
    ~CSound();

    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    bool valid;            // decoded; only valid sounds are played
    std::string fileName;  // the cache key, kept also when loading failed
    Mix_Chunk* chunk;      // owned; null when not valid
    int requests = 0;      // how often it was asked to play, valid or not (tests count them)
};

#endif
