// The forms of every block's sub-pixels as small codes, made from the rule table when the
// program is compiled.
#include "pixels/hq2x_rows.h"
#include "pixels/hq2x_rules.h"

#include <array>

namespace {

constexpr std::uint16_t CodeOf(int form) {
    constexpr int forms[12] = {0, 10, 11, 12, 20, 21, 22, 60, 61, 70, 90, 100};
    for (int i = 0; i < 12; ++i)
        if (forms[i] == form) return std::uint16_t(i);
    return 0xFFFF; // not a form: fails the table below
}

constexpr std::uint16_t RuleCodes(int pattern, int pairs) {
    std::uint16_t codes = 0;
    for (int cell = 0; cell < 4; ++cell) {
        const Hq2xCell& c = Hq2xRules[pattern].cells[cell];
        const bool differs = c.pair != NoPair && (pairs >> (c.pair - 1) & 1);
        codes |= std::uint16_t(CodeOf(differs ? c.formIfDiffers : c.form) << (4 * cell));
    }
    return codes;
}

// No edge neighbour differs: all copies when no neighbour is unequal, a 3:1 pull of the two
// sub-pixels on the side of a single unequal one, and the 2:1:1 blend of the sides (form 20)
// everywhere for two or more.
constexpr std::uint16_t UniformCodes(int unequal) {
    switch (unequal) {
    case 0:
        return 0;
    case 1: // w2: E00 towards its second side, E01 towards its first
        return 3 | 2 << 4;
    case 2: // w4: E00 first side, E10 second side
        return 2 | 3 << 8;
    case 4: // w6: E01 second side, E11 first side
        return 3 << 4 | 2 << 12;
    case 8: // w8: E10 first side, E11 second side
        return 2 << 8 | 3 << 12;
    default:
        return 0x4444;
    }
}

constexpr Hq2xCodeTable MakeLaneCodes() {
    Hq2xCodeTable codes{};
    for (int index = 0; index < Hq2xUniformCodes; ++index)
        codes[index] = RuleCodes(index & 255, index >> 8);
    for (int unequal = 0; unequal < 16; ++unequal)
        codes[Hq2xUniformCodes + unequal] = UniformCodes(unequal);
    return codes;
}

constexpr bool AllCodesKnown(const Hq2xCodeTable& table) {
    for (std::uint16_t codes : table)
        for (int cell = 0; cell < 4; ++cell)
            if ((codes >> (4 * cell) & 15) > 11) return false;
    return true;
}
static_assert(AllCodesKnown(MakeLaneCodes()), "a rule names a form without a code");

} // namespace

constinit const Hq2xCodeTable Hq2xLaneCodes = MakeLaneCodes();
