#include "tools/assets/Track.h"

#include <algorithm>
#include <cmath>

namespace {

const double PI = 3.14159265358979323846;

double Shape(Wave wave, double phase)
{
    switch (wave) {
    case Wave::Triangle: {
        const double t = phase / (2 * PI) - std::floor(phase / (2 * PI));
        return 4.0 * std::fabs(t - 0.5) - 1.0;
    }
    case Wave::Bell:  // a soft partial above the fundamental, as a struck bar has
        return 0.8 * std::sin(phase) + 0.2 * std::sin(2.76 * phase);
    default:
        return std::sin(phase);
    }
}

// Attack, optional decay while held, then a linear release.
double Envelope(double t, double attack, double length, double release, double decay)
{
    double level = t < attack ? t / attack : 1.0;
    level *= std::exp(-decay * std::min(t, length));
    if (t > length) level *= std::max(0.0, 1.0 - (t - length) / release);
    return level;
}

} // namespace

Track::Track(double seconds, bool loop)
    : samples(static_cast<size_t>(seconds * SOUND_RATE), 0.0), looping(loop)
{
}

void Track::Put(long index, double value)
{
    const long size = static_cast<long>(samples.size());
    if (looping) index = ((index % size) + size) % size;
    if (index >= 0 && index < size) samples[static_cast<size_t>(index)] += value;
}

void Track::Add(const Note& note)
{
    const long first = static_cast<long>(note.start * SOUND_RATE);
    const long count = static_cast<long>((note.length + note.release) * SOUND_RATE);
    double phase = 0.0;
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / SOUND_RATE;
        // The pitch glides exponentially, as the ear hears an even slide.
        const double along = std::min(1.0, t / note.length);
        const double hz = note.fromHz * std::pow(note.toHz / note.fromHz, along);
        phase += 2 * PI * hz / SOUND_RATE;
        Put(first + i, note.amplitude * Envelope(t, note.attack, note.length, note.release, note.decay) *
                           Shape(note.wave, phase));
    }
}

void Track::AddNoise(double start, double length, double amplitude, double cutoff, double decay, int hold)
{
    const long first = static_cast<long>(start * SOUND_RATE);
    const long count = static_cast<long>(length * SOUND_RATE);
    const double smoothing = 1.0 - std::exp(-2 * PI * cutoff / SOUND_RATE);
    double value = 0.0, filtered = 0.0;
    for (long i = 0; i < count; ++i) {
        if (i % std::max(1, hold) == 0) {
            noiseState = noiseState * 1664525u + 1013904223u;
            value = static_cast<double>(noiseState >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
        }
        filtered += smoothing * (value - filtered);
        const double t = static_cast<double>(i) / SOUND_RATE;
        Put(first + i, amplitude * Envelope(t, 0.002, length, 0.001, decay) * filtered);
    }
}

void Track::Normalise(double peak)
{
    double largest = 0.0;
    for (double s : samples) largest = std::max(largest, std::fabs(s));
    if (largest > 0.0)
        for (double& s : samples) s *= peak / largest;
}

std::vector<short> Track::ToPcm() const
{
    std::vector<short> out(samples.size());
    const size_t fade = looping ? 0 : SOUND_RATE / 500;  // 2 ms
    for (size_t i = 0; i < samples.size(); ++i) {
        double s = samples[i];
        if (i < fade) s *= static_cast<double>(i) / fade;
        if (samples.size() - i <= fade) s *= static_cast<double>(samples.size() - i - 1) / fade;
        out[i] = static_cast<short>(std::lround(std::clamp(s, -1.0, 1.0) * 32767.0));
    }
    return out;
}
