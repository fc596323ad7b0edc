// Velmora platform layer: the game's random numbers, the same sequence on every
// system. The C library's rand differs between them (Windows's gives other
// numbers for the same seed), and a recording replays its seed: with these, a run
// recorded on one system shakes the evil block's victim the same way on the other.
#ifndef VELMORA_PLATFORM_RANDOM_H
#define VELMORA_PLATFORM_RANDOM_H

// Starts the sequence anew from `seed`, as srand does.
void PlatformSeedRandom(unsigned int seed);

// The next number of the sequence, in [0, 2147483647]: the numbers GNU libc's rand
// gives after srand with the same seed. For the main thread only.
int PlatformRandom();

#endif
