// Alpha blending of 32-bit pixel rows: SSE2 where the compiler offers it, else per pixel.
#include "pixels/alpha_blend.h"

// LMP_PORTABLE_PIXELS builds the plain variant, which the tests check gives the same bits.
#if !defined(LMP_PORTABLE_PIXELS) &&                                                               \
    (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#define LMP_BLEND_SSE2 1
#include <emmintrin.h>
#endif

std::uint32_t BlendPixel(std::uint32_t source, std::uint32_t target) {
    const std::uint32_t a = source >> 24;
    std::uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int s = int((source >> shift) & 0xFF);
        const int d = int((target >> shift) & 0xFF);
        // An arithmetic shift floors towards minus infinity.
        const int blended = d + (((s - d) * int(a)) >> 8);
        result |= std::uint32_t(blended & 0xFF) << shift;
    }
    return result;
}

#ifdef LMP_BLEND_SSE2
namespace {

// Two pixels widened to 16-bit lanes: blue, green, red, alpha of each.
inline __m128i BlendTwo(__m128i source, __m128i target) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i s = _mm_unpacklo_epi8(source, zero);
    const __m128i d = _mm_unpacklo_epi8(target, zero);
    __m128i a = _mm_shufflelo_epi16(s, _MM_SHUFFLE(3, 3, 3, 3));
    a = _mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
    const __m128i step = _mm_srli_epi16(_mm_mullo_epi16(_mm_sub_epi16(s, d), a), 8);
    return _mm_and_si128(_mm_add_epi16(d, step), _mm_set1_epi16(0xFF));
}

} // namespace

void BlendRow(const std::uint32_t* source, std::uint32_t* target, int count) {
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + i));
        const __m128i low = BlendTwo(s, d);
        const __m128i high = BlendTwo(_mm_srli_si128(s, 8), _mm_srli_si128(d, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i), _mm_packus_epi16(low, high));
    }
    if (i + 2 <= count) {
        const __m128i s = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + i));
        const __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(target + i));
        const __m128i two = BlendTwo(s, d);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(target + i), _mm_packus_epi16(two, two));
        i += 2;
    }
    if (i < count) target[i] = BlendPixel(source[i], target[i]);
}
#else
void BlendRow(const std::uint32_t* source, std::uint32_t* target, int count) {
    for (int i = 0; i < count; ++i) target[i] = BlendPixel(source[i], target[i]);
}
#endif
