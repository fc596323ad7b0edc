#pragma once

#include <vector>

// A mono sound being synthesised: samples in [-1, 1] at SOUND_RATE, to which
// notes and noise are added. Deterministic: the same calls give the same samples.
constexpr int SOUND_RATE = 22050;

enum class Wave { Sine, Triangle, Bell };

struct Note {
    double start;         // seconds
    double length;        // seconds until the release begins
    double fromHz;        // pitch at the start, gliding to toHz over the length
    double toHz;
    double amplitude;     // peak, before the track is normalised
    double attack = 0.005;   // seconds of the rise
    double release = 0.05;   // seconds of the fall after the length
    double decay = 0.0;      // per second, an exponential fall during the length (0: held)
    Wave wave = Wave::Sine;
};

class Track {
public:
    // `seconds` long; a looping track wraps what sounds past its end to its start.
    Track(double seconds, bool looping);

    void Add(const Note& note);
    // Noise through a one-pole low-pass (cutoff Hz), under the note's envelope.
    // `hold` > 1 keeps each random value for that many samples: a coarse, digital grain.
    void AddNoise(double start, double length, double amplitude, double cutoff, double decay, int hold = 1);
    // Scales the whole track to this peak (0..1).
    void Normalise(double peak);
    // 16-bit samples; the first and last milliseconds of a sound that does not
    // loop fade, so that it starts and ends without a click.
    std::vector<short> ToPcm() const;

private:
    void Put(long index, double value);

    std::vector<double> samples;
    bool looping;
    unsigned noiseState = 0x2545F491u;
};
