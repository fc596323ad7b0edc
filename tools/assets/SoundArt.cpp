#include "tools/assets/SoundArt.h"

#include <cmath>

#include "tools/assets/Track.h"

namespace {

// Equal temperament from MIDI note numbers (69 = A4 = 440 Hz).
double Hz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A note gliding from one pitch to another.
Note Glide(double start, double length, double fromHz, double toHz, double amplitude, Wave wave, double decay,
           double release, double attack = 0.005)
{
    Note note{start, length, fromHz, toHz, amplitude};
    note.wave = wave;
    note.decay = decay;
    note.release = release;
    note.attack = attack;
    return note;
}

Note Pitch(double start, double length, int midi, double amplitude, Wave wave, double decay, double release)
{
    return Glide(start, length, Hz(midi), Hz(midi), amplitude, wave, decay, release);
}

std::vector<short> Finish(Track& track, double peak)
{
    track.Normalise(peak);
    return track.ToPcm();
}

} // namespace

std::vector<short> MakeJumpSound()
{
    Track track(0.2, false);
    track.Add(Glide(0.0, 0.12, 330.0, 760.0, 1.0, Wave::Triangle, 6.0, 0.05));
    track.Add(Glide(0.0, 0.12, 660.0, 1520.0, 0.25, Wave::Sine, 10.0, 0.05));
    return Finish(track, 0.5);
}

std::vector<short> MakeLandSound()
{
    Track track(0.16, false);
    track.Add(Glide(0.0, 0.08, 150.0, 55.0, 1.0, Wave::Sine, 18.0, 0.06, 0.002));
    track.AddNoise(0.0, 0.06, 0.5, 900.0, 40.0);
    return Finish(track, 0.55);
}

std::vector<short> MakeCheckpointSound()
{
    Track track(0.8, false);
    track.Add(Pitch(0.0, 0.3, 84, 1.0, Wave::Bell, 5.0, 0.3));
    track.Add(Pitch(0.12, 0.35, 91, 1.0, Wave::Bell, 4.0, 0.3));
    return Finish(track, 0.45);
}

std::vector<short> MakeRespawnSound()
{
    Track track(0.6, false);
    const int notes[] = {72, 76, 79, 84};
    for (int i = 0; i < 4; ++i) track.Add(Pitch(0.06 * i, 0.15, notes[i], 1.0, Wave::Bell, 8.0, 0.15));
    track.Add(Glide(0.0, 0.3, 600.0, 1200.0, 0.25, Wave::Sine, 0.0, 0.2, 0.1));
    return Finish(track, 0.45);
}

std::vector<short> MakePlatformSound()
{
    Track track(0.2, false);
    track.Add(Glide(0.0, 0.12, 110.0, 95.0, 1.0, Wave::Triangle, 10.0, 0.06));
    track.AddNoise(0.0, 0.1, 0.4, 400.0, 20.0);
    // Quiet: it comes whenever a platform picks the player up.
    return Finish(track, 0.2);
}

std::vector<short> MakeTrapSound()
{
    Track track(0.8, false);
    for (double detune : {1.0, 1.06})
        track.Add(Glide(0.0, 0.5, 440.0 * detune, 70.0 * detune, 0.6, Wave::Triangle, 1.5, 0.2));
    track.AddNoise(0.0, 0.5, 0.3, 3000.0, 4.0, 6);
    return Finish(track, 0.6);
}

std::vector<short> MakeGlitchSound()
{
    Track track(0.16, false);
    const double pitches[] = {1800.0, 600.0, 2400.0, 300.0, 1200.0, 900.0, 2000.0};
    for (int i = 0; i < 7; ++i)
        track.Add(Glide(0.02 * i, 0.018, pitches[i], pitches[i], 0.5, Wave::Triangle, 0.0, 0.002, 0.001));
    track.AddNoise(0.0, 0.14, 0.3, 6000.0, 0.0, 20);
    return Finish(track, 0.4);
}

std::vector<short> MakeGoalSound()
{
    Track track(1.5, false);
    const int notes[] = {72, 76, 79};
    for (int i = 0; i < 3; ++i) track.Add(Pitch(0.12 * i, 0.12, notes[i], 0.8, Wave::Bell, 2.5, 0.1));
    track.Add(Pitch(0.36, 0.5, 84, 0.9, Wave::Bell, 2.5, 0.5));
    for (int midi : {60, 64, 67}) track.Add(Glide(0.36, 0.6, Hz(midi), Hz(midi), 0.3, Wave::Sine, 0.0, 0.5, 0.05));
    return Finish(track, 0.55);
}

std::vector<short> MakeMusicLoop()
{
    // Cmaj7, Am7, Fmaj7, G6 at four seconds each; the last chord leads home.
    const double BAR = 4.0;
    struct Chord {
        int bass;
        int pad[3];
        int line[8];  // plucked eighths of half a second; 0 rests
    };
    const Chord chords[4] = {
        {48, {64, 67, 71}, {72, 76, 79, 83, 79, 76, 0, 74}},
        {45, {60, 64, 67}, {72, 76, 79, 76, 81, 79, 76, 0}},
        {41, {57, 60, 64}, {69, 72, 76, 79, 77, 76, 72, 0}},
        {43, {59, 62, 64}, {71, 74, 79, 74, 76, 74, 71, 0}},
    };
    Track track(4 * BAR, true);
    for (int c = 0; c < 4; ++c) {
        const Chord& chord = chords[c];
        const double start = c * BAR;
        track.Add(Glide(start, BAR - 0.4, Hz(chord.bass), Hz(chord.bass), 0.35, Wave::Sine, 0.4, 0.4, 0.02));
        for (int midi : chord.pad) {
            // Two voices a few cents apart: a slow, soft chorus. The release
            // overlaps the next chord, and the last one's wraps to the first.
            for (double detune : {1.0, 1.003})
                track.Add(Glide(start, BAR, Hz(midi) * detune, Hz(midi) * detune, 0.1, Wave::Sine, 0.0, 1.2, 0.8));
        }
        for (int i = 0; i < 8; ++i)
            if (chord.line[i] != 0)
                track.Add(Pitch(start + 0.5 * i, 0.45, chord.line[i], 0.15, Wave::Bell, 3.0, 0.3));
    }
    return Finish(track, 0.5);
}
