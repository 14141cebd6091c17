// The hq2x filter on RGB565 pixels, one block or eight blocks at a time: the routines for
// processors without SSSE3 and for the portable build, and the single blocks at the ends of
// every row for the many-block routines too.
//
// Each source pixel w5 becomes a 2x2 block chosen or blended from it and its eight
// neighbours w1..w9 (row by row). Rows and columns beyond the image are replaced by the
// pixel's own row or column, so nothing outside the source is read. A block whose four
// edge neighbours are all similar to the centre by the YUV test is the uniform case, which
// for a flat block (edge neighbours equal to the centre) is four copies of it; every other
// block looks its difference pattern up in Hq2xRules, through a table of code compiled
// per rule.
//
// With SSE2, eight blocks of a row are done at once: all of them as the uniform case, then
// the few whose edge neighbours differ again through the rule table, with their patterns
// and side-pair tests computed for all eight together.
#include "pixels/hq2x_rows.h"
#include "pixels/hq2x_rules.h"
#include "pixels/pixel_convert.h"

#include <array>
#include <cstddef>
#include <utility>
// SSE2 where the compiler targets it; LMP_PORTABLE_PIXELS selects the plain C++ code,
// which gives the same bits.
#if defined(__SSE2__) && !defined(LMP_PORTABLE_PIXELS)
#define LMP_PIXELS_SSE2 1
#include <emmintrin.h>
#endif

#if defined(__GNUC__)
#define LMP_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define LMP_ALWAYS_INLINE inline
#endif

