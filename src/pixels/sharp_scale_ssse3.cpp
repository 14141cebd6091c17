// Sharp scaling's row routines for processors with SSSE3 (this file's target flags are set in
// src/CMakeLists.txt): each group's four frame pixels gathered by one shuffle.
#include "pixels/sharp_scale_rows.h"

#if (defined(__i386__) || defined(__x86_64__)) && !defined(LMP_PORTABLE_PIXELS)
#include "pixels/sharp_lanes.inc"

#include <tmmintrin.h>

namespace {

#include "pixels/sharp_shuffle.inc"

__m128i Blended(const SharpColumns& c, const std::uint32_t* source, int g) {
    const __m128i shuffle = Shuffle(c, g);
    const std::uint32_t* from = source + c.base[g];
    return Blend4(_mm_shuffle_epi8(Load4(from), shuffle),
                  _mm_shuffle_epi8(Load4(from + 1), shuffle), TakeLanes(c, g, 0),
                  TakeLanes(c, g, 1));
}

#include "pixels/sharp_across.inc"

} // namespace

SharpRowRoutines SharpRowsSsse3() {
    return {AcrossRow, SharpRowsSse2().down};
}
#else
SharpRowRoutines SharpRowsSsse3() {
    return {nullptr, nullptr};
}
#endif
