// Which hq2x routines run: the best the processor offers, found once when the program
// starts, and the public filter entry that uses them.
#include "viewer/pipeline/filters/hq2x.h"
#include "viewer/pipeline/filters/hq2x_rows.h"

#include <cstddef>

namespace {

bool ProcessorHas(Hq2xLevel level) {
#if defined(LMP_PORTABLE_PIXELS) || !(defined(__i386__) || defined(__x86_64__))
    return level == Hq2xLevel::Plain;
#else
    __builtin_cpu_init();
    switch (level) {
    case Hq2xLevel::Plain:
        return false; // built with SSE2 instead
    case Hq2xLevel::Sse2:
        return true;
    case Hq2xLevel::Ssse3:
        return __builtin_cpu_supports("ssse3");
    case Hq2xLevel::Sse41:
        return __builtin_cpu_supports("sse4.1");
    case Hq2xLevel::Avx2:
        return __builtin_cpu_supports("avx2");
    }
    return false;
#endif
}

Hq2xRowRoutines RoutinesOf(Hq2xLevel level) {
    switch (level) {
    case Hq2xLevel::Ssse3:
        return Hq2xRowsSsse3();
    case Hq2xLevel::Sse41:
        return Hq2xRowsSse41();
    case Hq2xLevel::Avx2:
        return Hq2xRowsAvx2();
    default:
        return Hq2xRowsBasic();
    }
}

constexpr Hq2xLevel kBestFirst[] = {Hq2xLevel::Avx2, Hq2xLevel::Sse41, Hq2xLevel::Ssse3,
                                    Hq2xLevel::Sse2, Hq2xLevel::Plain};

Hq2xLevel BestLevel() {
    for (Hq2xLevel level : kBestFirst)
        if (Hq2xLevelAvailable(level)) return level;
    return Hq2xLevel::Plain;
}

// The level and its routines. Made on first use (start-up, or the first frame), which the
// language makes safe across threads; afterwards written only by UseHq2xLevel, which tests
// and benchmarks call before they filter, and read by whichever thread filters. No lock:
// never written while read.
struct CurrentRoutines {
    Hq2xLevel level;
    Hq2xRowRoutines routines;
};

CurrentRoutines& Current() {
    static CurrentRoutines current = {BestLevel(), RoutinesOf(BestLevel())};
    return current;
}

} // namespace

bool Hq2xLevelAvailable(Hq2xLevel level) {
    if (!ProcessorHas(level)) return false;
    return level == Hq2xLevel::Plain || level == Hq2xLevel::Sse2 ||
           RoutinesOf(level).filterRow != nullptr;
}

Hq2xLevel Hq2xLevelInUse() {
    return Current().level;
}

bool UseHq2xLevel(Hq2xLevel level) {
    if (!Hq2xLevelAvailable(level)) return false;
    Current() = {level, RoutinesOf(level)};
    return true;
}

const char* Hq2xLevelName(Hq2xLevel level) {
    switch (level) {
    case Hq2xLevel::Plain:
        return "plain C++";
    case Hq2xLevel::Sse2:
        return "SSE2";
    case Hq2xLevel::Ssse3:
        return "SSSE3";
    case Hq2xLevel::Sse41:
        return "SSE4.1";
    case Hq2xLevel::Avx2:
        return "AVX2";
    }
    return "?";
}

Hq2xRowRoutines Hq2xRoutinesInUse() {
    return Current().routines;
}

void Hq2xScale(const void* source, void* destination, int width, int height, int pitch) {
    if (width <= 0 || height <= 0) return;
    const Hq2xRowFilter filterRow = Current().routines.filterRow;
    const std::uint32_t* yuv = Rgb565ToYuvTable;
    const auto* pixels = static_cast<const std::uint16_t*>(source);
    auto* out = static_cast<unsigned char*>(destination);
    for (int y = 0; y < height; ++y) {
        const std::uint16_t* row = pixels + std::ptrdiff_t(y) * width;
        const Hq2xSourceRows rows{y > 0 ? row - width : row, row,
                                  y + 1 < height ? row + width : row};
        auto* top = reinterpret_cast<std::uint16_t*>(out + std::ptrdiff_t(2 * y) * pitch);
        auto* bottom = reinterpret_cast<std::uint16_t*>(out + std::ptrdiff_t(2 * y + 1) * pitch);
        filterRow(rows, width, yuv, top, bottom);
    }
}
