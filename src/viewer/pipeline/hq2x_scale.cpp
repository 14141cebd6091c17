// The hq2x filter on RGB565 pixels.
//
// Each source pixel w5 becomes a 2x2 block chosen or blended from it and its eight
// neighbours w1..w9 (row by row). Pixels outside the image are replaced by the pixel's
// own row or column, so nothing outside the source is read. A block whose four edge
// neighbours equal the centre is four copies of it (most of a game picture); a block whose
// edge neighbours are all similar by the YUV test is the uniform case; every other block
// looks its difference pattern up in Hq2xRules, through a table of code compiled per rule.
#include "viewer/pipeline/hq2x.h"
#include "viewer/pipeline/hq2x_rules.h"

#include <array>
#include <cstddef>
#include <utility>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

struct Window {
    std::uint32_t w1, w2, w3, w4, w5, w6, w7, w8, w9;
};

// True when two YUV table entries (Y << 16 | U << 8 | V) are further apart than the
// thresholds 48 (Y), 7 (U) and 6 (V).
inline bool YuvFar(std::uint32_t a, std::uint32_t b) {
    const int dy = int(a >> 16) - int(b >> 16);
    const int du = int(a >> 8 & 0xFF) - int(b >> 8 & 0xFF);
    const int dv = int(a & 0xFF) - int(b & 0xFF);
    return (unsigned(dy + 48) > 96u) | (unsigned(du + 7) > 14u) | (unsigned(dv + 6) > 12u);
}

// The YUV test between two pixels; equal pixels never differ.
inline bool Differs(std::uint32_t a, std::uint32_t b, const std::uint32_t* yuv) {
    return a != b && YuvFar(yuv[a], yuv[b]);
}

// half(a) + half(b) in every channel at once: clearing each channel's lowest bit keeps
// the sums apart.
inline std::uint32_t HalfSum(std::uint32_t a, std::uint32_t b) {
    return ((a & 0xF7DE) + (b & 0xF7DE)) >> 1;
}

// Adds one to every channel; after a HalfSum no channel can overflow.
constexpr std::uint32_t kOneEach = 0x0821;

inline std::uint32_t Blend31(std::uint32_t c, std::uint32_t x) {
    return x == c ? c : HalfSum(c, HalfSum(c, x) + kOneEach);
}

inline std::uint32_t Blend211(std::uint32_t c, std::uint32_t x, std::uint32_t y) {
    const std::uint32_t t = x == y ? x : HalfSum(x, y) + kOneEach;
    return t == c ? c : HalfSum(c, t);
}

// Moves green to bits 21-26, leaving red in 11-15 and blue in 0-4: weighted sums with
// weights up to 16 then fit in every field without reaching the next one.
inline std::uint32_t Spread(std::uint32_t p) {
    return (p | p << 16) & 0x07E0F81Fu;
}

inline std::uint32_t Unspread(std::uint32_t s) {
    s &= 0x07E0F81Fu;
    return (s | s >> 16) & 0xFFFF;
}

// floor((wc * c + wx * x + wy * y) / 2^shift) per channel.
template <std::uint32_t Wc, std::uint32_t Wx, std::uint32_t Wy, int Shift>
inline std::uint32_t Weighted(std::uint32_t c, std::uint32_t x, std::uint32_t y) {
    return Unspread((Wc * Spread(c) + Wx * Spread(x) + Wy * Spread(y)) >> Shift);
}

