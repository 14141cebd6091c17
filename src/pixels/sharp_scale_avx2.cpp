// Sharp scaling's row routines for processors with AVX2 (this file's target flags are set in
// src/CMakeLists.txt): the shuffled gather of the SSSE3 level, blends of 16 channels at once
// and rows blended eight pixels at a time.
#include "pixels/sharp_scale_rows.h"

#if (defined(__i386__) || defined(__x86_64__)) && !defined(LMP_PORTABLE_PIXELS)
#include <immintrin.h>

#include <cstddef>

namespace {

// Per channel (a * (256 - take) + b * take + 128) >> 8 of 16-bit channels.
__m256i Blend(__m256i a, __m256i b, __m256i take) {
    const __m256i keep = _mm256_sub_epi16(_mm256_set1_epi16(256), take);
    const __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(a, keep), _mm256_mullo_epi16(b, take));
    return _mm256_srli_epi16(_mm256_add_epi16(sum, _mm256_set1_epi16(128)), 8);
}

__m128i Load4(const std::uint32_t* pixels) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
}

__m128i BlendGroup(const SharpColumns& c, int g, __m128i a, __m128i b) {
    const __m256i take =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&c.takeLanes[std::size_t(g) * 16]));
    const __m256i blended = Blend(_mm256_cvtepu8_epi16(a), _mm256_cvtepu8_epi16(b), take);
    return _mm_packus_epi16(_mm256_castsi256_si128(blended), _mm256_extracti128_si256(blended, 1));
}

#include "pixels/sharp_shuffle.inc"

__m128i Blended(const SharpColumns& c, const std::uint32_t* source, int g) {
    const __m128i shuffle = Shuffle(c, g);
    const std::uint32_t* from = source + c.base[g];
    return BlendGroup(c, g, _mm_shuffle_epi8(Load4(from), shuffle),
                      _mm_shuffle_epi8(Load4(from + 1), shuffle));
}

void Store4(std::uint32_t* pixels, __m128i value) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), value);
}

#include "pixels/sharp_across.inc"

void DownRow(const std::uint32_t* upper, const std::uint32_t* lower, int take, std::uint32_t* out,
             int width) {
    const __m256i lanes = _mm256_set1_epi16(short(take)), zero = _mm256_setzero_si256();
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i u = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(upper + x));
        const __m256i l = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lower + x));
        const __m256i low =
            Blend(_mm256_unpacklo_epi8(u, zero), _mm256_unpacklo_epi8(l, zero), lanes);
        const __m256i high =
            Blend(_mm256_unpackhi_epi8(u, zero), _mm256_unpackhi_epi8(l, zero), lanes);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_packus_epi16(low, high));
    }
    for (; x < width; ++x) out[x] = SharpBlend(upper[x], lower[x], std::uint32_t(take));
}

} // namespace

SharpRowRoutines SharpRowsAvx2() {
    return {AcrossRow, DownRow};
}
#else
SharpRowRoutines SharpRowsAvx2() {
    return {nullptr, nullptr};
}
#endif
