// Scale3x, and Scale2x with repeating edges (each of Scale4x's two steps), one source row at a
// time in the variants the processor can run; scale3x.cpp and scale4x.cpp pick one.
#pragma once

#include "pixels/simd_level.h"

#include <cstdint>

// The rows above, at and below a source row, each `width` pixels; where the picture ends,
// its edge row stands in.
struct ScaleSourceRows {
    const std::uint32_t* above;
    const std::uint32_t* row;
    const std::uint32_t* below;
};

// Scale3x's blocks of one source row into the destination rows top, middle and bottom
// (3 * width pixels each).
using Scale3xRowFilter = void (*)(const ScaleSourceRows& rows, int width, std::uint32_t* top,
                                  std::uint32_t* middle, std::uint32_t* bottom);
// Scale2x's blocks of one source row into the destination rows top and bottom (2 * width
// pixels each).
using Scale2xRowFilter = void (*)(const ScaleSourceRows& rows, int width, std::uint32_t* top,
                                  std::uint32_t* bottom);

struct ScaleRowRoutines {
    Scale3xRowFilter scale3xRow;
    Scale2xRowFilter scale2xRow;
};

// One block at a time, columns from..to-1 of a row, the row's edge pixels repeating beyond
// it: the plain routines, and the ends and remainders of the vector ones.
void Scale3xBlocks(const ScaleSourceRows& rows, int width, int from, int to, std::uint32_t* top,
                   std::uint32_t* middle, std::uint32_t* bottom);
void Scale2xBlocks(const ScaleSourceRows& rows, int width, int from, int to, std::uint32_t* top,
                   std::uint32_t* bottom);

// The variants; null where the build leaves one out (the portable build).
ScaleRowRoutines ScaleRowsPlain();
ScaleRowRoutines ScaleRowsSse2();
ScaleRowRoutines ScaleRowsAvx2();

// The routines at each instruction-set level, and the level in use (simd_level.h).
bool ScaleRoutinesAt(SimdLevel level, ScaleRowRoutines* routines);
using ScaleLevels = SimdChoice<ScaleRowRoutines, ScaleRoutinesAt>;
