// Sharp scaling's row routines with SSE2: four pixels at a time, the frame pixels of the
// columns gathered one by one.
#include "pixels/sharp_scale_rows.h"

#if defined(__SSE2__) && !defined(LMP_PORTABLE_PIXELS)
#include "pixels/sharp_lanes.inc"

namespace {

__m128i Gather(const std::uint32_t* source, const SharpTap* taps, int step) {
    return _mm_set_epi32(int(source[taps[3].first + step]), int(source[taps[2].first + step]),
                         int(source[taps[1].first + step]), int(source[taps[0].first + step]));
}

__m128i Nearest(const SharpColumns& c, const std::uint32_t* source, int g) {
    return Gather(source, &c.taps[std::size_t(g) * 4], 0);
}

__m128i Blended(const SharpColumns& c, const std::uint32_t* source, int g) {
    const SharpTap* taps = &c.taps[std::size_t(g) * 4];
    return Blend4(Gather(source, taps, 0), Gather(source, taps, 1), TakeLanes(c, g, 0),
                  TakeLanes(c, g, 1));
}

#include "pixels/sharp_across.inc"

void DownRow(const std::uint32_t* upper, const std::uint32_t* lower, int take, std::uint32_t* out,
             int width) {
    const __m128i lanes = _mm_set1_epi16(short(take));
    int x = 0;
    for (; x + 4 <= width; x += 4)
        Store4(out + x, Blend4(Load4(upper + x), Load4(lower + x), lanes, lanes));
    for (; x < width; ++x) out[x] = SharpBlend(upper[x], lower[x], std::uint32_t(take));
}

} // namespace

SharpRowRoutines SharpRowsSse2() {
    return {AcrossRow, DownRow};
}
#else
SharpRowRoutines SharpRowsSse2() {
    return {nullptr, nullptr};
}
#endif