namespace {

struct Window {
    std::uint32_t w1, w2, w3, w4, w5, w6, w7, w8, w9;
};

// True when two YUV table entries (Y << 16 | U << 8 | V) are further apart than the
// thresholds 48 (Y), 7 (U) and 6 (V).
LMP_ALWAYS_INLINE bool YuvFar(std::uint32_t a, std::uint32_t b) {
    const int dy = int(a >> 16) - int(b >> 16);
    const int du = int(a >> 8 & 0xFF) - int(b >> 8 & 0xFF);
    const int dv = int(a & 0xFF) - int(b & 0xFF);
    return (unsigned(dy + 48) > 96u) | (unsigned(du + 7) > 14u) | (unsigned(dv + 6) > 12u);
}

// The YUV test between two pixels; equal pixels have equal entries and never differ.
LMP_ALWAYS_INLINE bool Differs(std::uint32_t a, std::uint32_t b, const std::uint32_t* yuv) {
    return YuvFar(yuv[a], yuv[b]);
}

// ---- Blends on packed pixels -------------------------------------------------------------

// half(a) + half(b) in every channel at once: clearing each channel's lowest bit keeps
// the sums apart.
LMP_ALWAYS_INLINE std::uint32_t HalfSum(std::uint32_t a, std::uint32_t b) {
    return ((a & 0xF7DE) + (b & 0xF7DE)) >> 1;
}

// Adds one to every channel; after a HalfSum no channel can overflow.
constexpr std::uint32_t kOneEach = 0x0821;

LMP_ALWAYS_INLINE std::uint32_t Blend31(std::uint32_t c, std::uint32_t x) {
    return x == c ? c : HalfSum(c, HalfSum(c, x) + kOneEach);
}

LMP_ALWAYS_INLINE std::uint32_t Blend211(std::uint32_t c, std::uint32_t x, std::uint32_t y) {
    const std::uint32_t t = x == y ? x : HalfSum(x, y) + kOneEach;
    return t == c ? c : HalfSum(c, t);
}

// Moves green to bits 21-26, leaving red in 11-15 and blue in 0-4: weighted sums with
// weights up to 16 then fit in every field without reaching the next one.
LMP_ALWAYS_INLINE std::uint32_t Spread(std::uint32_t p) {
    return (p | p << 16) & 0x07E0F81Fu;
}

LMP_ALWAYS_INLINE std::uint32_t Unspread(std::uint32_t s) {
    s &= 0x07E0F81Fu;
    return (s | s >> 16) & 0xFFFF;
}

// floor((wc * c + wx * x + wy * y) / 2^shift) per channel.
template <std::uint32_t Wc, std::uint32_t Wx, std::uint32_t Wy, int Shift>
LMP_ALWAYS_INLINE std::uint32_t Weighted(std::uint32_t c, std::uint32_t x, std::uint32_t y) {
    return Unspread((Wc * Spread(c) + Wx * Spread(x) + Wy * Spread(y)) >> Shift);
}

// One form of the rule table for a sub-pixel with sides s1, s2 and corner k.
template <int Form>
LMP_ALWAYS_INLINE std::uint32_t Blend(std::uint32_t c, std::uint32_t s1, std::uint32_t s2,
                                      std::uint32_t k) {
    if constexpr (Form == 0)
        return c;
    else if constexpr (Form == 10)
        return Blend31(c, k);
    else if constexpr (Form == 11)
        return Blend31(c, s1);
    else if constexpr (Form == 12)
        return Blend31(c, s2);
    else if constexpr (Form == 20)
        return Blend211(c, s1, s2);
    else if constexpr (Form == 21)
        return Blend211(c, k, s2);
    else if constexpr (Form == 22)
        return Blend211(c, k, s1);
    else if constexpr (Form == 60)
        return Weighted<5, 2, 1, 3>(c, s2, s1);
    else if constexpr (Form == 61)
        return Weighted<5, 2, 1, 3>(c, s1, s2);
    else if constexpr (Form == 70)
        return Weighted<6, 1, 1, 3>(c, s1, s2);
    else if constexpr (Form == 90)
        return Weighted<2, 3, 3, 3>(c, s1, s2);
    else if constexpr (Form == 100)
        return Weighted<14, 1, 1, 4>(c, s1, s2);
    else
        static_assert(Form == 0, "unknown hq2x form");
}

LMP_ALWAYS_INLINE void Store(std::uint16_t* out, std::uint32_t left, std::uint32_t right) {
    out[0] = std::uint16_t(left);
    out[1] = std::uint16_t(right);
}

// ---- The rule table as code ----------------------------------------------------------------

// pairs: bit p set when side pair p (Hq2xPair) differs by the YUV test; only the pairs the
// rule names need to be right.
template <Hq2xCell Cell>
LMP_ALWAYS_INLINE std::uint32_t SubPixel(unsigned pairs, std::uint32_t c, std::uint32_t s1,
                                         std::uint32_t s2, std::uint32_t k) {
    if constexpr (Cell.pair == NoPair)
        return Blend<Cell.form>(c, s1, s2, k);
    else if (pairs >> Cell.pair & 1)
        return Blend<Cell.formIfDiffers>(c, s1, s2, k);
    else
        return Blend<Cell.form>(c, s1, s2, k);
}

template <int Pattern>
void FilterCase(const Window& w, unsigned pairs, std::uint16_t* top, std::uint16_t* bottom) {
    constexpr Hq2xRule rule = Hq2xRules[Pattern];
    const std::uint32_t c = w.w5;
    Store(top, SubPixel<rule.cells[0]>(pairs, c, w.w4, w.w2, w.w1),
          SubPixel<rule.cells[1]>(pairs, c, w.w2, w.w6, w.w3));
    Store(bottom, SubPixel<rule.cells[2]>(pairs, c, w.w8, w.w4, w.w7),
          SubPixel<rule.cells[3]>(pairs, c, w.w6, w.w8, w.w9));
}

using CaseFunction = void (*)(const Window&, unsigned, std::uint16_t*, std::uint16_t*);

constexpr bool SameRule(const Hq2xRule& a, const Hq2xRule& b) {
    for (int i = 0; i < 4; ++i) {
        if (a.cells[i].pair != b.cells[i].pair || a.cells[i].form != b.cells[i].form ||
            a.cells[i].formIfDiffers != b.cells[i].formIfDiffers)
            return false;
    }
    return true;
}

// Patterns with the same rule share the code of the first of them.
constexpr int FirstWithSameRule(int pattern) {
    int first = 0;
    while (!SameRule(Hq2xRules[first], Hq2xRules[pattern])) ++first;
    return first;
}

template <std::size_t... Pattern>
constexpr std::array<CaseFunction, 256> MakeCaseTable(std::index_sequence<Pattern...>) {
    return {{&FilterCase<FirstWithSameRule(int(Pattern))>...}};
}

constexpr std::array<CaseFunction, 256> kCases = MakeCaseTable(std::make_index_sequence<256>{});

// ---- One block at a time -------------------------------------------------------------------

// No edge neighbour differs by the YUV test; `unequal` has bit 0 for w2, 1 for w4, 2 for w6
// and 3 for w8 when that neighbour is not equal to the centre (at least one bit is set).
// A single unequal neighbour pulls its two sub-pixels towards it with the 3:1 rounding,
// even when the blend lands on the centre; two or more give the 2:1:1 blend everywhere.
void UniformBlock(std::uint32_t c, std::uint32_t w2, std::uint32_t w4, std::uint32_t w6,
                  std::uint32_t w8, unsigned unequal, std::uint16_t* top, std::uint16_t* bottom) {
    switch (unequal) {
    case 1: {
        const std::uint32_t v = HalfSum(c, HalfSum(c, w2) + kOneEach);
        Store(top, v, v);
        Store(bottom, c, c);
        return;
    }
    case 2: {
        const std::uint32_t v = HalfSum(c, HalfSum(c, w4) + kOneEach);
        Store(top, v, c);
        Store(bottom, v, c);
        return;
    }
    case 4: {
        const std::uint32_t v = HalfSum(c, HalfSum(c, w6) + kOneEach);
        Store(top, c, v);
        Store(bottom, c, v);
        return;
    }
    case 8: {
        const std::uint32_t v = HalfSum(c, HalfSum(c, w8) + kOneEach);
        Store(top, c, c);
        Store(bottom, v, v);
        return;
    }
    default:
        Store(top, Blend211(c, w4, w2), Blend211(c, w2, w6));
        Store(bottom, Blend211(c, w8, w4), Blend211(c, w6, w8));
    }
}

using Rows = Hq2xSourceRows;

// The window of column x, whose left and right neighbours are columns l and r.
LMP_ALWAYS_INLINE Window WindowAt(const Rows& rows, int l, int x, int r) {
    return {rows.above[l], rows.above[x], rows.above[r], rows.row[l],  rows.row[x],
            rows.row[r],   rows.below[l], rows.below[x], rows.below[r]};
}

// A block with an edge neighbour that differs: the corners join the pattern and the rule
// table decides. All four side pairs are tested; a rule reads only those it names.
void RuleBlock(const Window& w, std::uint32_t yc, unsigned edges, const std::uint32_t* yuv,
               std::uint16_t* top, std::uint16_t* bottom) {
    const unsigned pattern =
        edges | unsigned(YuvFar(yc, yuv[w.w1])) | unsigned(YuvFar(yc, yuv[w.w3])) << 2 |
        unsigned(YuvFar(yc, yuv[w.w7])) << 5 | unsigned(YuvFar(yc, yuv[w.w9])) << 7;
    const unsigned pairs = unsigned(Differs(w.w4, w.w2, yuv)) << PairW4W2 |
                           unsigned(Differs(w.w2, w.w6, yuv)) << PairW2W6 |
                           unsigned(Differs(w.w6, w.w8, yuv)) << PairW6W8 |
                           unsigned(Differs(w.w8, w.w4, yuv)) << PairW8W4;
    kCases[pattern](w, pairs, top, bottom);
}

// The block of column x, whose left and right neighbours are columns l and r.
void FilterBlock(const Rows& rows, int l, int x, int r, const std::uint32_t* yuv,
                 std::uint16_t* top, std::uint16_t* bottom) {
    const std::uint32_t c = rows.row[x], w2 = rows.above[x], w4 = rows.row[l], w6 = rows.row[r],
                        w8 = rows.below[x];
    const unsigned unequal = unsigned(w2 != c) | unsigned(w4 != c) << 1 | unsigned(w6 != c) << 2 |
                             unsigned(w8 != c) << 3;
    if (unequal == 0) {
        Store(top, c, c);
        Store(bottom, c, c);
        return;
    }
    const std::uint32_t yc = yuv[c];
    const unsigned edges = unsigned(YuvFar(yc, yuv[w2])) << 1 | unsigned(YuvFar(yc, yuv[w4])) << 3 |
                           unsigned(YuvFar(yc, yuv[w6])) << 4 | unsigned(YuvFar(yc, yuv[w8])) << 6;
    if (edges == 0)
        UniformBlock(c, w2, w4, w6, w8, unequal, top, bottom);
    else
        RuleBlock(WindowAt(rows, l, x, r), yc, edges, yuv, top, bottom);
}

// ---- Eight blocks at a time ----------------------------------------------------------------

#ifdef LMP_PIXELS_SSE2
// The YUV test from the channels: the table entries are exact linear functions of them,
// Y = 2r + g + 2b, U = 128 + 2(r - b) and V = 128 + g - r - b, so the differences of the
// entries follow from the differences of the channels.
struct Lanes {
    __m128i red, green, blue;
};

LMP_ALWAYS_INLINE Lanes Channels(__m128i p) {
    return {_mm_srli_epi16(p, 11), _mm_and_si128(_mm_srli_epi16(p, 5), _mm_set1_epi16(63)),
            _mm_and_si128(p, _mm_set1_epi16(31))};
}

LMP_ALWAYS_INLINE __m128i Abs16(__m128i v) {
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

// All ones in the lanes where the two pixels differ by the YUV test.
LMP_ALWAYS_INLINE __m128i FarLanes(const Lanes& a, const Lanes& b) {
    const __m128i dr = _mm_sub_epi16(a.red, b.red), dg = _mm_sub_epi16(a.green, b.green);
    const __m128i db = _mm_sub_epi16(a.blue, b.blue), redBlue = _mm_add_epi16(dr, db);
    const __m128i dy = _mm_add_epi16(_mm_add_epi16(redBlue, redBlue), dg);
    const __m128i du = _mm_sub_epi16(dr, db); // half the U difference: |2du| > 7 is |du| > 3
    const __m128i dv = _mm_sub_epi16(dg, redBlue);
    return _mm_or_si128(_mm_or_si128(_mm_cmpgt_epi16(Abs16(dy), _mm_set1_epi16(48)),
                                     _mm_cmpgt_epi16(Abs16(du), _mm_set1_epi16(3))),
                        _mm_cmpgt_epi16(Abs16(dv), _mm_set1_epi16(6)));
}

LMP_ALWAYS_INLINE __m128i SelectLanes(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// half(a) + half(b) per channel; halving before adding keeps the sums within 16 bits.
LMP_ALWAYS_INLINE __m128i HalfSumLanes(__m128i a, __m128i b) {
    const __m128i mask = _mm_set1_epi16(short(0xF7DE));
    return _mm_add_epi16(_mm_srli_epi16(_mm_and_si128(a, mask), 1),
                         _mm_srli_epi16(_mm_and_si128(b, mask), 1));
}

LMP_ALWAYS_INLINE __m128i PullLanes(__m128i c, __m128i n) {
    return HalfSumLanes(c, _mm_add_epi16(HalfSumLanes(c, n), _mm_set1_epi16(kOneEach)));
}

LMP_ALWAYS_INLINE __m128i Blend211Lanes(__m128i c, __m128i x, __m128i y) {
    const __m128i t = SelectLanes(_mm_cmpeq_epi16(x, y), x,
                                  _mm_add_epi16(HalfSumLanes(x, y), _mm_set1_epi16(kOneEach)));
    return SelectLanes(_mm_cmpeq_epi16(t, c), c, HalfSumLanes(c, t));
}

LMP_ALWAYS_INLINE void StorePairs(std::uint16_t* out, __m128i left, __m128i right) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(left, right));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi16(left, right));
}

