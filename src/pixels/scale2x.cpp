// The Scale2x filter on 32-bit pixels.
//
// Neighbours are addressed in the source as one run of pixels: D and F are the pixels
// before and after E in the run, B and H the pixels one row before and after. Where the
// run has no such pixel a pixel of the image stands in:
// - the top row stands in for its own row above (B = E), and pixel (0, 0), which has no
//   pixel before it, is copied four times;
// - the bottom row stands in for its own row below (H = E), and the last pixel of the
//   image, which has no pixel after it, stands in for its own right neighbour (F = E).
// So the filter reads nothing outside the width x height source pixels.
#include "pixels/scale2x.h"

#include <cstddef>
// SSE2 where the compiler targets it; LMP_PORTABLE_PIXELS selects the plain C++ code,
// which gives the same bits.
#if defined(__SSE2__) && !defined(LMP_PORTABLE_PIXELS)
#define LMP_PIXELS_SSE2 1
#include <emmintrin.h>
#endif

namespace {

inline void ScalePixel(std::uint32_t b, std::uint32_t d, std::uint32_t e, std::uint32_t f,
                       std::uint32_t h, std::uint32_t* top, std::uint32_t* bottom) {
    if (b != h && d != f) {
        top[0] = d == b ? d : e;
        top[1] = b == f ? f : e;
        bottom[0] = d == h ? d : e;
        bottom[1] = h == f ? f : e;
    } else {
        top[0] = top[1] = bottom[0] = bottom[1] = e;
    }
}

#ifdef LMP_PIXELS_SSE2
// x ? a : b per 32-bit lane, where every lane of x is all ones or all zeros.
inline __m128i Select(__m128i x, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(x, a), _mm_andnot_si128(x, b));
}

// The blocks of four pixels starting at e, whose neighbours b, d, f, h are four pixels each.
inline void ScaleFour(const std::uint32_t* b, const std::uint32_t* e, const std::uint32_t* h,
                      std::uint32_t* top, std::uint32_t* bottom) {
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
    const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(e - 1));
    const __m128i ve = _mm_loadu_si128(reinterpret_cast<const __m128i*>(e));
    const __m128i vf = _mm_loadu_si128(reinterpret_cast<const __m128i*>(e + 1));
    const __m128i vh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h));
    // The rule applies where B != H and D != F; elsewhere all four are E.
    const __m128i rule = _mm_andnot_si128(
        _mm_or_si128(_mm_cmpeq_epi32(vb, vh), _mm_cmpeq_epi32(vd, vf)), _mm_set1_epi32(-1));
    const __m128i e0 = Select(_mm_and_si128(rule, _mm_cmpeq_epi32(vd, vb)), vd, ve);
    const __m128i e1 = Select(_mm_and_si128(rule, _mm_cmpeq_epi32(vb, vf)), vf, ve);
    const __m128i e2 = Select(_mm_and_si128(rule, _mm_cmpeq_epi32(vd, vh)), vd, ve);
    const __m128i e3 = Select(_mm_and_si128(rule, _mm_cmpeq_epi32(vh, vf)), vf, ve);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(top), _mm_unpacklo_epi32(e0, e1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(top + 4), _mm_unpackhi_epi32(e0, e1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom), _mm_unpacklo_epi32(e2, e3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom + 4), _mm_unpackhi_epi32(e2, e3));
}
#endif

// Blocks of columns first..end-1 of one row; for each of them the pixels before and after
// it in the run must lie in the image. above and below are the rows standing for B and H.
void ScaleRow(const std::uint32_t* above, const std::uint32_t* row, const std::uint32_t* below,
              int first, int end, std::uint32_t* top, std::uint32_t* bottom) {
    int x = first;
#ifdef LMP_PIXELS_SSE2
    for (; x + 4 <= end; x += 4)
        ScaleFour(above + x, row + x, below + x, top + 2 * x, bottom + 2 * x);
#endif
    for (; x < end; ++x)
        ScalePixel(above[x], row[x - 1], row[x], row[x + 1], below[x], top + 2 * x, bottom + 2 * x);
}

} // namespace

void Scale2x(const std::uint32_t* source, std::uint32_t* destination, int width, int height,
             int destinationPitch) {
    if (width <= 0 || height <= 0) return;
    auto* out = reinterpret_cast<unsigned char*>(destination);
    const int last = height - 1;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = source + std::ptrdiff_t(y) * width;
        const std::uint32_t* above = y > 0 ? row - width : row;
        const std::uint32_t* below = y < last ? row + width : row;
        auto* top =
            reinterpret_cast<std::uint32_t*>(out + std::ptrdiff_t(2 * y) * destinationPitch);
        auto* bottom = reinterpret_cast<std::uint32_t*>(reinterpret_cast<unsigned char*>(top) +
                                                        destinationPitch);
        int first = 0, end = width;
        if (y == 0) {
            top[0] = top[1] = bottom[0] = bottom[1] = row[0];
            first = 1;
        }
        if (y == last) end = width - 1;
        ScaleRow(above, row, below, first, end, top, bottom);
        // The image's last pixel is its own right neighbour.
        if (y == last && end >= first) {
            const int x = width - 1;
            ScalePixel(above[x], row[x - 1], row[x], row[x], below[x], top + 2 * x, bottom + 2 * x);
        }
    }
}

void Scale2xFrame(const void* source, void* destination) {
    Scale2x(static_cast<const std::uint32_t*>(source), static_cast<std::uint32_t*>(destination),
            320, 240, 2560);
}
