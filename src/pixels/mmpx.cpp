// MMPX one pixel at a time, the choice of routines by level, and the public entries.
#include "pixels/mmpx.h"
#include "pixels/mmpx_rows.h"
#include "pixels/mmpx_rules.h"

#include <cstddef>

namespace {

// The rules on one pixel: a mask is a bool.
struct PlainOps {
    using Key = std::uint32_t;
    using Pixel = std::uint32_t;
    using Luma = int;
    using Mask = bool;
    static bool Eq(Key a, Key b) { return a == b; }
    static bool Less(Luma a, Luma b) { return a < b; }
    static bool And(bool a, bool b) { return a && b; }
    static bool Or(bool a, bool b) { return a || b; }
    static bool AndNot(bool a, bool b) { return a && !b; }
    static bool Not(bool a) { return !a; }
    static Pixel Select(bool m, Pixel a, Pixel b) { return m ? a : b; }
};

constexpr std::uint32_t ColourBits = 0x00FFFFFFu;

int Luma(std::uint32_t pixel) {
    return int((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF));
}

// Reads keys by offset from column x, columns clamped to the row.
struct PlainReader {
    const MmpxSourceRows& rows;
    int width, x;
    std::uint32_t Pixel(int dx, int dy) const {
        int column = x + dx;
        column = column < 0 ? 0 : column >= width ? width - 1 : column;
        return rows.row[3 + dy][column];
    }
    std::uint32_t Key(int dx, int dy) const { return Pixel(dx, dy) & ColourBits; }
};

MmpxBlock<PlainOps> FilterPixel(const PlainReader& at) {
    MmpxNeighbours<PlainOps> n;
    n.pe = at.Pixel(0, 0);
    n.e = n.pe & ColourBits;
    n.pb = at.Pixel(0, -1), n.pd = at.Pixel(-1, 0), n.pf = at.Pixel(1, 0), n.ph = at.Pixel(0, 1);
    n.b = n.pb & ColourBits, n.d = n.pd & ColourBits, n.f = n.pf & ColourBits;
    n.h = n.ph & ColourBits;
    n.a = at.Key(-1, -1), n.c = at.Key(1, -1), n.g = at.Key(-1, 1), n.i = at.Key(1, 1);
    // The common case: E's colour all around.
    if (n.a == n.e && n.b == n.e && n.c == n.e && n.d == n.e && n.f == n.e && n.g == n.e &&
        n.h == n.e && n.i == n.e)
        return {n.pe, n.pe, n.pe, n.pe};
    n.p = at.Key(0, -2), n.q = at.Key(-2, 0), n.r = at.Key(2, 0), n.s = at.Key(0, 2);
    n.left3 = at.Key(-3, 0), n.right3 = at.Key(3, 0), n.up3 = at.Key(0, -3);
    n.down3 = at.Key(0, 3);
    n.upLeft2 = at.Key(-2, -1), n.upRight2 = at.Key(2, -1);
    n.downLeft2 = at.Key(-2, 1), n.downRight2 = at.Key(2, 1);
    n.aboveLeft = at.Key(-1, -2), n.aboveRight = at.Key(1, -2);
    n.belowLeft = at.Key(-1, 2), n.belowRight = at.Key(1, 2);
    n.lb = Luma(n.pb), n.ld = Luma(n.pd), n.le = Luma(n.pe), n.lf = Luma(n.pf);
    n.lh = Luma(n.ph);
    return MmpxRules(n);
}

void FilterRowPlain(const MmpxSourceRows& rows, int width, std::uint32_t* top,
                    std::uint32_t* bottom) {
    MmpxFilterPixels(rows, width, 0, width, top, bottom);
}

MmpxSourceRows RowsAround(const unsigned char* source, int pitch, int height, int y) {
    MmpxSourceRows rows;
    for (int k = 0; k < 7; ++k) {
        int at = y + k - 3;
        at = at < 0 ? 0 : at >= height ? height - 1 : at;
        rows.row[k] = reinterpret_cast<const std::uint32_t*>(source + std::ptrdiff_t(at) * pitch);
    }
    return rows;
}

} // namespace

void MmpxFilterPixels(const MmpxSourceRows& rows, int width, int from, int to, std::uint32_t* top,
                      std::uint32_t* bottom) {
    for (int x = from; x < to; ++x) {
        const MmpxBlock<PlainOps> out = FilterPixel({rows, width, x});
        top[2 * x] = out.j, top[2 * x + 1] = out.k;
        bottom[2 * x] = out.l, bottom[2 * x + 1] = out.m;
    }
}

bool MmpxRoutinesAt(SimdLevel level, MmpxRowRoutines* routines) {
    switch (level) {
    case SimdLevel::Plain:
        *routines = {FilterRowPlain};
        return true;
    case SimdLevel::Sse2:
        *routines = MmpxRowsSse2();
        break;
    case SimdLevel::Sse41:
        *routines = MmpxRowsSse41();
        break;
    case SimdLevel::Avx2:
        *routines = MmpxRowsAvx2();
        break;
    default:
        *routines = {nullptr};
        break;
    }
    return routines->filterRow != nullptr;
}

void Mmpx2x(const void* source, int sourcePitch, int width, int height, void* destination,
            int destinationPitch) {
    if (width <= 0 || height <= 0) return;
    const MmpxRowFilter filterRow = MmpxLevels::InUseRoutines().filterRow;
    const auto* in = static_cast<const unsigned char*>(source);
    auto* out = static_cast<unsigned char*>(destination);
    for (int y = 0; y < height; ++y) {
        auto* top =
            reinterpret_cast<std::uint32_t*>(out + std::ptrdiff_t(2 * y) * destinationPitch);
        auto* bottom =
            reinterpret_cast<std::uint32_t*>(out + std::ptrdiff_t(2 * y + 1) * destinationPitch);
        filterRow(RowsAround(in, sourcePitch, height, y), width, top, bottom);
    }
}

void Mmpx4x(const void* source, int sourcePitch, int width, int height, void* middle,
            int middlePitch, void* destination, int destinationPitch) {
    if (width <= 0 || height <= 0) return;
    Mmpx2x(source, sourcePitch, width, height, middle, middlePitch);
    Mmpx2x(middle, middlePitch, 2 * width, 2 * height, destination, destinationPitch);
}
