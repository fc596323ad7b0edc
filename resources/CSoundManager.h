// Velmora resources: sound effects and one music loop through SDL_mixer.
//
// One CSoundManager exists while a game runs: its owner creates it after SDL has
// started and deletes it before SDL shuts down. It opens the audio device itself;
// when sound is switched off, or there is no device (none, a busy one, a server
// without sound), every call does nothing: the game is silent and otherwise the
// same, with one WARNING when a device was wanted. Nothing here reads the game's
// clock, its frames or its random numbers, and a working device adds no log line,
// so a recorded run replays to the same log with sound on or off.
//
// Sounds are WAV files (8- or 16-bit PCM), cached by name like textures (letter
// case does not matter). A file that cannot be read or decoded is logged once at
// level ERROR and stays silent. Effects play on the mixer's free channels; the
// music loops on a channel of its own, whose level follows SetMusic.
//
// Main thread only. The mixer's thread reads what these calls set, and every
// change it could see half-done is made under SDL's audio lock.
//
//   CSoundManager sounds(SoundSettings{80, 60, true});
//   sounds.GetSound("sfx\\jump.wav");            // read ahead of play (optional)
//   sounds.Play("sfx\\jump.wav");
//   sounds.SetMusic("music\\calm.wav", 1.0);     // every frame: starts, keeps or fades it
#ifndef VELMORA_RESOURCES_CSOUNDMANAGER_H
#define VELMORA_RESOURCES_CSOUNDMANAGER_H

#include <string>
#include <vector>

#include "resources/CSound.h"

struct SoundSettings {
    int volume;    // 0..100: every sound
    int music;     // 0..100: the music, on top of volume
    bool enabled;  // false: no device is opened, nothing is read or played
};

class CSoundManager {
public:
    explicit CSoundManager(const SoundSettings& settings);
    // Stops every sound, frees the chunks and closes the device.
    ~CSoundManager();

    CSoundManager(const CSoundManager&) = delete;
    CSoundManager& operator=(const CSoundManager&) = delete;

    // Whether a device is open and sounds are played.
    bool IsOpen() const { return open; }
    // The sound of `fileName`, read on first request; never null. A sound that
    // failed stays cached as not valid, so its ERROR line is written once.
    CSound* GetSound(std::string fileName);
    // Plays the sound once on a free channel; none free drops it.
    void Play(std::string fileName);
    // The music at `level` (0..1) of its configured volume: started looping when
    // it does not play, faded out for 0. Cheap when nothing changes.
    void SetMusic(std::string fileName, double level);

    std::vector<CSound*> sounds;  // owned, in order of first request

private:
    bool open = false;
    int effectVolume = 0;     // 0..MIX_MAX_VOLUME
    int musicVolume = 0;      // the music channel's volume at level 1, 0..MIX_MAX_VOLUME
    double musicLevel = 0.0;  // the level last set; 0 while no music plays
};

#endif
