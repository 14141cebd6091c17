// The hq2x rule table as data: for each of the 256 difference patterns, the form of each
// of the four sub-pixels of a block.
//
// Pattern bits: 1 w1, 2 w2, 4 w3, 8 w4, 16 w6, 32 w7, 64 w8, 128 w9 (set when that
// neighbour differs from the centre w5 by the YUV test). Forms: 0 copy, 10 3:1 with K,
// 11 3:1 with S1, 12 3:1 with S2, 20 2:1:1 with S1 and S2, 21 2:1:1 with K and S2,
// 22 2:1:1 with K and S1, 60 5:2:1 with S2 twice and S1, 61 5:2:1 with S1 twice and S2,
// 70 6:1:1, 90 2:3:3, 100 14:1:1 (each with S1 and S2), where S1, S2 and K are the
// sub-pixel's first side, second side and corner (E00: w4 w2 w1, E01: w2 w6 w3,
// E10: w8 w4 w7, E11: w6 w8 w9).
#pragma once

#include <cstdint>

// The pair of sides whose YUV test chooses between a cell's two forms.
enum Hq2xPair : std::uint8_t {
    NoPair = 0,   // unconditional: formIfDiffers equals form
    PairW4W2 = 1, // the sides of E00
    PairW2W6 = 2, // the sides of E01
    PairW6W8 = 3, // the sides of E11
    PairW8W4 = 4, // the sides of E10
};

struct Hq2xCell {
    std::uint8_t pair;          // Hq2xPair
    std::uint8_t formIfDiffers; // the form when the pair differs by the YUV test
    std::uint8_t form;          // the form otherwise
};

struct Hq2xRule {
    Hq2xCell cells[4]; // E00, E01, E10, E11
};

inline constexpr Hq2xRule Hq2xRules[256] = {
#include "pixels/hq2x_rules.inc"
};
