#pragma once

// Deterministic noise for textures: the same arguments give the same value
// on every run.

// A pseudo-random value in [0, 1) for an integer lattice point.
double Hash2(int x, int y, int seed);

// Smooth value noise in [0, 1) with lattice cells of `cell` pixels, repeating
// every `period` cells in x and y so that textures tile.
double ValueNoise(double x, double y, double cell, int period, int seed);
