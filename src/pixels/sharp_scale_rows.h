// The row routines of sharp scaling, in the variants the processor can run; sharp_scale.cpp
// picks one.
#pragma once

#include "pixels/simd_level.h"

#include "pixels/sharp_scale.h"

#include <cstdint>

// Scales one frame row (columns.sourceWidth pixels) across into out (columns.width pixels).
using SharpAcrossRow = void (*)(const SharpColumns& columns, const std::uint32_t* source,
                                std::uint32_t* out);
// out = upper weighted (256 - take) / 256 plus lower weighted take / 256, per channel,
// rounded; width pixels, take 1..256.
using SharpDownRow = void (*)(const std::uint32_t* upper, const std::uint32_t* lower, int take,
                              std::uint32_t* out, int width);

struct SharpRowRoutines {
    SharpAcrossRow across;
    SharpDownRow down;
};

// One pixel's blend, the formula every variant computes per channel.
inline std::uint32_t SharpBlend(std::uint32_t a, std::uint32_t b, std::uint32_t take) {
    const std::uint32_t keep = 256 - take;
    const std::uint32_t redBlue =
        ((a & 0xFF00FF) * keep + (b & 0xFF00FF) * take + 0x800080) >> 8 & 0xFF00FF;
    const std::uint32_t alphaGreen =
        (((a >> 8) & 0xFF00FF) * keep + ((b >> 8) & 0xFF00FF) * take + 0x800080) & 0xFF00FF00;
    return redBlue | alphaGreen;
}

// Columns from..to-1 one at a time, the way every variant does its remainders.
void SharpAcrossColumns(const SharpColumns& columns, const std::uint32_t* source,
                        std::uint32_t* out, int from, int to);

// The variants; null where the build leaves one out (the portable build).
SharpRowRoutines SharpRowsPlain();
SharpRowRoutines SharpRowsSse2();
SharpRowRoutines SharpRowsSsse3();
SharpRowRoutines SharpRowsAvx2();

// The routines at each instruction-set level, and the level in use (simd_level.h).
bool SharpRoutinesAt(SimdLevel level, SharpRowRoutines* routines);
using SharpLevels = SimdChoice<SharpRowRoutines, SharpRoutinesAt>;