// One form of the rule table for a sub-pixel with sides s1, s2 and corner k.
template <int Form>
inline std::uint32_t Blend(std::uint32_t c, std::uint32_t s1, std::uint32_t s2, std::uint32_t k) {
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

template <Hq2xCell Cell>
inline std::uint32_t SubPixel(const bool* pairDiffers, std::uint32_t c, std::uint32_t s1,
                              std::uint32_t s2, std::uint32_t k) {
    if constexpr (Cell.pair == NoPair)
        return Blend<Cell.form>(c, s1, s2, k);
    else if (pairDiffers[Cell.pair])
        return Blend<Cell.formIfDiffers>(c, s1, s2, k);
    else
        return Blend<Cell.form>(c, s1, s2, k);
}

constexpr bool UsesPair(const Hq2xRule& rule, int pair) {
    for (const Hq2xCell& cell : rule.cells)
        if (cell.pair == pair) return true;
    return false;
}

inline void Store(std::uint16_t* out, std::uint32_t left, std::uint32_t right) {
    out[0] = std::uint16_t(left);
    out[1] = std::uint16_t(right);
}

// The block of one difference pattern; the pair tests its rule needs are made once.
template <int Pattern>
void FilterCase(const Window& w, const std::uint32_t* yuv, std::uint16_t* top,
                std::uint16_t* bottom) {
    constexpr Hq2xRule rule = Hq2xRules[Pattern];
    bool pairDiffers[5] = {false, false, false, false, false};
    if constexpr (UsesPair(rule, PairW4W2)) pairDiffers[PairW4W2] = Differs(w.w4, w.w2, yuv);
    if constexpr (UsesPair(rule, PairW2W6)) pairDiffers[PairW2W6] = Differs(w.w2, w.w6, yuv);
    if constexpr (UsesPair(rule, PairW6W8)) pairDiffers[PairW6W8] = Differs(w.w6, w.w8, yuv);
    if constexpr (UsesPair(rule, PairW8W4)) pairDiffers[PairW8W4] = Differs(w.w8, w.w4, yuv);
    const std::uint32_t c = w.w5;
    Store(top, SubPixel<rule.cells[0]>(pairDiffers, c, w.w4, w.w2, w.w1),
          SubPixel<rule.cells[1]>(pairDiffers, c, w.w2, w.w6, w.w3));
    Store(bottom, SubPixel<rule.cells[2]>(pairDiffers, c, w.w8, w.w4, w.w7),
          SubPixel<rule.cells[3]>(pairDiffers, c, w.w6, w.w8, w.w9));
}

using CaseFunction = void (*)(const Window&, const std::uint32_t*, std::uint16_t*, std::uint16_t*);

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

// No edge neighbour differs by the YUV test; `unequal` has bit 0 for w2, 1 for w4, 2 for w6
// and 3 for w8 when that neighbour is not equal to the centre (at least one bit is set).
// A single unequal neighbour pulls its two sub-pixels towards it with the 3:1 rounding,
// even when the blend lands on the centre; two or more give the 2:1:1 blend everywhere.
void UniformBlock(const Window& w, unsigned unequal, std::uint16_t* top, std::uint16_t* bottom) {
    const std::uint32_t c = w.w5;
    switch (unequal) {
    case 1: {
        const std::uint32_t v = HalfSum(c, HalfSum(c, w.w2) + kOneEach);
        Store(top, v, v);
        Store(bottom, c, c);
        return;
    }
    case 2: {
        const std::uint32_t v = HalfSum(c, HalfSum(c, w.w4) + kOneEach);
        Store(top, v, c);
        Store(bottom, v, c);
        return;
    }
    case 4: {
        const std::uint32_t v = HalfSum(c, HalfSum(c, w.w6) + kOneEach);
        Store(top, c, v);
        Store(bottom, c, v);
        return;
    }
    case 8: {
        const std::uint32_t v = HalfSum(c, HalfSum(c, w.w8) + kOneEach);
        Store(top, c, c);
        Store(bottom, v, v);
        return;
    }
    default:
        Store(top, Blend211(c, w.w4, w.w2), Blend211(c, w.w2, w.w6));
        Store(bottom, Blend211(c, w.w8, w.w4), Blend211(c, w.w6, w.w8));
    }
}

void FilterPixel(const Window& w, const std::uint32_t* yuv, std::uint16_t* top,
                 std::uint16_t* bottom) {
    const std::uint32_t c = w.w5;
    const unsigned unequal = unsigned(w.w2 != c) | unsigned(w.w4 != c) << 1 |
                             unsigned(w.w6 != c) << 2 | unsigned(w.w8 != c) << 3;
    if (unequal == 0) {
        Store(top, c, c);
        Store(bottom, c, c);
        return;
    }
    const std::uint32_t yc = yuv[c];
    const unsigned edges =
        unsigned(YuvFar(yc, yuv[w.w2])) << 1 | unsigned(YuvFar(yc, yuv[w.w4])) << 3 |
        unsigned(YuvFar(yc, yuv[w.w6])) << 4 | unsigned(YuvFar(yc, yuv[w.w8])) << 6;
    if (edges == 0) {
        UniformBlock(w, unequal, top, bottom);
        return;
    }
    const unsigned pattern =
        edges | unsigned(YuvFar(yc, yuv[w.w1])) | unsigned(YuvFar(yc, yuv[w.w3])) << 2 |
        unsigned(YuvFar(yc, yuv[w.w7])) << 5 | unsigned(YuvFar(yc, yuv[w.w9])) << 7;
    kCases[pattern](w, yuv, top, bottom);
}

// The block of column x, with l and r the columns standing for its left and right
// neighbours.
inline void FilterAt(const std::uint16_t* above, const std::uint16_t* row,
                     const std::uint16_t* below, int l, int x, int r, const std::uint32_t* yuv,
                     std::uint16_t* top, std::uint16_t* bottom) {
    const Window w{above[l], above[x], above[r], row[l],  row[x],
                   row[r],   below[l], below[x], below[r]};
    FilterPixel(w, yuv, top + 2 * x, bottom + 2 * x);
}

#ifdef __SSE2__
// Eight blocks of columns x..x+7 (all with both neighbours inside the row) at once when
// every one of them is flat; false, with nothing written, otherwise.
inline bool FlatRun(const std::uint16_t* above, const std::uint16_t* row,
                    const std::uint16_t* below, int x, std::uint16_t* top, std::uint16_t* bottom) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x - 1));
    const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x + 1));
    const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + x));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(below + x));
    const __m128i same = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi16(c, l), _mm_cmpeq_epi16(c, r)),
                                       _mm_and_si128(_mm_cmpeq_epi16(c, u), _mm_cmpeq_epi16(c, d)));
    if (_mm_movemask_epi8(same) != 0xFFFF) return false;
    const __m128i low = _mm_unpacklo_epi16(c, c), high = _mm_unpackhi_epi16(c, c);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(top + 2 * x), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(top + 2 * x + 8), high);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom + 2 * x), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom + 2 * x + 8), high);
    return true;
}
#endif

