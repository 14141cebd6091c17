// Scale2x on each source pixel E with its neighbours B (above), D (left), F (right) and
// H (below): where B differs from H and D from F, each corner of E's 2x2 block takes the
// colour of the two neighbours beside it when they are equal, else E; elsewhere the block
// is E. Beyond the picture its edge pixels repeat.
#include "pixels/scale4x.h"

#if defined(__SSE2__) && !defined(LMP_PORTABLE_PIXELS)
#define LMP_PIXELS_SSE2 1
#include <emmintrin.h>
#endif

namespace {

inline void Block(std::uint32_t b, std::uint32_t d, std::uint32_t e, std::uint32_t f,
                  std::uint32_t h, std::uint32_t* top, std::uint32_t* bottom) {
    if (!SameColour(b, h) && !SameColour(d, f)) {
        top[0] = SameColour(d, b) ? d : e;
        top[1] = SameColour(b, f) ? f : e;
        bottom[0] = SameColour(d, h) ? d : e;
        bottom[1] = SameColour(h, f) ? f : e;
    } else {
        top[0] = top[1] = bottom[0] = bottom[1] = e;
    }
}

#ifdef LMP_PIXELS_SSE2
inline __m128i Select(__m128i x, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(x, a), _mm_andnot_si128(x, b));
}

inline __m128i Load(const std::uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The blocks of the four pixels from e on; e[-1] and e[4] lie in the row.
inline void FourBlocks(const std::uint32_t* b, const std::uint32_t* e, const std::uint32_t* h,
                       std::uint32_t* top, std::uint32_t* bottom) {
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    const __m128i vb = Load(b), vd = Load(e - 1), ve = Load(e), vf = Load(e + 1), vh = Load(h);
    const __m128i mb = _mm_and_si128(vb, rgb), md = _mm_and_si128(vd, rgb);
    const __m128i mf = _mm_and_si128(vf, rgb), mh = _mm_and_si128(vh, rgb);
    const __m128i rule = _mm_andnot_si128(
        _mm_or_si128(_mm_cmpeq_epi32(mb, mh), _mm_cmpeq_epi32(md, mf)), _mm_set1_epi32(-1));
    if (_mm_movemask_epi8(rule) == 0) { // no rule applies: four blocks of E
        const __m128i low = _mm_unpacklo_epi32(ve, ve), high = _mm_unpackhi_epi32(ve, ve);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(top), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(top + 4), high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom + 4), high);
        return;
    }
    const __m128i e0 = Select(_mm_and_si128(rule, _mm_cmpeq_epi32(md, mb)), vd, ve);
    const __m128i e1 = Select(_mm_and_si128(rule, _mm_cmpeq_epi32(mb, mf)), vf, ve);
    const __m128i e2 = Select(_mm_and_si128(rule, _mm_cmpeq_epi32(md, mh)), vd, ve);
    const __m128i e3 = Select(_mm_and_si128(rule, _mm_cmpeq_epi32(mh, mf)), vf, ve);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(top), _mm_unpacklo_epi32(e0, e1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(top + 4), _mm_unpackhi_epi32(e0, e1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom), _mm_unpacklo_epi32(e2, e3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom + 4), _mm_unpackhi_epi32(e2, e3));
}
#endif

void Row(const std::uint32_t* above, const std::uint32_t* row, const std::uint32_t* below,
         int width, std::uint32_t* top, std::uint32_t* bottom) {
    const int last = width - 1;
    Block(above[0], row[0], row[0], row[last > 0 ? 1 : 0], below[0], top, bottom);
    int x = 1;
#ifdef LMP_PIXELS_SSE2
    for (; x + 4 <= last; x += 4)
        FourBlocks(above + x, row + x, below + x, top + 2 * x, bottom + 2 * x);
#endif
    for (; x < last; ++x)
        Block(above[x], row[x - 1], row[x], row[x + 1], below[x], top + 2 * x, bottom + 2 * x);
    if (last > 0)
        Block(above[last], row[last - 1], row[last], row[last], below[last], top + 2 * last,
              bottom + 2 * last);
}

} // namespace

void Scale2xRepeatingEdges(ConstPixelView source, PixelView destination) {
    if (source.Empty() || destination.Empty()) return;
    const int last = source.height - 1;
    for (int y = 0; y <= last; ++y) {
        const std::uint32_t* row = source.Row(y);
        Row(source.Row(y > 0 ? y - 1 : 0), row, source.Row(y < last ? y + 1 : last), source.width,
            destination.Row(2 * y), destination.Row(2 * y + 1));
    }
}

void Scale4x(ConstPixelView source, PixelView between, PixelView destination) {
    Scale2xRepeatingEdges(source, between);
    Scale2xRepeatingEdges(AsConst(between), destination);
}
