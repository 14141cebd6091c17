// The hq2x filter one source row at a time, in the variants the processor can run; the
// public entries (hq2x.h, hq2x_frame.h) pick one of them.
#pragma once

#include "pixels/simd_level.h"

#include <array>
#include <cstdint>

// The rows above, at and below a source row (the row itself where one is missing), each
// `width` RGB565 pixels.
struct Hq2xSourceRows {
    const std::uint16_t* above;
    const std::uint16_t* row;
    const std::uint16_t* below;
};

// Filters the blocks of one source row into the two destination rows top and bottom
// (2 * width pixels each). yuv: the filled YUV table.
using Hq2xRowFilter = void (*)(const Hq2xSourceRows& rows, int width, const std::uint32_t* yuv,
                               std::uint16_t* top, std::uint16_t* bottom);
// Widens count RGB565 pixels to 0xAARRGGBB, as ConvertRowFrom565 does.
using Hq2xRowWidener = void (*)(const std::uint16_t* source, std::uint32_t* destination, int count);

struct Hq2xRowRoutines {
    Hq2xRowFilter filterRow;
    Hq2xRowWidener widenRow;
};

// One block at a time, columns from..to-1 of a row (columns 0 and width - 1 included):
// the edge columns and the remainders of the many-block routines.
void Hq2xFilterBlocks(const Hq2xSourceRows& rows, int width, int from, int to,
                      const std::uint32_t* yuv, std::uint16_t* top, std::uint16_t* bottom);

// The routines of hq2x_scale.cpp: eight blocks at a time with SSE2, or plain C++ in the
// portable build.
Hq2xRowRoutines Hq2xRowsBasic();
// The routines that compute the rule table's forms for many blocks at once; filterRow is
// null where the build leaves them out (the portable build).
Hq2xRowRoutines Hq2xRowsSsse3();
Hq2xRowRoutines Hq2xRowsSse41();
Hq2xRowRoutines Hq2xRowsAvx2();

// For each block, the forms of its four sub-pixels as 4-bit codes (E00 in bits 0-3, E01
// 4-7, E10 8-11, E11 12-15), indexed by pattern | pairs << 8 for blocks with an edge
// neighbour that differs (pairs: bit p - 1 set when side pair p differs), and by
// Hq2xUniformCodes + unequal for the others (unequal: bit 0 w2, 1 w4, 2 w6, 3 w8 not equal
// to the centre). Codes: 0 copy, then 10, 11, 12, 20, 21, 22, 60, 61, 70, 90, 100 as 1-11.
constexpr int Hq2xUniformCodes = 4096;
using Hq2xCodeTable = std::array<std::uint16_t, Hq2xUniformCodes + 16>;
extern const Hq2xCodeTable Hq2xLaneCodes;

// The routines at each instruction-set level, and the level in use (simd_level.h).
bool Hq2xRoutinesAt(SimdLevel level, Hq2xRowRoutines* routines);
using Hq2xLevels = SimdChoice<Hq2xRowRoutines, Hq2xRoutinesAt>;
