// The frame clock runs on the performance counter; the log's start time on the system time.
#include "frame_clock.h"

#include "platform/performance_counter.h"
#include "platform/win32.h"

namespace {

constexpr int LongestLine = 64;

void WriteBuffer(FrameClock& clock, std::int64_t now) {
    if (clock.log && clock.used > 0) {
        std::fwrite(clock.buffer, 1, size_t(clock.used), clock.log);
        std::fflush(clock.log);
    }
    clock.used = 0;
    clock.lastFlushTicks = now;
}

// The system time in milliseconds since 1970.
double UnixTimeMs() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    std::uint64_t hundredNs = std::uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    constexpr std::uint64_t From1601To1970 = 116444736000000000ull;
    return double(hundredNs - From1601To1970) / 10000.0;
}

} // namespace

std::int64_t FrameClockNow() {
    return PerformanceCounterNow();
}

bool StartFrameClock(FrameClock& clock, int hz, const char* logPath) {
    clock.hz = hz;
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    clock.ticksPerSecond = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    double startMs = UnixTimeMs();
    clock.startTicks = clock.lastFlushTicks = FrameClockNow();
    clock.used = 0;
    if (!logPath || !*logPath) return true;
    clock.log = std::fopen(logPath, "w");
    if (!clock.log) return false;
    std::fprintf(clock.log, "clock %d start_unix_ms %.1f start_counter %lld frequency %lld\n", hz,
                 startMs, static_cast<long long>(clock.startTicks),
                 static_cast<long long>(clock.ticksPerSecond));
    std::fflush(clock.log);
    return true;
}

int FrameDue(const FrameClock& clock, std::int64_t now) {
    return int((now - clock.startTicks) * clock.hz / clock.ticksPerSecond);
}

void LogFrameShown(FrameClock& clock, int frame, std::int64_t now, const char* kind) {
    if (!clock.log) return;
    if (clock.used > int(sizeof clock.buffer) - LongestLine) WriteBuffer(clock, now);
    double ms = double(now - clock.startTicks) * 1000.0 / double(clock.ticksPerSecond);
    int n = std::snprintf(clock.buffer + clock.used, LongestLine, "%d %.2f %s\n", frame, ms, kind);
    if (n > 0 && n < LongestLine) clock.used += n;
}

void FlushFrameLogIfDue(FrameClock& clock, std::int64_t now) {
    if (now - clock.lastFlushTicks >= clock.ticksPerSecond) WriteBuffer(clock, now);
}

void StopFrameClock(FrameClock& clock) {
    WriteBuffer(clock, FrameClockNow());
    if (clock.log) std::fclose(clock.log);
    clock.log = nullptr;
    clock.hz = 0;
}
