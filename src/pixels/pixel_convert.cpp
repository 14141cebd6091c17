// Row conversions between 32-bit 0xAARRGGBB pixels and RGB565.
#include "pixels/pixel_convert.h"

#include "pixels/pixel_format.h"

#include <cstring>
// SSE2 where the compiler targets it; LMP_PORTABLE_PIXELS selects the plain C++ code,
// which gives the same bits.
#if defined(__SSE2__) && !defined(LMP_PORTABLE_PIXELS)
#define LMP_PIXELS_SSE2 1
#include <emmintrin.h>
#endif

namespace {

// The top five bits of red and blue and the top six of green; alpha is dropped.
inline std::uint32_t NarrowPixel(std::uint32_t p) {
    return (p >> 8 & 0xF800) | (p >> 5 & 0x07E0) | (p >> 3 & 0x001F);
}

inline std::uint32_t WidenPixel(std::uint32_t v) {
    return 0xFF000000u | Widen5(v >> 11) << 16 | Widen6(v >> 5 & 63) << 8 | Widen5(v & 31);
}

#ifdef LMP_PIXELS_SSE2
// Eight pixels in, eight out.
inline void NarrowEight(const std::uint32_t* source, std::uint16_t* destination) {
    const __m128i redMask = _mm_set1_epi32(0xF800), greenMask = _mm_set1_epi32(0x07E0);
    const __m128i blueMask = _mm_set1_epi32(0x001F);
    __m128i halves[2];
    for (int i = 0; i < 2; ++i) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * i));
        __m128i v = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(p, 8), redMask),
                                 _mm_and_si128(_mm_srli_epi32(p, 5), greenMask));
        v = _mm_or_si128(v, _mm_and_si128(_mm_srli_epi32(p, 3), blueMask));
        // Sign-extend the low half so that the signed saturating pack keeps it unchanged.
        halves[i] = _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination),
                     _mm_packs_epi32(halves[0], halves[1]));
}

inline __m128i WidenLanes5(__m128i v) {
    return _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(v, _mm_set1_epi16(527)), _mm_set1_epi16(23)), 6);
}

inline void WidenEight(const std::uint16_t* source, std::uint32_t* destination) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    const __m128i red = WidenLanes5(_mm_srli_epi16(v, 11));
    const __m128i blue = WidenLanes5(_mm_and_si128(v, _mm_set1_epi16(31)));
    const __m128i g = _mm_and_si128(_mm_srli_epi16(v, 5), _mm_set1_epi16(63));
    const __m128i green = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(g, _mm_set1_epi16(259)), _mm_set1_epi16(33)), 6);
    // Little-endian bytes B, G, R, A: blue and green in one 16-bit lane, red and alpha in
    // the other, interleaved into 32-bit pixels.
    const __m128i blueGreen = _mm_or_si128(blue, _mm_slli_epi16(green, 8));
    const __m128i redAlpha = _mm_or_si128(red, _mm_set1_epi16(short(0xFF00)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination),
                     _mm_unpacklo_epi16(blueGreen, redAlpha));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + 4),
                     _mm_unpackhi_epi16(blueGreen, redAlpha));
}
#endif

} // namespace

void ConvertRowTo565(const void* source, void* destination, std::uint32_t count) {
    const auto* in = static_cast<const std::uint32_t*>(source);
    auto* out = static_cast<std::uint16_t*>(destination);
    // Whole pairs only: an odd last pixel is left unwritten.
    const std::uint32_t pixels = count & ~std::uint32_t{1};
    std::uint32_t i = 0;
#ifdef LMP_PIXELS_SSE2
    for (; i + 8 <= pixels; i += 8) NarrowEight(in + i, out + i);
#endif
    for (; i < pixels; i += 2) {
        const std::uint32_t pair = NarrowPixel(in[i]) | NarrowPixel(in[i + 1]) << 16;
        std::memcpy(out + i, &pair, sizeof pair);
    }
}

void ConvertRowFrom565(const void* source, void* destination, std::int32_t count) {
    const auto* in = static_cast<const std::uint16_t*>(source);
    auto* out = static_cast<std::uint32_t*>(destination);
    std::int32_t i = 0;
#ifdef LMP_PIXELS_SSE2
    for (; i + 8 <= count; i += 8) WidenEight(in + i, out + i);
#endif
    for (; i < count; ++i) out[i] = WidenPixel(in[i]);
}
