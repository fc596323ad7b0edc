#include "platform/Random.h"

#include <cstdint>

namespace {

// GNU libc's additive feedback generator (its default state of 31 words):
// r[i] = r[i - 3] + r[i - 31], the last 34 words kept in a ring.
struct Generator {
    std::uint32_t ring[34] = {};
    int next = 0;  // where r[i] goes
    bool seeded = false;
};

Generator generator;

std::uint32_t Step(Generator& g) {
    const std::uint32_t value = g.ring[(g.next + 31) % 34] + g.ring[(g.next + 3) % 34];
    g.ring[g.next] = value;
    g.next = (g.next + 1) % 34;
    return value;
}

}  // namespace

void PlatformSeedRandom(unsigned int seed) {
    Generator& g = generator;
    std::int64_t word = static_cast<std::int32_t>(seed == 0 ? 1u : seed);
    g.ring[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < 31; ++i) {
        // 16807 * word % 2147483647 by Schrage's method, as libc does.
        const std::int64_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        g.ring[i] = static_cast<std::uint32_t>(word);
    }
    for (int i = 31; i < 34; ++i) g.ring[i] = g.ring[i - 31];
    g.next = 0;
    for (int i = 34; i < 344; ++i) Step(g);  // the first 310 numbers are passed over
    g.seeded = true;
}

int PlatformRandom() {
    if (!generator.seeded) PlatformSeedRandom(1);
    return static_cast<int>(Step(generator) >> 1);
}