LMP_ALWAYS_INLINE __m128i Load(const std::uint16_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// `value` in the lanes of mask.
LMP_ALWAYS_INLINE __m128i Bit(__m128i mask, short value) {
    return _mm_and_si128(mask, _mm_set1_epi16(value));
}

// The uniform case for eight blocks; a flat block comes out as four copies of its pixel.
LMP_ALWAYS_INLINE void UniformEight(__m128i c, __m128i w2, __m128i w4, __m128i w6, __m128i w8,
                                    std::uint16_t* top, std::uint16_t* bottom) {
    const __m128i same2 = _mm_cmpeq_epi16(c, w2), same4 = _mm_cmpeq_epi16(c, w4);
    const __m128i same6 = _mm_cmpeq_epi16(c, w6), same8 = _mm_cmpeq_epi16(c, w8);
    // Equality masks are 0 or -1: their sum is -3 exactly when one neighbour is unequal.
    const __m128i sameCount =
        _mm_add_epi16(_mm_add_epi16(same2, same4), _mm_add_epi16(same6, same8));
    const __m128i one = _mm_cmpeq_epi16(sameCount, _mm_set1_epi16(-3));
    const __m128i pull2 = PullLanes(c, w2), pull4 = PullLanes(c, w4);
    const __m128i pull6 = PullLanes(c, w6), pull8 = PullLanes(c, w8);
    // With one unequal neighbour N, the sub-pixels on N's side are pulled towards it.
    const auto single = [&](__m128i sameA, __m128i pullA, __m128i sameB, __m128i pullB) {
        return SelectLanes(sameA, SelectLanes(sameB, c, pullB), pullA);
    };
    StorePairs(top, SelectLanes(one, single(same2, pull2, same4, pull4), Blend211Lanes(c, w4, w2)),
               SelectLanes(one, single(same2, pull2, same6, pull6), Blend211Lanes(c, w2, w6)));
    StorePairs(bottom,
               SelectLanes(one, single(same4, pull4, same8, pull8), Blend211Lanes(c, w8, w4)),
               SelectLanes(one, single(same6, pull6, same8, pull8), Blend211Lanes(c, w6, w8)));
}

// Columns x..x+7, all with both neighbours inside the row.
void FilterEight(const Rows& rows, int x, std::uint16_t* top, std::uint16_t* bottom) {
    const __m128i c = Load(rows.row + x), w2 = Load(rows.above + x), w4 = Load(rows.row + x - 1),
                  w6 = Load(rows.row + x + 1), w8 = Load(rows.below + x);
    const __m128i flat =
        _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi16(c, w2), _mm_cmpeq_epi16(c, w4)),
                      _mm_and_si128(_mm_cmpeq_epi16(c, w6), _mm_cmpeq_epi16(c, w8)));
    if (_mm_movemask_epi8(flat) == 0xFFFF) {
        StorePairs(top + 2 * x, c, c);
        StorePairs(bottom + 2 * x, c, c);
        return;
    }
    UniformEight(c, w2, w4, w6, w8, top + 2 * x, bottom + 2 * x);
    const Lanes centre = Channels(c), l2 = Channels(w2), l4 = Channels(w4), l6 = Channels(w6),
                l8 = Channels(w8);
    const __m128i far2 = FarLanes(centre, l2), far4 = FarLanes(centre, l4);
    const __m128i far6 = FarLanes(centre, l6), far8 = FarLanes(centre, l8);
    const __m128i farEdges = _mm_or_si128(_mm_or_si128(far2, far4), _mm_or_si128(far6, far8));
    unsigned busy = unsigned(_mm_movemask_epi8(farEdges)) & 0x5555; // one bit per lane
    if (busy == 0) return;
    // Blocks with a differing edge neighbour: their patterns and side-pair tests for all
    // eight, then the rule table over the uniform result.
    const __m128i edges = _mm_or_si128(_mm_or_si128(Bit(far2, 2), Bit(far4, 8)),
                                       _mm_or_si128(Bit(far6, 16), Bit(far8, 64)));
    const __m128i corners =
        _mm_or_si128(_mm_or_si128(Bit(FarLanes(centre, Channels(Load(rows.above + x - 1))), 1),
                                  Bit(FarLanes(centre, Channels(Load(rows.above + x + 1))), 4)),
                     _mm_or_si128(Bit(FarLanes(centre, Channels(Load(rows.below + x - 1))), 32),
                                  Bit(FarLanes(centre, Channels(Load(rows.below + x + 1))), 128)));
    const __m128i pairs = _mm_or_si128(
        _mm_or_si128(Bit(FarLanes(l4, l2), 1 << PairW4W2), Bit(FarLanes(l2, l6), 1 << PairW2W6)),
        _mm_or_si128(Bit(FarLanes(l6, l8), 1 << PairW6W8), Bit(FarLanes(l8, l4), 1 << PairW8W4)));
    alignas(16) std::uint16_t patternOf[8], pairsOf[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(patternOf), _mm_or_si128(edges, corners));
    _mm_store_si128(reinterpret_cast<__m128i*>(pairsOf), pairs);
    while (busy) {
        const int lane = __builtin_ctz(busy) / 2, i = x + lane;
        busy &= busy - 1;
        kCases[patternOf[lane]](WindowAt(rows, i - 1, i, i + 1), pairsOf[lane], top + 2 * i,
                                bottom + 2 * i);
    }
}
#endif

void FilterRow(const Rows& rows, int width, const std::uint32_t* yuv, std::uint16_t* top,
               std::uint16_t* bottom) {
    int x = 1;
#ifdef LMP_PIXELS_SSE2
    for (; x + 8 < width; x += 8) FilterEight(rows, x, top, bottom);
#endif
    Hq2xFilterBlocks(rows, width, 0, 1, yuv, top, bottom);
    Hq2xFilterBlocks(rows, width, x, width, yuv, top, bottom);
}

void WidenRow(const std::uint16_t* source, std::uint32_t* destination, int count) {
    ConvertRowFrom565(source, destination, count);
}

} // namespace

void Hq2xFilterBlocks(const Hq2xSourceRows& rows, int width, int from, int to,
                      const std::uint32_t* yuv, std::uint16_t* top, std::uint16_t* bottom) {
    for (int x = from; x < to; ++x)
        FilterBlock(rows, x > 0 ? x - 1 : 0, x, x + 1 < width ? x + 1 : x, yuv, top + 2 * x,
                    bottom + 2 * x);
}

Hq2xRowRoutines Hq2xRowsBasic() {
    return {FilterRow, WidenRow};
}
