// What every program of the sprite benchmark shares: the window, the fixed step
// of the motion, how one run is asked for and the one figure it prints.
#ifndef VELMORA_TOOLS_BENCHMARK_BENCHMARKRUN_H
#define VELMORA_TOOLS_BENCHMARK_BENCHMARKRUN_H

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

constexpr int BENCHMARK_WIDTH = 800;           // window pixels
constexpr int BENCHMARK_HEIGHT = 600;
constexpr double BENCHMARK_STEP = 1.0 / 60.0;  // seconds of motion per frame, whatever the frame took

// One run: `count` sprites, `warmup` frames not measured, then `frames` measured.
struct BenchmarkRun {
    int count;
    int warmup;
    int frames;
};

// Reads "count warmup frames" from argv[first..]; false when they are missing or out of range.
inline bool BenchmarkParseRun(int argc, char** argv, int first, BenchmarkRun& run) {
    if (argc < first + 3) {
        return false;
    }
    run = {std::atoi(argv[first]), std::atoi(argv[first + 1]), std::atoi(argv[first + 2])};
    return run.count >= 0 && run.count <= 10000000 && run.warmup >= 0 && run.frames > 0 && run.frames <= 100000;
}

// Calls `frame` (move, draw, swap and glFinish) warmup + frames times and prints
// the median milliseconds of the measured frames on standard output.
template <typename Frame>
void BenchmarkMeasure(const BenchmarkRun& run, Frame frame) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> ms;
    for (int f = 0; f < run.warmup + run.frames; ++f) {
        const auto start = Clock::now();
        frame();
        if (f >= run.warmup) {
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    }
    std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
    std::printf("%.3f\n", ms[ms.size() / 2]);
    std::fflush(stdout);
}

#endif
