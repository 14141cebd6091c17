// Which sharp scaling routines run: the best the processor offers, found once when the
// program starts.
#include "viewer/surface/sharp_scale.h"
#include "viewer/surface/sharp_scale_rows.h"

namespace {

bool ProcessorHas(SharpLevel level) {
#if defined(LMP_PORTABLE_PIXELS) || !(defined(__i386__) || defined(__x86_64__))
    return level == SharpLevel::Plain;
#else
    __builtin_cpu_init();
    switch (level) {
    case SharpLevel::Plain:
    case SharpLevel::Sse2: // every build for x86 assumes SSE2
        return true;
    case SharpLevel::Ssse3:
        return __builtin_cpu_supports("ssse3");
    case SharpLevel::Avx2:
        return __builtin_cpu_supports("avx2");
    }
    return false;
#endif
}

SharpRowRoutines RoutinesOf(SharpLevel level) {
    switch (level) {
    case SharpLevel::Sse2:
        return SharpRowsSse2();
    case SharpLevel::Ssse3:
        return SharpRowsSsse3();
    case SharpLevel::Avx2:
        return SharpRowsAvx2();
    default:
        return SharpRowsPlain();
    }
}

SharpLevel BestLevel() {
    for (SharpLevel level : {SharpLevel::Avx2, SharpLevel::Ssse3, SharpLevel::Sse2})
        if (SharpLevelAvailable(level)) return level;
    return SharpLevel::Plain;
}

// The level and its routines. Made on first use, which the language makes safe across
// threads; afterwards written only by UseSharpLevel, which tests and benchmarks call before
// they scale, and read by the thread that scales. No lock: never written while read.
struct CurrentRoutines {
    SharpLevel level;
    SharpRowRoutines routines;
};

CurrentRoutines& Current() {
    static CurrentRoutines current = {BestLevel(), RoutinesOf(BestLevel())};
    return current;
}

} // namespace

bool SharpLevelAvailable(SharpLevel level) {
    return ProcessorHas(level) && RoutinesOf(level).across != nullptr;
}

SharpLevel SharpLevelInUse() {
    return Current().level;
}

bool UseSharpLevel(SharpLevel level) {
    if (!SharpLevelAvailable(level)) return false;
    Current() = {level, RoutinesOf(level)};
    return true;
}

const char* SharpLevelName(SharpLevel level) {
    switch (level) {
    case SharpLevel::Plain:
        return "plain C++";
    case SharpLevel::Sse2:
        return "SSE2";
    case SharpLevel::Ssse3:
        return "SSSE3";
    case SharpLevel::Avx2:
        return "AVX2";
    }
    return "?";
}

SharpRowRoutines SharpRoutinesInUse() {
    return Current().routines;
}
