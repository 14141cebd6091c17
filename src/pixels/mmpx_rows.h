// The MMPX filter one source row at a time, in the variants the processor can run; the public
// entries (mmpx.h) pick one of them.
#pragma once

#include "pixels/simd_level.h"

#include <cstdint>

// The rows from three above a source row to three below it, each `width` pixels; where the
// picture ends, its edge row stands in.
struct MmpxSourceRows {
    const std::uint32_t* row[7]; // row[3] is the source row
};

// Filters one source row into the destination rows top and bottom (2 * width pixels each).
using MmpxRowFilter = void (*)(const MmpxSourceRows& rows, int width, std::uint32_t* top,
                               std::uint32_t* bottom);

struct MmpxRowRoutines {
    MmpxRowFilter filterRow;
};

// One pixel at a time, columns from..to-1 of a row, columns beyond the picture clamped: the
// plain routine, and the edge columns and remainders of the vector ones.
void MmpxFilterPixels(const MmpxSourceRows& rows, int width, int from, int to, std::uint32_t* top,
                      std::uint32_t* bottom);

// The vector routines; null where the build leaves them out (the portable build).
MmpxRowRoutines MmpxRowsSse2();
MmpxRowRoutines MmpxRowsSse41();
MmpxRowRoutines MmpxRowsAvx2();

// The routines at each instruction-set level, and the level in use (simd_level.h).
bool MmpxRoutinesAt(SimdLevel level, MmpxRowRoutines* routines);
using MmpxLevels = SimdChoice<MmpxRowRoutines, MmpxRoutinesAt>;
