// Scale3x on a source pixel E and its neighbours
//     A B C
//     D E F
//     G H I
// Where B differs from H and D from F, the block's corners follow Scale2x (the corner takes
// the colour of the two edge neighbours beside it when they are equal), an edge cell takes
// its neighbour's colour when a corner beside it would and the block's pixel diagonally
// across that corner is not E; the centre is E. Elsewhere the block is E.
#include "pixels/scale3x.h"

#if defined(__SSE2__) && !defined(LMP_PORTABLE_PIXELS)
#define LMP_PIXELS_SSE2 1
#include <emmintrin.h>
#endif

namespace {

struct Around {
    std::uint32_t a, b, c, d, e, f, g, h, i;
};

inline void Block(const Around& n, std::uint32_t* top, std::uint32_t* middle,
                  std::uint32_t* bottom) {
    const std::uint32_t e = n.e;
    if (SameColour(n.b, n.h) || SameColour(n.d, n.f)) {
        top[0] = top[1] = top[2] = middle[0] = middle[1] = middle[2] = e;
        bottom[0] = bottom[1] = bottom[2] = e;
        return;
    }
    const bool db = SameColour(n.d, n.b), bf = SameColour(n.b, n.f);
    const bool dh = SameColour(n.d, n.h), hf = SameColour(n.h, n.f);
    top[0] = db ? n.d : e;
    top[1] = (db && !SameColour(e, n.c)) || (bf && !SameColour(e, n.a)) ? n.b : e;
    top[2] = bf ? n.f : e;
    middle[0] = (db && !SameColour(e, n.g)) || (dh && !SameColour(e, n.a)) ? n.d : e;
    middle[1] = e;
    middle[2] = (bf && !SameColour(e, n.i)) || (hf && !SameColour(e, n.c)) ? n.f : e;
    bottom[0] = dh ? n.d : e;
    bottom[1] = (dh && !SameColour(e, n.i)) || (hf && !SameColour(e, n.g)) ? n.h : e;
    bottom[2] = hf ? n.f : e;
}

#ifdef LMP_PIXELS_SSE2
inline __m128i Load(const std::uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline __m128i Select(__m128i x, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(x, a), _mm_andnot_si128(x, b));
}
inline __m128i Same(__m128i a, __m128i b) {
    return _mm_cmpeq_epi32(a, b);
}

// Three vectors of four pixels, p q r, stored as p0 q0 r0 p1 q1 r1 ... r3.
inline void StoreInterleaved(__m128i p, __m128i q, __m128i r, std::uint32_t* out) {
    const __m128 pq = _mm_castsi128_ps(_mm_unpacklo_epi32(p, q));
    const __m128 rp = _mm_castsi128_ps(_mm_unpacklo_epi32(r, p));
    const __m128 qr = _mm_castsi128_ps(_mm_unpacklo_epi32(q, r));
    const __m128 pqHigh = _mm_castsi128_ps(_mm_unpackhi_epi32(p, q));
    const __m128 rpHigh = _mm_castsi128_ps(_mm_unpackhi_epi32(r, p));
    const __m128 qrHigh = _mm_castsi128_ps(_mm_unpackhi_epi32(q, r));
    float* to = reinterpret_cast<float*>(out);
    _mm_storeu_ps(to, _mm_shuffle_ps(pq, rp, _MM_SHUFFLE(3, 0, 1, 0)));
    _mm_storeu_ps(to + 4, _mm_shuffle_ps(qr, pqHigh, _MM_SHUFFLE(1, 0, 3, 2)));
    _mm_storeu_ps(to + 8, _mm_shuffle_ps(rpHigh, qrHigh, _MM_SHUFFLE(3, 2, 3, 0)));
}

// The blocks of the four pixels from row[0] on; the pixels before and after them lie in the
// rows.
void FourBlocks(const std::uint32_t* up, const std::uint32_t* row, const std::uint32_t* down,
                std::uint32_t* top, std::uint32_t* middle, std::uint32_t* bottom) {
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    const __m128i b = Load(up), d = Load(row - 1), e = Load(row), f = Load(row + 1), h = Load(down);
    const __m128i mb = _mm_and_si128(b, rgb), md = _mm_and_si128(d, rgb);
    const __m128i mf = _mm_and_si128(f, rgb), mh = _mm_and_si128(h, rgb);
    const __m128i rule =
        _mm_andnot_si128(_mm_or_si128(Same(mb, mh), Same(md, mf)), _mm_set1_epi32(-1));
    if (_mm_movemask_epi8(rule) == 0) { // no rule applies: four blocks of E
        StoreInterleaved(e, e, e, top);
        StoreInterleaved(e, e, e, middle);
        StoreInterleaved(e, e, e, bottom);
        return;
    }
    const __m128i db = _mm_and_si128(rule, Same(md, mb)), bf = _mm_and_si128(rule, Same(mb, mf));
    const __m128i dh = _mm_and_si128(rule, Same(md, mh)), hf = _mm_and_si128(rule, Same(mh, mf));
    const __m128i me = _mm_and_si128(e, rgb);
    const __m128i ma = _mm_and_si128(Load(up - 1), rgb), mc = _mm_and_si128(Load(up + 1), rgb);
    const __m128i mg = _mm_and_si128(Load(down - 1), rgb), mi = _mm_and_si128(Load(down + 1), rgb);
    const __m128i ea = Same(me, ma), ec = Same(me, mc), eg = Same(me, mg), ei = Same(me, mi);
    const auto either = [](__m128i x, __m128i notX, __m128i y, __m128i notY) {
        return _mm_or_si128(_mm_andnot_si128(notX, x), _mm_andnot_si128(notY, y));
    };
    StoreInterleaved(Select(db, d, e), Select(either(db, ec, bf, ea), b, e), Select(bf, f, e), top);
    StoreInterleaved(Select(either(db, eg, dh, ea), d, e), e, Select(either(bf, ei, hf, ec), f, e),
                     middle);
    StoreInterleaved(Select(dh, d, e), Select(either(dh, ei, hf, eg), h, e), Select(hf, f, e),
                     bottom);
}
#endif

} // namespace

void Scale3x(ConstPixelView source, PixelView destination) {
    if (source.Empty() || destination.Empty()) return;
    const int lastX = source.width - 1, lastY = source.height - 1;
    for (int y = 0; y <= lastY; ++y) {
        const std::uint32_t* up = source.Row(y > 0 ? y - 1 : 0);
        const std::uint32_t* row = source.Row(y);
        const std::uint32_t* down = source.Row(y < lastY ? y + 1 : lastY);
        std::uint32_t* top = destination.Row(3 * y);
        std::uint32_t* middle = destination.Row(3 * y + 1);
        std::uint32_t* bottom = destination.Row(3 * y + 2);
        const auto single = [&](int column) {
            const int l = column > 0 ? column - 1 : 0, r = column < lastX ? column + 1 : lastX;
            const Around n{up[l],  up[column], up[r],        row[l], row[column],
                           row[r], down[l],    down[column], down[r]};
            Block(n, top + 3 * column, middle + 3 * column, bottom + 3 * column);
        };
        single(0);
        int x = 1;
#ifdef LMP_PIXELS_SSE2
        for (; x + 4 <= lastX; x += 4)
            FourBlocks(up + x, row + x, down + x, top + 3 * x, middle + 3 * x, bottom + 3 * x);
#endif
        for (; x <= lastX; ++x) single(x);
    }
}