void FilterRow(const std::uint16_t* above, const std::uint16_t* row, const std::uint16_t* below,
               int width, const std::uint32_t* yuv, std::uint16_t* top, std::uint16_t* bottom) {
    const int last = width - 1;
    FilterAt(above, row, below, 0, 0, last > 0 ? 1 : 0, yuv, top, bottom);
    int x = 1;
#ifdef __SSE2__
    for (; x + 8 < width; x += 8) {
        if (FlatRun(above, row, below, x, top, bottom)) continue;
        for (int i = x; i < x + 8; ++i)
            FilterAt(above, row, below, i - 1, i, i + 1, yuv, top, bottom);
    }
#endif
    for (; x < last; ++x) FilterAt(above, row, below, x - 1, x, x + 1, yuv, top, bottom);
    if (last > 0) FilterAt(above, row, below, last - 1, last, last, yuv, top, bottom);
}

} // namespace

void Hq2xScale(const void* source, void* destination, int width, int height, int pitch) {
    if (width <= 0 || height <= 0) return;
    const std::uint32_t* yuv = Rgb565ToYuvTable;
    const auto* pixels = static_cast<const std::uint16_t*>(source);
    auto* out = static_cast<unsigned char*>(destination);
    for (int y = 0; y < height; ++y) {
        const std::uint16_t* row = pixels + std::ptrdiff_t(y) * width;
        const std::uint16_t* above = y > 0 ? row - width : row;
        const std::uint16_t* below = y + 1 < height ? row + width : row;
        auto* top = reinterpret_cast<std::uint16_t*>(out + std::ptrdiff_t(2 * y) * pitch);
        auto* bottom = reinterpret_cast<std::uint16_t*>(out + std::ptrdiff_t(2 * y + 1) * pitch);
        FilterRow(above, row, below, width, yuv, top, bottom);
    }
}
