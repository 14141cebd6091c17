// The pictures and routines that the pixel benchmarks time, shared by the native benchmark
// (Google Benchmark) and the timing program that the Windows builds run under Wine.
#pragma once

#include "pixels/hq2x.h"
#include "pixels/hq2x_rows.h"
#include "pixels/scale_rows.h"
#include "pixels/sharp_scale_rows.h"

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
    // Scale3x's and Scale4x's output (up to 16 times the input) and a copy of it.
    std::vector<std::uint32_t> gridArgb =
        std::vector<std::uint32_t>(16 * kBenchWidth * kBenchHeight);
    std::vector<std::uint32_t> gridCopy =
        std::vector<std::uint32_t>(16 * kBenchWidth * kBenchHeight);
};

struct BenchPicture {
    const char* name;
    PixelStage stage;
};

// The game-like picture, the dithered game-like picture and noise, their intermediate
// images filled as the path fills them. The filter tables must exist.
std::vector<BenchPicture> MakeBenchPictures();

// A family of routines chosen by instruction-set level (simd_level.h).
struct LevelFamily {
    bool (*available)(SimdLevel);
    bool (*use)(SimdLevel);
};
extern const LevelFamily kHq2xFamily, kScaleFamily;

// A routine of the filter modes and its straightforward reference.
struct PixelRoutine {
    const char* name;
    void (*fast)(PixelStage&);
    void (*reference)(PixelStage&);
    // fast runs at every level of the family, beside SSE2 (null: once, as "new", with hq2x at
    // its best level); the reference and the copy run at the family's best level
    const LevelFamily* levels;
    double limitGameUs, limitNoiseUs; // 0: no time limit
    double minimumGameSpeedUp;        // over the reference; 0: none
    // Copies the routine's output once, the yardstick of the filters at grids 3 and 4, timed
    // in the same run (null: none); the routine's aim as a multiple of that copy's time.
    void (*copy)(PixelStage&);
    double maximumTimesCopy;
};

extern const PixelRoutine kPixelRoutines[];
extern const int kPixelRoutineCount;

// The levels of a family this build and processor offer, worst first.
std::vector<SimdLevel> AvailableLevels(const LevelFamily& family);
// The family a routine runs at: its own, or hq2x's.
const LevelFamily& FamilyOf(const PixelRoutine& routine);

// Sharp scaling of the game-like 640x480 frame to one picture size, the whole frame per call:
// a stage of its own (the frame, the tables and the picture, made once).
struct SharpRoutine {
    const char* name;
    int width, height;
    double limitBestUs, limitSse2Us; // at the best level and at SSE2; 0: no time limit
};
struct SharpStage {
    std::vector<std::uint32_t> frame;
    SharpScale scale;
    std::vector<std::uint32_t> picture;
};

extern const SharpRoutine kSharpRoutines[];
extern const int kSharpRoutineCount;

SharpStage MakeSharpStage(const SharpRoutine& routine);
// At the level in use, and the double-precision reference.
void ScaleSharp(SharpStage& stage);
void ScaleSharpReference(SharpStage& stage);
// The sharp scaling levels this build and processor offer, worst first.
std::vector<SimdLevel> AvailableSharpLevels();

// MMPX of a 320x240 picture at 2x (640x480) and 4x (1280x960, the filter twice), and a copy
// of each output's bytes, the yardstick the filter is measured against in the same run.
struct MmpxStage {
    const char* name;
    std::vector<std::uint32_t> source, middle, large, copy;
};
std::vector<MmpxStage> MakeMmpxStages();
void RunMmpx2x(MmpxStage& stage);
void RunMmpx4x(MmpxStage& stage);
void CopyMmpx2xOutput(MmpxStage& stage);
void CopyMmpx4xOutput(MmpxStage& stage);
// The MMPX levels this build and processor offer, worst first.
std::vector<SimdLevel> AvailableMmpxLevels();
// The aim for 4x at the best level, in microseconds.
constexpr double kMmpx4xLimitUs = 3000;
