// The performance counter: one clock for every process on the machine, so the viewer and the
// capture helper inside the game can compare their times.
#pragma once

#include "platform/win32.h"

#include <cstdint>

inline std::int64_t PerformanceCounterNow() {
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

inline double PerformanceTicksPerMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return double(frequency.QuadPart) / 1000.0;
    }();
    return ticksPerMs;
}

// A reading of the counter in seconds, the unit of the viewer's Timer().
inline double PerformanceCounterSeconds(std::int64_t count) {
    return double(count) / (PerformanceTicksPerMs() * 1000.0);
}
