// The pictures and routines that the pixel benchmarks time, shared by the native benchmark
// (Google Benchmark) and the timing program that the Windows builds run under Wine.
#pragma once

#include "viewer/pipeline/filters/hq2x.h"

#include <cstdint>
#include <vector>

constexpr int kBenchWidth = 320, kBenchHeight = 240;

// One input picture and the buffers of every stage, made once: nothing is allocated while
// a routine is timed.
struct PixelStage {
    std::vector<std::uint32_t> smallArgb;
    std::vector<std::uint16_t> small565 = std::vector<std::uint16_t>(kBenchWidth * kBenchHeight);
    std::vector<std::uint16_t> large565 =
        std::vector<std::uint16_t>(4 * kBenchWidth * kBenchHeight);
    std::vector<std::uint32_t> largeArgb =
        std::vector<std::uint32_t>(4 * kBenchWidth * kBenchHeight);
};

struct BenchPicture {
    const char* name;
    PixelStage stage;
};

// The game-like picture, the dithered game-like picture and noise, their intermediate
// images filled as the path fills them. The filter tables must exist.
std::vector<BenchPicture> MakeBenchPictures();

// A routine of the filter modes and its straightforward reference.
struct PixelRoutine {
    const char* name;
    void (*fast)(PixelStage&);
    void (*reference)(PixelStage&);
    bool perLevel;                    // fast runs at every available hq2x level, beside SSE2
    double limitGameUs, limitNoiseUs; // 0: no time limit
    double minimumGameSpeedUp;        // over the reference; 0: none
};

extern const PixelRoutine kPixelRoutines[];
extern const int kPixelRoutineCount;

// The hq2x levels this build and processor offer, worst first.
std::vector<Hq2xLevel> AvailableHq2xLevels();
