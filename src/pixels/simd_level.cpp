// What the processor runs, asked once per level.
#include "pixels/simd_level.h"

bool ProcessorRuns(SimdLevel level) {
#if defined(LMP_PORTABLE_PIXELS) || !(defined(__i386__) || defined(__x86_64__))
    return level == SimdLevel::Plain;
#else
    __builtin_cpu_init();
    switch (level) {
    case SimdLevel::Plain:
    case SimdLevel::Sse2: // every build for x86 assumes SSE2
        return true;
    case SimdLevel::Ssse3:
        return __builtin_cpu_supports("ssse3");
    case SimdLevel::Sse41:
        return __builtin_cpu_supports("sse4.1");
    case SimdLevel::Avx2:
        return __builtin_cpu_supports("avx2");
    }
    return false;
#endif
}

const char* SimdLevelName(SimdLevel level) {
    switch (level) {
    case SimdLevel::Plain:
        return "plain C++";
    case SimdLevel::Sse2:
        return "SSE2";
    case SimdLevel::Ssse3:
        return "SSSE3";
    case SimdLevel::Sse41:
        return "SSE4.1";
    case SimdLevel::Avx2:
        return "AVX2";
    }
    return "?";
}
