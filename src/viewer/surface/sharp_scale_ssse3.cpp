// Sharp scaling's row routines for processors with SSSE3 (this file's target flags are set in
// src/CMakeLists.txt): each group's four frame pixels gathered by one shuffle.
#include "viewer/surface/sharp_scale_rows.h"

#if (defined(__i386__) || defined(__x86_64__)) && !defined(LMP_PORTABLE_PIXELS)
#include "viewer/surface/sharp_lanes.inc"

#include <tmmintrin.h>

namespace {

void AcrossRow(const SharpColumns& c, const std::uint32_t* source, std::uint32_t* out) {
    const int groups = c.width / 4;
    for (int g = 0; g < groups; ++g) {
        const std::uint8_t kind = c.kind[g];
        if (kind == SharpGroupSingly) {
            SharpAcrossColumns(c, source, out, 4 * g, 4 * g + 4);
            continue;
        }
        const __m128i shuffle =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(&c.shuffle[std::size_t(g) * 16]));
        const std::uint32_t* from = source + c.base[g];
        const __m128i a = _mm_shuffle_epi8(Load4(from), shuffle);
        if (kind == SharpGroupNearest) {
            Store4(out + 4 * g, a);
            continue;
        }
        const __m128i b = _mm_shuffle_epi8(Load4(from + 1), shuffle);
        Store4(out + 4 * g, Blend4(a, b, TakeLanes(c, g, 0), TakeLanes(c, g, 1)));
    }
    SharpAcrossColumns(c, source, out, 4 * groups, c.width);
}

} // namespace

SharpRowRoutines SharpRowsSsse3() {
    return {AcrossRow, SharpRowsSse2().down};
}
#else
SharpRowRoutines SharpRowsSsse3() {
    return {nullptr, nullptr};
}
#endif
