#pragma once

#include <vector>

// The game's sounds, synthesised: 16-bit mono samples at SOUND_RATE (Track.h).
// Effects are short and end in silence; the music loops without a seam.

std::vector<short> MakeJumpSound();        // a quick rising chirp
std::vector<short> MakeLandSound();        // a soft thump
std::vector<short> MakeCheckpointSound();  // two bell notes, up a fifth
std::vector<short> MakeRespawnSound();     // a rising arpeggio
std::vector<short> MakePlatformSound();    // a quiet low knock
std::vector<short> MakeTrapSound();        // two clashing tones falling, with grit
std::vector<short> MakeGlitchSound();      // a short digital stutter
std::vector<short> MakeGoalSound();        // a small fanfare resolving on a chord
std::vector<short> MakeMusicLoop();        // 16 s: four calm chords with a plucked line
